// The grid and its table agree on which record is which: whatever moves the focus leaves the
// focused row's record current (a group row's first record), and selecting, deleting,
// editing and appending act on the rows shown, also when the grid is grouped and sorted,
// when smart refresh refreshes rows in place, and when code has made current a record the
// filter hides.

#include <map>
#include <set>

#include "grid/columns/vx_db_grid_column.h"
#include "grid/filter/vx_criteria_operators.h"
#include "platform/gdi/system_metrics.h"
#include "platform/win/input.h"
#include "platform/win/virtual_keys.h"
#include "tests/grid/grid_table_check.h"
#include "tests/grid/grid_test_form.h"

namespace {

class DBGridCurrentRecord : public GridOnForm {
protected:
    void SetUp() override {
        GridOnForm::SetUp();
        Col("ID");
        name = Col("Name");
        active = Col("Active");
        amount = Col("Amount");
        table->Open();
    }
    void Option(TvxDBGridOption o, bool on) {
        TvxDBGridOptions options = grid->GridOptions();
        on ? options.Include(o) : options.Exclude(o);
        grid->SetGridOptions(options);
    }
    void Fill(int count, const std::function<void(int id)>& fields) {
        table->DisableControls();
        for (int id = 1; id <= count; ++id) {
            table->Append();
            table->FieldByName("ID")->SetAsInteger(id);
            fields(id);
            table->Post();
        }
        table->EnableControls();
        table->First();
    }
    static int Id(TvxTreeListNode* n) { return NodeAs<TvxDBGridNode>(n)->KeyValue.AsInteger(); }
    int CurrentId() { return table->FieldByName("ID")->AsInteger(); }
    // The record the focused row stands for: a group row's is its first record's.
    int FocusedRecordId() {
        TvxTreeListNode* n = grid->GetFocusedNode();
        if (!n) return -1;
        while (n->Count() > 0) n = n->Items(0);
        return Id(n);
    }
    std::vector<TvxTreeListNode*> DataRows() {
        std::vector<TvxTreeListNode*> rows;
        for (TvxTreeListNode* n = grid->GetFirstNode(); n; n = n->GetNext())
            if (n->Count() == 0) rows.push_back(n);
        return rows;
    }
    TvxTreeListNode* Row(int id) {
        for (TvxTreeListNode* row : DataRows())
            if (Id(row) == id) return row;
        ADD_FAILURE() << "no row for record " << id;
        return grid->GetFirstNode();
    }
    std::set<int> TableIds() {
        std::set<int> ids;
        const TBookmark back = table->Bookmark();
        table->DisableControls();
        for (table->First(); !table->Eof(); table->Next()) ids.insert(table->FieldByName("ID")->AsInteger());
        table->GotoBookmark(back);
        table->EnableControls();
        return ids;
    }
    std::vector<int> RowIds() {
        std::vector<int> ids;
        for (TvxTreeListNode* row : DataRows()) ids.push_back(Id(row));
        return ids;
    }
    std::set<int> SelectedRowIds() {
        std::set<int> ids;
        for (TvxTreeListNode* row : DataRows())
            if (row->Selected()) ids.insert(Id(row));
        return ids;
    }
    void Append(int id, const std::string& text, bool isActive, double value) {
        table->Append();
        table->FieldByName("ID")->SetAsInteger(id);
        table->FieldByName("Name")->SetAsString(text);
        table->FieldByName("Active")->SetAsBoolean(isActive);
        table->FieldByName("Amount")->SetAsFloat(value);
        table->Post();
        driver->Pump();
    }
    // One condition; with negate, its Not flag set.
    void FilterOn(TvxDBGridColumn* column, uint8_t op, const Variant& value, const std::string& text,
                  bool negate = false) {
        grid->Filter()->SetActive(true);
        grid->Filter()->Criteria()->Clear();
        grid->Filter()->Criteria()->AddItem(nullptr, column, op, value, text)->SetNot(negate);
        grid->FilterChanged();
    }
    void SetUseBookmarks(bool on) { grid->SetUseBookmarks(on); }
    // The whole agreement of the grid with its table: focus, selection, rows and tree.
    void ExpectAgrees(const std::string& step) {
        SCOPED_TRACE("after " + step);
        ExpectGridAgreesWithTable(grid, table);
    }
    // Types into the focused row's Name cell through the in-place editor; the edit waits for
    // the focus to leave the row.
    void TypeName(const std::string& text) {
        grid->SetFocusedColumn(grid->GetVisibleColumnIndex(name->Index()));
        grid->ShowEditor();
        ASSERT_NE(grid->Editor(), nullptr);
        driver->Type(text);
        driver->Pump();
        ASSERT_EQ(table->State(), dsEdit);
    }

    TvxDBGridColumn* name = nullptr;
    TvxDBGridColumn* active = nullptr;
    TvxDBGridColumn* amount = nullptr;
};

#define EXPECT_FOCUSED_RECORD_CURRENT(step)                            \
    do {                                                               \
        EXPECT_EQ(CurrentId(), FocusedRecordId()) << "after " << step; \
        ExpectAgrees(step);                                            \
    } while (0)

// Grouped by Amount and sorted by Name, the rows show their records in another order than
// the table's and a group row's first record is not the first it was made for. Every way of
// moving the focus takes the table along.
TEST_F(DBGridCurrentRecord, GroupedAndSortedEveryFocusMoveMakesTheFocusedRowsRecordCurrent) {
    // Names run against the numbers in steps of 37, so that sorted by name each group's rows
    // come in another order than their records.
    Fill(90, [&](int id) {
        char text[8];
        std::snprintf(text, sizeof text, "n%02d", (id * 37) % 90);
        table->FieldByName("Name")->SetAsString(text);
        table->FieldByName("Amount")->SetAsFloat(id % 6);
    });
    LoadAll();
    grid->SetFocus();
    amount->SetGroupIndex(0);
    driver->Pump();
    EXPECT_FOCUSED_RECORD_CURRENT("grouping");
    ClickHeader(name);
    ASSERT_EQ(name->Sorted(), csUp);
    EXPECT_FOCUSED_RECORD_CURRENT("the sort");
    driver->PressKey(VK_HOME, {ssCtrl});
    EXPECT_FOCUSED_RECORD_CURRENT("Ctrl+Home");
    driver->PressKey(VK_RIGHT);
    driver->PressKey(VK_DOWN);
    driver->PressKey(VK_DOWN);
    EXPECT_FOCUSED_RECORD_CURRENT("two Downs");
    for (int i = 0; i < 3; ++i) driver->PressKey(VK_DOWN);
    EXPECT_FOCUSED_RECORD_CURRENT("three Downs");
    grid->FullExpand();
    driver->Pump();
    ClickRow(grid->GetAbsoluteNode(20));
    EXPECT_FOCUSED_RECORD_CURRENT("a click on a data row");
    ClickRow(grid->GetAbsoluteNode(38));
    EXPECT_FOCUSED_RECORD_CURRENT("another click");
    TvxTreeListNode* group = grid->GetItem(2);
    ClickRow(group);
    EXPECT_FOCUSED_RECORD_CURRENT("a click on a group row");
    // Collapsing the group of the focused row focuses the group row: its first record.
    grid->FullExpand();
    ClickRow(group->Items(5));
    group->Collapse(false);
    EXPECT_EQ(grid->GetFocusedNode(), group);
    EXPECT_FOCUSED_RECORD_CURRENT("collapsing");
    driver->PressKey(VK_RIGHT);
    driver->PressKey(VK_DOWN);
    EXPECT_FOCUSED_RECORD_CURRENT("expanding and Down");
    ClickHeader(name);
    EXPECT_EQ(static_cast<int>(name->Sorted()), static_cast<int>(csDown));
    EXPECT_FOCUSED_RECORD_CURRENT("sorting down");
    ClickRow(grid->GetItem(1));
    ClickHeader(name);
    EXPECT_FOCUSED_RECORD_CURRENT("a sort with a group row focused");
    ClickHeader(name, {ssCtrl});
    ASSERT_EQ(name->Sorted(), csNone);
    EXPECT_FOCUSED_RECORD_CURRENT("the sort switched off with a group row focused");
    ClickHeader(name);
    // A filter that keeps the focused group row, but not its first record.
    const int first = FocusedRecordId();
    std::string firstName;
    for (TvxTreeListNode* row : DataRows())
        if (Id(row) == first) firstName = row->Strings(1);
    FilterOn(name, vxoEqual, Variant(firstName), firstName, true);
    EXPECT_NE(FocusedRecordId(), first);
    EXPECT_FOCUSED_RECORD_CURRENT("a filter");
    grid->ClearFilter();
    EXPECT_FOCUSED_RECORD_CURRENT("clearing the filter");
    // An edit that moves the record among its group's rows.
    grid->FullExpand();
    ClickRow(grid->GetAbsoluteNode(14));
    const int edited = FocusedRecordId();
    TypeName("zz");
    driver->PressKey(VK_DOWN);
    table->Locate("ID", Variant(edited), {});
    EXPECT_EQ(table->FieldByName("Name")->AsString().substr(0, 2), "zz");
    EXPECT_FOCUSED_RECORD_CURRENT("an edit that moves its record");
    // Ctrl+Del on the focused row deletes its record and no other.
    Option(egoConfirmDelete, false);
    ClickRow(grid->GetAbsoluteNode(7));
    const int going = FocusedRecordId();
    std::set<int> left = TableIds();
    left.erase(going);
    driver->PressKey(VK_DELETE, {ssCtrl});
    EXPECT_EQ(TableIds(), left);
    EXPECT_FOCUSED_RECORD_CURRENT("a deletion");
}

// A name typed into a row of a grouped, sorted grid goes to that row's record, and a range
// selects, and Ctrl+Del deletes, the records of the rows shown selected; by bookmarks and by
// keys.
TEST_F(DBGridCurrentRecord, GroupedAndSortedEditsRangesAndDeletionsNameTheRowsShown) {
    Option(egoMultiSelect, true);
    Option(egoConfirmDelete, false);
    for (bool bookmarks : {true, false}) {
        SCOPED_TRACE(bookmarks ? "bookmarks" : "keys");
        grid->SetKeyField("");
        table->DisableControls();
        while (!table->IsEmpty()) table->Delete();
        table->EnableControls();
        Fill(30, [&](int id) {
            char text[8];
            std::snprintf(text, sizeof text, "n%02d", (id * 7) % 30);
            table->FieldByName("Name")->SetAsString(text);
            table->FieldByName("Amount")->SetAsFloat(id % 3);
        });
        LoadAll();
        SetUseBookmarks(bookmarks);
        grid->SetFocus();
        amount->SetGroupIndex(0);
        name->SetSorted(csUp);
        grid->FullExpand();
        driver->Pump();

        ClickRow(grid->GetAbsoluteNode(4));
        const int typedInto = FocusedRecordId();
        TypeName("x");
        driver->PressKey(VK_UP);
        EXPECT_FOCUSED_RECORD_CURRENT("an edit and Up");
        table->Locate("ID", Variant(typedInto), {});
        EXPECT_EQ(table->FieldByName("Name")->AsString().substr(0, 1), "x") << "record " << typedInto;

        ClickRow(grid->GetAbsoluteNode(2));
        ClickRow(grid->GetAbsoluteNode(15), {ssShift});
        EXPECT_FOCUSED_RECORD_CURRENT("a range");
        const std::set<int> shown = SelectedRowIds();
        ASSERT_EQ(shown.size(), 13u);
        std::set<int> left = TableIds();
        for (int id : shown) left.erase(id);
        driver->PressKey(VK_DELETE, {ssCtrl});
        EXPECT_EQ(TableIds(), left);
        EXPECT_FOCUSED_RECORD_CURRENT("Ctrl+Del on a range");

        // Every row, from the first group row's first record to the last row.
        driver->PressKey(VK_HOME, {ssCtrl});
        driver->PressKey(VK_DOWN);
        driver->PressKey(VK_END, {ssCtrl, ssShift});
        EXPECT_FOCUSED_RECORD_CURRENT("Shift+Ctrl+End");
        const std::set<int> all = SelectedRowIds();
        left = TableIds();
        for (int id : all) left.erase(id);
        driver->PressKey(VK_DELETE, {ssCtrl});
        EXPECT_EQ(TableIds(), left);
        ExpectAgrees("Ctrl+Del on every row");
        amount->SetGroupIndex(-1);
        name->SetSorted(csNone);
    }
}

// Ctrl+Del with smart refresh on: the rows of the deleted records go, whether the focused
// record stays or goes, by bookmarks and by keys, flat and grouped.
TEST_F(DBGridCurrentRecord, CtrlDeleteWithSmartRefreshLeavesNoRowOfADeletedRecord) {
    Option(egoMultiSelect, true);
    Option(egoConfirmDelete, false);
    Option(egoSmartRefresh, true);
    for (bool bookmarks : {true, false})
        for (bool grouped : {false, true})
            for (bool focusGoes : {false, true}) {
                SCOPED_TRACE(std::string(bookmarks ? "bookmarks" : "keys") + (grouped ? ", grouped" : ", flat") +
                             (focusGoes ? ", the focused record deleted" : ""));
                grid->SetKeyField("");
                amount->SetGroupIndex(-1);
                table->DisableControls();
                while (!table->IsEmpty()) table->Delete();
                table->EnableControls();
                Fill(10, [&](int id) {
                    table->FieldByName("Name")->SetAsString("n" + std::to_string(id));
                    table->FieldByName("Amount")->SetAsFloat(id % 2);
                });
                LoadAll();
                SetUseBookmarks(bookmarks);
                if (grouped) amount->SetGroupIndex(0);
                grid->FullExpand();
                grid->SetFocus();
                driver->Pump();
                Row(4)->SetFocused(true);
                Row(2)->SetSelected(true);
                Row(7)->SetSelected(true);
                if (focusGoes) Row(4)->SetSelected(true);
                driver->PressKey(VK_DELETE, {ssCtrl});
                std::set<int> left{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
                for (int id : {2, 7}) left.erase(id);
                if (focusGoes) left.erase(4);
                EXPECT_EQ(TableIds(), left);
                const std::vector<int> rows = RowIds();
                EXPECT_EQ(std::set<int>(rows.begin(), rows.end()), left);
                EXPECT_EQ(rows.size(), left.size());
                EXPECT_FOCUSED_RECORD_CURRENT("Ctrl+Del");
                if (!focusGoes) {
                    EXPECT_EQ(CurrentId(), 4);
                }
            }
}

// A filter that keeps the focused group row keeps the focus on it, also when the row's first
// record goes; the table then stands on the group row's new first record.
TEST_F(DBGridCurrentRecord, AFocusedGroupRowThatTheFilterKeepsKeepsTheFocus) {
    Fill(6, [&](int id) {
        table->FieldByName("Name")->SetAsString(std::string(1, "AABBCC"[id - 1]));
        table->FieldByName("Amount")->SetAsFloat(id);
    });
    LoadAll();
    name->SetGroupIndex(0);
    grid->FullExpand();
    TvxTreeListNode* b = grid->GetItem(1);
    b->SetFocused(true);
    EXPECT_EQ(CurrentId(), 3);
    FilterOn(amount, vxoEqual, Variant(3.0), "3", true);
    EXPECT_EQ(grid->GetFocusedNode(), b);
    EXPECT_EQ(CurrentId(), 4);
    ExpectAgrees("the filter");
    grid->ClearFilter();
    EXPECT_EQ(grid->GetFocusedNode(), b);
    EXPECT_FOCUSED_RECORD_CURRENT("clearing the filter");
}

// A filter that hid every row took the focus: clearing it gives the focus to the current
// record's row, not to the first row.
TEST_F(DBGridCurrentRecord, AFocusTheFilterTookGoesToTheCurrentRecordsRow) {
    for (bool grouped : {false, true}) {
        SCOPED_TRACE(grouped ? "grouped" : "flat");
        grid->SetKeyField("");
        amount->SetGroupIndex(-1);
        table->DisableControls();
        while (!table->IsEmpty()) table->Delete();
        table->EnableControls();
        Fill(8, [&](int id) {
            table->FieldByName("Name")->SetAsString("n" + std::to_string(id));
            table->FieldByName("Amount")->SetAsFloat(id % 3 + 1);
        });
        LoadAll();
        if (grouped) amount->SetGroupIndex(0);
        grid->FullExpand();
        Row(7)->SetFocused(true);
        ASSERT_EQ(CurrentId(), 7);
        FilterOn(amount, vxoLess, Variant(0.5), "0.5");
        EXPECT_TRUE(RowIds().empty());
        grid->ClearFilter();
        EXPECT_EQ(FocusedRecordId(), 7);
        EXPECT_EQ(CurrentId(), 7);
        ExpectAgrees("clearing the filter");
        grid->ClearFilter();
    }
}

// A selected group row stands for its first record: when a sort or a filter gives it another
// first record, it stays selected and its entry names that record, and when the filter hides
// every record of it, its entry goes; by bookmarks and by keys.
TEST_F(DBGridCurrentRecord, ASelectedGroupRowFollowsItsFirstRecord) {
    Option(egoMultiSelect, true);
    for (bool bookmarks : {true, false}) {
        SCOPED_TRACE(bookmarks ? "bookmarks" : "keys");
        grid->SetKeyField("");
        name->SetGroupIndex(-1);
        amount->SetSorted(csNone);
        grid->ClearFilter();
        table->DisableControls();
        while (!table->IsEmpty()) table->Delete();
        table->EnableControls();
        // A: records 1 (amount 1), 3 (3), 5 (5); B: 2, 4, 6.
        Fill(6, [&](int id) {
            table->FieldByName("Name")->SetAsString(id % 2 ? "A" : "B");
            table->FieldByName("Amount")->SetAsFloat(id);
        });
        // Each record's bookmark, read before anything is selected.
        std::map<std::string, int> ids;
        auto text = [](const TBookmark& b) { return std::string(b.begin(), b.end()); };
        table->DisableControls();
        for (table->First(); !table->Eof(); table->Next()) ids[text(table->Bookmark())] = CurrentId();
        table->EnableControls();
        LoadAll();
        SetUseBookmarks(bookmarks);
        name->SetGroupIndex(0);
        TvxTreeListNode* a = grid->GetItem(0);
        grid->ClearSelection();
        a->SetFocused(true);
        a->SetSelected(true);
        // The record the one entry names.
        auto entryId = [&] {
            if (grid->GetSelectedCount() != 1) return -1;
            if (!bookmarks) return Id(grid->GetSelectedItem(0));
            auto it = ids.find(text(grid->GetSelectedBookmark(0)));
            return it == ids.end() ? -1 : it->second;
        };
        ASSERT_EQ(entryId(), 1);
        amount->SetSorted(csDown);
        EXPECT_EQ(grid->GetItem(0), a);
        EXPECT_TRUE(a->Selected());
        EXPECT_EQ(grid->GetSelectedItem(0), a);
        EXPECT_EQ(entryId(), 5);
        ExpectAgrees("the sort");
        FilterOn(amount, vxoLess, Variant(4.0), "4");
        EXPECT_TRUE(a->Selected());
        EXPECT_EQ(entryId(), 3);
        ExpectAgrees("the filter");
        EXPECT_EQ(grid->GetSelectedItem(0), a);
        // A filter that hides all its records frees it: its entry leaves the selection, as the
        // entries of the rows the filter hides do.
        FilterOn(amount, vxoGreater, Variant(5.5), "5.5");
        ASSERT_EQ(grid->GetCount(), 1);
        EXPECT_EQ(grid->GetSelectedCount(), 0);
        ExpectAgrees("the filter hiding the group");
    }
}

// With smart refresh an edit that moves a record to another group frees the group rows it
// empties: a selected one leaves the selection with them; by bookmarks and by keys.
TEST_F(DBGridCurrentRecord, ASelectedGroupRowThatAnEditEmptiesLeavesTheSelection) {
    Option(egoSmartRefresh, true);
    Option(egoMultiSelect, true);
    for (bool bookmarks : {true, false}) {
        SCOPED_TRACE(bookmarks ? "bookmarks" : "keys");
        grid->SetKeyField("");
        amount->SetGroupIndex(-1);
        table->DisableControls();
        while (!table->IsEmpty()) table->Delete();
        table->EnableControls();
        Fill(3, [&](int id) {
            table->FieldByName("Name")->SetAsString("n" + std::to_string(id));
            table->FieldByName("Amount")->SetAsFloat(id == 2 ? 6 : 1);
        });
        LoadAll();
        SetUseBookmarks(bookmarks);
        amount->SetGroupIndex(0);
        grid->FullExpand();
        TvxTreeListNode* six = grid->GetItem(1);
        ASSERT_EQ(Id(six->Items(0)), 2);
        TvxTreeListNode* one = grid->GetItem(0);
        grid->ClearSelection();
        // The focus on the record's own row: the edit refreshes it in place.
        Row(2)->SetFocused(true);
        six->SetSelected(true);
        one->SetSelected(true);
        ASSERT_EQ(grid->GetSelectedCount(), 2);
        ASSERT_EQ(CurrentId(), 2);
        ExpectAgrees("selecting");
        table->Edit();
        table->FieldByName("Amount")->SetAsFloat(1);
        table->Post();
        driver->Pump();
        ASSERT_EQ(grid->GetCount(), 1);
        EXPECT_EQ(grid->GetItem(0), one);
        EXPECT_TRUE(one->Selected());
        EXPECT_EQ(grid->GetSelectedCount(), 1);
        ExpectAgrees("the edit");
    }
}

// Code may make current a record the filter hides (an append, a search) while the focus stays
// on a row of its own; selecting, deleting, editing and appending then act on the rows shown,
// never on the hidden current record. Flat and grouped, by bookmarks and by keys.
TEST_F(DBGridCurrentRecord, WhileTheFilterHidesTheCurrentRecordTheGridActsOnItsOwnRows) {
    Option(egoMultiSelect, true);
    for (bool bookmarks : {true, false})
        for (bool grouped : {false, true}) {
            SCOPED_TRACE(std::string(bookmarks ? "bookmarks" : "keys") + (grouped ? ", grouped" : ", flat"));
            grid->SetKeyField("");
            amount->SetGroupIndex(-1);
            grid->ClearFilter();
            table->DisableControls();
            while (!table->IsEmpty()) table->Delete();
            table->EnableControls();
            // Places 0 .. 2 by the number; the filter shows place 0: records 3, 6, 9, 12.
            Fill(14, [&](int id) {
                table->FieldByName("Name")->SetAsString("n" + std::to_string(id));
                table->FieldByName("Amount")->SetAsFloat(id % 3);
            });
            LoadAll();
            SetUseBookmarks(bookmarks);
            if (grouped) amount->SetGroupIndex(0);
            grid->FullExpand();
            FilterOn(amount, vxoEqual, Variant(0.0), "0");
            ASSERT_EQ(RowIds(), (std::vector<int>{3, 6, 9, 12}));
            Row(3)->SetFocused(true);
            // Appended and hidden: current, without a row.
            Append(15, "n15", false, 1);
            EXPECT_EQ(CurrentId(), 15);
            ASSERT_NE(grid->GetFocusedNode(), nullptr);
            EXPECT_EQ(RowIds(), (std::vector<int>{3, 6, 9, 12}));
            // A second one: still no row of its own and no empty group row.
            Append(16, "n16", false, 1);
            ASSERT_NE(grid->GetFocusedNode(), nullptr);
            EXPECT_EQ(RowIds(), (std::vector<int>{3, 6, 9, 12}));
            EXPECT_EQ(grid->GetCount(), grouped ? 1 : 4);
            ExpectAgrees("two appends");
            // An edit of the hidden record shows in no row.
            table->Edit();
            table->FieldByName("Name")->SetAsString("edited");
            for (TvxTreeListNode* row : DataRows()) EXPECT_NE(row->Strings(1), "edited") << Id(row);
            EXPECT_EQ(
                Id(grid->GetFocusedNode()->Count() > 0 ? grid->GetFocusedNode()->Items(0) : grid->GetFocusedNode()),
                FocusedRecordId());
            table->Post();
            driver->Pump();
            for (TvxTreeListNode* row : DataRows()) EXPECT_NE(row->Strings(1), "edited") << Id(row);
            EXPECT_EQ(RowIds(), (std::vector<int>{3, 6, 9, 12}));
            ExpectAgrees("an edit of the hidden record");
            // The row selected is the record deleted.
            if (CurrentId() != 16) table->Locate("ID", Variant(16), {});
            Row(3)->SetSelected(true);
            EXPECT_EQ(grid->DeleteSelection(), 1);
            std::set<int> left;
            for (int id = 1; id <= 16; ++id) left.insert(id);
            left.erase(3);
            EXPECT_EQ(TableIds(), left);
            EXPECT_EQ(RowIds(), (std::vector<int>{6, 9, 12}));
            ExpectAgrees("deleting the selection");
            // A range too.
            table->Locate("ID", Variant(16), {});
            grid->SelectRange(Row(6), Row(9));
            EXPECT_EQ(grid->DeleteSelection(), 2);
            left.erase(6);
            left.erase(9);
            EXPECT_EQ(TableIds(), left);
            EXPECT_EQ(RowIds(), (std::vector<int>{12}));
            ExpectAgrees("deleting a range");
            // Typed into the focused row: its record is the one edited, not the hidden one.
            Row(12)->SetFocused(true);
            table->Locate("ID", Variant(16), {});
            ASSERT_EQ(CurrentId(), 16);
            TypeName("typed");
            EXPECT_EQ(CurrentId(), 12);
            table->Post();
            driver->Pump();
            EXPECT_EQ(Row(12)->Strings(1), "typed");
            table->Locate("ID", Variant(16), {});
            EXPECT_EQ(table->FieldByName("Name")->AsString(), "edited");
            ExpectAgrees("typing into the focused row while the hidden record is current");
        }
}

// Ctrl+Del on the one focused row of a filtered grid: the grid's own search for the record
// must not reload the rows under it (it once read the freed row).
TEST_F(DBGridCurrentRecord, CtrlDeleteOnTheFocusedRowOfAFilteredGridDeletesItsRecord) {
    Option(egoConfirmDelete, false);
    Fill(3, [&](int id) {
        table->FieldByName("Name")->SetAsString("n" + std::to_string(id));
        table->FieldByName("Amount")->SetAsFloat(id);
    });
    LoadAll();
    grid->SetFocus();
    FilterOn(amount, vxoLess, Variant(2.5), "2.5");
    Row(2)->SetFocused(true);
    driver->PressKey(VK_DELETE, {ssCtrl});
    EXPECT_EQ(TableIds(), (std::set<int>{1, 3}));
    EXPECT_EQ(RowIds(), std::vector<int>{1});
    ExpectAgrees("Ctrl+Del");
}

// With smart refresh, a record edited or appended out of the filter has no row.
TEST_F(DBGridCurrentRecord, SmartRefreshHoldsTheFilter) {
    Option(egoSmartRefresh, true);
    for (bool grouped : {false, true}) {
        SCOPED_TRACE(grouped ? "grouped" : "flat");
        grid->SetKeyField("");
        active->SetGroupIndex(-1);
        grid->ClearFilter();
        table->DisableControls();
        while (!table->IsEmpty()) table->Delete();
        table->EnableControls();
        Fill(6, [&](int id) {
            table->FieldByName("Name")->SetAsString(id % 2 ? "Aurich" : "Celle");
            table->FieldByName("Active")->SetAsBoolean(id > 3);
        });
        LoadAll();
        if (grouped) active->SetGroupIndex(0);
        grid->FullExpand();
        FilterOn(name, vxoEqual, Variant(std::string("Aurich")), "Aurich");
        ASSERT_EQ(RowIds().size(), 3u);
        Row(3)->SetFocused(true);
        table->Edit();
        table->FieldByName("Name")->SetAsString("Celle");
        table->Post();
        driver->Pump();
        std::vector<int> rows = RowIds();
        EXPECT_EQ(std::set<int>(rows.begin(), rows.end()), (std::set<int>{1, 5}));
        // Appended out of the filter: no row.
        Append(7, "Celle", true, 2);
        rows = RowIds();
        EXPECT_EQ(std::set<int>(rows.begin(), rows.end()), (std::set<int>{1, 5}));
        // Edited into it: a row.
        table->Edit();
        table->FieldByName("Name")->SetAsString("Aurich");
        table->Post();
        driver->Pump();
        rows = RowIds();
        EXPECT_EQ(std::set<int>(rows.begin(), rows.end()), (std::set<int>{1, 5, 7}));
        ExpectAgrees("an edit into the filter");
        // A hidden record deleted by the table: its hidden row goes with it, though the
        // record current after the delete, the next one, is the focused row's.
        Row(5)->SetFocused(true);
        table->Locate("ID", Variant(4), {});
        table->Delete();
        driver->Pump();
        ASSERT_EQ(CurrentId(), 5);
        for (TvxTreeListNode* hidden : grid->HiddenNodes()) EXPECT_NE(Id(hidden), 4);
        EXPECT_EQ(grid->HiddenNodes().size(), 3u);
        ExpectAgrees("a hidden record deleted");
    }
}

}  // namespace
