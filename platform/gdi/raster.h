#pragma once
// The pixel writer under every drawing call: horizontal spans and rectangles in surface
// coordinates, clipped to the context's clip rectangles, painted with a colour or an 8x8
// pattern through a binary raster operation. Internal to the drawing layer.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/gdi/device_context.h"

struct Paint {
    bool pattern = false;
    uint32_t color = 0;        // pixel value when not a pattern
    uint32_t pat[64] = {};     // pixels of the pattern, row by row
    uint64_t patMask = ~0ull;  // bit y*8+x clear: that pattern pixel is not drawn
    int orgX = 0;              // surface position of pattern pixel (0, 0)
    int orgY = 0;
    int rop2 = R2_COPYPEN;
};

uint32_t Rop2Pixel(int rop2, uint32_t pen, uint32_t dst);
// Ternary raster operation: bit (P<<2 | S<<1 | D) of code gives each result bit.
uint32_t Rop3Pixel(uint8_t code, uint32_t p, uint32_t s, uint32_t d);

// The pixel a colour becomes on a surface: monochrome surfaces take black or white.
uint32_t SurfacePixel(const GdiBitmap* surface, COLORREF color);

class Raster {
public:
    explicit Raster(HDC dc);
    bool Valid() const { return surface_ != nullptr && !clip_.empty(); }
    GdiBitmap* Surface() const { return surface_; }
    TPoint Offset() const { return offset_; }
    const std::vector<TRect>& Clip() const { return clip_; }
    // Narrow the clip to a rectangle in surface coordinates (for clipped text).
    void IntersectClip(const TRect& surfaceRect);

    void FillRect(const TRect& surfaceRect, const Paint& paint);
    void Span(int y, int x0, int x1, const Paint& paint);
    void Pixel(int x, int y, const Paint& paint) { Span(y, x, x + 1, paint); }

    Paint Solid(COLORREF color, int rop2) const;
    Paint Solid(COLORREF color) const { return Solid(color, rop2_); }
    // Paint of the selected brush (or of the given one); none for a hollow brush.
    std::optional<Paint> BrushPaint(HBRUSH brush) const;
    std::optional<Paint> BrushPaint() const { return BrushPaint(dc_->State().brush); }

private:
    void SpanUnclipped(uint32_t* row, int y, int x0, int x1, const Paint& paint);

    HDC dc_;
    GdiBitmap* surface_;
    TPoint offset_;
    int rop2_;
    std::vector<TRect> clip_;
};
