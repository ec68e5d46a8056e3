#pragma once
// Arithmetic helpers with the semantics the class library and the system give them.

#include <cstdint>

// a * b / c with a 64-bit intermediate, rounded half away from zero.
// -1 when c is 0 or the result does not fit in 32 bits (the system's answer).
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// Half to even (banker's rounding): Round(2.5) == 2, Round(3.5) == 4, Round(-2.5) == -2.
// NaN, infinities and values outside int64 raise EInvalidOp.
int64_t Round(long double value);
// Towards zero; same errors as Round.
int64_t Trunc(long double value);
long double Frac(long double value);
long double Int(long double value);
int64_t Ceil(long double value);
int64_t Floor(long double value);
