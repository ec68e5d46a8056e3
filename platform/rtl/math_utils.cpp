#include "platform/rtl/math_utils.h"

#include <cmath>
#include <cstdlib>

#include "platform/rtl/exception.h"

namespace {
// Doubles from 2^63 upwards do not fit; -2^63 itself does.
constexpr long double kInt64Limit = 9223372036854775808.0L;

int64_t CheckedInt64(long double v) {
    if (std::isnan(v) || v >= kInt64Limit || v < -kInt64Limit) throw EInvalidOp("Invalid floating point operation");
    return static_cast<int64_t>(v);
}
}  // namespace

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    int64_t product = static_cast<int64_t>(a) * b;
    bool negative = (product < 0) != (c < 0);
    uint64_t num = static_cast<uint64_t>(std::llabs(product));
    uint64_t den = static_cast<uint64_t>(std::llabs(static_cast<int64_t>(c)));
    uint64_t q = (num + den / 2) / den;
    if (q > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return -1;
    return negative ? static_cast<int32_t>(-static_cast<int64_t>(q)) : static_cast<int32_t>(q);
}

int64_t Round(long double value) {
    if (std::isnan(value) || std::isinf(value)) throw EInvalidOp("Invalid floating point operation");
    long double r = nearbyintl(value);  // default rounding mode: half to even
    return CheckedInt64(r);
}

int64_t Trunc(long double value) {
    if (std::isinf(value)) throw EInvalidOp("Invalid floating point operation");
    return CheckedInt64(truncl(value));
}

long double Frac(long double value) { return value - truncl(value); }
long double Int(long double value) { return truncl(value); }

int64_t Ceil(long double value) {
    if (std::isinf(value)) throw EInvalidOp("Invalid floating point operation");
    return CheckedInt64(ceill(value));
}

int64_t Floor(long double value) {
    if (std::isinf(value)) throw EInvalidOp("Invalid floating point operation");
    return CheckedInt64(floorl(value));
}
