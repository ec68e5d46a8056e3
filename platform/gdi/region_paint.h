#pragma once
// Painting regions with a brush: the whole region, or a frame along its inside edge.

#include "platform/gdi/device_context.h"

bool FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
// Paints the pixels of the region that lie within `width` pixels (sideways) or `height`
// pixels (up and down) of its outside.
bool FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int width, int height);
