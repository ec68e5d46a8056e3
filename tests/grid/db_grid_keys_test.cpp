// The grid's record keys through the keyboard: Ctrl+Del with the confirmation answered and
// without one, Insert, Down on the last row appending and Up dropping the untouched record,
// Left and Right on group rows, Esc dropping a changed record.

#include "grid/columns/vx_db_grid_column.h"
#include "platform/win/exception_report.h"
#include "tests/grid/grid_test_form.h"

namespace {

class DBGridKeys : public GridOnForm {
protected:
    void SetUp() override {
        GridOnForm::SetUp();
        auto* id = grid->CreateColumn<TvxDBGridColumn>();
        id->SetFieldName("ID");
        name = grid->CreateColumn<TvxDBGridMaskColumn>();
        name->SetName("colName");
        name->SetFieldName("Name");
        table->Open();
        AddRecord(1, "Anna");
        AddRecord(2, "Bert");
        AddRecord(3, "Anna");
        grid->SetKeyField("ID");
        TvxDBGridOptionsDB db = grid->OptionsDB();
        db.Include(edgoLoadAllRecords);
        grid->SetOptionsDB(db);
        grid->SetFocus();
        driver->Pump();
    }
    void Option(TvxDBGridOption o, bool on) {
        TvxDBGridOptions options = grid->GridOptions();
        on ? options.Include(o) : options.Exclude(o);
        grid->SetGridOptions(options);
    }
    int FocusedId() { return dynamic_cast<TvxDBGridNode*>(grid->GetFocusedNode())->KeyValue.AsInteger(); }

    TvxDBGridMaskColumn* name = nullptr;
};

TEST_F(DBGridKeys, CtrlDeleteAsksAndDeletesOnOkOnly) {
    ASSERT_EQ(grid->GetCount(), 3);
    grid->GetItem(1)->SetFocused(true);
    std::string caption, text;
    auto answer = [&](const char* button) {
        driver->OnNextModal([&, button](TCustomForm* box, UiDriver& d) {
            caption = box->Caption();
            text = dynamic_cast<TControl*>(d.FindByCaption(box, "Delete record?")) ? "Delete record?" : "";
            d.Click(d.FindByCaption(box, button));
        });
    };
    answer("Abbrechen");
    driver->PressKey(VK_DELETE, {ssCtrl});
    EXPECT_EQ(caption, "Confirm");
    EXPECT_EQ(text, "Delete record?");
    EXPECT_EQ(table->RecordCount(), 3);
    answer("OK");
    driver->PressKey(VK_DELETE, {ssCtrl});
    EXPECT_EQ(table->RecordCount(), 2);
    EXPECT_EQ(grid->GetCount(), 2);
    EXPECT_FALSE(table->Locate("ID", Variant(2), {}));
    // Without the confirmation nothing asks.
    Option(egoConfirmDelete, false);
    driver->PressKey(VK_DELETE, {ssCtrl});
    EXPECT_EQ(driver->PendingModalScripts(), 0);
    EXPECT_EQ(table->RecordCount(), 1);
}

TEST_F(DBGridKeys, CtrlDeleteWithASelectionAsksForAllOfThem) {
    Option(egoMultiSelect, true);
    grid->GetItem(0)->SetSelected(true);
    grid->GetItem(2)->SetSelected(true);
    ASSERT_EQ(grid->GetSelectedCount(), 2);
    bool asked = false;
    driver->OnNextModal([&](TCustomForm* box, UiDriver& d) {
        asked = d.FindByCaption(box, "Delete all selected records?") != nullptr;
        d.Click(d.FindByCaption(box, "OK"));
    });
    driver->PressKey(VK_DELETE, {ssCtrl});
    EXPECT_TRUE(asked);
    EXPECT_EQ(table->RecordCount(), 1);
    EXPECT_EQ(table->FieldByName("ID")->AsInteger(), 2);
    EXPECT_EQ(grid->GetCount(), 1);
}

// A Shift range selects the records of exactly its rows, whether the rows show in record
// order or sorted otherwise, and whether records are reached by position or by key.
TEST_F(DBGridKeys, AShiftRangeSelectsTheRecordsOfItsRowsInAnyOrder) {
    Option(egoMultiSelect, true);
    Option(egoConfirmDelete, false);
    for (int id = 4; id <= 9; ++id) AddRecord(id, std::string(1, static_cast<char>('K' - id)));
    auto ids = [&] {
        std::vector<int> left;
        for (table->First(); !table->Eof(); table->Next()) left.push_back(table->FieldByName("ID")->AsInteger());
        return left;
    };
    // By name: Anna(1), Anna(3), Bert(2), B(9), C(8), D(7), E(6), F(5), G(4); the range from
    // D to the end.
    name->SetSorted(csUp);
    ASSERT_EQ(grid->GetCount(), 9);
    TvxTreeListNode* from = nullptr;
    for (int i = 0; i < grid->GetCount(); ++i)
        if (grid->GetItem(i)->Strings(1) == "D") from = grid->GetItem(i);
    ASSERT_NE(from, nullptr);
    from->SetFocused(true);
    driver->PressKey(VK_END, {ssCtrl, ssShift});
    EXPECT_EQ(grid->GetSelectedCount(), 4);
    driver->PressKey(VK_DELETE, {ssCtrl});
    EXPECT_EQ(ids(), (std::vector<int>{1, 2, 3, 8, 9}));

    // Reached by key, by name: Anna(1), Anna(3), B(9), Bert(2), C(8); the first three.
    Option(egoUseLocate, true);
    ASSERT_EQ(grid->GetCount(), 5);
    // (Reading the table above left it, and with it the focus, on its last record.)
    driver->PressKey(VK_HOME, {ssCtrl});
    ASSERT_EQ(grid->GetFocusedNode(), grid->GetItem(0));
    driver->PressKey(VK_DOWN, {ssShift});
    driver->PressKey(VK_DOWN, {ssShift});
    EXPECT_EQ(grid->GetSelectedCount(), 3);
    driver->PressKey(VK_DELETE, {ssCtrl});
    EXPECT_EQ(ids(), (std::vector<int>{2, 8}));
}

// After Ctrl+Del on a selection the focused record stays focused and current when it was not
// deleted; when it was, the first row after it that stays takes its place (the one before it
// at the end), as deleting a single record moves on to the next. The same whether records
// are selected by bookmark or by key, and whether the table's order is the grid's or not.
TEST_F(DBGridKeys, CtrlDeleteOnASelectionKeepsThePlaceOfTheFocus) {
    Option(egoMultiSelect, true);
    Option(egoConfirmDelete, false);
    auto rowIds = [&] {
        std::vector<int> ids;
        for (int i = 0; i < grid->GetCount(); ++i)
            ids.push_back(NodeAs<TvxDBGridNode>(grid->GetItem(i))->KeyValue.AsInteger());
        return ids;
    };
    auto row = [&](int id) {
        for (int i = 0; i < grid->GetCount(); ++i)
            if (NodeAs<TvxDBGridNode>(grid->GetItem(i))->KeyValue.AsInteger() == id) return grid->GetItem(i);
        ADD_FAILURE() << "no row for record " << id;
        return grid->GetItem(0);
    };
    for (bool bookmarks : {true, false})
        for (bool sorted : {false, true}) {
            SCOPED_TRACE(std::string(bookmarks ? "bookmarks" : "keys") + (sorted ? ", table sorted by name" : ""));
            table->SetSortedField("");
            table->DisableControls();
            while (!table->IsEmpty()) table->Delete();
            // The names run against the numbers: sorted by name, the table is in reverse.
            for (int id = 1; id <= 12; ++id) AddRecord(id, std::string(1, static_cast<char>('a' + 12 - id)));
            table->EnableControls();
            table->SetSortedField(sorted ? "Name" : "");
            grid->SetUseBookmarks(bookmarks);
            const std::vector<int> order = rowIds();
            ASSERT_EQ(order.size(), 12u);
            auto at = [&](size_t i) { return order[i]; };

            // Not deleted: it stays.
            row(at(5))->SetFocused(true);
            for (size_t i : {1u, 8u, 10u}) row(at(i))->SetSelected(true);
            ASSERT_EQ(grid->GetSelectedCount(), 3);
            driver->PressKey(VK_DELETE, {ssCtrl});
            EXPECT_EQ(grid->GetCount(), 9);
            EXPECT_EQ(FocusedId(), at(5));
            EXPECT_EQ(table->FieldByName("ID")->AsInteger(), at(5));

            // Deleted with the row after it: the next row that stays.
            row(at(5))->SetFocused(true);
            for (size_t i : {5u, 6u, 2u}) row(at(i))->SetSelected(true);
            driver->PressKey(VK_DELETE, {ssCtrl});
            EXPECT_EQ(grid->GetCount(), 6);
            EXPECT_EQ(FocusedId(), at(7));
            EXPECT_EQ(table->FieldByName("ID")->AsInteger(), at(7));

            // Deleted with every row after it: the row before.
            row(at(11))->SetFocused(true);
            for (size_t i : {11u, 9u, 3u}) row(at(i))->SetSelected(true);
            driver->PressKey(VK_DELETE, {ssCtrl});
            EXPECT_EQ(rowIds(), (std::vector<int>{at(0), at(4), at(7)}));
            EXPECT_EQ(FocusedId(), at(7));
            EXPECT_EQ(table->FieldByName("ID")->AsInteger(), at(7));
        }
}

// Reaching records by key, the keys still take the focus and the record along together: the
// search that moves the dataset is the grid's own and reloads nothing.
TEST_F(DBGridKeys, WithRecordsReachedByKeyTheFocusFollowsTheKeys) {
    Option(egoUseLocate, true);
    auto focusedId = [&] { return FocusedId(); };
    auto currentId = [&] { return table->FieldByName("ID")->AsInteger(); };
    grid->GetItem(2)->SetFocused(true);
    EXPECT_EQ(currentId(), 3);
    TvxTreeListNode* first = grid->GetItem(0);
    driver->PressKey(VK_HOME, {ssCtrl});
    EXPECT_EQ(focusedId(), 1);
    EXPECT_EQ(currentId(), 1);
    EXPECT_EQ(grid->GetItem(0), first);
    driver->PressKey(VK_DOWN);
    EXPECT_EQ(focusedId(), 2);
    EXPECT_EQ(currentId(), 2);
    driver->PressKey(VK_END, {ssCtrl});
    EXPECT_EQ(focusedId(), 3);
    EXPECT_EQ(currentId(), 3);
}

TEST_F(DBGridKeys, DownOnTheLastRowAppendsAndUpDropsTheUntouchedRecord) {
    Option(egoCanAppend, true);
    grid->GetItem(2)->SetFocused(true);
    driver->PressKey(VK_DOWN);
    EXPECT_EQ(table->State(), dsInsert);
    EXPECT_EQ(grid->GetCount(), 4);
    EXPECT_EQ(grid->GetFocusedNode(), grid->GetItem(3));
    driver->PressKey(VK_UP);
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(table->RecordCount(), 3);
    EXPECT_EQ(grid->GetCount(), 3);
    EXPECT_EQ(FocusedId(), 3);
    // Without egoCanAppend Down stays on the last row.
    Option(egoCanAppend, false);
    driver->PressKey(VK_DOWN);
    EXPECT_EQ(table->State(), dsBrowse);
}

TEST_F(DBGridKeys, InsertStartsANewRecordAndEscDropsAChangedOne) {
    grid->GetItem(1)->SetFocused(true);
    driver->PressKey(VK_INSERT);
    EXPECT_EQ(table->State(), dsInsert);
    EXPECT_EQ(grid->GetCount(), 4);
    driver->Escape();  // the editor goes first
    driver->Escape();
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(grid->GetCount(), 3);
    table->Edit();
    table->FieldByName("Name")->SetAsString("Zora");
    driver->Escape();
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "Bert");
}

TEST_F(DBGridKeys, AnEditIsPostedWhenTheFocusLeavesItsRowAndHoldsTheRowWhenThePostFails) {
    auto typeInto = [&](int row, const char* text) {
        grid->GetItem(row)->SetFocused(true);
        grid->SetFocusedColumn(grid->GetVisibleColumnIndex(name->Index()));
        grid->ShowEditor();
        ASSERT_NE(grid->Editor(), nullptr);
        driver->Type(text);
        driver->Pump();
        ASSERT_EQ(table->State(), dsEdit);
    };
    typeInto(0, "Z");
    driver->PressKey(VK_DOWN);
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(FocusedId(), 2);
    EXPECT_EQ(table->FieldByName("ID")->AsInteger(), 2);
    // What a later reload reads is what was typed.
    name->SetGroupIndex(0);
    name->SetGroupIndex(-1);
    ASSERT_TRUE(table->Locate("ID", Variant(1), {}));
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "Z");

    // A post the table refuses keeps the row, the record and the edit.
    std::string reported;
    ExceptionReporter previous = SetExceptionReporter([&](const std::exception& e) { reported = e.what(); });
    struct Restore {
        ExceptionReporter& previous;
        ~Restore() { SetExceptionReporter(std::move(previous)); }
    } restore{previous};
    table->BeforePost = [](TDataSet*) { throw Exception("Der Name fehlt"); };
    typeInto(1, "Y");
    driver->PressKey(VK_DOWN);
    EXPECT_EQ(reported, "Der Name fehlt");
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(FocusedId(), 2);
    EXPECT_EQ(table->FieldByName("ID")->AsInteger(), 2);
    table->BeforePost = nullptr;
    driver->PressKey(VK_DOWN);
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(FocusedId(), 3);
    ASSERT_TRUE(table->Locate("ID", Variant(2), {}));
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "Y");

    // Grouped: the edited record leaves its group, which goes; the focus reaches the row it
    // was sent to.
    name->SetGroupIndex(0);
    grid->FullExpand();
    ASSERT_EQ(grid->GetCount(), 3);  // Anna (3), Y (2), Z (1)
    grid->GetItem(0)->Items(0)->SetFocused(true);
    table->Edit();
    table->FieldByName("Name")->SetAsString("Y");
    driver->PressKey(VK_DOWN);
    EXPECT_EQ(table->State(), dsBrowse);
    ASSERT_EQ(grid->GetCount(), 2);
    EXPECT_EQ(grid->GetFocusedNode(), grid->GetItem(0));
    EXPECT_EQ(grid->GetItem(0)->Count(), 2);
}

TEST_F(DBGridKeys, LeftAndRightCloseAndOpenGroupRowsOrScrollWithRowSelect) {
    name->SetGroupIndex(0);
    ASSERT_EQ(grid->GetCount(), 2);
    TvxTreeListNode* anna = grid->GetItem(0);
    anna->Expand(false);
    anna->SetFocused(true);
    driver->PressKey(VK_LEFT);
    EXPECT_FALSE(anna->Expanded());
    EXPECT_EQ(grid->GetFocusedNode(), anna);
    driver->PressKey(VK_RIGHT);
    EXPECT_TRUE(anna->Expanded());
    // With whole rows selected Left scrolls instead.
    TvxDBGridOptionsView view = grid->OptionsView();
    view.Include(edgoRowSelect);
    grid->SetOptionsView(view);
    anna->Items(0)->SetFocused(true);
    driver->PressKey(VK_LEFT);
    EXPECT_TRUE(anna->Expanded());
    EXPECT_EQ(grid->GetFocusedNode(), anna->Items(0));
}

}  // namespace
