#include "platform/rtl/extended.h"

#include <cmath>
#include <limits>

namespace {
constexpr int kBias = 16383;
constexpr uint16_t kMaxExponent = 0x7FFF;
constexpr uint64_t kIntegerBit = 0x8000000000000000ull;
}  // namespace

void WriteExtended10(Extended Value, uint8_t* Out) {
    uint16_t signExp = std::signbit(Value) ? 0x8000 : 0;
    uint64_t mantissa = 0;
    if (std::isnan(Value)) {
        signExp |= kMaxExponent;
        mantissa = kIntegerBit | (kIntegerBit >> 1);
    } else if (std::isinf(Value)) {
        signExp |= kMaxExponent;
        mantissa = kIntegerBit;
    } else if (Value != 0) {
        int e = 0;
        const Extended m = std::frexp(std::fabs(Value), &e);  // [0.5, 1)
        const int exponent = e - 1 + kBias;
        if (exponent > 0) {
            signExp |= static_cast<uint16_t>(exponent);
            mantissa = static_cast<uint64_t>(std::ldexp(m, 64));
        } else {
            // Too small for a normal number: exponent 0, no integer bit.
            mantissa = static_cast<uint64_t>(std::ldexp(std::fabs(Value), kBias - 1 + 63));
        }
    }
    for (int i = 0; i < 8; ++i) Out[i] = static_cast<uint8_t>(mantissa >> (8 * i));
    Out[8] = static_cast<uint8_t>(signExp);
    Out[9] = static_cast<uint8_t>(signExp >> 8);
}

Extended ReadExtended10(const uint8_t* In) {
    uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i) mantissa |= static_cast<uint64_t>(In[i]) << (8 * i);
    const uint16_t signExp = static_cast<uint16_t>(In[8] | (In[9] << 8));
    const bool negative = (signExp & 0x8000) != 0;
    const int exponent = signExp & kMaxExponent;
    Extended value;
    if (exponent == kMaxExponent) {
        value = (mantissa << 1) == 0 ? std::numeric_limits<Extended>::infinity()
                                     : std::numeric_limits<Extended>::quiet_NaN();
    } else {
        value = std::ldexp(static_cast<Extended>(mantissa), (exponent == 0 ? 1 : exponent) - kBias - 63);
    }
    return negative ? -value : value;
}
