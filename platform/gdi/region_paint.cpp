#include "platform/gdi/region_paint.h"

#include "platform/gdi/draw.h"

bool FillRgn(HDC dc, HRGN rgn, HBRUSH brush) {
    if (!dc || !rgn || !brush) return false;
    for (const TRect& r : rgn->region.Rects()) FillRect(dc, r, brush);
    return true;
}

bool FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int width, int height) {
    if (!dc || !rgn || !brush || width < 1 || height < 1) return false;
    // The frame is what the region loses when it shrinks by the frame's width and height.
    const Region& whole = rgn->region;
    Region inner = whole;
    for (const TPoint shift : {TPoint{width, 0}, TPoint{-width, 0}, TPoint{0, height}, TPoint{0, -height}}) {
        Region moved = whole;
        moved.Offset(shift.X, shift.Y);
        inner = Region::Combine(inner, moved, RegionOp::And);
    }
    const Region frame = Region::Combine(whole, inner, RegionOp::Diff);
    for (const TRect& r : frame.Rects()) FillRect(dc, r, brush);
    return true;
}
