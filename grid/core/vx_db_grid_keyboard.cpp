// The grid's keys before the tree list's: deleting, inserting and appending records,
// dropping an untouched new record, group rows opened and closed with Left and Right, and
// the record-wise moves and range selection of the record window.

#include "grid/core/vx_db_grid.h"
#include "platform/db/dataset.h"
#include "platform/forms/message_box.h"
#include "platform/win/message_queue.h"
#include "platform/win/scroll_bars.h"
#include "platform/win/virtual_keys.h"

bool TCustomvxDBGrid::ConfirmDelete() {
    if (!Has(egoConfirmDelete)) return true;
    const char* text = GetSelectedCount() > 0 ? kvxDeleteSelectedText : kvxDeleteRecordText;
    return MessageBox(text, kvxConfirmCaption, MB_OKCANCEL | MB_ICONQUESTION) != IDCANCEL;
}

void TCustomvxDBGrid::KeyDown(uint16_t& Key, TShiftState Shift) {
    TKeyEvent handler = std::move(OnKeyDown);
    OnKeyDown = nullptr;
    BeginSelection();
    TScopeExit end([this] { EndSelection(); });
    keyProcessing_ = true;
    struct Restore {
        TCustomvxDBGrid* grid;
        TKeyEvent& handler;
        ~Restore() {
            grid->OnKeyDown = std::move(handler);
            grid->keyProcessing_ = false;
        }
    } restore{this, handler};
    if (handler) handler(this, Key, Shift);
    if (Key != 0) RecordKey(Key, Shift);
    TCustomvxDBTreeListControl::KeyDown(Key, Shift);
}

bool TCustomvxDBGrid::RecordKey(uint16_t& Key, TShiftState Shift) {
    TDataSet* ds = DataSet();
    const bool ctrl = Shift.Contains(ssCtrl), shift = Shift.Contains(ssShift);
    if (IsPartialLoadMode() && shift && !SelectionAnchor() && dataLink_->Active()) SetSelectionAnchor(GetFocusedNode());
    if (!dataLink_->Active() || !ds) return false;
    uint16_t probe = Key;
    if (!CanProcessKey(probe, Shift) || probe == 0) return false;
    TvxTreeListNode* focused = GetFocusedNode();
    const bool rowSelect = Has(egoRowSelect);

    if (Key == VK_DELETE && ctrl) {
        if (IsNewItemRowActive() || !Has(egoCanDelete) || !Has(egoCanNavigation)) return false;
        if (IsBusy() || !focused || IsGroupNode(focused) || ds->IsEmpty() || !ds->CanModify()) return false;
        // Selected group rows are no records to delete: with only those selected, nothing is
        // deleted, as on a focused group row.
        if (GetSelectedCount() > 0 && RecordEntries().empty()) return false;
        if (!ConfirmDelete()) return false;
        if (GetSelectedCount() == 0) {
            if (auto* node = NodeAs<TvxDBGridNode>(focused)) node->DeleteRecord();
        } else {
            DeleteSelection();
        }
        Key = 0;
        return true;
    }
    if (Key == VK_ESCAPE) {
        if (State() != 2) dataLink_->Reset();
        return true;
    }
    const bool untouchedInsert = ds->State() == dsInsert && !ds->Modified();
    if (IsCursorMode()) {
        // A range runs from where the first Shift-move started; any other key starts over.
        if (!shift) selectionAnchorBookmark_.clear();
        if ((Key == VK_END || Key == VK_HOME) && !shift && (rowSelect || ctrl)) {
            if (Key == VK_END)
                ds->Last();
            else
                ds->First();
            if (!ctrl) {
                ClearSelection();
                if (GetFocusedNode()) GetFocusedNode()->SetSelected(true);
            }
            Key = 0;
            return true;
        }
        if (ds->CanModify() && Has(egoEditing) && !rowSelect) {
            if (Key == VK_UP && untouchedInsert && ds->Eof() && !dataLink_->Editing()) ds->Cancel();
            if (Key == VK_DOWN) {
                if (untouchedInsert && !ds->Eof()) ds->Cancel();
                TCustomvxDBTreeListControl::KeyDown(Key, Shift);
                Key = 0;
                if (Has(egoCanAppend) && Has(egoCanInsert) && ds->Eof() && ds->State() == dsBrowse) {
                    if (GetSelectedCount() == 1) ClearSelection();
                    ds->Append();
                }
                return true;
            }
            if (Key == VK_INSERT && !ctrl && Has(egoCanInsert) && Has(egoCanNavigation)) {
                ClearSelection();
                ds->Insert();
                Key = 0;
                return true;
            }
        }
        if (shift && IsMultiSelect() && (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME)) {
            if (selectionAnchorBookmark_.empty()) selectionAnchorBookmark_ = ds->Bookmark();
            const int row = focused ? IndexOfRoot(focused) : 0;
            const int page = std::max(1, PartlyVisibleRows() - 1);
            if (Key == VK_PRIOR) ds->MoveBy(-(row > 0 ? row : page));
            if (Key == VK_NEXT) {
                const int last = std::max(0, GetCount() - 1);
                ds->MoveBy(row < last ? last - row : page);
            }
            if (Key == VK_HOME) ds->First();
            if (Key == VK_END) ds->Last();
            SelectCursorRange(Key == VK_PRIOR || Key == VK_HOME, ds->RecordCount() >= 0 ? ds->RecordCount() : 1 << 30);
            Key = 0;
            return true;
        }
        return false;
    }

    // All records loaded, or a loaded run.
    if (!rowSelect && !IsNewItemRowActive() && focused && IsGroupNode(focused) && focused->Count() > 0) {
        if (Key == VK_LEFT && focused->Expanded()) {
            focused->Collapse(false);
            Key = 0;
            return true;
        }
        if (Key == VK_RIGHT && !focused->Expanded()) {
            focused->Expand(false);
            Key = 0;
            return true;
        }
    }
    if (Key == VK_INSERT && !ctrl && !rowSelect && ds->CanModify() && Has(egoCanInsert) && Has(egoCanNavigation)) {
        CloseEditor();
        ClearSelection();
        ds->Insert();
        ShowEditor();
        Key = 0;
        return true;
    }
    if (Key == VK_UP && DataSetEditing()) {
        if (untouchedInsert && ds->Eof()) {
            ds->Cancel();
            if (TvxTreeListNode* last = GetLastVisibleNode()) last->SetFocused(true);
            Key = 0;
            return true;
        }
        if (focused && focused == GetFirstNode()) ds->Post();
        return false;
    }
    if (Key == VK_DOWN && focused && focused == GetLastVisibleNode()) {
        if (untouchedInsert && ds->Eof()) {
            ds->Cancel();
            if (TvxTreeListNode* last = GetLastVisibleNode()) last->SetFocused(true);
            Key = 0;
            return true;
        }
        if (DataSetEditing()) {
            ds->Post();
            return false;
        }
        if (Has(egoCanAppend) && ds->CanModify() && Has(egoCanInsert)) {
            if (GetSelectedCount() == 1) ClearSelection();
            ds->Append();
            Key = 0;
            return true;
        }
        return false;
    }
    if (rowSelect && (Key == VK_LEFT || Key == VK_RIGHT) && focused && !IsGroupNode(focused)) {
        if (HandleAllocated()) PostMessage(WindowHandle(), WM_HSCROLL, Key == VK_LEFT ? SB_LINELEFT : SB_LINERIGHT, 0);
        Key = 0;
        return true;
    }
    return false;
}
