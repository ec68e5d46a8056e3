// The 10-byte form of the 80-bit float: the bytes of known values, and values that come
// back unchanged through it (the stored filter and summary values depend on both).

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rtl/extended.h"

namespace {
std::vector<uint8_t> Bytes(Extended v) {
    std::vector<uint8_t> b(kExtendedSize);
    WriteExtended10(v, b.data());
    return b;
}
}  // namespace

TEST(Extended10, KnownValuesHaveTheirBytes) {
    EXPECT_EQ(Bytes(1.0L), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
    EXPECT_EQ(Bytes(-2.0L), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}));
    EXPECT_EQ(Bytes(0.0L), std::vector<uint8_t>(kExtendedSize, 0));
    EXPECT_EQ(Bytes(std::numeric_limits<Extended>::infinity()),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}));
}

TEST(Extended10, ValuesComeBackUnchanged) {
    for (Extended v : {1.0L, -3.5L, 0.1L, 1e300L, -1e-300L, 123456789.125L, 1e4000L, 1e-4940L}) {
        auto b = Bytes(v);
        EXPECT_EQ(ReadExtended10(b.data()), v);
    }
    auto nan = Bytes(std::numeric_limits<Extended>::quiet_NaN());
    EXPECT_TRUE(std::isnan(ReadExtended10(nan.data())));
}
