#include <gtest/gtest.h>

#include "surface_fixture.h"

TEST(Draw, FillRectIsClippedToSurfaceAndClipRegion) {
    TestSurface s(20, 20);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    IntersectClipRect(s.dc, 5, 5, 15, 15);
    ExcludeClipRect(s.dc, 8, 8, 10, 10);
    FillRect(s.dc, TRect{-10, -10, 30, 30}, red);
    EXPECT_EQ(s.Count(TRect{0, 0, 20, 20}, RGB(255, 0, 0)), 100 - 4);
    EXPECT_EQ(s.At(4, 4), kWhite);
    EXPECT_EQ(s.At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(s.At(8, 8), kWhite);
    EXPECT_TRUE(RectVisible(s.dc, TRect{0, 0, 6, 6}));
    EXPECT_FALSE(RectVisible(s.dc, TRect{8, 8, 10, 10}));
    EXPECT_FALSE(RectVisible(s.dc, TRect{0, 0, 5, 5}));
    SelectClipRgn(s.dc, nullptr);
    EXPECT_TRUE(RectVisible(s.dc, TRect{0, 0, 5, 5}));
    DeleteObject(red);
}

TEST(Draw, ClipRegionFollowsSaveAndRestore) {
    TestSurface s(20, 20);
    int level = SaveDC(s.dc);
    IntersectClipRect(s.dc, 0, 0, 5, 5);
    SetTextColor(s.dc, RGB(1, 2, 3));
    HRGN current = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(s.dc, current), 1);
    RestoreDC(s.dc, level);
    EXPECT_EQ(GetClipRgn(s.dc, current), 0);
    EXPECT_EQ(GetTextColor(s.dc), 0u);
    EXPECT_FALSE(RestoreDC(s.dc, 1));  // nothing saved any more
    DeleteObject(current);
}

TEST(Draw, WindowOriginMovesDrawingAndClipRectsButNotClipRegions) {
    TestSurface s(20, 20);
    SetWindowOrgEx(s.dc, 5, 5, nullptr);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    FillRect(s.dc, TRect{5, 5, 7, 7}, black);
    EXPECT_EQ(s.At(0, 0), kBlack);
    EXPECT_EQ(s.At(2, 2), kWhite);
    // A region is in device units: (0,0)-(3,3) stays at the surface's corner.
    HRGN r = CreateRectRgn(0, 0, 3, 3);
    SelectClipRgn(s.dc, r);
    FillRect(s.dc, TRect{0, 0, 40, 40}, black);
    EXPECT_EQ(s.Count(TRect{0, 0, 20, 20}, kBlack), 9);
    DeleteObject(r);
}

TEST(Draw, PatternBrushIsAlignedToTheDeviceOrigin) {
    // Rows of 1-bit pixels padded to 16 bits: a checkerboard, white bits at odd x on row 0.
    uint8_t rows[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH brush = CreatePatternBrush(pattern);
    TestSurface s(16, 16);
    SetTextColor(s.dc, kBlack);
    SetBkColor(s.dc, kWhite);
    FillRect(s.dc, TRect{0, 0, 16, 16}, brush);
    COLORREF first = s.At(0, 0);
    EXPECT_EQ(first, kBlack);  // black bits take the text colour
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(s.At(x, y), ((x + y) % 2 == 0) ? first : (first == kBlack ? kWhite : kBlack));
    // A fill that starts at an odd place keeps the same phase on the surface.
    TestSurface t(16, 16, RGB(0, 255, 0));
    SetTextColor(t.dc, kBlack);
    SetBkColor(t.dc, kWhite);
    FillRect(t.dc, TRect{3, 5, 9, 11}, brush);
    for (int y = 5; y < 11; ++y)
        for (int x = 3; x < 9; ++x) EXPECT_EQ(t.At(x, y), s.At(x, y));
    // The brush origin shifts the phase.
    SetBrushOrgEx(t.dc, 1, 0, nullptr);
    FillRect(t.dc, TRect{0, 0, 2, 1}, brush);
    EXPECT_EQ(t.At(1, 0), s.At(0, 0));
    DeleteObject(brush);
    DeleteObject(pattern);
}

TEST(Draw, LineLeavesOutItsLastPixelAndRop2Applies) {
    TestSurface s(10, 10);
    MoveToEx(s.dc, 1, 1, nullptr);
    LineTo(s.dc, 6, 1);
    EXPECT_EQ(s.Count(TRect{0, 0, 10, 10}, kBlack), 5);
    EXPECT_EQ(s.At(6, 1), kWhite);
    SetROP2(s.dc, R2_NOT);
    MoveToEx(s.dc, 1, 1, nullptr);
    LineTo(s.dc, 3, 1);
    EXPECT_EQ(s.At(1, 1), kWhite);
    EXPECT_EQ(s.At(2, 1), kWhite);
    EXPECT_EQ(s.At(3, 1), kBlack);
    HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(s.dc, red);
    SetROP2(s.dc, R2_XORPEN);
    MoveToEx(s.dc, 0, 5, nullptr);
    LineTo(s.dc, 0, 7);
    EXPECT_EQ(s.At(0, 5), RGB(0, 255, 255));
    LineTo(s.dc, 0, 5);  // back over the same pixels, excluding (0,5)
    EXPECT_EQ(s.At(0, 6), kWhite);
    SelectObject(s.dc, old);
    DeleteObject(red);
}

TEST(Draw, DottedPenAlternatesInBackgroundColourWhenOpaque) {
    TestSurface s(20, 3, RGB(0, 255, 0));
    HPEN dot = CreatePen(PS_DOT, 1, kBlack);
    HGDIOBJ old = SelectObject(s.dc, dot);
    SetBkColor(s.dc, RGB(255, 0, 0));
    MoveToEx(s.dc, 0, 1, nullptr);
    LineTo(s.dc, 12, 1);
    EXPECT_EQ(s.At(0, 1), kBlack);
    EXPECT_EQ(s.At(3, 1), RGB(255, 0, 0));
    SetBkMode(s.dc, TRANSPARENT);
    MoveToEx(s.dc, 0, 2, nullptr);
    LineTo(s.dc, 12, 2);
    EXPECT_EQ(s.At(3, 2), RGB(0, 255, 0));
    SelectObject(s.dc, old);
    DeleteObject(dot);
}

TEST(Draw, ShapesFillInsideTheirPenOutline) {
    TestSurface s(30, 30);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ oldBrush = SelectObject(s.dc, red);
    Rectangle(s.dc, 2, 2, 12, 8);
    EXPECT_EQ(s.At(2, 2), kBlack);
    EXPECT_EQ(s.At(11, 7), kBlack);
    EXPECT_EQ(s.At(12, 8), kWhite);
    EXPECT_EQ(s.At(3, 3), RGB(255, 0, 0));
    EXPECT_EQ(s.Count(TRect{0, 0, 30, 10}, RGB(255, 0, 0)), 8 * 4);
    Ellipse(s.dc, 10, 10, 30, 30);
    EXPECT_EQ(s.At(20, 20), RGB(255, 0, 0));
    EXPECT_EQ(s.At(10, 10), kWhite);  // corners stay outside
    EXPECT_EQ(s.At(29, 29), kWhite);
    EXPECT_EQ(s.At(10, 20), kBlack);  // the outline touches the box's sides
    EXPECT_EQ(s.At(29, 19), kBlack);
    EXPECT_EQ(s.InkBox(kWhite), (TRect{2, 2, 30, 30}));
    SelectObject(s.dc, oldBrush);
    DeleteObject(red);
}

TEST(Draw, PartlyVisibleShapesAreClipped) {
    TestSurface s(20, 20);
    IntersectClipRect(s.dc, 0, 0, 10, 20);
    Ellipse(s.dc, 0, 0, 20, 20);
    Rectangle(s.dc, -5, 15, 30, 18);
    for (int y = 0; y < 20; ++y)
        for (int x = 10; x < 20; ++x) ASSERT_EQ(s.At(x, y), kWhite) << x << "," << y;
    EXPECT_EQ(s.At(0, 10), kBlack);
    EXPECT_EQ(s.At(5, 15), kBlack);
}

TEST(Draw, PolygonFillsBetweenEdges) {
    TestSurface s(20, 20);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ old = SelectObject(s.dc, blue);
    HGDIOBJ oldPen = SelectObject(s.dc, GetStockObject(NULL_PEN));
    TPoint tri[3] = {{0, 0}, {10, 0}, {0, 10}};
    Polygon(s.dc, tri, 3);
    EXPECT_EQ(s.At(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(s.At(8, 8), kWhite);
    int n = s.Count(TRect{0, 0, 20, 20}, RGB(0, 0, 255));
    EXPECT_GT(n, 40);
    EXPECT_LT(n, 60);
    SelectObject(s.dc, old);
    SelectObject(s.dc, oldPen);
    DeleteObject(blue);
}

TEST(Draw, FocusRectDrawnTwiceGivesThePixelsBack) {
    TestSurface s(20, 20);
    HBRUSH red = CreateSolidBrush(RGB(200, 10, 30));
    FillRect(s.dc, TRect{0, 0, 10, 20}, red);
    std::vector<uint32_t> before = s.bitmap->pixels;
    SetTextColor(s.dc, kBlack);
    SetBkColor(s.dc, kWhite);
    DrawFocusRect(s.dc, TRect{2, 2, 15, 12});
    EXPECT_NE(s.bitmap->pixels, before);
    // Dotted: neighbours along the frame differ.
    EXPECT_NE(s.At(12, 2), s.At(13, 2));
    EXPECT_EQ(s.At(5, 5), RGB(200, 10, 30));
    DrawFocusRect(s.dc, TRect{2, 2, 15, 12});
    EXPECT_EQ(s.bitmap->pixels, before);
    DeleteObject(red);
}

TEST(Draw, ObjectsDeletedWhileSelectedLiveUntilDeselected) {
    TestSurface s(4, 4);
    HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
    HGDIOBJ old = SelectObject(s.dc, b);
    EXPECT_TRUE(DeleteObject(b));
    Rectangle(s.dc, 0, 0, 4, 4);  // still usable
    EXPECT_EQ(s.At(1, 1), RGB(1, 2, 3));
    SelectObject(s.dc, old);  // frees it now (the sanitizer build checks there is no leak)
}

TEST(Draw, PixelsOutsideTheSurfaceReadAsInvalid) {
    TestSurface s(4, 4);
    EXPECT_EQ(SetPixel(s.dc, 1, 1, RGB(9, 8, 7)), RGB(9, 8, 7));
    EXPECT_EQ(GetPixel(s.dc, 1, 1), RGB(9, 8, 7));
    EXPECT_EQ(GetPixel(s.dc, 4, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(s.dc, -1, 0), CLR_INVALID);
    SetPixel(s.dc, 100, 100, 0);  // ignored
}

TEST(Draw, HugeCoordinatesCostNoMoreThanTheSurface) {
    TestSurface s(20, 20);
    MoveToEx(s.dc, -1000000000, -1000000000, nullptr);
    LineTo(s.dc, 1000000000, 1000000000);
    EXPECT_EQ(s.At(5, 5), kBlack);
    EXPECT_EQ(s.At(5, 6), kWhite);
    Ellipse(s.dc, -2000000, -2000000, 2000000, 2000000);  // the inside covers the surface
    EXPECT_EQ(s.At(10, 10), kWhite);
    HGDIOBJ old = SelectObject(s.dc, GetStockObject(BLACK_BRUSH));
    TPoint big[3] = {{-100000000, -100000000}, {100000000, -100000000}, {0, 100000000}};
    Polygon(s.dc, big, 3);
    EXPECT_EQ(s.Count(TRect{0, 0, 20, 20}, kBlack), 400);
    SelectObject(s.dc, old);
}
