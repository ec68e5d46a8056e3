#include "platform/win/paint.h"

#include <algorithm>
#include <unordered_map>

#include "platform/gdi/draw.h"
#include "platform/win/message_queue.h"
#include "platform/win/window_system.h"
#include "platform/win/window_tree_internal.h"

using namespace win_internal;

namespace {

struct DcRecord {
    HWND root;
    TRect area;  // root coordinates
};
std::unordered_map<HDC, DcRecord>& OpenDCs() {
    static auto* map = new std::unordered_map<HDC, DcRecord>;
    return *map;
}

void Wake() { WindowSystem::Get().Notify(); }

TRect ClientBounds(WindowRecord* r) { return Bounds(0, 0, r->client.Width(), r->client.Height()); }

// A context on `wnd` whose clip is `visible` (root coordinates), origin at the client area
// (or the window's corner for a window context).
HDC MakeDC(HWND wnd, bool window, const Region& visible) {
    HWND root = RootOf(wnd);
    HBITMAP buffer = EnsureBackBuffer(root);
    TPoint origin = window ? WindowOriginInRoot(wnd) : ClientOriginInRoot(wnd);
    HDC dc = CreateSurfaceDC(buffer, origin, visible);
    OpenDCs()[dc] = DcRecord{root, visible.Box()};
    return dc;
}

void CloseDC(HDC dc) {
    auto it = OpenDCs().find(dc);
    if (it == OpenDCs().end()) return;
    DcRecord rec = it->second;
    OpenDCs().erase(it);
    DeleteDC(dc);
    PresentRoot(rec.root, rec.area);
}

void AddUpdate(WindowRecord* r, const Region& region, bool erase) {
    Region clipped = region.Intersect(ClientBounds(r));
    if (clipped.Empty()) return;
    r->update = Region::Combine(r->update, clipped, RegionOp::Or);
    if (erase) r->erase = true;
    Wake();
}

// Pre-order walk for the first shown window that needs painting.
WindowRecord* FindDirty(WindowRecord* r) {
    if (!(r->style & WS_VISIBLE)) return nullptr;
    if (!r->update.Empty() || r->frame_dirty) return r;
    for (WindowRecord* c : r->children)
        if (WindowRecord* d = FindDirty(c)) return d;
    return nullptr;
}

}  // namespace

namespace win_internal {

bool PaintPending() {
    for (HWND w : Tree().top_levels)
        if (Rec(w) && FindDirty(w)) return true;
    return false;
}

bool PaintOne() {
    std::vector<HWND> order = Tree().top_levels;
    for (HWND w : order) {
        if (!Rec(w)) continue;
        WindowRecord* d = FindDirty(w);
        if (!d) continue;
        if (d->update.Empty()) {
            d->frame_dirty = false;
            SendMessage(d, WM_NCPAINT, 1, 0);
            return true;
        }
        Region before = d->update;
        SendMessage(d, WM_PAINT, 0, 0);
        // A procedure that does not validate would be asked again for ever.
        if (Rec(d) && d->update == before) {
            d->update = Region();
            d->erase = false;
        }
        if (Rec(d)) d->frame_dirty = false;
        return true;
    }
    return false;
}

}  // namespace win_internal

bool InvalidateRect(HWND wnd, const TRect* rect, bool erase) {
    WindowRecord* r = Rec(wnd);
    if (!r) return false;
    AddUpdate(r, Region(rect ? *rect : ClientBounds(r)), erase);
    return true;
}

bool InvalidateRgn(HWND wnd, HRGN rgn, bool erase) {
    WindowRecord* r = Rec(wnd);
    if (!r) return false;
    AddUpdate(r, rgn ? rgn->region : Region(ClientBounds(r)), erase);
    return true;
}

bool ValidateRect(HWND wnd, const TRect* rect) {
    WindowRecord* r = Rec(wnd);
    if (!r) return false;
    if (!rect) {
        r->update = Region();
        r->erase = false;
    } else {
        r->update = Region::Combine(r->update, Region(*rect), RegionOp::Diff);
    }
    return true;
}

bool ValidateRgn(HWND wnd, HRGN rgn) {
    WindowRecord* r = Rec(wnd);
    if (!r) return false;
    if (!rgn) return ValidateRect(wnd, nullptr);
    r->update = Region::Combine(r->update, rgn->region, RegionOp::Diff);
    return true;
}

bool GetUpdateRect(HWND wnd, TRect* rect, bool) {
    WindowRecord* r = Rec(wnd);
    if (!r) return false;
    if (rect) *rect = r->update.Empty() ? TRect{} : r->update.Box();
    return !r->update.Empty();
}

int GetUpdateRgn(HWND wnd, HRGN rgn, bool) {
    WindowRecord* r = Rec(wnd);
    if (!r || !rgn) return ERROR;
    rgn->region = r->update;
    return RegionType(r->update);
}

bool UpdateWindow(HWND wnd) {
    WindowRecord* r = Rec(wnd);
    if (!r) return false;
    if (!IsShown(wnd)) return true;
    if (r->frame_dirty && r->update.Empty()) {
        r->frame_dirty = false;
        SendMessage(wnd, WM_NCPAINT, 1, 0);
        return true;
    }
    if (r->update.Empty()) return true;
    Region before = r->update;
    SendMessage(wnd, WM_PAINT, 0, 0);
    if (Rec(wnd) && r->update == before) r->update = Region();
    return true;
}

bool RedrawWindow(HWND wnd, const TRect* rect, HRGN rgn, unsigned flags) {
    WindowRecord* r = Rec(wnd);
    if (!r) return false;
    if (flags & RDW_INVALIDATE) {
        if (flags & RDW_ALLCHILDREN) {
            TRect area = rect ? *rect : (rgn ? rgn->region.Box() : ClientBounds(r));
            TPoint o = ClientOriginInRoot(wnd);
            OffsetRect(area, o.X, o.Y);
            InvalidateRootArea(RootOf(wnd), area);
        } else if (rgn) {
            InvalidateRgn(wnd, rgn, flags & RDW_ERASE);
        } else {
            InvalidateRect(wnd, rect, flags & RDW_ERASE);
        }
    }
    if (flags & RDW_VALIDATE) ValidateRect(wnd, rect);
    if (flags & RDW_FRAME) InvalidateFrame(wnd);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
        UpdateWindow(wnd);
        if (flags & RDW_ALLCHILDREN) EnumChildWindows(wnd, [](HWND c) { return UpdateWindow(c), true; });
    }
    return true;
}

void InvalidateFrame(HWND wnd) {
    WindowRecord* r = Rec(wnd);
    if (!r) return;
    r->frame_dirty = true;
    Wake();
}

HDC BeginPaint(HWND wnd, PAINTSTRUCT* ps) {
    WindowRecord* r = Rec(wnd);
    if (!r || !ps) return nullptr;
    if (r->frame_dirty) {
        r->frame_dirty = false;
        SendMessage(wnd, WM_NCPAINT, 1, 0);
        if (!(r = Rec(wnd))) return nullptr;
    }
    Region update = r->update.Intersect(ClientBounds(r));
    bool erase = r->erase;
    r->update = Region();
    r->erase = false;
    Region visible = VisibleRegion(wnd, true, true);
    TPoint o = ClientOriginInRoot(wnd);
    Region inRoot = update;
    inRoot.Offset(o.X, o.Y);
    Region clip = Region::Combine(visible, inRoot, RegionOp::And);
    HDC dc = MakeDC(wnd, false, clip);
    ps->hdc = dc;
    ps->rcPaint = update.Empty() ? TRect{} : update.Box();
    ps->fErase = false;
    if (erase) ps->fErase = SendMessage(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
    return dc;
}

bool EndPaint(HWND, const PAINTSTRUCT* ps) {
    if (!ps || !ps->hdc) return false;
    CloseDC(ps->hdc);
    return true;
}

HDC GetDC(HWND wnd) {
    if (!Rec(wnd)) return nullptr;
    return MakeDC(wnd, false, VisibleRegion(wnd, true, true));
}

HDC GetWindowDC(HWND wnd) {
    if (!Rec(wnd)) return nullptr;
    return MakeDC(wnd, true, VisibleRegion(wnd, false, true));
}

int ReleaseDC(HWND, HDC dc) {
    if (!dc) return 0;
    CloseDC(dc);
    return 1;
}

int ScrollWindowEx(HWND wnd, int dx, int dy, const TRect* scroll, const TRect* clip, HRGN updateRgn, TRect* updateRect,
                   unsigned flags) {
    WindowRecord* r = Rec(wnd);
    if (!r) return ERROR;
    TRect area = scroll ? *scroll : ClientBounds(r);
    if (clip) IntersectRect(area, area, *clip);
    IntersectRect(area, area, ClientBounds(r));
    Region uncovered(area);
    if (IsShown(wnd) && !IsRectEmpty(area) && (dx != 0 || dy != 0)) {
        HWND root = RootOf(wnd);
        HBITMAP buffer = EnsureBackBuffer(root);
        TPoint o = ClientOriginInRoot(wnd);
        Region visible = VisibleRegion(wnd, true, (flags & SW_SCROLLCHILDREN) == 0);
        visible.Offset(-o.X, -o.Y);
        Region source = visible.Intersect(area);
        Region moved = source;
        moved.Offset(dx, dy);
        Region valid = Region::Combine(moved, source, RegionOp::And);
        std::vector<TRect> rects = valid.Rects();
        // Snapshot the source rows first: simpler and safe for any overlap.
        TRect box = source.Empty() ? TRect{} : source.Box();
        int bw = box.Width();
        std::vector<uint32_t> snap(static_cast<size_t>(std::max(0, bw * box.Height())));
        for (int y = box.Top; y < box.Bottom; ++y) {
            int sy = y + o.Y;
            if (sy < 0 || sy >= buffer->height) continue;
            for (int x = box.Left; x < box.Right; ++x) {
                int sx = x + o.X;
                if (sx < 0 || sx >= buffer->width) continue;
                snap[static_cast<size_t>((y - box.Top) * bw + (x - box.Left))] = buffer->Row(sy)[sx];
            }
        }
        for (const TRect& d : rects) {
            for (int y = d.Top; y < d.Bottom; ++y) {
                int ty = y + o.Y;
                if (ty < 0 || ty >= buffer->height) continue;
                for (int x = d.Left; x < d.Right; ++x) {
                    int tx = x + o.X;
                    if (tx < 0 || tx >= buffer->width) continue;
                    buffer->Row(ty)[tx] = snap[static_cast<size_t>((y - dy - box.Top) * bw + (x - dx - box.Left))];
                }
            }
        }
        uncovered = Region::Combine(Region(area), valid, RegionOp::Diff);
        // Pending invalid parts inside the scrolled area move along.
        Region inside = r->update.Intersect(area);
        if (!inside.Empty()) {
            Region rest = Region::Combine(r->update, Region(area), RegionOp::Diff);
            inside.Offset(dx, dy);
            r->update = Region::Combine(rest, inside.Intersect(area), RegionOp::Or);
        }
        TRect rootArea = area;
        OffsetRect(rootArea, o.X, o.Y);
        PresentRoot(root, rootArea);
    }
    if (flags & SW_SCROLLCHILDREN) {
        std::vector<WindowRecord*> kids = r->children;
        for (WindowRecord* c : kids) {
            if (!Rec(c)) continue;
            TRect cr = c->rect;
            if (scroll && !IntersectRect(cr, cr, *scroll)) continue;
            SetWindowPos(c, nullptr, c->rect.Left + dx, c->rect.Top + dy, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        }
    }
    if (updateRgn) updateRgn->region = uncovered;
    if (updateRect) *updateRect = uncovered.Empty() ? TRect{} : uncovered.Box();
    if (flags & SW_INVALIDATE) AddUpdate(r, uncovered, (flags & SW_ERASE) != 0);
    return RegionType(uncovered);
}

bool ScrollWindow(HWND wnd, int dx, int dy, const TRect* scroll, const TRect* clip) {
    return ScrollWindowEx(wnd, dx, dy, scroll, clip, nullptr, nullptr, SW_INVALIDATE | SW_ERASE) != ERROR;
}

HBITMAP GetWindowBackBuffer(HWND topLevel) {
    WindowRecord* r = Rec(topLevel);
    return r ? r->back_buffer : nullptr;
}

void UpdateAllWindows() {
    for (int guard = 0; guard < 100000 && PaintOne(); ++guard) {
    }
}
