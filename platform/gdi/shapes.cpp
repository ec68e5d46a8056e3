// Fills, frames, shapes, lines and pixels.
#include <algorithm>
#include <cmath>
#include <functional>

#include "platform/gdi/draw.h"
#include "platform/gdi/raster.h"

namespace {

TRect Normalized(int l, int t, int r, int b) {
    return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

TRect ToSurface(const Raster& ras, TRect r) {
    OffsetRect(r, ras.Offset().X, ras.Offset().Y);
    return r;
}

// Rows [top, bottom) that the clip lets through at all: loops over shape rows stay short
// however large the shape's coordinates are.
void ClipRows(const Raster& ras, int& top, int& bottom) {
    int lo = bottom, hi = top;
    for (const TRect& c : ras.Clip()) {
        lo = std::min(lo, c.Top);
        hi = std::max(hi, c.Bottom);
    }
    top = std::max(top, lo);
    bottom = std::min(bottom, hi);
}

// Pixel runs of the pen styles, on and off alternately.
const std::vector<int>& StylePattern(int style) {
    static const std::vector<int> solid;
    static const std::vector<int> dash{18, 6};
    static const std::vector<int> dot{3, 3};
    static const std::vector<int> dashDot{9, 6, 3, 6};
    static const std::vector<int> dashDotDot{9, 3, 3, 3, 3, 3};
    static const std::vector<int> alternate{1, 1};
    switch (style) {
        case PS_DASH: return dash;
        case PS_DOT: return dot;
        case PS_DASHDOT: return dashDot;
        case PS_DASHDOTDOT: return dashDotDot;
        case PS_ALTERNATE: return alternate;
        default: return solid;
    }
}

// Draws the selected pen from (x0, y0) towards (x1, y1), the end point excluded, in
// surface coordinates.
void PenLine(HDC dc, Raster& ras, int x0, int y0, int x1, int y1) {
    HPEN pen = dc->State().pen;
    if (!pen || pen->style == PS_NULL) return;
    Paint ink = ras.Solid(pen->color);
    std::optional<Paint> gap;
    if (dc->State().bkMode == OPAQUE) gap = ras.Solid(dc->State().bkColor);
    const std::vector<int>& pattern = pen->width == 1 ? StylePattern(pen->style) : StylePattern(PS_SOLID);
    int w = pen->width;
    int half = (w - 1) / 2;
    // A line reaching far outside the surface is cut down first (parametrically), so that
    // huge coordinates cost no more than the surface is wide.
    GdiBitmap* surf = ras.Surface();
    long long limit = 4LL * (surf->width + surf->height + w) + 64;
    if (std::llabs(x0) > limit || std::llabs(y0) > limit || std::llabs(x1) > limit || std::llabs(y1) > limit) {
        double t0 = 0, t1 = 1;
        double dxl = static_cast<double>(x1) - x0, dyl = static_cast<double>(y1) - y0;
        double lo = -w - 2.0, hiX = surf->width + w + 2.0, hiY = surf->height + w + 2.0;
        auto clipEdge = [&](double p, double q) {
            if (p == 0) return q >= 0;
            double r = q / p;
            if (p < 0) {
                if (r > t1) return false;
                t0 = std::max(t0, r);
            } else {
                if (r < t0) return false;
                t1 = std::min(t1, r);
            }
            return true;
        };
        if (!clipEdge(-dxl, x0 - lo) || !clipEdge(dxl, hiX - x0) || !clipEdge(-dyl, y0 - lo) ||
            !clipEdge(dyl, hiY - y0))
            return;
        int nx0 = static_cast<int>(std::lround(x0 + t0 * dxl)), ny0 = static_cast<int>(std::lround(y0 + t0 * dyl));
        int nx1 = static_cast<int>(std::lround(x0 + t1 * dxl)), ny1 = static_cast<int>(std::lround(y0 + t1 * dyl));
        x0 = nx0;
        y0 = ny0;
        x1 = nx1;
        y1 = ny1;
    }

    // Frames and bevels are mostly solid horizontal lines: one run instead of a pixel each.
    if (w == 1 && pattern.empty() && y0 == y1) {
        if (x0 < x1)
            ras.Span(y0, x0, x1, ink);
        else
            ras.Span(y0, x1 + 1, x0 + 1, ink);
        return;
    }
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0, y = y0;
    size_t seg = 0;
    int left = pattern.empty() ? 0 : pattern[0];
    while (!(x == x1 && y == y1)) {
        bool on = pattern.empty() || seg % 2 == 0;
        if (on || gap) {
            const Paint& p = on ? ink : *gap;
            if (w == 1) {
                ras.Pixel(x, y, p);
            } else {
                for (int yy = y - half; yy < y - half + w; ++yy) ras.Span(yy, x - half, x - half + w, p);
            }
        }
        if (!pattern.empty() && --left == 0) {
            seg = (seg + 1) % pattern.size();
            left = pattern[seg];
        }
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// A convex shape given row by row: [left, right) of each row in [top, bottom).
using RowSpan = std::function<bool(int y, int& left, int& right)>;

bool EllipseRow(const TRect& box, int y, int& left, int& right) {
    if (IsRectEmpty(box) || y < box.Top || y >= box.Bottom) return false;
    double cx = (box.Left + box.Right) / 2.0, cy = (box.Top + box.Bottom) / 2.0;
    double rx = box.Width() / 2.0, ry = box.Height() / 2.0;
    double dy = (y + 0.5 - cy) / ry;
    double q = 1.0 - dy * dy;
    if (q <= 0) return false;
    double half = rx * std::sqrt(q);
    left = static_cast<int>(std::ceil(cx - half - 0.5));
    right = static_cast<int>(std::floor(cx + half - 0.5)) + 1;
    return left < right;
}

bool RoundRectRow(const TRect& box, int cw, int ch, int y, int& left, int& right) {
    if (IsRectEmpty(box) || y < box.Top || y >= box.Bottom) return false;
    cw = std::min(cw, box.Width());
    ch = std::min(ch, box.Height());
    if (cw < 2 || ch < 2) {
        left = box.Left;
        right = box.Right;
        return true;
    }
    TRect corner;
    if (y < box.Top + ch / 2) {
        corner = {box.Left, box.Top, box.Left + cw, box.Top + ch};
    } else if (y >= box.Bottom - ch / 2) {
        corner = {box.Left, box.Bottom - ch, box.Left + cw, box.Bottom};
    } else {
        left = box.Left;
        right = box.Right;
        return true;
    }
    int a, b;
    if (!EllipseRow(corner, y, a, b)) return false;
    left = a;
    right = box.Right - (corner.Right - b);
    return left < right;
}

// Fills the inner shape with the brush and the ring between outer and inner with the pen.
void DrawShape(HDC dc, const TRect& box, const std::function<bool(const TRect&, int, int&, int&)>& row) {
    Raster ras(dc);
    if (!ras.Valid()) return;
    TRect s = ToSurface(ras, box);
    HPEN pen = dc->State().pen;
    bool hasPen = pen && pen->style != PS_NULL;
    int w = hasPen ? pen->width : 0;
    TRect inner = s;
    if (hasPen)
        InflateRect(inner, -w, -w);
    else {
        inner.Right -= 1;
        inner.Bottom -= 1;
    }  // without a pen the window system fills one pixel less
    std::optional<Paint> brush = ras.BrushPaint();
    std::optional<Paint> ink;
    if (hasPen) ink = ras.Solid(pen->color);
    int top = s.Top, bottom = s.Bottom;
    ClipRows(ras, top, bottom);
    for (int y = top; y < bottom; ++y) {
        int ol, orr, il = 0, ir = 0;
        bool hasOuter = hasPen ? row(s, y, ol, orr) : false;
        bool hasInner = row(inner, y, il, ir);
        if (brush && hasInner) ras.Span(y, il, ir, *brush);
        if (!hasOuter) continue;
        if (!hasInner) {
            ras.Span(y, ol, orr, *ink);
        } else {
            ras.Span(y, ol, std::max(ol, il), *ink);
            ras.Span(y, std::min(ir, orr), orr, *ink);
        }
    }
}

}  // namespace

int FillRect(HDC dc, const TRect& r, HBRUSH brush) {
    Raster ras(dc);
    if (!ras.Valid()) return dc ? 1 : 0;
    // Brush fills ignore the context's mix mode.
    auto paint = ras.BrushPaint(brush);
    if (!paint) return 1;
    paint->rop2 = R2_COPYPEN;
    ras.FillRect(ToSurface(ras, Normalized(r.Left, r.Top, r.Right, r.Bottom)), *paint);
    return 1;
}

int FrameRect(HDC dc, const TRect& r, HBRUSH brush) {
    if (IsRectEmpty(r)) return 1;
    FillRect(dc, {r.Left, r.Top, r.Right, r.Top + 1}, brush);
    FillRect(dc, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, brush);
    FillRect(dc, {r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, brush);
    FillRect(dc, {r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}, brush);
    return 1;
}

bool InvertRect(HDC dc, const TRect& r) {
    Raster ras(dc);
    if (!dc) return false;
    Paint p;
    p.rop2 = R2_NOT;
    ras.FillRect(ToSurface(ras, Normalized(r.Left, r.Top, r.Right, r.Bottom)), p);
    return true;
}

bool Rectangle(HDC dc, int left, int top, int right, int bottom) {
    if (!dc) return false;
    TRect box = Normalized(left, top, right, bottom);
    HPEN pen = dc->State().pen;
    int style = pen ? pen->style : PS_NULL;
    if (style == PS_SOLID || style == PS_INSIDEFRAME || style == PS_NULL) {
        DrawShape(dc, box, [](const TRect& b, int y, int& l, int& r) {
            if (IsRectEmpty(b) || y < b.Top || y >= b.Bottom) return false;
            l = b.Left;
            r = b.Right;
            return true;
        });
        return true;
    }
    // Styled outlines follow the line rules so their dashes match LineTo's.
    Raster ras(dc);
    if (auto brush = ras.BrushPaint()) {
        TRect inner = box;
        InflateRect(inner, -1, -1);
        ras.FillRect(ToSurface(ras, inner), *brush);
    }
    TPoint pts[5] = {{box.Left, box.Top},
                     {box.Right - 1, box.Top},
                     {box.Right - 1, box.Bottom - 1},
                     {box.Left, box.Bottom - 1},
                     {box.Left, box.Top}};
    TPoint saved = dc->State().penPos;
    Polyline(dc, pts, 5);
    dc->State().penPos = saved;
    return true;
}

bool RoundRect(HDC dc, int left, int top, int right, int bottom, int cw, int ch) {
    if (!dc) return false;
    TRect box = Normalized(left, top, right, bottom);
    DrawShape(dc, box, [cw, ch, box](const TRect& b, int y, int& l, int& r) {
        // The inner shape's corners shrink as much as its box did.
        int shrinkX = box.Width() - b.Width(), shrinkY = box.Height() - b.Height();
        return RoundRectRow(b, cw - shrinkX, ch - shrinkY, y, l, r);
    });
    return true;
}

bool Ellipse(HDC dc, int left, int top, int right, int bottom) {
    if (!dc) return false;
    DrawShape(dc, Normalized(left, top, right, bottom),
              [](const TRect& b, int y, int& l, int& r) { return EllipseRow(b, y, l, r); });
    return true;
}

bool MoveToEx(HDC dc, int x, int y, TPoint* old) {
    if (!dc) return false;
    if (old) *old = dc->State().penPos;
    dc->State().penPos = {x, y};
    return true;
}

bool LineTo(HDC dc, int x, int y) {
    if (!dc) return false;
    Raster ras(dc);
    TPoint from = dc->State().penPos;
    TPoint o = ras.Offset();
    if (ras.Valid()) PenLine(dc, ras, from.X + o.X, from.Y + o.Y, x + o.X, y + o.Y);
    dc->State().penPos = {x, y};
    return true;
}

bool Polyline(HDC dc, const TPoint* points, int count) {
    if (!dc || !points || count < 2) return false;
    Raster ras(dc);
    if (!ras.Valid()) return true;
    TPoint o = ras.Offset();
    for (int i = 0; i + 1 < count; ++i)
        PenLine(dc, ras, points[i].X + o.X, points[i].Y + o.Y, points[i + 1].X + o.X, points[i + 1].Y + o.Y);
    return true;
}

bool PolyPolyline(HDC dc, const TPoint* points, const uint32_t* counts, int polylines) {
    if (!dc || !points || !counts) return false;
    size_t at = 0;
    for (int i = 0; i < polylines; ++i) {
        if (counts[i] >= 2) Polyline(dc, points + at, static_cast<int>(counts[i]));
        at += counts[i];
    }
    return true;
}

bool Polygon(HDC dc, const TPoint* points, int count) {
    if (!dc || !points || count < 2) return false;
    Raster ras(dc);
    if (!ras.Valid()) return true;
    TPoint o = ras.Offset();
    if (auto brush = ras.BrushPaint(); brush && count >= 3) {
        int minY = points[0].Y, maxY = points[0].Y;
        for (int i = 1; i < count; ++i) {
            minY = std::min(minY, points[i].Y);
            maxY = std::max(maxY, points[i].Y);
        }
        bool winding = dc->State().polyFillMode == WINDING;
        std::vector<std::pair<double, int>> xs;
        int rowTop = minY + o.Y, rowBottom = maxY + o.Y;
        ClipRows(ras, rowTop, rowBottom);
        for (int y = rowTop - o.Y; y < rowBottom - o.Y; ++y) {
            double yc = y + 0.5;
            xs.clear();
            for (int i = 0; i < count; ++i) {
                TPoint a = points[i], b = points[(i + 1) % count];
                if (a.Y == b.Y) continue;
                int dir = a.Y < b.Y ? 1 : -1;
                if (a.Y > b.Y) std::swap(a, b);
                if (yc < a.Y || yc >= b.Y) continue;
                double x = a.X + (yc - a.Y) * (b.X - a.X) / static_cast<double>(b.Y - a.Y);
                xs.emplace_back(x, dir);
            }
            std::sort(xs.begin(), xs.end());
            int wind = 0;
            for (size_t k = 0; k + 1 < xs.size(); ++k) {
                wind += xs[k].second;
                bool inside = winding ? wind != 0 : (k % 2 == 0);
                if (!inside) continue;
                int x0 = static_cast<int>(std::ceil(xs[k].first - 0.5));
                int x1 = static_cast<int>(std::ceil(xs[k + 1].first - 0.5));
                ras.Span(y + o.Y, x0 + o.X, x1 + o.X, *brush);
            }
        }
    }
    for (int i = 0; i < count; ++i) {
        TPoint a = points[i], b = points[(i + 1) % count];
        PenLine(dc, ras, a.X + o.X, a.Y + o.Y, b.X + o.X, b.Y + o.Y);
    }
    return true;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    if (!SetPixelV(dc, x, y, color)) return CLR_INVALID;
    return GetPixel(dc, x, y);
}

bool SetPixelV(HDC dc, int x, int y, COLORREF color) {
    Raster ras(dc);
    if (!ras.Valid()) return false;
    ras.Pixel(x + ras.Offset().X, y + ras.Offset().Y, ras.Solid(color, R2_COPYPEN));
    return true;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    Raster ras(dc);
    if (!ras.Valid()) return CLR_INVALID;
    int sx = x + ras.Offset().X, sy = y + ras.Offset().Y;
    for (const TRect& c : ras.Clip())
        if (PtInRect(c, {sx, sy})) return PixelToColor(ras.Surface()->Row(sy)[sx]);
    return CLR_INVALID;
}
