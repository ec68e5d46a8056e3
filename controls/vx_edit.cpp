#include "controls/vx_edit.h"

TvxInplaceEdit* TCustomvxEditClass::Create(TComponent* AOwner) const { return new TCustomvxEdit(AOwner); }

const TCustomvxEditClass& TCustomvxEdit::StaticClass() {
    static const TCustomvxEditClass instance;
    return instance;
}

TCustomvxEdit::TCustomvxEdit(TComponent* AOwner) : TCustomvxEdit(AOwner, StaticClass()) {}

TCustomvxEdit::TCustomvxEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceTextEdit(AOwner, AClass) {}

TvxInplaceEdit* TvxEditClass::Create(TComponent* AOwner) const { return new TvxEdit(AOwner); }

const TvxEditClass& TvxEdit::StaticClass() {
    static const TvxEditClass instance;
    return instance;
}

TvxEdit::TvxEdit(TComponent* AOwner) : TvxEdit(AOwner, StaticClass()) {}
