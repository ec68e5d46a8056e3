// Editing through the dataset: permission, the editor's value in and out of the field, the
// new-item row, leaving the control, and keeping an open editor in step with the record.

#include "controls/vx_inplace_edit.h"
#include "grid/core/vx_db_tree_list_control.h"
#include "platform/db/blob_field.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"

bool TCustomvxDBTreeListControl::DataSetInState(TDataSetState State) const {
    TDataSet* ds = DataSet();
    return ds && ds->State() == State;
}

bool TCustomvxDBTreeListControl::DataSetEditing() const {
    TDataSet* ds = DataSet();
    if (!ds) return false;
    const TDataSetState s = ds->State();
    return s == dsEdit || s == dsInsert || s == dsSetKey;
}

bool TCustomvxDBTreeListControl::CanEditModify() {
    TvxDBTreeListControlDataLink* link = GetDataLink();
    if (!CanNavigation() || IsEditingForbidden() || !link || !link->Active() || link->ReadOnly()) return false;
    TvxDBTreeListColumn* column = FocusedDBColumn();
    if (!column || column->ReadOnly()) return false;
    TField* field = column->Field();
    if (!field) return false;
    if (!field->CanModify()) {
        const bool lookupEditable = field->Lookup() && field->DataSet() && field->DataSet()->CanModify();
        if (!lookupEditable) return false;
    }
    if (dynamic_cast<TBlobField*>(field) && !field->OnSetText && !column->EditsFieldValue()) return false;
    if (IsDataSetEmpty()) return false;
    link->Edit();
    if (!link->Editing()) return false;
    link->SetModified(true);
    return true;
}

bool TCustomvxDBTreeListControl::IsValidChar(char32_t Key) {
    TvxDBTreeListColumn* column = FocusedDBColumn();
    return !column || column->IsValidChar(Key);
}

bool TCustomvxDBTreeListControl::IsContainerBusy() {
    return TCustomvxTreeListControl::IsContainerBusy() || IsDataSetEmpty() || IsEditingForbidden();
}

void TCustomvxDBTreeListControl::DoEditing(TvxTreeListNode* Node, bool& Allow) {
    TCustomvxTreeListControl::DoEditing(Node, Allow);
    Allow = Allow && CanNavigation();
}

Variant TCustomvxDBTreeListControl::AssignEditValue(TvxTreeListNode* Node, int Column, TvxInplaceEdit* Editor) {
    Variant value;
    TvxDBTreeListColumn* column = GetColumn(GetAbsoluteColumnIndex(Column));
    if (column && column->Field() && DataSetEditing()) {
        watchedNodes_.push_back(Node);
        column->SaveEditValue(Node, Editor, value);
        auto it = std::find(watchedNodes_.begin(), watchedNodes_.end(), Node);
        if (it != watchedNodes_.end()) {
            watchedNodes_.erase(it);
            LoadColumnNodeData(Node, column);
        }
    } else {
        value = Variant(std::string());
    }
    lastEditValue_ = value;
    return value;
}

Variant TCustomvxDBTreeListControl::GetEditText(TvxTreeListNode* Node, TvxInplaceEdit* Editor) {
    lastEditValue_ = TCustomvxTreeListControl::GetEditText(Node, Editor);
    return lastEditValue_;
}

bool TCustomvxDBTreeListControl::IsEditing() {
    TvxDBTreeListControlDataLink* link = GetDataLink();
    return TCustomvxTreeListControl::IsEditing() && GetFocusedNode() && link && link->Active();
}

void TCustomvxDBTreeListControl::UpdateData() {
    // The editor validates its value and posts it. The focus comes back only from the
    // editor: a grid left for another control must not pull it back while committing.
    CloseEditor(false);
}

void TCustomvxDBTreeListControl::UpdateActiveEditor() {
    if (State() != 2) return;
    TvxDBTreeListColumn* column = FocusedDBColumn();
    if (column && !column->IsFieldValueEqual(lastEditValue_)) {
        ResetEditing();
        CloseEditor(false);
    }
}

void TCustomvxDBTreeListControl::RefreshEditorValue(TField* Field) {
    if (!HandleAllocated()) return;
    TvxTreeListNode* node = GetFocusedNode();
    GetFocusedValue(node);
    TvxDBTreeListColumn* column = FocusedDBColumn();
    if (!column) return;
    column->SetDrawingNode(node);
    struct Clear {
        TvxDBTreeListColumn* c;
        ~Clear() { c->SetDrawingNode(nullptr); }
    } clear{column};
    TvxInplaceEdit* editor = Editor();
    if ((!Field || Field == column->Field()) && State() == 2 && editor && !editor->ValueSettingGuard() &&
        !column->IsFieldValueEqual(lastEditValue_))
        ResetEditing();
}

// ---- New-item row ----

void TCustomvxDBTreeListControl::DoEditingNewItemRow(bool& Allow) {
    Allow = false;
    TvxDBTreeListColumn* column = FocusedDBColumn();
    TDataSet* ds = DataSet();
    if (!column || !column->IsEditorEnabled() || !ds || !ds->Active() || !CanInsert() || !CanNavigation()) return;
    if (ds->State() != dsInsert) ds->Insert();
    Allow = true;
    if (OnEditing) OnEditing(this, GetFocusedNode(), Allow);
}

void TCustomvxDBTreeListControl::StartNewItemRow() {
    bool allow = false;
    DoEditingNewItemRow(allow);
}

bool TCustomvxDBTreeListControl::IsNewItemRowEditing() { return GetFocusedNode() && DataSetInState(dsInsert); }

void TCustomvxDBTreeListControl::GetNewItemRowText(int Column, std::string& Text) {
    Text = IsNewItemRowEditing() ? GetNodeString(GetFocusedNode(), Column) : std::string();
}

bool TCustomvxDBTreeListControl::IsDragScroll() {
    return TCustomvxTreeListControl::IsDragScroll() && !DataSetEditing();
}

// ---- Leaving and dragging ----

void TCustomvxDBTreeListControl::DoExit() {
    TvxDBTreeListControlDataLink* link = GetDataLink();
    if (link && link->Active()) {
        TDataSet* ds = DataSet();
        if (IsCancelOnExit() && ds && ds->State() == dsInsert && !ds->Modified()) {
            if (link->Modified())
                link->UpdateRecord();
            else
                ds->Cancel();
        } else {
            link->UpdateRecord();
        }
    }
    if (IsMultiSelect() && State() == 2 && GetSelectedCount() > 0) InvalidateSelection();
    TCustomvxTreeListControl::DoExit();
}

void TCustomvxDBTreeListControl::DoStartDrag(TDragObject*& DragObject) {
    if (DataSetEditing()) DataSet()->Post();
    TCustomvxTreeListControl::DoStartDrag(DragObject);
}
