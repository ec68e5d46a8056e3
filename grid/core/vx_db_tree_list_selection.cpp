// The selection as a sorted list of bookmarks, the indicator, the dataset search and the
// horizontal scroll that snaps to columns.

#include <algorithm>

#include "controls/vx_inplace_edit.h"
#include "grid/core/vx_db_tree_list_control.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/erase_at.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/scroll_bars.h"

// ---- Bookmarks ----

int TCustomvxDBTreeListControl::CompareSelectedBookmarks(const TBookmark& A, const TBookmark& B) {
    TvxDBTreeListControlDataLink* link = GetDataLink();
    TDataSet* ds = DataSet();
    return link && link->Active() && ds ? ds->CompareBookmarks(A, B) : -1;
}

bool TCustomvxDBTreeListControl::FindBookmark(const TBookmark& Bookmark, int& Index) {
    MergePendingBookmarks();
    return SearchBookmarks(Bookmark, Index);
}

bool TCustomvxDBTreeListControl::SearchBookmarks(const TBookmark& Bookmark, int& Index) {
    if (bookmarkCacheIndex_ >= 0 && bookmarkCacheKey_ == Bookmark) {
        Index = bookmarkCacheIndex_;
        return bookmarkCacheFound_;
    }
    int lo = 0, hi = static_cast<int>(selectedBookmarks_.size()) - 1;
    bool found = false;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = CompareSelectedBookmarks(selectedBookmarks_[static_cast<size_t>(mid)], Bookmark);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                lo = mid;
                break;
            }
        }
    }
    Index = lo;
    bookmarkCacheKey_ = Bookmark;
    bookmarkCacheFound_ = found;
    bookmarkCacheIndex_ = Index;
    return found;
}

bool TCustomvxDBTreeListControl::FindInteger(const std::vector<int>& List, int Value, int& Index) {
    auto it = std::lower_bound(List.begin(), List.end(), Value);
    Index = static_cast<int>(it - List.begin());
    return it != List.end() && *it == Value;
}

void TCustomvxDBTreeListControl::DetachSelectedNode(const TvxTreeListNode* Node) {
    const TBookmark* attached = selectedNodeBookmarks_.Find(Node);
    if (!attached) return;
    int index = 0;
    if (auto pending = pendingBookmarks_.find(*attached);
        pending != pendingBookmarks_.end() && pending->second == Node)
        pending->second = nullptr;
    else if (SearchBookmarks(*attached, index) && selectedNodes_[static_cast<size_t>(index)] == Node)
        selectedNodes_[static_cast<size_t>(index)] = nullptr;
    else
        // The dataset no longer orders the list as it did when the row was attached.
        std::replace(selectedNodes_.begin(), selectedNodes_.end(), const_cast<TvxTreeListNode*>(Node),
                     static_cast<TvxTreeListNode*>(nullptr));
    selectedNodeBookmarks_.Erase(Node);
}

void TCustomvxDBTreeListControl::AttachSelectedNode(int Index, TvxTreeListNode* Node) {
    TvxTreeListNode* former = selectedNodes_[static_cast<size_t>(Index)];
    if (former == Node) return;
    if (former) selectedNodeBookmarks_.Erase(former);
    selectedNodes_[static_cast<size_t>(Index)] = nullptr;
    if (!Node) return;
    DetachSelectedNode(Node);
    selectedNodes_[static_cast<size_t>(Index)] = Node;
    selectedNodeBookmarks_.Get(Node) = selectedBookmarks_[static_cast<size_t>(Index)];
}

void TCustomvxDBTreeListControl::AddSelectedBookmark(const TBookmark& Bookmark, TvxTreeListNode* Node) {
    // A row standing for another entry leaves it first.
    if (Node && selectedNodeBookmarks_.Find(Node)) MergePendingBookmarks();
    if (auto pending = pendingBookmarks_.find(Bookmark); pending != pendingBookmarks_.end()) {
        if (!Node || pending->second == Node) return;
        if (pending->second) selectedNodeBookmarks_.Erase(pending->second);
        pending->second = Node;
        selectedNodeBookmarks_.Get(Node) = pending->first;
        return;
    }
    int index = 0;
    if (SearchBookmarks(Bookmark, index)) {
        if (Node) AttachSelectedNode(index, Node);
        return;
    }
    // The list and the waiting ones are each in order and share no bookmark, so a bookmark
    // after the whole list still goes to its end.
    if (RangeInsertsOpen() && index < static_cast<int>(selectedBookmarks_.size()) && GetDataLink() &&
        GetDataLink()->Active()) {
        pendingBookmarks_.emplace(Bookmark, Node);
        if (Node) selectedNodeBookmarks_.Get(Node) = Bookmark;
        return;
    }
    selectedBookmarks_.insert(selectedBookmarks_.begin() + index, Bookmark);
    selectedNodes_.insert(selectedNodes_.begin() + index, nullptr);
    InvalidateBookmarkCache();
    if (Node) AttachSelectedNode(index, Node);
}

void TCustomvxDBTreeListControl::RemoveSelectedBookmark(const TBookmark& Bookmark) {
    if (auto pending = pendingBookmarks_.find(Bookmark); pending != pendingBookmarks_.end()) {
        if (pending->second) selectedNodeBookmarks_.Erase(pending->second);
        pendingBookmarks_.erase(pending);
        return;
    }
    int index = 0;
    if (!SearchBookmarks(Bookmark, index)) return;
    if (TvxTreeListNode* node = selectedNodes_[static_cast<size_t>(index)]) selectedNodeBookmarks_.Erase(node);
    selectedBookmarks_.erase(selectedBookmarks_.begin() + index);
    selectedNodes_.erase(selectedNodes_.begin() + index);
    InvalidateBookmarkCache();
}

void TCustomvxDBTreeListControl::RemoveSelectedEntries(const std::vector<int>& Indexes) {
    if (Indexes.empty()) return;
    MergePendingBookmarks();
    for (int i : Indexes)
        if (TvxTreeListNode* node = selectedNodes_[static_cast<size_t>(i)]) selectedNodeBookmarks_.Erase(node);
    EraseAt(selectedBookmarks_, Indexes);
    EraseAt(selectedNodes_, Indexes);
    InvalidateBookmarkCache();
}

void TCustomvxDBTreeListControl::EndRangeInserts() {
    if (rangeInserts_ > 0 && --rangeInserts_ == 0) MergePendingBookmarks();
}

void TCustomvxDBTreeListControl::MergePendingBookmarks() {
    if (pendingBookmarks_.empty()) return;
    std::vector<TBookmark> bookmarks;
    std::vector<TvxTreeListNode*> nodes;
    bookmarks.reserve(selectedBookmarks_.size() + pendingBookmarks_.size());
    nodes.reserve(bookmarks.capacity());
    auto pending = pendingBookmarks_.begin();
    for (size_t i = 0; i < selectedBookmarks_.size() || pending != pendingBookmarks_.end();) {
        if (pending == pendingBookmarks_.end() ||
            (i < selectedBookmarks_.size() && CompareSelectedBookmarks(selectedBookmarks_[i], pending->first) < 0)) {
            bookmarks.push_back(std::move(selectedBookmarks_[i]));
            nodes.push_back(selectedNodes_[i]);
            ++i;
        } else {
            bookmarks.push_back(pending->first);
            nodes.push_back(pending->second);
            ++pending;
        }
    }
    selectedBookmarks_ = std::move(bookmarks);
    selectedNodes_ = std::move(nodes);
    pendingBookmarks_.clear();
    InvalidateBookmarkCache();
}

bool TCustomvxDBTreeListControl::RefreshSelectedBookmarks() {
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active() || !GetDataLink() || !GetDataLink()->Active()) return false;
    MergePendingBookmarks();
    std::vector<int> gone;
    for (size_t i = 0; i < selectedBookmarks_.size(); ++i)
        if (!ds->BookmarkValid(selectedBookmarks_[i])) gone.push_back(static_cast<int>(i));
    RemoveSelectedEntries(gone);
    auto before = [this](const TBookmark& A, const TBookmark& B) { return CompareSelectedBookmarks(A, B) < 0; };
    if (!std::is_sorted(selectedBookmarks_.begin(), selectedBookmarks_.end(), before)) {
        std::vector<size_t> order(selectedBookmarks_.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t A, size_t B) { return before(selectedBookmarks_[A], selectedBookmarks_[B]); });
        std::vector<TBookmark> bookmarks;
        std::vector<TvxTreeListNode*> nodes;
        bookmarks.reserve(order.size());
        nodes.reserve(order.size());
        for (size_t i : order) {
            bookmarks.push_back(std::move(selectedBookmarks_[i]));
            nodes.push_back(selectedNodes_[i]);
        }
        selectedBookmarks_ = std::move(bookmarks);
        selectedNodes_ = std::move(nodes);
        InvalidateBookmarkCache();
    }
    return !gone.empty();
}

void TCustomvxDBTreeListControl::AssignSelectedBookmarks(std::vector<TBookmark> Bookmarks,
                                                         std::vector<TvxTreeListNode*> Nodes) {
    pendingBookmarks_.clear();
    selectedBookmarks_ = std::move(Bookmarks);
    selectedNodes_ = std::move(Nodes);
    selectedNodes_.resize(selectedBookmarks_.size(), nullptr);
    selectedNodeBookmarks_.Clear();
    for (size_t i = 0; i < selectedNodes_.size(); ++i)
        if (TvxTreeListNode* node = selectedNodes_[i]) {
            bool added = false;
            TBookmark& attached = selectedNodeBookmarks_.Get(node, &added);
            if (added)
                attached = selectedBookmarks_[i];
            else
                selectedNodes_[i] = nullptr;
        }
    InvalidateBookmarkCache();
}

int TCustomvxDBTreeListControl::GetSelectedCount() {
    return static_cast<int>(selectedBookmarks_.size() + pendingBookmarks_.size());
}

TvxTreeListNode* TCustomvxDBTreeListControl::GetSelectedItem(int Index) {
    if (Index < 0 || Index >= GetSelectedCount()) return nullptr;
    // The first entry without putting the waiting ones in place: whether a row may join the
    // selection asks for it at every row of a range.
    if (Index == 0 && !pendingBookmarks_.empty()) {
        const auto& pending = *pendingBookmarks_.begin();
        if (selectedBookmarks_.empty() || CompareSelectedBookmarks(pending.first, selectedBookmarks_.front()) < 0)
            return pending.second;
        return selectedNodes_.front();
    }
    return SelectedBookmarkNode(Index);
}

void TCustomvxDBTreeListControl::ClearSelection() {
    if (!IsDestroying() && GetSelectedCount() > 0) InvalidateSelection();
    pendingBookmarks_.clear();
    selectedBookmarks_.clear();
    selectedNodes_.clear();
    selectedNodeBookmarks_.Clear();
    InvalidateBookmarkCache();
    TCustomvxTreeListControl::ClearSelection();
}

void TCustomvxDBTreeListControl::SelectRange(TvxTreeListNode* Node1, TvxTreeListNode* Node2) {
    if (DataSetEditing() || !IsMultiSelect()) return;
    BeginSelection();
    struct End {
        TCustomvxDBTreeListControl* self;
        ~End() { self->EndSelection(); }
    } end{this};
    if (IsSelectionByNodes()) {
        TCustomvxTreeListControl::SelectRange(Node1, Node2);
        return;
    }
    // Record selection needs the grid to reach each node's record; the grid does it.
}

void TCustomvxDBTreeListControl::SelectFocusedOnly() {
    TvxTreeListNode* focused = GetFocusedNode();
    if (!IsMultiSelect() || Focused() || (InplaceEditor() && InplaceEditor()->Focused()) || GetCount() == 0 ||
        !focused)
        return;
    if (GetSelectedCount() == 1 && focused->Selected()) return;
    BeginSelection();
    struct End {
        TCustomvxDBTreeListControl* self;
        ~End() { self->EndSelection(); }
    } end{this};
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

// ---- Dataset search ----

bool TCustomvxDBTreeListControl::FindNodeByText(int Column, const std::string& Text, TvxTreeListNode*& Node,
                                                int Direction) {
    if (IsAllRecordsLoaded()) return TCustomvxTreeListControl::FindNodeByText(Column, Text, Node, Direction);
    TDataSet* ds = DataSet();
    TvxDBTreeListColumn* column = GetColumn(Column);
    if (!GetDataSource() || !ds || !ds->Active() || (ds->Bof() && ds->Eof()) || DataSetEditing() || Text.empty() ||
        !column || !column->Field())
        return false;
    TField* field = column->Field();
    const int length = Utf8Length(Text);
    auto matches = [&] { return AnsiSameText(Utf8Copy(field->DisplayText(), 1, length), Text); };
    if (Direction == 0 && matches()) {
        Node = GetFocusedNode();
        return true;
    }
    const TBookmark start = ds->Bookmark();
    bool found = false;
    ds->DisableControls();
    {
        struct Enable {
            TDataSet* ds;
            ~Enable() { ds->EnableControls(); }
        } enable{ds};
        // One pass over every record at most, even when bookmarks never compare equal.
        const int limit = std::max(ds->RecordCount(), 0) + 2;
        for (int step = 0; step < limit; ++step) {
            if (Direction == 1) {
                ds->Prior();
                if (ds->Bof()) ds->Last();
            } else {
                ds->Next();
                if (ds->Eof()) {
                    if (Direction == 0) break;
                    ds->First();
                }
            }
            if (ds->CompareBookmarks(ds->Bookmark(), start) == 0) break;
            if (matches()) {
                found = true;
                break;
            }
        }
        if (!found && ds->BookmarkValid(start)) ds->GotoBookmark(start);
    }
    if (found) Node = GetFocusedNode();
    return found;
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
