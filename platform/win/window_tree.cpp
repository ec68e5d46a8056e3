#include "platform/win/window_tree.h"

#include <algorithm>

#include "platform/gdi/gdi_objects.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"
#include "platform/win/window_system.h"
#include "platform/win/window_tree_internal.h"

using win_internal::Rec;
using win_internal::Tree;

namespace win_internal {

TreeState& Tree() {
    static TreeState* state = new TreeState;
    return *state;
}

WindowRecord* Rec(HWND wnd) {
    if (wnd == nullptr || !Tree().live.count(wnd) || wnd->destroyed) return nullptr;
    return wnd;
}

HWND RootOf(HWND wnd) {
    WindowRecord* r = Rec(wnd);
    if (!r) return nullptr;
    while (r->parent) r = r->parent;
    return r;
}

bool IsTopLevel(HWND wnd) {
    WindowRecord* r = Rec(wnd);
    return r && !r->parent;
}

bool IsShown(HWND wnd) {
    for (WindowRecord* r = Rec(wnd); r; r = r->parent)
        if (!(r->style & WS_VISIBLE)) return false;
    return Rec(wnd) != nullptr;
}

TPoint WindowOriginInRoot(HWND wnd) {
    TPoint p;
    for (WindowRecord* r = Rec(wnd); r && r->parent; r = r->parent) {
        p.X += r->rect.Left + r->parent->client.Left;
        p.Y += r->rect.Top + r->parent->client.Top;
    }
    return p;
}

TPoint ClientOriginInRoot(HWND wnd) {
    TPoint p = WindowOriginInRoot(wnd);
    WindowRecord* r = Rec(wnd);
    if (r) {
        p.X += r->client.Left;
        p.Y += r->client.Top;
    }
    return p;
}

namespace {

Region WindowShape(WindowRecord* r, TPoint origin) {
    Region shape(Bounds(origin.X, origin.Y, r->rect.Width(), r->rect.Height()));
    if (r->window_rgn) {
        Region rgn = *r->window_rgn;
        rgn.Offset(origin.X, origin.Y);
        shape = Region::Combine(shape, rgn, RegionOp::And);
    }
    return shape;
}

// Cuts the visible siblings above `r` out of `region`.
void CutSiblingsAbove(Region& region, WindowRecord* r) {
    if (!r->parent) return;
    for (WindowRecord* sib : r->parent->children) {
        if (sib == r) break;
        if (!(sib->style & WS_VISIBLE)) continue;
        region = Region::Combine(region, WindowShape(sib, WindowOriginInRoot(sib)), RegionOp::Diff);
    }
}

}  // namespace

Region VisibleRegion(HWND wnd, bool clientOnly, bool excludeChildren) {
    WindowRecord* r = Rec(wnd);
    if (!r) return Region();
    TPoint origin = WindowOriginInRoot(wnd);
    Region region = WindowShape(r, origin);
    if (clientOnly) {
        TRect c = r->client;
        OffsetRect(c, origin.X, origin.Y);
        region = region.Intersect(c);
    }
    CutSiblingsAbove(region, r);
    for (WindowRecord* a = r->parent; a; a = a->parent) {
        TPoint ao = WindowOriginInRoot(a);
        TRect c = a->client;
        OffsetRect(c, ao.X, ao.Y);
        region = Region::Combine(region, WindowShape(a, ao), RegionOp::And).Intersect(c);
        CutSiblingsAbove(region, a);
    }
    if (excludeChildren) {
        for (WindowRecord* child : r->children) {
            if (!(child->style & WS_VISIBLE)) continue;
            region = Region::Combine(region, WindowShape(child, WindowOriginInRoot(child)), RegionOp::Diff);
        }
    }
    return region;
}

namespace {

void InvalidateTree(WindowRecord* r, const TRect& area) {
    if (!(r->style & WS_VISIBLE)) return;
    TPoint origin = WindowOriginInRoot(r);
    TRect whole = Bounds(origin.X, origin.Y, r->rect.Width(), r->rect.Height());
    TRect hit;
    if (!IntersectRect(hit, whole, area)) return;
    TRect client = r->client;
    OffsetRect(client, origin.X, origin.Y);
    TRect clientHit;
    if (IntersectRect(clientHit, client, area)) {
        OffsetRect(clientHit, -client.Left, -client.Top);
        r->update = Region::Combine(r->update, Region(clientHit), RegionOp::Or);
        r->erase = true;
    }
    if (!(hit.Left >= client.Left && hit.Top >= client.Top && hit.Right <= client.Right && hit.Bottom <= client.Bottom))
        r->frame_dirty = true;
    for (WindowRecord* child : r->children) InvalidateTree(child, area);
}

}  // namespace

void InvalidateRootArea(HWND root, const TRect& area) {
    WindowRecord* r = Rec(root);
    if (!r || IsRectEmpty(area)) return;
    InvalidateTree(r, area);
    WindowSystem::Get().Notify();
}

HBITMAP EnsureBackBuffer(HWND root) {
    WindowRecord* r = Rec(root);
    if (!r) return nullptr;
    int w = std::max(1, r->rect.Width());
    int h = std::max(1, r->rect.Height());
    if (r->back_buffer && r->back_buffer->width == w && r->back_buffer->height == h) return r->back_buffer;
    HBITMAP old = r->back_buffer;
    r->back_buffer = CreateBitmap(w, h, 1, 32, nullptr);
    if (old) {
        // Keep what can be kept so a resize does not flash; the new parts get painted.
        for (int y = 0; y < std::min(h, old->height); ++y)
            std::copy_n(old->Row(y), std::min(w, old->width), r->back_buffer->Row(y));
        DeleteObject(old);
    }
    return r->back_buffer;
}

void PresentRoot(HWND root, const TRect& area) {
    WindowRecord* r = Rec(root);
    if (!r || !r->back_buffer || !Tree().sink || !(r->style & WS_VISIBLE)) return;
    TRect clipped;
    if (!IntersectRect(clipped, area, Rect(0, 0, r->back_buffer->width, r->back_buffer->height))) return;
    Tree().sink->Present(root, r->back_buffer, clipped);
}

void RecalcFrame(HWND wnd, bool sendSize) {
    WindowRecord* r = Rec(wnd);
    if (!r) return;
    TRect oldClient = r->client;
    TRect calc = Bounds(0, 0, r->rect.Width(), r->rect.Height());
    SendMessage(wnd, WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&calc));
    if (!(r = Rec(wnd))) return;
    if (calc.Right < calc.Left) calc.Right = calc.Left;
    if (calc.Bottom < calc.Top) calc.Bottom = calc.Top;
    r->client = calc;
    r->frame_dirty = true;
    if (!(oldClient == calc)) {
        // The client area moved or changed size: what it showed is stale.
        r->update = Region(Bounds(0, 0, calc.Width(), calc.Height()));
        r->erase = true;
        if (IsShown(wnd)) {
            TPoint o = WindowOriginInRoot(wnd);
            InvalidateRootArea(RootOf(wnd), Bounds(o.X, o.Y, r->rect.Width(), r->rect.Height()));
        }
    }
    if (sendSize && (oldClient.Width() != calc.Width() || oldClient.Height() != calc.Height()))
        SendMessage(wnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(calc.Width(), calc.Height()));
}

void ActivateNext(HWND gone) {
    TreeState& t = Tree();
    if (t.active != gone && t.active != nullptr) return;
    WindowRecord* g = Rec(gone);
    HWND candidate = nullptr;
    auto usable = [&](HWND w) {
        WindowRecord* r = Rec(w);
        return r && w != gone && (r->style & WS_VISIBLE) && !(r->style & WS_DISABLED) &&
               !(r->ex_style & WS_EX_NOACTIVATE) && !(r->style & WS_CHILD);
    };
    if (g && g->owner && usable(g->owner)) candidate = g->owner;
    if (!candidate)
        for (HWND w : t.top_levels)
            if (usable(w)) {
                candidate = w;
                break;
            }
    if (candidate) {
        SetActiveWindow(candidate);
    } else if (t.active == gone) {
        SetActiveWindow(nullptr);
    }
}

void OnDestroyed(HWND wnd) {
    TreeState& t = Tree();
    WindowRecord* r = wnd;
    if (!r->in_tree) return;
    // Children go first (their WM_DESTROY follows the parent's).
    std::vector<WindowRecord*> kids = r->children;
    for (WindowRecord* child : kids) DestroyWindow(child);
    if (t.capture == wnd) ReleaseCapture();
    if (t.focus == wnd || (t.focus && IsChild(wnd, t.focus))) t.focus = nullptr;
    if (t.hover == wnd) t.hover = nullptr;
    if (t.track_wnd == wnd) t.track_wnd = nullptr;
    if (t.last_click_wnd == wnd) t.last_click_wnd = nullptr;
    bool wasShown = IsShown(wnd);
    HWND root = RootOf(wnd);
    TPoint o = WindowOriginInRoot(wnd);
    TRect area = Bounds(o.X, o.Y, r->rect.Width(), r->rect.Height());
    if (r->parent) {
        auto& sib = r->parent->children;
        sib.erase(std::remove(sib.begin(), sib.end(), r), sib.end());
        r->parent = nullptr;
        if (wasShown) InvalidateRootArea(root, area);
    } else {
        t.top_levels.erase(std::remove(t.top_levels.begin(), t.top_levels.end(), wnd), t.top_levels.end());
        for (HWND w : t.top_levels)
            if (w->owner == r) w->owner = nullptr;
        if (t.sink) t.sink->TopLevelDestroyed(wnd);
        if (t.active == wnd) {
            t.active = nullptr;
            ActivateNext(wnd);
        }
    }
    r->in_tree = false;
    t.live.erase(wnd);
    if (r->back_buffer) {
        DeleteObject(r->back_buffer);
        r->back_buffer = nullptr;
    }
}

}  // namespace win_internal

using namespace win_internal;

HWND CreateWindowEx(DWORD exStyle, DWORD style, int x, int y, int width, int height, HWND parent, WNDPROC proc,
                    const std::string& text) {
    WindowSystem& sys = WindowSystem::Get();
    sys.ClaimWindowThread();
    auto record = std::make_shared<WindowRecord>();
    record->proc = std::make_shared<const WNDPROC>(std::move(proc));
    HWND wnd = record.get();
    record->in_tree = true;
    record->style = style & ~WS_VISIBLE;
    record->ex_style = exStyle;
    record->rect = Bounds(x, y, std::max(0, width), std::max(0, height));
    record->client = Bounds(0, 0, record->rect.Width(), record->rect.Height());
    record->text = text;
    WindowRecord* p = Rec(parent);
    if ((style & WS_CHILD) && p) {
        record->parent = p;
    } else {
        record->style &= ~WS_CHILD;
        record->owner = p ? RootOf(p) : nullptr;
    }
    {
        std::lock_guard<std::mutex> guard(sys.lock);
        record->serial = sys.next_serial++;
        sys.windows.emplace(wnd, record);
    }
    Tree().live.insert(wnd);
    if (record->parent) {
        record->parent->children.insert(record->parent->children.begin(), wnd);
    } else {
        auto& tl = Tree().top_levels;
        auto it = tl.begin();
        if (!(exStyle & WS_EX_TOPMOST))
            while (it != tl.end() && ((*it)->ex_style & WS_EX_TOPMOST)) ++it;
        tl.insert(it, wnd);
    }
    RecalcFrame(wnd, false);
    WindowSystem::CallProc(record, wnd, WM_CREATE, 0, 0);
    // A child window learns its first size and place at once (a top-level one when shown):
    // controls that cache pictures of their size build them here.
    if (WindowRecord* r = Rec(wnd); r && r->parent) {
        SendMessage(wnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(r->client.Width(), r->client.Height()));
        if ((r = Rec(wnd))) {
            const TPoint origin{r->rect.Left + r->client.Left, r->rect.Top + r->client.Top};
            SendMessage(wnd, WM_MOVE, 0, MAKELPARAM(origin.X, origin.Y));
        }
    }
    if (Rec(wnd) && (style & WS_VISIBLE)) ShowWindow(wnd, SW_SHOW);
    return wnd;
}

HWND SetWindowOwner(HWND wnd, HWND owner) {
    WindowRecord* r = Rec(wnd);
    if (!r || r->parent) return nullptr;
    WindowRecord* previous = r->owner;
    WindowRecord* o = owner ? RootOf(owner) : nullptr;
    for (WindowRecord* a = o; a; a = a->owner)
        if (a == r) return previous;
    r->owner = o;
    return previous;
}

HWND GetParent(HWND wnd) {
    WindowRecord* r = Rec(wnd);
    if (!r) return nullptr;
    return r->parent ? r->parent : r->owner;
}

HWND SetParent(HWND wnd, HWND newParent) {
    WindowRecord* r = Rec(wnd);
    if (!r) return nullptr;
    WindowRecord* np = Rec(newParent);
    if (np && (np == r || IsChild(wnd, np))) return nullptr;
    HWND old = r->parent;
    bool shown = IsShown(wnd);
    TPoint o = WindowOriginInRoot(wnd);
    TRect area = Bounds(o.X, o.Y, r->rect.Width(), r->rect.Height());
    HWND oldRoot = RootOf(wnd);
    if (r->parent) {
        auto& sib = r->parent->children;
        sib.erase(std::remove(sib.begin(), sib.end(), r), sib.end());
    } else {
        auto& tl = Tree().top_levels;
        tl.erase(std::remove(tl.begin(), tl.end(), wnd), tl.end());
        if (Tree().sink && (r->style & WS_VISIBLE)) Tree().sink->TopLevelHidden(wnd);
        if (r->back_buffer) {
            DeleteObject(r->back_buffer);
            r->back_buffer = nullptr;
        }
        if (Tree().active == wnd) Tree().active = nullptr;
    }
    if (shown) InvalidateRootArea(oldRoot, area);
    if (np) {
        r->parent = np;
        r->style |= WS_CHILD;
        np->children.insert(np->children.begin(), wnd);
    } else {
        r->parent = nullptr;
        r->style &= ~WS_CHILD;
        Tree().top_levels.insert(Tree().top_levels.begin(), wnd);
    }
    if (IsShown(wnd)) {
        o = WindowOriginInRoot(wnd);
        InvalidateRootArea(RootOf(wnd), Bounds(o.X, o.Y, r->rect.Width(), r->rect.Height()));
    }
    return old;
}

bool IsChild(HWND parent, HWND wnd) {
    WindowRecord* r = Rec(wnd);
    if (!r || !Rec(parent)) return false;
    for (WindowRecord* a = r->parent; a; a = a->parent)
        if (a == parent) return true;
    return false;
}

HWND GetAncestor(HWND wnd, unsigned flags) {
    WindowRecord* r = Rec(wnd);
    if (!r) return nullptr;
    if (flags == GA_PARENT) return r->parent;
    return RootOf(wnd);
}

HWND GetWindow(HWND wnd, unsigned cmd) {
    if (cmd == GW_CHILD) {
        if (wnd == nullptr) return Tree().top_levels.empty() ? nullptr : Tree().top_levels.front();
        WindowRecord* r = Rec(wnd);
        return r && !r->children.empty() ? r->children.front() : nullptr;
    }
    WindowRecord* r = Rec(wnd);
    if (!r) return nullptr;
    if (cmd == GW_OWNER) return r->owner;
    const std::vector<HWND>& list = r->parent ? r->parent->children : Tree().top_levels;
    auto it = std::find(list.begin(), list.end(), wnd);
    if (it == list.end()) return nullptr;
    switch (cmd) {
        case GW_HWNDFIRST: return list.front();
        case GW_HWNDLAST: return list.back();
        case GW_HWNDNEXT: return it + 1 == list.end() ? nullptr : *(it + 1);
        case GW_HWNDPREV: return it == list.begin() ? nullptr : *(it - 1);
        default: return nullptr;
    }
}

HWND GetTopWindow(HWND parent) { return GetWindow(parent, GW_CHILD); }

DWORD GetWindowLong(HWND wnd, int index) {
    WindowRecord* r = Rec(wnd);
    if (!r) return 0;
    return index == GWL_STYLE ? r->style : index == GWL_EXSTYLE ? r->ex_style : 0;
}

DWORD SetWindowLong(HWND wnd, int index, DWORD value) {
    WindowRecord* r = Rec(wnd);
    if (!r) return 0;
    DWORD old;
    if (index == GWL_STYLE) {
        old = r->style;
        // Visibility and enabled state change only through ShowWindow / EnableWindow.
        r->style = (value & ~(WS_VISIBLE | WS_DISABLED | WS_CHILD)) | (old & (WS_VISIBLE | WS_DISABLED | WS_CHILD));
    } else if (index == GWL_EXSTYLE) {
        old = r->ex_style;
        r->ex_style = value;
    } else {
        return 0;
    }
    return old;
}

std::string GetWindowText(HWND wnd) {
    if (!IsWindow(wnd)) return {};
    return wnd->text;
}

void SetWindowText(HWND wnd, const std::string& text) {
    if (!IsWindow(wnd)) return;
    if (wnd->text == text) return;
    wnd->text = text;
    if (wnd->in_tree && (wnd->style & WS_CAPTION) == WS_CAPTION) InvalidateFrame(wnd);
    if (wnd->in_tree && !wnd->parent && Tree().sink) Tree().sink->TopLevelTextChanged(wnd, text);
}

namespace {

void ReorderSibling(WindowRecord* r, HWND after) {
    std::vector<HWND>& list = r->parent ? r->parent->children : Tree().top_levels;
    list.erase(std::remove(list.begin(), list.end(), r), list.end());
    if (after == HWND_TOPMOST) r->ex_style |= WS_EX_TOPMOST;
    if (after == HWND_NOTOPMOST) r->ex_style &= ~WS_EX_TOPMOST;
    auto it = list.begin();
    if (after == HWND_BOTTOM) {
        it = list.end();
    } else if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
        it = list.begin();
    } else {
        auto found = std::find(list.begin(), list.end(), after);
        it = found == list.end() ? list.begin() : found + 1;
    }
    if (!r->parent) {
        // Topmost windows stay above the others.
        bool topmost = r->ex_style & WS_EX_TOPMOST;
        auto firstNormal = std::find_if(list.begin(), list.end(),
                                        [](HWND w) { return !(w->ex_style & WS_EX_TOPMOST); });
        if (topmost && it > firstNormal) it = firstNormal;
        if (!topmost && it < firstNormal) it = firstNormal;
    }
    list.insert(it, r);
}

TRect AreaInRoot(WindowRecord* r) {
    TPoint o = WindowOriginInRoot(r);
    return Bounds(o.X, o.Y, r->rect.Width(), r->rect.Height());
}

}  // namespace

bool SetWindowPos(HWND wnd, HWND insertAfter, int x, int y, int width, int height, unsigned flags) {
    WindowRecord* r = Rec(wnd);
    if (!r) return false;
    TreeState& t = Tree();
    TRect old = r->rect;
    TRect now = old;
    if (!(flags & SWP_NOMOVE)) {
        now.Right = x + old.Width();
        now.Bottom = y + old.Height();
        now.Left = x;
        now.Top = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        now.Right = now.Left + std::max(0, width);
        now.Bottom = now.Top + std::max(0, height);
    }
    bool moved = now.Left != old.Left || now.Top != old.Top;
    bool sized = now.Width() != old.Width() || now.Height() != old.Height();
    bool shown = IsShown(wnd);
    HWND root = RootOf(wnd);
    if (shown && r->parent && (moved || sized || !(flags & SWP_NOZORDER)) && !(flags & SWP_NOREDRAW))
        InvalidateRootArea(root, AreaInRoot(r));
    r->rect = now;
    if (!(flags & SWP_NOZORDER)) ReorderSibling(r, insertAfter);
    if (sized || (flags & SWP_FRAMECHANGED)) {
        TRect oldClient = r->client;
        RecalcFrame(wnd, false);
        if (!(r = Rec(wnd))) return false;
        if (!r->parent && r->back_buffer) EnsureBackBuffer(wnd);
        if (IsShown(wnd)) InvalidateRootArea(root, AreaInRoot(r));
        WINDOWPOS pos{wnd, now.Left, now.Top, now.Width(), now.Height(), flags};
        SendMessage(wnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
        if (!(r = Rec(wnd))) return false;
        if (moved) SendMessage(wnd, WM_MOVE, 0, MAKELPARAM(now.Left + r->client.Left, now.Top + r->client.Top));
        if (!(r = Rec(wnd))) return false;
        if (oldClient.Width() != r->client.Width() || oldClient.Height() != r->client.Height())
            SendMessage(wnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(r->client.Width(), r->client.Height()));
    } else if (moved || !(flags & SWP_NOZORDER)) {
        if (IsShown(wnd) && r->parent && !(flags & SWP_NOREDRAW)) InvalidateRootArea(root, AreaInRoot(r));
        WINDOWPOS pos{wnd, now.Left, now.Top, now.Width(), now.Height(), flags};
        SendMessage(wnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
        if (moved && Rec(wnd))
            SendMessage(wnd, WM_MOVE, 0, MAKELPARAM(now.Left + r->client.Left, now.Top + r->client.Top));
    }
    if (!(r = Rec(wnd))) return false;
    if (!r->parent && (moved || sized) && t.sink && (r->style & WS_VISIBLE)) t.sink->TopLevelMoved(wnd, r->rect);
    if (flags & SWP_SHOWWINDOW) ShowWindow(wnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(wnd, SW_HIDE);
    return true;
}

bool MoveWindow(HWND wnd, int x, int y, int width, int height, bool repaint) {
    return SetWindowPos(wnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

bool BringWindowToTop(HWND wnd) { return SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

bool ShowWindow(HWND wnd, int cmd) {
    WindowRecord* r = Rec(wnd);
    if (!r) return false;
    TreeState& t = Tree();
    bool was = (r->style & WS_VISIBLE) != 0;
    bool show = cmd != SW_HIDE;
    if (was == show) {
        if (show && !r->parent && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE && !(r->ex_style & WS_EX_NOACTIVATE) &&
            !(r->style & WS_DISABLED))
            SetActiveWindow(wnd);
        return was;
    }
    SendMessage(wnd, WM_SHOWWINDOW, show ? 1 : 0, 0);
    if (!(r = Rec(wnd))) return was;
    HWND root = RootOf(wnd);
    if (show) {
        r->style |= WS_VISIBLE;
        if (!r->parent) {
            EnsureBackBuffer(wnd);
            InvalidateRootArea(wnd, Bounds(0, 0, r->rect.Width(), r->rect.Height()));
            if (t.sink) t.sink->TopLevelShown(wnd, r->rect);
            if (cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE && !(r->ex_style & WS_EX_NOACTIVATE) &&
                !(r->style & WS_DISABLED))
                SetActiveWindow(wnd);
        } else if (IsShown(wnd)) {
            InvalidateRootArea(root, AreaInRoot(r));
        }
    } else {
        bool wasShown = IsShown(wnd);
        TRect area = AreaInRoot(r);
        if (t.capture && (t.capture == wnd || IsChild(wnd, t.capture))) ReleaseCapture();
        // A window that left the screen starts afresh: the next press on it, even a quick
        // one at the same spot (a box shown again under the pointer), is no double click.
        if (t.last_click_wnd && (t.last_click_wnd == wnd || IsChild(wnd, t.last_click_wnd))) t.last_click_wnd = nullptr;
        r->style &= ~WS_VISIBLE;
        if (t.focus && (t.focus == wnd || IsChild(wnd, t.focus))) {
            if (r->parent) {
                SetFocus(GetParent(wnd) ? RootOf(wnd) : nullptr);
            }
        }
        if (!r->parent) {
            if (t.sink) t.sink->TopLevelHidden(wnd);
            if (t.active == wnd) ActivateNext(wnd);
            if (t.focus && RootOf(t.focus) == wnd) SetFocus(nullptr);
        } else if (wasShown) {
            InvalidateRootArea(root, area);
        }
        // The pointer is no longer over a window that went away under it.
        if (t.hover && (t.hover == wnd || IsChild(wnd, t.hover))) {
            HWND left = t.hover;
            t.hover = nullptr;
            SendMessage(left, WM_MOUSELEAVE, 0, 0);
        }
    }
    return was;
}

bool IsWindowVisible(HWND wnd) { return IsShown(wnd); }

bool IsWindowEnabled(HWND wnd) {
    WindowRecord* r = Rec(wnd);
    return r && !(r->style & WS_DISABLED);
}

bool EnableWindow(HWND wnd, bool enable) {
    WindowRecord* r = Rec(wnd);
    if (!r) return false;
    bool wasDisabled = (r->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) return wasDisabled;
    TreeState& t = Tree();
    if (!enable) {
        SendMessage(wnd, WM_CANCELMODE, 0, 0);
        if (!(r = Rec(wnd))) return wasDisabled;
        r->style |= WS_DISABLED;
        if (t.focus && (t.focus == wnd || IsChild(wnd, t.focus))) SetFocus(nullptr);
        if (t.capture && (t.capture == wnd || IsChild(wnd, t.capture))) ReleaseCapture();
    } else {
        r->style &= ~WS_DISABLED;
    }
    SendMessage(wnd, WM_ENABLE, enable ? 1 : 0, 0);
    return wasDisabled;
}

bool GetWindowRect(HWND wnd, TRect* out) {
    WindowRecord* r = Rec(wnd);
    if (!r || !out) return false;
    HWND root = RootOf(wnd);
    TPoint o = WindowOriginInRoot(wnd);
    *out = Bounds(root->rect.Left + o.X, root->rect.Top + o.Y, r->rect.Width(), r->rect.Height());
    return true;
}

bool GetClientRect(HWND wnd, TRect* out) {
    WindowRecord* r = Rec(wnd);
    if (!out) return false;
    if (!r) {
        *out = {};
        return false;
    }
    *out = Bounds(0, 0, r->client.Width(), r->client.Height());
    return true;
}

TRect GetClientAreaInWindow(HWND wnd) {
    WindowRecord* r = Rec(wnd);
    return r ? r->client : TRect{};
}

bool ClientToScreen(HWND wnd, TPoint* p) {
    if (!Rec(wnd) || !p) return false;
    TPoint o = ClientOriginInRoot(wnd);
    HWND root = RootOf(wnd);
    p->X += o.X + root->rect.Left;
    p->Y += o.Y + root->rect.Top;
    return true;
}

bool ScreenToClient(HWND wnd, TPoint* p) {
    if (!Rec(wnd) || !p) return false;
    TPoint o = ClientOriginInRoot(wnd);
    HWND root = RootOf(wnd);
    p->X -= o.X + root->rect.Left;
    p->Y -= o.Y + root->rect.Top;
    return true;
}

int MapWindowPoints(HWND from, HWND to, TPoint* points, int count) {
    TPoint delta;
    if (from) ClientToScreen(from, &delta);
    TPoint back;
    if (to) ScreenToClient(to, &back);
    for (int i = 0; i < count; ++i) {
        points[i].X += delta.X + back.X;
        points[i].Y += delta.Y + back.Y;
    }
    return 0;
}

namespace {

bool InShape(WindowRecord* r, TPoint windowPt) {
    if (!PtInRect(Bounds(0, 0, r->rect.Width(), r->rect.Height()), windowPt)) return false;
    return !r->window_rgn || r->window_rgn->Contains(windowPt.X, windowPt.Y);
}

// `pt` in w's client coordinates; answers the deepest enabled window at it.
HWND DeepestAt(WindowRecord* w, TPoint pt, TPoint screen) {
    for (WindowRecord* c : w->children) {
        if (!(c->style & WS_VISIBLE)) continue;
        TPoint local{pt.X - c->rect.Left, pt.Y - c->rect.Top};
        if (!InShape(c, local)) continue;
        if (c->style & WS_DISABLED) return w;
        LRESULT hit = SendMessage(c, WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y));
        if (hit == HTTRANSPARENT) continue;
        if (!Rec(c)) return w;
        TPoint inClient{local.X - c->client.Left, local.Y - c->client.Top};
        if (PtInRect(c->client, local)) return DeepestAt(c, inClient, screen);
        return c;
    }
    return w;
}

}  // namespace

HWND WindowFromPoint(TPoint screen) {
    std::vector<HWND> order = Tree().top_levels;
    for (HWND w : order) {
        WindowRecord* r = Rec(w);
        if (!r || !(r->style & WS_VISIBLE)) continue;
        TPoint local{screen.X - r->rect.Left, screen.Y - r->rect.Top};
        if (!InShape(r, local)) continue;
        LRESULT hit = SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y));
        if (hit == HTTRANSPARENT) continue;
        if (!Rec(w)) continue;
        if (r->style & WS_DISABLED) return w;
        if (PtInRect(r->client, local))
            return DeepestAt(r, TPoint{local.X - r->client.Left, local.Y - r->client.Top}, screen);
        return w;
    }
    return nullptr;
}

HWND ChildWindowFromPoint(HWND parent, TPoint client) {
    WindowRecord* r = Rec(parent);
    if (!r) return nullptr;
    if (!PtInRect(Bounds(0, 0, r->client.Width(), r->client.Height()), client)) return nullptr;
    for (WindowRecord* c : r->children) {
        if (!(c->style & WS_VISIBLE)) continue;
        if (InShape(c, TPoint{client.X - c->rect.Left, client.Y - c->rect.Top})) return c;
    }
    return parent;
}

int SetWindowRgn(HWND wnd, HRGN rgn, bool redraw) {
    WindowRecord* r = Rec(wnd);
    if (!r) return 0;
    bool shown = IsShown(wnd);
    TRect area = AreaInRoot(r);
    if (rgn) {
        r->window_rgn = rgn->region;
        DeleteObject(rgn);
    } else {
        r->window_rgn.reset();
    }
    if (shown && redraw) InvalidateRootArea(RootOf(wnd), area);
    return 1;
}

int GetWindowRgn(HWND wnd, HRGN rgn) {
    WindowRecord* r = Rec(wnd);
    if (!r || !r->window_rgn || !rgn) return ERROR;
    rgn->region = *r->window_rgn;
    return RegionType(rgn->region);
}

void EnumChildWindows(HWND parent, const std::function<bool(HWND)>& fn) {
    WindowRecord* r = Rec(parent);
    if (!r) return;
    std::function<bool(WindowRecord*)> walk = [&](WindowRecord* w) {
        std::vector<WindowRecord*> kids = w->children;
        for (WindowRecord* c : kids) {
            if (!Rec(c)) continue;
            if (!fn(c)) return false;
            if (!walk(c)) return false;
        }
        return true;
    };
    walk(r);
}

void EnumWindows(const std::function<bool(HWND)>& fn) {
    std::vector<HWND> order = Tree().top_levels;
    for (HWND w : order)
        if (Rec(w) && !fn(w)) return;
}

TopLevelSink* SetTopLevelSink(TopLevelSink* sink) {
    TopLevelSink* old = Tree().sink;
    Tree().sink = sink;
    return old;
}

TopLevelSink* GetTopLevelSink() { return Tree().sink; }
