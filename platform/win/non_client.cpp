// The default frame of a window: borders, the classic caption bar, client edges and
// standard scroll bars, with their hit testing and mouse handling.

#include <algorithm>

#include "platform/gdi/draw.h"
#include "platform/gdi/system_metrics.h"
#include "platform/gdi/text.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "platform/win/scroll_bars.h"
#include "platform/win/window_system.h"
#include "platform/win/window_tree_internal.h"

namespace win_internal {

namespace {
constexpr UINT kScClose = 0xF060;
}

namespace {

// Border, caption and edge of a frame of these styles.
void FrameThickness(uint32_t s, uint32_t ex, FrameParts& f) {
    const bool tool = (ex & WS_EX_TOOLWINDOW) != 0;
    if ((s & WS_CAPTION) == WS_CAPTION) {
        f.border = (s & WS_THICKFRAME) ? GetSystemMetrics(SM_CXFRAME) : GetSystemMetrics(SM_CXDLGFRAME);
        f.caption = tool ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
    } else if (s & WS_DLGFRAME) {
        f.border = GetSystemMetrics(SM_CXDLGFRAME);
    } else if (s & WS_THICKFRAME) {
        f.border = GetSystemMetrics(SM_CXFRAME);
    } else if (s & WS_BORDER) {
        f.border = 1;
    }
    if (ex & WS_EX_CLIENTEDGE)
        f.edge = 2;
    else if (ex & WS_EX_STATICEDGE)
        f.edge = 1;
}

}  // namespace

FrameParts ComputeFrame(HWND wnd) {
    FrameParts f;
    WindowRecord* r = Rec(wnd);
    if (!r) return f;
    const uint32_t s = r->style;
    FrameThickness(s, r->ex_style, f);
    const int w = r->rect.Width();
    const int h = r->rect.Height();
    f.captionRect = Rect(f.border, f.border, w - f.border, f.border + f.caption - (f.caption > 0 ? 1 : 0));
    if (f.caption > 0 && (s & WS_SYSMENU)) {
        int bh = f.caption - 5;
        int bw = bh + 2;
        f.closeRect = Bounds(f.captionRect.Right - 2 - bw, f.captionRect.Top + 2, bw, bh);
    }
    TRect area = Rect(f.border + f.edge, f.border + f.caption + f.edge, w - f.border - f.edge, h - f.border - f.edge);
    f.vscroll = (s & WS_VSCROLL) != 0;
    f.hscroll = (s & WS_HSCROLL) != 0;
    const int sv = GetSystemMetrics(SM_CXVSCROLL);
    const int sh = GetSystemMetrics(SM_CYHSCROLL);
    if (f.vscroll)
        f.vbar = Rect(std::max(area.Left, area.Right - sv), area.Top, area.Right, area.Bottom - (f.hscroll ? sh : 0));
    if (f.hscroll)
        f.hbar = Rect(area.Left, std::max(area.Top, area.Bottom - sh), area.Right - (f.vscroll ? sv : 0), area.Bottom);
    return f;
}

BarParts ComputeBar(HWND wnd, int bar) {
    BarParts p;
    WindowRecord* r = Rec(wnd);
    if (!r) return p;
    FrameParts f = ComputeFrame(wnd);
    const bool vert = bar == SB_VERT;
    p.bar = vert ? f.vbar : f.hbar;
    if (IsRectEmpty(p.bar)) return p;
    // Work along the bar as if it were vertical, then map back.
    int len = vert ? p.bar.Height() : p.bar.Width();
    int thick = vert ? p.bar.Width() : p.bar.Height();
    int arrow = std::min(thick, len / 2);
    auto span = [&](int a, int b) {
        return vert ? Rect(p.bar.Left, p.bar.Top + a, p.bar.Right, p.bar.Top + b)
                    : Rect(p.bar.Left + a, p.bar.Top, p.bar.Left + b, p.bar.Bottom);
    };
    p.arrow1 = span(0, arrow);
    p.arrow2 = span(len - arrow, len);
    p.track = span(arrow, len - arrow);
    const WindowRecord::ScrollBar& sb = r->scroll[vert ? 1 : 0];
    int range = sb.max - sb.min + 1;
    int maxPos = sb.max - std::max(static_cast<int>(sb.page) - 1, 0);
    int trackLen = len - 2 * arrow;
    p.enabled = maxPos > sb.min && trackLen > 0;
    if (!p.enabled || trackLen < 8) return p;
    int thumb = sb.page ? std::max(8, static_cast<int>(static_cast<int64_t>(trackLen) * sb.page / range)) : thick;
    thumb = std::min(thumb, trackLen);
    int pos = sb.tracking ? sb.track : sb.pos;
    int at = static_cast<int>(static_cast<int64_t>(trackLen - thumb) * (pos - sb.min) / (maxPos - sb.min));
    p.thumb = span(arrow + at, arrow + at + thumb);
    return p;
}

namespace {

void DrawBar(HDC dc, HWND wnd, int bar) {
    BarParts p = ComputeBar(wnd, bar);
    if (IsRectEmpty(p.bar)) return;
    const bool vert = bar == SB_VERT;
    TRect a1 = p.arrow1, a2 = p.arrow2;
    unsigned inactive = p.enabled ? 0 : DFCS_INACTIVE;
    DrawFrameControl(dc, a1, DFC_SCROLL, (vert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive);
    DrawFrameControl(dc, a2, DFC_SCROLL, (vert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive);
    FillRect(dc, p.track, GetSysColorBrush(COLOR_3DLIGHT));
    if (!IsRectEmpty(p.thumb)) {
        TRect t = p.thumb;
        FillRect(dc, t, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, t, EDGE_RAISED, BF_RECT);
    }
}

void DrawCaption(HDC dc, HWND wnd, const FrameParts& f) {
    bool active = GetActiveWindow() == wnd;
    FillRect(dc, f.captionRect, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    // The line under the caption bar.
    TRect line = Rect(f.captionRect.Left, f.captionRect.Bottom, f.captionRect.Right, f.captionRect.Bottom + 1);
    FillRect(dc, line, GetSysColorBrush(COLOR_BTNFACE));
    LOGFONT lf;
    lf.lfWeight = FW_BOLD;
    HFONT font = CreateFontIndirect(lf);
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    TRect text = f.captionRect;
    text.Left += 4;
    if (!IsRectEmpty(f.closeRect)) text.Right = f.closeRect.Left - 2;
    DrawText(dc, GetWindowText(wnd), text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
    if (!IsRectEmpty(f.closeRect)) {
        TRect b = f.closeRect;
        DrawFrameControl(dc, b, DFC_BUTTON, DFCS_BUTTONPUSH);
        // The cross: two 2-pixel diagonals.
        HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        int cx = (f.closeRect.Left + f.closeRect.Right) / 2 - 1;
        int cy = (f.closeRect.Top + f.closeRect.Bottom) / 2 - 1;
        for (int d = 0; d < 2; ++d) {
            MoveToEx(dc, cx - 3 + d, cy - 3, nullptr);
            LineTo(dc, cx + 4 + d, cy + 4);
            MoveToEx(dc, cx + 3 + d, cy - 3, nullptr);
            LineTo(dc, cx - 4 + d, cy + 4);
        }
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
}

}  // namespace

void PaintDefaultFrame(HWND wnd) {
    WindowRecord* r = Rec(wnd);
    if (!r || !IsShown(wnd)) return;
    FrameParts f = ComputeFrame(wnd);
    if (f.border == 0 && f.caption == 0 && f.edge == 0 && !f.vscroll && !f.hscroll) return;
    HDC dc = GetWindowDC(wnd);
    TRect client = r->client;
    ExcludeClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
    TRect whole = Bounds(0, 0, r->rect.Width(), r->rect.Height());
    if ((r->style & (WS_THICKFRAME | WS_DLGFRAME)) && f.border > 1) {
        TRect e = whole;
        DrawEdge(dc, e, EDGE_RAISED, BF_RECT | BF_ADJUST);
        HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
        for (int i = 2; i < f.border; ++i) {
            FrameRect(dc, e, face);
            InflateRect(e, -1, -1);
        }
    } else if (f.border == 1) {
        FrameRect(dc, whole, GetSysColorBrush(COLOR_WINDOWFRAME));
    }
    if (f.caption > 0) DrawCaption(dc, wnd, f);
    if (f.edge > 0) {
        TRect e = Rect(f.border, f.border + f.caption, whole.Right - f.border, whole.Bottom - f.border);
        DrawEdge(dc, e, f.edge == 2 ? EDGE_SUNKEN : BDR_SUNKENOUTER, BF_RECT);
    }
    if (f.vscroll) DrawBar(dc, wnd, SB_VERT);
    if (f.hscroll) DrawBar(dc, wnd, SB_HORZ);
    if (f.vscroll && f.hscroll)
        FillRect(dc, Rect(f.vbar.Left, f.hbar.Top, f.vbar.Right, f.hbar.Bottom), GetSysColorBrush(COLOR_BTNFACE));
    ReleaseDC(wnd, dc);
}

void ScrollBarClick(HWND wnd, int bar, TPoint p) {
    BarParts parts = ComputeBar(wnd, bar);
    if (!parts.enabled) return;
    UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    int code = -1;
    if (PtInRect(parts.arrow1, p))
        code = SB_LINEUP;
    else if (PtInRect(parts.arrow2, p))
        code = SB_LINEDOWN;
    else if (PtInRect(parts.thumb, p)) {
        WindowRecord* r = Rec(wnd);
        TreeState& t = Tree();
        t.track_wnd = wnd;
        t.track_bar = bar;
        t.track_grab = bar == SB_VERT ? p.Y - parts.thumb.Top : p.X - parts.thumb.Left;
        r->scroll[bar == SB_VERT ? 1 : 0].tracking = true;
        r->scroll[bar == SB_VERT ? 1 : 0].track = r->scroll[bar == SB_VERT ? 1 : 0].pos;
        return;
    } else if (PtInRect(parts.track, p)) {
        bool before = bar == SB_VERT ? p.Y < parts.thumb.Top : p.X < parts.thumb.Left;
        code = before ? SB_PAGEUP : SB_PAGEDOWN;
    }
    if (code < 0) return;
    SendMessage(wnd, msg, MAKEWPARAM(code, 0), 0);
    if (IsWindow(wnd)) SendMessage(wnd, msg, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
}

void ScrollBarTrack(TPoint screen, bool release) {
    TreeState& t = Tree();
    HWND wnd = t.track_wnd;
    WindowRecord* r = Rec(wnd);
    if (!r) {
        t.track_wnd = nullptr;
        return;
    }
    const bool vert = t.track_bar == SB_VERT;
    WindowRecord::ScrollBar& sb = r->scroll[vert ? 1 : 0];
    BarParts parts = ComputeBar(wnd, t.track_bar);
    TRect wr;
    GetWindowRect(wnd, &wr);
    int along = vert ? screen.Y - wr.Top - parts.track.Top : screen.X - wr.Left - parts.track.Left;
    int trackLen = vert ? parts.track.Height() : parts.track.Width();
    int thumbLen = vert ? parts.thumb.Height() : parts.thumb.Width();
    int maxPos = sb.max - std::max(static_cast<int>(sb.page) - 1, 0);
    int pos = sb.min;
    if (trackLen > thumbLen)
        pos = sb.min +
              static_cast<int>(static_cast<int64_t>(along - t.track_grab) * (maxPos - sb.min) / (trackLen - thumbLen));
    pos = std::clamp(pos, sb.min, std::max(sb.min, maxPos));
    UINT msg = vert ? WM_VSCROLL : WM_HSCROLL;
    sb.track = pos;
    InvalidateFrame(wnd);
    if (!release) {
        SendMessage(wnd, msg, MAKEWPARAM(SB_THUMBTRACK, pos), 0);
        return;
    }
    sb.tracking = false;
    t.track_wnd = nullptr;
    SendMessage(wnd, msg, MAKEWPARAM(SB_THUMBPOSITION, pos), 0);
    if (IsWindow(wnd)) SendMessage(wnd, msg, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
}

}  // namespace win_internal

bool AdjustWindowRectEx(TRect* rect, DWORD style, bool, DWORD exStyle) {
    if (!rect) return false;
    win_internal::FrameParts f;
    win_internal::FrameThickness(style, exStyle, f);
    rect->Left -= f.border + f.edge;
    rect->Top -= f.border + f.caption + f.edge;
    rect->Right += f.border + f.edge + ((style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    rect->Bottom += f.border + f.edge + ((style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0);
    return true;
}

namespace win_internal {

bool DefTreeProc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    WindowRecord* r = Rec(wnd);
    if (!r) return false;
    result = 0;
    switch (msg) {
        case WM_NCCALCSIZE: {
            auto* rc = reinterpret_cast<TRect*>(lparam);
            if (!rc) return true;
            FrameParts f = ComputeFrame(wnd);
            TRect c = Rect(rc->Left + f.border + f.edge, rc->Top + f.border + f.caption + f.edge,
                           rc->Right - f.border - f.edge, rc->Bottom - f.border - f.edge);
            if (f.vscroll) c.Right -= GetSystemMetrics(SM_CXVSCROLL);
            if (f.hscroll) c.Bottom -= GetSystemMetrics(SM_CYHSCROLL);
            c.Right = std::max(c.Right, c.Left);
            c.Bottom = std::max(c.Bottom, c.Top);
            *rc = c;
            return true;
        }
        case WM_NCPAINT: PaintDefaultFrame(wnd); return true;
        case WM_NCACTIVATE:
            InvalidateFrame(wnd);
            result = 1;
            return true;
        case WM_NCHITTEST: {
            TRect wr;
            GetWindowRect(wnd, &wr);
            TPoint p{GET_X_LPARAM(lparam) - wr.Left, GET_Y_LPARAM(lparam) - wr.Top};
            if (!PtInRect(Bounds(0, 0, wr.Width(), wr.Height()), p)) {
                result = HTNOWHERE;
                return true;
            }
            if (PtInRect(r->client, p)) {
                result = HTCLIENT;
                return true;
            }
            FrameParts f = ComputeFrame(wnd);
            if (PtInRect(f.vbar, p))
                result = HTVSCROLL;
            else if (PtInRect(f.hbar, p))
                result = HTHSCROLL;
            else if (PtInRect(f.closeRect, p))
                result = HTCLOSE;
            else if (f.caption > 0 && PtInRect(f.captionRect, p))
                result = HTCAPTION;
            else
                result = HTBORDER;
            return true;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(wnd, &ps);
            EndPaint(wnd, &ps);
            return true;
        }
        case WM_ERASEBKGND: return true;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK: {
            TRect wr;
            GetWindowRect(wnd, &wr);
            TPoint p{GET_X_LPARAM(lparam) - wr.Left, GET_Y_LPARAM(lparam) - wr.Top};
            if (wparam == static_cast<WPARAM>(HTVSCROLL))
                ScrollBarClick(wnd, SB_VERT, p);
            else if (wparam == static_cast<WPARAM>(HTHSCROLL))
                ScrollBarClick(wnd, SB_HORZ, p);
            else if (wparam == static_cast<WPARAM>(HTCLOSE))
                PostMessage(wnd, WM_SYSCOMMAND, kScClose, lparam);
            else if (wparam == static_cast<WPARAM>(HTCAPTION))
                BeginCaptionMove(wnd, TPoint{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
            return true;
        }
        case WM_SYSCOMMAND:
            if ((wparam & 0xFFF0) == kScClose) SendMessage(wnd, WM_CLOSE, 0, 0);
            return true;
        case WM_SETCURSOR:
            if (r->parent && SendMessage(r->parent, WM_SETCURSOR, wparam, lparam) != 0) {
                result = 1;
                return true;
            }
            if (LOWORD(static_cast<uintptr_t>(lparam)) == HTCLIENT) SetCursor(IDC_ARROW);
            return true;
        case WM_MOUSEWHEEL:
            if (r->parent) result = SendMessage(r->parent, msg, wparam, lparam);
            return true;
        case WM_MOUSEACTIVATE:
            result = r->parent ? SendMessage(r->parent, msg, wparam, lparam) : MA_ACTIVATE;
            if (result == 0) result = MA_ACTIVATE;
            return true;
        case WM_RBUTTONUP: {
            TPoint p{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
            ClientToScreen(wnd, &p);
            SendMessage(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(p.X, p.Y));
            return true;
        }
        case WM_CONTEXTMENU:
            if (r->parent) result = SendMessage(r->parent, msg, wparam, lparam);
            return true;
        case WM_CANCELMODE:
            if (GetCapture() == wnd) ReleaseCapture();
            if (Tree().track_wnd == wnd) {
                r->scroll[Tree().track_bar == SB_VERT ? 1 : 0].tracking = false;
                Tree().track_wnd = nullptr;
            }
            return true;
        default: return false;
    }
}

}  // namespace win_internal
