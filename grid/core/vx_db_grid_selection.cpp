// The grid's selection by records: bookmarks (with the row each stands for) or, without
// bookmarks, key values; what a reload keeps of it; range selection by records in the
// record window; deleting the selected records.

#include <algorithm>
#include <utility>
#include <vector>

#include "grid/core/vx_db_grid.h"
#include "platform/classes/string_list.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/erase_at.h"
#include "platform/rtl/scope_exit.h"
#include "treelist/node_slots.h"

namespace {
TvxDBGridNode* GridNode(TvxTreeListNode* Node) { return NodeAs<TvxDBGridNode>(Node); }

// Rows whose keys go into the selection at once: of a key twice, the first row keeps it.
template <class Entries>
void AddEachKeyOnce(Entries& Selected, std::vector<std::pair<Variant, TvxTreeListNode*>> Added) {
    std::stable_sort(Added.begin(), Added.end(), [](const auto& A, const auto& B) {
        return TCustomvxDBGrid::CompareVariants(A.first, B.first) < 0;
    });
    std::vector<Variant> keys;
    std::vector<TvxTreeListNode*> nodes;
    for (auto& [key, node] : Added) {
        if (!keys.empty() && TCustomvxDBGrid::CompareVariants(keys.back(), key) == 0) continue;
        keys.push_back(std::move(key));
        nodes.push_back(node);
    }
    Selected.AddAll(std::move(keys), std::move(nodes));
}
}  // namespace

// ---- Finding a row's record ----

bool TCustomvxDBGrid::NodeBookmark(TvxTreeListNode* Node, TBookmark& Bookmark) {
    TDataSet* ds = DataSet();
    if (!Node || !ds || !ds->Active() || !dataLink_->Active()) return false;
    if (IsCursorMode()) {
        const int row = CursorRow(Node);
        if (row < 0) return false;
        const int saved = dataLink_->ActiveRecord();
        dataLink_->SetActiveRecord(row);
        Bookmark = ds->Bookmark();
        dataLink_->SetActiveRecord(saved);
        return !Bookmark.empty();
    }
    // The focused row's record is current, unless code made current a record the filter
    // hides: then the row's own is found as any other row's.
    if (readingDataSet_ || (Node == GetFocusedNode() && recordCursor_.ShowsCurrentRecord(Node))) {
        Bookmark = ds->Bookmark();
        return !Bookmark.empty();
    }
    // The row a range is selecting hands over the bookmark found for it, once.
    if (TRangeBookmarks* range = rangeBookmarks_;
        range && !range->RowFreed && range->Current != TRangeBookmarks::npos && range->Rows[range->Current] == Node &&
        !range->Bookmarks[range->Current].empty()) {
        Bookmark = std::move(range->Bookmarks[range->Current]);
        range->Current = TRangeBookmarks::npos;
        return true;
    }
    // Off to the row's record and back, without the dataset telling anyone.
    if (!GridNode(Node)) return false;
    TvxDBGridCursor::TTableWalk walk(recordCursor_, ds);
    const bool reached = recordCursor_.MoveDataSetToNode(Node);
    if (reached) Bookmark = ds->Bookmark();
    return reached && !Bookmark.empty();
}

std::vector<TBookmark> TCustomvxDBGrid::FindNodeBookmarks(const std::vector<TvxTreeListNode*>& Nodes) {
    std::vector<TBookmark> found;
    TDataSet* ds = DataSet();
    TvxDBGridNode* focused = TvxDBGridCursor::RecordRowOf(GetFocusedNode());
    if (!ds || !ds->Active() || !dataLink_->Active() || IsCursorMode() || Nodes.empty()) return found;
    const bool locate = IsUseLocate();
    TField* key = locate && !KeyField().empty() ? ds->FindField(KeyField()) : nullptr;
    if (locate ? !key : !focused) return found;
    found.resize(Nodes.size());
    // The places of the rows, as NodeBookmark takes them, by record position or by key, and
    // the row whose record each stands for (a group row's is its first record's).
    std::vector<uint32_t> places;
    std::vector<TvxDBGridNode*> recordRows(Nodes.size(), nullptr);
    places.reserve(Nodes.size());
    for (size_t i = 0; i < Nodes.size(); ++i)
        if (TvxDBGridNode* record = TvxDBGridCursor::RecordRowOf(Nodes[i]);
            record && (!locate || !record->KeyValue.IsEmpty())) {
            places.push_back(static_cast<uint32_t>(i));
            recordRows[i] = record;
        }
    TvxDBGridCursor::TTableWalk walk(recordCursor_, ds);
    if (locate) {
        auto keyOf = [&recordRows](uint32_t place) -> const Variant& { return recordRows[place]->KeyValue; };
        std::stable_sort(places.begin(), places.end(),
                         [&](uint32_t a, uint32_t b) { return CompareVariants(keyOf(a), keyOf(b)) < 0; });
        // The first record of each key, as a search by key finds it.
        std::vector<bool> reached(Nodes.size(), false);
        for (ds->First(); !ds->Eof(); ds->Next()) {
            const Variant value = key->Value();
            auto it = std::lower_bound(places.begin(), places.end(), value, [&](uint32_t place, const Variant& v) {
                return CompareVariants(keyOf(place), v) < 0;
            });
            for (; it != places.end() && CompareVariants(keyOf(*it), value) == 0; ++it)
                if (!reached[*it]) {
                    reached[*it] = true;
                    found[*it] = ds->Bookmark();
                }
        }
    } else {
        // Record by record forward from the current one: where the load numbered the records,
        // its number says where that is; otherwise it is the focused row's. The record numbers
        // are read once, side by side, for the sort.
        std::vector<std::pair<int, uint32_t>> records;
        records.reserve(places.size());
        for (uint32_t place : places) records.emplace_back(recordRows[place]->RecordIndex, place);
        std::stable_sort(records.begin(), records.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        int at = IsLoadAllMode() && ds->Sequenced() ? ds->RecNo() - 1 : focused->RecordIndex;
        for (const auto& [record, place] : records) {
            const int distance = record - at;
            if (ds->MoveBy(distance) != distance) break;
            at = record;
            found[place] = ds->Bookmark();
        }
    }
    return found;
}

bool TCustomvxDBGrid::SelectionKey(TvxTreeListNode* Node, Variant& Key) {
    auto* node = GridNode(Node);
    if (!node || node->KeyValue.IsEmpty()) return false;
    Key = node->KeyValue;
    return true;
}

void TCustomvxDBGrid::ReselectGroupRows(const std::vector<std::pair<TvxTreeListNode*, Variant>>& Rows) {
    std::vector<int> gone;
    if (IsUseBookmarks()) {
        std::vector<TvxTreeListNode*> nodes;
        for (const auto& [node, old] : Rows) {
            int index = 0;
            if (const TBookmark* attached = SelectedNodeBookmark(node); attached && FindBookmark(*attached, index))
                gone.push_back(index);
            nodes.push_back(node);
        }
        std::sort(gone.begin(), gone.end());
        gone.erase(std::unique(gone.begin(), gone.end()), gone.end());
        RemoveSelectedEntries(gone);
        const std::vector<TBookmark> bookmarks = FindNodeBookmarks(nodes);
        BeginRangeInserts();
        for (size_t i = 0; i < bookmarks.size(); ++i)
            if (!bookmarks[i].empty()) AddSelectedBookmark(bookmarks[i], nodes[i]);
        EndRangeInserts();
        return;
    }
    const std::vector<TvxTreeListNode*>& rows = selectedKeys_.Nodes();
    std::vector<std::pair<Variant, TvxTreeListNode*>> added;
    for (const auto& [node, old] : Rows) {
        int index = 0;
        if (selectedKeys_.Find(old, index) &&
            (!rows[static_cast<size_t>(index)] || rows[static_cast<size_t>(index)] == node))
            gone.push_back(index);
        added.emplace_back(GridNode(node)->KeyValue, node);
    }
    std::sort(gone.begin(), gone.end());
    gone.erase(std::unique(gone.begin(), gone.end()), gone.end());
    selectedKeys_.RemoveAt(gone);
    // Of a key twice, the group row that now stands for it keeps it.
    AddEachKeyOnce(selectedKeys_, std::move(added));
}

// ---- The selection ----

int TCustomvxDBGrid::GetSelectedCount() {
    return IsUseBookmarks() ? TCustomvxDBTreeListControl::GetSelectedCount() : selectedKeys_.Count();
}

TvxTreeListNode* TCustomvxDBGrid::GetSelectedItem(int Index) {
    if (IsUseBookmarks()) return TCustomvxDBTreeListControl::GetSelectedItem(Index);
    if (Index < 0 || Index >= GetSelectedCount()) return nullptr;
    return Index == 0 ? selectedKeys_.FirstNode() : selectedKeys_.Node(Index);
}

void TCustomvxDBGrid::ClearSelection() {
    if (!selectedKeys_.Empty() && !IsDestroying()) Invalidate();
    selectedKeys_.Clear();
    TCustomvxDBTreeListControl::ClearSelection();
}

bool TCustomvxDBGrid::IsNodeSelected(TvxTreeListNode* Node) {
    if (!Node) return false;
    if (IsCursorMode()) {
        TBookmark bookmark;
        int index = 0;
        return NodeBookmark(Node, bookmark) && FindBookmark(bookmark, index);
    }
    if (IsUseBookmarks()) return IsSelectedBookmarkNode(Node);
    Variant key;
    if (!SelectionKey(Node, key)) return false;
    // A key selected with another row (a group row shares its first row's key, a row of the
    // last load its record's) does not select this one.
    TvxTreeListNode** row = selectedKeys_.Slot(key);
    return row && (!*row || *row == Node);
}

bool TCustomvxDBGrid::DoCanNodeSelected(TvxTreeListNode* Node) {
    bool allow = true;
    if (OnCanNodeSelected) OnCanNodeSelected(this, Node, allow);
    if (!allow || IsCursorMode() || IsExtMultiSelect()) return allow;
    // Group rows and data rows are not selected together.
    TvxTreeListNode* first = GetFirstSelectedNode();
    if (!first) return true;
    return IsGroupNode(first) == IsGroupNode(Node);
}

void TCustomvxDBGrid::SelectionChanged(TvxTreeListNode* Node, bool Select) {
    if (!Node || !IsMultiSelect() || !dataLink_->Active()) {
        TCustomvxDBTreeListControl::SelectionChanged(Node, Select);
        return;
    }
    // A row acts on the selection only as shown: selecting a selected row, or deselecting one
    // that is not selected, changes nothing. The entry of its record may be another row's (a
    // group row and its first data row share a record), which keeps it.
    if (Select == IsNodeSelected(Node)) return;
    if (Select && !DoCanNodeSelected(Node)) return;
    // The selection names each record once: a row selected takes its record's entry from the
    // row that stood for it, and that row shows unselected.
    TvxTreeListNode* former = nullptr;
    if (IsUseBookmarks()) {
        // A row leaving the selection names its record itself (a row of the record window, which
        // stands for no entry, by its place in the buffer): no walk to the record.
        if (const TBookmark* attached = Select ? nullptr : SelectedNodeBookmark(Node)) {
            RemoveSelectedBookmark(TBookmark(*attached));
        } else {
            TBookmark bookmark;
            if (!NodeBookmark(Node, bookmark)) return;
            if (Select)
                former = AddSelectedBookmark(std::move(bookmark), IsCursorMode() ? nullptr : Node);
            else
                RemoveSelectedBookmark(bookmark);
        }
    } else {
        Variant key;
        if (!SelectionKey(Node, key)) return;
        if (!Select) {
            selectedKeys_.Remove(key);
        } else if (TvxTreeListNode** row = selectedKeys_.Add(key); *row != Node) {
            former = *row;
            *row = Node;
        }
    }
    if (HandleAllocated()) {
        InvalidateRect(GetNodeRowRect(Node));
        if (former) InvalidateRect(GetNodeRowRect(former));
    }
    TCustomvxDBTreeListControl::SelectionChanged(Node, Select);
}

void TCustomvxDBGrid::DeselectNodes(const std::vector<TvxTreeListNode*>& Nodes) {
    if (!IsMultiSelect() || !dataLink_->Active() || IsCursorMode() || Nodes.size() < 2) {
        TCustomvxDBTreeListControl::DeselectNodes(Nodes);
        return;
    }
    // Each row's entry found, then all of them taken out in one pass: taken out one by one,
    // each would close up the selection behind it.
    std::vector<int> entries;
    if (IsUseBookmarks()) {
        TvxNodeSlots leaving;
        std::vector<TvxTreeListNode*> selected;
        for (TvxTreeListNode* node : Nodes) {
            bool added = false;
            if (IsSelectedBookmarkNode(node)) leaving.Slot(node, &added);
            if (added) selected.push_back(node);
        }
        const int count = GetSelectedCount();
        // A search by bookmark asks the dataset to compare some log2(count) times: for a share
        // of the selection (a filter hiding most rows), one walk over the entries' rows finds
        // them all, in order.
        if (selected.size() * 8 >= static_cast<size_t>(count)) {
            for (int i = 0; i < count; ++i)
                if (TvxTreeListNode* row = SelectedBookmarkNode(i); row && leaving.Find(row) != TvxNodeSlots::npos)
                    entries.push_back(i);
        } else {
            for (TvxTreeListNode* node : selected) {
                int index = 0;
                if (const TBookmark* attached = SelectedNodeBookmark(node); attached && FindBookmark(*attached, index))
                    entries.push_back(index);
            }
        }
    } else {
        for (TvxTreeListNode* node : Nodes) {
            Variant key;
            int index = 0;
            if (IsNodeSelected(node) && SelectionKey(node, key) && selectedKeys_.Find(key, index))
                entries.push_back(index);
        }
    }
    RemoveEntries(std::move(entries));
}

void TCustomvxDBGrid::RemoveEntries(std::vector<int> Entries) {
    if (Entries.empty()) return;
    if (!std::is_sorted(Entries.begin(), Entries.end())) std::sort(Entries.begin(), Entries.end());
    Entries.erase(std::unique(Entries.begin(), Entries.end()), Entries.end());
    if (IsUseBookmarks())
        RemoveSelectedEntries(Entries);
    else
        selectedKeys_.RemoveAt(Entries);
    if (HandleAllocated()) Invalidate();
    TCustomvxDBTreeListControl::SelectionChanged(nullptr, false);
}

void TCustomvxDBGrid::FreeGroupRows(const std::function<void()>& Free) {
    TFreedEntries freed;
    TFreedEntries* const outer = freedEntries_;
    freedEntries_ = &freed;
    // The entries of the rows freed go also when a deletion handler raises: they would lead
    // to no row.
    TScopeExit remove([this, &freed] { RemoveFreedEntries(freed); });
    TScopeExit done([this, outer] { freedEntries_ = outer; });
    Free();
}

void TCustomvxDBGrid::RemoveFreedEntries(const TFreedEntries& Freed) {
    std::vector<int> entries;
    for (const TBookmark& bookmark : Freed.Bookmarks) {
        int index = 0;
        if (FindBookmark(bookmark, index)) entries.push_back(index);
    }
    for (const Variant& key : Freed.Keys) {
        int index = 0;
        if (selectedKeys_.Find(key, index)) entries.push_back(index);
    }
    RemoveEntries(std::move(entries));
}

void TCustomvxDBGrid::InvalidateSelection() {
    if (!IsCursorMode()) {
        TCustomvxDBTreeListControl::InvalidateSelection();
        return;
    }
    if (GetSelectedCount() == 0 && GetFocusedNode()) InvalidateRect(GetNodeRowRect(GetFocusedNode()));
    for (int i = 0; i < GetCount(); ++i)
        if (IsNodeSelected(GetItem(i))) InvalidateRect(GetNodeRowRect(GetItem(i)));
}

void TCustomvxDBGrid::SelectRange(TvxTreeListNode* Node1, TvxTreeListNode* Node2) {
    if (DataSetEditing() || !IsMultiSelect() || !Node1 || !Node2) return;
    if (IsCursorMode()) {
        TCustomvxDBTreeListControl::SelectRange(Node1, Node2);
        return;
    }
    BeginSelection();
    TScopeExit end([this] { EndSelection(); });
    if (IsPartialLoadMode() && IsUseBookmarks()) {
        // The rows are loaded again around the current record, reaching back to the anchor's
        // record: a range may reach records that had no row yet.
        if (selectionAnchorBookmark_.empty()) NodeBookmark(Node1, selectionAnchorBookmark_);
        SnapshotSelection();
        TScopeExit drop([this] { DropSnapshot(); });
        LoadPartialBuffer(0, 0, true);
        return;
    }
    if (GetAbsoluteIndex(Node1) > GetAbsoluteIndex(Node2)) std::swap(Node1, Node2);
    const int limit = GetAbsoluteIndex(Node2) - GetAbsoluteIndex(Node1) + 1;
    // Each row's record, reached from the focused row's and back, would cost a walk over the
    // records between them; one walk over the range's records finds the bookmarks first, for
    // the rows of the kind the range can select (group rows and data rows are not selected
    // together, and the first selected row, or else the range's first, says which). A row of
    // the other kind that is selected after all finds its own.
    TRangeBookmarks bookmarks;
    if (IsUseBookmarks()) {
        TvxTreeListNode* first = GetSelectedCount() > 0 ? GetFirstSelectedNode() : Node1;
        const bool everyKind = IsExtMultiSelect() || !first;
        const bool groupRows = first && IsGroupNode(first);
        int done = 0;
        for (TvxTreeListNode* node = Node1; node && done < limit; node = GetNextVisibleNode(node), ++done)
            if (everyKind || IsGroupNode(node) == groupRows) bookmarks.Rows.push_back(node);
        bookmarks.Bookmarks = FindNodeBookmarks(bookmarks.Rows);
        bookmarks.Bookmarks.resize(bookmarks.Rows.size());
        ReserveSelectedRows(bookmarks.Rows.size());
    }
    rangeBookmarks_ = &bookmarks;
    TScopeExit forget([this] { rangeBookmarks_ = nullptr; });
    selectedKeys_.BeginRange();
    TScopeExit endKeys([this] { selectedKeys_.EndRange(); });
    BeginRangeInserts();
    TScopeExit endInserts([this] { EndRangeInserts(); });
    size_t next = 0;
    int done = 0;
    for (TvxTreeListNode* node = Node1; node && done < limit; node = GetNextVisibleNode(node), ++done) {
        const bool found = next < bookmarks.Rows.size() && bookmarks.Rows[next] == node;
        bookmarks.Current = found ? next++ : TRangeBookmarks::npos;
        node->SetSelected(true);
    }
}

void TCustomvxDBGrid::SetSelectionAnchor(TvxTreeListNode* Node) {
    TDataSet* ds = DataSet();
    if ((IsCursorMode() || IsPartialLoadMode()) && ds && ds->Active())
        selectionAnchorBookmark_ = Node ? ds->Bookmark() : TBookmark();
    if (IsCursorMode()) {
        TCustomvxDBTreeListControl::SetSelectionAnchor(nullptr);
        return;
    }
    TCustomvxDBTreeListControl::SetSelectionAnchor(Node);
}

int TCustomvxDBGrid::CompareWithAnchor(TvxTreeListNode* Node) {
    TDataSet* ds = DataSet();
    if (!IsCursorMode() || !ds || !ds->Active()) return TCustomvxDBTreeListControl::CompareWithAnchor(Node);
    return ds->CompareBookmarks(ds->Bookmark(), selectionAnchorBookmark_);
}

void TCustomvxDBGrid::SelectCursorRange(bool Up, int Count) {
    TDataSet* ds = DataSet();
    if (!IsMultiSelect() || !dataLink_->Active() || !ds || GetCount() == 0) return;
    CloseEditor();
    TvxDBGridCursor::TTableWalk walk(recordCursor_, ds);
    const TBookmark& current = walk.Start();
    if (selectionAnchorBookmark_.empty()) selectionAnchorBookmark_ = current;
    TCustomvxDBTreeListControl::ClearSelection();
    if (ds->BookmarkValid(selectionAnchorBookmark_)) {
        ds->GotoBookmark(selectionAnchorBookmark_);
        // Walking up, every record goes first in the list.
        BeginRangeInserts();
        TScopeExit merge([this] { EndRangeInserts(); });
        for (int i = 0; i <= Count; ++i) {
            const TBookmark bookmark = ds->Bookmark();
            AddSelectedBookmark(bookmark);
            if (ds->CompareBookmarks(bookmark, current) == 0) break;
            if (Up)
                ds->Prior();
            else
                ds->Next();
            if (Up ? ds->Bof() : ds->Eof()) break;
        }
    }
    Invalidate();
}

// ---- The focused record for OnChangeNodeEx ----

// The record is followed whether or not a handler listens, so that a handler assigned
// later compares with the record focused then.
void TCustomvxDBGrid::CheckFocusedRecordChange() {
    TDataSet* ds = DataSet();
    if (IsDestroying() || !dataLink_->Active() || !ds) return;
    TBookmark record = ds->Bookmark();
    if (record == changeNodeExRecord_) return;
    changeNodeExRecord_ = std::move(record);
    if (OnChangeNodeEx) DoChangeNodeEx();
}

void TCustomvxDBGrid::EndSelection() {
    const bool outermost = SelectionBatchCount() == 1;
    // The table follows a focus the batch moved also when the count's handler raises.
    TScopeExit ended([this, outermost] {
        if (!outermost) return;
        recordCursor_.BatchEnded();
        CheckFocusedRecordChange();
    });
    TCustomvxDBTreeListControl::EndSelection();
}

// ---- Across reloads ----

void TCustomvxDBGrid::SnapshotSelection() {
    DropSnapshot();
    snapshotHeld_ = true;
    // A selected group row is kept as the row itself, which a reload keeps while its group
    // exists: by its first record's bookmark or key, the row of that record would take it.
    std::vector<int> groupEntries;
    if (!groupColumns_.empty())
        for (int i = 0, count = GetSelectedCount(); i < count; ++i)
            if (IsGroupRowEntry(i)) {
                groupEntries.push_back(i);
                savedGroupRows_.push_back(GetSelectedItem(i));
                savedGroupRowsLiving_.Get(savedGroupRows_.back()) = true;
            }
    if (IsUseBookmarks()) {
        savedSelectionBookmarks_ = SelectedBookmarks();
        EraseAt(savedSelectionBookmarks_, groupEntries);
        // Searched by the dataset's order as it is now: a change may have moved records.
        TDataSet* ds = DataSet();
        auto before = [ds](const TBookmark& A, const TBookmark& B) { return ds->CompareBookmarks(A, B) < 0; };
        if (ds && !std::is_sorted(savedSelectionBookmarks_.begin(), savedSelectionBookmarks_.end(), before))
            std::stable_sort(savedSelectionBookmarks_.begin(), savedSelectionBookmarks_.end(), before);
    } else {
        savedSelectionKeys_ = selectedKeys_.Keys();
        EraseAt(savedSelectionKeys_, groupEntries);
    }
    savedSelectionRows_.assign(std::max(savedSelectionBookmarks_.size(), savedSelectionKeys_.size()), nullptr);
}

void TCustomvxDBGrid::DropSnapshot() {
    savedSelectionBookmarks_.clear();
    savedSelectionKeys_.clear();
    savedSelectionRows_.clear();
    savedGroupRows_.clear();
    savedGroupRowsLiving_.Clear();
    snapshotHeld_ = false;
}

void TCustomvxDBGrid::KeepSnapshotWithoutRows() {
    // The snapshot is the selection the reload began with (its group rows left out), in the
    // order of the table or the keys as they are now: it is the selection again, also when it
    // is empty (selected group rows alone), as a group row's entry left without its row would
    // stand for a record.
    if (!snapshotHeld_) return;
    TDataSet* ds = DataSet();
    if (IsUseBookmarks()) {
        if (!ds) return;
        std::vector<TBookmark> bookmarks;
        for (const TBookmark& bookmark : savedSelectionBookmarks_)
            if (ds->BookmarkValid(bookmark)) bookmarks.push_back(bookmark);
        std::vector<TvxTreeListNode*> rows(bookmarks.size(), nullptr);
        AssignSelectedBookmarks(std::move(bookmarks), std::move(rows));
        return;
    }
    std::vector<TvxTreeListNode*> rows(savedSelectionKeys_.size(), nullptr);
    selectedKeys_.Assign(savedSelectionKeys_, std::move(rows));
}

void TCustomvxDBGrid::SelectSavedGroupRows() {
    std::vector<TvxTreeListNode*> rows;
    for (TvxTreeListNode* row : savedGroupRows_)
        if (savedGroupRowsLiving_.Find(row) && IsGroupNode(row) && row->Count() > 0) rows.push_back(row);
    savedGroupRows_.clear();
    savedGroupRowsLiving_.Clear();
    if (rows.empty()) return;
    // A record selected on its own keeps its entry; the group row it came to be the first
    // record of is not selected then.
    if (IsUseBookmarks()) {
        std::vector<TBookmark> bookmarks = FindNodeBookmarks(rows);
        BeginRangeInserts();
        TScopeExit merge([this] { EndRangeInserts(); });
        for (size_t i = 0; i < bookmarks.size(); ++i) {
            int index = 0;
            if (!bookmarks[i].empty() && !FindBookmark(bookmarks[i], index))
                AddSelectedBookmark(std::move(bookmarks[i]), rows[i]);
        }
        return;
    }
    std::vector<std::pair<Variant, TvxTreeListNode*>> added;
    for (TvxTreeListNode* row : rows)
        if (Variant key; SelectionKey(row, key) && !selectedKeys_.Slot(key)) added.emplace_back(std::move(key), row);
    AddEachKeyOnce(selectedKeys_, std::move(added));
}

int TCustomvxDBGrid::SavedSelectionIndex(TvxTreeListNode* Node) {
    TDataSet* ds = DataSet();
    if (!ds) return -1;
    if (IsUseBookmarks()) {
        if (savedSelectionBookmarks_.empty() || !readingDataSet_) return -1;
        const TBookmark bookmark = ds->Bookmark();
        auto it = std::lower_bound(
            savedSelectionBookmarks_.begin(), savedSelectionBookmarks_.end(), bookmark,
            [ds](const TBookmark& A, const TBookmark& B) { return ds->CompareBookmarks(A, B) < 0; });
        if (it == savedSelectionBookmarks_.end() || ds->CompareBookmarks(*it, bookmark) != 0) return -1;
        return static_cast<int>(it - savedSelectionBookmarks_.begin());
    }
    Variant key;
    if (savedSelectionKeys_.empty() || !SelectionKey(Node, key)) return -1;
    auto it = std::lower_bound(savedSelectionKeys_.begin(), savedSelectionKeys_.end(), key,
                               [](const Variant& A, const Variant& B) { return CompareVariants(A, B) < 0; });
    if (it == savedSelectionKeys_.end() || CompareVariants(*it, key) != 0) return -1;
    return static_cast<int>(it - savedSelectionKeys_.begin());
}

void TCustomvxDBGrid::ReselectLoaded(TvxTreeListNode* Node) {
    // The first row of a saved record (or key) takes it; the selection is made once the load
    // is over.
    const int index = SavedSelectionIndex(Node);
    if (index >= 0 && !savedSelectionRows_[static_cast<size_t>(index)])
        savedSelectionRows_[static_cast<size_t>(index)] = Node;
}

void TCustomvxDBGrid::SelectReloadedRows() {
    const size_t count = savedSelectionRows_.size();
    if (std::find_if(savedSelectionRows_.begin(), savedSelectionRows_.end(), [](auto* n) { return n; }) ==
        savedSelectionRows_.end())
        return;
    if (IsUseBookmarks()) {
        std::vector<TBookmark> bookmarks;
        std::vector<TvxTreeListNode*> rows;
        for (size_t i = 0; i < count; ++i)
            if (savedSelectionRows_[i]) {
                bookmarks.push_back(savedSelectionBookmarks_[i]);
                rows.push_back(savedSelectionRows_[i]);
            }
        if (TCustomvxDBTreeListControl::GetSelectedCount() == 0) {
            AssignSelectedBookmarks(std::move(bookmarks), std::move(rows));
        } else {
            BeginRangeInserts();
            for (size_t i = 0; i < rows.size(); ++i) AddSelectedBookmark(bookmarks[i], rows[i]);
            EndRangeInserts();
        }
    } else {
        // In key order: one pass, a key selected already taking its reloaded row.
        std::vector<Variant> keys;
        std::vector<TvxTreeListNode*> rows;
        for (size_t i = 0; i < count; ++i)
            if (savedSelectionRows_[i]) {
                keys.push_back(savedSelectionKeys_[i]);
                rows.push_back(savedSelectionRows_[i]);
            }
        selectedKeys_.AddAll(std::move(keys), std::move(rows));
    }
    std::fill(savedSelectionRows_.begin(), savedSelectionRows_.end(), nullptr);
}

// ---- Deleting the selected records ----

bool TCustomvxDBGrid::IsGroupRowEntry(int Index) {
    if (groupColumns_.empty()) return false;
    TvxTreeListNode* row = GetSelectedItem(Index);
    return row && IsGroupNode(row);
}

std::vector<int> TCustomvxDBGrid::RecordEntries() {
    std::vector<int> entries;
    for (int i = 0, count = GetSelectedCount(); i < count; ++i)
        if (!IsGroupRowEntry(i)) entries.push_back(i);
    return entries;
}

// A selected group row is a group row in the selection, never a record to delete: only the
// records of the selected data rows go (and of records selected without a row), and the group
// rows stay selected. With only group rows selected nothing is deleted.
int TCustomvxDBGrid::DeleteSelection() {
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active() || GetSelectedCount() == 0) return TCustomvxDBTreeListControl::DeleteSelection();
    const std::vector<int> records = RecordEntries();
    if (records.empty()) return 0;
    CloseEditor();
    // The controls come back with regrouping still suppressed and once the walk has ended, so
    // that the change they report reloads the rows rather than refreshing the current one in
    // place: the rows of the deleted records have to go. Their entries go first.
    suppressRegroup_ = true;
    TScopeExit regroup([this] { suppressRegroup_ = false; });
    TvxDBGridCursor::TTableWalk walk(recordCursor_, ds, TvxDBGridCursor::TWalk::Change);
    TScopeExit forget([this, &records] {
        if (static_cast<int>(records.size()) == GetSelectedCount())
            ClearSelection();
        else
            RemoveEntries(records);
    });
    TBookmark back = RecordLeftCurrentByDeletion();
    std::vector<TBookmark> bookmarks;
    if (IsUseBookmarks()) {
        const std::vector<TBookmark>& selected = SelectedBookmarks();
        bookmarks.reserve(records.size());
        for (int i : records) bookmarks.push_back(selected[static_cast<size_t>(i)]);
    } else {
        bookmarks = SelectedKeyBookmarks(records);
    }
    // The records go together: one by one, each would close up the table behind it.
    const int deleted = ds->DeleteRecords(bookmarks);
    walk.ReturnTo(std::move(back));
    return deleted;
}

TBookmark TCustomvxDBGrid::RecordLeftCurrentByDeletion() {
    TDataSet* ds = DataSet();
    const TBookmark current = ds->Bookmark();
    if (IsCursorMode()) {
        // The rows are the records in the table's order.
        int index = 0;
        if (current.empty() || !FindBookmark(current, index)) return current;
        TBookmark found;
        for (bool forward : {true, false}) {
            ds->GotoBookmark(current);
            while (found.empty() && !(forward ? ds->Eof() : ds->Bof())) {
                forward ? ds->Next() : ds->Prior();
                const TBookmark bookmark = ds->Bookmark();
                if (!FindBookmark(bookmark, index)) found = bookmark;
            }
            if (!found.empty()) break;
        }
        ds->GotoBookmark(current);
        return found;
    }
    // The focused row is the current record; the others in the order the grid shows them.
    TvxTreeListNode* focused = GetFocusedNode();
    if (!focused || IsGroupNode(focused) || !IsNodeSelected(focused)) return current;
    auto staying = [this](TvxTreeListNode* n) { return !IsGroupNode(n) && !IsNodeSelected(n); };
    TvxTreeListNode* next = focused->GetNext();
    while (next && !staying(next)) next = next->GetNext();
    if (!next) {
        next = focused->GetPrev();
        while (next && !staying(next)) next = next->GetPrev();
    }
    TBookmark bookmark;
    if (next) NodeBookmark(next, bookmark);
    return bookmark;
}

std::vector<TBookmark> TCustomvxDBGrid::SelectedKeyBookmarks(const std::vector<int>& Entries) {
    std::vector<TBookmark> bookmarks;
    TDataSet* ds = DataSet();
    TField* key = !KeyField().empty() && ds ? ds->FindField(KeyField()) : nullptr;
    if (!key || Entries.empty()) return bookmarks;
    // The first record of each key, as a search by key finds it, in one walk.
    std::vector<bool> wanted(static_cast<size_t>(selectedKeys_.Count()), false);
    for (int i : Entries) wanted[static_cast<size_t>(i)] = true;
    for (ds->First(); !ds->Eof(); ds->Next()) {
        int index = 0;
        if (!selectedKeys_.Find(key->Value(), index)) continue;
        const auto at = static_cast<size_t>(index);
        if (!wanted[at]) continue;
        wanted[at] = false;
        bookmarks.push_back(ds->Bookmark());
    }
    return bookmarks;
}

// ---- Copying in the record window ----

std::string TCustomvxDBGrid::CurrentRecordLine() {
    std::string line;
    for (int v = 0; v < GetVisibleColumnCount(); ++v) {
        if (v > 0) line += '\t';
        TvxDBTreeListColumn* column = GetColumn(GetAbsoluteColumnIndex(v));
        if (column && column->Field()) line += column->Field()->DisplayText();
    }
    return line;
}

void TCustomvxDBGrid::SaveAllToStrings(TStrings* Strings) {
    TDataSet* ds = DataSet();
    if (!IsCursorMode() || !ds || !ds->Active() || !Strings) {
        TCustomvxDBTreeListControl::SaveAllToStrings(Strings);
        return;
    }
    Strings->Add(GetHeaderLineText());
    TvxDBGridCursor::TTableWalk walk(recordCursor_, ds);
    for (ds->First(); !ds->Eof(); ds->Next()) Strings->Add(CurrentRecordLine());
}

void TCustomvxDBGrid::SaveSelectedToStrings(TStrings* Strings) {
    TDataSet* ds = DataSet();
    if (!IsCursorMode() || !ds || !ds->Active() || !Strings || !IsMultiSelect()) {
        TCustomvxDBTreeListControl::SaveSelectedToStrings(Strings);
        return;
    }
    Strings->Add(GetHeaderLineText());
    TvxDBGridCursor::TTableWalk walk(recordCursor_, ds);
    for (const TBookmark& bookmark : std::vector<TBookmark>(SelectedBookmarks())) {
        if (!ds->BookmarkValid(bookmark)) continue;
        ds->GotoBookmark(bookmark);
        Strings->Add(CurrentRecordLine());
    }
}
