#include "platform/gdi/elliptic_region.h"

#include <algorithm>
#include <cstdint>

Region EllipticRegion(int left, int top, int right, int bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    // Doubled coordinates keep the pixel centres and the ellipse's centre on whole numbers.
    const int64_t w = right - 1 - left;
    const int64_t h = bottom - 1 - top;
    Region out;
    if (w <= 0 || h <= 0) return out;
    const int64_t cx = left + (right - 1);
    const int64_t cy = top + (bottom - 1);
    auto inside = [&](int x, int y) {
        const int64_t dx = 2 * x + 1 - cx;
        const int64_t dy = 2 * y + 1 - cy;
        return dx * dx * h * h + dy * dy * w * w <= w * w * h * h;
    };
    // Row by row; rows with the same span share one rectangle.
    TRect run{};
    auto flush = [&] {
        if (!IsRectEmpty(run)) out = Region::Combine(out, Region(run), RegionOp::Or);
        run = TRect{};
    };
    const int middle = static_cast<int>(cx / 2);
    for (int y = top; y < bottom - 1; ++y) {
        if (!inside(middle, y)) {
            flush();
            continue;
        }
        int first = middle;
        while (first > left && inside(first - 1, y)) --first;
        int last = middle;
        while (last < right - 2 && inside(last + 1, y)) ++last;
        if (!IsRectEmpty(run) && run.Left == first && run.Right == last + 1 && run.Bottom == y) {
            run.Bottom = y + 1;
        } else {
            flush();
            run = TRect{first, y, last + 1, y + 1};
        }
    }
    flush();
    return out;
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
    auto* r = new GdiRegion;
    r->region = EllipticRegion(left, top, right, bottom);
    return r;
}

HRGN CreateEllipticRgnIndirect(const TRect& r) { return CreateEllipticRgn(r.Left, r.Top, r.Right, r.Bottom); }
