// Contexts on a part of a shared surface, as the window layer makes them for child windows.
#include <gtest/gtest.h>

#include "surface_fixture.h"

TEST(SurfaceDC, DrawsAtItsOriginInsideItsSystemClip) {
    TestSurface back(40, 40);
    HDC child = CreateSurfaceDC(back.bitmap, Point(10, 20), Region(TRect{10, 20, 30, 30}));
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    FillRect(child, TRect{-5, -5, 100, 100}, black);
    EXPECT_EQ(back.InkBox(kWhite), (TRect{10, 20, 30, 30}));
    TRect box;
    EXPECT_EQ(GetClipBox(child, &box), SIMPLEREGION);
    EXPECT_EQ(box, (TRect{0, 0, 20, 10}));
    EXPECT_TRUE(RectVisible(child, TRect{19, 9, 25, 25}));
    EXPECT_FALSE(RectVisible(child, TRect{20, 0, 25, 5}));
    EXPECT_EQ(GetPixel(child, 0, 0), kBlack);
    EXPECT_EQ(GetPixel(child, 25, 0), CLR_INVALID);
    // A selected clip region is in the child's device coordinates.
    HRGN r = CreateRectRgn(0, 0, 2, 2);
    SelectClipRgn(child, r);
    FillRect(child, TRect{0, 0, 40, 40}, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(back.At(10, 20), kWhite);
    EXPECT_EQ(back.At(12, 22), kBlack);
    DeleteObject(r);
    // The window layer moves and re-clips a context when the window moves.
    child->SetOrigin(Point(0, 0));
    child->SetSystemClip(Region(TRect{0, 0, 5, 5}));
    SelectClipRgn(child, nullptr);
    FillRect(child, TRect{0, 0, 40, 40}, black);
    EXPECT_EQ(back.At(4, 4), kBlack);
    EXPECT_EQ(back.At(5, 5), kWhite);
    DeleteDC(child);
}

TEST(SurfaceDC, PatternsAlignToEachContextsOwnOrigin) {
    uint8_t rows[16] = {0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // one white dot
    HBITMAP dot = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH brush = CreatePatternBrush(dot);
    TestSurface back(40, 40);
    HDC child = CreateSurfaceDC(back.bitmap, Point(3, 5), std::nullopt);
    SetTextColor(child, kWhite);
    SetBkColor(child, kBlack);
    FillRect(child, TRect{0, 0, 16, 16}, brush);
    EXPECT_EQ(back.At(3, 5), kBlack);  // the dot sits at the child's (0, 0)
    EXPECT_EQ(back.At(11, 13), kBlack);
    EXPECT_EQ(back.At(4, 5), kWhite);
    DeleteDC(child);
    DeleteObject(brush);
    DeleteObject(dot);
}

TEST(SurfaceDC, SaveAndRestoreBringBackSelectedObjectsAndOrigins) {
    TestSurface s(10, 10);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    int level = SaveDC(s.dc);
    SelectObject(s.dc, red);
    SetViewportOrgEx(s.dc, 2, 2, nullptr);
    SetBkMode(s.dc, TRANSPARENT);
    SetROP2(s.dc, R2_XORPEN);
    SaveDC(s.dc);
    RestoreDC(s.dc, level);  // back past both saves
    EXPECT_EQ(GetCurrentObject(s.dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    TPoint vp;
    GetViewportOrgEx(s.dc, &vp);
    EXPECT_EQ(vp, Point(0, 0));
    EXPECT_EQ(GetBkMode(s.dc), OPAQUE);
    EXPECT_EQ(GetROP2(s.dc), R2_COPYPEN);
    DeleteObject(red);
}

TEST(SurfaceDC, TextAlignmentAnchorsTheReferencePoint) {
    TestSurface a(60, 30), b(60, 30);
    int w = TextPixelWidth(a.dc, "Hi");
    SetTextAlign(a.dc, TA_RIGHT | TA_BASELINE);
    TextOut(a.dc, 40, 20, "Hi");
    TextOut(b.dc, 40 - w, 20 - 11, "Hi");
    EXPECT_EQ(a.bitmap->pixels, b.bitmap->pixels);
    TestSurface c(60, 30), d(60, 30);
    SetTextAlign(c.dc, TA_CENTER | TA_BOTTOM);
    TextOut(c.dc, 30, 20, "Hi");
    TextOut(d.dc, 30 - w / 2, 20 - 13, "Hi");
    EXPECT_EQ(c.bitmap->pixels, d.bitmap->pixels);
}

TEST(SurfaceDC, MonochromeSurfacesTakeBlackOrWhite) {
    HBITMAP mono = CreateBitmap(4, 4, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP compatible = CreateCompatibleBitmap(dc, 2, 2);
    EXPECT_TRUE(compatible->monochrome);  // before a bitmap is selected
    DeleteObject(compatible);
    HGDIOBJ old = SelectObject(dc, mono);
    HBRUSH light = CreateSolidBrush(RGB(200, 200, 200));
    HBRUSH dark = CreateSolidBrush(RGB(100, 100, 100));
    FillRect(dc, TRect{0, 0, 2, 4}, light);
    FillRect(dc, TRect{2, 0, 4, 4}, dark);
    EXPECT_EQ(mono->Row(0)[0], 0xFFFFFFu);
    EXPECT_EQ(mono->Row(0)[3], 0u);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(light);
    DeleteObject(dark);
    DeleteObject(mono);
}
