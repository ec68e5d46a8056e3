// Rows that grow with their wrapped texts in the DB grid: every record loaded (rows of their
// own heights, the wrapped lines painted), and the record window, whose buffer holds as many
// records as rows of their heights fill the grid.

#include <algorithm>
#include <string>
#include <vector>

#include "grid/columns/vx_db_grid_columns.h"
#include "platform/gdi/bitmap.h"
#include "platform/win/paint.h"
#include "tests/controls/vx_picture_test_support.h"
#include "tests/grid/grid_test_form.h"
#include "tests/support/test_pictures.h"

namespace {

class DBGridAutoHeight : public GridOnForm {
protected:
    void SetUp() override {
        GridOnForm::SetUp();
        auto* name = Col("Name");
        name->SetWidth(120);
        note = grid->CreateColumn<TvxDBGridMemoColumn>();
        note->SetName("colNote");
        note->SetFieldName("Note");
        note->SetWidth(220);
        grid->SetOptionsView(grid->OptionsView().Include(edgoRowAutoHeight));
        table->Open();
    }
    // Record id; its note is Lines lines of text (one line: a single word).
    void AddNote(int id, int lines) {
        std::string text = "Zeile 1 von Datensatz " + std::to_string(id);
        for (int i = 2; i <= lines; ++i) text += "\nZeile " + std::to_string(i);
        table->Append();
        table->FieldByName("ID")->SetAsInteger(id);
        table->FieldByName("Name")->SetAsString("Tür " + std::to_string(id));
        table->FieldByName("Note")->SetAsString(text);
        table->Post();
    }
    int Unit() { return grid->GetRowHeight(nullptr, grid->Metrics().RowHeightUnit, true); }
    int Step() { return grid->Metrics().LineStep; }
    int RowHeight(TvxTreeListNode* node) { return grid->GetRowHeight(node, grid->Metrics().RowHeightUnit, false); }
    // The dark pixels the form shows inside a client rectangle of the grid.
    int InkIn(const TRect& client) {
        UpdateAllWindows();
        TRect frame;
        GetWindowRect(form->Handle(), &frame);
        const HBITMAP buffer = GetWindowBackBuffer(form->Handle());
        int ink = 0;
        for (int y = client.Top; y < client.Bottom; ++y)
            for (int x = client.Left; x < client.Right; ++x) {
                const TPoint p = grid->ClientToScreen(TPoint{x, y});
                const COLORREF c = PixelToColor(buffer->Row(p.Y - frame.Top)[p.X - frame.Left]);
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++ink;
            }
        return ink;
    }

    TvxDBGridMemoColumn* note = nullptr;
};

TEST_F(DBGridAutoHeight, EveryRowIsAsHighAsItsWrappedTextsAndShowsEveryLine) {
    AddNote(1, 1);
    AddNote(2, 3);
    AddNote(3, 2);
    table->Append();
    table->FieldByName("ID")->SetAsInteger(4);
    table->FieldByName("Note")->SetAsString(
        "Ein langer Text ohne Zeilenende, der in der schmalen Spalte umbrechen muss");
    table->Post();
    LoadAll();
    driver->Pump();
    ASSERT_EQ(grid->GetCount(), 4);
    EXPECT_EQ(RowHeight(grid->GetItem(0)), Unit());
    EXPECT_EQ(RowHeight(grid->GetItem(1)), Unit() + 2 * Step());
    EXPECT_EQ(RowHeight(grid->GetItem(2)), Unit() + Step());
    EXPECT_GT(RowHeight(grid->GetItem(3)), Unit());  // wrapped at the column's width

    // The third line of the second row is painted inside its row, below the second line.
    const TRect row = grid->GetNodeRowRect(grid->GetItem(1));
    const TRect cell = grid->GetCellRect(grid->GetItem(1), 1);
    ASSERT_EQ(row.Height(), Unit() + 2 * Step());
    const int thirdLine = row.Top + 1 + 2 * Step();
    EXPECT_GT(InkIn(TRect{cell.Left, thirdLine, cell.Right, thirdLine + Step()}), 0);
    // The row below starts after it: its own text is where it belongs.
    EXPECT_EQ(grid->GetNodeRowRect(grid->GetItem(2)).Top, row.Bottom);

    // A limit on the lines shortens the rows; none again lets them grow.
    grid->SetMaxRowLineCount(2);
    EXPECT_EQ(RowHeight(grid->GetItem(1)), Unit() + Step());
    grid->SetMaxRowLineCount(-1);
    EXPECT_EQ(RowHeight(grid->GetItem(1)), Unit() + 2 * Step());
    // A changed record is measured again.
    table->First();
    table->Edit();
    table->FieldByName("Note")->SetAsString("eins\nzwei\ndrei\nvier");
    table->Post();
    driver->Pump();
    EXPECT_EQ(RowHeight(grid->GetItem(0)), Unit() + 3 * Step());

    grid->GetItem(1)->SetFocused(true);
    driver->Pump();
    EXPECT_TRUE(SaveFormWithPopups(form, {}, TestPicturePath("db_grid_auto_height_rows.png")));
}

TEST_F(DBGridAutoHeight, TheRecordWindowHoldsTheRecordsWhoseRowsFillTheGrid) {
    // Alternating rows of one and four lines.
    for (int i = 1; i <= 60; ++i) AddNote(i, i % 2 ? 1 : 4);
    table->First();
    driver->Pump();
    ASSERT_TRUE(grid->IsCursorMode());
    const int area = grid->GetRectInfo().Rows.Height();
    int partly = 0, wholly = 0, sum = 0;
    for (int i = 1; sum < area; ++i) {
        const int h = i % 2 ? Unit() : Unit() + 3 * Step();
        ++partly;
        if (sum + h <= area) ++wholly;
        sum += h;
    }
    EXPECT_EQ(grid->PartlyVisibleRows(), partly);
    EXPECT_EQ(grid->WhollyVisibleRows(), wholly);
    EXPECT_EQ(grid->GetDataLink()->BufferCount(), partly);
    EXPECT_EQ(grid->GetCount(), partly);
    // Moving on shows other records in the same rows: each takes its own record's height.
    table->MoveBy(partly + 1);
    driver->Pump();
    ASSERT_EQ(grid->GetCount(), grid->PartlyVisibleRows());
    auto expected = [&](TvxTreeListNode* node) {
        const std::string text = grid->GetNodeString(node, note->Index());
        return Unit() + static_cast<int>(std::count(text.begin(), text.end(), '\n')) * Step();
    };
    int shown = 0;
    for (int i = 0; i < grid->GetCount(); ++i) {
        TvxTreeListNode* node = grid->GetItem(i);
        EXPECT_EQ(grid->GetRowHeight(node, grid->Metrics().RowHeightUnit, true), expected(node)) << i;
        if (shown < area) shown += expected(node);
    }
    EXPECT_GE(shown, area);
    EXPECT_TRUE(SaveFormWithPopups(form, {}, TestPicturePath("db_grid_auto_height_window.png")));

    // A short table: the rows area ends below the last record's row.
    while (table->RecordCount() > 3) {
        table->First();
        table->Delete();
    }
    driver->Pump();
    ASSERT_EQ(grid->GetCount(), 3);
    int rowsHeight = 0;
    for (int i = 0; i < 3; ++i) rowsHeight += expected(grid->GetItem(i));
    TRect rows;
    grid->GetRowsAreaRect(rows);
    EXPECT_EQ(rows.Height(), rowsHeight);
}

}  // namespace
