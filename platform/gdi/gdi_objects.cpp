#include "platform/gdi/gdi_objects.h"

#include <array>
#include <atomic>

namespace {

std::vector<uint32_t> HatchPattern(int hatch) {
    std::vector<uint32_t> p(64, 0xFFFFFFu);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            bool on = false;
            switch (hatch) {
                case HS_HORIZONTAL: on = y == 7; break;
                case HS_VERTICAL: on = x == 7; break;
                case HS_FDIAGONAL: on = x == y; break;
                case HS_BDIAGONAL: on = x == 7 - y; break;
                case HS_CROSS: on = x == 7 || y == 7; break;
                case HS_DIAGCROSS: on = x == y || x == 7 - y; break;
                default: break;
            }
            // Black marks the hatch lines (drawn in the brush colour), white the gaps.
            if (on) p[static_cast<size_t>(y * 8 + x)] = 0;
        }
    }
    return p;
}

template <class T>
T* MakeStock(T* obj) {
    obj->stock = true;
    return obj;
}

}  // namespace

HBRUSH CreateSolidBrush(COLORREF color) {
    auto* b = new GdiBrush;
    b->color = color & 0xFFFFFF;
    return b;
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
    auto* b = new GdiBrush;
    b->style = BS_HATCHED;
    b->hatch = hatch;
    b->color = color & 0xFFFFFF;
    b->pattern = HatchPattern(hatch);
    return b;
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
    if (!bitmap || bitmap->width <= 0 || bitmap->height <= 0) return nullptr;
    auto* b = new GdiBrush;
    b->style = BS_PATTERN;
    b->monoPattern = bitmap->monochrome;
    b->pattern.resize(64);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            b->pattern[static_cast<size_t>(y * 8 + x)] = bitmap->Row(y % bitmap->height)[x % bitmap->width];
    return b;
}

HBRUSH GetSysColorBrush(int index) {
    static std::array<HBRUSH, 31> brushes = [] {
        std::array<HBRUSH, 31> a{};
        for (int i = 0; i < 31; ++i) a[static_cast<size_t>(i)] = MakeStock(CreateSolidBrush(GetSysColor(i)));
        return a;
    }();
    if (index < 0 || index >= 31) return nullptr;
    return brushes[static_cast<size_t>(index)];
}

HPEN CreatePen(int style, int width, COLORREF color) {
    auto* p = new GdiPen;
    p->style = style & PS_STYLE_MASK;
    p->width = width < 1 ? 1 : width;
    p->color = color & 0xFFFFFF;
    return p;
}

HFONT CreateFontIndirect(const LOGFONT& lf) {
    auto* f = new GdiFont;
    f->log = lf;
    return f;
}

HBITMAP CreateBitmap(int width, int height, unsigned /*planes*/, unsigned bitsPerPixel, const void* bits) {
    auto* b = new GdiBitmap;
    b->width = width < 0 ? 0 : width;
    b->height = height < 0 ? 0 : height;
    b->monochrome = bitsPerPixel == 1;
    b->pixels.assign(static_cast<size_t>(b->width) * static_cast<size_t>(b->height), 0);
    if (bits) {
        if (b->monochrome) {
            const auto* bytes = static_cast<const uint8_t*>(bits);
            int stride = ((b->width + 15) / 16) * 2;
            for (int y = 0; y < b->height; ++y)
                for (int x = 0; x < b->width; ++x) {
                    bool set = bytes[y * stride + x / 8] & (0x80 >> (x % 8));
                    b->Row(y)[x] = set ? 0xFFFFFFu : 0u;
                }
        } else {
            const auto* words = static_cast<const uint32_t*>(bits);
            for (size_t i = 0; i < b->pixels.size(); ++i) b->pixels[i] = words[i] & 0xFFFFFF;
        }
    }
    return b;
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    auto* r = new GdiRegion;
    // The window system accepts the corners in any order.
    r->region = Region(
        TRect{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
    return r;
}

HRGN CreateRectRgnIndirect(const TRect& r) { return CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom); }

int RegionType(const Region& region) {
    if (region.Empty()) return NULLREGION;
    return region.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
    if (!dest || !src1) return ERROR;
    RegionOp op;
    switch (mode) {
        case RGN_AND: op = RegionOp::And; break;
        case RGN_OR: op = RegionOp::Or; break;
        case RGN_XOR: op = RegionOp::Xor; break;
        case RGN_DIFF: op = RegionOp::Diff; break;
        case RGN_COPY: dest->region = src1->region; return RegionType(dest->region);
        default: return ERROR;
    }
    if (!src2) return ERROR;
    dest->region = Region::Combine(src1->region, src2->region, op);
    return RegionType(dest->region);
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
    if (!rgn) return ERROR;
    rgn->region.Offset(dx, dy);
    return RegionType(rgn->region);
}

bool PtInRegion(HRGN rgn, int x, int y) { return rgn && rgn->region.Contains(x, y); }

bool RectInRegion(HRGN rgn, const TRect& r) { return rgn && rgn->region.Intersects(r); }

int GetRgnBox(HRGN rgn, TRect* box) {
    if (!rgn) return ERROR;
    if (box) *box = rgn->region.Box();
    return RegionType(rgn->region);
}

bool EqualRgn(HRGN a, HRGN b) { return a && b && a->region == b->region; }

bool SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
    if (!rgn) return false;
    rgn->region = Region(
        TRect{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
    return true;
}

HGDIOBJ GetStockObject(int index) {
    static const std::array<HGDIOBJ, 18> objects = [] {
        std::array<HGDIOBJ, 18> a{};
        a[WHITE_BRUSH] = MakeStock(CreateSolidBrush(RGB(255, 255, 255)));
        a[LTGRAY_BRUSH] = MakeStock(CreateSolidBrush(RGB(192, 192, 192)));
        a[GRAY_BRUSH] = MakeStock(CreateSolidBrush(RGB(128, 128, 128)));
        a[DKGRAY_BRUSH] = MakeStock(CreateSolidBrush(RGB(64, 64, 64)));
        a[BLACK_BRUSH] = MakeStock(CreateSolidBrush(RGB(0, 0, 0)));
        HBRUSH hollow = CreateSolidBrush(0);
        hollow->style = BS_NULL;
        a[NULL_BRUSH] = MakeStock(hollow);
        a[WHITE_PEN] = MakeStock(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
        a[BLACK_PEN] = MakeStock(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
        a[NULL_PEN] = MakeStock(CreatePen(PS_NULL, 1, 0));
        LOGFONT lf;
        lf.lfHeight = -11;
        lf.lfFaceName = "MS Sans Serif";
        HFONT gui = MakeStock(CreateFontIndirect(lf));
        a[DEFAULT_GUI_FONT] = gui;
        a[SYSTEM_FONT] = gui;
        a[ANSI_VAR_FONT] = gui;
        return a;
    }();
    if (index < 0 || index >= static_cast<int>(objects.size())) return nullptr;
    return objects[static_cast<size_t>(index)];
}

HBITMAP StockBitmap() {
    static HBITMAP bitmap = MakeStock(CreateBitmap(1, 1, 1, 1, nullptr));
    return bitmap;
}

bool DeleteObject(HGDIOBJ obj) {
    if (!obj) return false;
    if (obj->stock) return true;
    if (obj->selections > 0) {
        obj->deletePending = true;
        return true;
    }
    delete obj;
    return true;
}

bool GetBitmapInfo(HBITMAP bitmap, BITMAP* info) {
    if (!bitmap || !info) return false;
    info->bmWidth = bitmap->width;
    info->bmHeight = bitmap->height;
    info->bmBitsPixel = bitmap->monochrome ? 1 : 32;
    return true;
}

void GdiRetain(HGDIOBJ obj) {
    if (obj) ++obj->selections;
}

void GdiRelease(HGDIOBJ obj) {
    if (!obj) return;
    if (--obj->selections <= 0 && obj->deletePending && !obj->stock) delete obj;
}

namespace {
std::atomic<int> liveObjects[5];
}  // namespace

int GdiLiveObjects(GdiKind kind) { return liveObjects[static_cast<int>(kind)].load(); }

void GdiCountObject(GdiKind kind, int delta) { liveObjects[static_cast<int>(kind)] += delta; }
