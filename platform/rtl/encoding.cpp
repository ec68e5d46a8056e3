#include "platform/rtl/encoding.h"

#include "platform/rtl/str_utils.h"

#include <cstdint>

namespace {

// 0x80-0x9F; the undefined bytes keep their own number as a C1 code point.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Decodes one code point at pos; answers its length, or 0 when the bytes there are malformed.
size_t DecodeOne(std::string_view s, size_t pos, char32_t& cp) {
    auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
    uint8_t b0 = byte(pos);
    size_t len;
    char32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (pos + len > s.size()) return 0;
    for (size_t i = 1; i < len; ++i) {
        uint8_t b = byte(pos + i);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

// The bytes without a lead byte and its continuation bytes at the end that are fewer than
// the lead byte announces; unchanged when the end is no such cut character.
std::string_view WithoutCutLastCharacter(std::string_view s) {
    size_t tail = 0;
    while (tail < 3 && tail < s.size() && (static_cast<uint8_t>(s[s.size() - 1 - tail]) & 0xC0) == 0x80) ++tail;
    if (tail == s.size()) return s;
    const auto lead = static_cast<uint8_t>(s[s.size() - 1 - tail]);
    const size_t len = lead >= 0xF0 && lead <= 0xF4   ? 4
                       : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xC2 && lead <= 0xDF ? 2
                                                      : 0;
    if (len == 0 || tail + 1 >= len) return s;
    return s.substr(0, s.size() - 1 - tail);
}

bool HasMultiByteCharacter(std::string_view s) {
    for (char c : s)
        if (static_cast<uint8_t>(c) >= 0x80) return true;
    return false;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A UTF-8 file cut off inside its last character: read as Windows-1252, every other umlaut
// of it would turn into two characters. An older file ending in one such byte has no UTF-8
// sequence before it and is no such file, unless a byte-order mark (`marked`) says that the
// file is UTF-8: then that byte is the cut one, even as its only character of several bytes.
bool IsUtf8CutInsideLastCharacter(std::string_view bytes, bool marked) {
    const std::string_view whole = WithoutCutLastCharacter(bytes);
    return whole.size() < bytes.size() && IsValidUtf8(whole) && (marked || HasMultiByteCharacter(whole));
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes) {
        auto b = static_cast<uint8_t>(c);
        if (b < 0x80) {
            out += c;
        } else if (b < 0xA0) {
            AppendUtf8(out, kHighControls[b - 0x80]);
        } else {
            AppendUtf8(out, b);
        }
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        size_t len = DecodeOne(utf8, pos, cp);
        if (len == 0) {
            out += '?';
            ++pos;
            continue;
        }
        pos += len;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i) {
            if (kHighControls[i] == cp) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        out += mapped;
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp = 0;
        size_t len = DecodeOne(text, pos, cp);
        if (len == 0) return false;
        pos += len;
    }
    return true;
}

// Editors that add a mark to a file that has one already leave several: each would hide the
// first line (an INI file's first section) behind the ones not taken away.
std::string_view WithoutByteOrderMarks(std::string_view bytes) {
    while (bytes.substr(0, 3) == kByteOrderMark) bytes.remove_prefix(3);
    return bytes;
}

bool HasUtf16ByteOrderMark(std::string_view bytes) { return Utf16ByteOrder(bytes).has_value(); }

std::optional<TUtf16Order> Utf16ByteOrder(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE") return TUtf16Order::LittleEndian;
    if (bytes.substr(0, 2) == "\xFE\xFF") return TUtf16Order::BigEndian;
    return std::nullopt;
}

std::optional<std::string> Utf16ToUtf8(std::string_view units, TUtf16Order order, TTextFault& fault) {
    fault = TTextFault::Readable;
    if (units.size() % 2 != 0) {
        fault = TTextFault::Utf16OddLength;
        return std::nullopt;
    }
    const auto unit = [&units, order](size_t i) {
        const auto first = static_cast<uint8_t>(units[2 * i]), second = static_cast<uint8_t>(units[2 * i + 1]);
        return static_cast<char16_t>(order == TUtf16Order::LittleEndian ? first | second << 8 : first << 8 | second);
    };
    const size_t count = units.size() / 2;
    std::string out;
    out.reserve(count + count / 4);
    for (size_t i = 0; i < count; ++i) {
        const char16_t u = unit(i);
        char32_t cp = u;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF)
            cp = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (unit(++i) - 0xDC00);
        else if (u >= 0xD800 && u <= 0xDFFF) {
            fault = TTextFault::Utf16UnpairedSurrogate;
            return std::nullopt;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string Utf8ToUtf16(std::string_view utf8, TUtf16Order order) {
    std::string out;
    out.reserve(utf8.size() * 2);
    const auto put = [&out, order](char32_t u) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += order == TUtf16Order::LittleEndian ? low : high;
        out += order == TUtf16Order::LittleEndian ? high : low;
    };
    size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        const size_t len = DecodeOne(utf8, pos, cp);
        pos += len == 0 ? 1 : len;
        if (len == 0) cp = 0xFFFD;
        if (cp < 0x10000) {
            put(cp);
        } else {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
    }
    return out;
}

bool EndsInsideCharacter(std::string_view bytes) {
    const bool marked = bytes.substr(0, 3) == kByteOrderMark;
    return IsUtf8CutInsideLastCharacter(WithoutByteOrderMarks(bytes), marked);
}

std::string DecodeTextBytes(std::string_view bytes) {
    const bool marked = bytes.substr(0, 3) == kByteOrderMark;
    bytes = WithoutByteOrderMarks(bytes);
    if (IsValidUtf8(bytes)) return std::string(bytes);
    // The cut character is lost either way.
    if (IsUtf8CutInsideLastCharacter(bytes, marked)) return std::string(WithoutCutLastCharacter(bytes));
    return Cp1252ToUtf8(bytes);
}
