#include "platform/gdi/region.h"

#include <algorithm>
#include <optional>

Region::Region(const TRect& r) {
    if (!IsRectEmpty(r)) rects_.push_back(r);
}

TRect Region::Box() const {
    if (rects_.empty()) return {};
    TRect box = rects_.front();
    for (const TRect& r : rects_) {
        box.Left = std::min(box.Left, r.Left);
        box.Top = std::min(box.Top, r.Top);
        box.Right = std::max(box.Right, r.Right);
        box.Bottom = std::max(box.Bottom, r.Bottom);
    }
    return box;
}

bool Region::Contains(int x, int y) const {
    for (const TRect& r : rects_) {
        if (r.Top > y) break;
        if (PtInRect(r, {x, y})) return true;
    }
    return false;
}

bool Region::Intersects(const TRect& rect) const {
    if (IsRectEmpty(rect)) return false;
    for (const TRect& r : rects_) {
        if (r.Top >= rect.Bottom) break;
        if (r.Left < rect.Right && rect.Left < r.Right && r.Top < rect.Bottom && rect.Top < r.Bottom) return true;
    }
    return false;
}

void Region::Offset(int dx, int dy) {
    for (TRect& r : rects_) OffsetRect(r, dx, dy);
}

namespace {

using Intervals = std::vector<std::pair<int, int>>;

// The x-intervals of a region's rectangles that cover the whole band [y0, y1).
Intervals BandIntervals(const std::vector<TRect>& rects, int y0, int y1) {
    Intervals out;
    for (const TRect& r : rects) {
        if (r.Top <= y0 && r.Bottom >= y1) out.emplace_back(r.Left, r.Right);
    }
    std::sort(out.begin(), out.end());
    // Merge touching or overlapping intervals, so a caller's unsorted list works too.
    Intervals merged;
    for (const auto& iv : out) {
        if (!merged.empty() && iv.first <= merged.back().second)
            merged.back().second = std::max(merged.back().second, iv.second);
        else
            merged.push_back(iv);
    }
    return merged;
}

bool Apply(RegionOp op, bool a, bool b) {
    switch (op) {
        case RegionOp::And: return a && b;
        case RegionOp::Or: return a || b;
        case RegionOp::Xor: return a != b;
        case RegionOp::Diff: return a && !b;
        case RegionOp::Copy: return a;
    }
    return false;
}

Intervals CombineIntervals(const Intervals& a, const Intervals& b, RegionOp op) {
    std::vector<int> xs;
    for (const auto& iv : a) {
        xs.push_back(iv.first);
        xs.push_back(iv.second);
    }
    for (const auto& iv : b) {
        xs.push_back(iv.first);
        xs.push_back(iv.second);
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    Intervals out;
    size_t ia = 0, ib = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        int x0 = xs[i], x1 = xs[i + 1];
        while (ia < a.size() && a[ia].second <= x0) ++ia;
        while (ib < b.size() && b[ib].second <= x0) ++ib;
        bool ina = ia < a.size() && a[ia].first <= x0;
        bool inb = ib < b.size() && b[ib].first <= x0;
        if (!Apply(op, ina, inb)) continue;
        if (!out.empty() && out.back().second == x0)
            out.back().second = x1;
        else
            out.emplace_back(x0, x1);
    }
    return out;
}

bool RectContains(const TRect& outer, const TRect& inner) {
    return outer.Left <= inner.Left && outer.Top <= inner.Top && outer.Right >= inner.Right &&
           outer.Bottom >= inner.Bottom;
}

// The answer without the band sweep where one region is empty, the two lie apart or one
// rectangle covers the other region: painting combines such pairs on every update. Every
// region is in its banded form, so handing one back as it stands keeps that form.
std::optional<Region> Shortcut(const Region& a, const Region& b, RegionOp op) {
    if (a.Empty() || b.Empty()) {
        switch (op) {
            case RegionOp::And: return Region();
            case RegionOp::Diff: return a;
            default: return a.Empty() ? b : a;
        }
    }
    const TRect boxA = a.Box(), boxB = b.Box();
    TRect common;
    const bool apart = !IntersectRect(common, boxA, boxB);
    const bool aCovers = a.Rects().size() == 1 && RectContains(boxA, boxB);
    const bool bCovers = b.Rects().size() == 1 && RectContains(boxB, boxA);
    switch (op) {
        case RegionOp::And:
            if (apart) return Region();
            if (bCovers) return a;
            if (aCovers) return b;
            if (a.Rects().size() == 1 && b.Rects().size() == 1) return Region(common);
            break;
        case RegionOp::Or:
            if (aCovers) return a;
            if (bCovers) return b;
            break;
        case RegionOp::Diff:
            if (apart) return a;
            if (bCovers) return Region();
            break;
        default: break;
    }
    return std::nullopt;
}

}  // namespace

Region Region::Combine(const Region& a, const Region& b, RegionOp op) {
    if (op == RegionOp::Copy) return a;
    if (std::optional<Region> quick = Shortcut(a, b, op)) return std::move(*quick);
    std::vector<int> ys;
    for (const TRect& r : a.rects_) {
        ys.push_back(r.Top);
        ys.push_back(r.Bottom);
    }
    for (const TRect& r : b.rects_) {
        ys.push_back(r.Top);
        ys.push_back(r.Bottom);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    Region result;
    Intervals previous;
    size_t previousStart = 0;  // index in result of the previous band's first rectangle
    int previousBottom = 0;
    bool havePrevious = false;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        int y0 = ys[i], y1 = ys[i + 1];
        Intervals band = CombineIntervals(BandIntervals(a.rects_, y0, y1), BandIntervals(b.rects_, y0, y1), op);
        if (band.empty()) {
            havePrevious = false;
            continue;
        }
        if (havePrevious && previousBottom == y0 && band == previous) {
            for (size_t k = previousStart; k < result.rects_.size(); ++k) result.rects_[k].Bottom = y1;
        } else {
            previousStart = result.rects_.size();
            for (const auto& iv : band) result.rects_.push_back({iv.first, y0, iv.second, y1});
            previous = std::move(band);
        }
        previousBottom = y1;
        havePrevious = true;
    }
    return result;
}
