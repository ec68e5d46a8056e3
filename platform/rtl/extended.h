#pragma once
// The 80-bit float of summaries and group values. On x86-64 `long double` is that float;
// streams that carry it use the 10-byte little-endian form (64-bit mantissa with its
// explicit integer bit, then sign and 15-bit exponent), written and read here without
// relying on the machine's own layout.

#include <cstdint>

using Extended = long double;

inline constexpr int kExtendedSize = 10;

void WriteExtended10(Extended Value, uint8_t* Out);
Extended ReadExtended10(const uint8_t* In);
