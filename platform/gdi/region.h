#pragma once
// A region as a list of disjoint rectangles in y-x bands (sorted by top, then left; the
// rectangles of one band share top and bottom). Combining keeps that form, so two regions
// covering the same pixels hold the same list.

#include <vector>

#include "platform/gdi/geometry.h"

enum class RegionOp { And, Or, Xor, Diff, Copy };

class Region {
public:
    Region() = default;
    explicit Region(const TRect& r);

    const std::vector<TRect>& Rects() const { return rects_; }
    bool Empty() const { return rects_.empty(); }
    TRect Box() const;
    bool Contains(int x, int y) const;
    bool Intersects(const TRect& r) const;
    void Offset(int dx, int dy);

    static Region Combine(const Region& a, const Region& b, RegionOp op);
    Region Intersect(const TRect& r) const { return Combine(*this, Region(r), RegionOp::And); }

    friend bool operator==(const Region&, const Region&) = default;

private:
    std::vector<TRect> rects_;
};
