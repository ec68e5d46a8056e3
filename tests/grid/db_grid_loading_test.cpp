// Loading every record: group rows in order with Null first, two grouping levels, group and
// footer summaries with their texts, the regroup of loaded rows without reading the table,
// and what a reload after a data change keeps.

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "grid/columns/vx_db_grid_column.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/locale.h"
#include "platform/win/exception_report.h"
#include "platform/win/messages.h"
#include "platform/win/virtual_keys.h"
#include "tests/grid/grid_table_check.h"
#include "tests/grid/grid_test_form.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_pictures.h"
#include "tests/treelist/test_column_tree_list.h"

namespace {

class DBGridLoading : public GridOnForm {
protected:
    void SetUp() override {
        GridOnForm::SetUp();
        FormatSettings().DecimalSeparator = '.';
        id = Col("ID");
        name = Col("Name");
        amount = Col("Amount");
        active = Col("Active");
        table->Open();
    }
    void TearDown() override {
        ResetFormatSettings();
        GridOnForm::TearDown();
    }
    void Add(int id_, const char* name_, double amount_, bool active_ = false) {
        table->Append();
        table->FieldByName("ID")->SetAsInteger(id_);
        if (name_) table->FieldByName("Name")->SetAsString(name_);
        table->FieldByName("Amount")->SetAsFloat(amount_);
        table->FieldByName("Active")->SetAsBoolean(active_);
        table->Post();
    }
    std::string GroupValue(TvxTreeListNode* n) { return VarToStr(dynamic_cast<TvxDBGridNode*>(n)->GroupValue); }
    int Id(TvxTreeListNode* n) { return dynamic_cast<TvxDBGridNode*>(n)->KeyValue.AsInteger(); }

    TvxDBGridColumn* id = nullptr;
    TvxDBGridColumn* name = nullptr;
    TvxDBGridColumn* amount = nullptr;
    TvxDBGridColumn* active = nullptr;
};

TEST_F(DBGridLoading, EveryRecordIsARowAndGroupRowsComeInOrderWithNullFirst) {
    Add(1, "C", 1);
    Add(2, "A", 2);
    Add(3, "B", 3);
    Add(4, "A", 4);
    Add(5, nullptr, 5);
    // Without a key field a navigating grid builds nothing.
    TvxDBGridOptionsDB db = grid->OptionsDB();
    db.Include(edgoLoadAllRecords);
    grid->SetOptionsDB(db);
    EXPECT_EQ(grid->GetCount(), 0);
    LoadAll();
    ASSERT_EQ(grid->GetCount(), 5);
    EXPECT_EQ(Id(grid->GetItem(4)), 5);

    name->SetGroupIndex(0);
    ASSERT_EQ(grid->GetCount(), 4);
    EXPECT_TRUE(VarIsNull(dynamic_cast<TvxDBGridNode*>(grid->GetItem(0))->GroupValue));
    EXPECT_EQ(GroupValue(grid->GetItem(1)), "A");
    EXPECT_EQ(GroupValue(grid->GetItem(2)), "B");
    EXPECT_EQ(GroupValue(grid->GetItem(3)), "C");
    ASSERT_EQ(grid->GetItem(1)->Count(), 2);
    EXPECT_EQ(Id(grid->GetItem(1)->Items(0)), 2);
    EXPECT_EQ(Id(grid->GetItem(1)->Items(1)), 4);
    EXPECT_FALSE(name->Visible());
    EXPECT_TRUE(grid->IsLoadAllMode());

    // Descending: a group column sorted down before it is grouped.
    name->SetGroupIndex(-1);
    EXPECT_EQ(grid->GetCount(), 5);
    EXPECT_TRUE(name->Visible());
    name->SetSorted(csDown);
    name->SetGroupIndex(0);
    ASSERT_EQ(grid->GetCount(), 4);
    EXPECT_EQ(GroupValue(grid->GetItem(0)), "C");
    EXPECT_EQ(GroupValue(grid->GetItem(1)), "B");
    EXPECT_EQ(GroupValue(grid->GetItem(2)), "A");
}

TEST_F(DBGridLoading, TwoLevelsSumInGroupRowsGroupFootersAndTheFooter) {
    Add(1, "A", 2, true);
    Add(2, "A", 4, true);
    Add(3, "B", -3.5, true);
    Add(4, "A", 10, false);
    LoadAll();
    active->SetGroupIndex(0);
    name->SetGroupIndex(1);
    ASSERT_EQ(grid->GetCount(), 2);
    // The group of the three active records.
    const int yesIndex = grid->GetItem(0)->Count() == 2 ? 0 : 1;
    TvxTreeListNode* yes = grid->GetItem(yesIndex);
    ASSERT_EQ(yes->Count(), 2);
    TvxTreeListNode* a = yes->Items(0);
    EXPECT_EQ(a->Level(), 1);
    EXPECT_EQ(a->Items(0)->Level(), 2);
    EXPECT_EQ(grid->GroupRecordCount(yes), 3);

    name->SetSummaryType(cstAvg);
    name->SetSummaryField("Amount");
    active->SetSummaryType(cstCount);
    amount->SetSummaryFooterType(cstSum);
    id->SetSummaryFooterType(cstMax);
    id->SetSummaryFooterField("Amount");
    // Items of a default group: two in the row text, one under the Amount column.
    TvxDBGridSummaryGroup* group = grid->SummaryGroups()->Add();
    group->SetName("G");
    group->SetBeginSummaryText("[");
    group->SetEndSummaryText("]");
    TvxDBGridSummaryItem* min = group->SummaryItems()->Add();
    min->SetSummaryType(cstMin);
    min->SetSummaryField("Amount");
    TvxDBGridSummaryItem* none = group->SummaryItems()->Add();
    none->SetSummaryField("Amount");
    TvxDBGridSummaryItem* max = group->SummaryItems()->Add();
    max->SetSummaryType(cstMax);
    max->SetSummaryField("Amount");
    TvxDBGridSummaryItem* under = group->SummaryItems()->Add();
    under->SetSummaryType(cstSum);
    under->SetColumnName("colAmount");
    name->SetSummaryGroupName("G");
    yes = grid->GetItem(yesIndex);
    a = yes->Items(0);
    TvxTreeListNode* b = yes->Items(1);
    EXPECT_EQ(grid->GetNodeString(a, 0), "Name : A (AVG=3.00) [(MIN=2.00), (MAX=4.00)]");
    EXPECT_EQ(grid->GetNodeString(b, 0), "Name : B (AVG=-3.50) [(MIN=-3.50), (MAX=-3.50)]");
    EXPECT_EQ(grid->GetNodeString(yes, 0), "Active : Wahr (COUNT=3) ");
    grid->SetSummarySeparator("; ");
    none->SetSummaryType(cstCount);
    grid->RecalcSummaries(nullptr);
    EXPECT_EQ(grid->GetNodeString(grid->GetItem(yesIndex)->Items(0), 0),
              "Name : A (AVG=3.00) [(MIN=2.00); (COUNT=2); (MAX=4.00)]");

    // The group footer under Amount, the summary footer per column.
    grid->SetShowRowFooter(true);
    a = grid->GetItem(yesIndex)->Items(0);
    EXPECT_TRUE(grid->IsExistRowFooter(1));
    EXPECT_FALSE(grid->IsExistRowFooter(0));
    std::string text;
    grid->GetFooterCellText(a->Items(1), amount->GetIndex(), text, 1);
    EXPECT_EQ(text, "6.00");
    grid->GetFooterCellText(nullptr, amount->GetIndex(), text, -1);
    EXPECT_EQ(text, "12.50");
    grid->GetFooterCellText(nullptr, id->GetIndex(), text, -1);
    EXPECT_EQ(text, "MAX=10.00");
    EXPECT_EQ(grid->FooterRecordCount(), 4);

    grid->SetShowSummaryFooter(true);
    grid->FullExpand();
    driver->Pump();
    driver->SaveForm(form, TestPicturePath("tovak_grid_groups.png"));
    a = grid->GetItem(yesIndex)->Items(0);

    // Recalculating without reading gives what a fresh load gives.
    const std::string loaded = grid->GetNodeString(a, 0);
    grid->RecalcSummaries(nullptr);
    EXPECT_EQ(grid->GetNodeString(grid->GetItem(yesIndex)->Items(0), 0), loaded);
    grid->GetFooterCellText(nullptr, amount->GetIndex(), text, -1);
    EXPECT_EQ(text, "12.50");
}

// A row footer cell tells the sum of the group row of its level: asked from any row below that
// row or from the row itself, none from a row above it. Under a row that ends two groups each
// footer shows its own group's, as painted and as exported.
TEST_F(DBGridLoading, AFooterCellTellsTheSumOfTheGroupRowOfItsLevel) {
    Add(1, "A", 1, true);
    Add(2, "B", 2, true);
    Add(3, "A", 16);
    Add(4, "A", 8, true);
    Add(5, "B", 32);
    LoadAll();
    TvxDBGridSummaryGroup* group = grid->SummaryGroups()->Add();
    group->SetName("G");
    group->SetDefaultGroup(true);
    TvxDBGridSummaryItem* under = group->SummaryItems()->Add();
    under->SetSummaryType(cstSum);
    under->SetColumnName("colAmount");
    active->SetGroupIndex(0);
    name->SetGroupIndex(1);
    grid->SetShowRowFooter(true);
    grid->FullExpand();
    // Each group row's sum, by its group values.
    const std::map<std::string, std::string> sums{{"False", "48.00"}, {"False A", "16.00"}, {"False B", "32.00"},
                                                  {"True", "11.00"},  {"True A", "9.00"},   {"True B", "2.00"}};
    auto value = [](TvxTreeListNode* g) -> std::string {
        const Variant& v = dynamic_cast<TvxDBGridNode*>(g)->GroupValue;
        return g->Level() == 0 ? (v.AsBoolean() ? "True" : "False") : VarToStr(v);
    };
    auto expected = [&](TvxTreeListNode* row, int level) -> std::string {
        if (level > 1 || row->Level() < level) return "";
        while (row->Level() > level) row = row->Parent();
        return sums.at(level == 1 ? value(row->Parent()) + " " + value(row) : value(row));
    };
    auto path = [&](TvxTreeListNode* row) {
        std::string text = row->Level() < 2 ? "group row " + value(row) : "row " + std::to_string(Id(row));
        return row->Parent() ? text + " under " + value(row->Parent()) : text;
    };
    for (TvxTreeListNode* row = grid->GetFirstNode(); row; row = row->GetNext())
        for (int level : {-1, 0, 1, 2}) {
            std::string text;
            grid->GetFooterCellText(row, amount->GetIndex(), text, level);
            EXPECT_EQ(text, level < 0 ? "" : expected(row, level)) << path(row) << ", level " << level;
        }

    // Painted: each row footer with its level's text, both under record 2 and record 5.
    std::map<std::pair<int, int>, std::string> painted;
    grid->OnCustomDrawFooterNode = [&](TObject*, TCanvas*, const TRect&, TvxTreeListNode* node, TvxTreeListColumn* c,
                                       int footer, std::string& text, TColor&, TFont*, TAlignment&, bool&) {
        if (node && c == amount) painted[{Id(node), footer}] = text;
    };
    grid->SetBounds(8, 8, 660, 380);
    grid->Invalidate();
    driver->Pump();
    UpdateAllWindows();
    EXPECT_EQ(painted, (std::map<std::pair<int, int>, std::string>{{{4, 0}, "9.00"},
                                                                   {{2, 0}, "2.00"},
                                                                   {{2, 1}, "11.00"},
                                                                   {{3, 0}, "16.00"},
                                                                   {{5, 0}, "32.00"},
                                                                   {{5, 1}, "48.00"}}));
    // Exported: the row footers in tree order, each with its own group's sum.
    const TempFolder folder("tovak-grid-footers");
    const std::string file = (folder.Path() / "grid.html").string();
    grid->SaveToHTML(file, true);
    std::ifstream in(file);
    std::vector<std::string> exported;
    for (std::string line; std::getline(in, line);)
        if (line.find("class=\"RowFooter\"") != std::string::npos)
            for (size_t at = line.find(".00"); at != std::string::npos; at = line.find(".00", at + 1)) {
                size_t from = at;
                while (from > 0 && std::isdigit(static_cast<unsigned char>(line[from - 1]))) --from;
                exported.push_back(line.substr(from, at + 3 - from));
            }
    EXPECT_EQ(exported, (std::vector<std::string>{"9.00", "2.00", "11.00", "16.00", "32.00", "48.00"}));
}

// Group rows of every level take the key of their first record as the rows are sorted, not
// as the records were read; a data row keeps its own.
TEST_F(DBGridLoading, GroupRowsOfEveryLevelTakeTheKeyOfTheirFirstRowAsSorted) {
    Add(1, "A", 5, true);
    Add(2, "A", 1, true);
    Add(3, "B", 3, true);
    Add(4, "A", 2, false);
    LoadAll();
    amount->SetSorted(csUp);
    active->SetGroupIndex(0);
    name->SetGroupIndex(1);
    ASSERT_EQ(grid->GetCount(), 2);
    const int yesIndex = GroupValue(grid->GetItem(0)) == "True" ? 0 : 1;
    TvxTreeListNode* yes = grid->GetItem(yesIndex);
    ASSERT_EQ(GroupValue(yes), "True");
    ASSERT_EQ(yes->Count(), 2);
    TvxTreeListNode* a = yes->Items(0);
    ASSERT_EQ(a->Count(), 2);
    EXPECT_EQ(Id(a->Items(0)), 2);
    EXPECT_EQ(Id(a->Items(1)), 1);
    EXPECT_EQ(Id(a), 2);
    EXPECT_EQ(Id(yes->Items(1)), 3);
    EXPECT_EQ(Id(yes), 2);
    EXPECT_EQ(Id(grid->GetItem(1 - yesIndex)), 4);

    amount->SetSorted(csDown);
    yes = grid->GetItem(yesIndex);
    a = yes->Items(0);
    EXPECT_EQ(Id(a->Items(0)), 1);
    EXPECT_EQ(Id(a), 1);
    EXPECT_EQ(Id(yes), 1);
}

// Every summary setting changed on a loaded grid shows at once, without a reload by hand.
// A group row holds its own column as the data rows below it do, and nothing of the others;
// the same after the table changes and the groups are loaded again.
TEST_F(DBGridLoading, GroupRowsHoldTheTextAndValueOfTheirColumnAndNoOther) {
    Add(1, "B", 2.5);
    Add(2, "A", 2.5);
    Add(3, "A", 7);
    LoadAll();
    amount->SetGroupIndex(0);
    name->SetGroupIndex(1);
    // What the load stored, beneath the group row's own text.
    auto text = [this](TvxTreeListNode* Node, TvxDBGridColumn* Column) {
        return grid->TCustomvxTreeListControl::GetNodeString(Node, Column->Index());
    };
    auto cell = [this](TvxTreeListNode* Node, TvxDBGridColumn* Column) {
        return grid->GetNodeColumn(Node, Column->Index());
    };
    auto check = [&] {
        for (int i = 0; i < grid->GetCount(); ++i) {
            TvxTreeListNode* byAmount = grid->GetItem(i);
            for (int j = 0; j < byAmount->Count(); ++j) {
                TvxTreeListNode* byName = byAmount->Items(j);
                TvxTreeListNode* row = byName->Items(0);
                for (auto [group, column] : {std::pair{byAmount, amount}, std::pair{byName, name}}) {
                    EXPECT_EQ(text(group, column), text(row, column));
                    EXPECT_EQ(cell(group, column).Flags, cell(row, column).Flags);
                    EXPECT_EQ(VarCompareValue(cell(group, column).Value, cell(row, column).Value), vrEqual);
                }
                EXPECT_EQ(text(byName, amount), "");
                EXPECT_EQ(cell(byName, amount).Flags, 0);
                EXPECT_EQ(text(byAmount, id), "");
                EXPECT_TRUE(VarIsEmpty(cell(byAmount, id).Value));
            }
        }
    };
    ASSERT_EQ(grid->GetCount(), 2);
    EXPECT_EQ(grid->GetItem(0)->Count(), 2);
    EXPECT_EQ(cell(grid->GetItem(1), amount).Value.AsDouble(), 7);
    check();
    table->First();
    table->Edit();
    table->FieldByName("Amount")->SetAsFloat(7);
    table->Post();
    ASSERT_EQ(grid->GetCount(), 2);
    EXPECT_EQ(grid->GetItem(1)->Count(), 2);
    check();
}

TEST_F(DBGridLoading, SummarySettingsOfALoadedGridTakeEffectAtOnce) {
    Add(1, "A", 2);
    Add(2, "A", 4);
    Add(3, "B", -1.5);
    Add(4, "B", 5.5);
    LoadAll();
    auto footer = [&](TvxDBGridColumn* column) {
        std::string text;
        grid->GetFooterCellText(nullptr, column->GetIndex(), text, -1);
        return text;
    };
    amount->SetSummaryFooterType(cstSum);
    EXPECT_EQ(footer(amount), "10.00");
    amount->SetSummaryFooterType(cstMin);
    EXPECT_EQ(footer(amount), "MIN=-1.50");
    amount->SetSummaryFooterFormat("0.0");
    EXPECT_EQ(footer(amount), "-1.5");
    id->SetSummaryFooterType(cstMax);
    EXPECT_EQ(footer(id), "MAX=4.00");
    id->SetSummaryFooterField("Amount");
    EXPECT_EQ(footer(id), "MAX=5.50");

    name->SetGroupIndex(0);
    auto groupA = [&] { return grid->GetNodeString(grid->GetItem(0), 0); };
    name->SetSummaryType(cstSum);
    name->SetSummaryField("Amount");
    EXPECT_EQ(groupA(), "Name : A (SUM=6.00) ");
    name->SetSummaryType(cstMin);
    EXPECT_EQ(groupA(), "Name : A (MIN=2.00) ");
    name->SetSummaryFormat("<0.0>");
    EXPECT_EQ(groupA(), "Name : A <2.0> ");
    name->SetSummaryType(cstNone);

    TvxDBGridSummaryGroup* group = grid->SummaryGroups()->Add();
    group->SetName("G");
    name->SetSummaryGroupName("G");
    TvxDBGridSummaryItem* item = group->SummaryItems()->Add();
    item->SetSummaryField("Amount");
    item->SetSummaryType(cstMax);
    EXPECT_EQ(groupA(), "Name : A (MAX=4.00)");
    item->SetSummaryType(cstCount);
    EXPECT_EQ(groupA(), "Name : A (COUNT=2)");
    item->SetSummaryFormat("n=0");
    EXPECT_EQ(groupA(), "Name : A n=2");
    item->SetSummaryType(cstSum);
    item->SetSummaryField("ID");
    EXPECT_EQ(groupA(), "Name : A n=3");
    group->SetBeginSummaryText("[");
    EXPECT_EQ(groupA(), "Name : A [n=3");
}

TEST_F(DBGridLoading, ASmartRegroupRegroupsTheLoadedRowsWithoutReadingTheTable) {
    Add(1, "B", 1);
    Add(2, "A", 2);
    Add(3, "B", 3);
    LoadAll();
    TvxDBGridOptions options = grid->GridOptions();
    options.Include(egoSmartReload);
    grid->SetGridOptions(options);
    int scrolls = 0;
    table->BeforeScroll = [&](TDataSet*) { ++scrolls; };
    name->SetGroupIndex(0);
    EXPECT_EQ(scrolls, 0);
    ASSERT_EQ(grid->GetCount(), 2);
    EXPECT_EQ(GroupValue(grid->GetItem(0)), "A");
    ASSERT_EQ(grid->GetItem(1)->Count(), 2);
    EXPECT_EQ(Id(grid->GetItem(1)->Items(0)), 1);
    EXPECT_EQ(Id(grid->GetItem(1)->Items(1)), 3);
    // The group rows take their first record's key.
    EXPECT_EQ(Id(grid->GetItem(1)), 1);
    name->SetGroupIndex(-1);
    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(grid->GetCount(), 3);
}

// A load broken off by a raise (a table event) leaves no rows and owes them: the grid's next
// paint, key or scroll loads them, without a change of the table. A paint asks once: where the
// load breaks off again, the paints after it leave the rows owed (each would paint, and load,
// again for ever) until the next key.
TEST_F(DBGridLoading, TheRowsABrokenLoadOwesComeBackWithTheNextPaintKeyOrScroll) {
    for (int i = 1; i <= 8; ++i) Add(i, i % 2 ? "A" : "B", i);
    LoadAll();
    table->Locate("ID", Variant(5), {});
    grid->SetFocus();
    driver->Pump();
    bool armed = false;
    table->BeforeScroll = [&armed](TDataSet*) {
        if (!armed) return;
        armed = false;
        throw Exception("scroll refused");
    };
    std::string reported;
    const ExceptionReporter previous = SetExceptionReporter(
        [&reported](const std::exception& e) { reported = e.what(); });
    auto breakLoad = [&] {
        armed = true;
        EXPECT_THROW(name->SetGroupIndex(name->GroupIndex() < 0 ? 0 : -1), Exception);
        EXPECT_TRUE(grid->RowsOwed());
        EXPECT_EQ(grid->GetCount(), 0);
        ExpectGridAgreesWithTable(grid, table);
    };
    auto paint = [this] {
        grid->Invalidate();
        grid->Update();
    };
    auto back = [&](const char* need) {
        SCOPED_TRACE(need);
        EXPECT_FALSE(grid->RowsOwed());
        EXPECT_TRUE(grid->IsAllRecordsLoaded());
        EXPECT_GT(grid->GetCount(), 0);
        ExpectGridAgreesWithTable(grid, table);
    };
    breakLoad();
    paint();
    back("a paint");
    breakLoad();
    driver->PressKey(VK_DOWN);
    back("a key");
    breakLoad();
    driver->Wheel(grid, -1);
    back("the wheel");
    breakLoad();
    grid->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    back("a scroll bar");

    breakLoad();
    armed = true;
    paint();
    EXPECT_EQ(reported, "scroll refused");
    EXPECT_TRUE(grid->RowsOwed());
    armed = true;
    paint();
    EXPECT_TRUE(armed) << "a second paint loaded the rows again";
    EXPECT_TRUE(grid->RowsOwed());
    armed = false;
    driver->PressKey(VK_DOWN);
    back("a key after a paint that broke off");
    SetExceptionReporter(previous);
    table->BeforeScroll = nullptr;
}

// A regroup of the loaded rows whose deletion handler raises as the former group rows go
// leaves every row it regrouped standing: the former group rows go once the new ones stand.
TEST_F(DBGridLoading, ARegroupBrokenOffKeepsTheRowsItRegrouped) {
    for (int i = 1; i <= 6; ++i) Add(i, i % 3 ? "A" : "B", i);
    LoadAll();
    TvxDBGridOptions options = grid->GridOptions();
    options.Include(egoSmartReload);
    grid->SetGridOptions(options);
    name->SetGroupIndex(0);
    std::map<int, TvxTreeListNode*> rows;
    for (TvxTreeListNode* n = grid->GetFirstNode(); n; n = n->GetNext())
        if (n->Count() == 0) rows[Id(n)] = n;
    ASSERT_EQ(rows.size(), 6u);
    active->SetGroupIndex(0);
    int dataRowsFreed = 0;
    bool armed = true;
    grid->OnDeletion = [&](TObject*, TvxTreeListNode* n) {
        if (n->Count() == 0 && n->Level() > 0) ++dataRowsFreed;
        if (!armed) return;
        armed = false;
        throw Exception("deletion refused");
    };
    EXPECT_THROW(name->SetGroupIndex(-1), Exception);
    EXPECT_FALSE(armed);
    grid->OnDeletion = nullptr;
    EXPECT_EQ(dataRowsFreed, 0);
    EXPECT_TRUE(grid->IsAllRecordsLoaded());
    ExpectGridAgreesWithTable(grid, table);
    std::map<int, TvxTreeListNode*> regrouped;
    for (TvxTreeListNode* n = grid->GetFirstNode(); n; n = n->GetNext())
        if (n->Count() == 0) regrouped[Id(n)] = n;
    EXPECT_EQ(regrouped, rows);
}

TEST_F(DBGridLoading, ADataChangeKeepsGroupRowsAndDropsThoseLeftEmpty) {
    Add(1, "A", 1);
    Add(2, "B", 2);
    Add(3, "A", 3);
    LoadAll();
    name->SetGroupIndex(0);
    ASSERT_EQ(grid->GetCount(), 2);
    TvxTreeListNode* a = grid->GetItem(0);
    a->Expand(false);
    // Record 2 moves from group B to group A: B goes, A keeps its row and its state.
    table->Locate("ID", Variant(2), {});
    table->Edit();
    table->FieldByName("Name")->SetAsString("A");
    table->Post();
    ASSERT_EQ(grid->GetCount(), 1);
    EXPECT_EQ(grid->GetItem(0), a);
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(a->Count(), 3);
    // With the in-place refresh a deleted record's row goes too.
    TvxDBGridOptions options = grid->GridOptions();
    options.Include(egoSmartRefresh);
    grid->SetGridOptions(options);
    table->Locate("ID", Variant(3), {});
    table->Delete();
    EXPECT_EQ(grid->GetItem(0)->Count(), 2);
    EXPECT_EQ(table->RecordCount(), 2);
}

// A record appended while the rows are grouped goes into its group: no root is left
// without rows, neither while it is entered nor after the post, with or without the
// in-place refresh.
TEST_F(DBGridLoading, ARecordAppendedWhileGroupedJoinsItsGroup) {
    Add(1, "A", 1);
    Add(2, "B", 2);
    LoadAll();
    name->SetGroupIndex(0);
    ASSERT_EQ(grid->GetCount(), 2);
    auto everyRootHasRows = [&](const char* step) {
        SCOPED_TRACE(step);
        ASSERT_EQ(grid->GetCount(), 2);
        for (int i = 0; i < grid->GetCount(); ++i) EXPECT_GT(grid->GetItem(i)->Count(), 0) << i;
    };
    auto append = [&](int id_, const char* group) {
        table->Append();
        everyRootHasRows("entering");
        table->FieldByName("ID")->SetAsInteger(id_);
        table->FieldByName("Name")->SetAsString(group);
        table->Post();
        everyRootHasRows("posted");
    };
    append(3, "A");
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 3, 2}));
    table->Edit();
    table->FieldByName("Amount")->SetAsFloat(5);
    table->Post();
    everyRootHasRows("edited");
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 3, 2}));

    TvxDBGridOptions options = grid->GridOptions();
    options.Include(egoSmartRefresh);
    grid->SetGridOptions(options);
    append(4, "B");
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 3, 2, 4}));
}

TEST_F(DBGridLoading, ADataChangeTakesBackTheRowOfEveryRecordThatStaysInItsGroup) {
    for (int i = 1; i <= 8; ++i) Add(i, i % 2 ? "A" : "B", 10 - i);
    LoadAll();
    name->SetGroupIndex(0);
    auto rowsById = [&] {
        std::map<int, TvxTreeListNode*> rows;
        for (int g = 0; g < grid->GetCount(); ++g)
            for (int i = 0; i < grid->GetItem(g)->Count(); ++i)
                rows[Id(grid->GetItem(g)->Items(i))] = grid->GetItem(g)->Items(i);
        return rows;
    };
    auto edit = [&](int id, const char* field, const Variant& value) {
        table->Locate("ID", Variant(id), {});
        table->Edit();
        table->FieldByName(field)->SetAsVariant(value);
        table->Post();
    };
    // Once with the rows in their records' order, once sorted by amount against it.
    for (bool sorted : {false, true}) {
        SCOPED_TRACE(sorted ? "sorted by amount" : "in record order");
        if (sorted) amount->SetSorted(csUp);
        const auto before = rowsById();
        ASSERT_EQ(before.size(), 8u);
        edit(3, "Amount", Variant(50.0));
        EXPECT_EQ(rowsById(), before);
        // A record that changes its group gets a row there; the others keep theirs.
        edit(4, "Name", Variant(std::string("A")));
        const auto after = rowsById();
        ASSERT_EQ(after.size(), 8u);
        for (const auto& [id, row] : before) {
            if (id != 4) {
                EXPECT_EQ(after.at(id), row) << id;
            }
        }
        EXPECT_EQ(GroupValue(after.at(4)->Parent()), "A");
        edit(4, "Name", Variant(std::string("B")));
        edit(3, "Amount", Variant(7.0));
    }
    EXPECT_EQ(grid->GetItem(0)->Count(), 4);
    EXPECT_EQ(Id(grid->GetItem(0)->Items(0)), 7);
}

// Rows that no column sorts stand in the table's order, as a load makes them, also after an
// append or an edit that moves a record in a table sorted by a field: when the reload takes
// rows again, and when smart refresh refreshes the row in place. Flat and grouped.
TEST_F(DBGridLoading, RowsThatNoColumnSortsStayInTheTablesOrderThroughChanges) {
    for (bool smart : {false, true})
        for (bool grouped : {false, true}) {
            SCOPED_TRACE(std::string(smart ? "smart refresh" : "reloads") + (grouped ? ", grouped" : ", flat"));
            grid->SetKeyField("");
            amount->SetGroupIndex(-1);
            table->SetSortedField("");
            table->DisableControls();
            while (!table->IsEmpty()) table->Delete();
            for (int i = 1; i <= 8; ++i) Add(i, std::string(1, static_cast<char>('b' + (i * 3) % 8)).c_str(), i % 2);
            table->EnableControls();
            table->SetSortedField("Name");
            LoadAll();
            TvxDBGridOptions options = grid->GridOptions();
            smart ? options.Include(egoSmartRefresh) : options.Exclude(egoSmartRefresh);
            grid->SetGridOptions(options);
            if (grouped) amount->SetGroupIndex(0);
            // What a load makes of the table as it is now.
            auto loaded = [&] {
                grid->SetKeyField("");
                LoadAll();
                if (grouped) {
                    amount->SetGroupIndex(-1);
                    amount->SetGroupIndex(0);
                }
                return DataRowIds();
            };
            auto edit = [&](int id, const char* field, const Variant& value) {
                table->Locate("ID", Variant(id), {});
                table->Edit();
                table->FieldByName(field)->SetAsVariant(value);
                table->Post();
            };
            Add(9, "a", 1);
            std::vector<int> shown = DataRowIds();
            EXPECT_EQ(shown, loaded()) << "an append";
            edit(4, "Name", Variant(std::string("z")));
            shown = DataRowIds();
            EXPECT_EQ(shown, loaded()) << "an edit to the end";
            edit(4, "Name", Variant(std::string("c")));
            shown = DataRowIds();
            EXPECT_EQ(shown, loaded()) << "an edit back";
            edit(2, "Amount", Variant(1.0));
            shown = DataRowIds();
            EXPECT_EQ(shown, loaded()) << "an edit into another group";
            // A sort switched off leaves the rows in the table's order again.
            id->SetSorted(csDown);
            id->SetSorted(csNone);
            shown = DataRowIds();
            EXPECT_EQ(shown, loaded()) << "a sort switched off";
            table->SetSortedField("");
        }
}

// A group column turned round in one sorting batch with another column: its group rows turn
// round too, and a record made current is found under them.
TEST_F(DBGridLoading, AGroupColumnTurnedRoundInASortingBatchTurnsItsGroupRows) {
    for (int i = 1; i <= 6; ++i) Add(i, std::string(1, static_cast<char>('A' + i % 3)).c_str(), i);
    LoadAll();
    TvxDBGridOptionsBehavior behavior = grid->OptionsBehavior();
    behavior.Include(edgoMultiSort);
    grid->SetOptionsBehavior(behavior);
    name->SetGroupIndex(0);
    grid->BeginSorting();
    name->SetSorted(csDown);
    amount->SetSorted(csDown);
    grid->EndSorting();
    ASSERT_EQ(grid->GetCount(), 3);
    EXPECT_EQ(GroupValue(grid->GetItem(0)), "C");
    EXPECT_EQ(GroupValue(grid->GetItem(2)), "A");
    EXPECT_EQ(Id(grid->GetItem(0)->Items(0)), 5);
    table->Locate("ID", Variant(4), {});
    ASSERT_NE(grid->GetFocusedNode(), nullptr);
    EXPECT_EQ(Id(grid->GetFocusedNode()->Count() > 0 ? grid->GetFocusedNode()->Items(0) : grid->GetFocusedNode()), 4);
}

// A smart regroup shows what a fresh load shows: the rows no column sorts in the table's
// order, whatever order the grouping they leave showed them in; one level and two, the inner
// or the outer one ungrouped.
TEST_F(DBGridLoading, ASmartRegroupLeavesTheGroupRowsClosedAndTheRowsInRecordOrder) {
    Add(1, "B", 1);
    Add(2, "A", 2);
    Add(3, "B", 3, true);
    Add(4, "C", 4, true);
    Add(5, "A", 5);
    LoadAll();
    TvxDBGridOptions options = grid->GridOptions();
    options.Include(egoSmartReload);
    grid->SetGridOptions(options);
    name->SetGroupIndex(0);
    ASSERT_EQ(grid->GetCount(), 3);
    // Only the current record's group row opens, to show it.
    EXPECT_EQ(Id(grid->GetFocusedNode()), 5);
    EXPECT_TRUE(grid->GetItem(0)->Expanded());
    EXPECT_FALSE(grid->GetItem(1)->Expanded());
    EXPECT_FALSE(grid->GetItem(2)->Expanded());
    EXPECT_EQ(DataRowIds(), (std::vector<int>{2, 5, 1, 3, 4}));
    ExpectGridAgreesWithTable(grid, table);
    // Ungrouped: the table's order; the group rows are gone.
    name->SetGroupIndex(-1);
    ASSERT_EQ(grid->GetCount(), 5);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 2, 3, 4, 5}));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(grid->GetItem(i)->Index(), i);
    }
    ExpectGridAgreesWithTable(grid, table);
    // Two levels: B's records 3 and 1 shown under True and False.
    name->SetGroupIndex(0);
    active->SetGroupIndex(1);
    ASSERT_EQ(grid->GetCount(), 3);
    EXPECT_EQ(grid->GetItem(0)->Items(0)->Level(), 1);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{2, 5, 3, 1, 4}));
    ExpectGridAgreesWithTable(grid, table);
    // The inner level ungrouped: each outer group's rows in the table's order.
    active->SetGroupIndex(-1);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{2, 5, 1, 3, 4}));
    ExpectGridAgreesWithTable(grid, table);
    // The outer level ungrouped, the inner one staying: its groups' rows in the table's order.
    active->SetGroupIndex(1);
    name->SetGroupIndex(-1);
    ASSERT_EQ(grid->GetCount(), 2);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{3, 4, 1, 2, 5}));
    ExpectGridAgreesWithTable(grid, table);
    active->SetGroupIndex(-1);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 2, 3, 4, 5}));
    ExpectGridAgreesWithTable(grid, table);
}

TEST_F(DBGridLoading, FocusTopRowAndSelectionSurviveAppendPostAndDelete) {
    for (int i = 1; i <= 30; ++i) Add(i, ("n" + std::to_string(i)).c_str(), i);
    grid->SetGridOptions([&] {
        TvxDBGridOptions o = grid->GridOptions();
        o.Include(egoMultiSelect);
        return o;
    }());
    LoadAll();
    ASSERT_EQ(grid->GetCount(), 30);
    grid->SetTopIndex(5);
    grid->GetItem(8)->SetFocused(true);
    EXPECT_EQ(table->FieldByName("ID")->AsInteger(), 9);
    grid->GetItem(8)->SetSelected(true);
    grid->GetItem(10)->SetSelected(true);
    EXPECT_EQ(grid->GetSelectedCount(), 2);
    auto check = [&](const char* step) {
        SCOPED_TRACE(step);
        ASSERT_TRUE(grid->GetFocusedNode());
        EXPECT_EQ(Id(grid->GetFocusedNode()), 9);
        EXPECT_EQ(grid->GetTopIndex(), 5);
        ASSERT_EQ(grid->GetSelectedCount(), 2);
        EXPECT_TRUE(grid->GetItem(8)->Selected());
        EXPECT_TRUE(grid->GetItem(10)->Selected());
    };
    // An append and a delete of another record (the table back on the focused one before
    // it tells the grid), and a post of the focused record.
    table->DisableControls();
    Add(31, "n31", 31);
    table->Locate("ID", Variant(9), {});
    table->EnableControls();
    EXPECT_EQ(grid->GetCount(), 31);
    check("append");
    table->Edit();
    table->FieldByName("Amount")->SetAsFloat(99);
    table->Post();
    check("post");
    table->DisableControls();
    table->Locate("ID", Variant(31), {});
    table->Delete();
    table->Locate("ID", Variant(9), {});
    table->EnableControls();
    EXPECT_EQ(grid->GetCount(), 30);
    check("delete");

    // By keys when bookmarks are off.
    grid->SetUseBookmarks(false);
    grid->ClearSelection();
    grid->GetItem(8)->SetSelected(true);
    grid->GetItem(10)->SetSelected(true);
    table->Edit();
    table->FieldByName("Amount")->SetAsFloat(98);
    table->Post();
    check("post by keys");
}

// Grouping builds the tree anew: it shows from its first row when everything fits, and
// otherwise keeps the focused row in view.
TEST_F(DBGridLoading, GroupingShowsTheFirstRowAndKeepsTheFocusedRowInView) {
    Add(1, "B", 10);
    Add(2, "A", 20);
    Add(3, "B", 30);
    Add(4, "C", 40);
    LoadAll();
    driver->Pump();
    // Record 4 is current: its group row C is focused, and A, made after B, is not
    // scrolled out above it.
    name->SetGroupIndex(0);
    driver->Pump();
    ASSERT_EQ(grid->GetAbsoluteCount(), 3);
    EXPECT_EQ(GroupValue(grid->GetFocusedNode()), "C");
    EXPECT_EQ(grid->GetTopIndex(), 0);
    driver->SaveForm(form, TestPicturePath("tovak_grid_grouped_top.png"));

    // Regrouping the loaded rows: the same.
    TvxDBGridOptions options = grid->GridOptions();
    options.Include(egoSmartReload);
    grid->SetGridOptions(options);
    name->SetGroupIndex(-1);
    driver->Pump();
    name->SetGroupIndex(0);
    driver->Pump();
    EXPECT_EQ(GroupValue(grid->GetFocusedNode()), "C");
    EXPECT_EQ(grid->GetTopIndex(), 0);

    // Thirty-nine groups do not fit: the focused last one is the last row shown.
    options.Exclude(egoSmartReload);
    grid->SetGridOptions(options);
    name->SetGroupIndex(-1);
    for (int i = 5; i <= 40; ++i) Add(i, ("z" + std::to_string(i / 10) + std::to_string(i % 10)).c_str(), i);
    driver->Pump();
    name->SetGroupIndex(0);
    driver->Pump();
    ASSERT_EQ(grid->GetAbsoluteCount(), 39);
    ASSERT_GT(grid->WhollyVisibleRows(), 3);
    EXPECT_EQ(GroupValue(grid->GetFocusedNode()), "z40");
    EXPECT_EQ(grid->GetTopIndex(), 39 - grid->WhollyVisibleRows());

    // Deleting the focused record drops its group row at the end: the kept rows move down
    // instead of leaving a gap below the last one.
    table->Delete();
    driver->Pump();
    ASSERT_EQ(grid->GetAbsoluteCount(), 38);
    EXPECT_EQ(GroupValue(grid->GetFocusedNode()), "z39");
    EXPECT_EQ(grid->GetTopIndex(), 38 - grid->WhollyVisibleRows());

    // With the first record current its group row B is the first one made, and still A
    // stays in view above it; the row focused at the delete above has no say.
    name->SetGroupIndex(-1);
    table->Locate("ID", Variant(1), {});
    name->SetGroupIndex(0);
    driver->Pump();
    EXPECT_EQ(GroupValue(grid->GetFocusedNode()), "B");
    EXPECT_EQ(grid->GetTopIndex(), 0);
}

TEST_F(DBGridLoading, AssignedColumnsAreGroupedAsInTheSourceGridOnceTheLockEnds) {
    Add(1, "B", 1, true);
    Add(2, "A", 2, false);
    Add(3, "B", 3, true);
    LoadAll();
    active->SetGroupIndex(0);
    name->SetGroupIndex(1);
    ASSERT_EQ(grid->GroupColumnCount(), 2);

    auto* copy = new TvxDBGrid(form);
    copy->SetName("DBGrid2");
    copy->SetBounds(8, 8, 300, 200);
    copy->SetParent(form);
    copy->SetKeyField("ID");
    copy->SetOptionsDB(copy->OptionsDB().Include(edgoLoadAllRecords));
    copy->SetDataSource(source);
    int reloads = 0;
    copy->OnReloadGroupList = [&](TObject*) { ++reloads; };
    copy->AssignColumns(grid);
    ASSERT_EQ(copy->ColumnCount(), 4);
    ASSERT_EQ(copy->GroupColumnCount(), 2);
    EXPECT_EQ(copy->GroupColumns()[0]->Name(), "colActive");
    EXPECT_EQ(copy->GroupColumns()[1]->Name(), "colName");
    EXPECT_EQ(copy->GroupColumns()[0]->FieldName(), "Active");
    EXPECT_EQ(reloads, 1);  // the groups are built once, when the lock ends
    // The same group rows, with the same rows below them, as in the source grid.
    auto tree = [](TCustomvxDBGrid* g) {
        std::string s;
        for (int i = 0; i < g->GetCount(); ++i) {
            TvxTreeListNode* row = g->GetItem(i);
            s += g->GetNodeString(row, 0) + " {";
            for (int j = 0; j < row->Count(); ++j)
                s += " " + g->GetNodeString(row->Items(j), 0) + " " + std::to_string(row->Items(j)->Count());
            s += " } ";
        }
        return s;
    };
    EXPECT_EQ(tree(copy), tree(grid));
    EXPECT_EQ(tree(copy), "Active : Wahr  { Name : B  2 } Active : Falsch  { Name : A  1 } ");
    // A grid of another kind has no groups to copy.
    TCustomvxTreeListControl plain(nullptr);
    AddColumns(plain, 2);
    reloads = 0;
    copy->AssignColumns(&plain);
    EXPECT_EQ(copy->ColumnCount(), 2);
    EXPECT_EQ(copy->GroupColumnCount(), 0);
    EXPECT_EQ(reloads, 1);

    // Columns regrouped inside a columns update are rebuilt once at its end.
    reloads = 0;
    grid->OnReloadGroupList = [&](TObject*) { ++reloads; };
    grid->BeginColumnsUpdate();
    active->SetGroupIndex(-1);
    name->SetGroupIndex(-1);
    amount->SetGroupIndex(0);
    EXPECT_EQ(reloads, 0);
    EXPECT_EQ(grid->GroupRebuildLock(), 1);
    grid->EndColumnsUpdate();
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(grid->GroupRebuildLock(), 0);
    ASSERT_EQ(grid->GroupColumnCount(), 1);
    EXPECT_EQ(grid->GetCount(), 3);  // amounts 1, 2, 3
}

}  // namespace
