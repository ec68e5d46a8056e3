#include "program/text_utils.h"

#include <cstdio>

#include "platform/rtl/str_utils.h"
#include "program/program_context.h"

namespace {

bool IsUpperHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// The last word of upper-case hex digits, other characters counting as blanks.
std::string LastHexWord(const std::string& text) {
    std::string word;
    std::string last;
    for (char c : text) {
        if (IsUpperHexDigit(c)) {
            word += c;
        } else if (!word.empty()) {
            last = word;
            word.clear();
        }
    }
    return word.empty() ? last : word;
}

uint32_t ReadHex(const std::string& digits) {
    // Only the low 32 bits can be kept, so a longer run keeps its last eight digits.
    uint32_t value = 0;
    for (char c : digits) value = (value << 4) | static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'A' + 10);
    return value;
}

std::string FitHex(uint32_t value, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", value);
    std::string text = buf;
    PadCut(text, width, '0', true);
    return text;
}

}  // namespace

std::string NextToken(const std::string* source, const std::string& separator) {
    if (source) Program().TokenRest = *source;
    size_t at = separator.empty() ? std::string::npos : Program().TokenRest.find(separator);
    std::string token;
    if (at == std::string::npos) {
        token = std::move(Program().TokenRest);
        Program().TokenRest.clear();
    } else {
        token = Program().TokenRest.substr(0, at);
        Program().TokenRest.erase(0, at + separator.size());
    }
    return token;
}

void SplitFirst(std::string& text, const std::string& separator, std::string& head) {
    size_t at = separator.empty() ? std::string::npos : text.find(separator);
    if (at == std::string::npos) {
        head = std::move(text);
        text.clear();
    } else {
        head = text.substr(0, at);
        text.erase(0, at + separator.size());
    }
}

void UpperCaseDE(std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        char& c = text[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (static_cast<unsigned char>(c) == 0xC3 && i + 1 < text.size()) {
            // ä ö ü are C3 A4 / B6 / BC in UTF-8; Ä Ö Ü are C3 84 / 96 / 9C.
            unsigned char next = static_cast<unsigned char>(text[i + 1]);
            if (next == 0xA4 || next == 0xB6 || next == 0xBC) text[i + 1] = static_cast<char>(next - 0x20);
            ++i;
        }
    }
}

std::string UpperCaseDEStr(const std::string& text) {
    std::string result = text;
    UpperCaseDE(result);
    return result;
}

void TrimBlanks(std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        text.clear();
        return;
    }
    size_t last = text.find_last_not_of(' ');
    text = text.substr(first, last - first + 1);
}

std::string TrimBlanksStr(const std::string& text) {
    std::string result = text;
    TrimBlanks(result);
    return result;
}

void PadCut(std::string& text, int n, char fill, bool left) {
    size_t want = n > 0 ? static_cast<size_t>(n) : 0;
    size_t have = static_cast<size_t>(Utf8Length(text));
    if (have > want) {
        if (left)
            text.erase(0, Utf8ByteOffset(text, static_cast<int>(have - want)));
        else
            text.erase(Utf8ByteOffset(text, static_cast<int>(want)));
    } else if (have < want) {
        if (left)
            text.insert(0, want - have, fill);
        else
            text.append(want - have, fill);
    }
}

void FitLength(std::string& text, int n) { PadCut(text, n, ' ', false); }

std::string FitLengthStr(const std::string& text, int n) {
    std::string result = text;
    FitLength(result, n);
    return result;
}

std::string IntToStrZero(int32_t value, int width) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<size_t>(width) - text.size(), '0');
    return text;
}

int32_t StrToIntVal(const std::string& text) {
    // Leading blanks, a sign, then decimal or "$"/"0x" hex digits up to the end; anything else is 0.
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return 0;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return 0;
        value = value * base + digit;
        if (value > (base == 16 ? 0xFFFFFFFFLL : 0x80000000LL)) return 0;
    }
    if (base == 16) return static_cast<int32_t>(static_cast<uint32_t>(negative ? -value : value));
    if (negative) return static_cast<int32_t>(-value);
    return value > 0x7FFFFFFF ? 0 : static_cast<int32_t>(value);
}

uint16_t HexToInt16(const std::string& text) { return static_cast<uint16_t>(ReadHex(LastHexWord(text)) & 0xFFFF); }

uint32_t HexToInt32(const std::string& text) { return ReadHex(LastHexWord(text)); }

std::string IntToHex16(uint32_t value, int width) { return FitHex(value & 0xFFFF, width); }

std::string IntToHex32(uint32_t value, int width) { return FitHex(value, width); }

std::string BoolToJN(bool value) { return value ? "J" : "N"; }
