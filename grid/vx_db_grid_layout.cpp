// What the grid adds to the stored layout: each column's group index, the four view
// switches of the grid and, in the registry only (INI files hold no binary values), the
// filter as the component stream of a wrapper around it.

#include "controls/reg_ini_wrapper.h"
#include "grid/vx_criteria_stream.h"
#include "grid/vx_db_grid.h"
#include "grid/vx_db_grid_filter.h"
#include "grid/vx_db_tree_list_column.h"
#include "grid/vx_filter_wrapper.h"
#include "platform/classes/memory_stream.h"
#include "platform/rtl/exception.h"

void TCustomvxDBGrid::LoadColumnLayout(TvxRegIniWrapper* Wrapper, const std::string& Section,
                                       TvxTreeListColumn* Column) {
    // The group index first: grouping moves and hides the column, which the inherited
    // keys then correct.
    if (auto* column = dynamic_cast<TvxDBTreeListColumn*>(Column))
        column->SetGroupIndex(Wrapper->ReadInteger(Section, "GroupIndex", column->GroupIndex()));
    TCustomvxDBTreeListControl::LoadColumnLayout(Wrapper, Section, Column);
}

void TCustomvxDBGrid::SaveColumnLayout(TvxRegIniWrapper* Wrapper, const std::string& Section,
                                       TvxTreeListColumn* Column) {
    TCustomvxDBTreeListControl::SaveColumnLayout(Wrapper, Section, Column);
    if (auto* column = dynamic_cast<TvxDBTreeListColumn*>(Column))
        Wrapper->WriteInteger(Section, "GroupIndex", column->GroupIndex());
}

void TCustomvxDBGrid::LoadViewLayout(TvxRegIniWrapper* Wrapper, const std::string& Section) {
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
