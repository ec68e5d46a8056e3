#include "platform/rtl/convert.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "platform/rtl/exception.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/str_utils.h"

namespace {

std::string HexDigits(uint64_t v, int digits) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.insert(out.begin(), hex[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    if (digits > 32) digits = 32;
    if (static_cast<int>(out.size()) < digits) out.insert(0, static_cast<size_t>(digits) - out.size(), '0');
    return out;
}

// The class library's Val for integers: leading blanks, a sign, decimal or hex ($, 0x, x).
// Hex may give the full bit pattern of `bits`.
bool ParseInteger(std::string_view s, int bits, int64_t& value) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i < s.size() && (s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size()) return false;
    uint64_t limit = hex ? (bits == 64 ? std::numeric_limits<uint64_t>::max() : 0xFFFFFFFFull)
                         : (bits == 64 ? static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (negative ? 1 : 0)
                                       : 0x7FFFFFFFull + (negative ? 1 : 0));
    uint64_t acc = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        unsigned d;
        if (c >= '0' && c <= '9')
            d = static_cast<unsigned>(c - '0');
        else if (hex && c >= 'a' && c <= 'f')
            d = static_cast<unsigned>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F')
            d = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        unsigned base = hex ? 16 : 10;
        if (acc > (limit - d) / base) return false;
        acc = acc * base + d;
    }
    if (hex) {
        int64_t v = bits == 64 ? static_cast<int64_t>(acc)
                               : static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(acc)));
        value = negative ? static_cast<int64_t>(0ull - static_cast<uint64_t>(v)) : v;
        if (bits == 32) value = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
        return true;
    }
    value = negative ? static_cast<int64_t>(0ull - acc) : static_cast<int64_t>(acc);
    return true;
}

[[noreturn]] void InvalidInteger(std::string_view s) {
    throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
}

[[noreturn]] void InvalidFloat(std::string_view s) {
    throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
}

std::string GroupThousands(const std::string& int_digits) {
    char sep = FormatSettings().ThousandSeparator;
    std::string out;
    size_t n = int_digits.size();
    for (size_t i = 0; i < n; ++i) {
        out += int_digits[i];
        size_t from_right = n - i - 1;
        if (from_right > 0 && from_right % 3 == 0 && sep != '\0') out += sep;
    }
    return out;
}

std::string ExponentText(int exponent, int min_digits, bool plus_sign) {
    std::string out;
    if (exponent < 0)
        out += '-';
    else if (plus_sign)
        out += '+';
    std::string d = std::to_string(exponent < 0 ? -exponent : exponent);
    if (min_digits > 4) min_digits = 4;
    if (static_cast<int>(d.size()) < min_digits) d.insert(0, static_cast<size_t>(min_digits) - d.size(), '0');
    return out + d;
}

// Integer and fraction digits of a decimal record in fixed notation.
void SplitFixed(const TFloatRec& rec, int decimals, std::string& int_part, std::string& frac_part) {
    int_part.clear();
    frac_part.clear();
    int n = static_cast<int>(rec.digits.size());
    for (int i = 0; i < rec.exponent; ++i) int_part += i < n ? rec.digits[static_cast<size_t>(i)] : '0';
    if (int_part.empty()) int_part = "0";
    for (int i = 0; i < decimals; ++i) {
        int idx = rec.exponent + i;
        frac_part += (idx >= 0 && idx < n) ? rec.digits[static_cast<size_t>(idx)] : '0';
    }
}

std::string PlaceCurrency(const std::string& number, bool negative) {
    const TFormatSettings& fs = FormatSettings();
    const std::string& c = fs.CurrencyString;
    if (!negative) {
        switch (fs.CurrencyFormat) {
            case 0: return c + number;
            case 1: return number + c;
            case 2: return c + " " + number;
            default: return number + " " + c;
        }
    }
    switch (fs.NegCurrFormat) {
        case 0: return "(" + c + number + ")";
        case 1: return "-" + c + number;
        case 2: return c + "-" + number;
        case 3: return c + number + "-";
        case 4: return "(" + number + c + ")";
        case 5: return "-" + number + c;
        case 6: return number + "-" + c;
        case 7: return number + c + "-";
        case 9: return "-" + c + " " + number;
        case 10: return number + " " + c + "-";
        case 11: return c + " " + number + "-";
        case 12: return c + " -" + number;
        case 13: return number + "- " + c;
        case 14: return "(" + c + " " + number + ")";
        case 15: return "(" + number + " " + c + ")";
        default: return "-" + number + " " + c;
    }
}

// Rounds the digit string half away from zero to `keep` digits (0: only a carry may remain).
void RoundDigits(std::string& digits, int& exponent, int keep) {
    if (keep < 0 || static_cast<size_t>(keep) >= digits.size()) return;
    bool round_up = digits[static_cast<size_t>(keep)] >= '5';
    digits.resize(static_cast<size_t>(keep));
    if (!round_up) return;
    int i = keep - 1;
    while (i >= 0 && digits[static_cast<size_t>(i)] == '9') digits[static_cast<size_t>(i--)] = '0';
    if (i >= 0) {
        ++digits[static_cast<size_t>(i)];
    } else {
        digits.insert(digits.begin(), '1');
        ++exponent;
    }
}

}  // namespace

TFloatRec FloatToDecimal(long double value, int precision, int decimals) {
    TFloatRec rec;
    if (std::isnan(value)) {
        rec.special = true;
        rec.digits = "NAN";
        return rec;
    }
    rec.negative = std::signbit(value);
    if (std::isinf(value)) {
        rec.special = true;
        rec.digits = "INF";
        return rec;
    }
    long double a = std::fabs(value);
    if (a == 0) {
        rec.negative = false;
        return rec;
    }
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.40Le", a);
    std::string digits;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits += *p;
    int exp10 = *p == 'e' ? std::atoi(p + 1) : 0;
    rec.exponent = exp10 + 1;
    if (precision < 1) precision = 1;
    // First to the significant digits (dropping the binary noise of the value), then to the
    // decimals wanted: 2.675 (2.67499999...) is 2.68 at two decimals.
    RoundDigits(digits, rec.exponent, precision);
    long long keep = static_cast<long long>(rec.exponent) + decimals;
    if (keep < 0) {
        digits.clear();
    } else if (keep < static_cast<long long>(digits.size())) {
        RoundDigits(digits, rec.exponent, static_cast<int>(keep));
    }
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    if (digits.empty()) {
        rec.negative = false;
        rec.exponent = 0;
    }
    rec.digits = digits;
    return rec;
}

std::string IntToStr(int32_t value) { return std::to_string(value); }
std::string IntToStr(int64_t value) { return std::to_string(value); }
std::string IntToStr(uint32_t value) { return std::to_string(value); }
std::string IntToStr(uint64_t value) { return std::to_string(value); }

std::string IntToHex(int32_t value, int digits) { return HexDigits(static_cast<uint32_t>(value), digits); }
std::string IntToHex(int64_t value, int digits) { return HexDigits(static_cast<uint64_t>(value), digits); }
std::string IntToHex(uint32_t value, int digits) { return HexDigits(value, digits); }
std::string IntToHex(uint64_t value, int digits) { return HexDigits(value, digits); }

int32_t StrToInt(std::string_view s) {
    int64_t v = 0;
    if (!ParseInteger(s, 32, v)) InvalidInteger(s);
    return static_cast<int32_t>(v);
}

int32_t StrToIntDef(std::string_view s, int32_t default_value) {
    int64_t v = 0;
    return ParseInteger(s, 32, v) ? static_cast<int32_t>(v) : default_value;
}

bool TryStrToInt(std::string_view s, int32_t& value) {
    int64_t v = 0;
    if (!ParseInteger(s, 32, v)) return false;
    value = static_cast<int32_t>(v);
    return true;
}

int64_t StrToInt64(std::string_view s) {
    int64_t v = 0;
    if (!ParseInteger(s, 64, v)) InvalidInteger(s);
    return v;
}

int64_t StrToInt64Def(std::string_view s, int64_t default_value) {
    int64_t v = 0;
    return ParseInteger(s, 64, v) ? v : default_value;
}

bool TryStrToInt64(std::string_view s, int64_t& value) { return ParseInteger(s, 64, value); }

std::string FloatToStrF(long double value, TFloatFormat format, int precision, int digits) {
    const TFormatSettings& fs = FormatSettings();
    if (precision < 1) precision = 1;
    if (precision > 18) precision = 18;
    if (digits < 0) digits = 0;
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";

    if (format == ffFixed || format == ffNumber || format == ffCurrency) {
        TFloatRec whole = FloatToDecimal(value, precision, 9999);
        if (whole.exponent > precision) format = ffGeneral;  // too big for fixed notation
    }
    switch (format) {
        case ffGeneral: {
            TFloatRec rec = FloatToDecimal(value, precision, 9999);
            if (rec.digits.empty()) return "0";
            std::string sign = rec.negative ? "-" : "";
            if (rec.exponent > precision || rec.exponent < -4) {
                std::string out = sign + rec.digits.substr(0, 1);
                if (rec.digits.size() > 1) out += fs.DecimalSeparator + rec.digits.substr(1);
                return out + "E" + ExponentText(rec.exponent - 1, digits, false);
            }
            std::string int_part, frac_part;
            int frac_len = std::max(0, static_cast<int>(rec.digits.size()) - rec.exponent);
            SplitFixed(rec, frac_len, int_part, frac_part);
            return sign + int_part + (frac_part.empty() ? "" : std::string(1, fs.DecimalSeparator) + frac_part);
        }
        case ffExponent: {
            TFloatRec rec = FloatToDecimal(value, precision, 9999);
            std::string d = rec.digits;
            d.resize(static_cast<size_t>(precision), '0');
            int exponent = rec.digits.empty() ? 0 : rec.exponent - 1;
            std::string out = rec.negative ? "-" : "";
            out += d.substr(0, 1);
            if (d.size() > 1) out += fs.DecimalSeparator + d.substr(1);
            return out + "E" + ExponentText(exponent, digits, true);
        }
        default: {
            TFloatRec rec = FloatToDecimal(value, precision, digits);
            std::string int_part, frac_part;
            SplitFixed(rec, digits, int_part, frac_part);
            if (format != ffFixed) int_part = GroupThousands(int_part);
            std::string number = int_part + (digits > 0 ? std::string(1, fs.DecimalSeparator) + frac_part : "");
            if (format == ffCurrency) return PlaceCurrency(number, rec.negative);
            return (rec.negative ? "-" : "") + number;
        }
    }
}

std::string FloatToStr(long double value) { return FloatToStrF(value, ffGeneral, 15, 0); }

namespace {

struct FloatSection {
    std::string_view text;
    int int_placeholders = 0;   // '0' and '#' before the point
    int int_zeros = 0;          // placeholders from the first '0' to the point
    int frac_zeros = 0;         // after the point up to the last '0'
    int frac_placeholders = 0;  // '0' and '#' after the point
    bool thousands = false;
    bool scientific = false;
};

FloatSection AnalyseSection(std::string_view text) {
    FloatSection s;
    s.text = text;
    bool seen_point = false;
    int first_zero = -1;
    char quote = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '0' || c == '#') {
            if (!seen_point) {
                if (c == '0' && first_zero < 0) first_zero = s.int_placeholders;
                ++s.int_placeholders;
            } else {
                ++s.frac_placeholders;
                if (c == '0') s.frac_zeros = s.frac_placeholders;
            }
        } else if (c == '.') {
            seen_point = true;
        } else if (c == ',') {
            s.thousands = true;
        } else if ((c == 'E' || c == 'e') && i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-')) {
            s.scientific = true;
            break;  // placeholders after the exponent sign are its digits
        }
    }
    s.int_zeros = first_zero < 0 ? 0 : s.int_placeholders - first_zero;
    return s;
}

std::string ApplySection(const FloatSection& sec, long double value, bool with_minus) {
    const TFormatSettings& fs = FormatSettings();
    std::string int_digits, frac_digits;
    int exponent = 0;
    long double a = std::fabs(value);
    if (sec.scientific) {
        int precision = std::max(1, std::min(18, sec.int_placeholders + sec.frac_placeholders));
        TFloatRec rec = FloatToDecimal(a, precision, 9999);
        int lead = std::max(1, sec.int_placeholders);
        if (!rec.digits.empty()) exponent = rec.exponent - lead;
        std::string d = rec.digits;
        d.resize(static_cast<size_t>(lead + sec.frac_placeholders), '0');
        int_digits = d.substr(0, static_cast<size_t>(lead));
        frac_digits = d.substr(static_cast<size_t>(lead));
    } else {
        TFloatRec rec = FloatToDecimal(a, 15, sec.frac_placeholders);
        SplitFixed(rec, sec.frac_placeholders, int_digits, frac_digits);
        if (int_digits == "0") int_digits.clear();
    }
    if (static_cast<int>(int_digits.size()) < sec.int_zeros)
        int_digits.insert(0, static_cast<size_t>(sec.int_zeros) - int_digits.size(), '0');
    while (static_cast<int>(frac_digits.size()) > sec.frac_zeros && !frac_digits.empty() && frac_digits.back() == '0')
        frac_digits.pop_back();

    std::string out = with_minus ? "-" : "";
    int L = static_cast<int>(int_digits.size());
    int P = sec.int_placeholders;
    auto emit_int_digit = [&](int idx) {
        out += int_digits[static_cast<size_t>(idx)];
        int from_right = L - idx - 1;
        if (sec.thousands && from_right > 0 && from_right % 3 == 0) out += fs.ThousandSeparator;
    };
    int int_index = 0, frac_index = 0;
    bool seen_point = false;
    char quote = 0;
    std::string_view t = sec.text;
    for (size_t i = 0; i < t.size(); ++i) {
        char c = t[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                out += c;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '0' || c == '#') {
            if (!seen_point) {
                if (int_index == 0)
                    for (int k = 0; k < L - P; ++k) emit_int_digit(k);
                int idx = L - P + int_index;
                if (idx >= 0) emit_int_digit(idx);
                ++int_index;
            } else {
                if (frac_index < static_cast<int>(frac_digits.size()))
                    out += frac_digits[static_cast<size_t>(frac_index)];
                ++frac_index;
            }
        } else if (c == '.') {
            if (!seen_point) {
                if (int_index == 0) {  // no integer placeholder: the digits go before the point
                    for (int k = 0; k < L; ++k) emit_int_digit(k);
                    int_index = 1;
                }
                if (!frac_digits.empty()) out += fs.DecimalSeparator;
            }
            seen_point = true;
        } else if (c == ',') {
            // grouping flag only
        } else if (sec.scientific && (c == 'E' || c == 'e') && i + 1 < t.size() &&
                   (t[i + 1] == '+' || t[i + 1] == '-')) {
            int exp_digits = 0;
            size_t j = i + 2;
            while (j < t.size() && t[j] == '0') {
                ++exp_digits;
                ++j;
            }
            out += c;
            out += ExponentText(exponent, exp_digits, t[i + 1] == '+');
            i = j - 1;
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::string_view> SplitSections(std::string_view format) {
    std::vector<std::string_view> sections;
    size_t start = 0;
    char quote = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            sections.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(format.substr(start));
    return sections;
}

bool RoundsToZero(const FloatSection& sec, long double value) {
    if (sec.scientific) return value == 0;
    return FloatToDecimal(value, 15, sec.frac_placeholders).digits.empty();
}

}  // namespace

std::string FormatFloat(std::string_view format, long double value) {
    if (format.empty()) return FloatToStr(value);
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    std::vector<std::string_view> sections = SplitSections(format);
    FloatSection main = AnalyseSection(sections[0]);
    if (value < 0 && sections.size() > 1 && !sections[1].empty()) {
        FloatSection neg = AnalyseSection(sections[1]);
        if (!RoundsToZero(neg, value) || sections.size() < 3 || sections[2].empty())
            return ApplySection(neg, value, false);
        return ApplySection(AnalyseSection(sections[2]), 0, false);
    }
    if (RoundsToZero(main, value) && sections.size() > 2 && !sections[2].empty())
        return ApplySection(AnalyseSection(sections[2]), 0, false);
    bool minus = value < 0 && !RoundsToZero(main, value);
    return ApplySection(main, value, minus);
}

bool TextToFloat(std::string_view s, long double& value, char decimal_separator) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    std::string norm;
    size_t i = b;
    bool negative = false;
    if (i < e && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    int mantissa_digits = 0;
    while (i < e && s[i] >= '0' && s[i] <= '9') {
        norm += s[i++];
        ++mantissa_digits;
    }
    if (i < e && s[i] == decimal_separator) {
        norm += '.';
        ++i;
        while (i < e && s[i] >= '0' && s[i] <= '9') {
            norm += s[i++];
            ++mantissa_digits;
        }
    }
    if (mantissa_digits == 0) return false;
    if (i < e && (s[i] == 'e' || s[i] == 'E')) {
        norm += 'e';
        ++i;
        if (i < e && (s[i] == '+' || s[i] == '-')) norm += s[i++];
        int exp_digits = 0;
        while (i < e && s[i] >= '0' && s[i] <= '9') {
            norm += s[i++];
            ++exp_digits;
        }
        if (exp_digits == 0) return false;
    }
    if (i != e) return false;
    long double v = 0;
    auto res = std::from_chars(norm.data(), norm.data() + norm.size(), v);
    if (res.ec != std::errc() || res.ptr != norm.data() + norm.size()) return false;
    value = negative ? -v : v;
    return true;
}

long double StrToFloat(std::string_view s) {
    long double v = 0;
    if (!TextToFloat(s, v, FormatSettings().DecimalSeparator)) InvalidFloat(s);
    return v;
}

long double StrToFloatDef(std::string_view s, long double default_value) {
    long double v = 0;
    return TextToFloat(s, v, FormatSettings().DecimalSeparator) ? v : default_value;
}

bool TryStrToFloat(std::string_view s, long double& value) {
    return TextToFloat(s, value, FormatSettings().DecimalSeparator);
}

bool TryStrToFloat(std::string_view s, double& value) {
    long double v = 0;
    if (!TextToFloat(s, v, FormatSettings().DecimalSeparator)) return false;
    if (std::fabs(v) > std::numeric_limits<double>::max()) return false;
    value = static_cast<double>(v);
    return true;
}

std::string BoolToStr(bool value, bool use_bool_strs) {
    if (use_bool_strs) return value ? "True" : "False";
    return value ? "-1" : "0";
}

bool TryStrToBool(std::string_view s, bool& value) {
    if (SameText(Trim(s), "True")) {
        value = true;
        return true;
    }
    if (SameText(Trim(s), "False")) {
        value = false;
        return true;
    }
    int64_t i = 0;
    if (ParseInteger(Trim(s), 64, i)) {
        value = i != 0;
        return true;
    }
    long double f = 0;
    if (TextToFloat(s, f, FormatSettings().DecimalSeparator)) {
        value = f != 0;
        return true;
    }
    return false;
}

bool StrToBool(std::string_view s) {
    bool v = false;
    if (!TryStrToBool(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid boolean value");
    return v;
}
