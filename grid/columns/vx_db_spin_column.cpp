#include "grid/columns/vx_db_spin_column.h"

#include "grid/core/vx_db_tree_list_control.h"
#include "platform/db/field.h"

void TvxDBTreeListSpinColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListSpinColumn*>(Source)) spin_ = source->spin_;
}

void TvxDBTreeListSpinColumn::RestoreDefaults() {
    TvxDBTreeListColumn::RestoreDefaults();
    spin_ = {};
}

const TvxInplaceEditClass& TvxDBTreeListSpinColumn::GetInplaceEditClass() {
    return TvxInplaceDBTreeListSpinEdit::StaticClass();
}

void TvxDBTreeListSpinColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    TvxDBTreeListColumn::InitEditProperties(Editor);
    auto* edit = dynamic_cast<TvxInplaceSpinEdit*>(Editor);
    if (!edit) return;
    edit->SetEditorEnabled(spin_.EditorEnabled);
    edit->SetIncrement(spin_.Increment);
    edit->SetMinMaxValues(MinValue(), MaxValue());
    edit->SetUseCtrlIncrement(spin_.UseCtrlIncrement);
}

void TvxDBTreeListSpinColumn::InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    auto* edit = dynamic_cast<TvxInplaceSpinEdit*>(Editor);
    if (!Field() || !edit) {
        TvxDBTreeListColumn::InitEditValue(Node, Editor, Value);
        return;
    }
    Value = Field()->Value();
    edit->SetEditValue(Value);
}

void TvxDBTreeListSpinColumn::SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    auto* edit = dynamic_cast<TvxInplaceSpinEdit*>(Editor);
    if (!Field() || !edit || !DBControl()) {
        TvxDBTreeListColumn::SaveEditValue(Node, Editor, Value);
        return;
    }
    Value = StoreEditValue(Node, edit->Text().empty(), [edit](TField* field) { field->SetAsFloat(edit->GetValue()); });
}

const TvxInplaceEditClass& TvxDBTreeListSpinColumn::GetFilterEditClass() {
    return TCustomvxFilterSpinEdit::StaticClass();
}

void TvxDBTreeListSpinColumn::GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) {
    TvxDBTreeListColumn::GetDrawInfo(ViewData, Cell);
    if (auto* spin = dynamic_cast<TvxSpinEditViewData*>(&ViewData))
        spin->ButtonsVisible = DrawsEditButton(spin_.ShowButtonStyle, this, DrawingNode());
}
