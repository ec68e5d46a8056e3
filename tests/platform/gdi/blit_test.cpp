#include <gtest/gtest.h>

#include "surface_fixture.h"

TEST(Blit, RasterOperationsCombineSourceAndDestination) {
    struct Case {
        uint32_t rop;
        COLORREF expected;
    };
    const COLORREF src = RGB(0xF0, 0x0F, 0x33), dst = RGB(0x3C, 0x3C, 0x55);
    const Case cases[] = {
        {SRCCOPY, src},         {SRCAND, src & dst},          {SRCPAINT, src | dst},
        {SRCINVERT, src ^ dst}, {DSTINVERT, ~dst & 0xFFFFFF}, {BLACKNESS, 0},
        {WHITENESS, 0xFFFFFF},  {PATCOPY, RGB(1, 2, 3)},      {PATINVERT, RGB(1, 2, 3) ^ dst},
        {0x00E20746, src},  // where the source is set, the pattern; elsewhere the destination
    };
    for (const Case& c : cases) {
        TestSurface from(4, 4, src), to(4, 4, dst);
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        HGDIOBJ old = SelectObject(to.dc, brush);
        BitBlt(to.dc, 0, 0, 4, 4, from.dc, 0, 0, c.rop);
        SCOPED_TRACE(testing::Message() << std::hex << c.rop);
        if (c.rop == 0x00E20746) {
            // per bit: S ? P : D
            COLORREF e = (src & RGB(1, 2, 3)) | (~src & dst & 0xFFFFFF);
            EXPECT_EQ(to.At(2, 2), e);
        } else {
            EXPECT_EQ(to.At(2, 2), c.expected);
        }
        SelectObject(to.dc, old);
        DeleteObject(brush);
    }
}

TEST(Blit, MonochromeConversionsUseTheContextColours) {
    TestSurface colour(4, 1);
    colour.bitmap->Row(0)[0] = ColorToPixel(RGB(255, 0, 255));
    colour.bitmap->Row(0)[1] = ColorToPixel(RGB(10, 10, 10));
    HBITMAP monoBmp = CreateBitmap(4, 1, 1, 1, nullptr);
    HDC mono = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mono, monoBmp);
    SetBkColor(colour.dc, RGB(255, 0, 255));
    BitBlt(mono, 0, 0, 4, 1, colour.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(monoBmp->Row(0)[0], 0xFFFFFFu);  // the background colour becomes white
    EXPECT_EQ(monoBmp->Row(0)[1], 0u);
    TestSurface back(4, 1);
    SetTextColor(back.dc, RGB(0, 0, 255));
    SetBkColor(back.dc, RGB(0, 255, 0));
    BitBlt(back.dc, 0, 0, 4, 1, mono, 0, 0, SRCCOPY);
    EXPECT_EQ(back.At(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(back.At(1, 0), RGB(0, 0, 255));
    SelectObject(mono, old);
    DeleteDC(mono);
    DeleteObject(monoBmp);
}

TEST(Blit, ClippedToSourceAndDestination) {
    TestSurface src(4, 4, RGB(255, 0, 0));
    TestSurface dst(10, 10);
    BitBlt(dst.dc, 8, -2, 6, 6, src.dc, -1, 0, SRCCOPY);
    // Destination columns 8..9 map to source columns -1..0: only column 9 has a source.
    EXPECT_EQ(dst.At(8, 0), kWhite);
    EXPECT_EQ(dst.At(9, 0), RGB(255, 0, 0));
    EXPECT_EQ(dst.At(9, 1), RGB(255, 0, 0));
    EXPECT_EQ(dst.At(9, 2), kWhite);  // source rows end at 3 (destination row 1)
    EXPECT_EQ(dst.Count(TRect{0, 0, 10, 10}, RGB(255, 0, 0)), 2);
}

TEST(Blit, StretchScalesAndMirrors) {
    TestSurface src(2, 1);
    src.bitmap->Row(0)[0] = ColorToPixel(RGB(255, 0, 0));
    src.bitmap->Row(0)[1] = ColorToPixel(RGB(0, 0, 255));
    TestSurface dst(4, 2);
    StretchBlt(dst.dc, 0, 0, 4, 2, src.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(dst.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(dst.At(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(dst.At(2, 0), RGB(0, 0, 255));
    TestSurface mir(2, 1);
    StretchBlt(mir.dc, 2, 0, -2, 1, src.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(mir.At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(mir.At(1, 0), RGB(255, 0, 0));
}

TEST(Blit, PatBltWithHatchBrushKeepsGapsWhenTransparent) {
    TestSurface s(8, 8, RGB(0, 255, 0));
    HBRUSH hatch = CreateHatchBrush(HS_HORIZONTAL, kBlack);
    HGDIOBJ old = SelectObject(s.dc, hatch);
    SetBkMode(s.dc, TRANSPARENT);
    PatBlt(s.dc, 0, 0, 8, 8, PATCOPY);
    EXPECT_EQ(s.Count(TRect{0, 0, 8, 8}, kBlack), 8);
    EXPECT_EQ(s.Count(TRect{0, 0, 8, 8}, RGB(0, 255, 0)), 56);
    SelectObject(s.dc, old);
    DeleteObject(hatch);
}
