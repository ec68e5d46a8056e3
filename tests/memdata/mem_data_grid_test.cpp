// The memory table in the data grid, laid out as the device overview declares it: the
// hidden record number stays out of the grid, and ten thousand records scroll by jumps
// that read only the rows on screen.

#include <string>

#include "memdata/vx_mem_data.h"
#include "platform/db/db.h"
#include "platform/dbctrls/db_grid.h"
#include "platform/win/scroll_bars.h"
#include "tests/platform/forms/forms_test_support.h"

namespace {

class MemDataGrid : public FormsTest {
protected:
    TForm* form = nullptr;
    TvxMemData* table = nullptr;
    TDBGrid* grid = nullptr;

    void Build(int records) {
        form = MakeForm("Form1", 400, 260);
        table = new TvxMemData(form);
        table->SetName("Mem1");
        Field<TIntegerField>("NodeID");
        Field<TStringField>("SerNumber", 10);
        Field<TStringField>("DevType", 15);
        Field<TIntegerField>("UsageCount");
        Fill(records);
        auto* source = new TDataSource(form);
        source->SetDataSet(table);
        grid = Add<TDBGrid>(form, "DBGrid1", 8, 8);
        grid->SetBounds(8, 8, 360, 200);
        grid->SetDataSource(source);
        form->Show();
        grid->SetFocus();
        ::UpdateAllWindows();
    }
    template <class F>
    void Field(const std::string& name, int size = 0) {
        auto* f = new F(form);
        f->SetFieldName(name);
        if (size > 0) f->SetSize(size);
        f->SetDataSet(table);
    }
    // Empties the table by closing and opening it, then appends the records.
    void Fill(int records) {
        table->Close();
        table->Open();
        table->DisableControls();
        for (int i = 1; i <= records; ++i) {
            table->Append();
            table->FieldByName("NodeID")->SetAsInteger(i);
            table->FieldByName("SerNumber")->SetAsString(std::to_string(100000 + i));
            table->Post();
        }
        table->EnableControls();
        table->First();
    }
    int Node() { return table->FieldByName("NodeID")->AsInteger(); }
    int Top() { return GetScrollPos(grid->Handle(), SB_VERT); }
};

TEST_F(MemDataGrid, ShowsTheDeclaredFieldsButNotTheRecordNumber) {
    Build(3);
    std::vector<TDBGridColumn> cols = grid->Columns();
    ASSERT_EQ(cols.size(), 4u);
    for (const TDBGridColumn& c : cols) EXPECT_NE(c.Field->FieldName(), "RecId");
    EXPECT_EQ(cols[0].Field->FieldName(), "NodeID");
    // Closing the table while shown empties the grid; refilled, it shows the new records.
    table->Close();
    ::UpdateAllWindows();
    EXPECT_TRUE(grid->Columns().empty());
    Fill(2);
    ::UpdateAllWindows();
    EXPECT_EQ(grid->DataLink()->RecordCount(), 2);
    Driver().PressKey(VK_DOWN);
    EXPECT_EQ(Node(), 2);
}

TEST_F(MemDataGrid, TenThousandRecordsScrollByJumps) {
    Build(10000);
    int page = grid->VisibleRowCount();
    EXPECT_EQ(table->BufferCount(), page) << "the ring holds the rows on screen only";
    Driver().PressKey(VK_END, TShiftState{ssCtrl});
    EXPECT_EQ(Node(), 10000);
    EXPECT_EQ(Top(), 10000 - page);
    Driver().PressKey(VK_PRIOR);
    EXPECT_EQ(Node(), 10000 - page);

    // The thumb puts a record at the top; the current record keeps its row.
    Driver().PressKey(VK_HOME, TShiftState{ssCtrl});
    Driver().PressKey(VK_DOWN);
    grid->ScrollToTop(5000);
    EXPECT_EQ(Top(), 5000);
    EXPECT_EQ(Node(), 5002);
    grid->ScrollToTop(20);
    EXPECT_EQ(Top(), 20);
    EXPECT_EQ(Node(), 22);
    grid->ScrollToTop(20000);
    EXPECT_EQ(Top(), 10000 - page);
    EXPECT_EQ(Node(), 10000 - page + 2);
    TRect last = grid->CellRect(1, page - 1);
    TPoint at = Point(last.Left + 4, last.Top + 4);
    Driver().MouseDown(grid, at);
    Driver().MouseUp(grid, at);
    Driver().Pump();
    EXPECT_EQ(Node(), 10000);
}

}  // namespace
