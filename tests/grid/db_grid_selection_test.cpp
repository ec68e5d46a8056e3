// The selection by records against what changes the rows: reloads keep exactly the records
// that were selected (none, some, all; by bookmarks and by keys; flat and grouped; in a table
// that moves a record as it is edited), deleting the selection deletes exactly its records,
// and a row freed while selected leaves its record selected.

#include <algorithm>
#include <set>

#include "grid/columns/vx_db_grid_column.h"
#include "grid/filter/vx_criteria_operators.h"
#include "tests/grid/grid_test_form.h"

namespace {

class DBGridSelection : public GridOnForm {
  protected:
    void SetUp() override {
        GridOnForm::SetUp();
        Col("ID");
        Col("Name");
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

    TvxDBGridColumn* active = nullptr;
    TvxDBGridColumn* amount = nullptr;
};

TEST_F(DBGridSelection, EveryShareOfTheSelectionOutlivesReloadsAsItWas) {
    for (bool bookmarks : {true, false})
        for (bool grouped : {false, true})
            for (const std::set<int>& share : {std::set<int>{}, std::set<int>{3, 7, 20, 33}, All()}) {
                SCOPED_TRACE(std::string(bookmarks ? "bookmarks" : "keys") + (grouped ? ", grouped" : ", flat") +
                             ", " + std::to_string(share.size()) + " selected");
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
// another order than when they were selected.
TEST_F(DBGridSelection, ASelectionOutlivesRecordsThatMoveInTheTable) {
    table->SetSortedField("Amount");
    const std::set<int> share{2, 5, 30, 31};
    Select(share);
    ASSERT_EQ(Selected(), share);
    Edit(2, "Amount", Variant(35.5));
    EXPECT_EQ(Selected(), share);
    Edit(31, "Amount", Variant(0.5));
    EXPECT_EQ(Selected(), share);
    // The rows still say whether they are selected, and unselecting one takes its record only.
    TvxTreeListNode* row = nullptr;
    for (TvxTreeListNode* r : DataRows())
        if (Id(r) == 30) row = r;
    ASSERT_NE(row, nullptr);
    row->SetSelected(false);
    EXPECT_EQ(Selected(), (std::set<int>{2, 5, 31}));
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

TEST_F(DBGridSelection, RowsAFilterHidesLeaveTheSelectionAndTheOthersStay) {
    for (bool bookmarks : {true, false})
        for (bool grouped : {false, true}) {
            SCOPED_TRACE(std::string(bookmarks ? "bookmarks" : "keys") + (grouped ? ", grouped" : ", flat"));
            grid->SetUseBookmarks(bookmarks);
            active->SetGroupIndex(grouped ? 0 : -1);
            std::set<int> share;
            for (int id = 1; id <= 40; id += 2) share.insert(id);
            Select(share);
            // Every row of the Active group goes, and the lower amounts of the other.
            grid->Filter()->SetActive(true);
            grid->Filter()->Criteria()->AddItem(nullptr, active, vxoEqual, Variant(false), "False");
            grid->Filter()->Criteria()->AddItem(nullptr, amount, vxoGreater, Variant(20.0), "20");
            grid->FilterChanged();
            std::set<int> kept;
            for (int id : share)
                if (id % 3 != 0 && id > 20) kept.insert(id);
            EXPECT_EQ(RowIds().size(), 13u);
            EXPECT_EQ(Selected(), kept);
            grid->ClearFilter();
            EXPECT_EQ(Selected(), kept);
        }
}

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
}

}  // namespace
