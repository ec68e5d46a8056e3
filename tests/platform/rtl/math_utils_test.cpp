#include "platform/rtl/math_utils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/exception.h"

namespace {

TEST(MathUtils, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(5, -1, 2), -3);
    EXPECT_EQ(MulDiv(-5, -1, -2), -3);
    EXPECT_EQ(MulDiv(7, 1, 3), 2);
    EXPECT_EQ(MulDiv(8, 1, 3), 3);
    // The intermediate product is 64 bits wide.
    EXPECT_EQ(MulDiv(2000000000, 2000000000, 1000000000), -1);  // result too large
    EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000);
    EXPECT_EQ(MulDiv(INT32_MIN, 1, 1), INT32_MIN);
}

TEST(MathUtils, MulDivByZeroIsMinusOne) {
    EXPECT_EQ(MulDiv(10, 20, 0), -1);
    EXPECT_EQ(MulDiv(0, 0, 0), -1);
}

TEST(MathUtils, RoundIsHalfToEven) {
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(-3.5), -4);
    EXPECT_EQ(Round(2.5000001), 3);
    EXPECT_EQ(Round(-0.4), 0);
    EXPECT_EQ(Round(1e15 + 0.5), 1000000000000000);
    EXPECT_THROW(Round(std::nan("")), EInvalidOp);
    EXPECT_THROW(Round(1e19), EInvalidOp);
    EXPECT_THROW(Round(std::numeric_limits<double>::infinity()), EInvalidOp);
}

TEST(MathUtils, TruncFracAndFloor) {
    EXPECT_EQ(Trunc(-2.7), -2);
    EXPECT_EQ(Trunc(2.7), 2);
    EXPECT_DOUBLE_EQ(static_cast<double>(Frac(-2.75)), -0.75);
    EXPECT_EQ(Floor(-2.1), -3);
    EXPECT_EQ(Ceil(-2.1), -2);
    EXPECT_THROW(Trunc(1e30), EInvalidOp);
}

}  // namespace
