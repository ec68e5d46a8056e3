#include "grid/columns/vx_db_date_column.h"

#include "grid/core/vx_db_tree_list_control.h"
#include "platform/db/field.h"

void TvxDBTreeListDateColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListDropDownColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListDateColumn*>(Source)) date_ = source->date_;
}

void TvxDBTreeListDateColumn::RestoreDefaults() {
    TvxDBTreeListDropDownColumn::RestoreDefaults();
    date_ = {};
}

const TvxInplaceEditClass& TvxDBTreeListDateColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListDateEdit::StaticClass();
}

void TvxDBTreeListDateColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListDropDownColumn::InitEditProperties(Editor);
    auto* edit = dynamic_cast<TvxInplaceDateEdit*>(Editor);
    if (!edit) return;
    edit->SetDateButtons(date_.DateButtons);
    edit->SetDateOnError(date_.DateOnError);
    edit->SetDateValidation(date_.DateValidation);
    edit->SetSaveTime(date_.SaveTime);
    edit->SetUseEditMask(date_.UseEditMask);
    edit->OnDateValidateInput = date_.OnDateValidateInput;
}

void TvxDBTreeListDateColumn::InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    auto* edit = dynamic_cast<TvxInplaceDateEdit*>(Editor);
    if (!Field() || !edit) {
        TvxDBTreeListDropDownColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    edit->SetDate(Field()->IsNull() ? NullDate : Field()->AsDateTime());
    Value = Field()->Value();
}

void TvxDBTreeListDateColumn::SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    auto* edit = dynamic_cast<TvxInplaceDateEdit*>(Editor);
    if (!Field() || !edit || !DBControl()) {
        TvxDBTreeListDropDownColumn::SaveEditValue(Node, Editor, Value);
        return;
    }
    Value = StoreEditValue(Node, edit->Date() == NullDate,
                           [edit](TField* field) { field->SetAsDateTime(edit->Date()); });
}

const TvxInplaceEditClass& TvxDBTreeListDateColumn::GetFilterEditClass() {
    return TCustomvxFilterDateEdit::StaticClass();
}

void TvxDBTreeListDateColumn::GetFilterEditValue(TvxInplaceEdit* Editor, Variant& Value, std::string& DisplayText) {
    auto* edit = dynamic_cast<TvxInplaceDateEdit*>(Editor);
    if (!edit) {
        TvxDBTreeListDropDownColumn::GetFilterEditValue(Editor, Value, DisplayText);
        return;
    }
    Value = edit->Date() == NullDate ? Variant::Null() : Variant::FromDate(edit->Date());
    DisplayText = edit->Text();
}

void TvxDBTreeListDateColumn::SetFilterEditValue(TvxInplaceEdit* Editor, const Variant& Value) {
    auto* edit = dynamic_cast<TvxInplaceDateEdit*>(Editor);
    if (!edit) {
        TvxDBTreeListDropDownColumn::SetFilterEditValue(Editor, Value);
        return;
    }
    edit->SetDate(Value.IsNull() ? NullDate : Value.AsDouble());
}
