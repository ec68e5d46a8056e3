#include "platform/db/wide_string_field.h"

#include "platform/rtl/str_utils.h"

TWideStringField::TWideStringField(TComponent* AOwner) : TField(AOwner) {
    SetDataType(ftWideString);
    TField::SetSize(20);
}

std::u16string Utf8ToUtf16(const std::string& s) {
    std::u16string out;
    size_t pos = 0;
    uint32_t cp;
    while (Utf8NextCodePoint(s, pos, cp)) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;  // a lone surrogate
        }
        AppendUtf8(out, c);
    }
    return out;
}

Variant TWideStringField::GetAsVariant() const {
    std::u16string w;
    if (!GetData(&w)) return Variant::Null();
    return Variant(Utf16ToUtf8(w));
}

std::string TWideStringField::GetAsString() const {
    std::u16string w;
    GetData(&w);
    return Utf16ToUtf8(w);
}

void TWideStringField::SetAsStringValue(const std::string& v) {
    std::u16string w = Utf8ToUtf16(v);
    SetData(&w);
}
