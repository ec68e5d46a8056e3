// The line that shows where a sized edge goes: inverted pixels that follow the mouse, survive
// a repaint underneath and leave nothing behind; and the default row height a row edge
// sized by the mouse sets.

#include <filesystem>

#include "tests/support/test_pictures.h"
#include "tests/treelist/test_selecting_control.h"
#include "tests/treelist/test_tree_list_form.h"

namespace {

class TreeListSizingLine : public TreeListOnForm<TSelectingControl> {
protected:
    void SetUp() override {
        TreeListOnForm::SetUp();
        grid->SetOptions({TvxTLOption::ColumnSizing});
        for (TvxTreeListColumn* c : cols) c->SetCaption(Numbered("Spalte ", c->Index() + 1));
        for (int i = 0; i < 8; ++i) {
            TvxTreeListNode* n = grid->Add();
            for (int c = 0; c < 3; ++c) n->SetStrings(c, Numbered("Zeile ", i));
        }
        driver->Pump();
    }
    // Pixels down a column (or along a row) of the control.
    std::vector<COLORREF> Column(int x, const std::vector<int>& ys) {
        std::vector<COLORREF> out;
        for (int y : ys) out.push_back(Pixel(TPoint{x, y}));
        return out;
    }
    std::vector<COLORREF> Row(int y, const std::vector<int>& xs) {
        std::vector<COLORREF> out;
        for (int x : xs) out.push_back(Pixel(TPoint{x, y}));
        return out;
    }
    static std::vector<COLORREF> Inverted(std::vector<COLORREF> v) {
        for (COLORREF& c : v) c = ~c & 0xFFFFFF;
        return v;
    }
};

TEST_F(TreeListSizingLine, FollowsTheMouseAndLeavesNothingBehind) {
    const TRect header = HeaderRect(0);
    const TPoint edge{header.Right - 1, (header.Top + header.Bottom) / 2};
    const int rowsBottom = grid->GetRectInfo().Rows.Bottom;
    const std::vector<int> ys{header.Top, edge.Y, header.Bottom + 5, rowsBottom / 2, rowsBottom - 1};
    auto line = [&](int x) { return std::make_pair(Column(x - 1, ys), Column(x, ys)); };
    const auto atEdge = line(edge.X);
    const auto further = line(edge.X + 40);
    const std::vector<COLORREF> below = Column(edge.X, {rowsBottom + 1});

    Down(edge);
    ASSERT_EQ(grid->State(), 1);
    EXPECT_TRUE(grid->SizingLineShown());
    EXPECT_EQ(line(edge.X), std::make_pair(Inverted(atEdge.first), Inverted(atEdge.second)));
    EXPECT_EQ(Column(edge.X, {rowsBottom + 1}), below);
    Move(TPoint{edge.X + 40, edge.Y});
    EXPECT_EQ(line(edge.X), atEdge);
    EXPECT_EQ(line(edge.X + 40), std::make_pair(Inverted(further.first), Inverted(further.second)));
    // Painting underneath takes the line away first and puts it back after.
    grid->Invalidate();
    driver->Pump();
    EXPECT_EQ(line(edge.X + 40), std::make_pair(Inverted(further.first), Inverted(further.second)));
    EXPECT_TRUE(driver->SaveForm(form, TestPicturePath("treelist_sizing_line.png")));
    // A right press cancels: the line goes, the width stays.
    Down(TPoint{edge.X + 40, edge.Y}, MouseButton::Right);
    Up(TPoint{edge.X + 40, edge.Y}, MouseButton::Right);
    EXPECT_EQ(grid->State(), 0);
    EXPECT_FALSE(grid->SizingLineShown());
    EXPECT_EQ(line(edge.X + 40), further);
    EXPECT_EQ(line(edge.X), atEdge);
    EXPECT_EQ(cols[0]->Width(), 100);

    // A release sizes the column; what shows then is what a fresh paint shows.
    Down(edge);
    Move(TPoint{edge.X + 40, edge.Y});
    Up(TPoint{edge.X + 40, edge.Y});
    EXPECT_EQ(cols[0]->Width(), 140);
    EXPECT_FALSE(grid->SizingLineShown());
    const auto after = line(edge.X + 40);
    grid->Invalidate();
    EXPECT_EQ(line(edge.X + 40), after);
}

TEST_F(TreeListSizingLine, RowEdgeSetsTheDefaultRowHeight) {
    grid->SetOptionsEx(grid->OptionsEx().Include(TvxTLOptionEx::RowSizing));
    driver->Pump();
    auto rowEntry = [&](int i) {
        TvxTreeListLayout layout;
        grid->CalcLayout(layout);
        const TvxTreeListRowEntry e = layout.RowEntries[static_cast<size_t>(i)];
        TCustomvxTreeList::FreeLayout(layout);
        return e;
    };
    const TvxTreeListRowEntry row = rowEntry(2);
    const int unit = grid->Metrics().RowHeightUnit;
    ASSERT_EQ(row.Height, unit);
    const TPoint edge{150, row.Top + row.Height - 1};
    ASSERT_EQ(grid->GetHitTestType(edge.X, edge.Y), hkRowEdge);
    const std::vector<int> xs{0, 150, grid->ClientRect().Right - 1};
    const std::vector<COLORREF> plain = Row(edge.Y + 10, xs);

    Down(edge);
    EXPECT_EQ(grid->State(), 14);
    Move(TPoint{edge.X, edge.Y + 10});
    // A horizontal line across the control.
    EXPECT_EQ(Row(edge.Y + 10, xs), Inverted(plain));
    Up(TPoint{edge.X, edge.Y + 10});
    EXPECT_EQ(grid->State(), 0);
    EXPECT_FALSE(grid->SizingLineShown());
    // The press was on the row's last pixel; the line now stands on the new last pixel
    // (and the one below), so every row is 9 pixels taller.
    EXPECT_EQ(grid->DefaultRowHeight(), unit + 9);
    EXPECT_EQ(rowEntry(0).Height, unit + 9);

    // Above the row's least height the line stops there: the least line height comes back.
    const TvxTreeListRowEntry tall = rowEntry(2);
    const TPoint edge2{150, tall.Top + tall.Height - 1};
    Down(edge2);
    Move(TPoint{edge2.X, tall.Top - 30});
    EXPECT_EQ(grid->SizingLinePosition(), tall.Top + grid->Metrics().MinRowLineHeight);
    Up(TPoint{edge2.X, tall.Top - 30});
    EXPECT_EQ(rowEntry(0).Height, grid->Metrics().MinRowLineHeight);
    EXPECT_FALSE(grid->DefaultRowHeightAssigned());
}

}  // namespace
