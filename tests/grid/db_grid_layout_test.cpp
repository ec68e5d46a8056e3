// The grid's layout keys: group indexes and the four view switches go through an INI file
// and come back into a grid with other settings.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "grid/vx_db_grid_column.h"
#include "tests/grid/grid_test_form.h"

namespace {

class DBGridLayout : public GridOnForm {};

TEST_F(DBGridLayout, GroupIndexAndTheViewSwitchesRoundTripInAnIniFile) {
    TvxDBGridColumn* id = Col("ID");
    TvxDBGridColumn* name = Col("Name");
    TvxDBGridColumn* amount = Col("Amount");
    table->Open();
    name->SetGroupIndex(0);
    amount->SetGroupIndex(1);
    SwitchGroupPanel(true);
    grid->SetShowNewItemRow(true);
    grid->SetShowRowFooter(true);
    grid->SetShowSummaryFooter(true);
    const auto path = std::filesystem::temp_directory_path() / ("tovak_grid_layout_" + std::to_string(::getpid()) + ".ini");
    grid->SaveToIniFile(path.string());
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    EXPECT_NE(text.str().find("GroupIndex=1"), std::string::npos);
    EXPECT_NE(text.str().find("ShowSummaryFooter=1"), std::string::npos);

    name->SetGroupIndex(-1);
    amount->SetGroupIndex(-1);
    id->SetGroupIndex(0);
    SwitchGroupPanel(false);
    grid->SetShowNewItemRow(false);
    grid->SetShowRowFooter(false);
    grid->SetShowSummaryFooter(false);
    grid->LoadFromIniFile(path.string());
    std::filesystem::remove(path);
    EXPECT_EQ(name->GroupIndex(), 0);
    EXPECT_EQ(amount->GroupIndex(), 1);
    EXPECT_EQ(id->GroupIndex(), -1);
    EXPECT_EQ(grid->GroupColumnCount(), 2);
    EXPECT_TRUE(grid->ShowGroupPanel());
    EXPECT_TRUE(grid->ShowNewItemRow());
    EXPECT_TRUE(grid->ShowRowFooter());
    EXPECT_TRUE(grid->ShowSummaryFooter());
}

}  // namespace
