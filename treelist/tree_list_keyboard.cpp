// Keyboard of TCustomvxTreeList: keys move the focused node and column, extend and take back
// range selections, expand and collapse, open and close the in-place editor, run the
// incremental search and copy the selection.

#include "controls/vx_inplace_edit.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/input.h"
#include "platform/win/virtual_keys.h"
#include "treelist/custom_tree_list.h"

namespace {

bool IsSizingOrDragging(uint8_t State) {
    switch (State) {
        case 1:
        case 3:
        case 8:
        case 9:
        case 12:
        case 13:
        case 14: return true;
        default: return false;
    }
}

bool ClosesEditor(uint16_t Key) {
    switch (Key) {
        case VK_TAB:
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_UP:
        case VK_DOWN: return true;
        default: return false;
    }
}

bool ExtendsRange(uint16_t Key) {
    switch (Key) {
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_UP:
        case VK_DOWN: return true;
        default: return false;
    }
}

// Read at the key itself: Ctrl without Alt is a shortcut; AltGr reports both and types text.
bool CtrlShortcutHeld() { return GetAsyncKeyState(VK_CONTROL) < 0 && GetAsyncKeyState(VK_MENU) >= 0; }

}  // namespace

void TCustomvxTreeList::KeyDown(uint16_t& Key, TShiftState Shift) {
    BeginSelection();
    TScopeExit end([this] { EndSelection(); });
    TCustomvxContainer::KeyDown(Key, Shift);
    if (!CanProcessKey(Key, Shift)) Key = 0;
    if (IsSizingOrDragging(state_)) {
        if (Key == VK_ESCAPE) CancelDragSizing();
        return;
    }
    if (roots_.empty() || Key == 0) return;
    if (state_ == 2 && ClosesEditor(Key)) {
        CloseEditor(true);
        if (Key == VK_ESCAPE) return;
    }
    if (newItemRowActive_ && (Key == VK_NEXT || Key == VK_DOWN)) {
        SetNewItemRowActive(false);
        if (topNode_) topNode_->SetFocused(true);
        if (!Shift.Contains(ssCtrl) && !Shift.Contains(ssShift)) {
            ClearSelection();
            SetSelectionAnchor(nullptr);
            if (focusedNode_) focusedNode_->SetSelected(true);
        }
        return;
    }
    if (searchActive_ && (Key == VK_BACK || Key == VK_ESCAPE || Key == VK_DELETE ||
                          (Key == VK_RETURN && (Shift.Contains(ssShift) || Shift.Contains(ssCtrl))))) {
        SearchKey(Key, Shift);
        return;
    }
    if (Shift.Contains(ssCtrl) && !(Shift.Contains(ssShift) && ExtendsRange(Key) && CanSelectRange())) {
        rangeExtension_ = false;
        CtrlKey(Key);
        return;
    }
    PlainKey(Key, Shift);
    if (GetSelectedCount() == 0 && focusedNode_) focusedNode_->SetSelected(true);
}

void TCustomvxTreeList::SearchKey(uint16_t Key, TShiftState Shift) {
    SyncSearchColumn();
    if (Key == VK_ESCAPE) {
        EndSearchHighlight();
        return;
    }
    int direction = 0;
    if (Key == VK_BACK && !searchText_.empty())
        searchText_.resize(Utf8ByteOffset(searchText_, Utf8Length(searchText_) - 1));
    else if (Key == VK_DELETE)
        searchText_.clear();
    else if (Key == VK_RETURN)
        direction = Shift.Contains(ssCtrl) ? 2 : 1;
    DoIncrementalSearch(searchText_, direction, false);
}

void TCustomvxTreeList::CtrlKey(uint16_t Key) {
    const int index = GetFocusedAbsoluteNodeIndex();
    switch (Key) {
        case VK_SPACE:
            if ((IsRowSelect() || !IsEditingAllowed()) && focusedNode_) {
                focusedNode_->SetSelected(!IsNodeSelected(focusedNode_));
                SetSelectionAnchor(focusedNode_);
            }
            break;
        case VK_PRIOR: PageStep(-1); break;
        case VK_NEXT: PageStep(1); break;
        case VK_HOME: SetFocusedAbsoluteNodeIndex(0); break;
        case VK_END: SetFocusedAbsoluteNodeIndex(GetAbsoluteCount() - 1); break;
        case VK_LEFT: SetFocusedColumn(0); break;
        case VK_RIGHT: SetFocusedColumn(GetVisibleColumnCount() - 1); break;
        case VK_UP:
            if (IsFirstNode(focusedNode_))
                SetNewItemRowActive(true);
            else
                SetFocusedAbsoluteNodeIndex(index - 1);
            break;
        case VK_DOWN: SetFocusedAbsoluteNodeIndex(index + 1); break;
        case VK_INSERT: CopySelectedToClipboard(); break;
        default: break;
    }
}

void TCustomvxTreeList::RangePrologue(bool Shift) {
    ClearSelection();
    if (Shift && CanSelectRange()) {
        if (!selectionAnchor_) SetSelectionAnchor(focusedNode_);
    } else {
        SetSelectionAnchor(nullptr);
    }
}

void TCustomvxTreeList::RangeEpilogue(bool Shift) {
    if (Shift && CanSelectRange() && selectionAnchor_ && focusedNode_) SelectRange(selectionAnchor_, focusedNode_);
}

void TCustomvxTreeList::PlainKey(uint16_t Key, TShiftState Shift) {
    const bool shift = Shift.Contains(ssShift);
    const int index = GetFocusedAbsoluteNodeIndex();
    const int column = GetFocusedColumn();
    const int columns = GetVisibleColumnCount();
    switch (Key) {
        case VK_HOME:
        case VK_END:
            if (IsRowSelect() || shift) {
                RangePrologue(shift);
                SetFocusedAbsoluteNodeIndex(Key == VK_HOME ? 0 : GetAbsoluteCount() - 1);
                RangeEpilogue(shift);
            } else {
                SetFocusedColumn(Key == VK_HOME ? 0 : columns - 1);
            }
            break;
        case VK_PRIOR:
            RangePrologue(shift);
            if (IsFirstNode(focusedNode_))
                SetNewItemRowActive(true);
            else
                PageStep(-1);
            RangeEpilogue(shift);
            break;
        case VK_NEXT:
            RangePrologue(shift);
            PageStep(1);
            RangeEpilogue(shift);
            break;
        case VK_UP:
            if (IsVertThrough() && HeaderRowStep(-1)) break;
            if (IsFirstNode(focusedNode_))
                SetNewItemRowActive(true);
            else
                RowStep(-1, shift);
            break;
        case VK_DOWN:
            if (IsVertThrough() && HeaderRowStep(1)) break;
            RowStep(1, shift);
            break;
        case VK_LEFT:
            if (IsRowSelect())
                TreeStepLeft();
            else if (column == 0 && IsHorzThrough())
                FocusPreviousNodeLastColumn();
            else
                SetFocusedColumn(column - 1);
            break;
        case VK_RIGHT:
            if (IsRowSelect())
                TreeStepRight();
            else if (column >= columns - 1 && IsHorzThrough())
                FocusNextNodeFirstColumn();
            else
                SetFocusedColumn(column + 1);
            break;
        case VK_TAB:
            if (Shift.Contains(ssAlt)) break;
            if (IsRowSelect()) {
                ClearSelection();
                SetFocusedAbsoluteNodeIndex(index + (shift ? -1 : 1));
            } else if (shift) {
                const int target = FocusableColumnBackward(column - 1);
                if (target < 0 && IsTabThrough())
                    FocusPreviousNodeLastColumn();
                else
                    SetFocusedColumn(target);
            } else {
                const int target = FocusableColumnForward(column + 1);
                if (target >= columns && IsTabThrough())
                    FocusNextNodeFirstColumn();
                else
                    SetFocusedColumn(target);
            }
            break;
        case VK_RETURN:
            if (IsEnterThrough()) {
                const int target = FocusableColumnForward(column + 1);
                if (target >= columns)
                    FocusNextNodeFirstColumn();
                else
                    SetFocusedColumn(target);
                ShowEditor();
            }
            break;
        case VK_ESCAPE:
            ClearSelection();
            ResetEditing();
            if (editor_) editor_->DeselectText();
            CloseEditor(true);
            break;
        case VK_F2: ShowEditor(); break;
        default: break;
    }
}

void TCustomvxTreeList::TreeStepLeft() {
    if (!focusedNode_) return;
    focusedNode_->MakeVisible();
    if (newItemRowActive_) return;
    TvxTreeListNode* parent = focusedNode_->Parent();
    if (focusedNode_->Expanded()) {
        focusedNode_->Collapse(false);
    } else if (parent && parent->GetFirstChild() == focusedNode_) {
        ClearSelection();
        parent->SetFocused(true);
        parent->SetSelected(true);
    } else {
        ClearSelection();
        SetFocusedAbsoluteNodeIndex(GetFocusedAbsoluteNodeIndex() - 1);
    }
}

void TCustomvxTreeList::TreeStepRight() {
    if (!focusedNode_) return;
    focusedNode_->MakeVisible();
    if (newItemRowActive_) return;
    if (!focusedNode_->HasChildren()) {
        ClearSelection();
        SetFocusedAbsoluteNodeIndex(GetFocusedAbsoluteNodeIndex() + 1);
    } else if (!focusedNode_->Expanded()) {
        focusedNode_->Expand(false);
    } else if (TvxTreeListNode* child = focusedNode_->Count() > 0 ? focusedNode_->GetFirstChild() : nullptr) {
        ClearSelection();
        child->SetFocused(true);
        child->SetSelected(true);
    }
}

int TCustomvxTreeList::FocusableColumnForward(int From) {
    const int count = GetVisibleColumnCount();
    for (int j = std::max(0, From); j < count; ++j)
        if (GetColumnTabStop(GetAbsoluteColumnIndex(j))) return j;
    return count;
}

int TCustomvxTreeList::FocusableColumnBackward(int From) {
    for (int j = std::min(From, GetVisibleColumnCount() - 1); j >= 0; --j)
        if (GetColumnTabStop(GetAbsoluteColumnIndex(j))) return j;
    return -1;
}

void TCustomvxTreeList::FocusNextNodeFirstColumn() {
    ClearSelection();
    SetFocusedAbsoluteNodeIndex(GetFocusedAbsoluteNodeIndex() + 1);
    const int target = FocusableColumnForward(0);
    if (target < GetVisibleColumnCount()) SetFocusedColumn(target);
}

void TCustomvxTreeList::FocusPreviousNodeLastColumn() {
    ClearSelection();
    SetFocusedAbsoluteNodeIndex(GetFocusedAbsoluteNodeIndex() - 1);
    const int target = FocusableColumnBackward(GetVisibleColumnCount() - 1);
    if (target >= 0) SetFocusedColumn(target);
}

void TCustomvxTreeList::RowStep(int Direction, bool Shift) {
    bool selectReached = false;
    if (IsMultiSelect() && focusedNode_) {
        // A lone selection at the end the move cannot pass stays as it is.
        auto clearUnlessAtEnd = [&] {
            const bool atEnd = Direction < 0 ? IsFirstNode(focusedNode_) : IsLastNode(focusedNode_);
            if (!(GetSelectedCount() == 1 && atEnd)) ClearSelection();
        };
        if (Shift && rangeExtension_) {
            if (CompareWithAnchor(focusedNode_) == -Direction)
                focusedNode_->SetSelected(false);
            else
                selectReached = true;
        } else if (Shift) {
            clearUnlessAtEnd();
            if (!CanSelectRange() || !selectionAnchor_) {
                SetSelectionAnchor(focusedNode_);
                focusedNode_->SetSelected(true);
            } else {
                SelectRange(selectionAnchor_, focusedNode_);
                const int distance = GetAbsoluteIndex(selectionAnchor_) - GetAbsoluteIndex(focusedNode_);
                const int sign = (distance > 0) - (distance < 0);
                if (sign == Direction) focusedNode_->SetSelected(false);
            }
            rangeExtension_ = true;
            selectReached = true;
        } else {
            clearUnlessAtEnd();
            SetSelectionAnchor(nullptr);
        }
    }
    SetFocusedAbsoluteNodeIndex(GetFocusedAbsoluteNodeIndex() + Direction);
    if (selectReached && focusedNode_) focusedNode_->SetSelected(true);
}

void TCustomvxTreeList::PageStep(int Direction) {
    if (!focusedNode_) return;
    const int count = GetAbsoluteCount();
    const int index = GetFocusedAbsoluteNodeIndex();
    if (count <= 1) {
        if ((Direction < 0 && IsFirstNode(focusedNode_)) || (Direction > 0 && IsLastNode(focusedNode_))) return;
        SetFocusedAbsoluteNodeIndex(index + Direction);
        return;
    }
    const int top = std::max(0, GetTopIndex());
    const int bottom = std::min(top + whollyVisibleRows_ - 1, count - 1);
    if (top < index && index < bottom)
        SetFocusedAbsoluteNodeIndex(Direction > 0 ? bottom : top);
    else
        SetFocusedAbsoluteNodeIndex(index + Direction * std::max(1, whollyVisibleRows_ - 1));
}

bool TCustomvxTreeList::HeaderRowStep(int Direction) {
    if (IsRowSelect() || !focusedNode_ || IsGroupNode(focusedNode_)) return false;
    const int column = GetAbsoluteColumnIndex(GetFocusedColumn());
    if (column < 0) return false;
    const int band = GetVisibleBandIndex(GetColumnBand(column));
    const int rows = GetBandRowCountOf(band);
    if (rows < 2) return false;
    const int row = GetColumnRow(column);
    int position = 0;
    while (position < GetRowColumnCount(band, row) && GetColumnAt(band, row, position) != column) ++position;
    bool nodeChanges = false;
    int target = 0;
    if (Direction < 0) {
        if (row == 0 && IsFirstNode(focusedNode_)) return false;
        nodeChanges = row == 0;
        target = nodeChanges ? rows - 1 : row - 1;
    } else {
        if (row >= rows - 1 && IsLastNode(focusedNode_)) return false;
        nodeChanges = row >= rows - 1;
        target = nodeChanges ? 0 : row + 1;
    }
    const int count = GetRowColumnCount(band, target);
    if (count == 0) return false;
    SetFocusedColumn(GetVisibleColumnIndex(GetColumnAt(band, target, std::min(position, count - 1))));
    return !nodeChanges;
}

void TCustomvxTreeList::KeyPress(char32_t& Key) {
    const bool ctrlShortcut = CtrlShortcutHeld();
    if (state_ == 0 && !searchActive_ && IsAutoSearch() && Key != 8 && Key != 9 && Key != 13 && Key != 27 &&
        !ctrlShortcut)
        StartSearch(-1, "");
    if (!searchActive_ && IsEnterShowEditor() && state_ != 2) {
        if (Key == 13) {
            ShowEditor();
        } else if (Key == 8 || Key == 22 || Key == 24 || Key >= 32) {
            ShowEditorChar(Key);
            if (state_ != 2) TCustomvxContainer::KeyPress(Key);
        } else {
            TCustomvxContainer::KeyPress(Key);
        }
    } else {
        TCustomvxContainer::KeyPress(Key);
    }
    if (state_ != 2 && focusedNode_) {
        if (Key == 3) {
            if (Has(TvxTLOptionEx::AutoCopySelectedToClipboard)) CopySelectedToClipboard();
        } else if (Key == '*') {
            if (focusedNode_->HasChildren()) focusedNode_->Expand(true);
        } else if (Key == '+') {
            focusedNode_->MakeVisible();
            focusedNode_->Expand(false);
        } else if (Key == '-') {
            focusedNode_->MakeVisible();
            focusedNode_->Collapse(false);
        }
    }
    if (state_ != 2 && searchActive_ && Key >= 32 && !ctrlShortcut) {
        SyncSearchColumn();
        searchText_ += EncodeUtf8(static_cast<uint32_t>(Key));
        DoIncrementalSearch(searchText_, 0, false);
    }
}

void TCustomvxTreeList::DoExit() {
    TCustomvxContainer::DoExit();
    CloseEditor();
}
