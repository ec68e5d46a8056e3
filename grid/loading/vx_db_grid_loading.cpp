// Loading every record as a node: the walk over the dataset, grouping by the group columns,
// the regroup of loaded rows, the reloads after structural and data changes, and what a
// reload keeps (focused record, top row, selection).

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory_resource>
#include <optional>

#include "grid/core/vx_db_grid.h"
#include "grid/loading/vx_db_grid_load_scope.h"
#include "platform/classes/update_scope.h"
#include "platform/db/blob_field.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/forms/screen.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"
#include "treelist/merge_sort.h"
#include "treelist/node_map.h"
#include "treelist/node_slots.h"

namespace {
TvxDBGridNode* GridNode(TvxTreeListNode* Node) { return NodeAs<TvxDBGridNode>(Node); }

}  // namespace

// What one pass of a load carries from record to record.
struct TCustomvxDBGrid::TLoadPass {
    // The group rows under each parent (null: the roots), found by value during the pass
    // over the dataset. A group row made meanwhile goes last among its siblings, and every
    // sibling list that grew is put in group order once, when the pass ends: putting each
    // new row in its place at once would shift the rest of its list every time.
    class GroupRows {
    public:
        explicit GroupRows(TCustomvxDBGrid* Grid) : grid_(Grid) {}
        // Null when there is none: Add then takes the place the search ended at.
        TvxDBGridNode* Find(TvxTreeListNode* Parent, const Variant& Value) {
            Siblings& siblings = Of(Parent);
            searched_ = &siblings;
            place_ = siblings.Rows.lower_bound(Value);
            if (place_ != siblings.Rows.end() && !siblings.Rows.key_comp()(Value, place_->first)) return place_->second;
            return nullptr;
        }
        // Row, a new group row with the GroupValue just searched for, went last among
        // Parent's children.
        void Add(TvxTreeListNode* Parent, TvxDBGridNode* Row) {
            Siblings& siblings = Of(Parent);
            if (searched_ == &siblings)
                siblings.Rows.emplace_hint(place_, &Row->GroupValue, Row);
            else
                siblings.Rows.emplace(&Row->GroupValue, Row);
            searched_ = nullptr;
            siblings.Grew = true;
            if (Parent && parentsKnown_) parentOf_.Get(Row) = Parent;
        }
        // Node was deleted (it has left its parent already). Its own list is forgotten: a node
        // made later at its address takes its rows from the tree afresh.
        void Forget(TvxTreeListNode* Node) {
            KnowParents();
            searched_ = nullptr;
            if (size_t slot = slots_.Find(Node); slot != TvxNodeSlots::npos) lists_[slot].Reset();
            TvxTreeListNode* const* parent = parentOf_.Find(Node);
            const size_t slot = slots_.Find(parent ? *parent : nullptr);
            if (slot != TvxNodeSlots::npos && lists_[slot].Taken) {
                auto& rows = lists_[slot].Rows;
                if (auto row = rows.find(GridNode(Node)->GroupValue); row != rows.end() && row->second == Node)
                    rows.erase(row);
            }
            parentOf_.Erase(Node);
        }
        // The rows are in group order in the index already.
        void PutInOrder() {
            for (Siblings& siblings : lists_) {
                if (!siblings.Grew) continue;
                std::vector<TvxTreeListNode*> order;
                order.reserve(siblings.Rows.size());
                for (const auto& [value, row] : siblings.Rows) order.push_back(row);
                TvxTreeListNode* parent = siblings.Parent;
                const int level = parent ? parent->Level() + 1 : 0;
                if (grid_->groupColumns_[static_cast<size_t>(level)]->Sorted() == csDown)
                    std::reverse(order.begin(), order.end());
                grid_->ArrangeChildren(parent, order);
                siblings.Grew = false;
            }
        }

    private:
        // The index keeps the address of each row's own group value rather than a copy: the
        // value stays put while the row lives, and the index forgets a row before it goes.
        struct ValueLess {
            using is_transparent = void;
            TCustomvxDBGrid* Grid;
            bool operator()(const Variant* A, const Variant* B) const { return Grid->CompareGroupValues(*A, *B) < 0; }
            bool operator()(const Variant* A, const Variant& B) const { return Grid->CompareGroupValues(*A, B) < 0; }
            bool operator()(const Variant& A, const Variant* B) const { return Grid->CompareGroupValues(A, *B) < 0; }
        };
        using Index = std::pmr::map<const Variant*, TvxDBGridNode*, ValueLess>;
        struct Siblings {
            TvxTreeListNode* Parent;
            Index Rows;
            bool Taken = false;  // the rows are taken from the tree
            bool Grew = false;
            void Reset() {
                Rows.clear();
                Taken = Grew = false;
            }
        };
        // The rows under Parent, taken from the tree the first time.
        Siblings& Of(TvxTreeListNode* Parent) {
            bool added = false;
            const size_t slot = slots_.Slot(Parent, &added);
            if (added) lists_.push_back(Siblings{Parent, Index(ValueLess{grid_}, &entries_)});
            Siblings& siblings = lists_[slot];
            if (!siblings.Taken) {
                siblings.Taken = true;
                const int count = Parent ? Parent->Count() : grid_->GetCount();
                for (int i = 0; i < count; ++i)
                    if (auto* row = GridNode(Parent ? Parent->Items(i) : grid_->GetItem(i))) {
                        siblings.Rows.emplace(&row->GroupValue, row);
                        if (Parent && parentsKnown_) parentOf_.Get(row) = Parent;
                    }
            }
            return siblings;
        }
        // The parent of each indexed row, made at the first deletion during the pass and kept
        // from then on: a pass seldom deletes, and keeping it for every group row made would
        // cost a grouping by two columns a tenth of its time.
        void KnowParents() {
            if (parentsKnown_) return;
            parentsKnown_ = true;
            for (const Siblings& siblings : lists_)
                if (siblings.Parent)
                    for (const auto& [value, row] : siblings.Rows) parentOf_.Get(row) = siblings.Parent;
        }

        TCustomvxDBGrid* grid_;
        // The index's entries, one for each group row of a load (a hundred thousand when a
        // column has a value for each record), lie side by side and go all at once with the
        // pass: made and freed one by one among the rows, they cost a grouping more than the
        // searches in them.
        std::pmr::monotonic_buffer_resource entries_;
        // The list of each parent, numbered as the parents first come; a deque keeps each
        // where it is while more come.
        TvxNodeSlots slots_;
        std::deque<Siblings> lists_;
        TvxNodeMap<TvxTreeListNode*> parentOf_;
        bool parentsKnown_ = false;
        // Where the last search ended, until the index changes.
        Siblings* searched_ = nullptr;
        Index::iterator place_;
    };

    // Data rows of the last load that may be taken again by the record of their key. A record
    // that did not change comes in the order of the last load and finds its row next in that
    // order, under the group rows it had: no group row is searched for it. Any other record
    // tries its parent's rows in their order there, the order their records came in until
    // something reorders them; the first record that does not find its row next has the
    // parent's rows sorted by key and searched from then on. A row taken is marked, not
    // erased: erasing would shift the rest of the list for every record.
    class KeptRows {
    public:
        explicit KeptRows(const std::vector<TvxTreeListNode*>& Rows) {
            for (TvxTreeListNode* node : Rows)
                if (TvxDBGridNode* row = GridNode(node)) rows_.push_back({row->KeyValue, row});
            lastOrder_.resize(rows_.size());
            for (size_t i = 0; i < rows_.size(); ++i) lastOrder_[i] = i;
            std::stable_sort(lastOrder_.begin(), lastOrder_.end(), [this](size_t a, size_t b) {
                return rows_[a].Node->RecordIndex < rows_[b].Node->RecordIndex;
            });
        }
        // The next row in the last load's order when it shows Key and InPlace accepts where it
        // sits; one row further is tried too (the record of the next one is gone). Null: none.
        template <class F>
        TvxDBGridNode* TakeNext(const Variant& Key, F InPlace) {
            while (next_ < lastOrder_.size() && rows_[lastOrder_[next_]].Taken) ++next_;
            for (size_t at = next_; at < lastOrder_.size() && at <= next_ + 1; ++at) {
                Row& row = rows_[lastOrder_[at]];
                if (row.Taken || CompareVariants(row.Key, Key) != 0 || !InPlace(row.Node)) continue;
                next_ = at + 1;
                return TakeRow(lastOrder_[at]);
            }
            return nullptr;
        }
        TvxDBGridNode* Take(TvxTreeListNode* Parent, const Variant& Key) {
            if (!indexed_) {
                for (size_t i = 0; i < rows_.size(); ++i) byParent_.Get(rows_[i].Node->Parent()).Rows.push_back(i);
                indexed_ = true;
            }
            Siblings* parent = byParent_.Find(Parent);
            if (!parent) return nullptr;
            Siblings& siblings = *parent;
            std::vector<size_t>& at = siblings.Rows;
            if (!siblings.ByKey) {
                while (siblings.Next < at.size() && rows_[at[siblings.Next]].Taken) ++siblings.Next;
                if (siblings.Next < at.size() && CompareVariants(rows_[at[siblings.Next]].Key, Key) == 0)
                    return TakeRow(at[siblings.Next++]);
                std::stable_sort(at.begin(), at.end(), [this](size_t a, size_t b) { return KeyOf(a, b) < 0; });
                siblings.ByKey = true;
            }
            auto it = std::lower_bound(at.begin(), at.end(), Key, [this](size_t a, const Variant& k) {
                return CompareVariants(rows_[a].Key, k) < 0;
            });
            for (; it != at.end() && CompareVariants(rows_[*it].Key, Key) == 0; ++it)
                if (!rows_[*it].Taken) return TakeRow(*it);
            return nullptr;
        }
        // Node was deleted: were it a parent of kept rows, a new node made at its address
        // would find them.
        void Forget(TvxTreeListNode* Node) { byParent_.Erase(Node); }
        // The rows no record took, by key.
        std::vector<TvxTreeListNode*> Left() const {
            std::vector<size_t> left;
            for (size_t i = 0; i < rows_.size(); ++i)
                if (!rows_[i].Taken) left.push_back(i);
            std::stable_sort(left.begin(), left.end(), [this](size_t a, size_t b) { return KeyOf(a, b) < 0; });
            std::vector<TvxTreeListNode*> nodes;
            for (size_t i : left) nodes.push_back(rows_[i].Node);
            return nodes;
        }

    private:
        struct Row {
            Variant Key;
            TvxDBGridNode* Node;
            bool Taken = false;
        };
        struct Siblings {
            // Declared, not implied: Clang takes a nested struct with member initializers for
            // default-constructible only once the enclosing class is complete, and the node
            // map below asks before.
            Siblings() {}
            std::vector<size_t> Rows;
            size_t Next = 0;
            bool ByKey = false;
        };
        int KeyOf(size_t A, size_t B) const { return CompareVariants(rows_[A].Key, rows_[B].Key); }
        TvxDBGridNode* TakeRow(size_t At) {
            rows_[At].Taken = true;
            return rows_[At].Node;
        }
        std::vector<Row> rows_;
        // The rows in the order of their records in the last load.
        std::vector<size_t> lastOrder_;
        size_t next_ = 0;
        // The rows under each parent, made when a record first looks there.
        TvxNodeMap<Siblings> byParent_;
        bool indexed_ = false;
    };

    TDataSet* DataSet = nullptr;
    bool Smart = false;
    std::optional<KeptRows> Kept;
    TvxTreeListNode* TopCandidate = nullptr;
    int Passed = 0;
    int Read = 0;
    // The group values of the record being read, by level.
    std::vector<Variant> Values;
    // Only while the dataset is read.
    std::optional<GroupRows> Groups;
    // The group rows a regroup took out of the tree: they go once the new ones stand, so that
    // a deletion handler that raises leaves the regrouped rows standing.
    std::vector<TvxTreeListNode*> Former;
};

// ---- The group-column list ----

bool TCustomvxDBGrid::InsertGroupColumn(int Index, TvxDBTreeListColumn* Column) {
    if (!CanAddGroupColumn(Column)) return false;
    if (!IsCursorMode() && !IsPartialLoadMode()) regroupPending_ = true;
    Index = std::clamp(Index, 0, GroupColumnCount());
    groupColumns_.insert(groupColumns_.begin() + Index, Column);
    for (size_t i = 0; i < groupColumns_.size(); ++i) groupColumns_[i]->StoreGroupIndex(static_cast<int>(i));
    TUpdateScope<TCustomvxTreeList> update(this);
    // The rows are regrouped also when the sort that goes with the column raises.
    TScopeExit regroup([this] {
        if (groupRebuildLock_ == 0) ReloadGroupList();
    });
    // The column is listed as sorted, as its mark says, and hidden also when its sort raises:
    // a header click acts on the list.
    TScopeExit placed([this, Column] {
        TCustomvxDBTreeListControl::AddSortedColumn(Column);
        if (!optionsCustomize_.Contains(edgoNotHideColumn)) Column->SetVisible(false);
    });
    if (Column->Sorted() == csNone) {
        BeginSorting();
        TScopeExit sorted([this] { EndSorting(); });
        Column->SetSorted(csUp);
    }
    return true;
}

void TCustomvxDBGrid::RemoveGroupColumn(int Index) {
    if (Index < 0 || Index >= GroupColumnCount()) return;
    TvxDBTreeListColumn* column = groupColumns_[static_cast<size_t>(Index)];
    TUpdateScope<TCustomvxTreeList> update(this);
    // The column leaves the group columns and the rows are regrouped also when the sort that
    // goes with it raises (a table event while the group rows' records are found again).
    TScopeExit removed([this, column] {
        column->StoreGroupIndex(-1);
        groupColumns_.erase(std::remove(groupColumns_.begin(), groupColumns_.end(), column), groupColumns_.end());
        for (size_t i = 0; i < groupColumns_.size(); ++i) groupColumns_[i]->StoreGroupIndex(static_cast<int>(i));
        regroupPending_ = true;
        if (groupRebuildLock_ == 0) ReloadGroupList();
    });
    BeginSorting();
    TScopeExit sorted([this] { EndSorting(); });
    column->SetVisible(true);
    column->StoreGroupIndex(-1);
    column->SetSorted(csNone);
}

void TCustomvxDBGrid::ChangeGroupIndex(TvxDBTreeListColumn* Column, int GroupIndex) {
    if (!Column) return;
    if (GroupIndex == Column->GroupIndex() && !rebuildingGroupIndexes_) return;
    TUpdateScope<TCustomvxTreeList> update(this);
    BeginGroupRebuild();
    TScopeExit end([this] { EndGroupRebuild(); });
    if (!rebuildingGroupIndexes_) {
        auto it = std::find(groupColumns_.begin(), groupColumns_.end(), Column);
        if (it != groupColumns_.end()) RemoveGroupColumn(static_cast<int>(it - groupColumns_.begin()));
    }
    if (GroupIndex != -1) InsertGroupColumn(GroupIndex, Column);
}

void TCustomvxDBGrid::ColumnFieldChanged(TvxDBTreeListColumn* Column) {
    if (columnFieldChanging_ || loadingFromStream_ || HasState(csLoading)) return;
    columnFieldChanging_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{columnFieldChanging_};
    if (Column && Column->GroupIndex() >= 0) {
        TDataSet* ds = DataSet();
        const bool blob = dynamic_cast<TBlobField*>(Column->Field()) != nullptr;
        if (blob || Column->FieldName().empty() || (ds && !ds->FindField(Column->FieldName()))) {
            ChangeGroupIndex(Column, -1);
            return;
        }
    }
    BeginGroupRebuild();
    EndGroupRebuild();
}

void TCustomvxDBGrid::BeginGroupRebuild() {
    if (groupRebuildLock_++ == 0) {
        loadedGroupFields_.clear();
        for (TvxDBTreeListColumn* c : groupColumns_) loadedGroupFields_.push_back(c->FieldName());
        rebuildBeganInCursorMode_ = IsCursorMode();
    }
}

void TCustomvxDBGrid::EndGroupRebuild() {
    if (groupRebuildLock_ == 0) return;
    if (--groupRebuildLock_ > 0) return;
    if (rebuildBeganInCursorMode_) regroupPending_ = false;
    if (!loadingFromStream_ && !HasState(csLoading)) {
        if (GroupFieldsChanged())
            ReloadGroupList();
        else
            ReloadAfterChange();
    }
    loadedGroupFields_.clear();
}

bool TCustomvxDBGrid::GroupFieldsChanged() const {
    if (loadedGroupFields_.size() != groupColumns_.size()) return true;
    for (size_t i = 0; i < groupColumns_.size(); ++i)
        if (!SameText(groupColumns_[i]->FieldName(), loadedGroupFields_[i])) return true;
    return false;
}

void TCustomvxDBGrid::RebuildGroupColumns() {
    if (Has(egoSmartRefresh) && !suppressRegroup_ && !IsCursorMode()) {
        regroupPending_ = true;
        TUpdateScope<TCustomvxTreeList> update(this);
        RecalcSummaries(nullptr);
        return;
    }
    rebuildingGroupIndexes_ = true;
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{rebuildingGroupIndexes_};
    // Stable by GroupIndex: equal indexes keep the order of the column list.
    std::vector<TvxDBTreeListColumn*> grouped;
    for (int i = 0; i < ColumnCount(); ++i)
        if (TvxDBTreeListColumn* c = GetColumn(i); c && c->GroupIndex() >= 0) grouped.push_back(c);
    std::stable_sort(grouped.begin(), grouped.end(),
                     [](TvxDBTreeListColumn* a, TvxDBTreeListColumn* b) { return a->GroupIndex() < b->GroupIndex(); });
    if (!grouped.empty()) {
        BeginGroupRebuild();
        TScopeExit end([this] { EndGroupRebuild(); });
        groupColumns_.clear();
        for (TvxDBTreeListColumn* c : grouped) {
            const int wanted = c->GroupIndex();
            c->StoreGroupIndex(-1);
            ChangeGroupIndex(c, wanted);
        }
        regroupPending_ = false;
    } else {
        groupColumns_.clear();
        if (!IsCursorMode()) ReloadGroupList();
    }
}

void TCustomvxDBGrid::ClearGrouping() {
    BeginSorting();
    TScopeExit sorted([this] { EndSorting(); });
    TUpdateScope<TCustomvxTreeList> update(this);
    BeginGroupRebuild();
    TScopeExit rebuilt([this] { EndGroupRebuild(); });
    while (!groupColumns_.empty()) RemoveGroupColumn(0);
}

void TCustomvxDBGrid::DropGroupColumnsWithoutField() {
    ++groupRebuildLock_;
    for (int i = GroupColumnCount() - 1; i >= 0; --i)
        if (!groupColumns_[static_cast<size_t>(i)]->Field()) {
            groupColumns_[static_cast<size_t>(i)]->StoreGroupIndex(-1);
            groupColumns_.erase(groupColumns_.begin() + i);
        }
    for (size_t i = 0; i < groupColumns_.size(); ++i) groupColumns_[i]->StoreGroupIndex(static_cast<int>(i));
    --groupRebuildLock_;
}

// ---- Reloads ----

bool TCustomvxDBGrid::CanRegroupLoaded() {
    // Only rows of every record regroup into what a load of every record shows: a loaded run,
    // the record window's rows and the rows of a table gone are read anew.
    return Has(egoSmartReload) && regroupPending_ && IsLoadAllMode() && dataLink_->Active() && loadedRecordCount_ >= 0;
}

void TCustomvxDBGrid::ReloadGroupList() {
    // A raise before the load (a row's deletion handler) leaves rows that are no load's: the
    // load answers for them once it runs. The selection goes as the load would have let it go:
    // kept, its entries would stand in the table's former order, and a freed group row's for
    // a record.
    bool loading = false;
    TScopeExit ended([this, &loading](bool Broken) {
        if (loading) return;
        ReloadEnded(Broken, TLoadedRows::Partial);
        if (Broken) ClearSelection();
    });
    TUpdateScope<TCustomvxTreeList> update(this);
    CloseEditor();
    if (!CanRegroupLoaded()) ClearNodes();
    ClearSelection();
    if (TvxDBTreeListControlDataLink* link = GetDataLink()) {
        link->ClearMapping();
        if (link->Active()) MapColumnFields();
    }
    for (int i = 0; i < ColumnCount(); ++i)
        if (TvxDBTreeListColumn* c = GetColumn(i)) c->SetFieldName(c->FieldName());
    loading = true;
    ReloadNodes(nullptr);
    recordCursor_.SyncFocusToCurrentRecord();
    if (OnReloadGroupList) OnReloadGroupList(this);
}

void TCustomvxDBGrid::ReloadAfterChange() {
    focusedKeyValue_ = Variant();
    focusedLevel_ = 0;
    regroupPending_ = false;
    suppressRegroup_ = false;
    if (IsCursorMode()) {
        ClearNodes();
        // Inside an update the bars wait for its end, which sets them once for every change.
        if (LockUpdate() == 0) UpdateScrollBars();
        return;
    }
    // The selection's snapshot and the focused row's key and place serve this reload only:
    // kept, they would pick the top row (and focus) of a later regroup after an old record,
    // and select rows of records gone.
    TScopeExit forget([this] {
        focusedKeyValue_ = Variant();
        focusedLevel_ = 0;
        focusedTopDistance_ = -1;
        DropSnapshot();
    });
    bool loading = false;
    TScopeExit ended([this, &loading](bool Broken) {
        if (!loading) ReloadEnded(Broken, TLoadedRows::Partial);
    });
    TUpdateScope<TCustomvxTreeList> update(this);
    SnapshotSelection();
    if (auto* focused = GridNode(GetFocusedNode())) {
        focusedKeyValue_ = focused->KeyValue;
        focusedLevel_ = focused->Level();
        const int top = GetTopIndex();
        focusedTopDistance_ = top >= 0 ? GetAbsoluteIndex(focused) - top : -1;
    } else {
        focusedTopDistance_ = -1;
    }
    std::vector<TvxTreeListNode*> kept;
    if (groupColumns_.empty() || (GetCount() == 1 && GetItem(0)->Count() == 0)) {
        ClearNodes();
        loading = true;
        ReloadNodes(nullptr);
    } else {
        // Group rows stay with their expanded state; their data rows may be taken again.
        // In their order in the tree, the order their records were read in last time.
        std::vector<TvxTreeListNode*> stack;
        for (int i = GetCount() - 1; i >= 0; --i) stack.push_back(GetItem(i));
        while (!stack.empty()) {
            TvxTreeListNode* n = stack.back();
            stack.pop_back();
            if (n->Level() >= GroupColumnCount())
                kept.push_back(n);
            else
                for (int i = n->Count() - 1; i >= 0; --i) stack.push_back(n->Items(i));
        }
        // Rows the filter hid come again with their records and are hidden again: kept,
        // every reload would add a copy of each to the hidden list.
        const std::vector<TvxTreeListNode*> hidden = HiddenNodes();
        size_t next = 0;
        TvxTreeListNode::FreeEach([&] { return next < hidden.size() ? hidden[next++] : nullptr; });
        // The snapshot brings the selection back row by row.
        ClearSelection();
        loading = true;
        ReloadNodes(&kept);
        SelectSavedGroupRows();
    }
    focusedKeyValue_ = Variant();
    focusedLevel_ = 0;
    focusedTopDistance_ = -1;
    DropSnapshot();
    recordCursor_.SyncFocusToCurrentRecord();
}

void TCustomvxDBGrid::ReloadNodes(const std::vector<TvxTreeListNode*>* Nodes) {
    if (loadingFromStream_ || HasState(csLoading)) return;
    // What the filter kept by record numbers goes: the rows are read or regrouped anew.
    groupRows_.Release();
    if (IsPartialLoadMode()) {
        regroupPending_ = false;
        ResolvePreviewField();
        LoadPartialBuffer(0, 0, false);
        return;
    }
    const bool smart = CanRegroupLoaded();
    if (!smart) loadedRecordCount_ = -1;
    TDataSet* ds = DataSet();
    TLoadScope load(*this);
    TScopeExit regrouped([this] { regroupPending_ = false; });
    TField* key = ds && ds->Active() && !KeyField().empty() ? ds->FindField(KeyField()) : nullptr;
    SetKeyFieldObject(key);
    if (!key && Has(egoCanNavigation)) return;
    if (ds && ds->Active()) DropGroupColumnsWithoutField();
    if (IsCursorMode() || !ds || !ds->Active()) return;
    for (TvxDBTreeListColumn* g : groupColumns_)
        if (!g->Field() || dynamic_cast<TBlobField*>(g->Field())) return;

    TLoadPass pass;
    // The group rows a regroup took out go last, also when the load breaks off.
    TScopeExit formerGroups([&pass] {
        auto next = pass.Former.begin();
        TvxTreeListNode::FreeEach([&] { return next != pass.Former.end() ? *next++ : nullptr; });
    });
    pass.DataSet = ds;
    SetSelectionAnchor(nullptr);
    pass.Smart = smart;
    // A tree built anew shows its first row; the rows kept by a data change keep theirs.
    const bool fresh = pass.Smart || GetCount() == 0;
    ResolvePreviewField();
    CalcSummaries();
    if (!pass.Smart) RefreshSummaryFields();
    if (focusedKeyValue_.IsEmpty()) focusedLevel_ = 0;
    // A load reads every record from the first, an edit under way cancelled, and puts the
    // table back where it stood; a regroup of the loaded rows leaves the table alone.
    TvxDBGridCursor::TTableWalk tableWalk(recordCursor_, pass.Smart ? nullptr : ds, TvxDBGridCursor::TWalk::Load);
    const bool hourglass = optionsBehavior_.Contains(edgoShowHourGlass);
    const TCursor cursor = hourglass ? EnsureScreen()->Cursor() : crDefault;
    if (hourglass) EnsureScreen()->SetCursor(crHourGlass);
    TScopeExit restoreCursor([hourglass, cursor] {
        if (hourglass) EnsureScreen()->SetCursor(cursor);
    });
    if (!pass.Smart) ds->First();
    footerRecordCount_ = 0;
    DoClearNodeData();
    DoBeforeCalcSummary();
    if (IsFilterInEffect()) PrepareFilter();

    pass.Groups.emplace(this);
    loadPass_ = &pass;
    // The pass is over however the load ends: deletions are no more its business, and the
    // table's record no more the one being read.
    struct PassOver {
        TCustomvxDBGrid* grid;
        ~PassOver() {
            grid->readingDataSet_ = false;
            grid->loadPass_ = nullptr;
        }
    } passOver{this};
    if (!pass.Smart) {
        if (Nodes) pass.Kept.emplace(*Nodes);
        readingDataSet_ = true;
        int number = 0;
        while (!ds->Eof()) {
            LoadRecord(pass, number);
            ds->Next();
            ++number;
        }
        pass.Read = number;
        pass.Groups->PutInOrder();
        if (pass.Kept) PutRowsInRecordOrder();
        loadedRecordCount_ = number;
        // A focused row the filter now hides leaves the focus to the first row, as a tree
        // built anew has it.
        if (GetCount() > 0 && !GetFocusedNode()) GetItem(0)->SetFocused(true);
    } else {
        RegroupLoaded(pass);
    }
    SelectReloadedRows();
    pass.Groups.reset();
    loadPass_ = nullptr;

    footerRecordCount_ = IsFilterInEffect() ? pass.Passed : pass.Read;
    if (pass.Kept)
        for (TvxTreeListNode* left : pass.Kept->Left()) DeleteNodeWithEmptyParents(left);
    // Each record's row stands where the load puts it, and no other row is left: a raise from
    // here on leaves them standing, their order and summaries owed.
    load.Placed();
    // A load reads the records in the table's order, puts the group rows it makes in their
    // order when the pass ends and the rows it took again back in record order; a regroup of
    // the loaded rows takes them as they stood.
    ResortRows(pass.Smart ? TRowOrder::Unknown : TRowOrder::Kept);
    FinishSummaries(pass.Smart);
    ResortBySummary();
    PropagateGroupKeys();
    // The first node made is not the first row once group rows go in above it, and a
    // regroup may have moved the top row into a collapsed group.
    if (fresh && GetCount() > 0 && TopVisibleNode() != GetItem(0)) SetTopVisibleNode(GetItem(0));
    if (HandleAllocated()) UpdateRowCounts();
    // Rows kept by a data change: new rows above the top do not stay out of view while
    // everything fits.
    ClampTopIndex();
    if (pass.TopCandidate) {
        const int index = GetAbsoluteIndex(pass.TopCandidate);
        SetTopIndex(focusedTopDistance_ >= 0 ? std::max(0, index - focusedTopDistance_) : index);
    }
    load.Complete();
}

void TCustomvxDBGrid::ReloadEnded(bool Broken, TLoadedRows Rows) {
    if (!Broken) {
        if (Rows == TLoadedRows::Complete) OwedRowsPaid();
        return;
    }
    // Broken off by a raise (a table event, a handler of the rows): rows half read or half
    // regrouped are no load's, and the selection would lead to rows that are not the records'.
    // They go, the selection keeping its records (those of a reload's snapshot too), and the
    // rows are owed to the next time the grid needs them (LoadOwedRows) or the table's next
    // change; IsAllRecordsLoaded says so meanwhile. Rows each in their place stay, owed their
    // order and summaries, each group row with its first record's key. Rows that stay take the
    // focus to the current record's row, as a load's caller would; and the focus goes to the
    // row of the record the table stands on, where the way back was refused.
    if (Rows == TLoadedRows::Placed) {
        OweRows();
        PropagateGroupKeys();
    }
    if (Rows != TLoadedRows::Partial) {
        recordCursor_.SyncFocusToCurrentRecord();
    } else {
        OweRows();
        TUpdateScope<TCustomvxTreeList> update(this);
        TvxTreeListNode::FreeEach([this]() -> TvxTreeListNode* {
            if (GetCount() > 0) return GetItem(GetCount() - 1);
            return HiddenNodes().empty() ? nullptr : HiddenNodes().back();
        });
        // The footer counts no row.
        RecalcSummaries(nullptr);
        KeepSnapshotWithoutRows();
    }
    recordCursor_.CatchUpWithTable();
}

void TCustomvxDBGrid::LoadOwedRows(bool Painting) {
    if (!rowsOwed_ || (Painting && owedRowsAskedByPaint_)) return;
    // Not in the middle of the grid's own work, nor while an edit is under way: a load
    // would cancel it.
    TDataSet* ds = DataSet();
    if (loadingNodes_ || recordCursor_.Walking() || LockUpdate() > 0 || groupRebuildLock_ > 0 ||
        SelectionBatchCount() > 0 || loadingFromStream_ || HasState(csLoading) || IsDestroying() ||
        !dataLink_->Active() || !ds || ds->State() != dsBrowse)
        return;
    if (Painting) owedRowsAskedByPaint_ = true;
    // The table leads the record window: its rows follow the buffer, as after the table's
    // next move.
    if (IsCursorMode()) {
        SyncCursorNodes();
        Invalidate();
        return;
    }
    // As the table's next change would load them.
    BeginGroupRebuild();
    EndGroupRebuild();
    recordCursor_.SyncFocusToCurrentRecord();
}

TvxDBGridNode* TCustomvxDBGrid::GroupRowFor(TLoadPass& P, TvxTreeListNode* Parent, int Level, const Variant& Value,
                                            int Start, TvxDBGridNode* Source) {
    TvxDBTreeListColumn* column = groupColumns_[static_cast<size_t>(Level)];
    // Group rows ordered by their summaries are found and placed one by one, as the order of
    // their making decides among equal summaries.
    const bool byIndex = P.Groups && !column->SortBySummary();
    TvxTreeListNode* found = nullptr;
    TvxTreeListNode* row;
    if (byIndex) {
        if (TvxDBGridNode* group = P.Groups->Find(Parent, Value)) return group;
        row = Parent ? Parent->AddChild() : Add();
    } else {
        if (FindGroupNode(Parent, Level, Value, Start, found)) return GridNode(found);
        row = Parent ? Parent->InsertChild(found) : InsertNode(found);
    }
    auto* group = GridNode(row);
    group->GroupValue = Value;
    if (byIndex) P.Groups->Add(Parent, group);
    if (Source) {
        TakeGroupCell(group, column, Source);
    } else {
        group->KeyValue = KeyFieldObject() ? KeyFieldObject()->Value() : Variant();
        LoadColumnNodeData(group, column);
        group->RecordIndex = P.Read;
        DoRefreshNodeData(group);
    }
    // Only a load selects what it makes: group rows made for rows a filter gives back are not.
    if (selectLoadedNodes_ && loadingNodes_) group->SetSelected(true);
    return group;
}

void TCustomvxDBGrid::LoadRecord(TLoadPass& P, int RecordNumber) {
    P.Read = RecordNumber;
    const int levels = GroupColumnCount();
    P.Values.resize(static_cast<size_t>(levels));
    for (int level = 0; level < levels; ++level)
        P.Values[static_cast<size_t>(level)] = groupColumns_[static_cast<size_t>(level)]->Field()->Value();
    TvxTreeListNode* parent = nullptr;
    TvxDBGridNode* row = nullptr;
    const Variant key = P.Kept && KeyFieldObject() ? KeyFieldObject()->Value() : Variant();
    // The row of an unchanged record, where its group values still put it.
    if (P.Kept && KeyFieldObject())
        row = P.Kept->TakeNext(key, [this, &P, levels](TvxDBGridNode* Row) {
            TvxTreeListNode* p = Row->Parent();
            for (int level = levels - 1; level >= 0; --level, p = p->Parent())
                if (!p || p->Level() != level ||
                    CompareGroupValues(GridNode(p)->GroupValue, P.Values[static_cast<size_t>(level)]) != 0)
                    return false;
            return p == nullptr;
        });
    if (row) {
        parent = row->Parent();
    } else {
        for (int level = 0; level < levels; ++level)
            parent = GroupRowFor(P, parent, level, P.Values[static_cast<size_t>(level)], 0, nullptr);
        // A row of the same key under the same parent is taken again.
        if (P.Kept && KeyFieldObject()) row = P.Kept->Take(parent, key);
    }
    if (!row) row = GridNode(parent ? parent->AddChild() : Add());
    row->GroupValue = Variant();
    LoadNodeData(row);
    row->RecordIndex = RecordNumber;
    DoRefreshNodeData(row);
    // A row the filter rejects is in the hidden-node list now: no summaries, no focus.
    if (!IsNodeInFilter(row)) return;
    ++P.Passed;
    if (selectLoadedNodes_)
        row->SetSelected(true);
    else
        ReselectLoaded(row);
    if (parent) AccumulateGroupSummaries(parent, row);
    AccumulateFooterSummaries(row);
    if (!focusedKeyValue_.IsEmpty() && !row->KeyValue.IsEmpty() &&
        CompareVariants(row->KeyValue, focusedKeyValue_) == 0) {
        TvxTreeListNode* candidate = row;
        while (candidate->Parent() && candidate->Level() > focusedLevel_) candidate = candidate->Parent();
        P.TopCandidate = candidate;
        candidate->SetFocused(true);
    }
}

std::vector<TvxTreeListNode*> TCustomvxDBGrid::UngroupNodes() {
    std::vector<TvxTreeListNode*> data;
    std::vector<TvxTreeListNode*> stack;
    for (int i = GetCount() - 1; i >= 0; --i) stack.push_back(GetItem(i));
    std::vector<TvxTreeListNode*> groups;
    while (!stack.empty()) {
        TvxTreeListNode* n = stack.back();
        stack.pop_back();
        if (n->Count() > 0) {
            groups.push_back(n);
            for (int i = n->Count() - 1; i >= 0; --i) stack.push_back(n->Items(i));
        } else {
            data.push_back(n);
        }
    }
    // Data rows become roots in display order, after the others; the group rows leave the
    // tree. Each step moves every row at once: one at a time, each would shift the lists it
    // leaves.
    std::vector<TvxTreeListNode*> grouped, rootGroups;
    for (TvxTreeListNode* n : data)
        if (n->Parent()) grouped.push_back(n);
    DetachNodes(grouped);
    AttachNodes(grouped, nullptr, -1);
    for (TvxTreeListNode* g : groups)
        if (!g->Parent()) rootGroups.push_back(g);
    DetachNodes(rootGroups);
    // Deepest last first.
    std::reverse(groups.begin(), groups.end());
    return groups;
}

void TCustomvxDBGrid::RegroupLoaded(TLoadPass& P) {
    if (GetCount() > 0 && GetItem(0)->Count() > 0) P.Former = UngroupNodes();
    const int count = GetCount();
    P.Read = count;
    // The data rows in front, in the table's order, as a load reads them: rows that no column
    // sorts stand in it, and each group row is made for its first record and takes its rows in
    // their order (ResortNodes leaves them so).
    std::vector<TvxTreeListNode*> rows;
    for (int i = 0; i < count; ++i) {
        auto* row = GridNode(GetItem(i));
        if (!row || row->Count() > 0) break;
        rows.push_back(row);
    }
    auto byRecord = [](TvxTreeListNode* A, TvxTreeListNode* B) {
        return GridNode(A)->RecordIndex < GridNode(B)->RecordIndex;
    };
    const bool inOrder = std::is_sorted(rows.begin(), rows.end(), byRecord);
    if (!inOrder) std::stable_sort(rows.begin(), rows.end(), byRecord);
    if (groupColumns_.empty()) {
        if (!inOrder && static_cast<int>(rows.size()) == count) ArrangeChildren(nullptr, rows);
        for (int i = 0; i < count; ++i) {
            auto* row = GridNode(GetItem(i));
            row->GroupValue = Variant();
            ReselectLoaded(row);
            if (IsNodeInFilter(row)) ++P.Passed;
        }
    } else {
        // The rows leave the root list at once and go under their group rows in turn; the
        // group rows are then the only roots the search meets. A row the pass does not reach
        // (it broke off) goes back in front.
        DetachNodes(rows);
        TScopeExit putBack([this, &rows] { AttachNodes(rows, nullptr, 0); });
        for (TvxTreeListNode* row : rows) {
            if (!IsNodeInFilter(row)) continue;
            ++P.Passed;
            AttachToGroups(row, P);
        }
        if (P.Groups) P.Groups->PutInOrder();
    }
    if (GetCount() > 0) GetItem(0)->SetFocused(true);
}

void TCustomvxDBGrid::AttachToGroups(TvxTreeListNode* Node, TLoadPass& P) {
    auto* row = GridNode(Node);
    TvxTreeListNode* parent = nullptr;
    for (int level = 0; level < GroupColumnCount(); ++level)
        parent = GroupRowFor(P, parent, level, GetNodeGroupValue(row, level), 0, row);
    if (parent && row->Parent() != parent) {
        if (row->Parent() || IndexOfRoot(row) >= 0) DetachNodes({row});
        AttachNodes({row}, parent, -1);
    }
    if (parent) AccumulateGroupSummaries(parent, row);
}

TvxTreeListNode* TCustomvxDBGrid::GroupPathFor(TvxTreeListNode* Node) {
    // Without groups the row is not even looked at: callers pass every row of the grid.
    auto* row = groupColumns_.empty() ? nullptr : GridNode(Node);
    if (!row) return nullptr;
    // One row: each level is searched in place, without an index of its siblings.
    TLoadPass pass;
    TvxTreeListNode* parent = nullptr;
    for (int level = 0; level < GroupColumnCount(); ++level)
        parent = GroupRowFor(pass, parent, level, GetNodeGroupValue(row, level), 0, row);
    return parent;
}

void TCustomvxDBGrid::TakeGroupCell(TvxDBGridNode* Group, TvxDBTreeListColumn* Column, TvxDBGridNode* Source) {
    Group->KeyValue = Source->KeyValue;
    const int c = Column->GetIndex();
    // A cell that keeps nothing takes no room, as in a row a load makes.
    if (const TvxDBCellRecord* cell = NodeCell(Source, c); cell && cell->Flags != 0) SetNodeColumn(Group, c, *cell);
    SetNodeString(Group, c, TCustomvxTreeListControl::GetNodeString(Source, c));
    Group->RecordIndex = Source->RecordIndex;
}

// The group rows many rows need (GroupPathsFor), level by level: the rows are put in order by
// parent and group value; each parent's rows then meet its group rows, which are in group
// order, in one pass: a value among them is found, any other gets a group row, and the list
// takes its new rows in their places at once. Rows coming back under as many new group rows as
// there are rows cost a sort, not a search in a growing index each. Rows a filter gives back
// come in the order they were shown, read backwards (the hidden list keeps the order they left
// in), so the sort mostly finds them in order already: it looks for runs first, instead of
// comparing every row some twenty times.
class TCustomvxDBGrid::TGroupPaths {
public:
    TGroupPaths(TCustomvxDBGrid* Grid, const std::vector<TvxTreeListNode*>& Rows)
        : grid_(Grid), rows_(Rows), levels_(Grid->GroupColumnCount()), paths_(Rows.size(), nullptr) {
        order_.reserve(Rows.size());
        for (size_t i = 0; i < Rows.size(); ++i)
            if (GridNode(Rows[i])) order_.push_back(i);
        ReadValues();
    }
    // The deepest group row of each row, the group rows missing made.
    std::vector<TvxTreeListNode*> Find() {
        for (int level = 0; level < levels_; ++level) {
            if (!together_) GatherByParent();
            TvxDBTreeListColumn* column = grid_->groupColumns_[static_cast<size_t>(level)];
            if (column->SortBySummary()) {
                FindOneByOne(level);
            } else {
                descending_ = column->Sorted() == csDown;
                SortByValue(level);
                MeetGroupRows(level);
            }
        }
        return std::move(paths_);
    }

private:
    // Every level's group value and each row's record number, read in one pass over the rows
    // in the order they lie in memory, the order the load made them in: in the order they come
    // (as they were shown, grouped by other values than their records') every level would read
    // each row again from anywhere in memory.
    void ReadValues() {
        values_.resize(rows_.size() * static_cast<size_t>(levels_));
        records_.resize(rows_.size(), 0);
        std::vector<size_t> byAddress = order_;
        std::sort(byAddress.begin(), byAddress.end(),
                  [this](size_t A, size_t B) { return std::less<TvxTreeListNode*>()(rows_[A], rows_[B]); });
        for (size_t i : byAddress) {
            for (int level = 0; level < levels_; ++level) Value(i, level) = grid_->GetNodeGroupValue(rows_[i], level);
            records_[i] = GridNode(rows_[i])->RecordIndex;
        }
    }
    Variant& Value(size_t Row, int Level) {
        return values_[Row * static_cast<size_t>(levels_) + static_cast<size_t>(Level)];
    }
    // The rows under one parent lie side by side again, in the order each parent first comes:
    // a level ordered by summaries leaves them where their group rows were found.
    void GatherByParent() {
        TvxNodeSlots parents;
        std::vector<size_t> counts;
        for (size_t i : order_) {
            bool added = false;
            const size_t slot = parents.Slot(paths_[i], &added);
            if (added) counts.push_back(0);
            ++counts[slot];
        }
        size_t at = 0;
        for (size_t& c : counts) {
            const size_t rows = c;
            c = at;
            at += rows;
        }
        std::vector<size_t> gathered(order_.size());
        for (size_t i : order_) gathered[counts[parents.Find(paths_[i])]++] = i;
        order_ = std::move(gathered);
        together_ = true;
    }
    // Group rows ordered by their summaries are found and placed one by one.
    void FindOneByOne(int Level) {
        TLoadPass pass;
        for (size_t i : order_)
            paths_[i] = grid_->GroupRowFor(pass, paths_[i], Level, Value(i, Level), 0, GridNode(rows_[i]));
        together_ = false;
    }
    // The order of two group values in the column's direction.
    int Compare(const Variant& A, const Variant& B) const {
        const int c = grid_->CompareGroupValues(A, B);
        return descending_ ? -c : c;
    }
    // Each parent's rows in group order.
    void SortByValue(int Level) {
        for (size_t run = 0; run < order_.size();) {
            size_t end = run + 1;
            while (end < order_.size() && paths_[order_[end]] == paths_[order_[run]]) ++end;
            MergeSortRuns(order_, run, end,
                          [&](size_t A, size_t B) { return Compare(Value(A, Level), Value(B, Level)); });
            run = end;
        }
    }
    // Each parent's rows, in group order, meet its group rows in one pass.
    void MeetGroupRows(int Level) {
        TvxDBTreeListColumn* column = grid_->groupColumns_[static_cast<size_t>(Level)];
        std::vector<TvxTreeListNode*> merged;
        for (size_t run = 0; run < order_.size();) {
            TvxTreeListNode* parent = paths_[order_[run]];
            const int count = parent ? parent->Count() : grid_->GetCount();
            auto sibling = [this, parent](int I) { return GridNode(parent ? parent->Items(I) : grid_->GetItem(I)); };
            merged.clear();
            int next = 0;
            bool made = false;
            while (run < order_.size() && paths_[order_[run]] == parent) {
                const size_t first = order_[run];
                TvxDBGridNode* group = nullptr;
                for (; next < count; ++next) {
                    TvxDBGridNode* s = sibling(next);
                    const int c = Compare(s->GroupValue, Value(first, Level));
                    if (c > 0) break;
                    merged.push_back(s);
                    if (c == 0) {
                        group = s;
                        ++next;
                        break;
                    }
                }
                // The rows of this value; a group row made for them takes its value and text
                // from the first record among them, as the group row a load makes does (the
                // value is one of several where the grouping ignores case).
                size_t end = run + 1;
                size_t earliest = first;
                const Variant& same = group ? group->GroupValue : Value(first, Level);
                for (; end < order_.size() && paths_[order_[end]] == parent &&
                       Compare(same, Value(order_[end], Level)) == 0;
                     ++end)
                    if (records_[order_[end]] < records_[earliest]) earliest = order_[end];
                if (!group) {
                    // Where the group row a filter freed for the same first record was.
                    TvxDBGridNode* row = grid_->groupRows_.Make(grid_, records_[earliest]);
                    group = GridNode(grid_->AddMadeNode(parent, row));
                    group->GroupValue = std::move(Value(earliest, Level));
                    grid_->TakeGroupCell(group, column, GridNode(rows_[earliest]));
                    merged.push_back(group);
                    made = true;
                }
                for (; run < end; ++run) paths_[order_[run]] = group;
            }
            for (; next < count; ++next) merged.push_back(sibling(next));
            if (made) grid_->ArrangeChildren(parent, merged);
        }
    }

    TCustomvxDBGrid* grid_;
    const std::vector<TvxTreeListNode*>& rows_;
    const int levels_;
    // Each row's group row so far (its parent on the next level).
    std::vector<TvxTreeListNode*> paths_;
    // The places of the grid's rows among Rows, by parent and value as the levels go.
    std::vector<size_t> order_;
    bool together_ = true;
    bool descending_ = false;
    // Each row's group value on each level, and its record number.
    std::vector<Variant> values_;
    std::vector<int> records_;
};

std::vector<TvxTreeListNode*> TCustomvxDBGrid::GroupPathsFor(const std::vector<TvxTreeListNode*>& Rows) {
    if (groupColumns_.empty()) return std::vector<TvxTreeListNode*>(Rows.size(), nullptr);
    return TGroupPaths(this, Rows).Find();
}

Variant TCustomvxDBGrid::GetNodeGroupValue(TvxTreeListNode* Node, int Level) {
    TvxDBTreeListColumn* column = groupColumns_[static_cast<size_t>(Level)];
    return GetCellValue(Node, column->GetIndex());
}

void TCustomvxDBGrid::DoDeletion(TvxTreeListNode* Node, TvxTreeListNode* PriorNode, bool Repaint, bool WasLast,
                                 TvxTreeListNode* NextNode) {
    if (loadPass_ && loadPass_->Groups) loadPass_->Groups->Forget(Node);
    if (loadPass_ && loadPass_->Kept) loadPass_->Kept->Forget(Node);
    if (rangeBookmarks_) rangeBookmarks_->RowFreed = true;
    if (!savedGroupRowsLiving_.Empty()) savedGroupRowsLiving_.Erase(Node);
    if (Node == newRecordRow_) newRecordRow_ = nullptr;
    // A row made later at its address is not the row of this operation.
    if (Node == syncedNode_) {
        syncedNode_ = nullptr;
        syncedKeyValue_ = Variant();
    }
    // A group row freed while its records stay (FreeGroupRows) stands for a record it no
    // longer shows: its entry leaves the selection, as the entries of the rows a filter hides
    // do. Gathered here, they leave in one step afterwards. A selected group row freed
    // otherwise leaves it at once: an entry without its row would name a record to delete.
    TFreedEntries freedHere;
    TFreedEntries* freed = freedEntries_;
    if (!freed && !IsDestroying() && IsGroupNode(Node)) freed = &freedHere;
    if (freed) {
        if (const TBookmark* attached = SelectedNodeBookmark(Node)) {
            freed->Bookmarks.push_back(*attached);
        } else if (auto* row = GridNode(Node); row && !selectedKeys_.Empty()) {
            if (TvxTreeListNode** selected = selectedKeys_.Slot(row->KeyValue); selected && *selected == Node)
                freed->Keys.push_back(row->KeyValue);
        }
    }
    // A key kept selected without bookmarks stays, without its row.
    if (!selectedKeys_.Empty())
        if (auto* row = GridNode(Node))
            if (TvxTreeListNode** selected = selectedKeys_.Slot(row->KeyValue); selected && *selected == Node)
                *selected = nullptr;
    if (freedHere.Bookmarks.empty() && freedHere.Keys.empty()) {
        TCustomvxDBTreeListControl::DoDeletion(Node, PriorNode, Repaint, WasLast, NextNode);
        return;
    }
    // Also when the deletion handler raises: the entry would lead to no row.
    TScopeExit removeFreed([this, &freedHere] { RemoveFreedEntries(freedHere); });
    TCustomvxDBTreeListControl::DoDeletion(Node, PriorNode, Repaint, WasLast, NextNode);
}

// ---- Group search ----

int TCustomvxDBGrid::CompareGroupValues(const Variant& A, const Variant& B) {
    // Every step of every group search comes here: the values are copied only to upper-case.
    if (A.IsString() && B.IsString() && optionsBehavior_.Contains(edgoCaseInsensitive))
        return CompareGroupValuesAsTheyAre(Variant(AnsiUpperCase(A.AsString())), Variant(AnsiUpperCase(B.AsString())));
    return CompareGroupValuesAsTheyAre(A, B);
}

int TCustomvxDBGrid::CompareGroupValuesAsTheyAre(const Variant& A, const Variant& B) {
    const TVariantRelationship relation = VarCompareValue(A, B);
    if (relation == vrEqual) return 0;
    if (A.IsNull() || A.IsEmpty()) return -1;
    if (B.IsNull() || B.IsEmpty()) return 1;
    if (A.IsString() && optionsBehavior_.Contains(edgoAnsiSort)) return AnsiCompareStr(A.AsString(), VarToStr(B));
    return relation == vrGreaterThan ? 1 : -1;
}

bool TCustomvxDBGrid::FindGroupNode(TvxTreeListNode* Parent, int Level, const Variant& Value, int Start,
                                    TvxTreeListNode*& Node) {
    Node = nullptr;
    const int count = Parent ? Parent->Count() : GetCount();
    auto sibling = [&](int i) { return Parent ? Parent->Items(i) : GetItem(i); };
    if (Level < 0 || Level >= GroupColumnCount()) return false;
    TvxDBTreeListColumn* column = groupColumns_[static_cast<size_t>(Level)];
    Start = std::max(0, Start);
    if (column->SortBySummary()) {
        for (int i = Start; i < count; ++i) {
            Node = sibling(i);
            if (CompareGroupValues(GridNode(Node)->GroupValue, Value) == 0) return true;
        }
        return false;
    }
    const bool descending = column->Sorted() == csDown;
    int lo = Start, hi = count - 1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        int c = CompareGroupValues(GridNode(sibling(mid))->GroupValue, Value);
        if (descending) c = -c;
        if (c == 0) {
            Node = sibling(mid);
            return true;
        }
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    Node = lo < count ? sibling(lo) : nullptr;
    return false;
}

// ---- Data events outside the record window ----

void TCustomvxDBGrid::LinkActive(bool Active) {
    if (!Active) CloseEditor();
    SetKeyFieldObject(Active && DataSet() && !KeyField().empty() ? DataSet()->FindField(KeyField()) : nullptr);
    if (loadingFromStream_ || HasState(csLoading)) return;
    ReloadGroupList();
    if (Active) recordCursor_.SyncFocusToCurrentRecord();
    if (IsCursorMode()) UpdateScrollBars();
}

void TCustomvxDBGrid::SynchronizeData() {
    TDataSet* ds = DataSet();
    SetKeyFieldObject(ds && ds->Active() && !KeyField().empty() ? ds->FindField(KeyField()) : nullptr);
    if (IsCursorMode())
        SyncCursorNodes();
    else
        UpdateScrollBars();
    UpdateActiveEditor();
}

void TCustomvxDBGrid::DataChanged() {
    TDataSet* ds = DataSet();
    if (!ds) return;
    // A change outside an edit and an insert ends the grid's own record operation, in every
    // mode and however this notice ends: its row, kept, would be taken for the row of a later
    // one (an append would fill it instead of a new row), and the record window's rows show
    // other records as it scrolls.
    TScopeExit endOperation([this, ds] {
        const TDataSetState state = ds->State();
        if (state == dsEdit || state == dsSetKey || (state == dsInsert && KeyFieldObject())) return;
        syncedNode_ = nullptr;
        syncedKeyValue_ = Variant();
        newRecordRow_ = nullptr;
    });
    // A row refreshed in place, or a new record's row, broken off by a raise (a handler of
    // the rows) may stand where a load would not put it: the rows are owed, and reloaded when
    // the grid next needs them or at the next change. Meanwhile each group row stands for its first record, as a
    // selection by keys takes it.
    TScopeExit broken([this](bool Broken) {
        if (!Broken || IsCursorMode()) return;
        OweRows();
        PropagateGroupKeys();
    });
    if (SelectionBatchCount() == 0) CheckFocusedRecordChange();
    // Only a change of the current record alone: a record gone (a delete) or come in some other
    // way leaves another record count, and reloads.
    const bool canRefreshInPlace = Has(egoSmartRefresh) && !suppressRegroup_ && !ds->Bof() && !ds->Eof() &&
                                   !(GetCount() == 1 && GroupColumnCount() > 0 && GetItem(0)->Count() == 0) &&
                                   !IsPartialLoadMode() &&
                                   ds->RecordCount() == loadedRecordCount_ + (newRecordRow_ ? 1 : 0);
    // Only a row that still shows the current record is refreshed in place; anything else
    // (a deleted or a new record) reloads. The notice that ends the grid's own walk over the
    // table changes no record: counted in, it would recount the summaries in the middle of
    // the count that made the walk (a selected group row found again while a filter recounts).
    const bool inPlace = canRefreshInPlace && !loadingNodes_ && !recordCursor_.Walking() && !IsCursorMode() &&
                         RefreshCurrentRecord();
    if (postingSelf_) {
        postingSelf_ = false;
        return;
    }
    if (loadingNodes_) return;
    // In the record window the rows are the link's buffer, which the end of a walk over the
    // table may have moved: they follow it, as there is nothing to reload.
    if (recordCursor_.Walking() && !IsCursorMode()) return;
    if (IsDataSetBusy(ds) && IsLoadAllMode()) {
        Scroll(0);
        return;
    }
    if (IsCursorMode()) {
        // No reload takes the selection through this change: it is checked against the table,
        // and told once the rows follow the buffer, which a handler that raises leaves them on.
        const bool selectionChanged = GetSelectedCount() > 0 && ds->State() == dsBrowse && RefreshSelectedBookmarks();
        if (HandleAllocated() && !(ds->IsEmpty() && ds->State() == dsInsert)) SyncCursorNodes();
        ResetEditing();
        if (ds->State() == dsInsert) {
            if (GetFocusedNode()) InvalidateRect(GetNodeRowRect(GetFocusedNode()));
            if (Has(egoResetColumnFocus)) SetFocusedColumn(0);
        }
        Invalidate();
        if (selectionChanged) TCustomvxDBTreeListControl::SelectionChanged(nullptr, false);
        return;
    }
    if (ds->State() == dsEdit || ds->State() == dsSetKey) return;
    if (ds->State() == dsInsert && KeyFieldObject()) {
        InsertNewRecordNode();
        if (Has(egoResetColumnFocus)) SetFocusedColumn(0);
        return;
    }
    if (!inPlace) {
        BeginGroupRebuild();
        EndGroupRebuild();
        recordCursor_.SyncFocusToCurrentRecord();
    }
}

void TCustomvxDBGrid::RecordChanged(TField* Field) {
    (void)Field;
    TDataSet* ds = DataSet();
    if (!ds) return;
    if (!IsCursorMode()) {
        if (ds->State() == dsSetKey) return;
        if (ds->State() == dsInsert && !syncedNode_) return;
    }
    if (TvxTreeListNode* focused = GetFocusedNode(); focused && !IsGroupNode(focused)) {
        // Code may have made current a record the filter hides: then no row shows it. The
        // edit's first change (its start) decides, before the key itself may change.
        if (!IsCursorMode() && !syncedNode_ && !recordCursor_.ShowsCurrentRecord(focused)) return;
        if (!IsCursorMode() && syncedNode_ && syncedNode_ != focused) return;
        if (IsCursorMode() || ds->State() != dsInsert || focused == syncedNode_) {
            LoadNodeData(focused);
            DoRefreshNodeData(focused);
            RepaintNode(focused, false);
        }
        if (!syncedNode_) {
            syncedNode_ = focused;
            syncedKeyValue_ = GridNode(focused)->KeyValue;
        }
    }
}

void TCustomvxDBGrid::Scroll(int Distance) {
    if (IsPartialLoadMode() && Distance != 0 && !loadingNodes_ && partialLoadLock_ == 0) {
        SnapshotSelection();
        TScopeExit drop([this] { DropSnapshot(); });
        // The record reached lies outside the run: by the run's record numbers, as the rows
        // shown first and last are not the run's ends once a column sorts it.
        auto* focused = GridNode(GetFocusedNode());
        int first = 0, last = 0;
        if (focused && LoadedRun(first, last)) {
            const int reached = focused->RecordIndex - Distance;
            if (reached < first)
                LoadPartialBuffer(0, 1, false);
            else if (reached > last)
                LoadPartialBuffer(0, 2, false);
        }
    }
    if (IsCursorMode()) {
        // The table moved by something else than the grid's keys: a range starts over.
        if (!keyProcessing_) selectionAnchorBookmark_.clear();
        if (!HandleAllocated()) return;
        TvxTreeListNode* oldFocused = GetFocusedNode();
        if (oldFocused) InvalidateRect(GetNodeRowRect(oldFocused));
        SyncCursorNodes();
        Invalidate();
        if (optionsDB_.Contains(edgoSyncSelection) && IsMultiSelect()) {
            ClearSelection();
            if (GetFocusedNode()) GetFocusedNode()->SetSelected(true);
        }
        if (SelectionBatchCount() == 0) CheckFocusedRecordChange();
        return;
    }
    recordCursor_.TableMoved();
    if (SelectionBatchCount() == 0) CheckFocusedRecordChange();
}

// ---- The current record in place and a new record's row ----

bool TCustomvxDBGrid::RefreshCurrentRecord() {
    auto* focused = GridNode(GetFocusedNode());
    TField* key = KeyFieldObject();
    if (!focused || IsGroupNode(focused) || !key) return false;
    if (CompareVariants(focused->KeyValue, key->Value()) != 0) return false;
    LoadNodeData(focused);
    DoRefreshNodeData(focused);
    // A record that no longer passes the filter loses its row: the reload hides it.
    if (!IsRecordInFilter(focused)) return false;
    // An edit may have moved the record in the table, and a new one stands where the table
    // put it.
    if (IsLoadAllMode()) TakeCurrentRecordNumber(focused, focused == newRecordRow_);
    loadedRecordCount_ = DataSet()->RecordCount();
    // A selected record the edit moved in the table takes its place in the selection's order,
    // which no reload puts right here.
    if (IsUseBookmarks() && GetSelectedCount() > 1) RefreshSelectedBookmarks();
    {
        // The summaries count the record's new values: the footer as well, with no group row.
        TUpdateScope<TCustomvxTreeList> update(this);
        if (groupColumns_.empty()) PlaceByRecordNumber(focused);
        RecalcSummaries(focused);
    }
    RepaintNode(focused, false);
    return true;
}

void TCustomvxDBGrid::InsertNewRecordNode() {
    TvxTreeListNode* focused = GetFocusedNode();
    if (focused && focused == syncedNode_) return;
    // The row goes among the data rows: on a focused group row, into its first group. An
    // inserted record's row goes before the focused row, and so does an appended one's where
    // the rows stop short of the table's end (a partial load's run): focused last, it would
    // scroll to the end of the run and load the next buffer. Otherwise an appended record's
    // row goes last, where the record is. Without a focused row it goes beside the first data
    // row: a root among group rows would pass for one.
    TvxTreeListNode* place = TvxDBGridCursor::RecordRowOf(focused ? focused : GetFirstNode());
    TDataSet* ds = DataSet();
    const bool rowsReachTheEnd = !IsPartialLoadMode() || endReached_;
    TvxTreeListNode* before = ds && ds->Eof() && rowsReachTheEnd ? nullptr : place;
    TvxTreeListNode* node;
    if (place && place->Parent())
        node = place->Parent()->InsertChild(before);
    else
        node = InsertNode(before);
    auto* row = GridNode(node);
    LoadNodeData(row);
    row->RecordIndex = place ? GridNode(place)->RecordIndex : 0;
    syncedNode_ = node;
    syncedKeyValue_ = row->KeyValue;
    newRecordRow_ = node;
    recordCursor_.FocusQuietly(node);
}

void TCustomvxDBGrid::TakeCurrentRecordNumber(TvxDBGridNode* Row, bool New) {
    TDataSet* ds = DataSet();
    if (!ds || !ds->Sequenced()) return;
    const int to = ds->RecNo() - 1;
    const int from = Row->RecordIndex;
    if (!New && from == to) return;
    bool shifted = false;
    auto shift = [&](TvxTreeListNode* n) {
        auto* row = GridNode(n);
        if (!row || row == Row || n->Count() > 0) return;
        int& number = row->RecordIndex;
        const int was = number;
        if (New) {
            if (number >= to) ++number;
        } else if (from < to) {
            if (number > from && number <= to) --number;
        } else if (number >= to && number < from) {
            ++number;
        }
        shifted = shifted || number != was;
    };
    for (int i = 0; i < GetCount(); ++i) ForEachInSubtree(GetItem(i), shift);
    for (TvxTreeListNode* hidden : HiddenNodes()) shift(hidden);
    Row->RecordIndex = to;
    // What the filter kept by record numbers goes when they change.
    if (shifted) groupRows_.Release();
}

void TCustomvxDBGrid::PlaceByRecordNumber(TvxTreeListNode* Node) {
    auto* row = GridNode(Node);
    if (!row || Node->Count() > 0) return;
    TvxTreeListNode* parent = Node->Parent();
    const int count = parent ? parent->Count() : GetCount();
    std::vector<TvxTreeListNode*> order;
    order.reserve(static_cast<size_t>(count));
    size_t at = 0;
    bool placed = false;
    for (int i = 0; i < count; ++i) {
        TvxTreeListNode* sibling = parent ? parent->Items(i) : GetItem(i);
        if (sibling == Node) continue;
        auto* other = GridNode(sibling);
        if (!placed && other && sibling->Count() == 0 && other->RecordIndex > row->RecordIndex) {
            at = order.size();
            placed = true;
        }
        order.push_back(sibling);
    }
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(placed ? at : order.size()), Node);
    ArrangeChildren(parent, order);
}
