#include "grid/filter/vx_filter_edit.h"

TvxInplaceEdit* TCustomvxFilterEditClass::Create(TComponent* AOwner) const { return new TCustomvxFilterEdit(AOwner); }

const TCustomvxFilterEditClass& TCustomvxFilterEdit::StaticClass() {
    static const TCustomvxFilterEditClass instance;
    return instance;
}
