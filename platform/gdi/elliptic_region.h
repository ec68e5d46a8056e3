#pragma once
// Elliptic regions: the pixels whose centres lie inside the ellipse that fills the bounding
// rectangle less its right column and bottom row, as the window system makes them (so
// (0, 0, w + 1, h + 1) covers a w x h picture edge to edge).

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"

// The region itself; empty when the rectangle is less than one pixel each way.
Region EllipticRegion(int left, int top, int right, int bottom);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(const TRect& r);
