#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "platform/gdi/gdi.h"

TEST(Region, CombinesAsSetOperations) {
    Region a(TRect{0, 0, 10, 10});
    Region b(TRect{5, 5, 15, 15});
    Region both = Region::Combine(a, b, RegionOp::And);
    EXPECT_EQ(both.Rects(), (std::vector<TRect>{{5, 5, 10, 10}}));
    Region either = Region::Combine(a, b, RegionOp::Or);
    EXPECT_EQ(either.Box(), (TRect{0, 0, 15, 15}));
    EXPECT_TRUE(either.Contains(12, 12));
    EXPECT_FALSE(either.Contains(12, 2));
    Region diff = Region::Combine(a, b, RegionOp::Diff);
    EXPECT_TRUE(diff.Contains(2, 2));
    EXPECT_FALSE(diff.Contains(7, 7));
    Region x = Region::Combine(a, b, RegionOp::Xor);
    EXPECT_TRUE(x.Contains(2, 2));
    EXPECT_TRUE(x.Contains(12, 12));
    EXPECT_FALSE(x.Contains(7, 7));
    // The pixel count is exact: 100 + 100 - 2 * 25.
    int area = 0;
    for (const TRect& r : x.Rects()) area += r.Width() * r.Height();
    EXPECT_EQ(area, 150);
}

TEST(Region, SamePixelsGiveTheSameRectangleList) {
    Region left(TRect{0, 0, 5, 10});
    Region right(TRect{5, 0, 10, 10});
    EXPECT_EQ(Region::Combine(left, right, RegionOp::Or), Region(TRect{0, 0, 10, 10}));
    Region hole = Region::Combine(Region(TRect{0, 0, 10, 10}), Region(TRect{3, 3, 6, 6}), RegionOp::Diff);
    Region filled = Region::Combine(hole, Region(TRect{3, 3, 6, 6}), RegionOp::Or);
    EXPECT_EQ(filled, Region(TRect{0, 0, 10, 10}));
    EXPECT_TRUE(Region::Combine(hole, Region(TRect{3, 3, 6, 6}), RegionOp::And).Empty());
}

TEST(Region, HandleCallsReportTheRegionKind) {
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(20, 0, 30, 10);
    HRGN d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), NULLREGION);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_OR), COMPLEXREGION);
    TRect box;
    EXPECT_EQ(GetRgnBox(d, &box), COMPLEXREGION);
    EXPECT_EQ(box, (TRect{0, 0, 30, 10}));
    EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(d, a));
    OffsetRgn(d, 5, 5);
    EXPECT_TRUE(PtInRegion(d, 14, 14));
    EXPECT_FALSE(PtInRegion(d, 2, 2));
    EXPECT_TRUE(RectInRegion(d, TRect{0, 0, 6, 6}));
    EXPECT_FALSE(RectInRegion(d, TRect{0, 0, 5, 5}));
    // Corners in any order, as the window system accepts them.
    HRGN swapped = CreateRectRgn(10, 10, 0, 0);
    EXPECT_TRUE(EqualRgn(swapped, a));
    for (HRGN r : {a, b, d, swapped}) DeleteObject(r);
}

namespace {

// A region from a pixel mask, one single-row run at a time.
Region FromPixels(const std::vector<std::vector<bool>>& mask) {
    Region out;
    for (int y = 0; y < static_cast<int>(mask.size()); ++y)
        for (int x = 0; x < static_cast<int>(mask[y].size());) {
            if (!mask[y][x]) {
                ++x;
                continue;
            }
            int end = x;
            while (end < static_cast<int>(mask[y].size()) && mask[y][end]) ++end;
            out = Region::Combine(out, Region(TRect{x, y, end, y + 1}), RegionOp::Or);
            x = end;
        }
    return out;
}

}  // namespace

// Empty, apart, covering and overlapping pairs alike: every operation gives the pixels of the
// set operation, in the one banded list those pixels have.
TEST(Region, EveryOperationMatchesItsPixelsOnRandomPairs) {
    constexpr int kSize = 12;
    std::mt19937 random(40);
    auto rect = [&] {
        std::uniform_int_distribution<int> at(0, kSize);
        int l = at(random), t = at(random), r = at(random), b = at(random);
        return TRect{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
    };
    auto region = [&] {
        Region out;
        const int count = std::uniform_int_distribution<int>(0, 3)(random);
        for (int i = 0; i < count; ++i) out = Region::Combine(out, Region(rect()), RegionOp::Or);
        return out;
    };
    for (int round = 0; round < 400; ++round) {
        const Region a = region(), b = region();
        for (RegionOp op : {RegionOp::And, RegionOp::Or, RegionOp::Xor, RegionOp::Diff}) {
            std::vector<std::vector<bool>> mask(kSize, std::vector<bool>(kSize));
            for (int y = 0; y < kSize; ++y)
                for (int x = 0; x < kSize; ++x) {
                    const bool inA = a.Contains(x, y), inB = b.Contains(x, y);
                    mask[y][x] = op == RegionOp::And   ? inA && inB
                                 : op == RegionOp::Or  ? inA || inB
                                 : op == RegionOp::Xor ? inA != inB
                                                       : inA && !inB;
                }
            ASSERT_EQ(Region::Combine(a, b, op), FromPixels(mask))
                << "round " << round << " op " << static_cast<int>(op);
        }
    }
}
