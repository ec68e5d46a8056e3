#include "controls/draw_utils.h"

#include <gtest/gtest.h>

namespace {

struct Surface {
    TBitmap bitmap;
    HDC dc;
    Surface(int w, int h, TColor fill = clWhite) : bitmap(w, h) {
        bitmap.Canvas()->Brush()->SetColor(fill);
        bitmap.Canvas()->FillRect(Rect(0, 0, w, h));
        dc = bitmap.Canvas()->Handle();
    }
    COLORREF At(int x, int y) const { return bitmap.Pixel(x, y); }
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

}  // namespace

TEST(AdjustPopupPosition, KeepsThePopupOnTheWorkArea) {
    TPoint p{-20, 100};
    int width = 200;
    AdjustPopupPosition(p, width, 100, 20);
    EXPECT_EQ(p, Point(0, 100));
    p = {900, 100};
    AdjustPopupPosition(p, width, 100, 20);
    EXPECT_EQ(p, Point(824, 100));
    EXPECT_EQ(width, 200);
    // Wider than the work area: narrowed to it, its start on the work area's left edge.
    p = {10, 100};
    width = 1100;
    AdjustPopupPosition(p, width, 100, 20);
    EXPECT_EQ(p, Point(0, 100));
    EXPECT_EQ(width, 1024);
    // Too low: more room above the owner than below, so it flips above.
    p = {10, 700};
    width = 100;
    AdjustPopupPosition(p, width, 150, 20);
    EXPECT_EQ(p, Point(10, 700 - 170));
    // Too low but even less room above: stays.
    p = {10, 120};
    AdjustPopupPosition(p, width, 700, 20);
    EXPECT_EQ(p, Point(10, 120));
    TRect wa;
    GetWorkArea(Point(5000, 5000), wa);
    EXPECT_EQ(wa, (TRect{0, 0, 1024, 738}));
}

TEST(DrawTextInRect, MeasuresText) {
    Surface s(100, 60);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    int h = -1;
    EXPECT_EQ(
        DrawTextInRect(s.dc, "", &h, 0, 0xFFFFFF, font, nullptr, vxdtMeasure, Rect(2, 2, 98, 20), Rect(0, 0, 100, 22)),
        0);
    // One line: the fill rectangle's margins (4) plus the line.
    EXPECT_EQ(DrawTextInRect(s.dc, "Text", &h, 0, 0xFFFFFF, font, nullptr, vxdtMeasure, Rect(2, 2, 98, 20),
                             Rect(0, 0, 100, 24)),
              6 + 13);
    EXPECT_EQ(h, 13);
    // Word wrap in a narrow rectangle: three lines.
    EXPECT_EQ(DrawTextInRect(s.dc, "eins zwei drei", &h, 0, 0xFFFFFF, font, nullptr, vxdtMeasure | vxdtWordWrap,
                             Rect(0, 0, 30, 13), Rect(0, 0, 30, 13)),
              3 * 13);
    EXPECT_EQ(h, 39);
    EXPECT_EQ(s.bitmap.Canvas()->Pixels(1, 1), clWhite);  // measuring draws nothing
}

TEST(DrawTextInRect, DrawsSingleLinesWhereTheFlagsSay) {
    Surface plain(100, 20), right(100, 20), centred(100, 20), noFill(100, 20, clLime);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    TRect text{10, 2, 90, 18}, fill{0, 0, 100, 20};
    DrawTextInRect(plain.dc, "I", nullptr, 0, RGB(255, 0, 0), nullptr, red, 0, text, fill);
    // Opaque: the whole fill rectangle takes the background colour; the "I" starts at 10.
    EXPECT_EQ(plain.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(plain.At(10, 2 + 3), kBlack);
    DrawTextInRect(right.dc, "I", nullptr, 0, RGB(255, 0, 0), nullptr, red, vxdtRight, text, fill);
    EXPECT_EQ(right.At(90 - 2, 5), kBlack);  // the I's one column, then its gap
    DrawTextInRect(centred.dc, "I", nullptr, 0, RGB(255, 0, 0), nullptr, red, vxdtCenter | vxdtVCenter, text, fill);
    EXPECT_EQ(centred.At((10 + 90 - 2) / 2, (2 + 18 - 13) / 2 + 3), kBlack);
    DrawTextInRect(noFill.dc, "I", nullptr, 0, RGB(255, 0, 0), nullptr, red, vxdtNoFill, text, fill);
    EXPECT_EQ(noFill.At(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(noFill.At(11, 5), RGB(0, 255, 0));  // transparent text background
    DeleteObject(red);
}

TEST(DrawTextInRect, FocusRectangleAroundTextOnly) {
    Surface s(100, 20);
    HBRUSH white = CreateSolidBrush(kWhite);
    TRect text{10, 2, 90, 18}, fill{0, 0, 100, 20};
    DrawTextInRect(s.dc, "II", nullptr, 0, kWhite, nullptr, white, vxdtFocusRect | vxdtFocusTextOnly, text, fill);
    // Text bounds (10,2)-(14,15) inflated by one: the dotted frame starts at (9,1).
    EXPECT_EQ(s.At(9, 1), kBlack);
    EXPECT_EQ(s.At(20, 1), kWhite);
    Surface empty(100, 20);
    DrawTextInRect(empty.dc, "", nullptr, 0, kWhite, nullptr, white, vxdtFocusRect | vxdtFocusTextOnly, text, fill);
    EXPECT_EQ(empty.At(9, 1), kWhite);
    DeleteObject(white);
}

TEST(DrawUtils, DitheredFillMixesEverySecondPixel) {
    for (int offset : {0, 1}) {
        Surface s(12, 12, clBlue);
        FillDitheredRect(s.dc, Rect(1 + offset, 1, 9 + offset, 9), clYellow);
        int yellow = 0, blue = 0;
        for (int y = 1; y < 9; ++y)
            for (int x = 1 + offset; x < 9 + offset; ++x) {
                COLORREF c = s.At(x, y);
                yellow += c == RGB(255, 255, 0);
                blue += c == RGB(0, 0, 255);
                EXPECT_EQ(c, ((x + y) % 2 == 0) ? RGB(255, 255, 0) : RGB(0, 0, 255)) << x << "," << y;
            }
        EXPECT_EQ(yellow, 32);
        EXPECT_EQ(blue, 32);
        EXPECT_EQ(s.At(0, 0), RGB(0, 0, 255));
    }
}

TEST(DrawUtils, GlyphsOnABrush) {
    TBitmap glyph(3, 3);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect(Rect(0, 0, 3, 3));
    glyph.SetPixel(1, 1, RGB(0, 0, 0));
    HBRUSH green = CreateSolidBrush(RGB(0, 128, 0));
    Surface s(10, 10);
    DrawBitmapOnBrush(s.dc, green, Rect(2, 2, 5, 5), &glyph);
    EXPECT_EQ(s.At(2, 2), RGB(0, 128, 0));
    EXPECT_EQ(s.At(3, 3), kBlack);
    EXPECT_EQ(s.At(5, 5), kWhite);
    Surface t(10, 10);
    DrawGlyphInRect(t.dc, green, Rect(1, 1, 9, 9), &glyph, Rect(4, 4, 7, 7));
    EXPECT_EQ(t.At(1, 1), RGB(0, 128, 0));
    EXPECT_EQ(t.At(5, 5), kBlack);
    EXPECT_EQ(t.At(4, 4), RGB(0, 128, 0));
    EXPECT_EQ(t.At(9, 9), kWhite);
    FillShadowStrips(t.dc, Rect(0, 0, 10, 10), 2, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(t.At(9, 0), kBlack);
    EXPECT_EQ(t.At(0, 9), kBlack);
    EXPECT_EQ(t.At(7, 7), RGB(0, 128, 0));
    DeleteObject(green);
}

TEST(DrawUtils, SizeGripIsMirroredIntoEachCorner) {
    Surface corners[4] = {Surface(20, 20), Surface(20, 20), Surface(20, 20), Surface(20, 20)};
    for (int c = 0; c < 4; ++c) DrawSizeGrip(corners[c].dc, Rect(0, 0, 20, 20), c);
    // Bottom-right: the outer strips are face, the grip's highlight diagonal near the corner.
    const Surface& br = corners[3];
    EXPECT_EQ(br.At(19, 10), RGB(192, 192, 192));
    EXPECT_EQ(br.At(10, 19), RGB(192, 192, 192));
    EXPECT_EQ(br.At(3, 3), kWhite);  // outside the 16x16 square
    for (int y = 4; y < 20; ++y)
        for (int x = 4; x < 20; ++x) {
            EXPECT_EQ(corners[2].At(19 - x, y), br.At(x, y));  // left corners mirror horizontally
            EXPECT_EQ(corners[1].At(x, 19 - y), br.At(x, y));  // top corners vertically
            EXPECT_EQ(corners[0].At(19 - x, 19 - y), br.At(x, y));
        }
}

TEST(DrawUtils, ImageListColoursAndBitmapSize) {
    EXPECT_EQ(GetImageListColor(clNone), CLR_NONE);
    EXPECT_EQ(GetImageListColor(clDefault), CLR_DEFAULT);
    EXPECT_EQ(GetImageListColor(clBtnFace), RGB(192, 192, 192));
    TBitmap b(10, 5);
    EnsureBitmapSize(&b, 4, 8);
    EXPECT_EQ(b.Width(), 10);
    EXPECT_EQ(b.Height(), 8);
    EnsureBitmapSize(nullptr, 4, 8);
}
