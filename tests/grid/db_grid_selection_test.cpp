// The selection by records against what changes the rows: reloads keep exactly the records
// that were selected (none, some, all; by bookmarks and by keys; flat and grouped; in a table
// that moves a record as it is edited), deleting the selection deletes exactly its records,
// and a row freed while selected leaves its record selected; a walk over the table that raises
// gives the table back. Selecting itself: a range over rows shown in another order than the
// records', and rows selected by code away from the focused one, select exactly their records,
// in the selection's own order, and tell the handlers what selecting row by row tells them.

#include <algorithm>
#include <fstream>
#include <functional>
#include <set>

#include "grid/columns/vx_db_grid_column.h"
#include "grid/filter/vx_criteria_operators.h"
#include "platform/classes/string_list.h"
#include "platform/gdi/system_metrics.h"
#include "platform/win/input.h"
#include "platform/win/virtual_keys.h"
#include "tests/grid/grid_table_check.h"
#include "tests/grid/grid_test_form.h"
#include "tests/support/temp_folder.h"

namespace {

class DBGridSelection : public GridOnForm {
protected:
    void SetUp() override {
        GridOnForm::SetUp();
        Col("ID");
        name = Col("Name");
        active = Col("Active");
        amount = Col("Amount");
        table->Open();
        table->DisableControls();
        Fill();
        table->EnableControls();
        table->First();
        LoadAll();
        TvxDBGridOptions options = grid->GridOptions();
        options.Include(egoMultiSelect);
        grid->SetGridOptions(options);
    }
    // Records 1 .. 40, every third one Active, Amount its number.
    void Fill() {
        for (int i = 1; i <= 40; ++i) {
            table->Append();
            table->FieldByName("ID")->SetAsInteger(i);
            table->FieldByName("Name")->SetAsString("n" + std::to_string(i));
            table->FieldByName("Active")->SetAsBoolean(i % 3 == 0);
            table->FieldByName("Amount")->SetAsFloat(i);
            table->Post();
        }
    }
    // The forty records again, ungrouped, for the next round of a test.
    void Refill() {
        table->DisableControls();
        while (!table->IsEmpty()) table->Delete();
        Fill();
        table->EnableControls();
        active->SetGroupIndex(-1);
    }
    static int Id(TvxTreeListNode* n) { return NodeAs<TvxDBGridNode>(n)->KeyValue.AsInteger(); }
    std::vector<TvxTreeListNode*> DataRows() {
        std::vector<TvxTreeListNode*> rows;
        for (TvxTreeListNode* n = grid->GetFirstNode(); n; n = n->GetNext())
            if (n->Count() == 0) rows.push_back(n);
        return rows;
    }
    // Selects the rows of the records, focusing each; all of them with one range over every
    // row shown.
    void Select(const std::set<int>& ids) {
        grid->FullExpand();
        grid->ClearSelection();
        const std::vector<TvxTreeListNode*> rows = DataRows();
        if (ids.size() == rows.size()) {
            grid->SelectRange(rows.front(), rows.back());
            return;
        }
        for (TvxTreeListNode* row : rows)
            if (ids.count(Id(row))) {
                row->SetFocused(true);
                row->SetSelected(true);
            }
    }
    // The selected records, each selected once and by its row, and no other row selected.
    std::set<int> Selected() {
        std::set<int> ids;
        for (int i = 0; i < grid->GetSelectedCount(); ++i) {
            TvxTreeListNode* row = grid->GetSelectedItem(i);
            EXPECT_NE(row, nullptr) << i;
            if (row) {
                EXPECT_TRUE(ids.insert(Id(row)).second) << Id(row);
            }
        }
        for (TvxTreeListNode* row : DataRows()) EXPECT_EQ(row->Selected(), ids.count(Id(row)) > 0) << Id(row);
        return ids;
    }
    std::set<int> TableIds() {
        std::set<int> ids;
        table->DisableControls();
        for (table->First(); !table->Eof(); table->Next()) ids.insert(table->FieldByName("ID")->AsInteger());
        table->EnableControls();
        return ids;
    }
    std::set<int> RowIds() {
        std::set<int> ids;
        for (TvxTreeListNode* row : DataRows()) ids.insert(Id(row));
        return ids;
    }
    static std::set<int> All() {
        std::set<int> all;
        for (int i = 1; i <= 40; ++i) all.insert(i);
        return all;
    }
    void Edit(int id, const char* field, const Variant& value) {
        table->Locate("ID", Variant(id), {});
        table->Edit();
        table->FieldByName(field)->SetAsVariant(value);
        table->Post();
    }

    // What selecting tells the handlers: for each row OnCanNodeSelected is asked about, its
    // ID (0 for a group row), the selected count then and, with readLast, the last entry of
    // the selection then (its ID, -1 when none); the count changes and focused-record changes
    // announced.
    struct Heard {
        std::vector<int> asked, countWhenAsked, lastWhenAsked;
        int countChanges = 0;
        int recordChanges = 0;
        bool readLast = true;
    };
    static int RowId(TvxTreeListNode* n) { return n->Count() > 0 ? 0 : Id(n); }
    // Listens from now on; Allow refuses the rows it answers False for.
    void Listen(Heard& heard, std::function<bool(int)> allow = nullptr) {
        grid->OnCanNodeSelected = [this, &heard, allow](TObject*, TvxTreeListNode* node, bool& Allow) {
            heard.asked.push_back(RowId(node));
            const int count = grid->GetSelectedCount();
            heard.countWhenAsked.push_back(count);
            if (heard.readLast) {
                TvxTreeListNode* last = count > 0 ? grid->GetSelectedItem(count - 1) : nullptr;
                heard.lastWhenAsked.push_back(last ? RowId(last) : -1);
            }
            if (allow) Allow = allow(RowId(node));
        };
        grid->OnSelectedCountChange = [&heard](TObject*) { ++heard.countChanges; };
        grid->OnChangeNodeEx = [&heard](TObject*) { ++heard.recordChanges; };
    }
    // The rows shown, in display order, as RowId gives them.
    std::vector<int> Shown() {
        std::vector<int> ids;
        for (int i = 0; i < grid->GetAbsoluteCount(); ++i) ids.push_back(RowId(grid->GetAbsoluteNode(i)));
        return ids;
    }
    TvxTreeListNode* Row(int id) {
        for (TvxTreeListNode* row : DataRows())
            if (Id(row) == id) return row;
        return nullptr;
    }
    // The selection's entries in their order, as RowId gives them.
    std::vector<int> Entries() {
        std::vector<int> ids;
        for (int i = 0; i < grid->GetSelectedCount(); ++i) {
            TvxTreeListNode* n = grid->GetSelectedItem(i);
            ids.push_back(n ? RowId(n) : -1);
        }
        return ids;
    }
    int CurrentId() { return table->FieldByName("ID")->AsInteger(); }

    TvxDBGridColumn* name = nullptr;
    TvxDBGridColumn* active = nullptr;
    TvxDBGridColumn* amount = nullptr;
};

TEST_F(DBGridSelection, EveryShareOfTheSelectionOutlivesReloadsAsItWas) {
    for (bool bookmarks : {true, false})
        for (bool grouped : {false, true})
            for (const std::set<int>& share : {std::set<int>{}, std::set<int>{3, 7, 20, 33}, All()}) {
                SCOPED_TRACE(std::string(bookmarks ? "bookmarks" : "keys") + (grouped ? ", grouped" : ", flat") + ", " +
                             std::to_string(share.size()) + " selected");
                grid->SetUseBookmarks(bookmarks);
                active->SetGroupIndex(grouped ? 0 : -1);
                grid->FullExpand();
                Select(share);
                ASSERT_EQ(Selected(), share);
                table->Locate("ID", Variant(20), {});
                ASSERT_EQ(Id(grid->GetFocusedNode()), 20);

                table->Refresh();
                EXPECT_EQ(Selected(), share);
                EXPECT_EQ(Id(grid->GetFocusedNode()), 20);
                Edit(20, "Amount", Variant(99.0));
                EXPECT_EQ(Selected(), share);
                EXPECT_EQ(Id(grid->GetFocusedNode()), 20);
                // A record that changes its group: its row moves and stays selected.
                Edit(3, "Active", Variant(false));
                EXPECT_EQ(Selected(), share);
                Edit(3, "Active", Variant(true));
                Edit(20, "Amount", Variant(20.0));
            }
}

// Sorted by Amount, the table moves a record as it is edited: the bookmarks are then in
// another order than when they were selected. The same when smart refresh refreshes the
// edited row in place, with no reload to sort the list again.
TEST_F(DBGridSelection, ASelectionOutlivesRecordsThatMoveInTheTable) {
    table->SetSortedField("Amount");
    for (bool smart : {false, true}) {
        SCOPED_TRACE(smart ? "smart refresh" : "reloads");
        TvxDBGridOptions options = grid->GridOptions();
        smart ? options.Include(egoSmartRefresh) : options.Exclude(egoSmartRefresh);
        grid->SetGridOptions(options);
        const std::set<int> share{2, 5, 30, 31};
        Select(share);
        ASSERT_EQ(Selected(), share);
        Edit(2, "Amount", Variant(35.5));
        EXPECT_EQ(Selected(), share);
        Edit(31, "Amount", Variant(0.5));
        EXPECT_EQ(Selected(), share);
        // The list in the table's order, as its searches want it.
        const std::vector<TBookmark> bookmarks = grid->SelectedBookmarks();
        for (size_t i = 1; i < bookmarks.size(); ++i)
            EXPECT_LT(table->CompareBookmarks(bookmarks[i - 1], bookmarks[i]), 0) << i;
        // The rows still say whether they are selected, and unselecting one takes its record only.
        TvxTreeListNode* row = nullptr;
        for (TvxTreeListNode* r : DataRows())
            if (Id(r) == 30) row = r;
        ASSERT_NE(row, nullptr);
        row->SetSelected(false);
        EXPECT_EQ(Selected(), (std::set<int>{2, 5, 31}));
        Edit(2, "Amount", Variant(2.0));
        Edit(31, "Amount", Variant(31.0));
    }
}

TEST_F(DBGridSelection, DeletingTheSelectionDeletesItsRecordsAndNoOther) {
    for (bool bookmarks : {true, false})
        for (bool grouped : {false, true}) {
            SCOPED_TRACE(std::string(bookmarks ? "bookmarks" : "keys") + (grouped ? ", grouped" : ", flat"));
            grid->SetUseBookmarks(bookmarks);
            active->SetGroupIndex(grouped ? 0 : -1);
            grid->FullExpand();
            std::set<int> left = TableIds();
            const std::set<int> going{2, 5, 9, 17};
            Select(going);
            EXPECT_EQ(grid->DeleteSelection(), 4);
            for (int id : going) left.erase(id);
            EXPECT_EQ(TableIds(), left);
            EXPECT_EQ(RowIds(), left);
            EXPECT_EQ(grid->GetSelectedCount(), 0);
            ASSERT_NE(grid->GetFocusedNode(), nullptr);
            // Everything a filter shows, selected and deleted: the rows it hides stay.
            grid->Filter()->SetActive(true);
            grid->Filter()->Criteria()->AddItem(nullptr, amount, vxoGreater, Variant(30.0), "30");
            grid->FilterChanged();
            std::set<int> shown = RowIds();
            Select(shown);
            EXPECT_EQ(grid->DeleteSelection(), static_cast<int>(shown.size()));
            for (int id : shown) left.erase(id);
            grid->ClearFilter();
            EXPECT_EQ(TableIds(), left);
            EXPECT_EQ(RowIds(), left);
            // And all of them.
            Select(left);
            EXPECT_EQ(grid->DeleteSelection(), static_cast<int>(left.size()));
            EXPECT_TRUE(table->IsEmpty());
            EXPECT_EQ(grid->GetCount(), 0);
            table->DisableControls();
            Fill();
            table->EnableControls();
        }
}

// Hidden rows leave the selection, whether they are most of it (found in one walk over the
// selection) or a few of a large one (each found by its record).
TEST_F(DBGridSelection, RowsAFilterHidesLeaveTheSelectionAndTheOthersStay) {
    for (bool bookmarks : {true, false})
        for (bool grouped : {false, true})
            for (bool most : {true, false}) {
                SCOPED_TRACE(std::string(bookmarks ? "bookmarks" : "keys") + (grouped ? ", grouped" : ", flat") +
                             (most ? ", most of the selection hidden" : ", a few of it"));
                grid->SetUseBookmarks(bookmarks);
                active->SetGroupIndex(grouped ? 0 : -1);
                std::set<int> share;
                for (int id = 1; id <= 40; id += most ? 2 : 1) share.insert(id);
                Select(share);
                int countChanges = 0;
                grid->OnSelectedCountChange = [&](TObject*) { ++countChanges; };
                grid->Filter()->SetActive(true);
                std::set<int> kept;
                if (most) {
                    // Every row of the Active group goes, and the lower amounts of the other.
                    grid->Filter()->Criteria()->AddItem(nullptr, active, vxoEqual, Variant(false), "False");
                    grid->Filter()->Criteria()->AddItem(nullptr, amount, vxoGreater, Variant(20.0), "20");
                    for (int id : share)
                        if (id % 3 != 0 && id > 20) kept.insert(id);
                } else {
                    grid->Filter()->Criteria()->AddItem(nullptr, amount, vxoGreater, Variant(3.0), "3");
                    kept = share;
                    for (int id : {1, 2, 3}) kept.erase(id);
                }
                grid->FilterChanged();
                EXPECT_EQ(RowIds().size(), most ? 13u : 37u);
                EXPECT_EQ(Selected(), kept);
                for (TvxTreeListNode* hidden : grid->HiddenNodes()) EXPECT_FALSE(hidden->Selected()) << Id(hidden);
                EXPECT_EQ(countChanges, 1);
                grid->OnSelectedCountChange = nullptr;
                grid->ClearFilter();
                EXPECT_EQ(Selected(), kept);
            }
}

// Sorted by Name (n1, n10 .. n19, n2, n20 ..), the rows show in another order than their
// records; grouped by Active as well, the two groups split them again. A range selects its
// rows as selecting them one by one in display order would: OnCanNodeSelected is asked about
// each row in turn and sees the selection grow, a refused row stays out, group rows and data
// rows are not selected together, and the selection keeps its own order (the records', or
// the keys').
TEST_F(DBGridSelection, ARangeOverRowsShownInAnotherOrderSelectsThemAsOneByOne) {
    grid->SetFocus();
    driver->Pump();
    std::set<int> sevenths;
    for (int id = 7; id <= 40; id += 7) sevenths.insert(id);
    for (bool bookmarks : {true, false})
        for (bool grouped : {false, true}) {
            SCOPED_TRACE(std::string(bookmarks ? "bookmarks" : "keys") + (grouped ? ", grouped" : ", flat"));
            grid->SetUseBookmarks(bookmarks);
            active->SetGroupIndex(grouped ? 0 : -1);
            name->SetSorted(csUp);
            grid->FullExpand();
            const std::vector<int> shown = Shown();
            ASSERT_EQ(shown.size(), grouped ? 42u : 40u);
            ASSERT_EQ(std::vector<int>(shown.begin(), shown.begin() + 4),
                      grouped ? (std::vector<int>{0, 12, 15, 18}) : (std::vector<int>{1, 10, 11, 12}));
            const size_t first = grouped ? 1 : 0;  // the first data row
            std::vector<int> ascending;
            for (int id = 1; id <= 40; ++id) ascending.push_back(id);

            // From the first data row to the last row: the row focused by keys (which leave
            // no anchor behind), then Shift+Ctrl+End.
            auto focusFirst = [&](size_t index) {
                driver->PressKey(VK_HOME, {ssCtrl});
                driver->PressKey(VK_DOWN);
                driver->PressKey(VK_UP);
                for (size_t i = 0; i < index; ++i) driver->PressKey(VK_DOWN);
                ASSERT_EQ(RowId(grid->GetFocusedNode()), shown[index]);
            };
            focusFirst(first);
            Heard all;
            Listen(all);
            driver->PressKey(VK_END, {ssCtrl, ssShift});
            EXPECT_EQ(Selected(), All());
            EXPECT_EQ(Entries(), ascending);
            EXPECT_EQ(all.asked, std::vector<int>(shown.begin() + first, shown.end()));
            std::vector<int> counts, lasts;
            std::set<int> sofar;
            for (size_t i = first; i < shown.size(); ++i) {
                counts.push_back(static_cast<int>(sofar.size()));
                lasts.push_back(sofar.empty() ? -1 : *sofar.rbegin());
                if (shown[i] != 0) sofar.insert(shown[i]);
            }
            EXPECT_EQ(all.countWhenAsked, counts);
            EXPECT_EQ(all.lastWhenAsked, lasts);
            EXPECT_EQ(all.countChanges, 1);
            EXPECT_EQ(all.recordChanges, 1);
            EXPECT_EQ(CurrentId(), shown.back());

            // The same with a handler refusing every seventh record (and reading nothing).
            focusFirst(first);
            Heard refusing;
            refusing.readLast = false;
            Listen(refusing, [&](int id) { return !sevenths.count(id); });
            driver->PressKey(VK_END, {ssCtrl, ssShift});
            std::set<int> allowed = All();
            for (int id : sevenths) allowed.erase(id);
            EXPECT_EQ(Selected(), allowed);
            EXPECT_EQ(Entries(), std::vector<int>(allowed.begin(), allowed.end()));
            EXPECT_EQ(refusing.asked, std::vector<int>(shown.begin() + first, shown.end()));
            EXPECT_EQ(refusing.countChanges, 1);

            // A click and a Shift+click: the rows between, and nothing else.
            driver->PressKey(VK_HOME, {ssCtrl});
            const size_t from = first + 2, to = first + 11;
            ClickRow(grid->GetAbsoluteNode(static_cast<int>(from)));
            Heard part;
            Listen(part);
            ClickRow(grid->GetAbsoluteNode(static_cast<int>(to)), {ssShift});
            std::set<int> between;
            for (size_t i = from; i <= to; ++i)
                if (shown[i] != 0) between.insert(shown[i]);
            EXPECT_EQ(Selected(), between);
            EXPECT_EQ(Entries(), std::vector<int>(between.begin(), between.end()));
            EXPECT_EQ(part.countChanges, 1);
            EXPECT_EQ(part.recordChanges, 1);
            EXPECT_EQ(CurrentId(), shown[to]);

            // Grouped, a range from the first group row: a group row stands for its first
            // record, by bookmark as by key, so both group rows are selected and the data rows
            // may not join them.
            if (grouped) {
                focusFirst(0);
                Heard groups;
                groups.readLast = false;
                Listen(groups);
                driver->PressKey(VK_END, {ssCtrl, ssShift});
                EXPECT_EQ(groups.asked, shown);
                EXPECT_EQ(Entries(), (std::vector<int>{0, 0}));
                for (TvxTreeListNode* row : DataRows()) EXPECT_FALSE(row->Selected()) << Id(row);
                EXPECT_EQ(groups.countChanges, 1);
            }
            grid->OnCanNodeSelected = nullptr;
            grid->OnSelectedCountChange = nullptr;
            grid->OnChangeNodeEx = nullptr;
            name->SetSorted(csNone);
        }
}

// Rows selected by code, one call at a time, away from the focused row: each selects its own
// record, the focused row and the current record stay, and what uses the selection (an
// export of the selected rows, deleting them) takes exactly those records; also after the
// table changed, with rows the filter hides, and in a table sorted by another field.
TEST_F(DBGridSelection, RowsSelectedByCodeAwayFromTheFocusAreTheirRecords) {
    TempFolder folder;
    auto exported = [&] {
        const std::string file = folder.File("selected.txt");
        grid->SaveToText(file, false, ";", "", "");
        std::ifstream in(file);
        std::set<int> ids;
        std::string line;
        for (int n = 0; std::getline(in, line); ++n)
            if (n > 0 && !line.empty() && line[0] >= '0' && line[0] <= '9') ids.insert(std::stoi(line));
        return ids;
    };
    for (bool grouped : {false, true})
        for (bool sortedTable : {false, true}) {
            SCOPED_TRACE(std::string(grouped ? "grouped" : "flat") + (sortedTable ? ", table sorted" : ""));
            table->SetSortedField(sortedTable ? "Amount" : "");
            grid->SetUseBookmarks(true);
            active->SetGroupIndex(grouped ? 0 : -1);
            name->SetSorted(csUp);
            grid->FullExpand();
            grid->ClearSelection();
            Row(20)->SetFocused(true);
            ASSERT_EQ(CurrentId(), 20);
            Heard heard;
            Listen(heard);
            const std::vector<int> picked{2, 37, 25, 9, 38, 17};
            for (int id : picked) Row(id)->SetSelected(true);
            std::set<int> want(picked.begin(), picked.end());
            EXPECT_EQ(Selected(), want);
            EXPECT_EQ(Entries(), std::vector<int>(want.begin(), want.end()));
            EXPECT_EQ(heard.asked, picked);
            EXPECT_EQ(heard.countWhenAsked, (std::vector<int>{0, 1, 2, 3, 4, 5}));
            EXPECT_EQ(heard.countChanges, 6);
            EXPECT_EQ(heard.recordChanges, 0);
            EXPECT_EQ(CurrentId(), 20);
            EXPECT_EQ(Id(grid->GetFocusedNode()), 20);

            // A record moved in the table and one appended: rows selected by code still
            // find their own records.
            Edit(9, "Amount", Variant(39.5));  // sorted by Amount, 9 now comes after 39
            table->Append();
            table->FieldByName("ID")->SetAsInteger(41);
            table->FieldByName("Name")->SetAsString("n41");
            table->FieldByName("Amount")->SetAsFloat(0.5);
            table->Post();
            grid->FullExpand();
            Row(20)->SetFocused(true);
            for (int id : {41, 10, 40}) Row(id)->SetSelected(true);
            for (int id : {41, 10, 40}) want.insert(id);
            EXPECT_EQ(Selected(), want);
            // In the table's order: by Amount, 41 first and 9 after 38; else by record.
            std::vector<int> order(want.begin(), want.end());
            if (sortedTable) order = {41, 2, 10, 17, 25, 37, 38, 9, 40};
            EXPECT_EQ(Entries(), order);

            // Rows hidden by the filter (and out of the selection with it) still count among
            // the records.
            grid->Filter()->SetActive(true);
            grid->Filter()->Criteria()->AddItem(nullptr, amount, vxoGreater, Variant(20.0), "20");
            grid->FilterChanged();
            grid->FullExpand();
            Row(30)->SetFocused(true);
            for (int id : {23, 35}) Row(id)->SetSelected(true);
            grid->ClearFilter();
            want = {9, 23, 25, 35, 37, 38, 40};
            EXPECT_EQ(Selected(), want);

            EXPECT_EQ(exported(), want);
            std::set<int> left = TableIds();
            EXPECT_EQ(grid->DeleteSelection(), static_cast<int>(want.size()));
            for (int id : want) left.erase(id);
            EXPECT_EQ(TableIds(), left);
            EXPECT_EQ(RowIds(), left);

            grid->OnCanNodeSelected = nullptr;
            grid->OnSelectedCountChange = nullptr;
            grid->OnChangeNodeEx = nullptr;
            name->SetSorted(csNone);
            table->SetSortedField("");
            table->DisableControls();
            while (!table->IsEmpty()) {
                table->First();
                table->Delete();
            }
            Fill();
            table->EnableControls();
        }
}

// A selected group row is a group row in the selection, never a record to delete. Selected
// by a range, by Ctrl+clicks or by code, with a data row focused: Ctrl+Del and DeleteSelection
// delete nothing and the selection stays, and copies and exports of the selection keep the
// group rows. A table change reloads the rows: each group row stays selected while its group
// exists, named by its first record as it is then. By bookmarks and by keys.
TEST_F(DBGridSelection, SelectedGroupRowsAreNoRecordsToDeleteAndOutliveReloads) {
    TvxDBGridOptions options = grid->GridOptions();
    options.Exclude(egoConfirmDelete);
    grid->SetGridOptions(options);
    TempFolder folder;
    // The lines of the selection's text export, its header left out.
    auto exported = [&] {
        const std::string file = folder.File("selected.txt");
        grid->SaveToText(file, false, ";", "", "");
        std::ifstream in(file);
        std::vector<std::string> lines;
        std::string line;
        for (int n = 0; std::getline(in, line); ++n) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (n > 0 && !line.empty()) lines.push_back(line);
        }
        return lines;
    };
    for (bool bookmarks : {true, false})
        for (const char* way : {"a range", "Ctrl+clicks", "code"}) {
            SCOPED_TRACE(std::string(bookmarks ? "bookmarks, " : "keys, ") + way);
            grid->SetUseBookmarks(bookmarks);
            active->SetGroupIndex(0);
            grid->FullExpand();
            grid->SetFocus();
            grid->ClearSelection();
            // True (records 3, 6, ...) and False (1, 2, 4, ...).
            TvxTreeListNode* yes = grid->GetItem(0);
            TvxTreeListNode* no = grid->GetItem(1);
            ASSERT_EQ(Id(no->Items(0)), 1);
            if (way[0] == 'a') {
                driver->PressKey(VK_HOME, {ssCtrl});
                driver->PressKey(VK_END, {ssCtrl, ssShift});
            } else if (way[0] == 'C') {
                ClickRow(yes, {ssCtrl});
                ClickRow(no, {ssCtrl});
            } else {
                yes->SetSelected(true);
                no->SetSelected(true);
            }
            ASSERT_EQ(Entries(), (std::vector<int>{0, 0}));
            driver->PressKey(VK_END, {ssCtrl});
            ASSERT_EQ(grid->GetFocusedNode(), Row(40));
            const std::set<int> all = All();
            driver->PressKey(VK_DELETE, {ssCtrl});
            EXPECT_EQ(TableIds(), all);
            EXPECT_EQ(Entries(), (std::vector<int>{0, 0}));
            EXPECT_EQ(grid->DeleteSelection(), 0);
            EXPECT_EQ(TableIds(), all);
            EXPECT_TRUE(no->Selected());
            EXPECT_TRUE(yes->Selected());
            ExpectGridAgreesWithTable(grid, table);
            // Copies and exports keep them.
            TStringList copied;
            grid->SaveSelectedToStrings(&copied);
            ASSERT_EQ(copied.Count(), 3);
            EXPECT_EQ(copied.Strings(1), yes->Strings(0));
            EXPECT_EQ(copied.Strings(2), no->Strings(0));
            const std::vector<std::string> lines = exported();
            EXPECT_EQ(lines.size(), 42u);
            EXPECT_NE(std::find(lines.begin(), lines.end(), no->Strings(0)), lines.end());

            // A change elsewhere, and one that deletes False's first record: both stay, False
            // named by its new first record.
            Edit(20, "Amount", Variant(99.0));
            EXPECT_EQ(Entries(), (std::vector<int>{0, 0}));
            EXPECT_TRUE(no->Selected());
            ExpectGridAgreesWithTable(grid, table);
            table->Locate("ID", Variant(1), {});
            table->Delete();
            ASSERT_EQ(grid->GetItem(1), no);
            EXPECT_EQ(Entries(), (std::vector<int>{0, 0}));
            EXPECT_TRUE(no->Selected());
            EXPECT_TRUE(yes->Selected());
            ExpectGridAgreesWithTable(grid, table);
            // A change that empties True: its group is gone, and its entry with it.
            ASSERT_EQ(grid->GetItem(0), yes);
            table->DisableControls();
            for (table->First(); !table->Eof(); table->Next())
                if (table->FieldByName("Active")->AsBoolean()) {
                    table->Edit();
                    table->FieldByName("Active")->SetAsBoolean(false);
                    table->Post();
                }
            table->First();
            table->EnableControls();
            ASSERT_EQ(grid->GetCount(), 1);
            EXPECT_EQ(Entries(), std::vector<int>{0});
            EXPECT_TRUE(no->Selected());
            ExpectGridAgreesWithTable(grid, table);

            Refill();
        }
}

// With group rows and data rows selected together (extended multi-select), deleting the
// selection deletes the data rows' records, and the group row stays selected.
TEST_F(DBGridSelection, DeletingASelectionWithAGroupRowDeletesOnlyTheDataRowsRecords) {
    TvxDBGridOptions options = grid->GridOptions();
    options.Include(egoExtMultiSelect);
    grid->SetGridOptions(options);
    for (bool bookmarks : {true, false}) {
        SCOPED_TRACE(bookmarks ? "bookmarks" : "keys");
        grid->SetUseBookmarks(bookmarks);
        active->SetGroupIndex(0);
        grid->FullExpand();
        grid->ClearSelection();
        TvxTreeListNode* yes = grid->GetItem(1);
        yes->SetSelected(true);
        Row(5)->SetSelected(true);
        Row(9)->SetSelected(true);
        ASSERT_EQ(grid->GetSelectedCount(), 3);
        std::set<int> left = All();
        EXPECT_EQ(grid->DeleteSelection(), 2);
        left.erase(5);
        left.erase(9);
        EXPECT_EQ(TableIds(), left);
        EXPECT_EQ(RowIds(), left);
        EXPECT_EQ(Entries(), std::vector<int>{0});
        EXPECT_TRUE(yes->Selected());
        ExpectGridAgreesWithTable(grid, table);
        Refill();
    }
}

// The grid's own walks over the table give it back however they end: a table event raising in
// the middle of one reaches the caller, and the table's controls come back on, the table back on
// its record and the grid following the table.
TEST_F(DBGridSelection, AWalkOverTheTableThatRaisesLeavesTheGridFollowingItsTable) {
    bool armed = false;
    table->AfterScroll = [&armed](TDataSet*) {
        if (!armed) return;
        armed = false;
        throw Exception("scroll refused");
    };
    int next = 41;
    auto raisesOnce = [&](const char* walk, const std::function<void()>& run) {
        SCOPED_TRACE(walk);
        const int current = CurrentId();
        armed = true;
        EXPECT_THROW(run(), Exception);
        EXPECT_FALSE(armed) << "no table event raised in the walk";
        EXPECT_FALSE(table->ControlsDisabled());
        EXPECT_EQ(CurrentId(), current);
        ExpectGridAgreesWithTable(grid, table);
        // A record edited and one appended by code show on the focused row, the current one.
        auto shown = [this] { return grid->GetNodeString(grid->GetFocusedNode(), name->Index()); };
        Edit(current, "Name", Variant("edited " + std::to_string(current)));
        EXPECT_EQ(shown(), "edited " + std::to_string(current));
        table->Append();
        table->FieldByName("ID")->SetAsInteger(next);
        table->FieldByName("Name")->SetAsString("new " + std::to_string(next));
        table->Post();
        EXPECT_EQ(shown(), "new " + std::to_string(next));
        ++next;
        ExpectGridAgreesWithTable(grid, table);
        table->Locate("ID", Variant(current), {});
    };

    // Every record loaded, grouped: the bookmarks of a range's rows, found in one walk, and a
    // group row's first record, reached from the focused row's.
    grid->SetUseBookmarks(true);
    active->SetGroupIndex(0);
    grid->FullExpand();
    Row(5)->SetFocused(true);
    raisesOnce("a range", [&] { grid->SelectRange(Row(7), Row(20)); });
    ASSERT_EQ(Row(5), grid->GetFocusedNode());
    raisesOnce("a group row selected", [&] { grid->GetItem(1)->SetSelected(true); });
    EXPECT_FALSE(grid->GetItem(1)->Selected());

    // The record window: a range of records, and every record copied.
    active->SetGroupIndex(-1);
    TvxDBGridOptionsDB db = grid->OptionsDB();
    db.Exclude(edgoLoadAllRecords);
    grid->SetOptionsDB(db);
    ASSERT_TRUE(grid->IsCursorMode());
    table->Locate("ID", Variant(12), {});
    raisesOnce("a range of records", [&] { grid->SelectCursorRange(false, 4); });
    raisesOnce("every record copied", [&] {
        TStringList lines;
        grid->SaveAllToStrings(&lines);
    });
}

// Selected by bookmarks (true) or by keys.
class DBGridSelectionModes : public DBGridSelection, public ::testing::WithParamInterface<bool> {};

// A group row and its first data row share a record, which the selection names once: with group
// rows and data rows selected together, the one Ctrl+clicked takes the selection from the other,
// which shows unselected, in both modes.
TEST_P(DBGridSelectionModes, AGroupRowAndItsFirstDataRowTakeTheSelectionFromEachOther) {
    TvxDBGridOptions options = grid->GridOptions();
    options.Include(egoExtMultiSelect);
    grid->SetGridOptions(options);
    grid->SetUseBookmarks(GetParam());
    active->SetGroupIndex(0);
    grid->FullExpand();
    grid->SetFocus();
    driver->Pump();
    TvxTreeListNode* group = grid->GetItem(1);
    TvxTreeListNode* first = group->Items(0);
    // The pixels of the row's middle line in the colour of selected rows.
    auto highlighted = [this](TvxTreeListNode* row) {
        const TRect r = grid->GetNodeRowRect(row);
        int n = 0;
        for (int x = r.Left; x < r.Right; ++x)
            n += PixelOf(TPoint{x, (r.Top + r.Bottom) / 2}) == ColorToRGB(grid->HighlightColor());
        return n;
    };
    auto takes = [&](TvxTreeListNode* clicked, TvxTreeListNode* other) {
        ClickRow(clicked, {ssCtrl});
        EXPECT_TRUE(clicked->Selected());
        EXPECT_FALSE(other->Selected());
        EXPECT_EQ(grid->GetSelectedCount(), 1);
        EXPECT_EQ(grid->GetSelectedItem(0), clicked);
        EXPECT_GT(highlighted(clicked), 0);
        EXPECT_EQ(highlighted(other), 0);
        ExpectGridAgreesWithTable(grid, table);
    };
    {
        SCOPED_TRACE("the data row clicked while its group row is selected");
        ClickRow(group);
        ASSERT_TRUE(group->Selected());
        takes(first, group);
    }
    {
        SCOPED_TRACE("the group row clicked while its first data row is selected");
        takes(group, first);
    }
    {
        SCOPED_TRACE("both selected by code, the focus elsewhere");
        ClickRow(grid->GetItem(0));
        grid->ClearSelection();
        group->SetSelected(true);
        EXPECT_GT(highlighted(group), 0);
        first->SetSelected(true);
        EXPECT_TRUE(first->Selected());
        EXPECT_FALSE(group->Selected());
        EXPECT_EQ(grid->GetSelectedItem(0), first);
        EXPECT_EQ(highlighted(group), 0);
    }
    // Deselecting a row acts on that row alone: the other row of its record, selected, keeps
    // the entry, and the handlers hear of no change.
    int countChanges = 0;
    grid->OnSelectedCountChange = [&countChanges](TObject*) { ++countChanges; };
    auto deselectsNothing = [&](TvxTreeListNode* deselected, TvxTreeListNode* selected) {
        ASSERT_TRUE(selected->Selected());
        ASSERT_FALSE(deselected->Selected());
        driver->Pump();
        countChanges = 0;
        deselected->SetSelected(false);
        EXPECT_TRUE(selected->Selected());
        EXPECT_FALSE(deselected->Selected());
        EXPECT_EQ(grid->GetSelectedCount(), 1);
        EXPECT_EQ(grid->GetSelectedItem(0), selected);
        EXPECT_EQ(countChanges, 0);
        EXPECT_GT(highlighted(selected), 0);
        ExpectGridAgreesWithTable(grid, table);
        // The selected one deselected leaves the selection empty.
        selected->SetSelected(false);
        EXPECT_FALSE(selected->Selected());
        EXPECT_EQ(grid->GetSelectedCount(), 0);
        EXPECT_EQ(countChanges, 1);
        EXPECT_EQ(highlighted(selected), 0);
        ExpectGridAgreesWithTable(grid, table);
    };
    {
        SCOPED_TRACE("the first data row deselected by code while its group row is selected");
        grid->ClearSelection();
        group->SetSelected(true);
        deselectsNothing(first, group);
    }
    {
        SCOPED_TRACE("the group row deselected by code while its first data row is selected");
        first->SetSelected(true);
        deselectsNothing(group, first);
    }
    grid->OnSelectedCountChange = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Modes, DBGridSelectionModes, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Bookmarks" : "Keys");
                         });

TEST_F(DBGridSelection, ARowFreedWhileSelectedLeavesItsRecordSelectedWithoutARow) {
    Select({3, 5, 8});
    std::vector<TvxTreeListNode*> rows = DataRows();
    rows[4]->Free();
    ASSERT_EQ(grid->GetSelectedCount(), 3);
    EXPECT_EQ(Id(grid->GetSelectedItem(0)), 3);
    EXPECT_EQ(grid->GetSelectedItem(1), nullptr);
    EXPECT_EQ(Id(grid->GetSelectedItem(2)), 8);
    // A new row made where the freed one was is not selected.
    TvxTreeListNode* added = grid->Add();
    EXPECT_FALSE(added->Selected());
    // A reload gives the record its row again, selected.
    table->Refresh();
    EXPECT_EQ(Selected(), (std::set<int>{3, 5, 8}));
    // A group row freed while selected names no record: its entry leaves with it, and
    // deleting the selection deletes nothing.
    active->SetGroupIndex(0);
    grid->ClearSelection();
    grid->GetItem(0)->SetSelected(true);
    grid->GetItem(1)->SetSelected(true);
    ASSERT_EQ(grid->GetSelectedCount(), 2);
    grid->GetItem(1)->Free();
    EXPECT_EQ(Entries(), std::vector<int>{0});
    EXPECT_EQ(grid->DeleteSelection(), 0);
    EXPECT_EQ(TableIds(), All());
}

}  // namespace
