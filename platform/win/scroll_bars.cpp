#include "platform/win/scroll_bars.h"

#include <algorithm>

#include "platform/win/paint.h"
#include "platform/win/window_tree_internal.h"

using namespace win_internal;

namespace {

WindowRecord::ScrollBar* Bar(HWND wnd, int bar) {
    WindowRecord* r = Rec(wnd);
    if (!r || (bar != SB_HORZ && bar != SB_VERT)) return nullptr;
    return &r->scroll[bar == SB_VERT ? 1 : 0];
}

int MaxPos(const WindowRecord::ScrollBar& sb) {
    return std::max(sb.min, sb.max - std::max(static_cast<int>(sb.page) - 1, 0));
}

bool Needed(const WindowRecord::ScrollBar& sb) {
    int64_t range = static_cast<int64_t>(sb.max) - sb.min + 1;
    return sb.page > 0 ? range > static_cast<int64_t>(sb.page) : sb.max > sb.min;
}

}  // namespace

int SetScrollInfo(HWND wnd, int bar, const SCROLLINFO* info, bool redraw) {
    WindowRecord::ScrollBar* sb = Bar(wnd, bar);
    if (!sb || !info) return 0;
    if (info->fMask & SIF_RANGE) {
        sb->min = info->nMin;
        sb->max = std::max(info->nMin, info->nMax);
    }
    if (info->fMask & SIF_PAGE) {
        int64_t range = static_cast<int64_t>(sb->max) - sb->min + 1;
        sb->page = static_cast<unsigned>(std::min<int64_t>(info->nPage, range));
    }
    if (info->fMask & SIF_POS) sb->pos = info->nPos;
    sb->pos = std::clamp(sb->pos, sb->min, MaxPos(*sb));
    bool show = Needed(*sb) || (info->fMask & SIF_DISABLENOSCROLL);
    DWORD flag = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    bool shown = (GetWindowLong(wnd, GWL_STYLE) & flag) != 0;
    int pos = sb->pos;
    if (show != shown) {
        ShowScrollBar(wnd, bar, show);
    } else if (redraw && shown) {
        InvalidateFrame(wnd);
    }
    return pos;
}

bool GetScrollInfo(HWND wnd, int bar, SCROLLINFO* info) {
    WindowRecord::ScrollBar* sb = Bar(wnd, bar);
    if (!sb || !info) return false;
    if (info->fMask & SIF_RANGE) {
        info->nMin = sb->min;
        info->nMax = sb->max;
    }
    if (info->fMask & SIF_PAGE) info->nPage = sb->page;
    if (info->fMask & SIF_POS) info->nPos = sb->pos;
    if (info->fMask & SIF_TRACKPOS) info->nTrackPos = sb->tracking ? sb->track : sb->pos;
    return true;
}

int SetScrollPos(HWND wnd, int bar, int pos, bool redraw) {
    WindowRecord::ScrollBar* sb = Bar(wnd, bar);
    if (!sb) return 0;
    int old = sb->pos;
    SCROLLINFO si;
    si.fMask = SIF_POS;
    si.nPos = pos;
    SetScrollInfo(wnd, bar, &si, redraw);
    return old;
}

int GetScrollPos(HWND wnd, int bar) {
    WindowRecord::ScrollBar* sb = Bar(wnd, bar);
    return sb ? sb->pos : 0;
}

bool SetScrollRange(HWND wnd, int bar, int min, int max, bool redraw) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE;
    si.nMin = min;
    si.nMax = max;
    return Bar(wnd, bar) && (SetScrollInfo(wnd, bar, &si, redraw), true);
}

bool GetScrollRange(HWND wnd, int bar, int* min, int* max) {
    WindowRecord::ScrollBar* sb = Bar(wnd, bar);
    if (!sb) return false;
    if (min) *min = sb->min;
    if (max) *max = sb->max;
    return true;
}

bool ShowScrollBar(HWND wnd, int bar, bool show) {
    WindowRecord* r = Rec(wnd);
    if (!r) return false;
    DWORD flags = bar == SB_BOTH ? (WS_HSCROLL | WS_VSCROLL) : bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    DWORD style = show ? (r->style | flags) : (r->style & ~flags);
    if (style == r->style) return true;
    r->style = style;
    // The client area shrinks or grows: WM_NCCALCSIZE, then WM_SIZE.
    RecalcFrame(wnd, true);
    InvalidateFrame(wnd);
    return true;
}
