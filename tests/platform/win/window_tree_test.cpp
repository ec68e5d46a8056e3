#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/draw.h"
#include "platform/sync/clock.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "platform/win/scroll_bars.h"
#include "platform/win/window_tree.h"

namespace {

// A window that fills its update with a colour and records sizes and focus messages.
struct TestWindow {
    HWND wnd = nullptr;
    COLORREF fill = RGB(255, 0, 0);
    std::vector<TSize> sizes;
    std::vector<std::pair<UINT, HWND>> focus;
    int paints = 0;

    LRESULT Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        switch (msg) {
            case WM_PAINT: {
                ++paints;
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(w, &ps);
                TRect r;
                GetClientRect(w, &r);
                HBRUSH brush = CreateSolidBrush(fill);
                FillRect(dc, r, brush);  // the whole client area: the context clips it
                DeleteObject(brush);
                EndPaint(w, &ps);
                return 0;
            }
            case WM_SIZE: sizes.push_back(TSize{LOWORD(lp), HIWORD(lp)}); return 0;
            case WM_SETFOCUS:
            case WM_KILLFOCUS: focus.emplace_back(msg, reinterpret_cast<HWND>(wp)); return 0;
            default: return DefWindowProc(w, msg, wp, lp);
        }
    }
    void Create(DWORD style, int x, int y, int w, int h, HWND parent) {
        wnd = CreateWindowEx(0, style, x, y, w, h, parent,
                             [this](HWND hw, UINT m, WPARAM wp, LPARAM lp) { return Proc(hw, m, wp, lp); });
    }
};

COLORREF PixelOf(HWND top, int x, int y) { return PixelToColor(GetWindowBackBuffer(top)->Row(y)[x]); }

class WindowTree : public ::testing::Test {
protected:
    void SetUp() override { InitWindowThread(); }
    void TearDown() override {
        if (IsWindow(top.wnd)) DestroyWindow(top.wnd);
        ProcessMessages();
    }
    TestWindow top;
};

}  // namespace

TEST_F(WindowTree, PaintIsClippedToTheUpdateRegionAndSparesChildren) {
    top.Create(WS_VISIBLE | WS_CLIPCHILDREN, 10, 10, 100, 80, nullptr);
    TestWindow child;
    child.fill = RGB(0, 0, 255);
    child.Create(WS_CHILD | WS_VISIBLE, 50, 40, 20, 20, top.wnd);
    ProcessMessages();
    EXPECT_EQ(PixelOf(top.wnd, 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(top.wnd, 55, 45), RGB(0, 0, 255));
    top.fill = RGB(0, 255, 0);
    TRect r = Rect(0, 0, 10, 10);
    InvalidateRect(top.wnd, &r, false);
    TRect all = Rect(0, 0, 100, 80);
    EXPECT_TRUE(GetUpdateRect(top.wnd, &all, false));
    EXPECT_EQ(all, r);
    ProcessMessages();
    EXPECT_EQ(PixelOf(top.wnd, 9, 9), RGB(0, 255, 0));
    EXPECT_EQ(PixelOf(top.wnd, 10, 10), RGB(255, 0, 0)) << "outside the update region";
    InvalidateRect(top.wnd, nullptr, false);
    ProcessMessages();
    EXPECT_EQ(PixelOf(top.wnd, 55, 45), RGB(0, 0, 255)) << "the parent never paints over a child";
    // Hiding the child uncovers its place, which the parent then paints.
    ShowWindow(child.wnd, SW_HIDE);
    ProcessMessages();
    EXPECT_EQ(PixelOf(top.wnd, 55, 45), RGB(0, 255, 0));
    EXPECT_EQ(WindowFromPoint(Point(10 + 55, 10 + 45)), top.wnd);
}

TEST_F(WindowTree, ScrollBarsShowWhenTheRangeExceedsThePageAndResizeTheClient) {
    top.Create(WS_VISIBLE, 0, 0, 100, 80, nullptr);
    TRect c;
    GetClientRect(top.wnd, &c);
    EXPECT_EQ(c, Rect(0, 0, 100, 80));
    top.sizes.clear();
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 99;
    si.nPage = 80;
    si.nPos = 50;
    EXPECT_EQ(SetScrollInfo(top.wnd, SB_VERT, &si, true), 20) << "the position stops at max - page + 1";
    EXPECT_TRUE(GetWindowLong(top.wnd, GWL_STYLE) & WS_VSCROLL);
    GetClientRect(top.wnd, &c);
    EXPECT_EQ(c.Right, 100 - 16);
    ASSERT_EQ(top.sizes.size(), 1u);
    EXPECT_EQ(top.sizes[0].cx, 84);
    si.fMask = SIF_PAGE;
    si.nPage = 100;
    SetScrollInfo(top.wnd, SB_VERT, &si, true);
    EXPECT_FALSE(GetWindowLong(top.wnd, GWL_STYLE) & WS_VSCROLL);
    GetClientRect(top.wnd, &c);
    EXPECT_EQ(c.Right, 100);
    EXPECT_EQ(top.sizes.size(), 2u);
}

TEST_F(WindowTree, ScrollBarArrowClickSendsLineDown) {
    std::vector<int> codes;
    top.wnd = CreateWindowEx(0, WS_VISIBLE, 0, 0, 100, 80, nullptr,
                             [&](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
                                 if (m == WM_VSCROLL) codes.push_back(LOWORD(wp));
                                 return DefWindowProc(w, m, wp, lp);
                             });
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMax = 200;
    si.nPage = 50;
    SetScrollInfo(top.wnd, SB_VERT, &si, true);
    ProcessMessages();
    InjectMouseButton(Point(92, 75), MouseButton::Left, true);
    InjectMouseButton(Point(92, 75), MouseButton::Left, false);
    ProcessMessages();
    EXPECT_EQ(codes, (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
}

TEST_F(WindowTree, FocusMessagesNameTheOtherWindow) {
    top.Create(WS_VISIBLE, 0, 0, 100, 80, nullptr);
    TestWindow a, b;
    a.Create(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top.wnd);
    b.Create(WS_CHILD | WS_VISIBLE, 20, 0, 10, 10, top.wnd);
    SetFocus(a.wnd);
    SetFocus(b.wnd);
    ASSERT_EQ(a.focus.size(), 2u);
    EXPECT_EQ(a.focus[1], std::make_pair(WM_KILLFOCUS, b.wnd));
    ASSERT_EQ(b.focus.size(), 1u);
    EXPECT_EQ(b.focus[0], std::make_pair(WM_SETFOCUS, a.wnd));
    EnableWindow(b.wnd, false);
    EXPECT_EQ(GetFocus(), nullptr) << "a disabled window loses the focus";
    EXPECT_EQ(SetFocus(b.wnd), nullptr);
    EXPECT_NE(GetFocus(), b.wnd);
}

TEST_F(WindowTree, ScrollWindowMovesPixelsAndInvalidatesTheUncoveredStrip) {
    top.Create(WS_VISIBLE, 0, 0, 40, 40, nullptr);
    ProcessMessages();
    HDC dc = GetDC(top.wnd);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    TRect mark = Rect(0, 10, 40, 12);
    FillRect(dc, mark, blue);
    DeleteObject(blue);
    ReleaseDC(top.wnd, dc);
    TRect uncovered;
    ScrollWindowEx(top.wnd, 0, -5, nullptr, nullptr, nullptr, &uncovered, SW_INVALIDATE);
    EXPECT_EQ(PixelOf(top.wnd, 3, 5), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(top.wnd, 3, 10), RGB(255, 0, 0));
    EXPECT_EQ(uncovered, Rect(0, 35, 40, 40));
    TRect update;
    EXPECT_TRUE(GetUpdateRect(top.wnd, &update, false));
    EXPECT_EQ(update, uncovered);
}

TEST_F(WindowTree, WindowRegionLimitsHitTesting) {
    top.Create(WS_VISIBLE, 0, 0, 100, 100, nullptr);
    SetWindowRgn(top.wnd, CreateRectRgn(0, 0, 50, 50), true);
    EXPECT_EQ(WindowFromPoint(Point(10, 10)), top.wnd);
    EXPECT_EQ(WindowFromPoint(Point(70, 70)), nullptr);
}

TEST_F(WindowTree, ChildLearnsItsClientSizeWhenCreatedTopLevelDoesNot) {
    top.Create(WS_VISIBLE, 0, 0, 100, 80, nullptr);
    EXPECT_TRUE(top.sizes.empty());
    TestWindow child;
    child.Create(WS_CHILD | WS_BORDER, 10, 10, 40, 30, top.wnd);
    TRect c;
    GetClientRect(child.wnd, &c);
    DestroyWindow(child.wnd);
    ASSERT_EQ(child.sizes.size(), 1u);
    EXPECT_EQ(child.sizes[0].cx, c.Width());
    EXPECT_EQ(child.sizes[0].cy, c.Height());
}

TEST_F(WindowTree, PressesOnAWindowHiddenInBetweenMakeNoDoubleClick) {
    ScopedManualClock clock;  // both presses at the same moment
    std::vector<UINT> presses;
    top.Create(WS_VISIBLE, 0, 0, 100, 80, nullptr);
    HWND button = CreateWindowEx(0, WS_CHILD | WS_VISIBLE, 10, 10, 40, 20, top.wnd,
                                 [&](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
                                     if (m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK) presses.push_back(m);
                                     return DefWindowProc(w, m, wp, lp);
                                 });
    TPoint p{20, 20};
    ClientToScreen(top.wnd, &p);
    auto click = [&] {
        InjectMouseButton(p, MouseButton::Left, true);
        InjectMouseButton(p, MouseButton::Left, false);
        ProcessMessages();
    };
    click();
    ShowWindow(top.wnd, SW_HIDE);
    ShowWindow(top.wnd, SW_SHOW);
    click();
    click();
    DestroyWindow(button);
    ASSERT_EQ(presses.size(), 3u);
    EXPECT_EQ(presses[0], WM_LBUTTONDOWN);
    EXPECT_EQ(presses[1], WM_LBUTTONDOWN) << "the window left the screen in between";
    EXPECT_EQ(presses[2], WM_LBUTTONDBLCLK);
}
