// The in-place editor bound to the focused cell: filled with the cell's value, placed over
// the cell, and unbound with a modified value posted back.

#include "controls/vx_inplace_edit.h"
#include "platform/rtl/scope_exit.h"
#include "treelist/custom_tree_list.h"

void TCustomvxTreeList::UpdateEditor(bool KeepLock) {
    if (!IsEditing()) return;
    const int column = GetFocusedColumn();
    if (!editor_ || editorColumn_ != column || editorNode_ != focusedNode_) {
        if (editor_) {
            HideEditor(false);
            SetState(2);
        }
        editor_ = CreateEditor();
        if (!editor_) return;
        BindEditor();
    }
    const TRect rect = GetEditorRect(focusedNode_, column);
    if (!IsEditing()) {
        editorColumn_ = -1;
        editorNode_ = nullptr;
        return;
    }
    if (KeepLock) {
        editor_->ShowEdit(rect);
        return;
    }
    // The show lock keeps the editor's own after-show step from running.
    editor_->IncShowLock();
    struct Unlock {
        TvxInplaceEdit* editor;
        ~Unlock() { editor->DecShowLock(); }
    } unlock{editor_};
    editor_->ShowEdit(rect);
}

void TCustomvxTreeList::BindEditor() {
    editorColumn_ = std::max(0, GetFocusedColumn());
    editorNode_ = focusedNode_;
    shownForColumn_ = editorColumn_;
    editor_->SetParent(this);
    if (!editorNode_) return;
    BeginLoadingValues();
    TScopeExit end([this] { EndLoadingValues(); });
    PrepareEditor(editor_);
    GetEditText(editorNode_, editor_);
    editor_->SetModified(false);
    if (IsContainerBusy()) editor_->SetReadOnly(true);
    editor_->FocusChanged(true);
}

void TCustomvxTreeList::HideEditor(bool FocusControl) {
    if (!editor_) return;
    editor_->SetHiddenByContainer(true);
    if (!editor_->HasState(csDestroying)) PostEditor();
    editorColumn_ = -1;
    editorNode_ = nullptr;
    const bool editorHadFocus = editor_->IsFocused();
    editor_->Hide();
    if ((FocusControl || editorHadFocus) && HandleAllocated() && IsWindowVisible(WindowHandle()) && !IsDestroying() &&
        CanFocus())
        SetFocus();
}

void TCustomvxTreeList::PostEditor() {
    if (editorColumn_ == -1 || !editorNode_ || !editor_ || !editor_->Modified()) return;
    TvxTreeListNode* node = editorNode_;
    AssignEditValue(node, editorColumn_, editor_);
    editor_->SetModified(false);
    DoEdited(node);
}

void TCustomvxTreeList::ResetEditing() {
    editorColumn_ = -1;
    editorNode_ = nullptr;
    UpdateEditor(false);
}

std::string TCustomvxTreeList::GetEditorText() { return state_ == 2 && editor_ ? editor_->Text() : std::string(); }

void TCustomvxTreeList::SetEditorText(const std::string& Text) {
    // As if typed: a read-only editor keeps its text, and a changed one is posted on closing.
    if (state_ == 2 && editor_) editor_->UserSetText(Text);
}
