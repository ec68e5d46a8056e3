// Group and footer summaries of the loaded rows, the texts of group rows and group footers,
// and sorting with groups.

#include <algorithm>

#include "grid/core/vx_db_grid.h"
#include "platform/classes/update_scope.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"

namespace {
TvxDBGridNode* GridNode(TvxTreeListNode* Node) { return NodeAs<TvxDBGridNode>(Node); }

void Combine(TvxSummaryType Type, Extended& Value, bool& HasValue, Extended V) {
    if (!HasValue) {
        Value = V;
    } else if (Type == cstSum || Type == cstAvg) {
        Value += V;
    } else if (Type == cstMin) {
        if (V < Value) Value = V;
    } else if (Type == cstMax) {
        if (V > Value) Value = V;
    }
    HasValue = true;
}

int DateFieldType(TField* Field, TvxSummaryType Type) {
    if (!Field || Type == cstCount) return 0;
    const TFieldType t = Field->DataType();
    return t == ftDate || t == ftTime || t == ftDateTime ? t : 0;
}

// Every node of the tree, parents before children.
template <class F>
void ForEachNode(TCustomvxTreeList* Tree, F&& Visit) {
    std::vector<TvxTreeListNode*> stack;
    for (int i = Tree->GetCount() - 1; i >= 0; --i) stack.push_back(Tree->GetItem(i));
    while (!stack.empty()) {
        TvxTreeListNode* n = stack.back();
        stack.pop_back();
        Visit(n);
        for (int i = n->Count() - 1; i >= 0; --i) stack.push_back(n->Items(i));
    }
}
}  // namespace

// ---- Resolving ----

TvxDBGridSummaryGroup* TCustomvxDBGrid::GroupSummaryGroup(int Level) {
    if (Level < 0 || Level >= GroupColumnCount() || !summaryGroups_) return nullptr;
    TvxDBTreeListColumn* column = groupColumns_[static_cast<size_t>(Level)];
    if (!column->SummaryGroupName().empty()) return summaryGroups_->FindGroupByName(column->SummaryGroupName());
    if (column->SummaryType() == cstNone) return summaryGroups_->FindDefaultGroup();
    return nullptr;
}

void TCustomvxDBGrid::CalcSummaries() {
    TDataSet* ds = DataSet();
    if (!ds) return;
    for (TvxDBTreeListColumn* c : groupColumns_)
        c->SetSummaryFieldObject(c->SummaryField().empty() ? nullptr : ds->FindField(c->SummaryField()));
    ForEachNode(this, [](TvxTreeListNode* n) {
        if (auto* node = GridNode(n)) node->ClearSummaries();
    });
    for (int g = 0; g < summaryGroups_->Count(); ++g) {
        TvxDBGridSummaryItems* items = summaryGroups_->Items(g)->SummaryItems();
        for (int i = 0; i < items->Count(); ++i) {
            TvxDBGridSummaryItem* item = items->Items(i);
            std::string name = item->SummaryField();
            if (name.empty())
                if (auto* column = dynamic_cast<TvxDBTreeListColumn*>(FindColumnByName(item->ColumnName())))
                    name = column->FieldName();
            item->SetField(name.empty() ? nullptr : ds->FindField(name));
        }
    }
    footerRecordCount_ = 0;
    summarySourceColumns_.clear();
}

void TCustomvxDBGrid::RefreshSummaryFields() {
    TCustomvxDBTreeListControl::RefreshSummaryFields();
    footerRecordCount_ = 0;
    footerColumns_.clear();
    summarySourceColumns_.clear();
    for (int i = 0; i < ColumnCount(); ++i)
        if (TvxDBTreeListColumn* c = GetColumn(i); c && c->SummaryFooterType() != cstNone) footerColumns_.push_back(c);
}

// ---- Accumulating ----

Extended TCustomvxDBGrid::SummarySourceValue(TField* Field, TvxTreeListNode* DataRow, TvxSummaryType Type) {
    if (!Field || Type == cstCount) return 0;
    // While the walk reads the dataset the field is on the row's record.
    if (readingDataSet_) return static_cast<Extended>(Field->AsFloat());
    auto known = std::find_if(summarySourceColumns_.begin(), summarySourceColumns_.end(),
                              [Field](const auto& entry) { return entry.first == Field; });
    if (known == summarySourceColumns_.end()) {
        TvxDBTreeListColumn* column = GetColumnByFieldName(Field->FieldName());
        known = summarySourceColumns_.insert(summarySourceColumns_.end(), {Field, column ? column->GetIndex() : -1});
    }
    return known->second >= 0 ? GetCellFloat(DataRow, known->second) : 0;
}

void TCustomvxDBGrid::AccumulateGroupSummaries(TvxTreeListNode* GroupRow, TvxTreeListNode* DataRow) {
    TDataSet* ds = DataSet();
    for (TvxTreeListNode* n = GroupRow; n; n = n->Parent()) {
        auto* row = GridNode(n);
        const int level = n->Level();
        if (!row || level >= GroupColumnCount()) continue;
        TvxDBTreeListColumn* column = groupColumns_[static_cast<size_t>(level)];
        if (column->SummaryType() != cstNone || OnGroupSummary) {
            Extended v = SummarySourceValue(column->SummaryFieldObject(), DataRow, column->SummaryType());
            if (column->OnSummary) column->OnSummary(column, ds, v);
            if (OnGroupSummary) OnGroupSummary(this, n, v, ds);
            Combine(column->SummaryType(), row->SummaryValue, row->HasSummaryValue, v);
        }
        TvxDBGridSummaryGroup* group = GroupSummaryGroup(level);
        if (!group) continue;
        TvxDBGridSummaryItems* items = group->SummaryItems();
        if (static_cast<int>(row->GroupSummaries.size()) < items->Count())
            row->GroupSummaries.resize(static_cast<size_t>(items->Count()));
        for (int i = 0; i < items->Count(); ++i) {
            TvxDBGridSummaryItem* item = items->Items(i);
            Extended v = item->SummaryType() == cstNone
                             ? 0
                             : SummarySourceValue(item->Field(), DataRow, item->SummaryType());
            if (item->OnSummary) item->OnSummary(item, ds, v);
            row->GroupSummaries[static_cast<size_t>(i)].Add(item->SummaryType(), v);
        }
    }
}

void TCustomvxDBGrid::AccumulateFooterSummaries(TvxTreeListNode* DataRow) {
    TDataSet* ds = DataSet();
    for (TvxDBTreeListColumn* c : footerColumns_) {
        Extended v = SummarySourceValue(c->SummaryFooterFieldObject(), DataRow, c->SummaryFooterType());
        if (c->OnSummaryFooter) c->OnSummaryFooter(c, ds, v);
        c->FooterSummary().Add(c->SummaryFooterType(), v);
    }
}

int TCustomvxDBGrid::GroupRecordCount(TvxTreeListNode* Node) {
    if (!Node) return 0;
    if (Node->Count() == 0) return 1;
    int count = 0;
    for (int i = 0; i < Node->Count(); ++i) count += GroupRecordCount(Node->Items(i));
    return count;
}

int TCustomvxDBGrid::FinishGroupSummaries(TvxTreeListNode* Node, int Level) {
    if (Node->Count() == 0) return 1;
    if (Level >= GroupColumnCount()) return GroupRecordCount(Node);
    int count = 0;
    for (int i = 0; i < Node->Count(); ++i) count += FinishGroupSummaries(Node->Items(i), Level + 1);
    auto* row = GridNode(Node);
    if (!row) return count;
    TvxDBTreeListColumn* column = groupColumns_[static_cast<size_t>(Level)];
    if (column->SummaryType() == cstCount) {
        row->SummaryValue = count;
        row->HasSummaryValue = true;
    } else if (column->SummaryType() == cstAvg && count > 0) {
        row->SummaryValue /= count;
    }
    if (TvxDBGridSummaryGroup* group = GroupSummaryGroup(Level)) {
        TvxDBGridSummaryItems* items = group->SummaryItems();
        for (int i = 0; i < items->Count() && i < static_cast<int>(row->GroupSummaries.size()); ++i) {
            TvxSummaryAccumulator& entry = row->GroupSummaries[static_cast<size_t>(i)];
            if (items->Items(i)->SummaryType() == cstCount)
                entry.Value = count;
            else if (items->Items(i)->SummaryType() == cstAvg && count > 0)
                entry.Value /= count;
        }
    }
    return count;
}

bool TCustomvxDBGrid::GroupLevelCounts() {
    auto counts = [](TvxSummaryType Type) { return Type == cstCount || Type == cstAvg; };
    for (int level = 0; level < GroupColumnCount(); ++level) {
        if (counts(groupColumns_[static_cast<size_t>(level)]->SummaryType())) return true;
        if (TvxDBGridSummaryGroup* group = GroupSummaryGroup(level)) {
            TvxDBGridSummaryItems* items = group->SummaryItems();
            for (int i = 0; i < items->Count(); ++i)
                if (counts(items->Items(i)->SummaryType())) return true;
        }
    }
    return false;
}

void TCustomvxDBGrid::FinishSummaries(bool SmartRegroup) {
    (void)SmartRegroup;  // the footer keeps its running values; its results are counted on reading
    // Only group rows have summaries to finish; each learns its record count from the rows
    // below it, counted once on the way up. Only counts and averages want that count: a grid
    // of a hundred thousand group rows without them is not walked for nothing.
    if (GroupLevelCounts())
        for (int i = 0; i < GetCount(); ++i) FinishGroupSummaries(GetItem(i), 0);
    if (OnCalcSummary) OnCalcSummary(this);
}

void TCustomvxDBGrid::RecalcSummaries(TvxTreeListNode* Node, TRowOrder Order) {
    // A comparison that raises (OnCompare) breaks off the sort of the rows, which stay where
    // they stood, out of the order the sort marks say: the sort goes then (the columns that do
    // not group lose their marks), and the rows stand in the table's order, as rows that no
    // column sorts do. The sort is asked, not this scope: a raise before it (a handler of a row
    // opened or freed) or after it (a table event as the focus follows a group row's new first
    // record, a summary handler) breaks the recount off, not the sort, which stays.
    const uint64_t broken = SortsBrokenOff();
    TScopeExit unsorted([this, broken] {
        if (SortsBrokenOff() != broken) ClearBufferedSorting();
    });
    TUpdateScope<TCustomvxTreeList> update(this);
    if (groupColumns_.empty()) {
        RefreshSummaryFields();
        DoBeforeCalcSummary();
        for (int i = 0; i < GetCount(); ++i) AccumulateFooterSummaries(GetItem(i));
        footerRecordCount_ = GetCount();
        ResortRows(Order);
        FinishSummaries(false);
        return;
    }
    if (auto* node = GridNode(Node); node && node->Count() == 0) {
        TvxTreeListNode* oldParent = node->Parent();
        TvxTreeListNode* parent = GroupPathFor(node);
        if (parent && parent != oldParent) {
            // The group row the move empties goes also when a handler of the row opened raises.
            TScopeExit emptied([this, oldParent] {
                if (oldParent && oldParent->Count() == 0) FreeGroupRows([&] { DeleteNodeWithEmptyParents(oldParent); });
            });
            node->MoveTo(parent, nmAddChild);
        }
        PlaceByRecordNumber(node);
    }
    // Only the rows above the last group level hold summaries: the data rows, as many as the
    // records, are not visited for nothing.
    const int levels = GroupColumnCount();
    auto clear = [levels](auto& Self, TvxTreeListNode* n, int Level) -> void {
        if (auto* row = GridNode(n)) row->ClearSummaries();
        if (Level + 1 < levels)
            for (int i = 0; i < n->Count(); ++i) Self(Self, n->Items(i), Level + 1);
    };
    for (int i = 0; i < GetCount(); ++i) clear(clear, GetItem(i), 0);
    RefreshSummaryFields();
    DoBeforeCalcSummary();
    footerRecordCount_ = 0;
    ForEachNode(this, [this](TvxTreeListNode* n) {
        if (n->Count() > 0) return;
        if (n->Parent()) AccumulateGroupSummaries(n->Parent(), n);
        AccumulateFooterSummaries(n);
        ++footerRecordCount_;
    });
    ResortRows(Order);
    FinishSummaries(false);
    ResortBySummary();
    PropagateGroupKeys();
}

void TCustomvxDBGrid::PropagateGroupKeys() {
    if (groupColumns_.empty()) return;
    // A selected group row whose first record changes stays selected, with that record.
    const bool selection = IsMultiSelect() && GetSelectedCount() > 0;
    std::vector<std::pair<TvxTreeListNode*, Variant>> rekeyed;
    const int levels = GroupColumnCount();
    // Children first, group rows only: a data row keeps its own record's key, and the data
    // rows, as many as the records, are not each visited for nothing.
    auto group = [&](auto& self, TvxTreeListNode* n, int Level) -> void {
        if (n->Count() == 0) return;
        if (Level + 1 < levels)
            for (int i = 0; i < n->Count(); ++i) self(self, n->Items(i), Level + 1);
        auto* row = GridNode(n);
        TvxDBGridNode* first = TvxDBGridCursor::RecordRowOf(n);
        if (!row || !first) return;
        if (selection && CompareVariants(row->KeyValue, first->KeyValue) != 0 && IsNodeSelected(n))
            rekeyed.emplace_back(n, row->KeyValue);
        row->KeyValue = first->KeyValue;
        row->RecordIndex = first->RecordIndex;
    };
    for (int i = 0; i < GetCount(); ++i) group(group, GetItem(i), 0);
    // A focused group row may stand for another first record now: the table follows, also
    // when a table event raises while the selection finds the group rows' records.
    TScopeExit follow([this] { recordCursor_.FollowFocus(); });
    if (!rekeyed.empty()) ReselectGroupRows(rekeyed);
}

void TCustomvxDBGrid::ResortBySummary() {
    for (int level = 0; level < GroupColumnCount(); ++level) {
        TvxDBTreeListColumn* c = groupColumns_[static_cast<size_t>(level)];
        if (c->SortBySummary() && c->Sorted() != csNone) SortNodes(level, c->GetIndex(), c->Sorted() == csDown);
    }
}

// ---- Texts ----

std::string TCustomvxDBGrid::GetGroupSummaryText(TvxTreeListNode* Node) {
    auto* row = GridNode(Node);
    if (!row || Node->Level() >= GroupColumnCount()) return {};
    const int level = Node->Level();
    TvxDBTreeListColumn* column = groupColumns_[static_cast<size_t>(level)];
    std::string text;
    if (column->SummaryType() != cstNone) {
        std::string value;
        FormatSummaryText(column->SummaryType(), column->SummaryFormat(),
                          DateFieldType(column->SummaryFieldObject(), column->SummaryType()), false, row->SummaryValue,
                          value);
        text += value + " ";
    }
    TvxDBGridSummaryGroup* group = GroupSummaryGroup(level);
    if (!group || group->SummaryItems()->Count() == 0) return text;
    text += group->BeginSummaryText();
    bool written = false;
    TvxDBGridSummaryItems* items = group->SummaryItems();
    for (int i = 0; i < items->Count(); ++i) {
        TvxDBGridSummaryItem* item = items->Items(i);
        if (!item->ColumnName().empty()) continue;
        if (written && item->SummaryType() != cstNone) text += summarySeparator_;
        std::string value;
        const Extended v = i < static_cast<int>(row->GroupSummaries.size())
                               ? row->GroupSummaries[static_cast<size_t>(i)].Value
                               : 0;
        FormatSummaryText(item->SummaryType(), item->SummaryFormat(), DateFieldType(item->Field(), item->SummaryType()),
                          false, v, value);
        text += value;
        if (item->SummaryType() != cstNone) written = true;
    }
    return text + group->EndSummaryText();
}

// The value a row holds for a column: its cell record's value, else its own text.
Variant TCustomvxDBGrid::StoredNodeValue(TvxTreeListNode* Node, int Column) {
    if (const TvxDBCellRecord* record = NodeCell(Node, Column); record && (record->Flags & vxcfValue))
        return record->Value;
    const std::string text = TCustomvxDBTreeListControl::GetNodeString(Node, Column);
    return text.empty() ? Null() : Variant(text);
}

Variant TCustomvxDBGrid::GetNodeValue(TvxTreeListNode* Node, int Column) {
    if (IsCursorMode()) return CursorNodeValue(Node, Column, false);
    return StoredNodeValue(Node, Column);
}

std::string TCustomvxDBGrid::GetNodeString(TvxTreeListNode* Node, int Column) {
    if (IsCursorMode()) return VarToStr(CursorNodeValue(Node, Column, true));
    // A data row, as many as the records, is told by its children before its level is walked.
    if (Node->Count() > 0 && IsGroupNode(Node)) {
        TvxDBTreeListColumn* column = groupColumns_[static_cast<size_t>(Node->Level())];
        std::string text = column->Caption() + " : " +
                           TCustomvxDBTreeListControl::GetNodeString(Node, column->GetIndex()) + " " +
                           GetGroupSummaryText(Node);
        if (OnGetGroupText) {
            std::string more;
            OnGetGroupText(this, Node, more);
            text += more;
        }
        return text;
    }
    return TCustomvxDBTreeListControl::GetNodeString(Node, Column);
}

Variant TCustomvxDBGrid::GetNodeSortValue(TvxTreeListNode* Node, int Column) {
    TvxDBTreeListColumn* column = GetColumn(Column);
    auto* row = GridNode(Node);
    if (column && row && column->SortBySummary() && Node->Count() > 0)
        return Variant(static_cast<double>(row->SummaryValue));
    const Variant value = StoredNodeValue(Node, Column);
    if (!value.IsString()) return value;
    std::string text = TCustomvxDBTreeListControl::GetNodeString(Node, Column);
    if (IsCaseInsensitive()) text = AnsiUpperCase(text);
    return Variant(text);
}

void TCustomvxDBGrid::GetPreviewText(TvxTreeListNode* Node, std::string& Text) {
    if (IsCursorMode() && Node && DataSet() && PreviewField()) {
        Text = VarToStr(CursorPreview(Node));
        if (OnGetPreviewText) OnGetPreviewText(this, Node, Text);
        return;
    }
    TCustomvxDBTreeListControl::GetPreviewText(Node, Text);
}

TAlignment TCustomvxDBGrid::GetColumnAlignment(TvxTreeListNode* Node, int Column) {
    if (Node && IsGroupNode(Node) && Node->Count() > 0) return taLeftJustify;
    return TCustomvxDBTreeListControl::GetColumnAlignment(Node, Column);
}

namespace {
// The index of the item of Group bound to Column with a type, -1 when none.
int ItemForColumn(TvxDBGridSummaryGroup* Group, TvxDBTreeListColumn* Column) {
    if (!Group || !Column) return -1;
    TvxDBGridSummaryItems* items = Group->SummaryItems();
    for (int i = 0; i < items->Count(); ++i)
        if (items->Items(i)->SummaryType() != cstNone && !Column->Name().empty() &&
            SameText(items->Items(i)->ColumnName(), Column->Name()))
            return i;
    return -1;
}
}  // namespace

void TCustomvxDBGrid::GetFooterCellText(TvxTreeListNode* Node, int Column, std::string& Text, int Level) {
    Text.clear();
    TvxDBTreeListColumn* column = GetColumn(Column);
    if (!Node || Level < 0) {
        if (column) column->GetSummaryFooterText(Text);
        return;
    }
    // The row of that level, up from the node; none when the node lies above it.
    TvxTreeListNode* row = Node;
    while (row && row->Level() > Level) row = row->Parent();
    auto* group = row && row->Level() == Level && IsGroupNode(row) ? GridNode(row) : nullptr;
    TvxDBGridSummaryGroup* summaries = GroupSummaryGroup(Level);
    const int item = ItemForColumn(summaries, column);
    if (!group || item < 0) return;
    TvxDBGridSummaryItem* it = summaries->SummaryItems()->Items(item);
    const Extended v = item < static_cast<int>(group->GroupSummaries.size())
                           ? group->GroupSummaries[static_cast<size_t>(item)].Value
                           : 0;
    FormatSummaryText(it->SummaryType(), it->SummaryFormat(), DateFieldType(it->Field(), it->SummaryType()), true, v,
                      Text);
}

bool TCustomvxDBGrid::IsExistRowFooter(int Level) {
    TvxDBGridSummaryGroup* group = GroupSummaryGroup(Level);
    if (!group) return false;
    TvxDBGridSummaryItems* items = group->SummaryItems();
    for (int i = 0; i < items->Count(); ++i)
        if (!items->Items(i)->ColumnName().empty()) return true;
    return false;
}

bool TCustomvxDBGrid::IsExistRowFooterCell(TvxTreeListNode*, int Column, int Level) {
    return ItemForColumn(GroupSummaryGroup(Level), GetColumn(Column)) >= 0;
}

int TCustomvxDBGrid::GetGroupIndentWidth() { return GroupColumnCount() * Metrics().Indent; }

// ---- Sorting with groups ----

void TCustomvxDBGrid::AddSortedColumn(TvxTreeListColumn* Column) {
    auto* column = dynamic_cast<TvxDBTreeListColumn*>(Column);
    if (!column || column->Sorted() == csNone || column->GroupIndex() >= 0) return;
    TCustomvxDBTreeListControl::AddSortedColumn(Column);
}

// Group rows always stand in their column's order: a group column stays sorted, so that its
// sort mark and the stored layout say what the rows show. Ungrouping switches it off.
bool TCustomvxDBGrid::KeepsColumnSorted(TvxTreeListColumn* Column) {
    auto* column = dynamic_cast<TvxDBTreeListColumn*>(Column);
    return column && column->GroupIndex() >= 0;
}

void TCustomvxDBGrid::SortByColumn(TvxTreeListColumn* Column) {
    auto* column = dynamic_cast<TvxDBTreeListColumn*>(Column);
    if (!column || column->Sorted() == csNone || loadingNodes_) return;
    AddSortedColumn(Column);
    if (column->GroupIndex() < 0)
        for (TvxDBTreeListColumn* g : groupColumns_)
            if (g->Field() && g->Field() == column->Field()) return;
    if (!IsAutoSort() || IsSortingLocked()) return;
    TUpdateScope<TCustomvxTreeList> update(this);
    const int level = column->GroupIndex() >= 0 ? column->GroupIndex() : GroupColumnCount();
    SortNodes(level, column->GetIndex(), column->Sorted() == csDown);
}

void TCustomvxDBGrid::SortNodes(int Level, int ColumnIndex, bool Descending) {
    TCustomvxDBTreeListControl::SortNodes(Level, ColumnIndex, Descending);
    PropagateGroupKeys();
}

void TCustomvxDBGrid::ResortNodes() {
    if (IsBufferedMode() && !IsPartialLoadMode()) return;
    TUpdateScope<TCustomvxTreeList> update(this);
    for (int level = 0; level < GroupColumnCount(); ++level) PutGroupRowsInOrder(level);
    if (TvxDBTreeListColumn* column = GetSortedColumn()) {
        SortNodes(GroupColumnCount(), column->GetIndex(), column->Sorted() == csDown);
    } else if (IsLoadAllMode() && !(loadingNodes_ && CanRegroupLoaded())) {
        // Rows no column sorts stand in the table's order, as a load reads them (a regroup of
        // the loaded rows puts them in it itself). A group row may get another first record
        // then, as after a sort.
        PutRowsInRecordOrder();
        PropagateGroupKeys();
    }
}

void TCustomvxDBGrid::SortMarksPutBack() {
    // The group rows were put in the order of the marks that went back, before the sort of the
    // rows under them broke off.
    if (IsBufferedMode() && !IsPartialLoadMode()) return;
    TUpdateScope<TCustomvxTreeList> update(this);
    for (int level = 0; level < GroupColumnCount(); ++level) PutGroupRowsInOrder(level);
}

void TCustomvxDBGrid::ResortRows(TRowOrder Order) {
    // A sorting batch may hold back a group column's turn: the whole order is made then.
    if (Order == TRowOrder::Kept && !IsSortingLocked())
        SortBySortedColumn();
    else
        ResortNodes();
}

void TCustomvxDBGrid::SortBySortedColumn() {
    if (IsBufferedMode() && !IsPartialLoadMode()) return;
    TvxDBTreeListColumn* column = GetSortedColumn();
    if (!column) return;
    TUpdateScope<TCustomvxTreeList> update(this);
    SortNodes(GroupColumnCount(), column->GetIndex(), column->Sorted() == csDown);
}

void TCustomvxDBGrid::PutGroupRowsInOrder(int Level) {
    TvxDBTreeListColumn* column = groupColumns_[static_cast<size_t>(Level)];
    if (column->SortBySummary()) return;
    const bool descending = column->Sorted() == csDown;
    ArrangeLevel(Level, [this, descending](const TvxDBGridNode* A, const TvxDBGridNode* B) {
        const int c = CompareGroupValues(A->GroupValue, B->GroupValue);
        return descending ? c > 0 : c < 0;
    });
}

void TCustomvxDBGrid::PutRowsInRecordOrder() {
    // Rows taken again keep their places and new ones come last, and a sort switched off
    // leaves its order: the lists whose rows went out of record order are put back in it.
    ArrangeLevel(GroupColumnCount(),
                 [](const TvxDBGridNode* A, const TvxDBGridNode* B) { return A->RecordIndex < B->RecordIndex; });
}

void TCustomvxDBGrid::ArrangeLevel(int Level,
                                   const std::function<bool(const TvxDBGridNode*, const TvxDBGridNode*)>& Before) {
    const bool groupRows = Level < GroupColumnCount();
    auto before = [&Before](TvxTreeListNode* A, TvxTreeListNode* B) { return Before(GridNode(A), GridNode(B)); };
    std::vector<TvxTreeListNode*> order;
    auto arrange = [&](TvxTreeListNode* Parent) {
        const int count = Parent ? Parent->Count() : GetCount();
        order.clear();
        for (int i = 0; i < count; ++i) {
            TvxTreeListNode* n = Parent ? Parent->Items(i) : GetItem(i);
            if (!GridNode(n) || (n->Count() > 0) != groupRows) return;  // a tree built by hand
            order.push_back(n);
        }
        if (std::is_sorted(order.begin(), order.end(), before)) return;
        std::stable_sort(order.begin(), order.end(), before);
        ArrangeChildren(Parent, order);
    };
    // Only the group rows above the level are walked, not the rows below it.
    auto walk = [&](auto& self, TvxTreeListNode* Parent, int Depth) -> void {
        if (Depth == Level) {
            arrange(Parent);
            return;
        }
        const int count = Parent ? Parent->Count() : GetCount();
        for (int i = 0; i < count; ++i)
            if (TvxTreeListNode* n = Parent ? Parent->Items(i) : GetItem(i); n->Count() > 0) self(self, n, Depth + 1);
    };
    walk(walk, nullptr, 0);
}

bool TCustomvxDBGrid::DoColumnSorting(TvxTreeListColumn* Column) {
    bool allow = true;
    if (OnColumnSorting) OnColumnSorting(this, dynamic_cast<TvxDBTreeListColumn*>(Column), allow);
    return allow;
}
