#include "platform/gdi/device_context.h"

DeviceContext::DeviceContext() {
    state_.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    state_.pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    state_.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    state_.bitmap = StockBitmap();
    RetainState(state_);
}

DeviceContext::DeviceContext(HBITMAP surface, TPoint origin, std::optional<Region> systemClip) : DeviceContext() {
    surface_ = surface;
    origin_ = origin;
    systemClip_ = std::move(systemClip);
}

DeviceContext::~DeviceContext() {
    for (const DcState& s : saved_) ReleaseState(s);
    ReleaseState(state_);
}

void DeviceContext::RetainState(const DcState& s) {
    GdiRetain(s.brush);
    GdiRetain(s.pen);
    GdiRetain(s.font);
    GdiRetain(s.bitmap);
}

void DeviceContext::ReleaseState(const DcState& s) {
    GdiRelease(s.brush);
    GdiRelease(s.pen);
    GdiRelease(s.font);
    GdiRelease(s.bitmap);
}

HGDIOBJ DeviceContext::Select(HGDIOBJ obj) {
    if (!obj) return nullptr;
    HGDIOBJ old = nullptr;
    switch (obj->kind) {
        case GdiKind::Brush:
            old = state_.brush;
            state_.brush = static_cast<HBRUSH>(obj);
            break;
        case GdiKind::Pen:
            old = state_.pen;
            state_.pen = static_cast<HPEN>(obj);
            break;
        case GdiKind::Font:
            old = state_.font;
            state_.font = static_cast<HFONT>(obj);
            break;
        case GdiKind::Bitmap:
            if (surface_) return nullptr;  // only memory contexts take bitmaps
            old = state_.bitmap;
            state_.bitmap = static_cast<HBITMAP>(obj);
            clipValid_ = false;
            break;
        case GdiKind::Region: return nullptr;
    }
    GdiRetain(obj);
    GdiRelease(old);
    return old;
}

int DeviceContext::Save() {
    saved_.push_back(state_);
    RetainState(state_);
    return static_cast<int>(saved_.size());
}

bool DeviceContext::Restore(int level) {
    int count = static_cast<int>(saved_.size());
    if (level < 0) level = count + 1 + level;
    if (level < 1 || level > count) return false;
    while (static_cast<int>(saved_.size()) > level) {
        ReleaseState(saved_.back());
        saved_.pop_back();
    }
    ReleaseState(state_);
    state_ = std::move(saved_.back());  // the saved references move over to the live state
    saved_.pop_back();
    clipValid_ = false;
    return true;
}

void DeviceContext::SetSystemClip(std::optional<Region> clip) {
    systemClip_ = std::move(clip);
    clipValid_ = false;
}

void DeviceContext::SetOrigin(TPoint origin) {
    origin_ = origin;
    clipValid_ = false;
}

const std::vector<TRect>& DeviceContext::ClipRects() {
    GdiBitmap* s = Surface();
    // A bitmap may be resized while selected: the cache also keys on the surface's size.
    TSize size{s ? s->width : 0, s ? s->height : 0};
    if (clipValid_ && clipSurface_ == s && clipSize_ == size) return clipRects_;
    clipSurface_ = s;
    clipSize_ = size;
    Region clip(TRect{0, 0, s ? s->width : 0, s ? s->height : 0});
    if (systemClip_) clip = Region::Combine(clip, *systemClip_, RegionOp::And);
    if (state_.clip) {
        Region meta = *state_.clip;
        meta.Offset(origin_.X, origin_.Y);
        clip = Region::Combine(clip, meta, RegionOp::And);
    }
    clipRects_ = clip.Rects();
    clipValid_ = true;
    return clipRects_;
}

HDC CreateCompatibleDC(HDC) { return new DeviceContext(); }

HDC CreateSurfaceDC(HBITMAP surface, TPoint origin, std::optional<Region> systemClip) {
    if (!surface) return nullptr;
    return new DeviceContext(surface, origin, std::move(systemClip));
}

bool DeleteDC(HDC dc) {
    delete dc;
    return dc != nullptr;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    // A memory context still holding its 1x1 start bitmap is monochrome, as in the window system.
    bool mono = dc && dc->IsMemoryDC() && dc->State().bitmap == StockBitmap();
    return CreateBitmap(width, height, 1, mono ? 1 : 32, nullptr);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj) {
    if (!dc || !obj) return nullptr;
    if (obj->kind == GdiKind::Region) {
        return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(SelectClipRgn(dc, static_cast<HRGN>(obj))));
    }
    return dc->Select(obj);
}

HGDIOBJ GetCurrentObject(HDC dc, int type) {
    if (!dc) return nullptr;
    switch (type) {
        case OBJ_PEN: return dc->State().pen;
        case OBJ_BRUSH: return dc->State().brush;
        case OBJ_FONT: return dc->State().font;
        case OBJ_BITMAP: return dc->Surface();
        default: return nullptr;
    }
}

int SaveDC(HDC dc) { return dc ? dc->Save() : 0; }
bool RestoreDC(HDC dc, int level) { return dc && dc->Restore(level); }

namespace {
template <class T>
T Exchange(T& field, T value) {
    T old = field;
    field = value;
    return old;
}
}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF c) { return dc ? Exchange(dc->State().textColor, c & 0xFFFFFF) : CLR_INVALID; }
COLORREF GetTextColor(HDC dc) { return dc ? dc->State().textColor : CLR_INVALID; }
COLORREF SetBkColor(HDC dc, COLORREF c) { return dc ? Exchange(dc->State().bkColor, c & 0xFFFFFF) : CLR_INVALID; }
COLORREF GetBkColor(HDC dc) { return dc ? dc->State().bkColor : CLR_INVALID; }
int SetBkMode(HDC dc, int mode) {
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return Exchange(dc->State().bkMode, mode);
}
int GetBkMode(HDC dc) { return dc ? dc->State().bkMode : 0; }
int SetROP2(HDC dc, int rop) {
    if (!dc || rop < R2_BLACK || rop > R2_WHITE) return 0;
    return Exchange(dc->State().rop2, rop);
}
int GetROP2(HDC dc) { return dc ? dc->State().rop2 : 0; }
int SetTextAlign(HDC dc, int align) { return dc ? Exchange(dc->State().textAlign, align) : 0; }
int GetTextAlign(HDC dc) { return dc ? dc->State().textAlign : 0; }
int SetPolyFillMode(HDC dc, int mode) { return dc ? Exchange(dc->State().polyFillMode, mode) : 0; }
int SetStretchBltMode(HDC dc, int mode) { return dc ? Exchange(dc->State().stretchMode, mode) : 0; }

namespace {
bool SetPoint(HDC dc, TPoint DcState::*field, TPoint value, TPoint* old) {
    if (!dc) return false;
    if (old) *old = dc->State().*field;
    dc->State().*field = value;
    return true;
}
bool GetPoint(HDC dc, TPoint DcState::*field, TPoint* out) {
    if (!dc || !out) return false;
    *out = dc->State().*field;
    return true;
}
}  // namespace

bool SetBrushOrgEx(HDC dc, int x, int y, TPoint* old) { return SetPoint(dc, &DcState::brushOrg, {x, y}, old); }
bool GetBrushOrgEx(HDC dc, TPoint* org) { return GetPoint(dc, &DcState::brushOrg, org); }
bool SetWindowOrgEx(HDC dc, int x, int y, TPoint* old) { return SetPoint(dc, &DcState::windowOrg, {x, y}, old); }
bool GetWindowOrgEx(HDC dc, TPoint* org) { return GetPoint(dc, &DcState::windowOrg, org); }
bool SetViewportOrgEx(HDC dc, int x, int y, TPoint* old) { return SetPoint(dc, &DcState::viewportOrg, {x, y}, old); }
bool GetViewportOrgEx(HDC dc, TPoint* org) { return GetPoint(dc, &DcState::viewportOrg, org); }
bool OffsetWindowOrgEx(HDC dc, int dx, int dy, TPoint* old) {
    if (!dc) return false;
    TPoint o = dc->State().windowOrg;
    return SetWindowOrgEx(dc, o.X + dx, o.Y + dy, old);
}
bool OffsetViewportOrgEx(HDC dc, int dx, int dy, TPoint* old) {
    if (!dc) return false;
    TPoint o = dc->State().viewportOrg;
    return SetViewportOrgEx(dc, o.X + dx, o.Y + dy, old);
}

bool LPtoDP(HDC dc, TPoint* points, int count) {
    if (!dc || !points) return false;
    const DcState& s = dc->State();
    for (int i = 0; i < count; ++i) {
        points[i].X += s.viewportOrg.X - s.windowOrg.X;
        points[i].Y += s.viewportOrg.Y - s.windowOrg.Y;
    }
    return true;
}

bool DPtoLP(HDC dc, TPoint* points, int count) {
    if (!dc || !points) return false;
    const DcState& s = dc->State();
    for (int i = 0; i < count; ++i) {
        points[i].X -= s.viewportOrg.X - s.windowOrg.X;
        points[i].Y -= s.viewportOrg.Y - s.windowOrg.Y;
    }
    return true;
}

namespace {

TRect LogicalToDevice(HDC dc, int left, int top, int right, int bottom) {
    const DcState& s = dc->State();
    int dx = s.viewportOrg.X - s.windowOrg.X, dy = s.viewportOrg.Y - s.windowOrg.Y;
    return {std::min(left, right) + dx, std::min(top, bottom) + dy, std::max(left, right) + dx,
            std::max(top, bottom) + dy};
}

// Without a selected clip region the whole device counts as the region to cut from.
Region CurrentClipOrDevice(HDC dc) {
    if (dc->State().clip) return *dc->State().clip;
    GdiBitmap* s = dc->Surface();
    TRect device{-dc->Origin().X, -dc->Origin().Y, (s ? s->width : 0) - dc->Origin().X,
                 (s ? s->height : 0) - dc->Origin().Y};
    return Region(device);
}

int SetClip(HDC dc, Region r) {
    int type = RegionType(r);
    dc->State().clip = std::move(r);
    dc->ClipChanged();
    return type;
}

}  // namespace

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
    if (!dc) return ERROR;
    return SetClip(dc, Region::Combine(CurrentClipOrDevice(dc), Region(LogicalToDevice(dc, left, top, right, bottom)),
                                       RegionOp::And));
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
    if (!dc) return ERROR;
    return SetClip(dc, Region::Combine(CurrentClipOrDevice(dc), Region(LogicalToDevice(dc, left, top, right, bottom)),
                                       RegionOp::Diff));
}

int SelectClipRgn(HDC dc, HRGN rgn) { return ExtSelectClipRgn(dc, rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode) {
    if (!dc) return ERROR;
    if (!rgn) {
        if (mode != RGN_COPY) return ERROR;
        dc->State().clip.reset();
        dc->ClipChanged();
        return SIMPLEREGION;
    }
    if (mode == RGN_COPY) return SetClip(dc, rgn->region);
    Region current = CurrentClipOrDevice(dc);
    RegionOp op = mode == RGN_AND    ? RegionOp::And
                  : mode == RGN_OR   ? RegionOp::Or
                  : mode == RGN_XOR  ? RegionOp::Xor
                  : mode == RGN_DIFF ? RegionOp::Diff
                                     : RegionOp::Copy;
    if (op == RegionOp::Copy) return ERROR;
    return SetClip(dc, Region::Combine(current, rgn->region, op));
}

int OffsetClipRgn(HDC dc, int dx, int dy) {
    if (!dc) return ERROR;
    if (!dc->State().clip) return SIMPLEREGION;
    Region r = *dc->State().clip;
    r.Offset(dx, dy);
    return SetClip(dc, std::move(r));
}

int GetClipRgn(HDC dc, HRGN rgn) {
    if (!dc || !rgn) return -1;
    if (!dc->State().clip) return 0;
    rgn->region = *dc->State().clip;
    return 1;
}

int GetClipBox(HDC dc, TRect* box) {
    if (!dc || !box) return ERROR;
    Region visible;
    for (const TRect& r : dc->ClipRects()) visible = Region::Combine(visible, Region(r), RegionOp::Or);
    TRect b = visible.Box();
    TPoint o = dc->LogicalToSurface();
    OffsetRect(b, -o.X, -o.Y);
    *box = visible.Empty() ? TRect{} : b;
    return RegionType(visible);
}

bool RectVisible(HDC dc, const TRect& r) {
    if (!dc) return false;
    TPoint o = dc->LogicalToSurface();
    TRect s{std::min(r.Left, r.Right) + o.X, std::min(r.Top, r.Bottom) + o.Y, std::max(r.Left, r.Right) + o.X,
            std::max(r.Top, r.Bottom) + o.Y};
    if (IsRectEmpty(s)) return false;
    for (const TRect& c : dc->ClipRects()) {
        TRect i;
        if (IntersectRect(i, c, s)) return true;
    }
    return false;
}

bool PtVisible(HDC dc, int x, int y) {
    if (!dc) return false;
    TPoint o = dc->LogicalToSurface();
    for (const TRect& c : dc->ClipRects())
        if (PtInRect(c, {x + o.X, y + o.Y})) return true;
    return false;
}
