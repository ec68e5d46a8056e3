#pragma once
// A colour bitmap selected into a memory context, filled white, for pixel probes.

#include <string>

#include "platform/gdi/gdi.h"

struct TestSurface {
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ previous;
    TestSurface(int w, int h, COLORREF fill = RGB(255, 255, 255)) {
        bitmap = CreateBitmap(w, h, 1, 32, nullptr);
        dc = CreateCompatibleDC(nullptr);
        previous = SelectObject(dc, bitmap);
        for (auto& p : bitmap->pixels) p = ColorToPixel(fill);
    }
    ~TestSurface() {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    TestSurface(const TestSurface&) = delete;
    TestSurface& operator=(const TestSurface&) = delete;
    COLORREF At(int x, int y) const { return PixelToColor(bitmap->Row(y)[x]); }
    // Number of pixels of a colour in a rectangle.
    int Count(const TRect& r, COLORREF c) const {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) n += At(x, y) == c;
        return n;
    }
    // The rectangle bounding every pixel that is not `background`.
    TRect InkBox(COLORREF background) const {
        TRect box{bitmap->width, bitmap->height, -1, -1};
        for (int y = 0; y < bitmap->height; ++y)
            for (int x = 0; x < bitmap->width; ++x)
                if (At(x, y) != background) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box.Right < 0 ? TRect{} : box;
    }
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
