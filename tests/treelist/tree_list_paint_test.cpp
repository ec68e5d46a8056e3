// The tree list on screen: pixels of tree lines and buttons, header frames, selection and
// focus, grid lines, the indicator and the footer, clipping to the update region, resources
// given back when a handler raises, and pictures of whole controls for a person to look at.

#include <filesystem>
#include <functional>
#include <stdexcept>

#include "platform/forms/application.h"
#include "platform/forms/edit.h"
#include "platform/forms/screen.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/image_list.h"
#include "platform/rtl/exception.h"
#include "platform/win/exception_report.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "tests/support/screen_picture.h"
#include "tests/support/test_pictures.h"
#include "tests/support/ui_driver.h"
#include "tests/treelist/test_column_tree_list.h"
#include "treelist/tree_list_band.h"
#include "treelist/tree_list_drawing.h"
#include "treelist/tree_list_unit.h"

namespace {

// A control whose indicator width a test can make odd.
class TPaintTreeList : public TCustomvxTreeListControl {
public:
    using TCustomvxTreeListControl::TCustomvxTreeListControl;
    int IndicatorWidth = 12;
    bool FilterStatus = false;
    bool Criteria = false;
    std::string StatusText;
    int GetIndicatorWidth() override { return IndicatorWidth; }
    bool IsFilterStatusVisible() override { return FilterStatus; }
    // Footers, preview texts and indicators for the pictures.
    bool Footers = false;
    bool Groups = false;
    bool IsGroupNode(TvxTreeListNode* Node) override { return Groups && Node->Count() > 0; }
    bool IsExistRowFooter(int Level) override { return Footers && Level == 0; }
    bool IsExistRowFooterCell(TvxTreeListNode*, int Column, int) override { return Footers && Column == 0; }
    bool IsExistFooterCell(int Column) override { return Footers && Column != 1; }
    void GetFooterCellText(TvxTreeListNode* Node, int, std::string& Text, int) override {
        Text = Node ? "Summe Gruppe" : "Summe";
    }
    void GetPreviewText(TvxTreeListNode* Node, std::string& Text) override {
        Text = Footers ? "Vorschau von " + Node->Strings(0) : "";
    }
    int GetIndicatorKind(TvxTreeListNode* Node, bool) override { return Node->Focused() ? 1 : 0; }
    bool HasFilterCriteria() override { return Criteria; }
    void GetFilterStatusText(std::string& Text) override { Text = StatusText; }
};

class TreeListPaint : public ::testing::Test {
protected:
    void SetUp() override {
        driver_ = std::make_unique<UiDriver>();
        form_ = new TForm(EnsureApplication());
        form_->SetName("PaintForm");
        form_->SetBounds(40, 40, 520, 420);
        EnsureApplication()->FormCreated(form_);
        tl = new TPaintTreeList(form_);
        tl->SetName("Grid1");
        cols = AddColumns(*tl, 3);
        for (size_t i = 0; i < cols.size(); ++i) {
            cols[i]->SetCaption(Numbered("Spalte ", static_cast<int>(i) + 1));
            cols[i]->SetWidth(100);
        }
        tl->SetParent(form_);
        tl->SetBounds(8, 8, 404, 304);
        form_->Show();
        driver_->Pump();
    }
    void TearDown() override {
        ResetApplication();
        driver_.reset();
    }
    TvxTreeListNode* Node(TvxTreeListNode* parent, const std::string& text) {
        TvxTreeListNode* n = parent ? parent->AddChild() : tl->Add();
        n->SetStrings(0, text);
        n->SetStrings(1, text + " b");
        n->SetStrings(2, text + " c");
        return n;
    }
    // The pixel the form shows at a client point of the tree list.
    COLORREF Pixel(int x, int y) {
        driver_->Pump();
        UpdateAllWindows();
        return ShownPixel(form_->Handle(), tl->ClientToScreen(TPoint{x, y}));
    }
    TvxTreeListLayout Layout() {
        TvxTreeListLayout l;
        tl->CalcLayout(l);
        return l;
    }
    const TvxTreeListRowEntry& RowOf(const TvxTreeListLayout& l, TvxTreeListNode* n) {
        const int i = l.FindRow(n);
        EXPECT_GE(i, 0);
        return l.RowEntries[static_cast<size_t>(std::max(0, i))];
    }
    std::string Picture(const std::string& name) {
        const std::string file = TestPicturePath("treelist_" + name + ".png");
        EXPECT_TRUE(driver_->SaveForm(form_, file));
        return file;
    }
    void OptionsEx(TvxTLOptionEx o, bool on) {
        TvxTreeListOptionsEx v = tl->OptionsEx();
        tl->SetOptionsEx(on ? v.Include(o) : v.Exclude(o));
    }
    void Options(TvxTLOption o, bool on) {
        TvxTreeListOptions v = tl->Options();
        tl->SetOptions(on ? v.Include(o) : v.Exclude(o));
    }

    std::unique_ptr<UiDriver> driver_;
    TForm* form_ = nullptr;
    TPaintTreeList* tl = nullptr;
    std::vector<TvxTreeListColumn*> cols;
};

const COLORREF kRed = RGB(255, 0, 0);

TEST_F(TreeListPaint, PictureOfAFullControlInEachLook) {
    MakeBands(*tl, 2);
    tl->SetShowBands(true);
    tl->SetHeaderPanelRowCount(2);
    cols[2]->SetBandIndex(1);
    cols[1]->SetRowIndex(1);
    tl->SetShowGrid(true);
    tl->SetShowIndicator(true);
    tl->SetShowSummaryFooter(true);
    Options(TvxTLOption::Preview, true);
    tl->SetPreviewLines(1);
    auto images = std::make_unique<TImageList>(nullptr);
    images->SetWidth(8);
    images->SetHeight(8);
    TBitmap square(8, 8);
    square.Canvas()->Brush()->SetColor(clBlue);
    square.Canvas()->FillRect(TRect{0, 0, 8, 8});
    images->Add(&square, nullptr);
    tl->SetImages(images.get());
    TvxTreeListNode* a = Node(nullptr, "Zentrale");
    Node(Node(a, "Tür 1"), "Leser");
    Node(a, "Tür 2");
    Node(nullptr, "Nebengebäude");
    a->SetImageIndex(0);
    tl->FullExpand();
    tl->Footers = true;
    tl->SetShowRowFooter(true);
    tl->SetBounds(8, 8, 404, 400);
    for (TvxLookAndFeel look : {lfStandard, lfFlat, lfUltraFlat}) {
        tl->SetLookAndFeel(look);
        EXPECT_FALSE(Picture("full_look" + std::to_string(look)).empty());
    }
    tl->SetImages(nullptr);
}

// A tree: A (A1, A2), B (B1, collapsed); solid red lines.
class TreeLines : public TreeListPaint {
protected:
    void SetUp() override {
        TreeListPaint::SetUp();
        tl->SetTreeLinesStyle(0);
        tl->SetTreeLinesColor(clRed);
        a = Node(nullptr, "A");
        a1 = Node(a, "A1");
        a2 = Node(a, "A2");
        b = Node(nullptr, "B");
        Node(b, "B1");
        a->Expand(false);
    }
    struct Probe {
        int x0, Y, H, YC;
    };
    Probe At(TvxTreeListNode* n) {
        TvxTreeListLayout l = Layout();
        const TvxTreeListRowEntry& r = RowOf(l, n);
        return Probe{l.Rows.Left, r.Top, r.Height, r.Top + r.Height / 2};
    }
    TvxTreeListNode *a, *a1, *a2, *b;
};

TEST_F(TreeLines, ButtonsLinesAndTheirBreaks) {
    const COLORREF frame = GetSysColor(COLOR_GRAYTEXT);
    const COLORREF bar = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF face = GetSysColor(COLOR_WINDOW);
    Probe pa = At(a);
    const int XC = pa.x0 + 7;
    // Expanded A: the 9 x 9 box around (XC, YC) holds a minus only.
    EXPECT_EQ(Pixel(XC - 4, pa.YC), frame);
    EXPECT_EQ(Pixel(XC + 4, pa.YC - 4), frame);
    EXPECT_EQ(Pixel(XC, pa.YC), bar);
    EXPECT_EQ(Pixel(XC - 2, pa.YC), bar);
    EXPECT_EQ(Pixel(XC, pa.YC - 2), face);
    // The horizontal line starts right of the box and ends with the level cell.
    EXPECT_EQ(Pixel(XC + 5, pa.YC), kRed);
    EXPECT_EQ(Pixel(pa.x0 + 15, pa.YC), kRed);
    EXPECT_NE(Pixel(pa.x0 + 16, pa.YC), kRed);
    // The first root has no line above its button; below it runs to the row's end.
    EXPECT_NE(Pixel(XC, pa.Y), kRed);
    EXPECT_NE(Pixel(XC, pa.YC + 4), kRed);
    EXPECT_EQ(Pixel(XC, pa.YC + 5), kRed);
    EXPECT_EQ(Pixel(XC, pa.Y + pa.H - 1), kRed);

    // A1 is not the last child: its line runs through; A's line passes through its row.
    Probe p1 = At(a1);
    const int XC1 = p1.x0 + 16 + 7;
    EXPECT_EQ(Pixel(XC1, p1.Y), kRed);
    EXPECT_EQ(Pixel(XC1, p1.Y + p1.H - 1), kRed);
    EXPECT_EQ(Pixel(XC1 + 1, p1.YC), kRed);
    EXPECT_EQ(Pixel(XC, p1.Y + 1), kRed);
    // A2 is the last child: its line stops at the centre.
    Probe p2 = At(a2);
    EXPECT_EQ(Pixel(XC1, p2.YC), kRed);
    EXPECT_NE(Pixel(XC1, p2.YC + 1), kRed);

    // Collapsed B, the last root: a plus; the line above the button, none below.
    Probe pb = At(b);
    EXPECT_EQ(Pixel(XC, pb.YC - 2), bar);
    EXPECT_EQ(Pixel(XC, pb.YC + 2), bar);
    EXPECT_EQ(Pixel(XC, pb.Y), kRed);
    EXPECT_EQ(Pixel(XC, pb.YC - 6), kRed);
    EXPECT_NE(Pixel(XC, pb.YC - 5), kRed);
    EXPECT_NE(Pixel(XC, pb.YC + 5), kRed);
    Picture("tree_lines_solid");
}

TEST_F(TreeLines, WithoutRootIndentTheRootsHaveNoLevelCell) {
    tl->SetShowRootIndent(false);
    Probe pa = At(a);
    for (int x = pa.x0; x < pa.x0 + 16; ++x) {
        EXPECT_NE(Pixel(x, pa.YC), kRed) << x;
        EXPECT_NE(Pixel(x, pa.YC), GetSysColor(COLOR_GRAYTEXT)) << x;
    }
    // The children's lines move one step to the left.
    Probe p1 = At(a1);
    EXPECT_EQ(Pixel(p1.x0 + 7, p1.Y), kRed);
    EXPECT_EQ(Pixel(p1.x0 + 8, p1.YC), kRed);
}

TEST_F(TreeLines, DotsStayAlignedWithTheRowsArea) {
    tl->SetTreeLinesStyle(1);
    // The phase of the dots relative to the rows area, along A's line below its button.
    auto phase = [&]() {
        Probe pa = At(a);
        std::string s;
        for (int k = 5; k < 9; ++k) s += Pixel(pa.x0 + 7, pa.YC + k) == kRed ? '#' : '.';
        return s;
    };
    const std::string even = phase();
    EXPECT_TRUE(even == "#.#." || even == ".#.#") << even;
    tl->IndicatorWidth = 13;
    tl->SetShowIndicator(true);
    EXPECT_EQ(Layout().Rows.Left % 2, 1);
    EXPECT_EQ(phase(), even);
    tl->SetShowHeader(false);
    tl->SetShowIndicator(false);
    const int top = Layout().Rows.Top;
    tl->SetShowIndicator(true);
    tl->SetShowHeader(true);
    EXPECT_EQ(phase(), even) << "rows top " << top << " and " << Layout().Rows.Top;
}

TEST_F(TreeLines, ListModeButtonsInEachLook) {
    tl->SetListMode(true);
    Probe pa = At(a);
    // Standard and flat: the shared 12 x 12 picture with its minus.
    for (TvxLookAndFeel look : {lfStandard, lfFlat}) {
        tl->SetLookAndFeel(look);
        pa = At(a);
        Picture("list_mode_" + std::to_string(look));
        TBitmap* minus = TreeListExpandButton(false);
        const int left = (pa.x0 + pa.x0 + 15 - 12 + 1) / 2;
        const int top = (pa.Y + pa.Y + pa.H - 12 + 1) / 2;
        int same = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) same += Pixel(left + x, top + y) == minus->Pixel(x, y);
        EXPECT_EQ(same, 144) << look;
    }
    // Ultra flat: an 11 x 11 box framed in the window-frame colour.
    tl->SetLookAndFeel(lfUltraFlat);
    pa = At(a);
    const int left = (pa.x0 + pa.x0 + 15 - 11 + 1) / 2;
    const int top = (pa.Y + pa.Y + pa.H - 11 + 1) / 2;
    EXPECT_EQ(Pixel(left, top), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(Pixel(left + 5, top + 5), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(Pixel(left + 5, top + 3), GetSysColor(COLOR_WINDOW));
    Picture("list_mode_ultra_flat");
}

TEST_F(TreeListPaint, HeaderFramesOfTheThreeLooks) {
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    TRect c = Layout().CellEntries[0].Rect;
    EXPECT_EQ(Pixel(c.Left, c.Top), light);
    EXPECT_EQ(Pixel(c.Right - 1, c.Bottom - 1), dark);
    EXPECT_EQ(Pixel(c.Right - 2, c.Bottom - 2), shadow);
    tl->SetPressedHeader(cols[0]->Index());
    tl->Invalidate();
    EXPECT_EQ(Pixel(c.Left, c.Top), shadow);
    EXPECT_EQ(Pixel(c.Right - 1, c.Bottom - 1), dark);

    tl->SetPressedHeader(-1);
    tl->SetLookAndFeel(lfFlat);
    c = Layout().CellEntries[0].Rect;
    // The first cell of a row: a full left edge, a short separator on the right.
    EXPECT_EQ(Pixel(c.Left, c.Top), light);
    EXPECT_EQ(Pixel(c.Left, c.Top + 1), light);
    EXPECT_EQ(Pixel(c.Right - 1, c.Top + 1), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Pixel(c.Right - 1, c.Top + 2), shadow);
    // Pressed flat cells are inverted as a whole.
    tl->SetPressedHeader(cols[0]->Index());
    tl->Invalidate();
    EXPECT_EQ(Pixel(c.Left, c.Top), light ^ 0xFFFFFFu);
    EXPECT_EQ(Pixel(c.Left + 5, c.Top + 3), GetSysColor(COLOR_BTNFACE) ^ 0xFFFFFFu);

    tl->SetPressedHeader(-1);
    tl->SetLookAndFeel(lfUltraFlat);
    c = Layout().CellEntries[1].Rect;
    EXPECT_NE(Pixel(c.Left, c.Top), light);
    EXPECT_EQ(Pixel(c.Left + 5, c.Top + 3), GetSysColor(COLOR_BTNFACE));
    Picture("header_ultra_flat");
}

TEST_F(TreeListPaint, SortMarkAndAHeaderCellPartlyScrolledOut) {
    cols[0]->SetSorted(csUp);
    TRect c = Layout().CellEntries[0].Rect;
    // The mark sits in the rightmost 16 pixels of the content, its dark left side first.
    int marks = 0;
    for (int y = c.Top; y < c.Bottom; ++y)
        for (int x = c.Right - 18; x < c.Right - 2; ++x) marks += Pixel(x, y) == GetSysColor(COLOR_BTNSHADOW);
    EXPECT_GE(marks, 4);
    cols[0]->SetSorted(csNone);

    tl->SetBounds(8, 8, 204, 200);
    int calls = 0;
    TRect seen;
    tl->OnCustomDrawColumnHeader = [&](TObject*, TCanvas*, const TRect& r, TvxTreeListColumn* col, std::string&,
                                       TColor&, TFont*, TAlignment&, TvxTreeListColumnSort&, bool&) {
        if (col == cols[2]) {
            ++calls;
            seen = r;
        }
    };
    tl->SetLeftCoord(60);
    TvxTreeListLayout l = Layout();
    const TvxTreeListHeaderCellEntry* cell = l.FindCell(cols[0]->Index());
    ASSERT_NE(cell, nullptr);
    EXPECT_LT(cell->Rect.Left, cell->Visible.Left);
    // The visible part shows the right end of the full cell.
    EXPECT_EQ(Pixel(cell->Rect.Right - 1, cell->Rect.Bottom - 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(Pixel(cell->Visible.Left, cell->Rect.Top + 5), GetSysColor(COLOR_BTNFACE));
    const TvxTreeListHeaderCellEntry* last = l.FindCell(cols[2]->Index());
    ASSERT_NE(last, nullptr);
    EXPECT_GT(calls, 0);
    EXPECT_EQ(seen, last->Rect);
    Picture("header_scrolled");
}

// Two root nodes A and B with texts; the first cell of A focused.
class Cells : public TreeListPaint {
protected:
    void SetUp() override {
        TreeListPaint::SetUp();
        a = Node(nullptr, "Alpha");
        b = Node(nullptr, "Beta");
        edit = new TEdit(form_);
        edit->SetParent(form_);
        edit->SetBounds(420, 8, 80, 21);
        Options(TvxTLOption::RowSelect, false);
        tl->SetFocus();
        a->SetFocused(true);
        tl->SetFocusedColumn(0);
    }
    // A point of the row's cell in the column's last pixels, away from any text.
    COLORREF Cell(TvxTreeListNode* n, int column, int dx = -6, int dy = 3) {
        TvxTreeListLayout l = Layout();
        const TvxTreeListRowEntry& r = RowOf(l, n);
        const TRect c = l.CellEntries[static_cast<size_t>(column)].Rect;
        return Pixel(c.Right + dx, r.Top + dy);
    }
    // Pixels of the row's cell area with the colour.
    int Count(TvxTreeListNode* n, int column, COLORREF color, bool topEdgeOnly = false) {
        TvxTreeListLayout l = Layout();
        const TvxTreeListRowEntry& r = RowOf(l, n);
        const TRect c = l.CellEntries[static_cast<size_t>(column)].Rect;
        int count = 0;
        for (int y = r.Top; y < (topEdgeOnly ? r.Top + 1 : r.Top + r.Height); ++y)
            for (int x = std::max(c.Left, l.Rows.Left); x < c.Right; ++x) count += Pixel(x, y) == color;
        return count;
    }
    TvxTreeListNode *a, *b;
    TEdit* edit;
};

TEST_F(Cells, SelectionColoursFocusedUnfocusedAndHidden) {
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    ASSERT_TRUE(tl->Focused());
    EXPECT_EQ(Cell(a, 0), highlight);
    EXPECT_EQ(Cell(a, 1), window);
    EXPECT_EQ(Cell(b, 0), window);
    Options(TvxTLOption::RowSelect, true);
    EXPECT_EQ(Cell(a, 1), highlight);
    Options(TvxTLOption::RowSelect, false);
    OptionsEx(TvxTLOptionEx::InvertSelect, true);
    EXPECT_EQ(Cell(a, 0), window);
    EXPECT_EQ(Cell(a, 1), highlight);
    OptionsEx(TvxTLOptionEx::InvertSelect, false);

    edit->SetFocus();
    ASSERT_FALSE(tl->Focused());
    EXPECT_EQ(Cell(a, 0), window);  // HideSelection
    tl->SetHideSelection(false);
    tl->SetHideSelectionColor(clYellow);
    EXPECT_EQ(Cell(a, 0), ColorToRGB(clYellow));
    Picture("selection_unfocused");
}

TEST_F(Cells, FocusRectanglesOfCellAndRow) {
    const COLORREF inverted = GetSysColor(COLOR_HIGHLIGHT) ^ 0xFFFFFFu;
    // The focused cell alone is framed by dots.
    EXPECT_GT(Count(a, 0, inverted, true), 10);
    EXPECT_EQ(Count(a, 1, inverted, true), 0);
    // RowSelect and InvertSelect frame the whole row.
    for (auto option : {TvxTLOption::RowSelect}) {
        Options(option, true);
        EXPECT_GT(Count(a, 2, inverted, true), 10);
        Options(option, false);
    }
    // Inverted cells keep a border in the control's colour, which the dots invert.
    OptionsEx(TvxTLOptionEx::InvertSelect, true);
    EXPECT_GT(Count(a, 2, GetSysColor(COLOR_WINDOW) ^ 0xFFFFFFu, true), 10);
    Picture("focus_invert_select");
    OptionsEx(TvxTLOptionEx::InvertSelect, false);
    // Without the focus the frame goes (HideFocusRect), or is an inverted line.
    edit->SetFocus();
    tl->SetHideSelection(false);
    EXPECT_EQ(Count(a, 0, GetSysColor(COLOR_BTNFACE) ^ 0xFFFFFFu, true), 0);
    tl->SetHideFocusRect(false);
    EXPECT_GT(Count(a, 0, GetSysColor(COLOR_BTNFACE) ^ 0xFFFFFFu, true), 50);
}

TEST_F(Cells, GridLinesForTheFourCombinations) {
    const COLORREF line = GetSysColor(COLOR_BTNSHADOW);
    edit->SetFocus();
    auto vertical = [&]() { return Cell(b, 0, -1, 3) == line; };
    auto separator = [&]() {
        TvxTreeListLayout l = Layout();
        const TvxTreeListRowEntry& r = RowOf(l, b);
        return Pixel(l.CellEntries[1].Rect.Left + 20, r.Top + r.Height - 1) == line;
    };
    struct Case {
        bool grid, preview, vertical, separator;
    };
    for (Case c : {Case{false, false, false, false}, Case{false, true, false, false}, Case{true, false, false, true},
                   Case{true, true, true, true}}) {
        tl->SetShowGrid(c.grid);
        tl->SetShowPreviewGrid(c.preview);
        EXPECT_EQ(vertical(), c.vertical) << c.grid << c.preview;
        EXPECT_EQ(separator(), c.separator) << c.grid << c.preview;
    }
    tl->SetGridLineColor(clRed);
    EXPECT_EQ(Cell(b, 0, -1, 3), kRed);
    Picture("grid");
}

TEST_F(Cells, OwnFontCustomDrawingWithDoneAndTheSearchHighlight) {
    TFont red;
    red.SetColor(clRed);
    cols[1]->SetFont(&red);
    edit->SetFocus();
    EXPECT_GT(Count(b, 1, kRed), 5);
    EXPECT_EQ(Count(b, 0, kRed), 0);
    tl->SetFocus();
    Options(TvxTLOption::RowSelect, true);
    // A selected cell takes the selection's text colour.
    EXPECT_EQ(Count(a, 1, kRed), 0);
    Options(TvxTLOption::RowSelect, false);

    tl->OnCustomDrawCell = [&](TObject*, TCanvas* canvas, const TRect& r, TvxTreeListNode*, TvxTreeListColumn* column,
                               bool, bool, bool, std::string&, TColor&, TFont*, TAlignment&, bool& done) {
        if (column != cols[0]) return;
        canvas->Brush()->SetColor(clLime);
        canvas->FillRect(r);
        done = true;
    };
    TvxTreeListLayout l = Layout();
    const TvxTreeListRowEntry& r = RowOf(l, b);
    const TRect c = l.CellEntries[0].Rect;
    // The handler's cell stays as it drew it, right of the indent.
    EXPECT_EQ(Count(b, 0, ColorToRGB(clLime)), (c.Right - l.Rows.Left - 16) * r.Height);
    tl->OnCustomDrawCell = nullptr;

    // The matched prefix in the inverse of the cell's colours; nothing for an empty text.
    const COLORREF inverse = GetSysColor(COLOR_HIGHLIGHT) ^ 0xFFFFFFu;
    tl->StartSearch(0, "");
    tl->Invalidate();
    const int withoutText = Count(a, 0, inverse);
    tl->StartSearch(0, "Al");
    tl->Invalidate();
    EXPECT_EQ(tl->GetFocusedNode(), a);
    const int withText = Count(a, 0, inverse);
    EXPECT_GT(withText, withoutText + 20);
    Picture("search_highlight");
}

TEST_F(Cells, APaintOfTheRowsAreaLeavesEverythingElseAlone) {
    TColor headerColour = clYellow;
    TColor cellColour = clAqua;
    int headerCalls = 0;
    tl->OnCustomDrawColumnHeader = [&](TObject*, TCanvas*, const TRect&, TvxTreeListColumn*, std::string&,
                                       TColor& color, TFont*, TAlignment&, TvxTreeListColumnSort&, bool&) {
        ++headerCalls;
        color = headerColour;
    };
    tl->OnCustomDrawCell = [&](TObject*, TCanvas*, const TRect&, TvxTreeListNode*, TvxTreeListColumn*, bool, bool, bool,
                               std::string&, TColor& color, TFont*, TAlignment&, bool&) { color = cellColour; };
    tl->Invalidate();
    const TvxTreeListLayout l = Layout();
    const TRect header = l.CellEntries[1].Rect;
    EXPECT_EQ(Pixel(header.Left + 5, header.Top + 3), ColorToRGB(clYellow));
    EXPECT_EQ(Cell(b, 1), ColorToRGB(clAqua));
    headerColour = clFuchsia;
    cellColour = clLime;
    headerCalls = 0;
    InvalidateRect(tl->WindowHandle(), &l.Rows, false);
    EXPECT_EQ(Cell(b, 1), ColorToRGB(clLime));
    EXPECT_EQ(Pixel(header.Left + 5, header.Top + 3), ColorToRGB(clYellow));
    EXPECT_EQ(headerCalls, 0);
}

TEST_F(Cells, AHandlerThatRaisesLeavesNoObjectBehind) {
    tl->SetShowIndicator(true);
    tl->SetShowSummaryFooter(true);
    tl->SetShowBands(true);
    tl->Invalidate();
    Pixel(0, 0);
    int reported = 0;
    ExceptionReporter previous = SetExceptionReporter([&](const std::exception&) { ++reported; });
    const int brushes = GdiLiveObjects(GdiKind::Brush);
    const int regions = GdiLiveObjects(GdiKind::Region);
    const int bitmaps = GdiLiveObjects(GdiKind::Bitmap);
    const int pens = GdiLiveObjects(GdiKind::Pen);
    tl->OnCustomDrawCell = [&](TObject*, TCanvas*, const TRect&, TvxTreeListNode* node, TvxTreeListColumn*, bool, bool,
                               bool, std::string&, TColor&, TFont*, TAlignment&, bool&) {
        if (node == b) throw Exception("Zelle kaputt");
    };
    tl->Invalidate();
    Pixel(0, 0);
    SetExceptionReporter(previous);
    EXPECT_EQ(reported, 1);
    EXPECT_EQ(GdiLiveObjects(GdiKind::Brush), brushes);
    EXPECT_EQ(GdiLiveObjects(GdiKind::Region), regions);
    EXPECT_EQ(GdiLiveObjects(GdiKind::Bitmap), bitmaps);
    EXPECT_EQ(GdiLiveObjects(GdiKind::Pen), pens);
    EXPECT_EQ(tl->DragFeedbackCount(), 0);
    EXPECT_EQ(tl->WorkBitmap(), nullptr);
}

TEST_F(TreeListPaint, FixedBandStripAcrossPanelsAndRows) {
    MakeBands(*tl, 2);
    tl->SetShowBands(true);
    cols[2]->SetBandIndex(1);
    tl->Bands()->Items(0)->SetFixed(bfLeft);
    tl->SetFixedBandLineColor(clRed);
    TvxTreeListNode* n = Node(nullptr, "Eins");
    Node(nullptr, "Zwei");
    const TvxTreeListLayout l = Layout();
    ASSERT_FALSE(l.LeftFixedArea.Right <= l.LeftFixedArea.Left);
    const int right = l.LeftFixedArea.Right;
    const TvxTreeListRowEntry& row = RowOf(l, n);
    for (int y : {l.BandPanel.Top + 3, l.HeaderPanel.Top + 3, row.Top + 2}) {
        EXPECT_EQ(Pixel(right - 1, y), kRed) << y;
        EXPECT_EQ(Pixel(right - 2, y), kRed) << y;
        EXPECT_NE(Pixel(right - 3, y), kRed) << y;
        EXPECT_NE(Pixel(right, y), kRed) << y;
    }
    // Row separators stop at the strip.
    tl->SetShowGrid(true);
    const TvxTreeListLayout g = Layout();
    const TvxTreeListRowEntry& r = RowOf(g, n);
    const int y = r.Top + r.Height - 1;
    EXPECT_EQ(Pixel(right - 1, y), kRed);
    EXPECT_EQ(Pixel(right - 2, y), kRed);
    EXPECT_EQ(Pixel(right - 3, y), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(Pixel(right + 5, y), GetSysColor(COLOR_BTNSHADOW));
    Picture("fixed_band");
}

TEST_F(TreeListPaint, FooterFramesWithAndWithoutLeftCoord) {
    tl->SetShowSummaryFooter(true);
    for (auto* c : cols) c->SetWidth(200);
    for (int i = 0; i < 30; ++i) Node(nullptr, Numbered("Zeile ", i));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    struct Case {
        TvxLookAndFeel look;
        COLORREF top, left;
    };
    // The standard frame's inner edge moves one pixel left, over the outer line.
    for (Case c : {Case{lfStandard, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_BTNHIGHLIGHT)},
                   Case{lfFlat, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT)},
                   Case{lfUltraFlat, GetSysColor(COLOR_BTNSHADOW), face}}) {
        tl->SetLookAndFeel(c.look);
        tl->SetLeftCoord(0);
        TRect f = Layout().Footer;
        EXPECT_EQ(Pixel(f.Left + 40, f.Top), c.top) << c.look;
        EXPECT_EQ(Pixel(f.Left, f.Top + 5), c.left) << c.look;
        // Scrolled: the left edge of the frame lies outside, the content continues.
        tl->SetLeftCoord(30);
        ASSERT_EQ(tl->LeftCoord(), 30);
        EXPECT_EQ(Pixel(f.Left, f.Top + 5), face) << c.look;
        EXPECT_EQ(Pixel(f.Left + 40, f.Top), c.top) << c.look;
        Picture("footer_look" + std::to_string(c.look));
    }
}

TEST_F(TreeListPaint, FilterStatusTextMovesForTheClearButton) {
    tl->FilterStatus = true;
    tl->StatusText = "Filter aktiv";
    tl->Invalidate();
    auto textLeft = [&]() {
        const TRect p = Layout().FilterStatus;
        EXPECT_GT(p.Height(), 0);
        for (int x = p.Left; x < p.Right; ++x)
            for (int y = p.Top; y < p.Bottom; ++y)
                if (Pixel(x, y) == GetSysColor(COLOR_BTNHIGHLIGHT)) return x - p.Left;
        return -1;
    };
    tl->RefreshLayout();
    const int plain = textLeft();
    EXPECT_GE(plain, 2);
    tl->Criteria = true;
    tl->Invalidate();
    EXPECT_EQ(textLeft(), plain + 18);
    // The clear button: 12 x 11 at the panel's left + 3, in the button face.
    const TRect p = Layout().FilterStatus;
    EXPECT_EQ(Pixel(p.Left + 3, p.Top + (p.Height() - 11) / 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Pixel(p.Left + 5, p.Top + (p.Height() - 11) / 2 + 2), GetSysColor(COLOR_BTNTEXT));
    Picture("filter_status");
}

TEST_F(TreeListPaint, MaskColumnsNewItemRowAndIndicatorGlyphs) {
    auto* mask = tl->CreateColumn<TvxTreeListMaskColumn>();
    mask->SetWidth(80);
    TvxTreeListNode* n = Node(nullptr, "Eins");
    n->SetStrings(mask->Index(), "12:30");
    tl->SetShowIndicator(true);
    tl->SetShowNewItemRow(true);
    Options(TvxTLOption::RowSelect, false);
    n->SetFocused(true);
    const TvxTreeListLayout l = Layout();
    // The mask column's editor class draws the text.
    const TvxTreeListHeaderCellEntry* cell = l.FindCell(mask->Index());
    ASSERT_NE(cell, nullptr);
    const TvxTreeListRowEntry& row = RowOf(l, n);
    int ink = 0;
    for (int y = row.Top; y < row.Top + row.Height; ++y)
        for (int x = cell->Rect.Left; x < cell->Rect.Right; ++x) ink += Pixel(x, y) == GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_GT(ink, 10);
    // The new-item row's indicator shows the insert glyph, the focused row the arrow.
    auto glyphInk = [&](int top, int height) {
        int count = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = l.Indicator.Left; x < l.Indicator.Right; ++x) count += Pixel(x, y) == RGB(0, 0, 0);
        return count;
    };
    ASSERT_GT(l.NewItemRow.Height(), 0);
    EXPECT_GT(glyphInk(l.NewItemRow.Top + 2, tl->Metrics().RowHeightUnit - 4), 8);
    EXPECT_GT(glyphInk(row.Top + 2, row.Height - 4), 8);
    Picture("new_item_row");
}

TEST(TreeListDrawing, TextLineCountsAndTheirLimit) {
    TreeListUnitStartUp();
    TFont font;
    int height = -1;
    EXPECT_EQ(CalcTextLineCount(&font, "", 100, 0, 13, -1, false, height), 0);
    EXPECT_EQ(height, -1);
    const std::string text = "eins zwei drei vier fuenf";
    const int lines = CalcTextLineCount(&font, text, 40, 0, 13, -1, false, height);
    EXPECT_GE(lines, 4);
    EXPECT_EQ(height, lines * 13 + 3);
    EXPECT_EQ(CalcTextLineCount(&font, text, 40, 0, 13, 2, false, height), 2);
    EXPECT_EQ(height, 2 * 13 + 3);
    EXPECT_EQ(CalcTextLineCount(&font, text, 40, 0, 13, 0, false, height), 0);
    TreeListUnitShutDown();
}

TEST_F(Cells, GroupRowsShowTheSearchHighlight) {
    Node(a, "Alpha 1");
    tl->Groups = true;
    tl->SetListMode(true);
    a->Expand(false);
    Options(TvxTLOption::RowSelect, true);
    const TvxTreeListLayout l = Layout();
    const TvxTreeListRowEntry& row = RowOf(l, a);
    ASSERT_TRUE(row.Group);
    auto inverse = [&](COLORREF color) {
        int n = 0;
        for (int y = row.Top; y < row.Top + row.Height; ++y)
            for (int x = l.Rows.Left; x < l.Rows.Left + 120; ++x) n += Pixel(x, y) == (color ^ 0xFFFFFFu);
        return n;
    };
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    tl->StartSearch(0, "");
    tl->Invalidate();
    const int plain = inverse(highlight);
    tl->StartSearch(0, "Al");
    tl->Invalidate();
    EXPECT_EQ(tl->GetFocusedNode(), a);
    EXPECT_GT(inverse(highlight), plain + 20);
    Picture("group_search");
}

TEST_F(TreeListPaint, ABandHandlerChangesTheFontOfItsOwnCellOnly) {
    MakeBands(*tl, 2);
    tl->SetShowBands(true);
    cols[2]->SetBandIndex(1);
    tl->OnCustomDrawBand = [&](TObject*, TCanvas* canvas, const TRect&, int band, std::string&, TColor& color, TFont*,
                               TAlignment&, bool&) {
        if (band != 0) return;
        canvas->Font()->SetColor(clRed);
        color = clYellow;
    };
    const TvxTreeListLayout l = Layout();
    auto count = [&](const TRect& r, COLORREF c) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) n += Pixel(x, y) == c;
        return n;
    };
    ASSERT_EQ(l.BandEntries.size(), 2u);
    EXPECT_GT(count(l.BandEntries[0].Rect, kRed), 5);
    EXPECT_GT(count(l.BandEntries[0].Rect, ColorToRGB(clYellow)), 100);
    EXPECT_EQ(count(l.BandEntries[1].Rect, kRed), 0);
    EXPECT_EQ(count(l.BandEntries[1].Rect, ColorToRGB(clYellow)), 0);
    EXPECT_EQ(count(l.HeaderPanel, kRed), 0);
}

}  // namespace

namespace {

// Two header rows, one band row: the middle column spans both rows, its neighbours one row
// with a filler below. Every cell edge has its grid line down the whole row.
TEST_F(TreeListPaint, GridLinesBesideFillersAndTallerNeighboursRunTheWholeRow) {
    tl->SetHeaderPanelRowCount(2);
    cols[0]->SetHeaderMaxLineCount(1);
    cols[1]->SetHeaderMaxLineCount(0);
    cols[2]->SetHeaderMaxLineCount(1);
    tl->SetShowGrid(true);
    tl->SetGridLineColor(clRed);
    Node(nullptr, "A");
    TvxTreeListNode* b = Node(nullptr, "B");
    TvxTreeListLayout l = Layout();
    ASSERT_EQ(l.CellEntries.size(), 3u);
    ASSERT_EQ(l.CellEntries[1].RowSpan, 2);
    ASSERT_FALSE(IsRectEmpty(l.CellEntries[0].Filler));
    const TvxTreeListRowEntry& row = RowOf(l, b);
    const int unit = tl->Metrics().RowHeightUnit;
    Picture("grid_fillers");
    for (int y : {row.Top + 2, row.Top + unit + 2, row.Top + 2 * unit - 3}) {
        EXPECT_EQ(Pixel(l.CellEntries[0].Rect.Right - 1, y), kRed) << y - row.Top;
        EXPECT_EQ(Pixel(l.CellEntries[1].Rect.Right - 1, y), kRed) << y - row.Top;
    }
    TCustomvxTreeList::FreeLayout(l);
}

}  // namespace
