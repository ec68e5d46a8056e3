#pragma once
// Invalidation and painting. Each window keeps an update region (client coordinates) and
// a pending frame repaint. When nothing else waits, the pump sends WM_PAINT to a window
// whose update region is not empty; BeginPaint sends WM_NCPAINT and WM_ERASEBKGND when due
// and hands out a context clipped to the update region and the window's visible part.
// Every top-level window paints into its own 32-bit back buffer; a child draws into its
// top-level window's buffer at its place, clipped to what of it is visible (never over its
// children or the siblings above it, nor outside its window region).

#include "platform/gdi/device_context.h"
#include "platform/win/window_tree.h"

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    bool fErase = false;
    TRect rcPaint;  // the update region's bounds, client coordinates
};

// erase: WM_ERASEBKGND is sent before the next paint. A null rect means the client area.
bool InvalidateRect(HWND wnd, const TRect* rect, bool erase);
bool InvalidateRgn(HWND wnd, HRGN rgn, bool erase);
bool ValidateRect(HWND wnd, const TRect* rect);
bool ValidateRgn(HWND wnd, HRGN rgn);
// Bounds of the update region (false when it is empty).
bool GetUpdateRect(HWND wnd, TRect* rect, bool erase);
// Copies the update region into rgn (client coordinates); answers its region type.
int GetUpdateRgn(HWND wnd, HRGN rgn, bool erase);
// Sends WM_PAINT at once when the update region is not empty (no queue involved).
bool UpdateWindow(HWND wnd);

inline constexpr unsigned RDW_INVALIDATE = 0x0001;
inline constexpr unsigned RDW_ERASE = 0x0004;
inline constexpr unsigned RDW_VALIDATE = 0x0008;
inline constexpr unsigned RDW_FRAME = 0x0400;
inline constexpr unsigned RDW_ALLCHILDREN = 0x0080;
inline constexpr unsigned RDW_UPDATENOW = 0x0100;
inline constexpr unsigned RDW_ERASENOW = 0x0200;
bool RedrawWindow(HWND wnd, const TRect* rect, HRGN rgn, unsigned flags);

HDC BeginPaint(HWND wnd, PAINTSTRUCT* ps);
bool EndPaint(HWND wnd, const PAINTSTRUCT* ps);
// A context on the client area (GetDC) or the whole window (GetWindowDC), clipped to the
// visible part; release it with ReleaseDC, which also presents what was drawn.
HDC GetDC(HWND wnd);
HDC GetWindowDC(HWND wnd);
int ReleaseDC(HWND wnd, HDC dc);
// Marks the frame for repainting (WM_NCPAINT before the next WM_PAINT).
void InvalidateFrame(HWND wnd);

// ScrollWindowEx flags.
inline constexpr unsigned SW_SCROLLCHILDREN = 0x0001;
inline constexpr unsigned SW_INVALIDATE = 0x0002;
inline constexpr unsigned SW_ERASE = 0x0004;
// Moves the pixels of the client area (or `scroll` ∩ `clip`) by dx, dy in the back buffer;
// what is uncovered goes to updateRgn/updateRect and, with SW_INVALIDATE, to the update
// region. Pending invalid parts move along. Answers the region type of the uncovered part.
int ScrollWindowEx(HWND wnd, int dx, int dy, const TRect* scroll, const TRect* clip, HRGN updateRgn, TRect* updateRect,
                   unsigned flags);
bool ScrollWindow(HWND wnd, int dx, int dy, const TRect* scroll, const TRect* clip);

// The back buffer of a top-level window (null before it was first painted or sized).
HBITMAP GetWindowBackBuffer(HWND topLevel);
// Paints every window with a pending update now (what the pump would do when idle).
void UpdateAllWindows();
