// Services of the data-aware tree list the grid builds on: horizontal scrolling by whole
// columns, the indicator column's width, key checks against the field, the new-item row,
// removing a record node with the group rows it leaves empty, and the sorted columns.

#include "grid/columns/vx_db_grid_column.h"
#include "platform/win/messages.h"
#include "tests/grid/grid_test_form.h"

namespace {

class DBTreeListServices : public GridOnForm {};

TEST_F(DBTreeListServices, HorizontalLineScrollsSnapToColumnStarts) {
    grid->SetWidth(260);
    for (const char* f : {"ID", "Name", "Amount", "Day"}) {
        auto* c = grid->CreateColumn<TvxDBGridMaskColumn>();
        c->SetFieldName(f);
        c->SetWidth(100);
    }
    table->Open();
    driver->Pump();
    auto scroll = [&](int code) {
        SendMessage(grid->Handle(), WM_HSCROLL, MAKEWPARAM(code, 0), 0);
        return grid->LeftCoord();
    };
    const int most = 400 - grid->GetVisibleDataWidth();
    ASSERT_GT(most, 100);
    ASSERT_LT(most, 200);
    EXPECT_EQ(scroll(SB_LINERIGHT), 100);
    EXPECT_EQ(scroll(SB_LINERIGHT), most);  // the next start lies beyond the end
    EXPECT_EQ(scroll(SB_LINELEFT), 100);
    EXPECT_EQ(scroll(SB_LINELEFT), 0);
    EXPECT_EQ(scroll(SB_LINELEFT), 0);
}

TEST_F(DBTreeListServices, TheIndicatorTakesTheGridsIndicatorWidth) {
    grid->SetShowIndicator(true);
    auto rowsLeft = [&] {
        TvxTreeListLayout l;
        grid->CalcLayout(l);
        const int left = l.Rows.Left;
        TCustomvxTreeList::FreeLayout(l);
        return left;
    };
    const int narrow = rowsLeft();
    grid->SetGrIndicatorWidth(30);
    EXPECT_EQ(rowsLeft(), narrow + 18);
}

TEST_F(DBTreeListServices, KeysAreCheckedByTheFocusedColumnsField) {
    auto* id = grid->CreateColumn<TvxDBGridMaskColumn>();
    id->SetFieldName("ID");
    auto* unbound = grid->CreateColumn<TvxDBGridMaskColumn>();
    unbound->SetFieldName("Nothing");
    table->Open();
    AddRecord(1, "Anna");
    RowForCurrentRecord();
    grid->SetFocusedColumn(0);
    EXPECT_TRUE(grid->IsValidChar(U'5'));
    EXPECT_FALSE(grid->IsValidChar(U'a'));
    grid->SetFocusedColumn(1);
    EXPECT_FALSE(grid->IsValidChar(U'5'));  // no field, no input
}

TEST_F(DBTreeListServices, TheNewItemRowStartsAnInsert) {
    auto* name = grid->CreateColumn<TvxDBGridMaskColumn>();
    name->SetFieldName("Name");
    table->Open();
    AddRecord(1, "Anna");
    RowForCurrentRecord();
    grid->SetFocusedColumn(0);
    bool editing = false;
    grid->OnEditing = [&](TObject*, TvxTreeListNode*, bool& allow) { editing = allow; };
    bool allow = false;
    grid->DoEditingNewItemRow(allow);
    EXPECT_TRUE(allow);
    EXPECT_TRUE(editing);
    EXPECT_EQ(table->State(), dsInsert);
    EXPECT_TRUE(grid->IsNewItemRowEditing());
    table->Cancel();
    // Not without inserts.
    grid->SetOptionsDB(TvxDBGridOptionsDB{edgoCanNavigation});
    grid->DoEditingNewItemRow(allow);
    EXPECT_FALSE(allow);
    EXPECT_EQ(table->State(), dsBrowse);
}

TEST_F(DBTreeListServices, ARemovedRecordNodeTakesItsEmptiedGroupRowsAlong) {
    KeepHandBuiltRows();
    TvxTreeListNode* group = grid->Add();
    TvxTreeListNode* sub = group->AddChild();
    TvxTreeListNode* only = sub->AddChild();
    TvxTreeListNode* other = grid->Add()->AddChild();
    other->Parent()->AddChild();
    grid->DeleteNodeWithEmptyParents(only);
    EXPECT_EQ(grid->GetCount(), 1);
    grid->DeleteNodeWithEmptyParents(other);
    EXPECT_EQ(grid->GetCount(), 1);
    EXPECT_EQ(grid->GetItem(0)->Count(), 1);
}

TEST_F(DBTreeListServices, OneSortedColumnIsKeptWithoutMultiSort) {
    KeepHandBuiltRows();  // header sorting needs every record loaded
    auto* a = grid->CreateColumn<TvxDBGridColumn>();
    auto* b = grid->CreateColumn<TvxDBGridColumn>();
    b->SetSorted(csDown);
    a->SetSorted(csUp);  // a click's sort makes its column the only one
    EXPECT_EQ(b->Sorted(), csNone);
    grid->BeginSorting();  // a form's stream sets both
    b->SetSorted(csDown);
    grid->EndSorting();
    EXPECT_EQ(grid->GetSortedColumn(), a);
    grid->KeepOneSortedColumn();
    EXPECT_EQ(a->Sorted(), csUp);
    EXPECT_EQ(b->Sorted(), csNone);
    grid->ClearSortedColumns();
    EXPECT_EQ(a->Sorted(), csNone);
    EXPECT_EQ(grid->GetSortedColumn(), nullptr);
}

}  // namespace

namespace {

TEST_F(DBTreeListServices, SelectedBookmarksStaySortedAndAreFoundAgain) {
    table->Open();
    std::vector<TBookmark> marks;
    for (int i = 1; i <= 5; ++i) {
        AddRecord(i, "r");
        marks.push_back(table->Bookmark());
    }
    for (int i : {3, 0, 4, 1}) grid->AddSelectedBookmark(marks[static_cast<size_t>(i)]);
    grid->AddSelectedBookmark(marks[3]);  // once only
    ASSERT_EQ(grid->GetSelectedCount(), 4);
    for (int i = 0; i + 1 < grid->GetSelectedCount(); ++i)
        EXPECT_LT(table->CompareBookmarks(grid->GetSelectedBookmark(i), grid->GetSelectedBookmark(i + 1)), 0);
    int index = -1;
    EXPECT_TRUE(grid->FindBookmark(marks[3], index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(grid->FindBookmark(marks[2], index));
    EXPECT_EQ(index, 2);  // where it would go
    grid->RemoveSelectedBookmark(marks[1]);
    EXPECT_TRUE(grid->FindBookmark(marks[3], index));  // the cache follows the change
    EXPECT_EQ(index, 1);
    grid->ClearSelection();
    EXPECT_EQ(grid->GetSelectedCount(), 0);
    EXPECT_FALSE(grid->FindBookmark(marks[3], index));
}

}  // namespace

namespace {

TEST_F(DBTreeListServices, ColumnsCompareTheFieldWithTheEditorsValue) {
    auto* name = grid->CreateColumn<TvxDBGridColumn>();
    name->SetFieldName("Name");
    auto* masked = grid->CreateColumn<TvxDBGridMaskColumn>();
    masked->SetFieldName("Name");
    auto* id = grid->CreateColumn<TvxDBGridColumn>();
    id->SetFieldName("ID");
    table->Open();
    AddRecord(7, "Anna");
    EXPECT_TRUE(name->IsFieldValueEqual(Variant("Anna")));
    EXPECT_FALSE(name->IsFieldValueEqual(Variant("Anna ")));
    EXPECT_FALSE(name->IsFieldValueEqual(Variant()));
    EXPECT_FALSE(name->IsFieldValueEqual(Null()));
    EXPECT_TRUE(id->IsFieldValueEqual(Variant(7)));
    EXPECT_TRUE(id->IsFieldValueEqual(Variant("7")));
    // The mask column drops trailing blanks, and its blank text matches an empty field.
    EXPECT_TRUE(masked->IsFieldValueEqual(Variant("Anna  ")));
    masked->SetEditMask("99-99;0;_");
    table->Edit();
    table->FieldByName("Name")->SetAsString("");
    EXPECT_TRUE(masked->IsFieldValueEqual(Variant("__-__")));
    EXPECT_FALSE(masked->IsFieldValueEqual(Variant("12-34")));
    table->Cancel();
}

TEST_F(DBTreeListServices, CellRecordsGoWithTheirColumnAndTheLinkResetsAnUntouchedEdit) {
    skipAgreementCheck = "a row built by hand below a row of the record window";
    auto* id = grid->CreateColumn<TvxDBGridColumn>();
    id->SetFieldName("ID");
    auto* amount = grid->CreateColumn<TvxDBGridColumn>();
    amount->SetFieldName("Amount");
    table->Open();
    AddRecord(3, "Carl", false, 9.5);
    TvxTreeListNode* node = RowForCurrentRecord();
    TvxTreeListNode* child = node->AddChild();
    grid->LoadNodeData(child);
    delete id;
    EXPECT_DOUBLE_EQ(grid->GetNodeColumn(node, 0).Value.AsDouble(), 9.5);
    EXPECT_DOUBLE_EQ(grid->GetNodeColumn(child, 0).Value.AsDouble(), 9.5);
    EXPECT_TRUE(grid->GetNodeColumn(node, 1).Value.IsEmpty());

    TvxDBTreeListControlDataLink* link = grid->GetDataLink();
    table->Edit();
    link->Reset();  // nothing typed: the edit goes
    EXPECT_EQ(table->State(), dsBrowse);
    table->Edit();
    link->SetModified(true);
    link->Reset();  // typed: the record is read again, the edit stays
    EXPECT_EQ(table->State(), dsEdit);
    table->Cancel();
}

TEST_F(DBTreeListServices, ARecordNodeDeletesItsRecordOnlyWhereItCanFindIt) {
    auto* name = grid->CreateColumn<TvxDBGridColumn>();
    name->SetFieldName("Name");
    table->Open();
    AddRecord(1, "Anna");
    AddRecord(2, "Bert");
    TvxTreeListNode* focused = RowForCurrentRecord();
    ASSERT_TRUE(grid->IsCursorMode());
    ASSERT_EQ(grid->GetCount(), 2);
    TvxTreeListNode* other = grid->GetItem(0) == focused ? grid->GetItem(1) : grid->GetItem(0);
    static_cast<TvxDBGridNode*>(other)->DeleteRecord();  // not the current record
    EXPECT_EQ(table->RecordCount(), 2);
    // The grid names the row of the record it deletes while it deletes, and no row once the
    // delete has changed the table.
    TvxTreeListNode* syncedWhileDeleting = nullptr;
    table->BeforeDelete = [&](TDataSet*) { syncedWhileDeleting = grid->SyncedNode(); };
    static_cast<TvxDBGridNode*>(focused)->DeleteRecord();
    table->BeforeDelete = nullptr;
    EXPECT_EQ(table->RecordCount(), 1);
    EXPECT_EQ(syncedWhileDeleting, focused);
    EXPECT_EQ(grid->SyncedNode(), nullptr);

    // Loading all: found again by the record's place.
    grid->SetKeyField("ID");
    TvxDBGridOptionsDB db = grid->OptionsDB();
    db.Include(edgoLoadAllRecords);
    grid->SetOptionsDB(db);
    AddRecord(3, "Carl");
    ASSERT_EQ(grid->GetCount(), 2);
    auto* first = static_cast<TvxDBGridNode*>(grid->GetItem(0));
    auto* last = static_cast<TvxDBGridNode*>(grid->GetItem(1));
    EXPECT_EQ(last->RecordIndex, 1);
    first->SetFocused(true);
    last->DeleteRecord();
    EXPECT_EQ(table->RecordCount(), 1);
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "Anna");
}

}  // namespace
