// The tree list in a window: the top index and the horizontal position with their clamps,
// the scroll messages, the scroll bars that follow (and the client they leave), the row
// counts, the sizing limits and the window messages it answers itself.

#include "platform/forms/application.h"
#include "platform/forms/screen.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/draw.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "platform/win/scroll_bars.h"
#include "tests/support/screen_picture.h"
#include "tests/support/ui_driver.h"
#include "tests/treelist/test_column_tree_list.h"
#include "treelist/tree_list_unit.h"

namespace {

class TreeListWindow : public ::testing::Test {
protected:
    void SetUp() override {
        driver_ = std::make_unique<UiDriver>();
        form_ = new TForm(EnsureApplication());
        form_->SetName("GridForm");
        form_->SetBounds(50, 50, 700, 500);
        EnsureApplication()->FormCreated(form_);
        tl = new TCustomvxTreeListControl(form_);
        tl->SetName("Grid1");
        cols = AddColumns(*tl, 3);
        tl->SetParent(form_);
        form_->Show();
        driver_->Pump();
    }
    void TearDown() override {
        ResetApplication();
        driver_.reset();
    }
    // Client width x height: a control 4 pixels larger (its client edge).
    void Client(int width, int height) {
        tl->SetBounds(8, 8, width + 4, height + 4);
        driver_->Pump();
    }
    void AddRows(int n) {
        tl->BeginUpdate();
        for (int i = 0; i < n; ++i) tl->Add();
        tl->EndUpdate();
    }
    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessage(tl->WindowHandle(), msg, w, l); }
    SCROLLINFO Bar(int bar) {
        SCROLLINFO info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        GetScrollInfo(tl->WindowHandle(), bar, &info);
        return info;
    }
    // The top left pixel of the control's frame, as the form shows it.
    COLORREF FramePixel() {
        driver_->Pump();
        UpdateAllWindows();
        TRect control;
        GetWindowRect(tl->WindowHandle(), &control);
        return ShownPixel(form_->Handle(), TPoint{control.Left, control.Top});
    }
    bool HasBar(DWORD style) { return (GetWindowLong(tl->WindowHandle(), GWL_STYLE) & style) != 0; }
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
    TCustomvxTreeListControl* tl = nullptr;
    std::vector<TvxTreeListColumn*> cols;
};

}  // namespace

TEST_F(TreeListWindow, TopIndexAndTheVerticalBar) {
    Client(400, 179);  // header 19, then ten rows of 16
    AddRows(30);
    EXPECT_EQ(tl->WhollyVisibleRows(), 10);
    EXPECT_TRUE(HasBar(WS_VSCROLL));
    EXPECT_FALSE(HasBar(WS_HSCROLL));
    EXPECT_EQ(tl->ClientRect().Width(), 400 - 16);
    SCROLLINFO v = Bar(SB_VERT);
    EXPECT_EQ(v.nMax, 29);
    EXPECT_EQ(v.nPage, 10u);
    EXPECT_EQ(v.nPos, 0);

    tl->SetTopIndex(1000);
    EXPECT_EQ(tl->GetTopIndex(), 20);
    EXPECT_EQ(Bar(SB_VERT).nPos, 20);
    tl->SetTopIndex(-5);
    EXPECT_EQ(tl->GetTopIndex(), 0);

    struct Step {
        int code;
        int expected;
    };
    tl->SetTopIndex(12);
    for (Step s : {Step{SB_LINEUP, 11}, Step{SB_LINEDOWN, 12}, Step{SB_PAGEUP, 2}, Step{SB_PAGEDOWN, 12},
                   Step{SB_PAGEDOWN, 20}, Step{SB_TOP, 0}, Step{SB_BOTTOM, 20}, Step{SB_PAGEUP, 10}}) {
        Send(WM_VSCROLL, static_cast<WPARAM>(s.code));
        EXPECT_EQ(tl->GetTopIndex(), s.expected) << "code " << s.code;
        EXPECT_EQ(Bar(SB_VERT).nPos, s.expected) << "code " << s.code;
    }
    SetScrollPos(tl->WindowHandle(), SB_VERT, 7, false);
    Send(WM_VSCROLL, SB_THUMBTRACK);
    EXPECT_EQ(tl->GetTopIndex(), 7);

    // At the end of a short list the counts still describe a full page.
    tl->SetTopIndex(20);
    tl->BeginUpdate();
    for (int i = 0; i < 5; ++i) tl->GetItem(tl->GetCount() - 1)->Free();
    tl->EndUpdate();
    EXPECT_EQ(tl->GetAbsoluteCount(), 25);
    EXPECT_EQ(tl->WhollyVisibleRows(), 10);
    EXPECT_EQ(tl->PartlyVisibleRows(), 10);
}

// Rows added inside an update are measured when a node is brought into view, not the page
// of the shorter list before it.
TEST_F(TreeListWindow, MakeVisibleInsideAnUpdateMeasuresTheRowsAsTheyAreNow) {
    Client(400, 179);  // ten rows of 16
    AddRows(3);
    ASSERT_EQ(tl->WhollyVisibleRows(), 3);
    tl->BeginUpdate();
    for (int i = 0; i < 4; ++i) tl->Add();
    tl->GetItem(5)->MakeVisible();
    EXPECT_EQ(tl->GetTopIndex(), 0);
    for (int i = 0; i < 23; ++i) tl->Add();
    tl->GetItem(25)->MakeVisible();
    EXPECT_EQ(tl->GetTopIndex(), 16);
    tl->EndUpdate();
    EXPECT_EQ(tl->GetTopIndex(), 16);
}

TEST_F(TreeListWindow, LeftCoordAndTheHorizontalBar) {
    cols[2]->SetWidth(800);  // 1000 pixels of data
    Client(300, 200);
    AddRows(3);
    EXPECT_TRUE(HasBar(WS_HSCROLL));
    EXPECT_FALSE(HasBar(WS_VSCROLL));
    EXPECT_EQ(tl->ClientRect().Height(), 200 - 16);
    EXPECT_EQ(tl->GetScrollableWidth(), 1000);
    EXPECT_EQ(tl->GetVisibleDataWidth(), 300);
    SCROLLINFO h = Bar(SB_HORZ);
    EXPECT_EQ(h.nMax, 999);
    EXPECT_EQ(h.nPage, 300u);

    tl->SetLeftCoord(-3);
    EXPECT_EQ(tl->LeftCoord(), 0);
    tl->SetLeftCoord(5000);
    EXPECT_EQ(tl->LeftCoord(), 700);
    struct Step {
        int code;
        int expected;
    };
    tl->SetLeftCoord(400);
    for (Step s : {Step{SB_LINELEFT, 384}, Step{SB_LINERIGHT, 400}, Step{SB_PAGELEFT, 100}, Step{SB_PAGERIGHT, 400},
                   Step{SB_PAGERIGHT, 700}, Step{SB_TOP, 0}, Step{SB_BOTTOM, 700}}) {
        Send(WM_HSCROLL, static_cast<WPARAM>(s.code));
        EXPECT_EQ(tl->LeftCoord(), s.expected) << "code " << s.code;
        EXPECT_EQ(Bar(SB_HORZ).nPos, s.expected) << "code " << s.code;
    }
    // The thumb: one past the track position, in steps of 4 until the end is near.
    struct Track {
        int pos;
        int expected;
    };
    for (Track t : {Track{101, 100}, Track{0, 0}, Track{398, 396}, Track{698, 696}, Track{699, 700}}) {
        SetScrollPos(tl->WindowHandle(), SB_HORZ, t.pos, false);
        Send(WM_HSCROLL, SB_THUMBTRACK);
        EXPECT_EQ(tl->LeftCoord(), t.expected) << "track " << t.pos;
    }
}

TEST_F(TreeListWindow, TrackPositionsBeyondSixteenBits) {
    cols[2]->SetWidth(70000);
    Client(300, 200);
    AddRows(3);
    SetScrollPos(tl->WindowHandle(), SB_HORZ, 66001, false);
    Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 66001 & 0xFFFF));
    EXPECT_EQ(tl->LeftCoord(), 66000);
}

TEST_F(TreeListWindow, BarsComeAndGoWithTheClient) {
    Client(400, 179);
    AddRows(10);  // exactly fits
    EXPECT_FALSE(HasBar(WS_VSCROLL));
    EXPECT_EQ(tl->ClientRect().Width(), 400);
    AddRows(1);
    EXPECT_TRUE(HasBar(WS_VSCROLL));
    EXPECT_EQ(tl->ClientRect().Width(), 384);
    cols[0]->SetWidth(200);  // 400 of data no longer fits beside the bar
    EXPECT_TRUE(HasBar(WS_HSCROLL));
    EXPECT_EQ(tl->ClientRect().Height(), 179 - 16);
    // Grown so that everything fits: both bars go.
    Client(420, 220);
    EXPECT_FALSE(HasBar(WS_VSCROLL));
    EXPECT_FALSE(HasBar(WS_HSCROLL));
    EXPECT_EQ(tl->ClientRect().Width(), 420);
    EXPECT_EQ(tl->ClientRect().Height(), 220);
    // Shrunk again: they return, and the positions stay in range.
    tl->SetTopIndex(1);
    Client(300, 100);
    EXPECT_TRUE(HasBar(WS_VSCROLL));
    EXPECT_TRUE(HasBar(WS_HSCROLL));
    tl->SetLeftCoord(500);
    EXPECT_EQ(tl->LeftCoord(), 400 - (300 - 16));
    Client(500, 100);
    EXPECT_EQ(tl->LeftCoord(), 0);
}

TEST_F(TreeListWindow, AHiddenWindowLeavesItsBarsAlone) {
    Client(400, 179);
    tl->SetVisible(false);
    driver_->Pump();
    AddRows(30);
    EXPECT_FALSE(HasBar(WS_VSCROLL));
    EXPECT_EQ(tl->WhollyVisibleRows(), 10);
    tl->SetVisible(true);
    driver_->Pump();
    EXPECT_TRUE(HasBar(WS_VSCROLL));
    EXPECT_EQ(Bar(SB_VERT).nMax, 29);
}

TEST_F(TreeListWindow, ParentFontReachesTheOwnFonts) {
    Client(400, 200);
    tl->SetParentFont(true);
    form_->Font()->SetSize(16);
    driver_->Pump();
    EXPECT_EQ(tl->HeaderFont()->Size(), 16);
    EXPECT_EQ(tl->BandFont()->Size(), 16);
    EXPECT_EQ(tl->PreviewFont()->Size(), 16);
    EXPECT_EQ(tl->PreviewFont()->Color(), clBlue);
    EXPECT_TRUE(tl->ParentFont());  // the control's own copies keep it
    EXPECT_GT(tl->Metrics().HeaderLineHeight, 19);
}

TEST_F(TreeListWindow, SizingLimits) {
    Client(400, 200);
    AddRows(3);
    TvxSizingLimits band = tl->GetBandSizingLimits(0);
    EXPECT_EQ(band.Min, 60);  // three columns of at least 20
    EXPECT_EQ(band.Max, 398);
    TvxSizingLimits column = tl->GetColumnSizingLimits(1);
    EXPECT_EQ(column.Min, 120);
    EXPECT_EQ(column.Max, 399);  // the band follows its header
    tl->SetShowBands(true);
    column = tl->GetColumnSizingLimits(1);
    EXPECT_EQ(column.Max, 300);  // the band's right edge
    OptionsEx(TvxTLOptionEx::FullSizing, true);
    EXPECT_EQ(tl->GetBandSizingLimits(0).Max, 100000);
    EXPECT_EQ(tl->GetColumnSizingLimits(1).Max, 100000);
    Options(TvxTLOption::AutoWidth, true);
    EXPECT_EQ(tl->GetColumnSizingLimits(1).Max, 400);

    int rows = 0;
    EXPECT_EQ(tl->GetBandPanelSizingLimits(25, rows), 19);
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(tl->GetBandPanelSizingLimits(26, rows), 32);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(tl->GetHeaderPanelSizingLimits(19 + 28, rows), 38);
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(tl->GetHeaderPanelSizingLimits(19 + 29, rows), 57);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(tl->GetHeaderPanelSizingLimits(1000, rows), 19 + 5 * 19);
    TvxSizingLimits row = tl->GetRowSizingLimits(0);
    EXPECT_EQ(row.Min, 38 + 16);
    EXPECT_EQ(row.Max, 199);
}

TEST_F(TreeListWindow, DialogCodeEraseAndCursors) {
    Client(400, 200);
    AddRows(3);
    EXPECT_EQ(Send(WM_ERASEBKGND), 1);
    EXPECT_EQ(Send(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTCHARS);  // Editing
    Options(TvxTLOption::Editing, false);
    EXPECT_EQ(Send(WM_GETDLGCODE), DLGC_WANTARROWS);
    OptionsEx(TvxTLOptionEx::AutoSearch, true);
    EXPECT_EQ(Send(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTCHARS);
    Options(TvxTLOption::Tabs, true);
    EXPECT_EQ(Send(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB);
    tl->SetFocus();
    InjectKey(VK_CONTROL, true);
    driver_->Pump();
    EXPECT_EQ(Send(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTCHARS);
    InjectKey(VK_MENU, true);
    driver_->Pump();
    EXPECT_EQ(Send(WM_GETDLGCODE), DLGC_WANTARROWS);
    InjectKey(VK_MENU, false);
    InjectKey(VK_CONTROL, false);
    driver_->Pump();

    // The sizing cursors follow the point last hit-tested and the state.
    OptionsEx(TvxTLOptionEx::RowSizing, true);
    auto cursorAt = [&](int x, int y) {
        const TPoint screen = tl->ClientToScreen(TPoint{x, y});
        Send(WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y));
        ::SetCursor(IDC_ARROW);
        Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(tl->WindowHandle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    const HCURSOR hsplit = Screen->Cursors(crHSplit);
    const HCURSOR vsplit = Screen->Cursors(crVSplit);
    EXPECT_EQ(cursorAt(98, 10), hsplit);   // header edge
    EXPECT_EQ(cursorAt(298, 10), hsplit);  // the last column's edge sizes the band
    EXPECT_EQ(cursorAt(150, 10), IDC_ARROW);
    EXPECT_EQ(cursorAt(150, 33), vsplit);  // row edge
    tl->SetState(1);
    EXPECT_EQ(cursorAt(150, 60), hsplit);
    tl->SetState(13);
    EXPECT_EQ(cursorAt(150, 60), vsplit);
    tl->SetState(6);
    EXPECT_EQ(cursorAt(98, 10), IDC_ARROW);
    tl->SetState(0);
}

TEST_F(TreeListWindow, FlatLooksDrawTheirOwnFrame) {
    Client(400, 200);
    EXPECT_EQ(tl->ClientRect().Width(), 400);  // the client edge
    tl->SetLookAndFeel(lfFlat);
    driver_->Pump();
    EXPECT_EQ(tl->ClientRect().Width(), 402);  // one pixel of frame a side
    EXPECT_EQ(tl->ClientRect().Height(), 202);
    EXPECT_EQ(tl->FlatScrollBarMode(), FSB_REGULAR_MODE);
    EXPECT_EQ(FramePixel(), GetSysColor(COLOR_BTNSHADOW));  // the sunken outer edge
    tl->SetLookAndFeel(lfUltraFlat);
    EXPECT_EQ(tl->FlatScrollBarMode(), FSB_FLAT_MODE);
    EXPECT_EQ(tl->ClientRect().Width(), 402);
    tl->SetColor(clRed);
    EXPECT_EQ(FramePixel(), GetSysColor(COLOR_BTNSHADOW));
    tl->SetBorderStyle(bsNone);
    driver_->Pump();
    EXPECT_EQ(tl->ClientRect().Width(), 404);
}

TEST_F(TreeListWindow, UnitCursorsAndPictures) {
    EXPECT_TRUE(TreeListUnitStarted());
    for (TCursor c : {crvxTLDelete, crvxTLFullScroll, crvxTLLeftScroll, crvxTLMultiDragCopy}) {
        int w = 0, h = 0;
        EXPECT_TRUE(GetCursorPicture(Screen->Cursors(c), &w, &h, nullptr, nullptr)) << c;
        EXPECT_EQ(w, 32);
    }
    TBitmap* plus = TreeListExpandButton(true);
    TBitmap* minus = TreeListExpandButton(false);
    ASSERT_TRUE(plus && minus);
    EXPECT_EQ(plus->Width(), 12);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    EXPECT_EQ(GetPixel(plus->Canvas()->Handle(), 5, 4), text);   // the vertical bar
    EXPECT_NE(GetPixel(minus->Canvas()->Handle(), 5, 4), text);  // none in the minus
    EXPECT_EQ(GetPixel(minus->Canvas()->Handle(), 4, 5), text);
}
