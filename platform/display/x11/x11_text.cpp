#include "platform/display/x11/x11_text.h"

#include "platform/rtl/str_utils.h"

namespace {
constexpr uint32_t kReplacement = 0xFFFD;  // what the decoder gives for a broken byte
}  // namespace

std::u32string DecodeUtf8(const char* text, size_t length) {
    std::u32string out;
    std::string_view s(text, length);
    size_t pos = 0;
    uint32_t cp = 0;
    while (Utf8NextCodePoint(s, pos, cp))
        if (cp != kReplacement) out += static_cast<char32_t>(cp);
    return out;
}

std::string Utf8ToLatin1(const std::string& utf8) {
    std::string out;
    size_t pos = 0;
    uint32_t cp = 0;
    while (Utf8NextCodePoint(utf8, pos, cp)) out += static_cast<char>(cp <= 0xFF ? cp : '?');
    return out;
}

std::string Latin1ToUtf8(const std::string& latin1) {
    std::string out;
    for (unsigned char c : latin1) AppendUtf8(out, c);
    return out;
}
