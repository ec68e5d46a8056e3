// Block transfers: pattern, copy and stretch with ternary raster operations.
#include <algorithm>
#include <cstring>

#include "platform/gdi/draw.h"
#include "platform/gdi/raster.h"

namespace {

uint8_t Code(uint32_t rop) { return static_cast<uint8_t>((rop >> 16) & 0xFF); }

bool NeedsSource(uint8_t code) { return ((code >> 2) ^ code) & 0x33; }
bool NeedsPattern(uint8_t code) { return ((code >> 4) ^ code) & 0x0F; }

// Source pixel as the destination sees it, across monochrome and colour surfaces.
struct SourceReader {
    const GdiBitmap* src;
    bool toMono;
    bool fromMono;
    uint32_t srcBk;     // source background pixel (colour to monochrome)
    uint32_t destText;  // destination text and background pixels (monochrome to colour)
    uint32_t destBk;
    uint32_t Read(int x, int y) const {
        uint32_t v = src->Row(y)[x];
        if (fromMono && !toMono) return v ? destBk : destText;
        if (toMono && !fromMono) return v == srcBk ? 0xFFFFFFu : 0u;
        return v;
    }
};

SourceReader MakeReader(HDC dest, HDC src) {
    GdiBitmap* d = dest->Surface();
    GdiBitmap* s = src->Surface();
    return {s,
            d->monochrome,
            s->monochrome,
            ColorToPixel(GetBkColor(src)),
            SurfacePixel(d, GetTextColor(dest)),
            SurfacePixel(d, GetBkColor(dest))};
}

uint32_t PatternAt(const std::optional<Paint>& p, int x, int y) {
    if (!p) return 0;
    if (!p->pattern) return p->color;
    return p->pat[((y - p->orgY) & 7) * 8 + ((x - p->orgX) & 7)];
}

TRect Span(int a, int len, int b, int blen) {
    // Rectangle from a position and a signed length, in either direction.
    int l = std::min(a, a + len), r = std::max(a, a + len);
    int t = std::min(b, b + blen), btm = std::max(b, b + blen);
    return {l, t, r, btm};
}

}  // namespace

bool PatBlt(HDC dc, int x, int y, int width, int height, uint32_t rop) {
    if (!dc) return false;
    Raster ras(dc);
    if (!ras.Valid()) return true;
    TRect r = Span(x, width, y, height);
    OffsetRect(r, ras.Offset().X, ras.Offset().Y);
    uint8_t code = Code(rop);
    std::optional<Paint> brush = ras.BrushPaint();
    if (brush) brush->rop2 = R2_COPYPEN;
    switch (code) {
        case 0xF0:
            if (brush) ras.FillRect(r, *brush);
            return true;
        case 0x5A:
            if (brush) {
                brush->rop2 = R2_XORPEN;
                ras.FillRect(r, *brush);
            }
            return true;
        case 0x55: {
            Paint p;
            p.rop2 = R2_NOT;
            ras.FillRect(r, p);
            return true;
        }
        case 0x00: ras.FillRect(r, ras.Solid(0, R2_COPYPEN)); return true;
        case 0xFF: ras.FillRect(r, ras.Solid(0xFFFFFF, R2_COPYPEN)); return true;
        default: break;
    }
    GdiBitmap* s = ras.Surface();
    for (const TRect& c : ras.Clip()) {
        TRect i;
        if (!IntersectRect(i, c, r)) continue;
        for (int yy = i.Top; yy < i.Bottom; ++yy) {
            uint32_t* row = s->Row(yy);
            for (int xx = i.Left; xx < i.Right; ++xx) row[xx] = Rop3Pixel(code, PatternAt(brush, xx, yy), 0, row[xx]);
        }
    }
    return true;
}

bool StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int sx, int sy, int sw, int sh, uint32_t rop) {
    if (!dest) return false;
    uint8_t code = Code(rop);
    if (!NeedsSource(code)) return PatBlt(dest, x, y, width, height, rop);
    if (!src || !src->Surface()) return false;
    Raster ras(dest);
    if (!ras.Valid() || width == 0 || height == 0 || sw == 0 || sh == 0) return true;
    GdiBitmap* d = ras.Surface();
    const GdiBitmap* s = src->Surface();
    TRect dr = Span(x, width, y, height);
    OffsetRect(dr, ras.Offset().X, ras.Offset().Y);
    TRect sr = Span(sx, sw, sy, sh);
    TPoint so = src->LogicalToSurface();
    OffsetRect(sr, so.X, so.Y);
    bool mirrorX = (width < 0) != (sw < 0), mirrorY = (height < 0) != (sh < 0);
    int dw = dr.Width(), dh = dr.Height(), srw = sr.Width(), srh = sr.Height();
    SourceReader reader = MakeReader(dest, src);
    std::optional<Paint> brush;
    if (NeedsPattern(code)) {
        brush = ras.BrushPaint();
        if (brush) brush->rop2 = R2_COPYPEN;
    }
    bool plainCopy = code == 0xCC && !mirrorX && !mirrorY && dw == srw && dh == srh && reader.fromMono == reader.toMono;
    // Source column of a destination column (nearest neighbour), -1 outside the source.
    auto column = [&](int i) {
        int j = static_cast<int>((static_cast<long long>(i) * 2 + 1) * srw / (2LL * dw));
        if (mirrorX) j = srw - 1 - j;
        int sxp = sr.Left + j;
        return (sxp >= 0 && sxp < s->width) ? sxp : -1;
    };
    for (const TRect& c : ras.Clip()) {
        TRect i;
        if (!IntersectRect(i, c, dr)) continue;
        for (int yy = i.Top; yy < i.Bottom; ++yy) {
            int row = yy - dr.Top;
            int j = static_cast<int>((static_cast<long long>(row) * 2 + 1) * srh / (2LL * dh));
            if (mirrorY) j = srh - 1 - j;
            int syp = sr.Top + j;
            if (syp < 0 || syp >= s->height) continue;
            uint32_t* out = d->Row(yy);
            if (plainCopy) {
                // Clip the run to the source's columns, then copy it whole.
                int a = std::max(i.Left, dr.Left + (0 - sr.Left));
                int b = std::min(i.Right, dr.Left + (s->width - sr.Left));
                if (a < b) std::memcpy(out + a, s->Row(syp) + (sr.Left + a - dr.Left), sizeof(uint32_t) * (b - a));
                continue;
            }
            for (int xx = i.Left; xx < i.Right; ++xx) {
                int sxp = column(xx - dr.Left);
                if (sxp < 0) continue;
                uint32_t sv = reader.Read(sxp, syp);
                out[xx] = code == 0xCC ? sv : Rop3Pixel(code, PatternAt(brush, xx, yy), sv, out[xx]);
            }
        }
    }
    return true;
}

bool BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int sx, int sy, uint32_t rop) {
    if (width < 0) {
        x += width;
        width = -width;
    }
    if (height < 0) {
        y += height;
        height = -height;
    }
    return StretchBlt(dest, x, y, width, height, src, sx, sy, width, height, rop);
}
