// Showing or hiding the group panel slides the grid's picture down or up by the panel's
// height, a pixel per frame at first and faster once 20 pixels have moved, for at most
// 400 ms. The loop waits only for timers: input stays queued until it ends, sent messages
// and the timers of other windows are handled, and a pending end of the program ends it.

#include <algorithm>

#include "grid/core/vx_db_grid.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "platform/win/timers.h"
#include "platform/win/window_tree.h"

namespace {

constexpr uint64_t kMaxDuration = 400;
constexpr uint64_t kFrame = 10;

// The strip the scroll uncovered takes the colour of what will stand there.
void FillStrip(HWND Wnd, const TRect& Strip, TColor Color) {
    HDC dc = GetDC(Wnd);
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
    FillRect(dc, Strip, brush);
    DeleteObject(brush);
    ReleaseDC(Wnd, dc);
}

// Until the frame timer falls due; false when the program is ending or the window went.
bool WaitForFrame(HWND Wnd, UINT_PTR Timer) {
    bool due = false;
    TLoopMessages timers;
    timers.First = timers.Last = WM_TIMER;
    timers.Take = [&](const MSG& msg) {
        if (msg.hwnd != nullptr || msg.wParam != Timer) return false;
        due = true;
        return true;
    };
    return RunLoopUntil([&] { return due || !IsWindow(Wnd); }, kNoDeadline, timers) && IsWindow(Wnd);
}

}  // namespace

bool TCustomvxDBGrid::AnimateGroupPanel(bool Show) {
    const HWND wnd = WindowHandle();
    TRect client;
    GetClientRect(wnd, &client);
    const int height = GroupPanelHeightFor(GroupColumnCount());
    int step = std::max(1, GetRectInfo().Rows.Height() / 256);
    const TColor uncovered = Show ? clBtnShadow : Color();
    const uint64_t start = GetTickCount64();
    UINT_PTR timer = 0;
    struct Kill {
        UINT_PTR& timer;
        ~Kill() {
            if (timer) KillTimer(nullptr, timer);
        }
    } kill{timer};
    for (int moved = 0; moved < height;) {
        const int left = height - moved;
        // A step past half of what is left takes all of it.
        const int dy = 2 * step > left ? left : step;
        ScrollWindowEx(wnd, 0, Show ? dy : -dy, &client, &client, nullptr, nullptr, SW_INVALIDATE);
        FillStrip(wnd,
                  Show ? TRect{client.Left, client.Top, client.Right, client.Top + dy}
                       : TRect{client.Left, client.Bottom - dy, client.Right, client.Bottom},
                  uncovered);
        moved += dy;
        if (moved > 20) ++step;
        const uint64_t elapsed = GetTickCount64() - start;
        if (moved >= height || elapsed >= kMaxDuration) break;
        timer = SetTimer(nullptr, timer, static_cast<UINT>(std::min(kFrame, kMaxDuration - elapsed)));
        if (!WaitForFrame(wnd, timer)) break;
    }
    return IsWindow(wnd);
}
