// The grid's side of filtering: rows the filter rejects leave the tree for the hidden-node
// list and come back when it accepts them again; the filter drop-down's values; the status
// line and the header buttons.

#include <algorithm>
#include <functional>

#include "controls/draw_utils.h"
#include "grid/columns/vx_db_tree_list_column.h"
#include "grid/core/vx_db_grid.h"
#include "grid/filter/vx_db_grid_filter_popup.h"
#include "platform/classes/update_scope.h"
#include "platform/db/dataset.h"
#include "platform/gdi/canvas.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/window_tree.h"

namespace {
TvxDBGridNode* GridNode(TvxTreeListNode* Node) { return NodeAs<TvxDBGridNode>(Node); }

// Data rows of the tree in display order, group rows walked down.
std::vector<TvxTreeListNode*> DataRows(TCustomvxDBGrid* Grid) {
    std::vector<TvxTreeListNode*> rows, stack;
    for (int i = Grid->GetCount() - 1; i >= 0; --i) stack.push_back(Grid->GetItem(i));
    while (!stack.empty()) {
        TvxTreeListNode* n = stack.back();
        stack.pop_back();
        if (n->Count() == 0) {
            rows.push_back(n);
            continue;
        }
        for (int i = n->Count() - 1; i >= 0; --i) stack.push_back(n->Items(i));
    }
    return rows;
}

bool IsBlank(const Variant& Value) {
    return Value.IsEmpty() || Value.IsNull() || (Value.IsString() && Value.AsString().empty());
}
}  // namespace

// ---- Conditions ----

bool TCustomvxDBGrid::IsRecordInFilter(TvxTreeListNode* Node) {
    if (!IsFilterInEffect() || !filter_) return true;
    return filter_->IsFiltered(Node);
}

void TCustomvxDBGrid::FilterChanged() {
    filterApplied_ = false;
    ApplyFilter();
}

void TCustomvxDBGrid::ApplyFilter() {
    filterApplied_ = filter_ && filter_->Criteria()->Root()->Count() > 0;
    RefilterNodes();
    DoFilterChanged();
    Invalidate();
}

void TCustomvxDBGrid::PrepareFilter() {
    if (filter_) filter_->Criteria()->SetCaseInsensitive(filter_->CaseInsensitive());
}

bool TCustomvxDBGrid::IsNodeInFilter(TvxTreeListNode* Node) { return !IsFilterInEffect() || FilterNodes(Node, false); }

void TCustomvxDBGrid::RefilterNodes() {
    PrepareFilter();
    FilterNodes(nullptr, true);
}

void TCustomvxDBGrid::DoFilterChanged() {
    const std::string text = filter_ ? filter_->GetFilterText() : std::string();
    if (OnFilterChanged) OnFilterChanged(this, DataSet(), text);
    TDataSet* ds = DataSet();
    if (!filter_ || !filter_->AutoDataSetFilter() || !ds) return;
    ds->SetFilterOptions(filter_->CaseInsensitive() ? foCaseInsensitive : TFilterOptions{0});
    ds->SetFilter(text);
    ds->SetFiltered(!text.empty());
}

// A filter that was just emptied still has rows to give back, so the walk without a node
// runs whenever rows are hidden, not only while a filter is applied.
bool TCustomvxDBGrid::FilterNodes(TvxTreeListNode* Node, bool Recalc) {
    if (!IsLoadAllMode() || (!filterApplied_ && (Node || HiddenNodes().empty()))) return true;
    if (Node && Node->Count() > 0) return true;
    // Broken off by a raise, the filter leaves rows and summaries that are no load's.
    TScopeExit broken([this](bool Broken) {
        if (Broken) OweRows();
    });
    std::vector<TvxTreeListNode*> rejected;
    // The focused row, a data row or a group row, keeps the focus when the filter keeps it; a
    // group row the filter empties is freed meanwhile.
    TvxTreeListNode* formerFocus = Node ? nullptr : GetFocusedNode();
    if (formerFocus) WatchNode(formerFocus);
    TScopeExit unwatch([&] {
        if (formerFocus) UnwatchNode(formerFocus);
    });
    bool focusKept = false;
    // The focused row may be another, or stand for another record (a group row whose first
    // record the filter hid or gave back): the table goes with it, once the update is over.
    TScopeExit follow([this, Node] {
        if (!Node) recordCursor_.FollowFocus();
    });
    // How many records the rows stand for (a row each): the first records of the group rows this
    // walk frees lie below.
    size_t recordCount = 0;
    {
        TUpdateScope<TCustomvxTreeList> update(this);
        if (Node) {
            if (!IsRecordInFilter(Node)) rejected.push_back(Node);
        } else {
            std::vector<TvxTreeListNode*> rows = DataRows(this);
            const std::vector<TvxTreeListNode*> hidden = HiddenNodes();
            recordCount = rows.size() + hidden.size();
            std::vector<TvxTreeListNode*> back;
            std::vector<int> records;
            for (auto it = hidden.rbegin(); it != hidden.rend(); ++it)
                if (IsRecordInFilter(*it)) {
                    back.push_back(*it);
                    records.push_back(GridNode(*it) ? GridNode(*it)->RecordIndex : 0);
                }
            // The group rows the returning rows need, those missing made all at once.
            const std::vector<TvxTreeListNode*> parents = GroupPathsFor(back);
            // The places of group rows the last filter freed that no record came back to.
            groupRows_.Release();
            std::vector<TvxNodeReturn> returning;
            returning.reserve(back.size());
            for (size_t i = 0; i < back.size(); ++i) returning.push_back({back[i], parents[i]});
            back = {};
            // Siblings are in record order until the grid sorts them again: a row goes back
            // before the first data row of a later record. Sorted here by their record
            // numbers (stable), the rows need no sorting by the node order below. The hidden
            // list is in the order the rows were hidden, usually record order, and is walked
            // from its end: then the rows come in falling record order, and turning them
            // round sorts them.
            if (std::adjacent_find(records.begin(), records.end(), std::less_equal<int>()) == records.end()) {
                std::reverse(returning.begin(), returning.end());
            } else if (!std::is_sorted(records.begin(), records.end())) {
                // Each record number beside its place, which keeps equal numbers in order.
                std::vector<std::pair<int, size_t>> order(returning.size());
                for (size_t i = 0; i < order.size(); ++i) order[i] = {records[i], i};
                std::sort(order.begin(), order.end());
                std::vector<TvxNodeReturn> sorted;
                sorted.reserve(order.size());
                for (const auto& [record, i] : order) sorted.push_back(returning[i]);
                returning = std::move(sorted);
            }
            records = {};
            UnhideNodes(
                returning,
                [](const TvxTreeListNode* Row, const TvxTreeListNode* Sibling) {
                    auto* row = NodeAs<TvxDBGridNode>(Row);
                    auto* sibling = NodeAs<TvxDBGridNode>(Sibling);
                    return sibling && sibling->Count() == 0 && sibling->RecordIndex > (row ? row->RecordIndex : 0);
                },
                true);
            for (TvxTreeListNode* row : rows)
                if (!IsRecordInFilter(row)) rejected.push_back(row);
        }
        // The focus and the summaries settle also when a deletion handler of a group row the
        // filter empties raises, and the focus also when the summaries' walk over the table
        // raises. A focus the filter took goes to the current record's row when the filter
        // shows it, else to the first row. Decided inside the update: the table follows the
        // focus when the update ends, and it must follow the focus as decided here.
        TScopeExit settleFocus([&] {
            if (!Node && !focusKept && GetCount() > 0) {
                recordCursor_.SyncFocusToCurrentRecord();
                if (!GetFocusedNode() || !recordCursor_.ShowsCurrentRecord(GetFocusedNode()))
                    recordCursor_.FocusQuietly(GetItem(0));
            }
        });
        TScopeExit settle([&] {
            if (formerFocus) {
                focusKept = UnwatchNode(formerFocus) && !IsNodeHidden(formerFocus);
                if (focusKept && GetFocusedNode() != formerFocus) formerFocus->SetFocused(true);
                formerFocus = nullptr;
            }
            // The rows hidden left the others in order, and the rows given back went into their
            // places, under group rows found or made in their columns' order.
            if (Recalc)
                RecalcSummaries(nullptr, TRowOrder::Kept);
            else if (!Node)
                PropagateGroupKeys();
        });
        // The group rows this walk frees keep their places for the rows a later walk gives
        // back; a row filtered while it loads frees its group row for good.
        TvxGroupRowStorage::TKeeping keeping(groupRows_, recordCount);
        FreeGroupRows([&] { HideNodesFreeingEmptyParents(rejected); });
    }
    return rejected.empty();
}

// ---- Status line, buttons and lines ----

bool TCustomvxDBGrid::IsFilterEnabled() { return filter_ && filter_->Active(); }

bool TCustomvxDBGrid::HasFilterCriteria() { return filter_ && filter_->Criteria()->Root()->Count() > 0; }

void TCustomvxDBGrid::GetFilterStatusText(std::string& Text) {
    Text = filter_ ? filter_->Criteria()->GetFilterText(true) : std::string();
}

void TCustomvxDBGrid::GetClearFilterCaption(std::string& Text) { Text = "Clear Filter"; }

void TCustomvxDBGrid::ClearFilter() {
    if (!filter_) return;
    filter_->Criteria()->Clear();
    FilterChanged();
}

bool TCustomvxDBGrid::IsFilterStatusVisible() {
    if (!filter_) return false;
    switch (filter_->FilterStatus()) {
        case fsNone: return false;
        case fsAlways: return true;
        case fsAuto: break;
    }
    return filterApplied_ && filter_->Criteria()->Root()->Count() > 0;
}

int TCustomvxDBGrid::GetFilterButtonState(int Column) {
    int state = TCustomvxDBTreeListControl::GetFilterButtonState(Column);
    if (state != 0 && filter_ && filter_->HasFilter(GetColumn(Column))) state |= 8;
    return state;
}

TColor TCustomvxDBGrid::GetGridLineColor(TColor Default) {
    if (GridLineColor() != clNone) return GridLineColor();
    if (!groupColumns_.empty()) return TCustomvxDBTreeListControl::GetGridLineColor(Default);
    const TColor face = static_cast<TColor>(ColorToRGB(clBtnFace));
    if (Default != clBtnFace && face != clBlack && face != clWhite) return clBtnFace;
    return clBtnShadow;
}

void TCustomvxDBGrid::RemoveColumn(TvxTreeListColumn* Column) {
    auto* column = dynamic_cast<TvxDBTreeListColumn*>(Column);
    if (filter_ && column) filter_->Criteria()->ColumnRemoved(column);
    if (pressedGroupColumn_ == column) pressedGroupColumn_ = nullptr;
    if (draggedGroupColumn_ == column) draggedGroupColumn_ = nullptr;
    // A grouped column leaves the group columns before the grid forgets it.
    if (column && column->GroupIndex() >= 0 && !IsDestroying()) ChangeGroupIndex(column, -1);
    if (filterDropDown_ && filterDropDown_->Column() == column) {
        filterDropDown_->CloseUp(false);
        filterDropDown_->SetColumn(nullptr);
    }
    TCustomvxDBTreeListControl::RemoveColumn(Column);
}

void TCustomvxDBGrid::DestroyFilter() {
    if (filterDropDown_) {
        filterDroppedDown_ = false;
        filterDropDown_.reset();
    }
    filter_.reset();
}

// ---- The drop-down ----

void TCustomvxDBGrid::FillFilterValues(TvxDBTreeListColumn* Column) {
    if (!filterDropDown_ || !filter_) return;
    TvxDBGridFilterValues& values = *filterDropDown_->FilterValues();
    values.Clear();
    values.CaseInsensitive = filter_->CaseInsensitive();
    values.MaxCount = filter_->MaxDropDownCount();
    bool hasBlanks = false;
    auto add = [&](const Variant& Value, const std::string& Text, bool Append) {
        if (IsBlank(Value))
            hasBlanks = true;
        else
            values.AddValue(Text, Value, Append);
    };
    if (Column && IsAllLoaded()) {
        std::vector<TvxTreeListNode*> rows = DataRows(this);
        rows.insert(rows.end(), HiddenNodes().begin(), HiddenNodes().end());
        for (TvxTreeListNode* row : rows) {
            Variant value;
            std::string text;
            Column->GetFilterNodeDisplay(row, value, text);
            add(value, text, false);
        }
    } else if (Column && OnEnumFilterValues) {
        // A handler that never says stop still ends: at most MaxDropDownCount answers.
        const int limit = filter_->MaxDropDownCount() > 0 ? filter_->MaxDropDownCount() : 1000;
        for (int n = 0; n < limit; ++n) {
            bool again = true;
            Variant value;
            std::string text;
            OnEnumFilterValues(this, Column, value, text, again);
            if (!again) break;
            add(value, text, true);
        }
    }
    TStrings* items = filterDropDown_->Items();
    items->BeginUpdate();
    items->Clear();
    items->Add("(All)");
    items->Add("(Custom...)");
    if (hasBlanks) {
        items->Add("(Blanks)");
        items->Add("(NonBlanks)");
    }
    const int first = items->Count();
    filterDropDown_->SetFirstValueItem(first);
    for (int i = 0; i < values.Count(); ++i) items->Add(values.Strings(i));
    items->EndUpdate();

    Variant current;
    int index = 0;
    switch (filter_->GetFilterState(Column, current)) {
        case kvxFilterBlanks: index = hasBlanks ? 2 : 0; break;
        case kvxFilterNonBlanks: index = hasBlanks ? 3 : 0; break;
        case kvxFilterValue: {
            const int at = values.IndexOfValue(current);
            index = at >= 0 ? first + at : 0;
            break;
        }
        case kvxFilterCustom: index = 1; break;
        default: break;
    }
    filterDropDown_->SetItemIndex(index);
}
