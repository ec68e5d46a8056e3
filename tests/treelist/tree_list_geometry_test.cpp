// Metrics, area rectangles and the layout record: bands, header cells and rows for a scroll
// position, and the rectangles of cells and the editor. The built-in font makes every
// number exact: text 13 pixels high.

#include "platform/gdi/image_list.h"
#include "tests/treelist/test_column_tree_list.h"

namespace {

// A control whose filter status bar is shown.
class TFilteredTreeList : public TCustomvxTreeListControl {
public:
    using TCustomvxTreeListControl::TCustomvxTreeListControl;
    bool IsFilterStatusVisible() override { return true; }
};

struct Grid {
    TCustomvxTreeListControl tl{nullptr};
    std::vector<TvxTreeListColumn*> cols;
    explicit Grid(int columns = 3, int width = 404, int height = 204) {
        tl.SetBounds(0, 0, width, height);  // a client of width - 4 by height - 4
        cols = AddColumns(tl, columns);
        tl.RefreshLayout();
    }
    TvxTreeListLayout Layout() {
        TvxTreeListLayout layout;
        tl.CalcLayout(layout);
        return layout;
    }
    void Options(TvxTLOption o, bool on) {
        TvxTreeListOptions v = tl.Options();
        tl.SetOptions(on ? v.Include(o) : v.Exclude(o));
    }
    void OptionsEx(TvxTLOptionEx o, bool on) {
        TvxTreeListOptionsEx v = tl.OptionsEx();
        tl.SetOptionsEx(on ? v.Include(o) : v.Exclude(o));
    }
    // Columns of a band's row laid out as "column:left-right" entries.
    std::string Cells() {
        std::string s;
        for (const auto& c : Layout().CellEntries) {
            if (!s.empty()) s += ' ';
            s += tl.Columns(c.Column)->Name() + ":" + std::to_string(c.Rect.Left) + "-" + std::to_string(c.Rect.Right);
        }
        return s;
    }
};

std::string Str(const TRect& r) {
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
           std::to_string(r.Bottom);
}

}  // namespace

TEST(TreeListGeometry, MetricsOfBothLooks) {
    Grid g;
    const TvxTreeListMetrics& m = g.tl.Metrics();
    EXPECT_EQ(m.TextHeight, 13);
    EXPECT_EQ(m.BandPanelHeight, 0);
    EXPECT_EQ(m.HeaderLineHeight, 19);
    EXPECT_EQ(m.HeaderPanelHeight, 19);
    EXPECT_EQ(m.FooterLineHeight, 20);
    EXPECT_EQ(m.SummaryFooterHeight, 0);
    EXPECT_EQ(m.RowFooterHeight, 22);  // ShowPreviewGrid alone adds no line
    EXPECT_EQ(m.RowLineHeight, 16);
    EXPECT_EQ(m.NewItemRowHeight, 0);
    g.tl.SetShowBands(true);
    g.tl.SetShowSummaryFooter(true);
    g.tl.SetShowNewItemRow(true);
    g.tl.SetShowIndicator(true);
    EXPECT_EQ(m.BandPanelHeight, 19);
    EXPECT_EQ(m.SummaryFooterHeight, 24);
    EXPECT_EQ(m.NewItemRowHeight, 22);
    EXPECT_EQ(m.IndicatorWidth, 12);
    g.tl.SetLookAndFeel(lfFlat);
    EXPECT_EQ(m.BandPanelHeight, 18);
    EXPECT_EQ(m.HeaderLineHeight, 18);
    EXPECT_EQ(m.SummaryFooterHeight, 23);
    EXPECT_EQ(m.NewItemRowHeight, 21);
    // Two header rows: twice the header, the footers and no new-item row.
    g.tl.SetHeaderPanelRowCount(2);
    EXPECT_EQ(m.HeaderPanelHeight, 36);
    EXPECT_EQ(m.SummaryFooterHeight, 43);
    EXPECT_EQ(m.NewItemRowHeight, 0);
}

TEST(TreeListGeometry, RowLineHeightRules) {
    Grid g;
    const TvxTreeListMetrics& m = g.tl.Metrics();
    TImageList images(nullptr);
    images.SetWidth(16);
    images.SetHeight(16);
    g.tl.SetImages(&images);
    EXPECT_EQ(m.RowLineHeight, 16);  // not taller than the line
    images.SetHeight(20);
    g.tl.RefreshLayout();
    EXPECT_EQ(m.RowLineHeight, 20);
    EXPECT_EQ(m.ImageHeight, 20);
    g.tl.SetShowGrid(true);  // ShowPreviewGrid is on
    EXPECT_EQ(m.RowLineHeight, 21);
    EXPECT_EQ(m.RowFooterHeight, 23);
    g.OptionsEx(TvxTLOptionEx::InvertSelect, true);
    EXPECT_EQ(m.RowLineHeight, 23);
    g.tl.SetImages(nullptr);
}

TEST(TreeListGeometry, FilterStatusAndDefaultRowHeight) {
    TFilteredTreeList tl(nullptr);
    tl.RefreshLayout();
    EXPECT_EQ(tl.Metrics().FilterStatusHeight, 18);

    tl.SetDefaultRowHeight(30);
    EXPECT_EQ(tl.Metrics().RowHeightUnit, 30);
    tl.SetDefaultRowHeight(10);  // below the line: the line wins, still explicit
    EXPECT_EQ(tl.Metrics().RowHeightUnit, 16);
    EXPECT_TRUE(tl.DefaultRowHeightAssigned());
    tl.SetDefaultRowHeight(16);  // the computed value is no explicit height
    EXPECT_FALSE(tl.DefaultRowHeightAssigned());
    tl.SetShowNewItemRow(true);
    tl.SetDefaultRowHeight(25);
    EXPECT_EQ(tl.Metrics().NewItemRowHeight, 31);
}

TEST(TreeListGeometry, AreasOfTheClient) {
    Grid g;
    g.tl.SetShowIndicator(true);
    g.tl.SetShowBands(true);
    g.tl.SetShowSummaryFooter(true);
    g.tl.SetShowNewItemRow(true);
    TvxTreeListLayout L = g.Layout();
    EXPECT_EQ(Str(L.Client), "0,0,400,200");
    EXPECT_EQ(Str(L.GroupPanel), "0,0,0,0");
    EXPECT_EQ(Str(L.BandCorner), "0,0,12,19");
    EXPECT_EQ(Str(L.BandPanel), "12,0,312,19");  // three columns of 100
    EXPECT_EQ(Str(L.HeaderCorner), "0,19,12,38");
    EXPECT_EQ(Str(L.HeaderPanel), "12,19,312,38");
    EXPECT_EQ(Str(L.NewItemRow), "0,38,312,60");
    EXPECT_EQ(Str(L.Rows), "12,60,400,176");
    EXPECT_EQ(Str(L.BandsFiller), "312,0,400,176");
    EXPECT_EQ(Str(L.Indicator), "0,60,12,60");  // no rows
    EXPECT_EQ(Str(L.BelowRowsFiller), "0,60,312,176");
    EXPECT_EQ(Str(L.Footer), "0,176,400,200");
    EXPECT_EQ(L.DataRight, 311);

    // Without header, bands and indicator their areas are empty.
    g.tl.SetShowHeader(false);
    g.tl.SetShowBands(false);
    g.tl.SetShowIndicator(false);
    L = g.Layout();
    EXPECT_EQ(Str(L.HeaderPanel), "0,0,0,0");
    EXPECT_EQ(Str(L.HeaderCorner), "0,0,0,0");
    EXPECT_EQ(Str(L.BandPanel), "0,0,0,0");
    EXPECT_EQ(Str(L.BandCorner), "0,0,0,0");

    // A client too low for any row.
    Grid low(3, 404, 20);
    low.tl.Add();
    L = low.Layout();
    EXPECT_EQ(L.Rows.Top, 19);  // below the 16-pixel client: no height at all
    EXPECT_EQ(L.Rows.Bottom, 19);
    EXPECT_TRUE(L.RowEntries.empty());
}

TEST(TreeListGeometry, RowsFillTheAreaAndEndEarly) {
    Grid g(3, 404, 100);
    for (int i = 0; i < 10; ++i) g.tl.Add();
    TvxTreeListLayout L = g.Layout();
    // 19..96: 77 pixels hold four whole rows and part of a fifth.
    ASSERT_EQ(L.RowEntries.size(), 5u);
    EXPECT_EQ(L.RowEntries[4].Top, 19 + 4 * 16);
    EXPECT_EQ(L.RowsEnd, -1);
    Grid few(3, 404, 100);
    few.tl.Add();
    few.tl.Add();
    L = few.Layout();
    EXPECT_EQ(L.RowEntries.size(), 2u);
    EXPECT_EQ(L.RowsEnd, 19 + 32 - 1);
    EXPECT_EQ(Str(L.BelowRowsFiller), "0,51,300,96");
}

TEST(TreeListGeometry, AutoWidthFillsTheClientExactly) {
    Grid g;
    MakeBands(g.tl, 2);
    g.cols[2]->SetBandIndex(1);
    g.cols[0]->SetWidth(100);
    g.cols[1]->SetWidth(101);
    g.cols[2]->SetWidth(100);
    g.Options(TvxTLOption::AutoWidth, true);
    EXPECT_EQ(g.tl.GetBandsTotalWidth(), 400);
    const int b0 = g.tl.GetBandWidth(0);
    EXPECT_EQ(b0, 267);  // 400 * 201 / 301, rounded
    EXPECT_EQ(g.tl.GetBandWidth(1), 400 - b0);
    TvxTreeListLayout L = g.Layout();
    ASSERT_EQ(L.BandEntries.size(), 2u);
    EXPECT_EQ(L.BandEntries[1].Rect.Right, 400);
    EXPECT_EQ(g.Cells(), "A:0-133 B:133-267 C:267-400");
    EXPECT_EQ(g.tl.GetColumnShownWidth(1), 134);
    EXPECT_TRUE(L.BandsFiller.Right == L.BandsFiller.Left);

    // A client narrower than the least widths: the bands keep their least widths and scroll.
    g.tl.SetBounds(0, 0, 54, 100);
    g.tl.RefreshLayout();
    EXPECT_EQ(g.tl.GetBandsTotalWidth(), 40 + 30);  // two columns of 20; a band of at least 30
    EXPECT_EQ(g.tl.GetBandWidth(0), 40);
    EXPECT_EQ(g.tl.GetBandWidth(1), 30);
    EXPECT_EQ(g.tl.GetScrollableWidth(), 70);
    EXPECT_EQ(g.tl.GetBandOffset(1), 40);
}

TEST(TreeListGeometry, FixedBandsAndScrolledBands) {
    Grid g(4);
    MakeBands(g.tl, 3);
    g.cols[1]->SetBandIndex(1);
    g.cols[2]->SetBandIndex(1);
    g.cols[3]->SetBandIndex(2);
    g.tl.Bands()->Items(0)->SetFixed(bfLeft);
    g.tl.Bands()->Items(2)->SetFixed(bfRight);
    g.tl.SetBounds(0, 0, 254, 104);  // 250 wide: 100 left, 100 right, 50 of the middle 200
    g.tl.RefreshLayout();
    TvxTreeListLayout L = g.Layout();
    EXPECT_EQ(Str(L.LeftFixedArea), "0,0,100,19");
    EXPECT_EQ(Str(L.RightFixedArea), "150,0,250,19");
    ASSERT_EQ(L.BandEntries.size(), 3u);
    EXPECT_EQ(Str(L.BandEntries[0].Rect), "0,0,98,0");  // less the fixed band line
    EXPECT_EQ(Str(L.BandEntries[1].Visible), "100,0,150,0");
    EXPECT_EQ(Str(L.BandEntries[2].Rect), "152,0,250,0");
    EXPECT_EQ(L.LeftFixedEntry, 0);
    EXPECT_EQ(L.RightFixedEntry, 2);
    EXPECT_EQ(L.LastScrolledBand, 1);
    EXPECT_EQ(L.TreeColumnWidth, 98);
    EXPECT_EQ(L.DataRight, 249);
    EXPECT_EQ(g.tl.GetScrollableWidth(), 200);
    EXPECT_EQ(g.tl.GetVisibleDataWidth(), 50);

    // Scrolling moves only the middle band; its cells are cut at the fixed areas.
    g.tl.SetLeftCoord(120);
    L = g.Layout();
    EXPECT_EQ(Str(L.BandEntries[1].Rect), "-20,0,180,0");
    EXPECT_EQ(Str(L.BandEntries[1].Visible), "100,0,150,0");
    EXPECT_EQ(g.Cells(), "A:0-98 C:80-180 D:152-250");  // B (-20..80) is out of view
    const auto* c = L.FindCell(2);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Str(c->Visible), "100,0,150,19");
    EXPECT_TRUE(c->LastOfLastScrolledBand);
    g.tl.SetLeftCoord(1000);
    EXPECT_EQ(g.tl.LeftCoord(), 150);
    g.tl.SetLeftCoord(-3);
    EXPECT_EQ(g.tl.LeftCoord(), 0);
}

TEST(TreeListGeometry, BandsWiderThanThePanelArePlacedWhileInView) {
    Grid g(4, 154, 104);
    MakeBands(g.tl, 4);
    for (int i = 1; i < 4; ++i) g.cols[static_cast<size_t>(i)]->SetBandIndex(i);
    g.tl.RefreshLayout();
    TvxTreeListLayout L = g.Layout();
    ASSERT_EQ(L.BandEntries.size(), 2u);
    EXPECT_EQ(Str(L.BandEntries[1].Visible), "100,0,150,0");
    g.tl.SetLeftCoord(150);
    L = g.Layout();
    ASSERT_EQ(L.BandEntries.size(), 2u);
    EXPECT_EQ(L.BandEntries[0].Band, 1);
    EXPECT_EQ(Str(L.BandEntries[0].Rect), "-50,0,50,0");
    // A point one pixel right of the last placed band lies in no entry.
    EXPECT_EQ(L.BandEntries[1].Rect.Right, 150);
}

TEST(TreeListGeometry, MakingABandVisibleScrollsAsLittleAsItCan) {
    Grid g(4, 154, 104);  // four 100-pixel bands in a 150-pixel client
    MakeBands(g.tl, 4);
    for (int i = 1; i < 4; ++i) g.cols[static_cast<size_t>(i)]->SetBandIndex(i);
    g.tl.RefreshLayout();
    g.tl.MakeBandVisible(2);  // ends at 300: the right edge comes into view
    EXPECT_EQ(g.tl.LeftCoord(), 150);
    g.tl.MakeBandVisible(1);  // starts at 100, left of the view
    EXPECT_EQ(g.tl.LeftCoord(), 100);
    g.tl.MakeBandVisible(1);
    EXPECT_EQ(g.tl.LeftCoord(), 100);
    g.tl.MakeBandVisible(3);
    EXPECT_EQ(g.tl.LeftCoord(), 250);
    for (int band : {-1, 4}) {
        g.tl.MakeBandVisible(band);
        EXPECT_EQ(g.tl.LeftCoord(), 250);
    }
    // A fixed band is always in view: nothing scrolls for it.
    g.tl.Bands()->Items(0)->SetFixed(bfLeft);
    g.tl.SetLeftCoord(100);
    g.tl.MakeBandVisible(0);
    EXPECT_EQ(g.tl.LeftCoord(), 100);
    // A band wider than the view shows from its start.
    g.cols[2]->SetWidth(300);
    g.tl.Bands()->Items(2)->SetWidth(300);
    g.tl.RefreshLayout();
    g.tl.SetLeftCoord(0);
    g.tl.MakeBandVisible(2);
    EXPECT_EQ(g.tl.LeftCoord(), g.tl.GetBandOffset(2));
}

TEST(TreeListGeometry, TwoHeaderRowsWithRowSpans) {
    Grid g(4);
    MakeBands(g.tl, 2);
    g.tl.SetHeaderPanelRowCount(2);
    g.cols[2]->SetRowIndex(1);   // band 0: A B over C
    g.cols[3]->SetBandIndex(1);  // band 1: D alone, two lines high
    g.cols[3]->SetHeaderMaxLineCount(2);
    g.tl.RefreshLayout();
    TvxTreeListLayout L = g.Layout();
    EXPECT_EQ(g.Cells(), "A:0-100 B:100-200 C:0-200 D:200-300");
    const auto* c = L.FindCell(2);
    const auto* d = L.FindCell(3);
    ASSERT_TRUE(c && d);
    EXPECT_EQ(Str(c->Rect), "0,19,200,38");
    EXPECT_EQ(d->RowSpan, 2);
    EXPECT_EQ(Str(d->Rect), "200,0,300,38");
    EXPECT_EQ(Str(d->Filler), "0,0,0,0");
    // One line high: a filler runs under it.
    g.cols[3]->SetHeaderMaxLineCount(1);
    g.tl.RefreshLayout();
    L = g.Layout();
    EXPECT_EQ(Str(L.FindCell(3)->Filler), "200,19,300,38");
    // Visible order walks the header rows across the bands.
    EXPECT_EQ(g.tl.GetAbsoluteColumnIndex(0), 0);
    EXPECT_EQ(g.tl.GetAbsoluteColumnIndex(2), 3);
    EXPECT_EQ(g.tl.GetAbsoluteColumnIndex(3), 2);
    EXPECT_EQ(g.tl.GetAbsoluteColumnIndex(4), -1);
    EXPECT_EQ(g.tl.GetVisibleColumnIndex(2), 3);
}

TEST(TreeListGeometry, CellAndEditorRectangles) {
    Grid g;
    TvxTreeListNode* a = g.tl.Add();
    TvxTreeListNode* b = g.tl.Add();
    a->AddChild();
    // The tree part (one level cell) is cut off the first column only.
    EXPECT_EQ(Str(g.tl.GetCellRect(b, 0)), "16,35,100,51");
    EXPECT_EQ(Str(g.tl.GetCellRect(b, 1)), "100,35,200,51");
    EXPECT_EQ(Str(g.tl.GetCellRect(b, 5)), "-1,-1,-1,-1");
    EXPECT_EQ(Str(g.tl.GetEditorRect(b, 1)), "100,35,200,51");
    EXPECT_EQ(Str(g.tl.GetEditorRect(b, 2)), "200,35,299,51");  // the last column of the last band

    g.tl.SetShowGrid(true);  // with ShowPreviewGrid: a 17-pixel row unit, the lines between
    EXPECT_EQ(Str(g.tl.GetCellRect(b, 1)), "100,36,200,52");
    EXPECT_EQ(Str(g.tl.GetEditorRect(b, 1)), "100,36,199,52");
    EXPECT_EQ(Str(g.tl.GetEditorRect(b, 2)), "200,36,299,52");

    g.tl.SetShowGrid(false);
    g.OptionsEx(TvxTLOptionEx::InvertSelect, true);  // an 18-pixel unit, shrunk in it
    EXPECT_EQ(Str(g.tl.GetEditorRect(b, 0)), "17,38,100,54");
    EXPECT_EQ(Str(g.tl.GetEditorRect(b, 2)), "200,38,299,54");

    // In list mode a node with children sits one pixel lower without grid lines.
    g.OptionsEx(TvxTLOptionEx::InvertSelect, false);
    g.tl.SetListMode(true);
    EXPECT_EQ(g.tl.GetCellRect(a, 1).Top, 19 + 1);
}
