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
    grid->SetShowGroupPanel(true);
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
    grid->SetShowGroupPanel(false);
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

namespace {

TEST_F(DBGridLayout, TheGroupPanelGrowsHalfARowPerGroupColumnAndDropsGoByBoxCentres) {
    TvxDBGridColumn* id = Col("ID");
    TvxDBGridColumn* name = Col("Name");
    Col("Amount");
    Col("Day");
    table->Open();
    EXPECT_EQ(grid->GetGroupPanelHeight(), 0);
    grid->SetShowGroupPanel(true);
    driver->Pump();
    const int h = grid->Metrics().HeaderLineHeight;
    const int d = h / 2;
    EXPECT_EQ(grid->GetGroupPanelHeight(), h - d + 16);
    EXPECT_EQ(grid->GetRectInfo().GroupPanel.Height(), h - d + 16);
    if (const char* dir = std::getenv("TOVAK_PNG_DIR"))
        driver->SaveForm(form, (std::filesystem::path(dir) / "tovak_grid_group_panel_empty.png").string());
    name->SetGroupIndex(0);
    EXPECT_EQ(grid->GetGroupPanelHeight(), h + 16);
    id->SetGroupIndex(1);
    EXPECT_EQ(grid->GetGroupPanelHeight(), h + 16 + d);
    driver->Pump();
    const TRect panel = grid->GetRectInfo().GroupPanel;
    const TRect box1 = grid->GroupBoxRect(1);
    EXPECT_EQ(box1.Left - panel.Left, 8 + 104);
    EXPECT_EQ(box1.Top - panel.Top, 8 + d);
    EXPECT_EQ(box1.Width(), 100);
    EXPECT_EQ(box1.Height(), h);
    const int centre = (box1.Left + box1.Right) / 2;
    EXPECT_EQ(grid->GroupDropIndex(TPoint{centre, box1.Top}), 2);
    EXPECT_EQ(grid->GroupDropIndex(TPoint{centre - 1, box1.Top}), 1);
    EXPECT_EQ(grid->GroupDropIndex(TPoint{panel.Left, box1.Top}), 0);
    if (const char* dir = std::getenv("TOVAK_PNG_DIR"))
        driver->SaveForm(form, (std::filesystem::path(dir) / "tovak_grid_group_panel.png").string());

    // A header dropped left of the first box's centre groups by its column first (the last
    // visible column could not go).
    TvxDBGridColumn* amount = dynamic_cast<TvxDBGridColumn*>(grid->GetColumn(2));
    int allowed = 0;
    grid->OnEndDragGroupColumn = [&](TObject*, TvxDBTreeListColumn*, int Index, bool&) { allowed = Index + 10; };
    const TRect header = grid->GetRectInfo().HeaderPanel;
    const TPoint from{header.Left + 20, header.Top + 4};
    driver->MouseDown(grid, from);
    driver->MoveTo(grid, TPoint{from.X + 10, from.Y - 10});
    driver->MoveTo(grid, TPoint{panel.Left + 10, panel.Top + 10});
    driver->MouseUp(grid, TPoint{panel.Left + 10, panel.Top + 10});
    driver->Pump();
    EXPECT_EQ(allowed, 10);
    EXPECT_EQ(amount->GroupIndex(), 0);
    EXPECT_EQ(name->GroupIndex(), 1);
    EXPECT_EQ(grid->GroupColumnCount(), 3);
}

}  // namespace
