#include <gtest/gtest.h>

#include "platform/gdi/elliptic_region.h"
#include "platform/gdi/region_paint.h"
#include "tests/platform/gdi/surface_fixture.h"

namespace {

int Area(const Region& r) {
    int area = 0;
    for (const TRect& rect : r.Rects()) area += rect.Width() * rect.Height();
    return area;
}

TEST(EllipticRegion, FillsTheRectangleLessItsLastColumnAndRow) {
    // A 29 x 29 picture is covered edge to edge by (0, 0, 30, 30).
    const Region circle = EllipticRegion(0, 0, 30, 30);
    EXPECT_EQ(circle.Box(), (TRect{0, 0, 29, 29}));
    EXPECT_TRUE(circle.Contains(14, 0));
    EXPECT_TRUE(circle.Contains(0, 14));
    EXPECT_TRUE(circle.Contains(28, 14));
    EXPECT_TRUE(circle.Contains(14, 28));
    EXPECT_FALSE(circle.Contains(0, 0));
    EXPECT_FALSE(circle.Contains(28, 28));
    // Symmetric both ways, and close to pi r squared.
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 29; ++x) {
            EXPECT_EQ(circle.Contains(x, y), circle.Contains(28 - x, y)) << x << "," << y;
            EXPECT_EQ(circle.Contains(x, y), circle.Contains(x, 28 - y)) << x << "," << y;
        }
    EXPECT_NEAR(Area(circle), 3.14159 * 14.5 * 14.5, 20);
    // Corners in any order; a flat or inverted box gives nothing.
    EXPECT_EQ(EllipticRegion(30, 30, 0, 0), circle);
    EXPECT_TRUE(EllipticRegion(0, 0, 1, 10).Empty());
    const Region wide = EllipticRegion(10, 5, 51, 16);
    EXPECT_EQ(wide.Box(), (TRect{10, 5, 50, 15}));
}

TEST(EllipticRegion, FrameRgnPaintsTheInsideEdge) {
    TestSurface s(40, 40);
    HRGN rgn = CreateEllipticRgn(5, 5, 35, 35);
    HBRUSH black = CreateSolidBrush(kBlack);
    ASSERT_TRUE(FrameRgn(s.dc, rgn, black, 1, 1));
    EXPECT_EQ(s.At(19, 5), kBlack);   // top
    EXPECT_EQ(s.At(19, 6), kWhite);   // one in
    EXPECT_EQ(s.At(5, 19), kBlack);   // left
    EXPECT_EQ(s.At(33, 19), kBlack);  // right, inside the box (34 is outside)
    EXPECT_EQ(s.At(34, 19), kWhite);
    EXPECT_EQ(s.At(19, 19), kWhite);  // the middle stays
    EXPECT_EQ(s.At(5, 5), kWhite);    // the corner is not the region's
    EXPECT_EQ(s.InkBox(kWhite), (TRect{5, 5, 34, 34}));
    ASSERT_TRUE(FillRgn(s.dc, rgn, black));
    EXPECT_EQ(s.Count(TRect{0, 0, 40, 40}, kBlack), Area(rgn->region));
    DeleteObject(black);
    DeleteObject(rgn);
}

}  // namespace
