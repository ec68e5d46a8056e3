// Widths set by the mouse (bands and columns, with and without AutoWidth), row heights and
// the couplings of the option sets.

#include "tests/treelist/test_column_tree_list.h"

namespace {

struct Sizes {
    TCustomvxTreeListControl tl{nullptr};
    std::vector<TvxTreeListColumn*> cols;
    Sizes(int columns, int clientWidth) {
        tl.SetBounds(0, 0, clientWidth + 4, 204);
        cols = AddColumns(tl, columns);
        tl.RefreshLayout();
    }
    // One column in each of Count bands.
    void OneColumnABand(int count) {
        MakeBands(tl, count);
        for (int i = 0; i < count; ++i) cols[static_cast<size_t>(i)]->SetBandIndex(i);
        tl.RefreshLayout();
    }
    std::string Widths() {
        std::string s;
        for (auto* c : cols) {
            if (!s.empty()) s += ' ';
            s += std::to_string(tl.GetColumnShownWidth(c->Index()));
        }
        return s;
    }
    std::string BandWidths() {
        std::string s;
        for (int b = 0; b < tl.GetBandCount(); ++b) {
            if (!s.empty()) s += ' ';
            s += std::to_string(tl.GetBandWidth(b));
        }
        return s;
    }
    void Options(TvxTLOption o, bool on) {
        TvxTreeListOptions v = tl.Options();
        tl.SetOptions(on ? v.Include(o) : v.Exclude(o));
    }
    void OptionsEx(TvxTLOptionEx o, bool on) {
        TvxTreeListOptionsEx v = tl.OptionsEx();
        tl.SetOptionsEx(on ? v.Include(o) : v.Exclude(o));
    }
};

}  // namespace

TEST(TreeListSizes, BandWidthByTheMouse) {
    Sizes s(3, 300);
    s.tl.SetBandWidthByMouse(0, 450);  // the columns follow in proportion
    EXPECT_EQ(s.Widths(), "150 150 150");
    EXPECT_EQ(s.tl.GetBandWidth(0), 450);

    // With AutoWidth the other bands absorb the change: those after, or those before the last.
    Sizes a(3, 300);
    a.OneColumnABand(3);
    a.Options(TvxTLOption::AutoWidth, true);
    EXPECT_EQ(a.BandWidths(), "100 100 100");
    a.tl.SetBandWidthByMouse(0, 160);
    EXPECT_EQ(a.BandWidths(), "160 70 70");
    a.tl.SetBandWidthByMouse(2, 150);
    EXPECT_EQ(a.BandWidths(), "104 46 150");
    a.tl.SetBandWidthByMouse(1, 96);
    EXPECT_EQ(a.BandWidths(), "104 96 100");
}

TEST(TreeListSizes, ColumnWidthByTheMouse) {
    Sizes s(3, 400);
    s.tl.SetShowBands(true);  // the row shares the change
    s.tl.SetColumnWidthByMouse(0, 160);
    EXPECT_EQ(s.Widths(), "160 70 70");
    s.tl.SetColumnWidthByMouse(2, 100);  // the last: the columns before absorb it
    EXPECT_EQ(s.Widths(), "139 61 100");
    EXPECT_EQ(s.tl.GetBandWidth(0), 300);

    Sizes f(3, 400);  // bands hidden: the band follows its header
    f.tl.SetColumnWidthFollowingBand(1, 150);
    EXPECT_EQ(f.Widths(), "100 150 100");
    EXPECT_EQ(f.tl.GetBandWidth(0), 350);
}

TEST(TreeListSizes, ColumnsShareAnAutoWidthBand) {
    Sizes s(3, 400);
    s.cols[1]->SetSizing(false);  // keeps its stored width
    s.Options(TvxTLOption::AutoWidth, true);
    EXPECT_EQ(s.Widths(), "133 100 167");  // the share is taken left to right
    // Stored widths that sum to nothing: least widths, never a division by zero.
    s.cols[0]->SetMinWidth(0);
    s.cols[0]->SetWidth(0);
    s.cols[1]->SetSizing(true);
    s.cols[1]->SetMinWidth(0);
    s.cols[1]->SetWidth(0);
    s.cols[2]->SetMinWidth(0);
    s.cols[2]->SetWidth(0);
    s.tl.RefreshLayout();
    EXPECT_EQ(s.Widths(), "0 0 400");
}

TEST(TreeListSizes, RowHeights) {
    Sizes s(2, 300);
    TvxTreeListNode* parent = s.tl.Add();
    TvxTreeListNode* leaf = s.tl.Add();
    parent->SetHasChildren(true);
    const int unit = s.tl.Metrics().RowHeightUnit;
    EXPECT_EQ(s.tl.GetRowHeight(leaf, unit, true), 16);
    EXPECT_EQ(s.tl.GetRowHeight(parent, unit, true), 16);
    s.tl.SetShowExpandButtons(false);  // a parent without buttons takes a pixel more
    EXPECT_EQ(s.tl.GetRowHeight(parent, unit, true), 17);
    EXPECT_EQ(s.tl.GetRowHeight(leaf, unit, true), 16);

    // The cache answers until the layout drops it.
    EXPECT_EQ(s.tl.GetRowHeight(leaf, 40, false), 40);
    EXPECT_EQ(s.tl.GetRowHeight(leaf, unit, false), 40);
    EXPECT_EQ(s.tl.GetRowHeight(leaf, unit, true), 16);
    s.tl.RefreshLayout();
    EXPECT_EQ(s.tl.GetRowHeight(leaf, s.tl.Metrics().RowHeightUnit, false), 16);

    // Preview lines below the cells.
    s.tl.SetPreviewLines(2);
    s.Options(TvxTLOption::Preview, true);
    EXPECT_EQ(s.tl.GetRowHeight(leaf, s.tl.Metrics().RowHeightUnit, true), 16 + 2 * 13 + 2);
    s.tl.SetShowGrid(true);  // with ShowPreviewGrid: the separator and the preview line
    EXPECT_EQ(s.tl.GetRowHeight(leaf, s.tl.Metrics().RowHeightUnit, true), 1 + 17 + 26 + 1 + 2 - 1);
}

TEST(TreeListSizes, OptionCouplings) {
    Sizes s(3, 400);
    s.OptionsEx(TvxTLOptionEx::InvertSelect, true);
    EXPECT_FALSE(s.tl.IsRowSelect());
    s.Options(TvxTLOption::RowSelect, true);
    EXPECT_FALSE(s.tl.IsInvertSelect());

    // Switching AutoSort on, MultiSort off or AnsiSort either way forgets the sorted columns.
    auto sortedAfter = [&](const std::function<void()>& change) {
        s.cols[0]->SetSorted(csNone);
        s.cols[0]->SetSorted(csUp);
        change();
        return s.tl.SortedColumnCount();
    };
    EXPECT_EQ(sortedAfter([&] { s.Options(TvxTLOption::AutoSort, true); }), 0);
    EXPECT_EQ(sortedAfter([&] { s.Options(TvxTLOption::AutoSort, false); }), 1);
    s.OptionsEx(TvxTLOptionEx::MultiSort, true);
    EXPECT_EQ(sortedAfter([&] { s.OptionsEx(TvxTLOptionEx::MultiSort, false); }), 0);
    EXPECT_EQ(sortedAfter([&] { s.OptionsEx(TvxTLOptionEx::AnsiSort, true); }), 0);

    // KeepColumnWidth: leaving AutoWidth keeps the widths the columns were shown with.
    Sizes k(3, 400);
    k.tl.SetShowBands(true);
    k.OptionsEx(TvxTLOptionEx::KeepColumnWidth, true);
    k.Options(TvxTLOption::AutoWidth, true);
    EXPECT_EQ(k.Widths(), "133 133 134");
    k.Options(TvxTLOption::AutoWidth, false);
    EXPECT_EQ(k.Widths(), "133 133 134");
    Sizes plain(3, 400);
    plain.Options(TvxTLOption::AutoWidth, true);
    plain.Options(TvxTLOption::AutoWidth, false);
    EXPECT_EQ(plain.Widths(), "100 100 100");

    // Leaving RowSelect gives a focused node a focused column.
    TvxTreeListNode* node = plain.tl.Add();
    node->SetFocused(true);
    plain.Options(TvxTLOption::RowSelect, false);
    EXPECT_EQ(plain.tl.GetFocusedColumn(), 0);
    plain.tl.SetFocusedColumn(7);  // out of range: ignored
    EXPECT_EQ(plain.tl.GetFocusedColumn(), 0);
    plain.tl.SetFocusedColumn(2);
    EXPECT_EQ(plain.tl.GetFocusedColumn(), 2);
}

TEST(TreeListSizes, FontsNewItemRowAndDragFeedback) {
    Sizes s(2, 300);
    s.tl.SetParentFont(true);
    TFont big;
    big.SetSize(16);
    s.tl.SetHeaderFont(&big);
    EXPECT_GT(s.tl.Metrics().HeaderLineHeight, 19);
    EXPECT_FALSE(s.tl.ParentFont());

    s.tl.SetNewItemRowActive(true);  // only while the row is shown
    EXPECT_FALSE(s.tl.NewItemRowActive());
    s.tl.SetShowNewItemRow(true);
    s.tl.SetNewItemRowActive(true);
    EXPECT_TRUE(s.tl.NewItemRowActive());
    s.tl.SetShowNewItemRow(false);
    EXPECT_FALSE(s.tl.NewItemRowActive());

    s.tl.HideDragFeedback();
    s.tl.HideDragFeedback();
    s.tl.ShowDragFeedback();
    EXPECT_EQ(s.tl.DragFeedbackCount(), 1);
    s.tl.ShowDragFeedback();
    s.tl.ShowDragFeedback();
    EXPECT_EQ(s.tl.DragFeedbackCount(), 0);

    s.tl.Add();
    s.tl.Add();
    s.tl.FocusFirstNode();
    EXPECT_EQ(s.tl.GetFocusedNode(), s.tl.GetItem(0));
    EXPECT_EQ(s.tl.TopVisibleNode(), s.tl.GetItem(0));
}

TEST(TreeListSizes, AutoHeightRowsGrowByTheirWrappedCells) {
    Sizes s(2, 300);
    const int unit = s.tl.Metrics().RowHeightUnit;
    const int step = s.tl.Metrics().LineStep;
    TvxTreeListNode* tall = s.tl.Add();
    tall->SetStrings(0, "one\ntwo\nthree");
    tall->SetStrings(1, "x");
    TvxTreeListNode* plain = s.tl.Add();
    plain->SetStrings(1, "short");
    TvxTreeListNode* wrapped = s.tl.Add();
    wrapped->SetStrings(1, "a text of many words that needs more than one line in a hundred pixels");
    // Without the option every row keeps its unit.
    EXPECT_EQ(s.tl.GetRowHeight(tall, unit, true), unit);

    s.OptionsEx(TvxTLOptionEx::RowAutoHeight, true);
    EXPECT_EQ(s.tl.GetRowHeight(tall, unit, false), unit + 2 * step);
    EXPECT_EQ(tall->LineCountCache(), 3);
    // A height asked for past the cache (the row sizing's limit) leaves the cached lines.
    s.tl.GetRowHeight(tall, s.tl.Metrics().MinRowLineHeight, true);
    EXPECT_EQ(tall->LineCountCache(), 3);
    EXPECT_EQ(s.tl.GetRowHeight(plain, unit, false), unit);
    const int wrappedHeight = s.tl.GetRowHeight(wrapped, unit, false);
    const int lines = wrapped->LineCountCache();
    EXPECT_GT(lines, 1);
    EXPECT_EQ(wrappedHeight, unit + (lines - 1) * step);
    // A wider column needs fewer lines; a new layout measures again.
    s.cols[1]->SetWidth(600);
    s.tl.RefreshLayout();
    EXPECT_LT(s.tl.GetRowHeight(wrapped, unit, false), wrappedHeight);

    // MaxRowLineCount caps the lines; 0 switches the option off.
    s.tl.SetMaxRowLineCount(2);
    EXPECT_EQ(s.tl.GetRowHeight(tall, unit, true), unit + step);
    s.tl.SetMaxRowLineCount(0);
    EXPECT_EQ(s.tl.GetRowHeight(tall, unit, true), unit);
    s.tl.SetMaxRowLineCount(-1);
    // A preview keeps rows at their unit.
    s.Options(TvxTLOption::Preview, true);
    EXPECT_EQ(s.tl.GetRowHeight(tall, unit, true), unit + 2 * 13 + 2);
    s.Options(TvxTLOption::Preview, false);

    // The event sees each cell at the width it is painted with (the first column less its
    // tree indent) and may answer for it.
    struct Call {
        std::string column;
        std::string text;
        int width, textHeight, maxLines;
        bool inflate;
    };
    std::vector<Call> calls;
    s.tl.OnCalcRowLineHeight = [&](TObject* Sender, TvxTreeListNode* Node, TvxTreeListColumn* Column,
                                   const std::string& Text, int Width, int TextHeight, int MaxLineCount, bool Inflate,
                                   int& LineCount, int& LineHeight, bool& Done) {
        EXPECT_EQ(Sender, &s.tl);
        EXPECT_EQ(Node, tall);
        calls.push_back({Column->Name(), Text, Width, TextHeight, MaxLineCount, Inflate});
        if (Column->Name() == "B") {
            LineCount = 5;
            LineHeight = 13;
            Done = true;
        }
    };
    s.tl.SetMaxRowLineCount(9);
    EXPECT_EQ(s.tl.GetRowHeight(tall, unit, false), unit + 4 * step);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].column, "A");
    EXPECT_EQ(calls[0].text, "one\ntwo\nthree");
    EXPECT_EQ(calls[0].width, 100 - 16);
    EXPECT_EQ(calls[1].width, 600);
    EXPECT_EQ(calls[1].textHeight, 13);
    EXPECT_EQ(calls[1].maxLines, 9);
    EXPECT_TRUE(calls[1].inflate);
    // The cached height answers until the next layout; the line count stays with it.
    EXPECT_EQ(s.tl.GetRowHeight(tall, unit, false), unit + 4 * step);
    EXPECT_EQ(calls.size(), 2u);
    int lineHeight = 0;
    EXPECT_EQ(s.tl.CalcRowLineCount(tall, lineHeight), 5);
    EXPECT_EQ(calls.size(), 2u);
    s.tl.RefreshLayout();
    EXPECT_EQ(tall->LineCountCache(), 0);
}

TEST(TreeListSizes, TheLastPageOfAutoHeightRowsIsCountedByTheirHeights) {
    Sizes s(2, 300);
    s.OptionsEx(TvxTLOptionEx::RowAutoHeight, true);
    for (int i = 0; i < 30; ++i) s.tl.Add()->SetStrings(1, i < 25 ? "kurz" : "eins\nzwei\ndrei\nvier");
    s.tl.RefreshLayout();
    const int unit = s.tl.Metrics().RowHeightUnit;
    const int tall = unit + 3 * s.tl.Metrics().LineStep;
    ASSERT_EQ(s.tl.GetRowHeight(s.tl.GetItem(29), unit, false), tall);
    const int area = s.tl.GetRectInfo().Rows.Height();
    ASSERT_GT(5 * tall, area);  // fewer than five tall rows fit
    const int fitting = area / tall;
    // The top stops where the last rows fill the area, not further down.
    s.tl.SetTopIndex(29);
    EXPECT_EQ(s.tl.GetTopIndex(), 30 - fitting);
    s.tl.SetTopIndex(0);
    EXPECT_EQ(s.tl.GetTopIndex(), 0);
}
