// The hit test over a control with every area: two bands, two header rows, an indicator,
// a footer, preview lines and row footers. Each point names the place under it.

#include "platform/gdi/image_list.h"
#include "tests/treelist/test_column_tree_list.h"

namespace {

class THitTreeList : public TCustomvxTreeListControl {
public:
    using TCustomvxTreeListControl::TCustomvxTreeListControl;
    int GroupPanel = 0;
    bool FilterStatus = false;
    int GetGroupPanelHeight() override { return GroupPanel; }
    bool IsFilterStatusVisible() override { return FilterStatus; }
    bool IsExistRowFooter(int Level) override { return Level == 0; }
};

// Client 400 x 300. Bands 12..212 (A B over C) and 212..312 (D); band panel 0..19, header
// rows 19..38 and 38..57, rows from 57, footer 256..300. Rows: r0 57..104 (with a child),
// c0 104..193 (a row footer 151..193), r1 193..240.
struct HitGrid : ::testing::Test {
    THitTreeList tl{nullptr};
    TImageList images{nullptr};
    std::vector<TvxTreeListColumn*> cols;
    TvxTreeListNode* r0 = nullptr;
    TvxTreeListNode* c0 = nullptr;
    TvxTreeListNode* r1 = nullptr;

    void SetUp() override {
        tl.SetBounds(0, 0, 404, 304);
        MakeBands(tl, 2);
        tl.SetHeaderPanelRowCount(2);
        cols = AddColumns(tl, 4);
        cols[2]->SetRowIndex(1);
        cols[3]->SetBandIndex(1);
        images.SetWidth(16);
        images.SetHeight(16);
        tl.SetImages(&images);
        tl.SetStateImages(&images);
        tl.SetShowIndicator(true);
        tl.SetShowBands(true);
        tl.SetShowSummaryFooter(true);
        tl.SetShowRowFooter(true);
        tl.SetPreviewLines(1);
        Options(TvxTLOption::Preview, true);
        OptionsEx(TvxTLOptionEx::BandPanelSizing, true);
        OptionsEx(TvxTLOptionEx::HeaderPanelSizing, true);
        OptionsEx(TvxTLOptionEx::RowSizing, true);
        r0 = tl.Add();
        c0 = r0->AddChild();
        c0->SetStateIndex(0);
        r1 = tl.Add();
        r0->Expand(false);
        tl.RefreshLayout();
    }
    void TearDown() override { tl.SetImages(nullptr), tl.SetStateImages(nullptr); }
    void Options(TvxTLOption o, bool on) {
        TvxTreeListOptions v = tl.Options();
        tl.SetOptions(on ? v.Include(o) : v.Exclude(o));
    }
    void OptionsEx(TvxTLOptionEx o, bool on) {
        TvxTreeListOptionsEx v = tl.OptionsEx();
        tl.SetOptionsEx(on ? v.Include(o) : v.Exclude(o));
    }
};

struct Case {
    int X, Y;
    TvxTreeListHitKind Kind;
    int Band, Column, Row;
    const char* What;
};

void Check(TCustomvxTreeList& tl, const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        const TvxTreeListHitInfo h = tl.GetHitInfo(TPoint{c.X, c.Y});
        EXPECT_EQ(h.Kind, c.Kind) << c.What << " at " << c.X << "," << c.Y;
        EXPECT_EQ(h.Band, c.Band) << c.What;
        EXPECT_EQ(h.Column, c.Column) << c.What;
        EXPECT_EQ(h.Row, c.Row) << c.What;
    }
}

}  // namespace

TEST_F(HitGrid, EveryAreaNamesItsPlace) {
    Check(tl, {
                  {-1, 5, hkOutside, -1, -1, -1, "left of the client"},
                  {400, 5, hkOutside, -1, -1, -1, "right of the client"},
                  {5, 5, hkBandCorner, -1, -1, -1, "band corner"},
                  {5, 16, hkBandPanelEdge, -1, -1, -1, "band panel bottom over the corner"},
                  {50, 21, hkBandPanelEdge, -1, -1, -1, "band panel bottom, below it"},
                  {50, 5, hkBandCell, 0, -1, -1, "band 0"},
                  {250, 5, hkBandCell, 1, -1, -1, "band 1"},
                  {5, 30, hkHeaderCorner, -1, -1, -1, "header corner"},
                  {5, 55, hkHeaderPanelEdge, -1, -1, -1, "header panel bottom"},
                  {50, 30, hkHeaderCell, 0, 0, -1, "header A"},
                  {150, 30, hkHeaderCell, 0, 1, -1, "header B"},
                  {50, 45, hkHeaderCell, 0, 2, -1, "header C in the second row"},
                  {250, 45, hkNone, -1, -1, -1, "under D, the filler"},
                  {5, 70, hkIndicator, -1, -1, 0, "indicator of r0"},
                  {20, 70, hkButton, -1, -1, 0, "button of r0"},
                  {35, 70, hkImage, -1, -1, 0, "image of r0"},
                  {20, 120, hkIndent, -1, -1, 1, "indent of c0"},
                  {50, 120, hkStateImage, -1, -1, 1, "state image of c0"},
                  {65, 120, hkImage, -1, -1, 1, "image of c0"},
                  {150, 70, hkCell, 0, 1, 0, "cell B of r0"},
                  {150, 80, hkCell, 0, 2, 0, "cell C, the second line of r0"},
                  {250, 70, hkCell, 1, 3, 0, "cell D of r0"},
                  {150, 95, hkPreview, -1, -1, 0, "preview of r0"},
                  {20, 95, hkButton, -1, -1, 0, "the tree part beside the preview"},
                  {150, 160, hkRowFooter, 0, 1, 1, "row footer of c0 under B"},
                  {350, 70, hkRowEnd, -1, -1, 0, "right of the data"},
                  {150, 245, hkNone, -1, -1, -1, "below the last row"},
                  {50, 270, hkFooter, 0, 0, -1, "footer under A"},
                  {50, 285, hkFooter, 0, 2, -1, "footer under C"},
              });
    EXPECT_EQ(tl.GetRowFooterCount(c0), 1);
    EXPECT_EQ(tl.GetRowFooterLevel(c0, 0), 0);
    EXPECT_EQ(tl.GetRowFooterLevel(c0, 1), -1);
    EXPECT_EQ(tl.GetRowFooterCount(r0), 0);
    EXPECT_EQ(tl.GetHitNode(150, 160), c0);
    EXPECT_EQ(tl.GetHitInfo(TPoint{150, 160}).RowFooter, 0);
    EXPECT_EQ(tl.GetHitTestType(150, 200), hkCell);
    EXPECT_EQ(tl.GetHitNode(150, 200), r1);
}

TEST_F(HitGrid, EdgesFromBothSides) {
    Check(tl, {
                  {209, 5, hkBandEdge, 0, -1, -1, "3 pixels left of band 0's edge"},
                  {214, 5, hkBandEdge, 0, -1, -1, "2 pixels right of it, in band 1"},
                  {216, 5, hkBandCell, 1, -1, -1, "band 1 proper"},
                  {309, 5, hkBandEdge, 1, -1, -1, "left of band 1's edge"},
                  {314, 5, hkBandEdge, 1, -1, -1, "right of the last band"},
                  {109, 30, hkHeaderEdge, 0, 0, -1, "left of A's edge"},
                  {114, 30, hkHeaderEdge, 0, 0, -1, "right of A's edge, in B"},
                  {210, 30, hkBandEdge, 0, 1, -1, "the last cell of a row sizes the band"},
                  {214, 30, hkBandEdge, 0, -1, -1, "the first cell of band 1 on its left edge"},
                  {314, 30, hkBandEdge, 1, -1, -1, "right of the header panel"},
                  {5, 101, hkRowEdge, -1, -1, 0, "above r0's bottom"},
                  {5, 106, hkRowEdge, -1, -1, 0, "below c0's top"},
                  {5, 242, hkRowEdge, -1, -1, 2, "under the last row"},
              });
    // Without the sizing options the same points are plain.
    OptionsEx(TvxTLOptionEx::BandSizing, false);
    OptionsEx(TvxTLOptionEx::RowSizing, false);
    OptionsEx(TvxTLOptionEx::BandPanelSizing, false);
    OptionsEx(TvxTLOptionEx::HeaderPanelSizing, false);
    Options(TvxTLOption::ColumnSizing, false);
    Check(tl, {
                  {209, 5, hkBandCell, 0, -1, -1, "band 0 without sizing"},
                  {214, 5, hkBandCell, 1, -1, -1, "band 1 without sizing"},
                  {5, 16, hkBandCorner, -1, -1, -1, "band corner"},
                  {50, 21, hkHeaderCell, 0, 0, -1, "header A"},
                  {109, 30, hkHeaderCell, 0, 0, -1, "header A"},
                  {114, 30, hkHeaderCell, 0, 1, -1, "header B"},
                  {210, 30, hkHeaderCell, 0, 1, -1, "header B"},
                  {5, 101, hkIndicator, -1, -1, 0, "indicator"},
                  {5, 242, hkNone, -1, -1, -1, "under the indicator"},
              });
}

TEST_F(HitGrid, HeaderThatSizesTheColumnsAndRowsWithoutIndicator) {
    // Bands hidden with BandHeaderWidth: the outer cell edge sizes the column.
    tl.SetShowBands(false);
    tl.SetShowIndicator(false);
    // Header rows 0..19 and 19..38, rows from 38: r0 38..85.
    Check(tl, {
                  {198, 10, hkHeaderEdge, 0, 1, -1, "B's outer edge"},
                  {202, 10, hkHeaderEdge, 0, 2, -1, "D's left edge sizes C, the last of band 0's last row"},
                  {302, 10, hkHeaderEdge, 1, 3, -1, "right of the header panel"},
                  {150, 82, hkRowEdge, -1, -1, 0, "above r0's bottom, across the row"},
                  {350, 82, hkRowEdge, -1, -1, 0, "right of the data too"},
                  {150, 60, hkCell, 0, 2, 0, "the middle of a row"},
              });
}

TEST(TreeListHitTest, HeaderZones) {
    TCustomvxTreeListControl tl(nullptr);
    tl.SetBounds(0, 0, 404, 304);
    AddColumns(tl, 2);
    tl.RefreshLayout();
    int zone = 0;
    // A: 0..100 x 0..19; its filter button the rightmost 15 pixels inside a 2-pixel margin.
    EXPECT_TRUE(tl.GetHeaderHitZone(50, 10, zone, 0));
    EXPECT_EQ(zone, 1);
    EXPECT_TRUE(tl.GetHeaderHitZone(90, 10, zone, 0));
    EXPECT_EQ(zone, 2);
    EXPECT_TRUE(tl.GetHeaderHitZone(82, 10, zone, 0));
    EXPECT_EQ(zone, 1);
    EXPECT_TRUE(tl.GetHeaderHitZone(98, 10, zone, 0));
    EXPECT_EQ(zone, 1);
    tl.Columns(1)->SetMinWidth(10);
    tl.Columns(1)->SetWidth(15);  // too narrow for a button
    tl.RefreshLayout();
    EXPECT_TRUE(tl.GetHeaderHitZone(110, 10, zone, 1));
    EXPECT_EQ(zone, 1);
}

TEST(TreeListHitTest, GroupPanelNewItemRowAndFilterStatus) {
    THitTreeList tl(nullptr);
    tl.SetBounds(0, 0, 404, 304);
    AddColumns(tl, 2);
    tl.GroupPanel = 30;
    tl.FilterStatus = true;
    tl.SetShowNewItemRow(true);
    tl.RefreshLayout();
    // Group panel 0..30, header 30..49, new-item row 49..71, filter status 282..300.
    Check(tl, {
                  {50, 10, hkGroupPanel, -1, -1, -1, "group panel"},
                  {150, 60, hkNewItemRow, 0, 1, -1, "new-item row under B"},
                  {50, 290, hkFilterStatus, -1, -1, -1, "filter status bar"},
              });
}
