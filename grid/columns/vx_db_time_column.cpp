#include "grid/columns/vx_db_time_column.h"

#include "grid/core/vx_db_tree_list_control.h"
#include "platform/db/field.h"

void TvxDBTreeListTimeColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListTimeColumn*>(Source)) time_ = source->time_;
}

void TvxDBTreeListTimeColumn::RestoreDefaults() {
    TvxDBTreeListColumn::RestoreDefaults();
    time_ = {};
}

const TvxInplaceEditClass& TvxDBTreeListTimeColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListTimeEdit::StaticClass();
}

void TvxDBTreeListTimeColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListColumn::InitEditProperties(Editor);
    auto* edit = dynamic_cast<TvxInplaceTimeEdit*>(Editor);
    if (!edit) return;
    edit->SetTimeEditFormat(time_.TimeEditFormat);
    edit->SetUseCtrlIncrement(time_.UseCtrlIncrement);
}

void TvxDBTreeListTimeColumn::InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    auto* edit = dynamic_cast<TvxInplaceTimeEdit*>(Editor);
    if (!Field() || !edit) {
        TvxDBTreeListColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    Value = Field()->Value();
    edit->SetEditValue(Value);
}

void TvxDBTreeListTimeColumn::SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    auto* edit = dynamic_cast<TvxInplaceTimeEdit*>(Editor);
    if (!Field() || !edit || !DBControl()) {
        TvxDBTreeListColumn::SaveEditValue(Node, Editor, Value);
        return;
    }
    Value = StoreEditValue(Node, edit->Text().empty(),
                           [edit](TField* field) { field->SetAsDateTime(edit->DatePart() + edit->GetTime()); });
}

const TvxInplaceEditClass& TvxDBTreeListTimeColumn::GetFilterEditClass() {
    return TCustomvxFilterTimeEdit::StaticClass();
}
