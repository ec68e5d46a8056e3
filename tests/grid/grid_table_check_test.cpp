// The check that holds a grid against its table (grid_table_check.h) finds each kind of
// disagreement it is there for, says nothing about a grid that agrees, and looks without
// telling the grid anything.

#include "tests/grid/grid_table_check.h"

#include <algorithm>

#include "grid/columns/vx_db_grid_column.h"
#include "tests/grid/grid_test_form.h"

namespace {

class DBGridTableCheck : public GridOnForm {
protected:
    void SetUp() override {
        GridOnForm::SetUp();
        Col("ID");
        name = Col("Name");
        amount = Col("Amount");
        table->Open();
        for (int id = 1; id <= 6; ++id) AddRecord(id, id % 2 ? "Odd" : "Even", false, id);
        table->First();
        LoadAll();
        TvxDBGridOptions options = grid->GridOptions();
        options.Include(egoMultiSelect);
        grid->SetGridOptions(options);
        source->OnDataChange = [this](TObject*, TField*) { ++dataEvents; };
    }
    TvxDBGridNode* Row(int id) {
        for (TvxTreeListNode* n = grid->GetFirstNode(); n; n = n->GetNext())
            if (auto* row = NodeAs<TvxDBGridNode>(n); row && n->Count() == 0 && row->KeyValue.AsInteger() == id)
                return row;
        return nullptr;
    }
    // The disagreements found, each reduced to its first words (up to the colon).
    std::vector<std::string> Kinds() {
        std::vector<std::string> kinds;
        for (const std::string& line : GridDisagreements(grid, table)) kinds.push_back(line.substr(0, line.find(':')));
        return kinds;
    }
    static bool Has(const std::vector<std::string>& kinds, const std::string& kind) {
        return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
    }

    TvxDBGridColumn* name = nullptr;
    TvxDBGridColumn* amount = nullptr;
    int dataEvents = 0;
};

TEST_F(DBGridTableCheck, AGridThatAgreesPassesAndIsNotDisturbed) {
    for (bool bookmarks : {true, false})
        for (bool grouped : {false, true}) {
            SCOPED_TRACE(std::string(bookmarks ? "bookmarks" : "keys") + (grouped ? ", grouped" : ", flat"));
            grid->SetUseBookmarks(bookmarks);
            name->SetGroupIndex(grouped ? 0 : -1);
            amount->SetSorted(csDown);
            grid->FullExpand();
            Row(3)->SetFocused(true);
            Row(5)->SetSelected(true);
            Row(2)->SetSelected(true);
            grid->Filter()->SetActive(true);
            grid->Filter()->SetFilterValue(name, Variant(std::string("Odd")), "Odd");
            TvxTreeListNode* focused = grid->GetFocusedNode();
            const int events = dataEvents;
            EXPECT_EQ(GridDisagreements(grid, table), std::vector<std::string>{});
            // The table read, copied and loaded into a fresh grid: nothing reached this one.
            EXPECT_EQ(dataEvents, events);
            EXPECT_EQ(grid->GetFocusedNode(), focused);
            EXPECT_EQ(table->FieldByName("ID")->AsInteger(), 3);
            grid->ClearFilter();
            grid->ClearSelection();
            amount->SetSorted(csNone);
            name->SetGroupIndex(-1);
        }
    // The record window.
    TvxDBGridOptionsDB db = grid->OptionsDB();
    db.Exclude(edgoLoadAllRecords);
    grid->SetOptionsDB(db);
    ASSERT_TRUE(grid->IsCursorMode());
    table->MoveBy(2);
    grid->GetFocusedNode()->SetSelected(true);
    EXPECT_EQ(GridDisagreements(grid, table), std::vector<std::string>{});
}

TEST_F(DBGridTableCheck, FindsWhatDisagreesWithTheTable) {
    grid->SetFocus();
    driver->Pump();
    ASSERT_EQ(GridDisagreements(grid, table), std::vector<std::string>{});

    // The table moved without the grid hearing of it.
    table->DisableControls();
    table->MoveBy(2);
    EXPECT_EQ(Kinds(), std::vector<std::string>{"focus"});
    table->MoveBy(-2);
    table->EnableControls();

    // A row naming a record the table does not have, and a record without a row.
    TvxDBGridNode* row = Row(4);
    row->KeyValue = Variant(40);
    const std::vector<std::string> foreign = Kinds();
    EXPECT_TRUE(Has(foreign, "rows")) << ::testing::PrintToString(GridDisagreements(grid, table));
    EXPECT_TRUE(Has(foreign, "tree"));
    row->KeyValue = Variant(4);

    // A row out of its place.
    Row(6)->MoveTo(Row(1), nmInsert);
    EXPECT_TRUE(Has(Kinds(), "tree"));
    table->Refresh();
    ASSERT_EQ(GridDisagreements(grid, table), std::vector<std::string>{});

    // An entry of the selection whose row shows another record, and a row shown selected that
    // no entry leads to.
    grid->ClearSelection();
    Row(2)->SetSelected(true);
    TBookmark first = table->Bookmark();  // record 1's
    grid->AddSelectedBookmark(first, Row(5));
    EXPECT_TRUE(Has(Kinds(), "selection")) << ::testing::PrintToString(GridDisagreements(grid, table));
    grid->ClearSelection();
    EXPECT_EQ(GridDisagreements(grid, table), std::vector<std::string>{});

    // Not browsing: the check says so and looks no further.
    table->Edit();
    EXPECT_EQ(Kinds(), std::vector<std::string>{"check"});
    table->Cancel();
}

}  // namespace
