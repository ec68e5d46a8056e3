#pragma once
// Standard scroll bars in a window's non-client area. A bar is shown while its range
// exceeds its page (max - min + 1 > page, or max > min without a page) unless
// SIF_DISABLENOSCROLL keeps it; showing or hiding one changes the client area and sends
// WM_SIZE. Clicks on a bar's arrows and track send WM_HSCROLL/WM_VSCROLL requests;
// dragging the thumb sends SB_THUMBTRACK and SB_THUMBPOSITION.

#include "platform/win/window_tree.h"

inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_CTL = 2;
inline constexpr int SB_BOTH = 3;

inline constexpr unsigned SIF_RANGE = 0x0001;
inline constexpr unsigned SIF_PAGE = 0x0002;
inline constexpr unsigned SIF_POS = 0x0004;
inline constexpr unsigned SIF_DISABLENOSCROLL = 0x0008;
inline constexpr unsigned SIF_TRACKPOS = 0x0010;
inline constexpr unsigned SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct SCROLLINFO {
    unsigned cbSize = sizeof(SCROLLINFO);
    unsigned fMask = 0;
    int nMin = 0;
    int nMax = 0;
    unsigned nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

// The position is kept within [min, max - max(page - 1, 0)]. Answers the new position.
int SetScrollInfo(HWND wnd, int bar, const SCROLLINFO* info, bool redraw);
bool GetScrollInfo(HWND wnd, int bar, SCROLLINFO* info);
int SetScrollPos(HWND wnd, int bar, int pos, bool redraw);
int GetScrollPos(HWND wnd, int bar);
bool SetScrollRange(HWND wnd, int bar, int min, int max, bool redraw);
bool GetScrollRange(HWND wnd, int bar, int* min, int* max);
bool ShowScrollBar(HWND wnd, int bar, bool show);
