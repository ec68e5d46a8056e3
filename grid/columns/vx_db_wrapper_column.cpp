#include "grid/columns/vx_db_wrapper_column.h"

#include "grid/core/vx_db_tree_list_control.h"
#include "platform/rtl/scope_exit.h"

TvxDBTreeListWrapperColumn::TvxDBTreeListWrapperColumn(TComponent* AOwner) : TvxDBTreeListColumn(AOwner) {
    SetDisableFilter(true);
}

TvxDBTreeListColumn* TvxDBTreeListWrapperColumn::ReferenceColumn(TvxTreeListNode* Node) {
    if (!OnGetReferenceColumn) return nullptr;
    if (!Node) {
        TCustomvxDBTreeListControl* control = DBControl();
        Node = control ? control->GetFocusedNode() : nullptr;
    }
    if (!Node) return nullptr;
    TvxDBTreeListColumn* column = nullptr;
    OnGetReferenceColumn(this, Node, column);
    return column == this ? nullptr : column;
}

void TvxDBTreeListWrapperColumn::Assign(TPersistent* Source) {
    TvxColumnAssignScope update(this);
    TvxDBTreeListColumn::Assign(Source);
    if (auto* source = dynamic_cast<TvxDBTreeListWrapperColumn*>(Source))
        OnGetReferenceColumn = source->OnGetReferenceColumn;
}

void TvxDBTreeListWrapperColumn::RestoreDefaults() {
    TvxDBTreeListColumn::RestoreDefaults();
    SetDisableFilter(true);
}

void TvxDBTreeListWrapperColumn::SaveEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    TvxDBTreeListColumn* reference = ReferenceColumn(Node);
    if (!reference) {
        TvxDBTreeListColumn::SaveEditValue(Node, Editor, Value);
        return;
    }
    // The reference column works on this column's cell while it saves.
    reference->SetIndexOverride(GetIndex());
    TScopeExit reset([reference] { reference->SetIndexOverride(-1); });
    reference->SaveEditValue(Node, Editor, Value);
}

const TvxInplaceEditClass& TvxDBTreeListWrapperColumn::GetInplaceEditClass() {
    TvxDBTreeListColumn* reference = CurrentReference();
    return reference ? reference->GetInplaceEditClass() : TvxDBTreeListColumn::GetInplaceEditClass();
}

void TvxDBTreeListWrapperColumn::GetHotTrackCursor(TCursor& Cursor) {
    if (TvxDBTreeListColumn* reference = FocusedReference())
        reference->GetHotTrackCursor(Cursor);
    else
        TvxDBTreeListColumn::GetHotTrackCursor(Cursor);
}

TvxEditViewData* TvxDBTreeListWrapperColumn::GetViewData() {
    TvxDBTreeListColumn* reference = CurrentReference();
    return reference ? reference->GetViewData() : TvxDBTreeListColumn::GetViewData();
}

void TvxDBTreeListWrapperColumn::InitEditProperties(TvxInplaceEdit* Editor) {
    if (TvxDBTreeListColumn* reference = FocusedReference())
        reference->InitEditProperties(Editor);
    else
        TvxDBTreeListColumn::InitEditProperties(Editor);
}

void TvxDBTreeListWrapperColumn::InitEditValue(TvxTreeListNode* Node, TvxInplaceEdit* Editor, Variant& Value) {
    if (TvxDBTreeListColumn* reference = ReferenceColumn(Node))
        reference->InitEditValue(Node, Editor, Value);
    else
        TvxDBTreeListColumn::InitEditValue(Node, Editor, Value);
}

bool TvxDBTreeListWrapperColumn::CanShowButton() {
    TvxDBTreeListColumn* reference = CurrentReference();
    return reference ? reference->CanShowButton() : TvxDBTreeListColumn::CanShowButton();
}

void TvxDBTreeListWrapperColumn::GetDrawInfo(TvxEditViewData& ViewData, const TvxTreeListCellDrawRecord& Cell) {
    TvxDBTreeListColumn* reference = CurrentReference();
    if (!reference) {
        TvxDBTreeListColumn::GetDrawInfo(ViewData, Cell);
        return;
    }
    // The reference column draws the row being drawn here (its button rule and pictures
    // ask for the row), then goes back to whatever it was drawing itself.
    TvxTreeListNode* own = reference->DrawingNode();
    reference->SetDrawingNode(DrawingNode());
    TScopeExit restore([reference, own] { reference->SetDrawingNode(own); });
    reference->GetDrawInfo(ViewData, Cell);
}

void TvxDBTreeListWrapperColumn::GetDisplayText(TvxTreeListNode* Node, std::string& Text) {
    if (TvxDBTreeListColumn* reference = ReferenceColumn(Node))
        reference->GetDisplayText(Node, Text);
    else
        TvxDBTreeListColumn::GetDisplayText(Node, Text);
}

const TvxInplaceEditClass& TvxDBTreeListWrapperColumn::GetFilterEditClass() {
    TvxDBTreeListColumn* reference = FocusedReference();
    return reference ? reference->GetFilterEditClass() : TvxDBTreeListColumn::GetFilterEditClass();
}

void TvxDBTreeListWrapperColumn::GetFilterEditValue(TvxInplaceEdit* Editor, Variant& Value, std::string& DisplayText) {
    if (TvxDBTreeListColumn* reference = FocusedReference())
        reference->GetFilterEditValue(Editor, Value, DisplayText);
    else
        TvxDBTreeListColumn::GetFilterEditValue(Editor, Value, DisplayText);
}

void TvxDBTreeListWrapperColumn::SetFilterEditValue(TvxInplaceEdit* Editor, const Variant& Value) {
    if (TvxDBTreeListColumn* reference = FocusedReference())
        reference->SetFilterEditValue(Editor, Value);
    else
        TvxDBTreeListColumn::SetFilterEditValue(Editor, Value);
}

TvxFilterOperators TvxDBTreeListWrapperColumn::GetFilterOperators() {
    TvxDBTreeListColumn* reference = FocusedReference();
    return reference ? reference->GetFilterOperators() : TvxDBTreeListColumn::GetFilterOperators();
}

void TvxDBTreeListWrapperColumn::InitFilterEdit(TvxInplaceEdit* Editor) {
    if (TvxDBTreeListColumn* reference = FocusedReference())
        reference->InitFilterEdit(Editor);
    else
        TvxDBTreeListColumn::InitFilterEdit(Editor);
}

bool TvxDBTreeListWrapperColumn::EditsFieldValue() {
    TvxDBTreeListColumn* reference = FocusedReference();
    return reference ? reference->EditsFieldValue() : TvxDBTreeListColumn::EditsFieldValue();
}
