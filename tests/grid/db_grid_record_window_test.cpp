// The record window (rows for the records of the link's buffer, the scroll bar and its
// messages moving the table, painting leaving the table where it was, a selection by
// bookmarks outliving the rows) and the partial load (buffer sizes, the run around the
// current record, both ends, loading more as the top row nears an end).

#include "grid/columns/vx_db_grid_column.h"
#include "platform/classes/string_list.h"
#include "platform/rtl/exception.h"
#include "platform/win/message_queue.h"
#include "platform/win/scroll_bars.h"
#include "platform/win/virtual_keys.h"
#include "tests/grid/grid_table_check.h"
#include "tests/grid/grid_test_form.h"

namespace {

class DBGridRecordWindow : public GridOnForm {
protected:
    // With Amount, a third column shows each record's amount.
    void Fill(int count, const std::function<double(int id)>& Amount = nullptr) {
        auto* id = grid->CreateColumn<TvxDBGridColumn>();
        id->SetFieldName("ID");
        auto* name = grid->CreateColumn<TvxDBGridColumn>();
        name->SetFieldName("Name");
        if (Amount) Col("Amount");
        table->Open();
        table->DisableControls();
        for (int i = 1; i <= count; ++i) {
            table->Append();
            table->FieldByName("ID")->SetAsInteger(i);
            table->FieldByName("Name")->SetAsString("r" + std::to_string(i));
            if (Amount) table->FieldByName("Amount")->SetAsFloat(Amount(i));
            table->Post();
        }
        table->First();
        table->EnableControls();
        driver->Pump();
    }
    int Current() { return table->FieldByName("ID")->AsInteger(); }
    // The record a row shows: its ID as the grid reads it.
    int Id(TvxTreeListNode* n) { return std::stoi(grid->GetNodeString(n, 0)); }
    int RowHeight() { return grid->GetRowHeight(nullptr, grid->Metrics().RowHeightUnit, true); }
    // Sizes the grid so that its rows area holds exactly Rows rows.
    void RowsHigh(int rows) {
        const int now = grid->GetRectInfo().Rows.Height();
        grid->SetHeight(grid->Height() + rows * RowHeight() - now);
        driver->Pump();
    }
    void Scroll(int code) { SendMessage(grid->Handle(), WM_VSCROLL, static_cast<WPARAM>(code), 0); }
    void PartialLoad(int bufferCount) {
        grid->SetKeyField("ID");
        grid->SetPartialLoadBufferCount(bufferCount);
        grid->SetPartialLoad(true);
    }
};

TEST_F(DBGridRecordWindow, TheRowsAreTheRecordsOfTheLinksBuffer) {
    Fill(1000);
    RowsHigh(20);
    ASSERT_TRUE(grid->IsCursorMode());
    EXPECT_EQ(grid->PartlyVisibleRows(), 20);
    EXPECT_EQ(grid->GetDataLink()->BufferCount(), 20);
    EXPECT_EQ(grid->GetCount(), 20);
    int min = 0, max = 0, page = 0, pos = 0;
    grid->GetVertScrollInfo(min, max, page, pos);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 1019);
    EXPECT_EQ(page, 20);
    EXPECT_EQ(pos, 1);
    // A shorter grid holds fewer rows; a short table fewer still.
    RowsHigh(7);
    EXPECT_EQ(grid->GetDataLink()->BufferCount(), 7);
    EXPECT_EQ(grid->GetCount(), 7);
    table->Last();
    EXPECT_EQ(Id(grid->GetFocusedNode()), 1000);
    EXPECT_EQ(grid->GetDataLink()->ActiveRecord(), 6);
    // The texts come from the records in the buffer.
    EXPECT_EQ(grid->GetNodeString(grid->GetItem(0), 1), "r994");
}

// Each column added sets the bars, except inside an update: that sets them once, at its end.
TEST_F(DBGridRecordWindow, ColumnsAddedInAnUpdateSetTheBarsAtItsEnd) {
    Fill(100);
    RowsHigh(10);
    const auto hasHorzBar = [&] { return (GetWindowLong(grid->Handle(), GWL_STYLE) & WS_HSCROLL) != 0; };
    ASSERT_FALSE(hasHorzBar());
    grid->BeginUpdate();
    for (int i = 0; i < 30; ++i) {
        auto* more = grid->CreateColumn<TvxDBGridColumn>();
        more->SetFieldName("Name");
        more->SetWidth(100);
    }
    EXPECT_FALSE(hasHorzBar());
    grid->EndUpdate();
    driver->Pump();
    ASSERT_TRUE(grid->IsCursorMode());
    EXPECT_TRUE(hasHorzBar());
    SCROLLINFO h;
    h.fMask = SIF_RANGE | SIF_PAGE;
    GetScrollInfo(grid->Handle(), SB_HORZ, &h);
    EXPECT_EQ(h.nMax + 1, grid->GetScrollableWidth());
    EXPECT_EQ(grid->GetDataLink()->BufferCount(), 10);
    EXPECT_EQ(grid->GetNodeString(grid->GetItem(0), 31), "r1");
}

TEST_F(DBGridRecordWindow, ScrollMessagesMoveTheTable) {
    Fill(100);
    RowsHigh(10);
    Scroll(SB_LINEDOWN);  // the record below the last row
    EXPECT_EQ(Current(), 11);
    Scroll(SB_LINEUP);  // the record above the first row
    EXPECT_EQ(Current(), 1);
    Scroll(SB_PAGEDOWN);
    EXPECT_EQ(Current(), 11);
    Scroll(SB_PAGEUP);
    EXPECT_EQ(Current(), 1);
    Scroll(SB_BOTTOM);
    EXPECT_EQ(Current(), 100);
    Scroll(SB_TOP);
    EXPECT_EQ(Current(), 1);
    Scroll(SB_ENDSCROLL);
    EXPECT_EQ(Current(), 1);
    // Focusing a row goes to its record.
    grid->GetItem(3)->SetFocused(true);
    EXPECT_EQ(Current(), 4);
    EXPECT_EQ(grid->GetFocusedNode(), grid->GetItem(3));
}

// One notch is one record: the focus moves inside the window, which scrolls only at its
// edges, and stops at either end of the table.
TEST_F(DBGridRecordWindow, TheWheelMovesOneRecordANotch) {
    Fill(100);
    RowsHigh(10);
    auto shows = [&](int top, int current) {
        EXPECT_EQ(Current(), current);
        EXPECT_EQ(Id(grid->GetItem(0)), top);
        EXPECT_EQ(Id(grid->GetFocusedNode()), current);
    };
    driver->Wheel(grid, 1);  // at the first record
    shows(1, 1);
    driver->Wheel(grid, -1);
    shows(1, 2);
    for (int i = 0; i < 8; ++i) driver->Wheel(grid, -1);
    shows(1, 10);
    driver->Wheel(grid, -1);  // past the last row: the window follows
    shows(2, 11);
    driver->Wheel(grid, 1);
    shows(2, 10);

    table->Last();
    driver->Wheel(grid, -1);  // at the last record
    shows(91, 100);
    driver->Wheel(grid, 1);
    shows(91, 99);
    driver->Wheel(grid, -1);
    shows(91, 100);

    // An open editor closes first: its text stays with the record it was opened on.
    table->First();
    grid->SetFocusedColumn(1);
    grid->SetFocus();
    driver->Pump();
    grid->ShowEditor();
    ASSERT_NE(grid->Editor(), nullptr);
    driver->Type("X");
    driver->Wheel(grid->Editor(), -1);
    shows(1, 2);
    EXPECT_EQ(grid->State(), 0);
    EXPECT_EQ(grid->GetNodeString(grid->GetItem(0), 1), "X");
    EXPECT_EQ(grid->GetNodeString(grid->GetItem(1), 1), "r2");
}

// A loaded grid scrolls its rows by the wheel's lines and keeps its focus.
TEST_F(DBGridRecordWindow, TheWheelOverALoadedGridScrollsItsLines) {
    Fill(100);
    RowsHigh(10);
    LoadAll();
    ASSERT_FALSE(grid->IsCursorMode());
    driver->Wheel(grid, -1);
    EXPECT_EQ(grid->GetTopIndex(), 3);
    EXPECT_EQ(Current(), 1);
    driver->Wheel(grid, 1);
    EXPECT_EQ(grid->GetTopIndex(), 0);
    // Over an open editor too: it hands the notch to the grid once.
    grid->SetFocus();
    driver->Pump();
    grid->ShowEditor();
    ASSERT_NE(grid->Editor(), nullptr);
    driver->Wheel(grid->Editor(), -1);
    EXPECT_EQ(grid->GetTopIndex(), 3);
}

TEST_F(DBGridRecordWindow, APaintLeavesTheTableOnItsRecord) {
    Fill(50);
    RowsHigh(10);
    table->MoveBy(4);
    const int active = grid->GetDataLink()->ActiveRecord();
    grid->Invalidate();
    UpdateAllWindows();
    EXPECT_EQ(Current(), 5);
    EXPECT_EQ(grid->GetDataLink()->ActiveRecord(), active);
    EXPECT_EQ(Id(grid->GetFocusedNode()), 5);
}

TEST_F(DBGridRecordWindow, ASelectionByBookmarksOutlivesScrolling) {
    Fill(100);
    RowsHigh(10);
    TvxDBGridOptions options = grid->GridOptions();
    options.Include(egoMultiSelect);
    grid->SetGridOptions(options);
    table->MoveBy(2);
    grid->ClearSelection();
    grid->GetFocusedNode()->SetSelected(true);
    EXPECT_EQ(grid->GetSelectedCount(), 1);
    table->MoveBy(50);
    EXPECT_FALSE(grid->GetFocusedNode()->Selected());
    table->First();
    EXPECT_TRUE(grid->GetItem(2)->Selected());
    EXPECT_FALSE(grid->GetItem(1)->Selected());
}

// The record window does not reload when the table changes: a selected record the table
// deletes leaves the selection, and one that an edit moves in a sorted table is found where
// it went.
TEST_F(DBGridRecordWindow, TheSelectionFollowsRecordsTheTableDeletesOrMoves) {
    Fill(20);
    RowsHigh(10);
    TvxDBGridOptions options = grid->GridOptions();
    options.Include(egoMultiSelect);
    grid->SetGridOptions(options);
    table->SetSortedField("Name");  // r1, r10 .. r19, r2, r20, r3 ..
    table->First();
    grid->ClearSelection();
    for (int i = 0; i < 4; ++i) grid->GetItem(i)->SetSelected(true);  // r1, r10, r11, r12
    ASSERT_EQ(grid->GetSelectedCount(), 4);
    auto selectedIds = [&] {
        std::vector<int> ids;
        const TBookmark back = table->Bookmark();
        table->DisableControls();
        for (const TBookmark& b : std::vector<TBookmark>(grid->SelectedBookmarks())) {
            table->GotoBookmark(b);
            ids.push_back(Current());
        }
        table->GotoBookmark(back);
        table->EnableControls();
        return ids;
    };
    ASSERT_EQ(selectedIds(), (std::vector<int>{1, 10, 11, 12}));
    // Record 10 renamed to the end of the table.
    table->Locate("ID", Variant(10), {});
    table->Edit();
    table->FieldByName("Name")->SetAsString("z");
    table->Post();
    driver->Pump();
    EXPECT_EQ(selectedIds(), (std::vector<int>{1, 11, 12, 10}));
    table->First();
    EXPECT_TRUE(grid->GetItem(0)->Selected());
    EXPECT_TRUE(grid->GetItem(1)->Selected());
    table->Last();
    EXPECT_TRUE(grid->GetFocusedNode()->Selected());
    // Record 11 deleted.
    table->Locate("ID", Variant(11), {});
    table->Delete();
    driver->Pump();
    EXPECT_EQ(grid->GetSelectedCount(), 3);
    EXPECT_EQ(selectedIds(), (std::vector<int>{1, 12, 10}));
}

TEST_F(DBGridRecordWindow, CopyingAndRangesReachRecordsOutsideTheWindow) {
    Fill(40);
    RowsHigh(5);
    table->MoveBy(3);
    TStringList all;
    grid->SaveAllToStrings(&all);
    ASSERT_EQ(all.Count(), 41);
    EXPECT_EQ(all.Strings(40), "40\tr40");
    EXPECT_EQ(Current(), 4);
    // Shift+End from the fourth record selects it and every record after it.
    TvxDBGridOptions options = grid->GridOptions();
    options.Include(egoMultiSelect);
    grid->SetGridOptions(options);
    grid->SetFocus();
    driver->PressKey(VK_END, {ssShift});
    EXPECT_EQ(Current(), 40);
    EXPECT_EQ(grid->GetSelectedCount(), 37);
    TStringList selected;
    grid->SaveSelectedToStrings(&selected);
    ASSERT_EQ(selected.Count(), 38);
    EXPECT_EQ(selected.Strings(1), "4\tr4");
    EXPECT_EQ(Current(), 40);
    // Shift+Home from the thirtieth walks up to the first: the selection still in record order.
    table->MoveBy(-10);
    grid->SetSelectionAnchor(nullptr);
    driver->PressKey(VK_HOME, {ssShift});
    EXPECT_EQ(Current(), 1);
    TStringList upwards;
    grid->SaveSelectedToStrings(&upwards);
    ASSERT_EQ(upwards.Count(), 31);
    for (int i = 1; i <= 30; ++i) EXPECT_EQ(upwards.Strings(i), std::to_string(i) + "\tr" + std::to_string(i));
}

TEST_F(DBGridRecordWindow, PartialLoadSizesItsBuffersFromTheWindow) {
    Fill(30);
    RowsHigh(10);
    PartialLoad(20);
    EXPECT_EQ(grid->PartialBufferSize(), 55);  // 5 x (10 + 1) beats 20
    grid->SetPartialLoadBufferCount(100);
    EXPECT_EQ(grid->PartialBufferSize(), 100);
    // A short table is loaded whole: both ends reached.
    EXPECT_TRUE(grid->IsPartialLoadMode());
    EXPECT_EQ(grid->GetCount(), 30);
    EXPECT_TRUE(grid->StartReached());
    EXPECT_TRUE(grid->EndReached());
    EXPECT_TRUE(grid->IsAllRecordsLoaded());
}

TEST_F(DBGridRecordWindow, PartialLoadHoldsARunAroundTheCurrentRecordAndLoadsMoreAtTheEnds) {
    Fill(1000);
    RowsHigh(6);
    table->MoveBy(499);
    PartialLoad(100);
    ASSERT_EQ(grid->GetCount(), 100);
    EXPECT_EQ(Id(grid->GetItem(0)), 451);
    EXPECT_EQ(Id(grid->GetItem(99)), 550);
    EXPECT_EQ(Id(grid->GetFocusedNode()), 500);
    EXPECT_EQ(Current(), 500);
    EXPECT_FALSE(grid->StartReached());
    EXPECT_FALSE(grid->EndReached());

    // The top row near the first loaded record loads the buffer before it.
    grid->SetTopIndex(2);
    ASSERT_EQ(grid->GetCount(), 200);
    EXPECT_EQ(Id(grid->GetItem(0)), 351);
    // Near the last, the buffer after it.
    grid->SetTopIndex(grid->GetAbsoluteCount() - 8);
    ASSERT_EQ(grid->GetCount(), 300);
    EXPECT_EQ(Id(grid->GetItem(299)), 650);
    EXPECT_EQ(Current(), 500);

    // Ten records above the current one: those, the current one and the next 89.
    grid->SetPartialLoad(false);
    table->First();
    table->MoveBy(10);
    grid->SetPartialLoad(true);
    ASSERT_EQ(grid->GetCount(), 100);
    EXPECT_EQ(Id(grid->GetItem(0)), 1);
    EXPECT_EQ(Id(grid->GetItem(99)), 100);
    EXPECT_TRUE(grid->StartReached());
    EXPECT_FALSE(grid->IsFirstNode(grid->GetItem(1)));
}

// A run that a column sorts shows its records in another order than the table's: a click, a
// Down or a PgDn on any of its rows makes that row's record current, reloading the run only
// when the record lies outside it, and never reading the rows a reload frees.
TEST_F(DBGridRecordWindow, InAPartialLoadSortedByAColumnTheFocusedRowsRecordIsCurrent) {
    Fill(30, [](int id) { return (id * 7) % 30; });
    grid->SetHeight(96);
    PartialLoad(5);
    grid->SetFocus();
    driver->Pump();
    TvxDBTreeListColumn* amount = Column("Amount");
    for (TvxTreeListColumnSort direction : {csUp, csDown})
        for (const char* way : {"a click on the third row", "Down", "PgDn", "two PgDns"}) {
            SCOPED_TRACE(std::string(way) + (direction == csUp ? ", up" : ", down"));
            grid->SetPartialLoad(false);
            amount->SetSorted(csNone);
            table->First();
            grid->SetPartialLoad(true);
            ASSERT_LT(grid->GetCount(), 30);
            grid->BeginSorting();
            amount->SetSorted(direction);
            grid->EndSorting();
            ASSERT_EQ(Id(grid->GetFocusedNode()), 1);
            if (way[0] == 'a') {
                ClickRow(grid->GetAbsoluteNode(2));
                EXPECT_EQ(grid->GetFocusedNode(), grid->GetAbsoluteNode(2));
            } else {
                driver->PressKey(way[0] == 'D' ? VK_DOWN : VK_NEXT);
                if (way[0] == 't') driver->PressKey(VK_NEXT);
            }
            ASSERT_NE(grid->GetFocusedNode(), nullptr);
            EXPECT_EQ(Id(grid->GetFocusedNode()), Current());
            ExpectGridAgreesWithTable(grid, table);
        }
}

// An append by code in a partial load: the new record's row stands at the focused place, and
// no load the grid starts for it cancels the append; the record is posted as typed.
TEST_F(DBGridRecordWindow, InAPartialLoadAnAppendByCodeIsPostedWithItsRow) {
    Fill(200);
    PartialLoad(100);
    ASSERT_EQ(grid->GetCount(), 100);
    ASSERT_FALSE(grid->EndReached());
    ASSERT_EQ(Current(), 1);
    TvxTreeListNode* focused = grid->GetFocusedNode();
    const int at = grid->GetAbsoluteIndex(focused);
    table->Append();
    ASSERT_EQ(table->State(), dsInsert);
    EXPECT_EQ(grid->GetAbsoluteIndex(grid->GetFocusedNode()), at);
    EXPECT_EQ(grid->GetAbsoluteIndex(focused), at + 1);
    EXPECT_EQ(grid->GetCount(), 101);
    table->FieldByName("ID")->SetAsInteger(201);
    table->FieldByName("Name")->SetAsString("new");
    EXPECT_EQ(table->State(), dsInsert);
    table->Post();
    driver->Pump();
    EXPECT_EQ(table->RecordCount(), 201);
    EXPECT_EQ(Current(), 201);
    ASSERT_NE(grid->GetFocusedNode(), nullptr);
    EXPECT_EQ(Id(grid->GetFocusedNode()), 201);
    ExpectGridAgreesWithTable(grid, table);
    // Code that goes on to edit the next record is not cancelled by the grid either.
    table->First();
    table->Edit();
    table->FieldByName("Name")->SetAsString("first");
    grid->GetAbsoluteNode(grid->GetAbsoluteCount() - 1)->MakeVisible();
    EXPECT_EQ(table->State(), dsEdit);
    table->Post();
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "first");
    ExpectGridAgreesWithTable(grid, table);
}

TEST_F(DBGridRecordWindow, AnEmptyTableReachesBothEnds) {
    Fill(0);
    PartialLoad(100);
    EXPECT_TRUE(grid->StartReached());
    EXPECT_TRUE(grid->EndReached());
    EXPECT_EQ(grid->GetCount(), 0);
}

TEST_F(DBGridRecordWindow, AShiftRangeInAPartialLoadReachesRecordsThatHadNoRows) {
    Fill(1000);
    RowsHigh(6);
    grid->SetGridOptions(grid->GridOptions().Include(egoMultiSelect));
    table->MoveBy(459);
    PartialLoad(100);
    ASSERT_EQ(Id(grid->GetItem(0)), 411);
    ASSERT_EQ(Id(grid->GetItem(99)), 510);
    grid->SetFocus();
    // Record 460 selected as a click selects it: the anchor of a range.
    TvxTreeListNode* first = grid->GetFocusedNode();
    ASSERT_EQ(Id(first), 460);
    first->SetSelected(true);
    grid->SetSelectionAnchor(first);
    int changes = 0;
    grid->OnChangeNodeEx = [&](TObject*) { ++changes; };

    // The table moves far on (records 511 .. 899 never had rows): one buffer around the
    // current record; the selected record stays selected without a row.
    table->MoveBy(440);
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(grid->GetCount(), 100);
    EXPECT_EQ(Id(grid->GetItem(0)), 851);
    EXPECT_EQ(Id(grid->GetFocusedNode()), 900);
    ASSERT_EQ(grid->GetSelectedCount(), 1);
    EXPECT_EQ(grid->GetSelectedItem(0), nullptr);

    // Shift+Down selects from the anchor's record to the next one: 442 records, the
    // selection in record order.
    driver->PressKey(VK_DOWN, {ssShift});
    EXPECT_EQ(Current(), 901);
    EXPECT_EQ(changes, 2);  // one key, one change of the focused record
    ASSERT_EQ(grid->GetSelectedCount(), 442);
    EXPECT_EQ(Id(grid->GetSelectedItem(0)), 460);
    EXPECT_EQ(Id(grid->GetSelectedItem(441)), 901);
    for (int i = 1; i < 442; ++i) ASSERT_EQ(Id(grid->GetSelectedItem(i)), Id(grid->GetSelectedItem(i - 1)) + 1) << i;
    EXPECT_EQ(Id(grid->GetItem(0)), 460);
    EXPECT_FALSE(grid->GetItem(grid->GetCount() - 1)->Selected());
    // Another Shift+Down goes one further from the same anchor.
    driver->PressKey(VK_DOWN, {ssShift});
    EXPECT_EQ(grid->GetSelectedCount(), 443);
    EXPECT_EQ(Id(grid->GetSelectedItem(0)), 460);
    EXPECT_EQ(changes, 3);
}

TEST_F(DBGridRecordWindow, ARunAroundTheCurrentRecordIsOneBufferWhateverIsSelected) {
    Fill(1000);
    RowsHigh(6);
    grid->SetGridOptions(grid->GridOptions().Include(egoMultiSelect));
    table->MoveBy(499);
    PartialLoad(100);
    ASSERT_EQ(Id(grid->GetItem(0)), 451);
    auto rowOf = [&](int id) { return grid->GetItem(id - 451); };
    rowOf(495)->SetSelected(true);
    rowOf(505)->SetSelected(true);
    ASSERT_EQ(grid->GetSelectedCount(), 2);

    // Far from both: one buffer, the two stay selected without rows.
    table->MoveBy(400);
    ASSERT_EQ(grid->GetCount(), 100);
    EXPECT_EQ(Id(grid->GetItem(0)), 851);
    ASSERT_EQ(grid->GetSelectedCount(), 2);
    EXPECT_EQ(grid->GetSelectedItem(0), nullptr);
    EXPECT_EQ(grid->GetSelectedItem(1), nullptr);
    // A data change reloads the same run and keeps them.
    table->Refresh();
    EXPECT_EQ(grid->GetCount(), 100);
    EXPECT_EQ(grid->GetSelectedCount(), 2);

    // Back among them, their rows are selected again, and nothing else.
    table->MoveBy(-400);
    ASSERT_EQ(Id(grid->GetItem(0)), 451);
    ASSERT_EQ(grid->GetSelectedCount(), 2);
    EXPECT_EQ(grid->GetSelectedItem(0), rowOf(495));
    EXPECT_EQ(grid->GetSelectedItem(1), rowOf(505));
    int selectedRows = 0;
    for (int i = 0; i < grid->GetCount(); ++i) selectedRows += grid->GetItem(i)->Selected() ? 1 : 0;
    EXPECT_EQ(selectedRows, 2);
    // Deleting the selection deletes both records, loaded or not, and stays where it was.
    table->MoveBy(400);
    const int current = table->FieldByName("ID")->AsInteger();
    EXPECT_EQ(grid->DeleteSelection(), 2);
    EXPECT_EQ(table->FieldByName("ID")->AsInteger(), current);
    EXPECT_EQ(table->RecordCount(), 998);
    EXPECT_FALSE(table->Locate("ID", Variant(495), {}));
    EXPECT_FALSE(table->Locate("ID", Variant(505), {}));
    EXPECT_EQ(grid->GetSelectedCount(), 0);
}

// Deleting the selection in the record window leaves the current record current; when it
// goes too, the next record that stays (the one before, at the end).
TEST_F(DBGridRecordWindow, DeletingTheSelectionKeepsThePlaceOfTheCurrentRecord) {
    Fill(30);
    RowsHigh(10);
    TvxDBGridOptions options = grid->GridOptions();
    options.Include(egoMultiSelect);
    grid->SetGridOptions(options);
    auto select = [&](std::initializer_list<int> ids) {
        for (int i = 0; i < grid->GetCount(); ++i)
            for (int id : ids)
                if (Id(grid->GetItem(i)) == id) grid->GetItem(i)->SetSelected(true);
        ASSERT_EQ(grid->GetSelectedCount(), static_cast<int>(ids.size()));
    };
    grid->GetItem(3)->SetFocused(true);
    select({1, 6});
    EXPECT_EQ(grid->DeleteSelection(), 2);
    EXPECT_EQ(Current(), 4);
    select({4, 5});
    EXPECT_EQ(grid->DeleteSelection(), 2);
    EXPECT_EQ(Current(), 7);
    EXPECT_EQ(Id(grid->GetFocusedNode()), 7);
    Scroll(SB_BOTTOM);
    ASSERT_EQ(Current(), 30);
    select({29, 30});
    EXPECT_EQ(grid->DeleteSelection(), 2);
    EXPECT_EQ(Current(), 28);
    EXPECT_EQ(Id(grid->GetFocusedNode()), 28);
}

// A reload into the record window broken off by a raise (a grouping dropped, the loaded rows
// going with a deletion handler that raises) owes no rows: they follow the link's buffer at
// once, around the record the table stayed on, and then follow the table's moves.
TEST_F(DBGridRecordWindow, AReloadBrokenOffLeavesTheRowsOfTheBuffer) {
    Fill(30);
    RowsHigh(8);
    grid->SetKeyField("ID");
    table->MoveBy(10);
    grid->GetColumn(1)->SetGroupIndex(0);
    ASSERT_FALSE(grid->IsCursorMode());
    bool armed = true;
    grid->OnDeletion = [&armed](TObject*, TvxTreeListNode*) {
        if (!armed) return;
        armed = false;
        throw Exception("deletion refused");
    };
    EXPECT_THROW(grid->GetColumn(1)->SetGroupIndex(-1), Exception);
    grid->OnDeletion = nullptr;
    ASSERT_TRUE(grid->IsCursorMode());
    EXPECT_FALSE(grid->RowsOwed());
    EXPECT_EQ(Current(), 11);
    ASSERT_EQ(grid->GetCount(), 8);
    EXPECT_EQ(Id(grid->GetFocusedNode()), 11);
    for (int i = 1; i < grid->GetCount(); ++i) EXPECT_EQ(Id(grid->GetItem(i)), Id(grid->GetItem(i - 1)) + 1);
    ExpectGridAgreesWithTable(grid, table);
    grid->SetFocus();
    driver->PressKey(VK_DOWN);
    EXPECT_EQ(Current(), 12);
    EXPECT_EQ(Id(grid->GetFocusedNode()), 12);
}

TEST_F(DBGridRecordWindow, OnChangeNodeExTellsOfEachNewFocusedRecordOnce) {
    Fill(100);
    RowsHigh(10);
    grid->SetFocus();
    int changes = 0;
    grid->OnChangeNodeEx = [&](TObject* sender) {
        EXPECT_EQ(sender, grid);
        ++changes;
    };
    driver->PressKey(VK_DOWN);
    EXPECT_EQ(Current(), 2);
    EXPECT_EQ(changes, 1);
    driver->PressKey(VK_NEXT);  // a page down moves the table several times
    EXPECT_EQ(changes, 2);
    table->MoveBy(3);  // outside any batch: at once
    EXPECT_EQ(changes, 3);
    // A batch tells of where it ends, not of each step; back where it began, of nothing.
    grid->BeginSelection();
    table->Next();
    table->Next();
    EXPECT_EQ(changes, 3);
    grid->EndSelection();
    EXPECT_EQ(changes, 4);
    grid->BeginSelection();
    table->Next();
    table->Prior();
    grid->EndSelection();
    EXPECT_EQ(changes, 4);
    // A post keeps the record; a delete moves on to the next one.
    table->Edit();
    table->FieldByName("Name")->SetAsString("neu");
    table->Post();
    EXPECT_EQ(changes, 4);
    const int deleted = Current();
    table->Delete();
    EXPECT_NE(Current(), deleted);
    EXPECT_EQ(changes, 5);

    // Every record loaded: the same.
    grid->SetKeyField("ID");
    grid->SetOptionsDB(grid->OptionsDB().Include(edgoLoadAllRecords));
    driver->Pump();
    const int before = changes;
    driver->PressKey(VK_DOWN);
    EXPECT_EQ(changes, before + 1);
    driver->PressKey(VK_UP);
    EXPECT_EQ(changes, before + 2);
}

}  // namespace
