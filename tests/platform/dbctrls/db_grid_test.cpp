// The data grid over a dataset of rows: what it draws (titles, rows, the current row, scroll
// bars), how keys, clicks, the wheel and the scroll bars move the dataset's record, how it
// follows the dataset, and that a missing, closed, empty or vanishing dataset leaves an
// empty grid.

#include <cstdlib>
#include <filesystem>

#include "platform/db/data_source.h"
#include "platform/dbctrls/db_grid.h"
#include "platform/forms/control_paint.h"
#include "platform/gdi/system_metrics.h"
#include "platform/win/scroll_bars.h"
#include "platform/win/window_tree.h"
#include "tests/platform/db/row_dataset.h"
#include "tests/platform/forms/forms_test_support.h"
#include "tests/support/test_pictures.h"

namespace {

TPoint Centre(TRect r) { return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }

std::string PictureFile(const std::string& name) { return TestPicturePath("tovak_db_grid_" + name + ".png"); }

class DBGridTest : public FormsTest {
protected:
    TForm* form = nullptr;
    TRowDataSet* ds = nullptr;
    TDataSource* src = nullptr;
    TDBGrid* grid = nullptr;
    TIntegerField* node = nullptr;
    TStringField* serial = nullptr;
    TStringField* type = nullptr;

    // A shown form with a focused grid over `rows` records (NodeID 1..rows).
    void Build(int rows, int width = 320, int height = 160) {
        form = MakeForm("GridForm", width + 24, height + 48);
        ds = new TRowDataSet(form);
        node = ds->Add<TIntegerField>("NodeID");
        serial = ds->Add<TStringField>("SerNumber", 10);
        type = ds->Add<TStringField>("DevType", 15);
        ds->Open();
        for (int i = 1; i <= rows; ++i)
            ds->AddRow({Variant(i), Variant("SN" + std::to_string(1000 + i)), Variant("Leser " + std::to_string(i))});
        ds->First();
        src = new TDataSource(form);
        src->SetDataSet(ds);
        grid = Add<TDBGrid>(form, "DBGrid1", 8, 8);
        grid->SetBounds(8, 8, width, height);
        grid->SetDataSource(src);
        form->Show();
        grid->SetFocus();
        ::UpdateAllWindows();
    }
    int CurrentNode() { return node->AsInteger(); }
    bool HasBar(int bar) {
        DWORD flag = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
        return (GetWindowLong(grid->Handle(), GWL_STYLE) & flag) != 0;
    }
    // Highlighted pixels in the data area of a row on screen.
    int HighlightIn(int row) {
        TRect r = grid->RowRect(row);
        r.Left = grid->IndicatorWidth();
        return CountPixels(grid, r, ColorToRGB(clHighlight));
    }
    // Dark pixels of the indicator cell of a row: the arrow of the current record.
    int ArrowIn(int row) {
        TRect r = grid->RowRect(row);
        r.Right = grid->IndicatorWidth();
        return CountPixels(grid, r, ColorToRGB(clWindowText));
    }
    int CurrentRowOnScreen() {
        for (int r = 0; r < grid->VisibleRowCount(); ++r)
            if (ArrowIn(r) > 0) return r;
        return -1;
    }
    // A point of the vertical scroll bar, in client coordinates: from its top (dy >= 0) or its
    // bottom (dy < 0).
    TPoint VBar(int dy) {
        int x = grid->ClientWidth() + GetSystemMetrics(SM_CXVSCROLL) / 2;
        return Point(x, dy >= 0 ? dy : grid->ClientHeight() + dy);
    }
    TPoint HBar(int dx) {
        int y = grid->ClientHeight() + GetSystemMetrics(SM_CYHSCROLL) / 2;
        return Point(dx >= 0 ? dx : grid->ClientWidth() + dx, y);
    }
    void ClickAt(TPoint local) {
        Driver().MouseDown(grid, local);
        Driver().MouseUp(grid, local);
        Driver().Pump();
    }
};

TEST_F(DBGridTest, DrawsTitlesRowsAndTheCurrentRecord) {
    Build(5);
    std::vector<TDBGridColumn> cols = grid->Columns();
    ASSERT_EQ(cols.size(), 3u) << "one column per field";
    EXPECT_EQ(cols[0].Field, node);
    EXPECT_EQ(cols[2].Field, type);
    EXPECT_GT(cols[2].Width, cols[1].Width) << "a wider field gets a wider column";

    // Titles on the button face, with their text; the rows on the window colour.
    TRect title = grid->CellRect(1, 0);
    title.Top = 0;
    title.Bottom = grid->TitleHeight();
    EXPECT_EQ(PixelAt(grid, Point(title.Left + 3, 2)), ColorToRGB(clBtnFace));
    EXPECT_GT(CountPixels(grid, title, ColorToRGB(clBtnText)), 10) << "the title text";
    EXPECT_EQ(PixelAt(grid, Point(grid->CellRect(1, 2).Right - 3, grid->RowRect(2).Top + 2)), ColorToRGB(clWindow));
    EXPECT_GT(CountPixels(grid, grid->CellRect(1, 2), ColorToRGB(clWindowText)), 10) << "the cell text";

    // The current record: its cell in the highlight colour and the arrow beside its row.
    EXPECT_GT(HighlightIn(0), 0);
    EXPECT_EQ(HighlightIn(1), 0);
    EXPECT_EQ(CurrentRowOnScreen(), 0);
    EXPECT_GT(CountPixels(grid, grid->CellRect(0, 0), ColorToRGB(clHighlight)), 0) << "the first column is selected";
    EXPECT_EQ(CountPixels(grid, grid->CellRect(1, 0), ColorToRGB(clHighlight)), 0) << "only the selected cell";
    EXPECT_EQ(CountPixels(grid, grid->CellRect(1, 5), ColorToRGB(clWindowText)), 0) << "nothing below the last record";
    ASSERT_TRUE(Driver().SaveForm(form, PictureFile("rows")));

    // Whole-row selection fills the row; without focus the selection goes unless asked to stay.
    grid->SetOptions(grid->Options() + TDBGridOptions{dgRowSelect});
    ds->Next();
    ::UpdateAllWindows();
    EXPECT_GT(CountPixels(grid, grid->CellRect(2, 1), ColorToRGB(clHighlight)), 0);
    EXPECT_EQ(HighlightIn(0), 0);
    ASSERT_TRUE(Driver().SaveForm(form, PictureFile("row_select")));
    auto* other = Add<TTestBox>(form, "Other", 8, 180);
    other->SetFocus();
    EXPECT_EQ(HighlightIn(1), 0);
    grid->SetOptions(grid->Options() + TDBGridOptions{dgAlwaysShowSelection});
    EXPECT_GT(HighlightIn(1), 0);
}

TEST_F(DBGridTest, FieldsDecideColumnsTitlesAndAlignment) {
    Build(3);
    serial->SetDisplayLabel("Seriennummer");
    type->SetVisible(false);
    std::vector<TDBGridColumn> cols = grid->Columns();
    ASSERT_EQ(cols.size(), 2u) << "an invisible field has no column";
    // A title longer than the field's width widens the column.
    EXPECT_GE(cols[1].Width, MeasureText(grid->Font(), "Seriennummer", TRect{}, DT_SINGLELINE).Width());

    // Numbers are drawn against the cell's right edge.
    grid->SetOptions(TDBGridOptions{dgTitles, dgIndicator});
    ds->Last();
    ::UpdateAllWindows();
    TRect cell = grid->CellRect(0, 0);
    TRect left = cell, right = cell;
    left.Right = (cell.Left + cell.Right) / 2;
    right.Left = left.Right;
    EXPECT_EQ(CountPixels(grid, left, ColorToRGB(clWindowText)), 0);
    EXPECT_GT(CountPixels(grid, right, ColorToRGB(clWindowText)), 0);
}

TEST_F(DBGridTest, KeysMoveTheRecord) {
    Build(40);
    int page = grid->VisibleRowCount();
    ASSERT_GT(page, 2);
    Driver().PressKey(VK_DOWN);
    Driver().PressKey(VK_DOWN);
    EXPECT_EQ(CurrentNode(), 3);
    Driver().PressKey(VK_UP);
    EXPECT_EQ(CurrentNode(), 2);
    Driver().PressKey(VK_NEXT);
    EXPECT_EQ(CurrentNode(), 2 + page);
    Driver().PressKey(VK_PRIOR);
    EXPECT_EQ(CurrentNode(), 2);
    Driver().PressKey(VK_END, TShiftState{ssCtrl});
    EXPECT_EQ(CurrentNode(), 40);
    ::UpdateAllWindows();
    EXPECT_EQ(CurrentRowOnScreen(), page - 1) << "the last record at the bottom";
    Driver().PressKey(VK_DOWN);
    EXPECT_EQ(CurrentNode(), 40) << "stays on the last record";
    Driver().PressKey(VK_HOME, TShiftState{ssCtrl});
    EXPECT_EQ(CurrentNode(), 1);
    Driver().PressKey(VK_UP);
    EXPECT_EQ(CurrentNode(), 1);

    // Without whole-row selection Home, End and the side arrows pick the column.
    Driver().PressKey(VK_RIGHT);
    EXPECT_EQ(grid->SelectedIndex(), 1);
    Driver().PressKey(VK_END);
    EXPECT_EQ(grid->SelectedField(), type);
    Driver().PressKey(VK_RIGHT);
    EXPECT_EQ(grid->SelectedIndex(), 2);
    Driver().PressKey(VK_HOME);
    EXPECT_EQ(grid->SelectedIndex(), 0);
    EXPECT_EQ(CurrentNode(), 1);
    // With it they go to the first and the last record.
    grid->SetOptions(grid->Options() + TDBGridOptions{dgRowSelect});
    Driver().PressKey(VK_END);
    EXPECT_EQ(CurrentNode(), 40);
    Driver().PressKey(VK_HOME);
    EXPECT_EQ(CurrentNode(), 1);
}

TEST_F(DBGridTest, ClicksAndTheWheelMoveTheRecord) {
    Build(40);
    ClickAt(Centre(grid->CellRect(1, 3)));
    EXPECT_EQ(CurrentNode(), 4);
    EXPECT_EQ(grid->SelectedIndex(), 1);
    ClickAt(Point(grid->CellRect(0, 0).Left + 2, grid->TitleHeight() / 2));
    EXPECT_EQ(CurrentNode(), 4) << "a title is no record";
    Driver().Wheel(grid, -2);
    Driver().Pump();
    EXPECT_EQ(CurrentNode(), 6);
    Driver().Wheel(grid, 1);
    Driver().Pump();
    EXPECT_EQ(CurrentNode(), 5);
}

TEST_F(DBGridTest, FollowsTheDatasetAndItsChanges) {
    Build(40);
    ds->Last();
    ::UpdateAllWindows();
    EXPECT_EQ(CurrentRowOnScreen(), grid->VisibleRowCount() - 1);
    EXPECT_EQ(GetScrollPos(grid->Handle(), SB_VERT), 40 - grid->VisibleRowCount());
    ds->First();
    ::UpdateAllWindows();
    EXPECT_EQ(CurrentRowOnScreen(), 0);
    EXPECT_EQ(GetScrollPos(grid->Handle(), SB_VERT), 0);

    // A changed value shows at once.
    ds->Edit();
    type->SetAsString("Zentrale");
    ds->Post();
    ::UpdateAllWindows();
    TRect cell = grid->CellRect(2, 0);
    int textBefore = CountPixels(grid, cell, ColorToRGB(clWindowText));
    ds->Edit();
    type->SetAsString("Z");
    ds->Post();
    EXPECT_LT(CountPixels(grid, cell, ColorToRGB(clWindowText)), textBefore);

    // A record being added shows as the current row; once posted the bar counts it.
    ds->Append();
    node->SetAsInteger(41);
    ::UpdateAllWindows();
    EXPECT_EQ(CurrentRowOnScreen(), grid->VisibleRowCount() - 1);
    ds->Post();
    int lo = 0, hi = 0;
    GetScrollRange(grid->Handle(), SB_VERT, &lo, &hi);
    EXPECT_EQ(hi, 40);
    EXPECT_EQ(GetScrollPos(grid->Handle(), SB_VERT), 41 - grid->VisibleRowCount());
}

TEST_F(DBGridTest, ScrollBarsScrollRecordsAndColumns) {
    Build(40, 160, 120);
    EXPECT_TRUE(HasBar(SB_VERT));
    EXPECT_TRUE(HasBar(SB_HORZ)) << "three columns do not fit 160 pixels";
    int page = grid->VisibleRowCount();
    ASSERT_TRUE(Driver().SaveForm(form, PictureFile("scroll_bars")));
    // The bars beside and below the rows: their tracks below the thumbs.
    EXPECT_EQ(PixelAt(grid, VBar(-GetSystemMetrics(SM_CYVSCROLL) - 4)), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(PixelAt(grid, HBar(-GetSystemMetrics(SM_CXHSCROLL) - 4)), GetSysColor(COLOR_3DLIGHT));

    ClickAt(VBar(-4));  // the down arrow
    EXPECT_EQ(CurrentNode(), 2);
    ClickAt(VBar(4));  // the up arrow
    EXPECT_EQ(CurrentNode(), 1);
    ClickAt(VBar(-GetSystemMetrics(SM_CYVSCROLL) - 4));  // the track below the thumb
    EXPECT_EQ(CurrentNode(), 1 + page);
    EXPECT_EQ(GetScrollPos(grid->Handle(), SB_VERT), 1);

    // Columns: the arrows step a whole column; the offset never passes the last column.
    int second = grid->Columns()[0].Width;
    ClickAt(HBar(-4));
    EXPECT_EQ(grid->LeftOffset(), second);
    EXPECT_EQ(GetScrollPos(grid->Handle(), SB_HORZ), second);
    ClickAt(HBar(-4));
    ClickAt(HBar(-4));
    ClickAt(HBar(-4));
    int total = 0;
    for (const TDBGridColumn& c : grid->Columns()) total += c.Width;
    EXPECT_EQ(grid->LeftOffset(), total - (grid->ClientWidth() - grid->IndicatorWidth()));
    ASSERT_TRUE(Driver().SaveForm(form, PictureFile("scrolled_right")));
    ClickAt(HBar(4));
    EXPECT_LT(grid->LeftOffset(), total - (grid->ClientWidth() - grid->IndicatorWidth()));
    // Choosing a column scrolls it into view.
    grid->SetSelectedIndex(0);
    EXPECT_EQ(grid->LeftOffset(), 0);
    grid->SetSelectedIndex(2);
    EXPECT_GE(grid->CellRect(2, 0).Left, grid->IndicatorWidth());
    EXPECT_LE(grid->CellRect(2, 0).Right, grid->ClientWidth());
}

TEST_F(DBGridTest, DraggingTheThumbJumpsToTheRecordThere) {
    Build(1000, 320, 160);
    // Drag the thumb to the bottom of the track.
    int arrow = GetSystemMetrics(SM_CYVSCROLL);
    TPoint thumb = VBar(arrow + 3);
    Driver().MouseDown(grid, thumb);
    Driver().MoveTo(grid, VBar(-arrow - 1));
    Driver().MoveTo(grid, VBar(-1));
    Driver().MouseUp(grid, VBar(-1));
    Driver().Pump();
    EXPECT_EQ(CurrentNode(), 1000 - grid->VisibleRowCount() + 1 + 0) << "the current row keeps its place";
    EXPECT_EQ(GetScrollPos(grid->Handle(), SB_VERT), 1000 - grid->VisibleRowCount());
}

TEST_F(DBGridTest, ReadsOnlyTheRowsOnScreen) {
    Build(300);
    int reads = 0;
    node->OnGetText = [&](TField* f, std::string& text, bool) {
        ++reads;
        text = f->AsString();
    };
    EXPECT_EQ(grid->DataLink()->BufferCount(), grid->VisibleRowCount());
    EXPECT_LE(ds->BufferCount(), grid->VisibleRowCount() + 1);
    grid->Invalidate();
    ::UpdateAllWindows();
    EXPECT_EQ(reads, grid->VisibleRowCount());
    // A taller grid reads more rows.
    int before = grid->VisibleRowCount();
    grid->SetHeight(grid->Height() + 3 * grid->RowHeight());
    EXPECT_EQ(grid->VisibleRowCount(), before + 3);
    EXPECT_EQ(grid->DataLink()->BufferCount(), before + 3);
}

TEST_F(DBGridTest, MissingClosedEmptyOrVanishingDataDrawsAnEmptyGrid) {
    Build(0);
    // Empty: the titles, no row, no arrow, no bar.
    EXPECT_EQ(grid->Columns().size(), 3u);
    EXPECT_EQ(CurrentRowOnScreen(), -1);
    EXPECT_FALSE(HasBar(SB_VERT));
    Driver().PressKey(VK_DOWN);
    Driver().PressKey(VK_END, TShiftState{ssCtrl});
    ClickAt(Centre(grid->CellRect(0, 2)));
    ASSERT_TRUE(Driver().SaveForm(form, PictureFile("empty")));

    // Closed while shown: nothing of the old columns stays.
    for (int i = 1; i <= 30; ++i) ds->AddRow({Variant(i), Variant("x"), Variant("y")});
    ::UpdateAllWindows();
    EXPECT_TRUE(HasBar(SB_VERT));
    ds->Close();
    ::UpdateAllWindows();
    EXPECT_TRUE(grid->Columns().empty());
    EXPECT_FALSE(HasBar(SB_VERT));
    EXPECT_FALSE(HasBar(SB_HORZ));
    TRect client = grid->ClientRect();
    EXPECT_EQ(CountPixels(grid, client, ColorToRGB(clWindow)), client.Width() * client.Height());
    Driver().PressKey(VK_DOWN);
    Driver().Wheel(grid, -1);
    ClickAt(Point(40, 40));
    ds->Open();
    ::UpdateAllWindows();
    EXPECT_EQ(grid->Columns().size(), 3u);

    // No data source, a data source without a dataset, and one freed while shown.
    grid->SetDataSource(nullptr);
    ::UpdateAllWindows();
    EXPECT_TRUE(grid->Columns().empty());
    auto* lone = new TDataSource(form);
    grid->SetDataSource(lone);
    ::UpdateAllWindows();
    EXPECT_TRUE(grid->Columns().empty());
    lone->SetDataSet(ds);
    EXPECT_EQ(grid->Columns().size(), 3u);
    delete lone;
    EXPECT_EQ(grid->DataSource(), nullptr);
    ::UpdateAllWindows();
    Driver().PressKey(VK_DOWN);

    // The dataset freed while shown.
    grid->SetDataSource(src);
    EXPECT_EQ(grid->Columns().size(), 3u);
    delete ds;
    ds = nullptr;
    ::UpdateAllWindows();
    EXPECT_TRUE(grid->Columns().empty());
    Driver().PressKey(VK_NEXT);
}

TEST_F(DBGridTest, AGridFreedBeforeItsSourceLeavesNoLink) {
    Build(5);
    delete grid;
    EXPECT_TRUE(src->DataLinks().empty());
    ds->Next();
    ds->Close();
}

}  // namespace
