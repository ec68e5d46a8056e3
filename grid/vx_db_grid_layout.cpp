// What the grid adds to the stored layout: each column's group index and the four view
// switches of the grid.

#include "controls/reg_ini_wrapper.h"
#include "grid/vx_db_grid.h"
#include "grid/vx_db_tree_list_column.h"

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
}

void TCustomvxDBGrid::SaveViewLayout(TvxRegIniWrapper* Wrapper, const std::string& Section) {
    TCustomvxDBTreeListControl::SaveViewLayout(Wrapper, Section);
    Wrapper->WriteBool(Section, "ShowGroupPanel", ShowGroupPanel());
    Wrapper->WriteBool(Section, "ShowNewItemRow", ShowNewItemRow());
    Wrapper->WriteBool(Section, "ShowRowFooter", ShowRowFooter());
    Wrapper->WriteBool(Section, "ShowSummaryFooter", ShowSummaryFooter());
}
