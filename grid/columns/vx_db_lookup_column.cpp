#include "grid/columns/vx_db_lookup_column.h"

void TvxDBTreeListLookupColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListDropDownColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListLookupColumn*>(Source)) lookup_ = source->lookup_;
}

void TvxDBTreeListLookupColumn::RestoreDefaults() {
    TvxDBTreeListDropDownColumn::RestoreDefaults();
    lookup_ = {};
}

const TvxInplaceEditClass& TvxDBTreeListLookupColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListLookupEdit::StaticClass();
}

void TvxDBTreeListLookupColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListDropDownColumn::InitEditProperties(Editor);
    auto* edit = dynamic_cast<TvxInplaceLookupEdit*>(Editor);
    if (!edit) return;
    edit->CloseUpHandler = [this](TObject*, Variant& Value, bool& Accept) {
        if (lookup_.OnCloseUp) lookup_.OnCloseUp(this, Value, Accept);
    };
    edit->SetClearKey(lookup_.ClearKey);
    edit->SetLookupField(Field());
    edit->SetListFieldName(lookup_.ListFieldName);
    edit->SetCanDeleteText(lookup_.CanDeleteText);
}

const TvxInplaceEditClass& TvxDBTreeListLookupColumn::GetFilterEditClass() {
    return TCustomvxFilterLookupEdit::StaticClass();
}

TvxFilterOperators TvxDBTreeListLookupColumn::GetFilterOperators() { return vxListFilterOperators; }
