// The panning mode: a modal loop inside the middle-button press. It holds the mouse, shows
// the marker in a round window of its own, and turns the ticks of a thread timer into
// scroll steps whose rate grows with the pointer's distance from the marker. Esc, any other
// button or the wheel ends it; releasing the middle button ends it only once the pointer
// has left the marker, so that a plain middle click leaves the mode on.

#include "treelist/tree_list_panning.h"

#include <climits>
#include <cstdlib>

#include "platform/forms/screen.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/canvas.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/elliptic_region.h"
#include "platform/gdi/region_paint.h"
#include "platform/rtl/scope_exit.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "platform/win/timers.h"
#include "platform/win/virtual_keys.h"
#include "treelist/custom_tree_list.h"
#include "treelist/tree_list_timers.h"
#include "treelist/tree_list_unit.h"

namespace {

constexpr int kMarkerSize = 29;
// Pixels per speed step beyond the marker's edge.
constexpr int kSpeedStep = 5;

// An arrow head pointing (dx, dy): one pixel at the tip, two more each row back, five rows.
void Triangle(HDC dc, TPoint tip, int dx, int dy) {
    HBRUSH ink = GetSysColorBrush(COLOR_WINDOWTEXT);
    for (int i = 0; i < 5; ++i) {
        const TPoint mid{tip.X - dx * i, tip.Y - dy * i};
        if (dx == 0)
            FillRect(dc, TRect{mid.X - i, mid.Y, mid.X + i + 1, mid.Y + 1}, ink);
        else
            FillRect(dc, TRect{mid.X, mid.Y - i, mid.X + 1, mid.Y + i + 1}, ink);
    }
}

// The marker window paints its picture and the frame along its round edge.
struct TvxPanningMarkerWindow {
    HWND Wnd = nullptr;
    TBitmap* Picture = nullptr;

    void Draw(HDC dc) const {
        BitBlt(dc, 0, 0, Picture->Width(), Picture->Height(), Picture->Canvas()->Handle(), 0, 0, SRCCOPY);
        HRGN frame = CreateEllipticRgn(0, 0, Picture->Width() + 1, Picture->Height() + 1);
        FrameRgn(dc, frame, GetSysColorBrush(COLOR_WINDOWFRAME), 1, 1);
        DeleteObject(frame);
    }

    void Show(HWND Owner, TPoint Start) {
        const int w = Picture->Width();
        const int h = Picture->Height();
        Wnd = CreateWindowEx(0, WS_POPUP, Start.X - w / 2, Start.Y - h / 2, w, h, Owner,
                             [this](HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) -> LRESULT {
                                 if (msg != WM_PAINT) return DefWindowProc(wnd, msg, wparam, lparam);
                                 PAINTSTRUCT ps;
                                 HDC dc = BeginPaint(wnd, &ps);
                                 Draw(dc);
                                 EndPaint(wnd, &ps);
                                 return 0;
                             });
        if (!Wnd) return;
        SetWindowRgn(Wnd, CreateEllipticRgn(0, 0, w + 1, h + 1), true);
        SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        HDC dc = GetDC(Wnd);
        Draw(dc);
        ReleaseDC(Wnd, dc);
    }

    ~TvxPanningMarkerWindow() {
        if (Wnd && IsWindow(Wnd)) DestroyWindow(Wnd);
    }
};

void SendScrollStep(HWND Wnd, TvxPanDirection Direction) {
    switch (Direction) {
        case pdLeft: SendMessage(Wnd, WM_HSCROLL, SB_LINELEFT, 0); break;
        case pdUp: SendMessage(Wnd, WM_VSCROLL, SB_LINEUP, 0); break;
        case pdRight: SendMessage(Wnd, WM_HSCROLL, SB_LINERIGHT, 0); break;
        case pdDown: SendMessage(Wnd, WM_VSCROLL, SB_LINEDOWN, 0); break;
        case pdNone: break;
    }
}

}  // namespace

TvxPanning::TvxPanning(TPoint Start, int MarkerWidth, int MarkerHeight, bool Horizontal, bool Vertical)
    : start_(Start), markerWidth_(MarkerWidth), horizontal_(Horizontal), vertical_(Vertical) {
    deadZone_ = TRect{Start.X - MarkerWidth / 2, Start.Y - MarkerHeight / 2, 0, 0};
    deadZone_.Right = deadZone_.Left + MarkerWidth;
    deadZone_.Bottom = deadZone_.Top + MarkerHeight;
    if (!Horizontal) {
        deadZone_.Left = INT_MIN;
        deadZone_.Right = INT_MAX;
    }
    if (!Vertical) {
        deadZone_.Top = INT_MIN;
        deadZone_.Bottom = INT_MAX;
    }
}

void TvxPanning::Track(TPoint P) {
    if (PtInRect(deadZone_, P)) {
        direction_ = pdNone;
        speed_ = 0;
        return;
    }
    movedOut_ = true;
    const int vx = P.X - start_.X;
    const int dy = P.Y - start_.Y;
    int distance;
    if (horizontal_ && (!vertical_ || std::abs(vx) > std::abs(dy))) {
        direction_ = vx >= 0 ? pdRight : pdLeft;
        distance = std::abs(vx);
    } else {
        direction_ = dy >= 0 ? pdDown : pdUp;
        distance = std::abs(dy);
    }
    speed_ = std::clamp((distance - markerWidth_ / 2) / kSpeedStep + 1, 1, kMaxSpeed);
}

bool TvxPanning::StepDue(int Tick) const {
    return direction_ != pdNone && speed_ > 0 && Tick % (kMaxSpeed + 1 - speed_) == 0;
}

TCursor TvxPanning::Cursor() const {
    switch (direction_) {
        case pdLeft: return crvxTLLeftScroll;
        case pdUp: return crvxTLUpScroll;
        case pdRight: return crvxTLRightScroll;
        case pdDown: return crvxTLDownScroll;
        case pdNone: break;
    }
    if (horizontal_ && vertical_) return crvxTLFullScroll;
    return horizontal_ ? crvxTLHorScroll : crvxTLVerScroll;
}

std::unique_ptr<TBitmap> MakePanningMarker(bool Horizontal, bool Vertical) {
    auto picture = std::make_unique<TBitmap>(kMarkerSize, kMarkerSize);
    HDC dc = picture->Canvas()->Handle();
    FillRect(dc, TRect{0, 0, kMarkerSize, kMarkerSize}, GetSysColorBrush(COLOR_WINDOW));
    HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_WINDOWTEXT));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    const int c = kMarkerSize / 2;
    Ellipse(dc, c - 2, c - 2, c + 3, c + 3);
    const int reach = c - 3;
    if (Vertical) {
        Triangle(dc, TPoint{c, c - reach}, 0, -1);
        Triangle(dc, TPoint{c, c + reach}, 0, 1);
    }
    if (Horizontal) {
        Triangle(dc, TPoint{c - reach, c}, -1, 0);
        Triangle(dc, TPoint{c + reach, c}, 1, 0);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    return picture;
}

void TCustomvxTreeList::RunPanning() {
    if (!HandleAllocated()) return;
    // Only handles and locals from here on: a message handled inside the loop may free the
    // control itself.
    const HWND wnd = WindowHandle();
    const DWORD style = GetWindowLong(wnd, GWL_STYLE);
    const bool horizontal = (style & WS_HSCROLL) != 0;
    const bool vertical = (style & WS_VSCROLL) != 0;
    TPoint start;
    GetCursorPos(&start);
    std::unique_ptr<TBitmap> picture = MakePanningMarker(horizontal, vertical);
    TvxPanning pan(start, picture->Width(), picture->Height(), horizontal, vertical);
    TvxPanningMarkerWindow marker;
    marker.Picture = picture.get();
    TScreen* screen = EnsureScreen();
    ::SetCursor(screen->Cursors(pan.Cursor()));
    int ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, kvxTLPanningTick);
    SetCapture(wnd);
    auto release = [wnd, timer] {
        if (GetCapture() == wnd) ReleaseCapture();
        KillTimer(nullptr, timer);
    };
    TScopeExit end(release);
    marker.Show(wnd, start);
    TPoint last = start;
    // What ends the mode is taken with the mouse already given back, so that the input
    // after it goes where it would have gone without the mode.
    bool ended = false;
    auto finish = [&] {
        ended = true;
        release();
        return true;
    };
    TLoopMessages messages;
    messages.Take = [&](const MSG& msg) {
        if (ended) return false;
        switch (msg.message) {
            case WM_KEYDOWN:
            case WM_KEYUP:
                // Keys do nothing in the mode; Esc ends it.
                return msg.wParam == VK_ESCAPE ? finish() : true;
            case WM_MOUSEMOVE: {
                TPoint p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
                ::ClientToScreen(msg.hwnd, &p);
                if (p.X == last.X && p.Y == last.Y) return true;
                last = p;
                pan.Track(p);
                ::SetCursor(screen->Cursors(pan.Cursor()));
                return true;
            }
            case WM_TIMER:
                if (msg.hwnd != nullptr || msg.wParam != timer) return false;
                ++ticks;
                if (pan.StepDue(ticks)) SendScrollStep(wnd, pan.Direction());
                return true;
            case WM_MBUTTONUP: return pan.MovedOut() ? finish() : true;
            default:
                if (msg.message > WM_MOUSEFIRST && msg.message <= WM_MOUSEWHEEL) return finish();
                return false;
        }
    };
    // The program's end ends the mode too; its quit stays for the main loop.
    RunLoopUntil([&] { return ended || GetCapture() != wnd; }, kNoDeadline, messages);
}
