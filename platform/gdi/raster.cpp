#include "platform/gdi/raster.h"

#include <algorithm>

uint32_t Rop2Pixel(int rop2, uint32_t pen, uint32_t dst) {
    // Bit (P<<1 | D) of rop2 - 1 gives each result bit.
    unsigned t = static_cast<unsigned>(rop2 - 1) & 0xF;
    uint32_t r = 0;
    if (t & 8) r |= pen & dst;
    if (t & 4) r |= pen & ~dst;
    if (t & 2) r |= ~pen & dst;
    if (t & 1) r |= ~pen & ~dst;
    return r & 0xFFFFFF;
}

uint32_t Rop3Pixel(uint8_t code, uint32_t p, uint32_t s, uint32_t d) {
    switch (code) {
        case 0xCC: return s;
        case 0x00: return 0;
        case 0xFF: return 0xFFFFFF;
        case 0x88: return s & d;
        case 0xEE: return s | d;
        case 0x66: return s ^ d;
        case 0x55: return ~d & 0xFFFFFF;
        case 0xF0: return p;
        case 0x5A: return p ^ d;
        case 0xE2: return (s & p) | (~s & d);
        default: break;
    }
    uint32_t r = 0;
    for (int i = 0; i < 8; ++i) {
        if (!(code & (1 << i))) continue;
        uint32_t term = ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
        r |= term;
    }
    return r & 0xFFFFFF;
}

uint32_t SurfacePixel(const GdiBitmap* surface, COLORREF color) {
    uint32_t p = ColorToPixel(color & 0xFFFFFF);
    if (surface && surface->monochrome) {
        int sum = GetRValue(color) + GetGValue(color) + GetBValue(color);
        return sum >= 384 ? 0xFFFFFFu : 0u;
    }
    return p;
}

Raster::Raster(HDC dc) : dc_(dc), surface_(dc ? dc->Surface() : nullptr) {
    if (!dc) return;
    offset_ = dc->LogicalToSurface();
    rop2_ = dc->State().rop2;
    clip_ = dc->ClipRects();
}

void Raster::IntersectClip(const TRect& surfaceRect) {
    std::vector<TRect> out;
    for (const TRect& c : clip_) {
        TRect i;
        if (IntersectRect(i, c, surfaceRect)) out.push_back(i);
    }
    clip_ = std::move(out);
}

Paint Raster::Solid(COLORREF color, int rop2) const {
    Paint p;
    p.color = SurfacePixel(surface_, color);
    p.rop2 = rop2;
    return p;
}

std::optional<Paint> Raster::BrushPaint(HBRUSH brush) const {
    if (!brush || brush->style == BS_NULL) return std::nullopt;
    if (brush->style == BS_SOLID) return Solid(brush->color);
    Paint p;
    p.pattern = true;
    p.rop2 = rop2_;
    // Patterns are aligned to the device origin plus the brush origin.
    TPoint o = dc_->Origin();
    p.orgX = o.X + dc_->State().brushOrg.X;
    p.orgY = o.Y + dc_->State().brushOrg.Y;
    const DcState& s = dc_->State();
    for (int i = 0; i < 64; ++i) {
        uint32_t v = brush->pattern[static_cast<size_t>(i)];
        if (brush->style == BS_HATCHED) {
            if (v == 0) {
                p.pat[i] = SurfacePixel(surface_, brush->color);
            } else if (s.bkMode == OPAQUE) {
                p.pat[i] = SurfacePixel(surface_, s.bkColor);
            } else {
                p.patMask &= ~(1ull << i);
            }
        } else if (brush->monoPattern) {
            p.pat[i] = SurfacePixel(surface_, v ? s.bkColor : s.textColor);
        } else {
            p.pat[i] = surface_ && surface_->monochrome ? SurfacePixel(surface_, PixelToColor(v)) : v;
        }
    }
    return p;
}

void Raster::SpanUnclipped(uint32_t* row, int y, int x0, int x1, const Paint& paint) {
    if (!paint.pattern) {
        uint32_t c = paint.color;
        switch (paint.rop2) {
            case R2_COPYPEN: std::fill_n(row + x0, x1 - x0, c); return;
            case R2_XORPEN:
                for (int x = x0; x < x1; ++x) row[x] ^= c;
                return;
            case R2_NOT:
                for (int x = x0; x < x1; ++x) row[x] ^= 0xFFFFFFu;
                return;
            case R2_NOP: return;
            default:
                for (int x = x0; x < x1; ++x) row[x] = Rop2Pixel(paint.rop2, c, row[x]);
                return;
        }
    }
    int py = ((y - paint.orgY) & 7) * 8;
    for (int x = x0; x < x1; ++x) {
        int i = py + ((x - paint.orgX) & 7);
        if (!(paint.patMask & (1ull << i))) continue;
        row[x] = paint.rop2 == R2_COPYPEN ? paint.pat[i] : Rop2Pixel(paint.rop2, paint.pat[i], row[x]);
    }
}

void Raster::Span(int y, int x0, int x1, const Paint& paint) {
    if (!surface_ || x0 >= x1) return;
    for (const TRect& c : clip_) {
        if (c.Top > y) break;  // clip rectangles are banded by top
        if (y >= c.Bottom) continue;
        int a = std::max(x0, c.Left), b = std::min(x1, c.Right);
        if (a < b) SpanUnclipped(surface_->Row(y), y, a, b, paint);
    }
}

void Raster::FillRect(const TRect& r, const Paint& paint) {
    if (!surface_) return;
    for (const TRect& c : clip_) {
        TRect i;
        if (!IntersectRect(i, c, r)) continue;
        for (int y = i.Top; y < i.Bottom; ++y) SpanUnclipped(surface_->Row(y), y, i.Left, i.Right, paint);
    }
}
