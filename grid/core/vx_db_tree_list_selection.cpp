// The selection as a sorted list of bookmarks, the indicator, the dataset search and the
// horizontal scroll that snaps to columns.

#include <algorithm>
#include <utility>

#include "controls/vx_inplace_edit.h"
#include "grid/core/vx_db_tree_list_control.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/erase_at.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/scroll_bars.h"

// ---- Bookmarks ----

int TCustomvxDBTreeListControl::CompareSelectedBookmarks(const TBookmark& A, const TBookmark& B) const {
    TvxDBTreeListControlDataLink* link = GetDataLink();
    TDataSet* ds = DataSet();
    return link && link->Active() && ds ? ds->CompareBookmarks(A, B) : -1;
}

bool TCustomvxDBTreeListControl::FindInteger(const std::vector<int>& List, int Value, int& Index) {
    auto it = std::lower_bound(List.begin(), List.end(), Value);
    Index = static_cast<int>(it - List.begin());
    return it != List.end() && *it == Value;
}

void TCustomvxDBTreeListControl::DetachSelectedNode(const TvxTreeListNode* Node) {
    const TBookmark* attached = selectedNodeBookmarks_.Find(Node);
    if (!attached) return;
    if (TvxTreeListNode** slot = selected_.Slot(*attached); slot && *slot == Node)
        *slot = nullptr;
    else
        // The dataset no longer orders the list as it did when the row was attached.
        selected_.ForgetNode(Node);
    selectedNodeBookmarks_.Erase(Node);
}

TvxTreeListNode* TCustomvxDBTreeListControl::AddSelectedBookmark(TBookmark Bookmark, TvxTreeListNode* Node) {
    // Without an active link there is no order to keep bookmarks waiting in.
    const bool mayWait = GetDataLink() && GetDataLink()->Active();
    TvxTreeListNode** slot = selected_.Add(Bookmark, mayWait);
    if (!Node || *slot == Node) return nullptr;
    // A row stands for one entry: the entry's former row and the row's former entry let go
    // (which adds or moves no entry, so the slot holds).
    TvxTreeListNode* const former = *slot;
    if (former) selectedNodeBookmarks_.Erase(former);
    *slot = nullptr;
    DetachSelectedNode(Node);
    *slot = Node;
    selectedNodeBookmarks_.Get(Node) = std::move(Bookmark);
    return former;
}

void TCustomvxDBTreeListControl::ReserveSelectedRows(size_t Rows) {
    selectedNodeBookmarks_.Reserve(selectedNodeBookmarks_.Count() + Rows);
}

void TCustomvxDBTreeListControl::RemoveSelectedBookmark(const TBookmark& Bookmark) {
    TvxTreeListNode* node = nullptr;
    if (selected_.Remove(Bookmark, &node) && node) selectedNodeBookmarks_.Erase(node);
}

void TCustomvxDBTreeListControl::RemoveSelectedEntries(const std::vector<int>& Indexes) {
    if (Indexes.empty()) return;
    const std::vector<TvxTreeListNode*>& nodes = selected_.Nodes();
    for (int i : Indexes)
        if (TvxTreeListNode* node = nodes[static_cast<size_t>(i)]) selectedNodeBookmarks_.Erase(node);
    selected_.RemoveAt(Indexes);
}

bool TCustomvxDBTreeListControl::RefreshSelectedBookmarks() {
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active() || !GetDataLink() || !GetDataLink()->Active()) return false;
    std::vector<int> gone;
    const std::vector<TBookmark>& bookmarks = selected_.Keys();
    for (size_t i = 0; i < bookmarks.size(); ++i)
        if (!ds->BookmarkValid(bookmarks[i])) gone.push_back(static_cast<int>(i));
    RemoveSelectedEntries(gone);
    selected_.Resort();
    return !gone.empty();
}

void TCustomvxDBTreeListControl::AssignSelectedBookmarks(std::vector<TBookmark> Bookmarks,
                                                         std::vector<TvxTreeListNode*> Nodes) {
    Nodes.resize(Bookmarks.size(), nullptr);
    selectedNodeBookmarks_.Clear();
    for (size_t i = 0; i < Nodes.size(); ++i)
        if (TvxTreeListNode* node = Nodes[i]) {
            bool added = false;
            TBookmark& attached = selectedNodeBookmarks_.Get(node, &added);
            if (added)
                attached = Bookmarks[i];
            else
                Nodes[i] = nullptr;
        }
    selected_.Assign(std::move(Bookmarks), std::move(Nodes));
}

int TCustomvxDBTreeListControl::GetSelectedCount() { return selected_.Count(); }

TvxTreeListNode* TCustomvxDBTreeListControl::GetSelectedItem(int Index) {
    if (Index < 0 || Index >= GetSelectedCount()) return nullptr;
    return Index == 0 ? selected_.FirstNode() : selected_.Node(Index);
}

void TCustomvxDBTreeListControl::ClearSelection() {
    if (!IsDestroying() && GetSelectedCount() > 0) InvalidateSelection();
    selected_.Clear();
    selectedNodeBookmarks_.Clear();
    TCustomvxTreeListControl::ClearSelection();
}

void TCustomvxDBTreeListControl::SelectRange(TvxTreeListNode* Node1, TvxTreeListNode* Node2) {
    if (DataSetEditing() || !IsMultiSelect()) return;
    BeginSelection();
    TScopeExit end([this] { EndSelection(); });
    if (IsSelectionByNodes()) {
        TCustomvxTreeListControl::SelectRange(Node1, Node2);
        return;
    }
    // Record selection needs the grid to reach each node's record; the grid does it.
}

void TCustomvxDBTreeListControl::SelectFocusedOnly() {
    TvxTreeListNode* focused = GetFocusedNode();
    if (!IsMultiSelect() || Focused() || (InplaceEditor() && InplaceEditor()->Focused()) || GetCount() == 0 || !focused)
        return;
    if (GetSelectedCount() == 1 && focused->Selected()) return;
    BeginSelection();
    TScopeExit end([this] { EndSelection(); });
    ClearSelection();
    focused->SetSelected(true);
}

// ---- Indicator ----

int TCustomvxDBTreeListControl::GetIndicatorKind(TvxTreeListNode* Node, bool Selected) {
    if (Node && Node == GetFocusedNode()) {
        if (DataSetInState(dsEdit)) return 2;
        if (DataSetInState(dsInsert)) return 3;
        return Selected && IsMultiSelect() ? 5 : 1;
    }
    return Selected ? 4 : 0;
}

// ---- Horizontal scrolling snaps to columns ----

void TCustomvxDBTreeListControl::WMHScroll(TMessage& Message) {
    const int code = static_cast<int>(LOWORD(Message.WParam));
    if (!AcquireFocus() || ColumnCount() == 0) return;
    if (code != SB_LINELEFT && code != SB_LINERIGHT && code != SB_THUMBPOSITION && code != SB_THUMBTRACK) {
        TCustomvxTreeListControl::WMHScroll(Message);
        return;
    }
    // The starts of the visible columns in scroll coordinates.
    std::vector<int> starts;
    int x = 0;
    for (int v = 0; v < GetVisibleColumnCount(); ++v) {
        starts.push_back(x);
        x += GetColumnShownWidth(GetAbsoluteColumnIndex(v));
    }
    if (starts.empty()) return;
    const int left = LeftCoord();
    int target = left;
    if (code == SB_LINELEFT) {
        target = starts.front();
        for (int s : starts)
            if (s < left) target = s;
    } else if (code == SB_LINERIGHT) {
        target = starts.back();
        for (auto it = starts.rbegin(); it != starts.rend(); ++it)
            if (*it > left) target = *it;
    } else {
        // The thumb's place from the bar (the message's 16 bits cut wide grids short).
        SCROLLINFO info;
        info.fMask = SIF_TRACKPOS;
        FlatSB_GetScrollInfo(SB_HORZ, info);
        const int pos = info.nTrackPos;
        const int range = std::max(0, GetScrollableWidth() - GetVisibleDataWidth());
        if (pos < 1) {
            target = 0;
        } else if (pos >= range) {
            target = range;
        } else {
            target = starts.front();
            for (int s : starts)
                if (s <= pos) target = s;
        }
    }
    SetLeftCoord(target);
}
