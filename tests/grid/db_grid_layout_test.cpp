// The grid's layout keys: group indexes and the four view switches go through an INI file
// and come back into a grid with other settings; the filter goes through the registry only.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "controls/registry.h"
#include "grid/columns/vx_db_grid_column.h"
#include "grid/filter/vx_criteria_operators.h"
#include "grid/filter/vx_db_grid_filter.h"
#include "grid/filter/vx_db_grid_filter_popup.h"
#include "platform/forms/screen.h"
#include "platform/rtl/exception.h"
#include "tests/grid/grid_test_form.h"
#include "tests/support/scoped_config_home.h"
#include "tests/support/temp_folder.h"

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
    const TempFolder folder("tovak-grid-layout");
    const auto path = folder.Path() / "layout.ini";
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
    EXPECT_EQ(name->GroupIndex(), 0);
    EXPECT_EQ(amount->GroupIndex(), 1);
    EXPECT_EQ(id->GroupIndex(), -1);
    EXPECT_EQ(grid->GroupColumnCount(), 2);
    EXPECT_TRUE(grid->ShowGroupPanel());
    EXPECT_TRUE(grid->ShowNewItemRow());
    EXPECT_TRUE(grid->ShowRowFooter());
    EXPECT_TRUE(grid->ShowSummaryFooter());
}

// Levels that each assignment would shift if they went in column order come back as saved,
// with the columns' sort marks and sort order.
TEST_F(DBGridLayout, GroupLevelsAndTheirSortingComeBackAsSaved) {
    Col("ID");
    TvxDBGridColumn* name = Col("Name");
    TvxDBGridColumn* amount = Col("Amount");
    TvxDBGridColumn* active = Col("Active");
    table->Open();
    AddRecord(1, "Anna", true, 5);
    AddRecord(2, "Bert", false, 15);
    LoadAll();
    TvxDBGridOptionsBehavior behavior = grid->OptionsBehavior();
    behavior.Include(edgoMultiSort);
    grid->SetOptionsBehavior(behavior);
    name->SetSorted(csDown);
    active->SetGroupIndex(0);
    amount->SetGroupIndex(1);
    name->SetGroupIndex(2);
    ASSERT_EQ(grid->GroupColumns(), (std::vector<TvxDBTreeListColumn*>{active, amount, name}));
    auto state = [&] {
        std::vector<std::string> s;
        for (int i = 0; i < grid->ColumnCount(); ++i) {
            TvxTreeListColumn* c = grid->Columns(i);
            s.push_back(c->Name() + " group " + std::to_string(grid->GetColumn(i)->GroupIndex()) + " sort " +
                        std::to_string(c->Sorted()) + " order " + std::to_string(c->GetSortedOrder()) +
                        (c->Visible() ? " shown" : " hidden"));
        }
        return s;
    };
    const std::vector<std::string> saved = state();
    const TempFolder folder("tovak-grid-levels");
    const auto path = folder.Path() / "layout.ini";
    grid->SaveToIniFile(path.string());

    name->SetGroupIndex(0);
    amount->SetGroupIndex(-1);
    grid->LoadFromIniFile(path.string());
    EXPECT_EQ(state(), saved);
    EXPECT_EQ(grid->GroupColumns(), (std::vector<TvxDBTreeListColumn*>{active, amount, name}));

    // Into a grid that groups nothing.
    grid->ClearGrouping();
    grid->LoadFromIniFile(path.string());
    EXPECT_EQ(state(), saved);
}

// Clicks on the headers: with multi-sort, Shift+click adds the column after those sorted and a
// second one turns it where it stands, a plain click sorts by its column alone, Ctrl+click
// takes its sort away; the layout keeps the order the columns were added in. Without
// multi-sort Shift changes nothing.
TEST_F(DBGridLayout, ShiftClicksAddColumnsToTheSortInTheOrderTheLayoutKeeps) {
    Col("ID");
    TvxDBGridColumn* name = Col("Name");
    TvxDBGridColumn* amount = Col("Amount");
    TvxDBGridColumn* active = Col("Active");
    table->Open();
    AddRecord(1, "Bert", true, 2);
    AddRecord(2, "Anna", false, 2);
    AddRecord(3, "Bert", false, 1);
    AddRecord(4, "Anna", true, 1);
    AddRecord(5, "Anna", false, 2);
    LoadAll();
    auto sorting = [&] {
        std::string text;
        for (int i = 0; i < grid->SortedColumnCount(); ++i) {
            TvxTreeListColumn* c = grid->SortedColumns(i);
            text += (text.empty() ? "" : ", ") + c->Caption() + (c->Sorted() == csDown ? " down" : " up") + " at " +
                    std::to_string(c->GetSortedOrder());
        }
        return text;
    };
    const TempFolder folder("tovak-grid-sort-clicks");
    const auto path = folder.Path() / "layout.ini";
    for (const bool multiSort : {true, false}) {
        SCOPED_TRACE(multiSort ? "multi-sort" : "one sorted column");
        TvxDBGridOptionsBehavior behavior = grid->OptionsBehavior();
        if (multiSort)
            behavior.Include(edgoMultiSort);
        else
            behavior.Exclude(edgoMultiSort);
        grid->SetOptionsBehavior(behavior);
        grid->ClearSortedColumns();
        ClickHeader(name);
        ClickHeader(amount, {ssShift});
        EXPECT_EQ(sorting(), multiSort ? "Name up at 0, Amount up at 1" : "Amount up at 0");
        ClickHeader(amount, {ssShift});
        ClickHeader(active, {ssShift});
        if (!multiSort) {
            EXPECT_EQ(sorting(), "Active up at 0");
            continue;
        }
        EXPECT_EQ(sorting(), "Name up at 0, Amount down at 1, Active up at 2");
        EXPECT_EQ(DataRowIds(), (std::vector<int>{2, 5, 4, 1, 3}));
        grid->SaveToIniFile(path.string());
        std::stringstream text;
        text << std::ifstream(path).rdbuf();
        EXPECT_NE(text.str().find("SortedOrder=2"), std::string::npos);
        ClickHeader(name, {ssShift, ssCtrl});
        EXPECT_EQ(sorting(), "Amount down at 0, Active up at 1");
        ClickHeader(amount);
        EXPECT_EQ(sorting(), "Amount up at 0");
        EXPECT_EQ(DataRowIds(), (std::vector<int>{3, 4, 1, 2, 5}));
        grid->LoadFromIniFile(path.string());
        EXPECT_EQ(sorting(), "Name up at 0, Amount down at 1, Active up at 2");
        EXPECT_EQ(DataRowIds(), (std::vector<int>{2, 5, 4, 1, 3}));
    }
}

// A level inserted in front of others leaves the sort order of the group columns (the order
// they were grouped in) apart from their levels; both come back, with or without multi-sort.
TEST_F(DBGridLayout, ALevelInsertedInFrontKeepsEachColumnsSortOrder) {
    Col("ID");
    std::vector<TvxDBGridColumn*> columns{Col("Name"), Col("Amount"), Col("Active"), Col("Day")};
    table->Open();
    AddRecord(1, "Anna", true, 5);
    AddRecord(2, "Bert", false, 15);
    LoadAll();
    auto state = [&] {
        std::vector<std::string> s;
        for (int i = 0; i < grid->ColumnCount(); ++i) {
            TvxTreeListColumn* c = grid->Columns(i);
            s.push_back(c->Name() + " group " + std::to_string(grid->GetColumn(i)->GroupIndex()) + " sort " +
                        std::to_string(c->Sorted()) + " order " + std::to_string(c->GetSortedOrder()));
        }
        return s;
    };
    const TempFolder folder("tovak-grid-inserted-level");
    const auto path = folder.Path() / "layout.ini";
    for (const bool multiSort : {false, true})
        for (const size_t levels : {3u, 4u}) {
            SCOPED_TRACE(std::string(multiSort ? "multi-sort, " : "") + std::to_string(levels) + " levels");
            grid->ClearGrouping();
            TvxDBGridOptionsBehavior behavior = grid->OptionsBehavior();
            if (multiSort)
                behavior.Include(edgoMultiSort);
            else
                behavior.Exclude(edgoMultiSort);
            grid->SetOptionsBehavior(behavior);
            // Grouped one after another, the second sorted downwards; the last goes in front.
            for (size_t i = 0; i + 1 < levels; ++i) columns[i]->SetGroupIndex(static_cast<int>(i));
            columns[1]->SetSorted(csDown);
            columns[levels - 1]->SetGroupIndex(0);
            ASSERT_EQ(columns[levels - 1]->GetSortedOrder(), static_cast<int>(levels) - 1);
            const std::vector<std::string> saved = state();
            grid->SaveToIniFile(path.string());

            // Into the grid ungrouped, and grouped otherwise.
            grid->ClearGrouping();
            grid->LoadFromIniFile(path.string());
            EXPECT_EQ(state(), saved);
            columns[0]->SetGroupIndex(-1);
            columns[2]->SetGroupIndex(0);
            columns[1]->SetSorted(csUp);
            grid->LoadFromIniFile(path.string());
            EXPECT_EQ(state(), saved);
        }
}

}  // namespace

namespace {

// The filter in the stored layout: a registry value only.
class DBGridFilterLayout : public GridOnForm {
protected:
    void SetUp() override {
        GridOnForm::SetUp();
        id = Col("ID");
        name = Col("Name");
        amount = Col("Amount");
        table->Open();
        AddRecord(1, "Anna", false, 5);
        AddRecord(2, "Bert", true, 15);
        AddRecord(3, "anna", true, 25);
        AddRecord(4, "Cora", false, 35);
        AddRecord(5, "Dora", true, 45);
        LoadAll();
    }
    // Case-insensitive: (Name = ANNA or Amount > 20) and not (ID >= 4 and Amount > 40) and
    // Name not blank, which leaves 1, 3 and 4.
    void SetOddFilter() {
        TvxDBGridFilter* f = grid->Filter();
        f->SetActive(true);
        f->SetCaseInsensitive(true);
        f->SetDropDownCount(20);
        f->SetDropDownWidth(150);
        f->SetFilterStatus(fsAlways);
        f->SetMaxDropDownCount(50);
        TvxDBGridCriteria* c = f->Criteria();
        TvxCriteriaItemList* either = c->AddList(nullptr, true);
        c->AddItem(either, name, vxoEqual, Variant("ANNA"), "ANNA");
        c->AddItem(either, amount, vxoGreater, Variant(20), "20");
        TvxCriteriaItemList* both = c->AddList(nullptr, false);
        both->SetNot(true);
        c->AddItem(both, id, vxoGreaterEqual, Variant(4), "4");
        c->AddItem(both, amount, vxoGreater, Variant(40.0), "40");
        c->AddItem(nullptr, name, vxoIsNull, Null(), "")->SetNot(true);
        grid->FilterChanged();
    }
    void ResetFilter() {
        TvxDBGridFilter* f = grid->Filter();
        f->SetActive(false);
        f->SetCaseInsensitive(false);
        f->SetDropDownCount(12);
        f->SetDropDownWidth(0);
        f->SetFilterStatus(fsAuto);
        f->SetMaxDropDownCount(1000);
        f->ClearCriteria();
    }
    std::string FilterText() { return grid->Filter()->Criteria()->GetFilterText(true); }
    std::string StoredFilter() {
        TRegistry reg;
        if (!reg.OpenKey("\\" + key, false)) return {};
        std::string bytes(static_cast<size_t>(std::max(0, reg.GetDataSize("Filter"))), '\0');
        reg.ReadBinaryData("Filter", bytes.data(), static_cast<int>(bytes.size()));
        return bytes;
    }

    ScopedConfigHome home{"tovak-grid-filter-layout"};
    const std::string key = "Software\\Tovak\\FilterGrid";
    TvxDBGridColumn* id = nullptr;
    TvxDBGridColumn* name = nullptr;
    TvxDBGridColumn* amount = nullptr;
};

TEST_F(DBGridFilterLayout, TheFilterRoundTripsThroughTheRegistry) {
    SetOddFilter();
    const std::string text = FilterText();
    ASSERT_EQ(DataRowIds(), (std::vector<int>{1, 3, 4}));
    grid->SaveToRegistry(key);
    EXPECT_EQ(StoredFilter().substr(0, 4), "TPF0");

    ResetFilter();
    ASSERT_EQ(DataRowIds().size(), 5u);
    grid->LoadFromRegistry(key);
    TvxDBGridFilter* f = grid->Filter();
    EXPECT_TRUE(f->Active());
    EXPECT_TRUE(f->CaseInsensitive());
    EXPECT_FALSE(f->AutoDataSetFilter());
    EXPECT_EQ(f->DropDownCount(), 20);
    EXPECT_EQ(f->DropDownWidth(), 150);
    EXPECT_EQ(f->FilterStatus(), fsAlways);
    EXPECT_EQ(f->MaxDropDownCount(), 50);
    EXPECT_EQ(FilterText(), text);
    EXPECT_EQ(f->Criteria()->FindItem(amount)->Column(), amount);
    EXPECT_EQ(DataRowIds(), (std::vector<int>{1, 3, 4}));
}

TEST_F(DBGridFilterLayout, TheValueIsTheWrappersComponentStreamWithoutDefaults) {
    grid->Filter()->SetDropDownCount(300);
    grid->Filter()->SetFilterStatus(fsNone);
    grid->SaveToRegistry(key);
    using namespace std::string_literals;
    EXPECT_EQ(StoredFilter(),
              "TPF0\x0eTFilterWrapper\x00"s
              "\x14"s
              "Filter.DropDownCount\x03\x2c\x01"s
              "\x13"s
              "Filter.FilterStatus\x07\x06"
              "fsNone"s
              "\x0f"s
              "Filter.Criteria\x0a\x04\x00\x00\x00\x00\x00\x00\x00"s
              "\x00\x00"s);
}

TEST_F(DBGridFilterLayout, IniFilesNeitherKeepNorRestoreTheFilter) {
    SetOddFilter();
    const auto path = home.Path() / "layout.ini";
    grid->SaveToIniFile(path.string());
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    EXPECT_NE(text.str().find("ShowGroupPanel"), std::string::npos);
    EXPECT_EQ(text.str().find("Filter"), std::string::npos);

    // Not even a hand-written value is read.
    std::ofstream(path, std::ios::app) << "Filter=54504630\r\n";
    ResetFilter();
    grid->LoadFromIniFile(path.string());
    EXPECT_TRUE(FilterText().empty());
    EXPECT_FALSE(grid->Filter()->Active());
}

TEST_F(DBGridFilterLayout, AMalformedValueRaisesAndTheRestOfTheLayoutStillLoads) {
    SetOddFilter();
    name->SetGroupIndex(0);
    amount->SetWidth(123);
    SwitchGroupPanel(true);
    grid->SaveToRegistry(key);
    const std::string good = StoredFilter();
    const size_t criteria = good.find("Filter.Criteria") + 15 + 1 + 4;
    std::string hugeCount = good;
    hugeCount.replace(criteria, 4, "\xff\xff\xff\x7f");
    std::string otherClass = good;
    otherClass[5] = 'X';
    // The wrapper is whole but its criteria stop inside the first condition.
    using namespace std::string_literals;
    const std::string cutCriteria = good.substr(0, criteria - 4) + "\x0e\x00\x00\x00"s + good.substr(criteria, 14) +
                                    "\x00\x00"s;

    auto refused = [&](const std::function<void(TRegistry&)>& Store) {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\" + key, false));
        Store(reg);
        ResetFilter();
        grid->Filter()->SetFilterValue(id, Variant(2), "2");
        name->SetGroupIndex(-1);
        amount->SetWidth(50);
        SwitchGroupPanel(false);
        try {
            grid->LoadFromRegistry(key);
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), "Stream-Read-Fehler");
        }
        EXPECT_TRUE(grid->ShowGroupPanel());
        EXPECT_EQ(name->GroupIndex(), 0);
        EXPECT_EQ(amount->Width(), 123);
        EXPECT_EQ(FilterText(), "(ID = 2)");
        EXPECT_FALSE(grid->Filter()->CaseInsensitive());
        EXPECT_EQ(DataRowIds(), std::vector<int>{2});
    };
    for (const std::string& bad : {good.substr(0, good.size() / 2), hugeCount, otherClass, cutCriteria})
        refused([&](TRegistry& reg) { reg.WriteBinaryData("Filter", bad.data(), static_cast<int>(bad.size())); });
    refused([](TRegistry& reg) { reg.WriteString("Filter", "TPF0"); });

    // Loaded with the form, the fault is reported and the form comes up.
    std::string reported;
    EnsureApplication()->OnException = [&](TObject*, const std::exception& e) { reported = e.what(); };
    grid->SetRegistryPath(key);
    TvxDBGridOptionsBehavior behavior = grid->OptionsBehavior();
    behavior.Include(edgoStoreToRegistry);
    grid->SetOptionsBehavior(behavior);
    grid->Loaded();
    EnsureApplication()->OnException = nullptr;
    EXPECT_EQ(reported, "Stream-Read-Fehler");
    EXPECT_EQ(FilterText(), "(ID = 2)");
}

TEST_F(DBGridFilterLayout, StoredDropDownSizesStayOnTheScreen) {
    grid->Filter()->SetActive(true);
    grid->Filter()->SetDropDownWidth(INT32_MAX);
    grid->Filter()->SetDropDownCount(0);
    grid->Filter()->SetMaxDropDownCount(0);
    // More values than rows fit on the screen.
    table->DisableControls();
    for (int i = 6; i < 6 + EnsureScreen()->Height() / 8; ++i) {
        table->Append();
        table->FieldByName("ID")->SetAsInteger(i);
        table->Post();
    }
    table->EnableControls();
    grid->SaveToRegistry(key);
    ResetFilter();
    grid->LoadFromRegistry(key);
    ASSERT_EQ(grid->Filter()->DropDownWidth(), INT32_MAX);
    grid->ShowFilterDropDown(id->GetIndex());
    driver->Pump();
    TRect r;
    GetWindowRect(grid->FilterDropDown()->Handle(), &r);
    EXPECT_LE(r.Width(), EnsureScreen()->Width());
    EXPECT_LE(r.Height(), EnsureScreen()->Height());
}

}  // namespace
