// What the grid adds to the stored layout: each column's group index, the four view
// switches of the grid and, in the registry only (INI files hold no binary values), the
// filter as the component stream of a wrapper around it.

#include <algorithm>
#include <utility>
#include <vector>

#include "controls/reg_ini_wrapper.h"
#include "grid/columns/vx_db_tree_list_column.h"
#include "grid/core/vx_db_grid.h"
#include "grid/filter/vx_criteria_stream.h"
#include "grid/filter/vx_db_grid_filter.h"
#include "grid/filter/vx_filter_wrapper.h"
#include "platform/classes/memory_stream.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/scope_exit.h"

void TCustomvxDBGrid::SaveColumnLayout(TvxRegIniWrapper* Wrapper, const std::string& Section,
                                       TvxTreeListColumn* Column) {
    TCustomvxDBTreeListControl::SaveColumnLayout(Wrapper, Section, Column);
    if (auto* column = dynamic_cast<TvxDBTreeListColumn*>(Column))
        Wrapper->WriteInteger(Section, "GroupIndex", column->GroupIndex());
}

// Grouping comes before every column's own keys: it moves, hides and sorts the columns,
// which those keys then correct.
void TCustomvxDBGrid::LoadViewLayout(TvxRegIniWrapper* Wrapper, const std::string& Section) {
    LoadGroupLayout(Wrapper, Section);
    TCustomvxDBTreeListControl::LoadViewLayout(Wrapper, Section);
    SetShowGroupPanel(Wrapper->ReadBool(Section, "ShowGroupPanel", ShowGroupPanel()));
    SetShowNewItemRow(Wrapper->ReadBool(Section, "ShowNewItemRow", ShowNewItemRow()));
    SetShowRowFooter(Wrapper->ReadBool(Section, "ShowRowFooter", ShowRowFooter()));
    SetShowSummaryFooter(Wrapper->ReadBool(Section, "ShowSummaryFooter", ShowSummaryFooter()));
    LoadFilterLayout(Wrapper, Section);
}

void TCustomvxDBGrid::SaveViewLayout(TvxRegIniWrapper* Wrapper, const std::string& Section) {
    TCustomvxDBTreeListControl::SaveViewLayout(Wrapper, Section);
    Wrapper->WriteBool(Section, "ShowGroupPanel", ShowGroupPanel());
    Wrapper->WriteBool(Section, "ShowNewItemRow", ShowNewItemRow());
    Wrapper->WriteBool(Section, "ShowRowFooter", ShowRowFooter());
    Wrapper->WriteBool(Section, "ShowSummaryFooter", ShowSummaryFooter());
    SaveFilterLayout(Wrapper, Section);
}

void TCustomvxDBGrid::LoadGroupLayout(TvxRegIniWrapper* Wrapper, const std::string& Path) {
    // Each level given renumbers the levels behind it: all are read first, then given in
    // level order (ungrouped columns first), so that none moves one given before.
    std::vector<std::pair<int, TvxDBTreeListColumn*>> levels;
    bool changed = false;
    for (int i = 0; i < ColumnCount(); ++i)
        if (TvxDBTreeListColumn* column = GetColumn(i)) {
            const int level = Wrapper->ReadInteger(ColumnLayoutSection(Path, column), "GroupIndex",
                                                   column->GroupIndex());
            levels.emplace_back(level, column);
            changed = changed || level != column->GroupIndex();
        }
    if (!changed) return;
    std::stable_sort(levels.begin(), levels.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    BeginGroupRebuild();
    TScopeExit rebuilt([this] { EndGroupRebuild(); });
    for (const auto& [level, column] : levels) column->SetGroupIndex(level);
}

// Group columns are sorted columns with or without multi-sort, in the order they were
// grouped, which a level inserted in front of others makes differ from the level order that
// loading groups them in.
bool TCustomvxDBGrid::RestoresSortedOrder() {
    return TCustomvxDBTreeListControl::RestoresSortedOrder() || GroupColumnCount() > 0;
}

void TCustomvxDBGrid::LoadFilterLayout(TvxRegIniWrapper* Wrapper, const std::string& Section) {
    const int size = Wrapper->ReadBinaryData(Section, "Filter", nullptr, 0);
    if (size <= 0 || !filter_) return;
    TMemoryStream stream;
    stream.SetSize(size);
    try {
        stream.SetSize(Wrapper->ReadBinaryData(Section, "Filter", stream.Memory(), size));
    } catch (const ERegistryException&) {
        // A value of another kind under the name is as unreadable as a garbled stream.
        throw EReadError(SReadError);
    }
    TFilterWrapper wrapper(nullptr);
    wrapper.SetFilter(filter_.get());
    wrapper.ReadComponent(&stream);
    ApplyFilter();
}

void TCustomvxDBGrid::SaveFilterLayout(TvxRegIniWrapper* Wrapper, const std::string& Section) {
    if (!filter_) return;
    TMemoryStream stream;
    TFilterWrapper wrapper(nullptr);
    wrapper.SetFilter(filter_.get());
    wrapper.WriteComponent(&stream);
    Wrapper->WriteBinaryData(Section, "Filter", stream.Memory(), static_cast<int>(stream.Size()));
}
