#pragma once
// Internal to platform/win: the window tree's state and the helpers that the tree, input,
// painting, scroll-bar and non-client code share. Window thread only, no lock.

#include <optional>
#include <unordered_set>
#include <vector>

#include "platform/gdi/region.h"
#include "platform/win/input.h"
#include "platform/win/top_level_sink.h"
#include "platform/win/window_tree.h"

namespace win_internal {

struct TreeState {
    // Windows of the tree (looked up without the window system's lock, which the pump may hold).
    std::unordered_set<HWND> live;
    std::vector<HWND> top_levels;  // z-order, topmost first
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    HWND hover = nullptr;  // the window the mouse was last over
    TopLevelSink* sink = nullptr;
    HCURSOR cursor = IDC_ARROW;
    TPoint mouse;  // screen position as of the last raw mouse event converted
    // Double-click detection.
    HWND last_click_wnd = nullptr;
    int last_click_button = -1;
    uint32_t last_click_time = 0;
    TPoint last_click_pos;
    bool last_was_double = false;
    unsigned beeps = 0;
    // Scroll-bar thumb drag in progress.
    HWND track_wnd = nullptr;
    int track_bar = 0;
    int track_grab = 0;  // pixel offset of the grab point inside the thumb
    // A top-level window moved by its caption, by ourselves (no window manager does it).
    HWND move_wnd = nullptr;
    TPoint move_grab;  // the press point from the window's top-left corner
};
TreeState& Tree();

// The window when it lives in the tree, else null.
WindowRecord* Rec(HWND wnd);
HWND RootOf(HWND wnd);
bool IsTopLevel(HWND wnd);
// Visible itself and every ancestor.
bool IsShown(HWND wnd);
// Origins in root (top-level window) coordinates.
TPoint WindowOriginInRoot(HWND wnd);
TPoint ClientOriginInRoot(HWND wnd);
// The parts of the window (whole) or of its client area that can be seen within its
// top-level window, in root coordinates; children are cut out when asked.
Region VisibleRegion(HWND wnd, bool clientOnly, bool excludeChildren);
// Invalidates every shown window of `root` that overlaps `area` (root coordinates): its
// client part goes to its update region, a frame part marks its frame.
void InvalidateRootArea(HWND root, const TRect& area);
// A press on a caption: the display's window manager moves the window when it can (the
// desktop's own move, with its snapping and edge rules); otherwise the window follows the
// mouse until the left button goes up.
void BeginCaptionMove(HWND wnd, TPoint screen);
// Makes or resizes the back buffer of a top-level window.
HBITMAP EnsureBackBuffer(HWND root);
void PresentRoot(HWND root, const TRect& area);
// Sends WM_NCCALCSIZE and updates the client area; WM_SIZE when its size changed.
void RecalcFrame(HWND wnd, bool sendSize);
// Picks the next window to activate after `gone` went away or was hidden.
void ActivateNext(HWND gone);
// Unlinks a destroyed window from the tree and the focus/capture/active state.
void OnDestroyed(HWND wnd);

// Pump steps: converts one raw input event into messages / paints one window.
bool PumpInput();
bool PaintOne();
bool PaintPending();
// Translation of key messages at dispatch: false when the message was consumed.
bool PreTranslateKey(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam);

// Default handling of non-client, painting, scroll bar and mouse messages (DefWindowProc).
bool DefTreeProc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result);
// Non-client geometry for the default frame.
struct FrameParts {
    int border = 0;   // outer border thickness (all sides)
    int caption = 0;  // caption height (top, inside the border)
    int edge = 0;     // client edge thickness inside
    bool vscroll = false;
    bool hscroll = false;
    TRect captionRect;  // window coordinates
    TRect closeRect;
    TRect vbar;  // window coordinates (empty when none)
    TRect hbar;
};
FrameParts ComputeFrame(HWND wnd);
void PaintDefaultFrame(HWND wnd);
// Scroll bar geometry (window coordinates): arrows, thumb.
struct BarParts {
    TRect bar, arrow1, arrow2, track, thumb;
    bool enabled = false;
};
BarParts ComputeBar(HWND wnd, int bar);
void ScrollBarClick(HWND wnd, int bar, TPoint windowPt);
void ScrollBarTrack(TPoint screen, bool release);

}  // namespace win_internal
