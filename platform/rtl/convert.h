#pragma once
// Number <-> text conversions of the class library. Decimal and thousands separators come
// from FormatSettings() unless noted. Failures raise EConvertError with the class library's
// messages ("'x' is not a valid integer value", "'x' is not a valid floating point value").

#include <cstdint>
#include <string>
#include <string_view>

std::string IntToStr(int32_t value);
std::string IntToStr(int64_t value);
std::string IntToStr(uint32_t value);
std::string IntToStr(uint64_t value);
inline std::string IntToStr(long long value) { return IntToStr(static_cast<int64_t>(value)); }
inline std::string IntToStr(unsigned long long value) { return IntToStr(static_cast<uint64_t>(value)); }
// Upper-case hex, at least `digits` digits; negative values show their 32/64-bit pattern.
std::string IntToHex(int32_t value, int digits);
std::string IntToHex(int64_t value, int digits);
std::string IntToHex(uint32_t value, int digits);
std::string IntToHex(uint64_t value, int digits);
inline std::string IntToHex(long long value, int digits) { return IntToHex(static_cast<int64_t>(value), digits); }
inline std::string IntToHex(unsigned long long value, int digits) {
    return IntToHex(static_cast<uint64_t>(value), digits);
}

// Leading blanks are allowed (trailing ones are not), so is a sign; "$1F", "0x1F", "x1F" are hex.
// Hex texts may give the full bit pattern ("$FFFFFFFF" is -1 for the 32-bit forms).
int32_t StrToInt(std::string_view s);
int32_t StrToIntDef(std::string_view s, int32_t default_value);
bool TryStrToInt(std::string_view s, int32_t& value);
int64_t StrToInt64(std::string_view s);
int64_t StrToInt64Def(std::string_view s, int64_t default_value);
bool TryStrToInt64(std::string_view s, int64_t& value);

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
// ffGeneral: shortest text with at most `precision` significant digits, scientific when the
// number needs more digits before the separator or is below 0.00001; `digits` is then the
// least number of exponent digits. ffExponent: d.ddd E+ddd with `precision` digits, `digits`
// exponent digits. ffFixed/ffNumber/ffCurrency: `digits` decimals (ffNumber groups
// thousands; ffCurrency places CurrencyString by CurrencyFormat/NegCurrFormat).
// Decimal rounding is half away from zero on the exact binary value, limited to `precision`
// significant digits (2.675 with 15 digits is 2.68). NaN and infinities give "NAN", "INF",
// "-INF". Values with more integer digits than `precision` fall back to ffGeneral.
std::string FloatToStrF(long double value, TFloatFormat format, int precision, int digits);
// ffGeneral with 15 digits: 1.5 -> "1,5", 1e20 -> "1E20".
std::string FloatToStr(long double value);
// Patterns: "0" digit, "#" optional digit, "." decimal separator, "," thousands grouping,
// "E+"/"E-"/"e+"/"e-" scientific, '...' "..." literals, up to three ";" sections
// (positive;negative;zero). 15 significant digits at most. Output uses FormatSettings()
// separators. A value that rounds to zero shows no minus sign.
std::string FormatFloat(std::string_view format, long double value);
// Accepts blanks at the ends, a sign, FormatSettings().DecimalSeparator, an exponent.
long double StrToFloat(std::string_view s);
long double StrToFloatDef(std::string_view s, long double default_value);
bool TryStrToFloat(std::string_view s, long double& value);
bool TryStrToFloat(std::string_view s, double& value);
// The class library's reader behind StrToFloat with an explicit decimal separator.
bool TextToFloat(std::string_view s, long double& value, char decimal_separator);

// "True"/"False" when use_bool_strs, else "-1"/"0" as the class library does.
std::string BoolToStr(bool value, bool use_bool_strs = false);
// "0" is false, any other integer true; "True"/"False" in any case.
bool StrToBool(std::string_view s);
bool TryStrToBool(std::string_view s, bool& value);

// Library-internal: decimal digits of |value|, rounded half away from zero first to
// `precision` significant digits, then to `decimals` digits after the point.
// Exponent: value = 0.d1d2d3... * 10^exponent. Digits are empty for zero.
struct TFloatRec {
    std::string digits;
    int exponent = 0;
    bool negative = false;
    bool special = false;  // NaN or infinity: digits hold "NAN" or "INF"
};
TFloatRec FloatToDecimal(long double value, int precision, int decimals);
