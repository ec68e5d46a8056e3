#include "controls/vx_standalone_edits.h"

// ---- Check editor ----

TvxInplaceEdit* TCustomvxCheckEditClass::Create(TComponent* AOwner) const { return new TCustomvxCheckEdit(AOwner); }
TvxInplaceEdit* TvxCheckEditClass::Create(TComponent* AOwner) const { return new TvxCheckEdit(AOwner); }

const TCustomvxCheckEditClass& TCustomvxCheckEdit::StaticClass() {
    static const TCustomvxCheckEditClass instance;
    return instance;
}

TCustomvxCheckEdit::TCustomvxCheckEdit(TComponent* AOwner) : TCustomvxCheckEdit(AOwner, StaticClass()) {}

TCustomvxCheckEdit::TCustomvxCheckEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceCheckEdit(AOwner, AClass) {
    // A check box on a form shows the form's colour.
    SetParentColor(true);
}

const TvxCheckEditClass& TvxCheckEdit::StaticClass() {
    static const TvxCheckEditClass instance;
    return instance;
}

TvxCheckEdit::TvxCheckEdit(TComponent* AOwner) : TCustomvxCheckEdit(AOwner, StaticClass()) {}

// ---- Date editor ----

TvxInplaceEdit* TCustomvxDateEditClass::Create(TComponent* AOwner) const { return new TCustomvxDateEdit(AOwner); }
TvxInplaceEdit* TvxDateEditClass::Create(TComponent* AOwner) const { return new TvxDateEdit(AOwner); }

const TCustomvxDateEditClass& TCustomvxDateEdit::StaticClass() {
    static const TCustomvxDateEditClass instance;
    return instance;
}

TCustomvxDateEdit::TCustomvxDateEdit(TComponent* AOwner) : TCustomvxDateEdit(AOwner, StaticClass()) {}

TCustomvxDateEdit::TCustomvxDateEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceDateEdit(AOwner, AClass) {}

const TvxDateEditClass& TvxDateEdit::StaticClass() {
    static const TvxDateEditClass instance;
    return instance;
}

TvxDateEdit::TvxDateEdit(TComponent* AOwner) : TCustomvxDateEdit(AOwner, StaticClass()) {}

// ---- Image editor ----

TvxInplaceEdit* TCustomvxImageEditClass::Create(TComponent* AOwner) const { return new TCustomvxImageEdit(AOwner); }
TvxInplaceEdit* TvxImageEditClass::Create(TComponent* AOwner) const { return new TvxImageEdit(AOwner); }

const TCustomvxImageEditClass& TCustomvxImageEdit::StaticClass() {
    static const TCustomvxImageEditClass instance;
    return instance;
}

TCustomvxImageEdit::TCustomvxImageEdit(TComponent* AOwner) : TCustomvxImageEdit(AOwner, StaticClass()) {}

TCustomvxImageEdit::TCustomvxImageEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceImageEdit(AOwner, AClass) {}

const TvxImageEditClass& TvxImageEdit::StaticClass() {
    static const TvxImageEditClass instance;
    return instance;
}

TvxImageEdit::TvxImageEdit(TComponent* AOwner) : TCustomvxImageEdit(AOwner, StaticClass()) {}
