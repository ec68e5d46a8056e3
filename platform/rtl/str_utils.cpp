#include "platform/rtl/str_utils.h"

#include <algorithm>
#include <vector>

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// Upper-case partner of a lower-case letter, or the code point itself. Every pair has the
// same UTF-8 length, which keeps byte positions valid across casing.
uint32_t UpperOf(uint32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        if ((c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c & 1) ? c - 1 : c;
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
        return c;
    }
    if (c >= 0x3B1 && c <= 0x3C9) return c == 0x3C2 ? 0x3A3 : c - 0x20;
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    return c;
}

uint32_t LowerOf(uint32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c == 0x178) return 0xFF;
    if (c >= 0x100 && c <= 0x17F) {
        if ((c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c & 1) ? c : c + 1;
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
        return c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return c + 0x25;
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return c + 0x3F;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

template <typename Map>
std::string MapCodePoints(std::string_view s, Map map) {
    std::string out;
    out.reserve(s.size());
    size_t pos = 0;
    while (pos < s.size()) {
        size_t start = pos;
        uint32_t cp = 0;
        Utf8NextCodePoint(s, pos, cp);
        if (cp == kReplacement && pos - start == 1) {
            out += s[start];  // malformed byte: keep it untouched
            continue;
        }
        uint32_t mapped = map(cp);
        if (mapped == cp)
            out.append(s.substr(start, pos - start));
        else
            AppendUtf8(out, mapped);
    }
    return out;
}

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// One element of the locale collation: primary (class and base letter), secondary (accent),
// tertiary (case).
struct CollationElement {
    uint32_t primary;
    uint8_t accent;
    uint8_t upper;
};

constexpr uint32_t kClassOther = 1u << 24;
constexpr uint32_t kClassDigit = 2u << 24;
constexpr uint32_t kClassLetter = 3u << 24;

// Latin-1 letters U+00C0..U+00FF (lower-case form index) decomposed to their base letters.
const char* Latin1Base(uint32_t lower) {
    static const char* const table[32] = {"a", "a",     "a", "a", "a", "a", "ae", "c", "e",  "e", "e",
                                          "e", "i",     "i", "i", "i", "d", "n",  "o", "o",  "o", "o",
                                          "o", nullptr, "o", "u", "u", "u", "u",  "y", "th", "y"};
    if (lower < 0xE0 || lower > 0xFF) return nullptr;
    return table[lower - 0xE0];
}

bool IsLetterCodePoint(uint32_t c) { return UpperOf(c) != c || LowerOf(c) != c; }

void AppendCollation(std::vector<CollationElement>& out, std::string_view s) {
    size_t pos = 0;
    uint32_t cp = 0;
    while (Utf8NextCodePoint(s, pos, cp)) {
        uint32_t lower = LowerOf(cp);
        uint8_t upper = lower != cp ? 1 : 0;
        if (cp < 0x80) {
            if (lower >= 'a' && lower <= 'z')
                out.push_back({kClassLetter | lower, 0, upper});
            else if (cp >= '0' && cp <= '9')
                out.push_back({kClassDigit | cp, 0, 0});
            else
                out.push_back({kClassOther | cp, 0, 0});
            continue;
        }
        if (cp == 0xDF) {  // ß sorts as ss
            out.push_back({kClassLetter | 's', 1, 0});
            out.push_back({kClassLetter | 's', 1, 0});
            continue;
        }
        if (const char* base = Latin1Base(lower)) {
            for (const char* b = base; *b; ++b)
                out.push_back({kClassLetter | static_cast<uint32_t>(*b), static_cast<uint8_t>(lower - 0xDF), upper});
            continue;
        }
        if (IsLetterCodePoint(cp))
            out.push_back({kClassLetter | lower, 0, upper});
        else
            out.push_back({kClassOther | cp, 0, 0});
    }
}

int CollationCompare(std::string_view a, std::string_view b, bool ignore_case) {
    std::vector<CollationElement> ea, eb;
    AppendCollation(ea, a);
    AppendCollation(eb, b);
    size_t n = std::min(ea.size(), eb.size());
    for (size_t i = 0; i < n; ++i)
        if (ea[i].primary != eb[i].primary) return ea[i].primary < eb[i].primary ? -1 : 1;
    if (ea.size() != eb.size()) return ea.size() < eb.size() ? -1 : 1;
    for (size_t i = 0; i < n; ++i)
        if (ea[i].accent != eb[i].accent) return ea[i].accent < eb[i].accent ? -1 : 1;
    if (ignore_case) return 0;
    for (size_t i = 0; i < n; ++i)
        if (ea[i].upper != eb[i].upper) return ea[i].upper < eb[i].upper ? -1 : 1;
    return Sign(a.compare(b));
}

std::string AnsiFold(std::string_view s) { return MapCodePoints(s, UpperOf); }

}  // namespace

std::string UpperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

std::string LowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

std::string AnsiUpperCase(std::string_view s) { return MapCodePoints(s, UpperOf); }
std::string AnsiLowerCase(std::string_view s) { return MapCodePoints(s, LowerOf); }
uint32_t AnsiUpperChar(uint32_t code_point) { return UpperOf(code_point); }
uint32_t AnsiLowerChar(uint32_t code_point) { return LowerOf(code_point); }

int CompareStr(std::string_view a, std::string_view b) { return Sign(a.compare(b)); }

int CompareText(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'a' && ca <= 'z') ca -= 32;
        if (cb >= 'a' && cb <= 'z') cb -= 32;
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

int AnsiCompareStr(std::string_view a, std::string_view b) { return CollationCompare(a, b, false); }
int AnsiCompareText(std::string_view a, std::string_view b) { return CollationCompare(a, b, true); }
bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiFold(a) == AnsiFold(b); }
bool AnsiSameStr(std::string_view a, std::string_view b) { return a == b; }

std::string Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

std::string TrimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
    return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= ' ') --n;
    return std::string(s.substr(0, n));
}

std::string StringReplace(std::string_view s, std::string_view old_pattern, std::string_view new_pattern,
                          TReplaceFlags flags) {
    if (old_pattern.empty()) return std::string(s);
    std::string folded_s, folded_pattern;
    std::string_view search = s, pattern = old_pattern;
    if (flags & rfIgnoreCase) {
        // Casing keeps byte lengths, so positions in the folded text are positions in `s`.
        folded_s = AnsiFold(s);
        folded_pattern = AnsiFold(old_pattern);
        search = folded_s;
        pattern = folded_pattern;
    }
    std::string out;
    size_t from = 0;
    while (from <= search.size()) {
        size_t at = search.find(pattern, from);
        if (at == std::string_view::npos) break;
        out.append(s.substr(from, at - from));
        out.append(new_pattern);
        from = at + pattern.size();
        if (!(flags & rfReplaceAll)) break;
    }
    if (from < s.size()) out.append(s.substr(from));
    return out;
}

int Pos(std::string_view sub, std::string_view s) { return PosEx(sub, s, 1); }
int AnsiPos(std::string_view sub, std::string_view s) { return PosEx(sub, s, 1); }

int PosEx(std::string_view sub, std::string_view s, int offset) {
    if (sub.empty() || offset < 1 || static_cast<size_t>(offset) > s.size()) return 0;
    size_t at = s.find(sub, static_cast<size_t>(offset - 1));
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

std::string Copy(std::string_view s, int index, int count) {
    if (index < 1) index = 1;
    if (count <= 0 || static_cast<size_t>(index) > s.size()) return {};
    return std::string(s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count)));
}

void Delete(std::string& s, int index, int count) {
    if (index < 1 || count <= 0 || static_cast<size_t>(index) > s.size()) return;
    s.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

void Insert(std::string_view sub, std::string& s, int index) {
    if (index < 1) index = 1;
    size_t at = std::min(static_cast<size_t>(index - 1), s.size());
    s.insert(at, sub);
}

int Length(std::string_view s) { return static_cast<int>(s.size()); }

int LastDelimiter(std::string_view delimiters, std::string_view s) {
    size_t at = s.find_last_of(delimiters);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

std::string QuotedStr(std::string_view s) {
    std::string out = "'";
    for (char c : s) {
        out += c;
        if (c == '\'') out += '\'';
    }
    out += '\'';
    return out;
}

std::string AnsiDequotedStr(std::string_view s, char quote) {
    if (s.empty() || s[0] != quote) return std::string(s);
    std::string out;
    size_t i = 1;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                out += quote;
                i += 2;
                continue;
            }
            return out;  // closing quote: what follows is dropped
        }
        out += s[i++];
    }
    return std::string(s);  // no closing quote: not a quoted text
}

std::string StringOfChar(char c, int count) {
    return count > 0 ? std::string(static_cast<size_t>(count), c) : std::string();
}

std::string AdjustLineBreaks(std::string_view s) {
    std::string out;
    out.reserve(s.size() + s.size() / 16);
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\r' || c == '\n') {
            if (i + 1 < s.size() && (s[i + 1] == '\r' || s[i + 1] == '\n') && s[i + 1] != c) ++i;
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

bool Utf8NextCodePoint(std::string_view s, size_t& pos, uint32_t& code_point) {
    if (pos >= s.size()) return false;
    unsigned char b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) {
        code_point = b0;
        ++pos;
        return true;
    }
    int len = 0;
    uint32_t cp = 0;
    uint32_t min = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    }
    if (len == 0 || pos + static_cast<size_t>(len) > s.size()) {
        code_point = kReplacement;
        ++pos;
        return true;
    }
    for (int i = 1; i < len; ++i) {
        unsigned char b = static_cast<unsigned char>(s[pos + static_cast<size_t>(i)]);
        if ((b & 0xC0) != 0x80) {
            code_point = kReplacement;
            ++pos;
            return true;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        code_point = kReplacement;
        ++pos;
        return true;
    }
    code_point = cp;
    pos += static_cast<size_t>(len);
    return true;
}

int Utf8Length(std::string_view s) {
    int n = 0;
    size_t pos = 0;
    uint32_t cp = 0;
    while (Utf8NextCodePoint(s, pos, cp)) ++n;
    return n;
}

size_t Utf8ByteOffset(std::string_view s, int index) {
    size_t pos = 0;
    uint32_t cp = 0;
    for (int i = 0; i < index && Utf8NextCodePoint(s, pos, cp); ++i) {
    }
    return pos;
}

std::string Utf8Copy(std::string_view s, int index, int count) {
    if (index < 1) index = 1;
    if (count <= 0) return {};
    size_t start = Utf8ByteOffset(s, index - 1);
    size_t end = start;
    uint32_t cp = 0;
    for (int i = 0; i < count && Utf8NextCodePoint(s, end, cp); ++i) {
    }
    return std::string(s.substr(start, end - start));
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string EncodeUtf8(uint32_t code_point) {
    std::string out;
    AppendUtf8(out, code_point);
    return out;
}
