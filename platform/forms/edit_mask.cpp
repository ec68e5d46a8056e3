#include "platform/forms/edit_mask.h"

#include "platform/forms/control_paint.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/str_utils.h"

namespace {

bool IsLetter(char32_t c) {
    return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7) ||
           c >= 0x100;
}
bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

bool IsInputClass(char32_t c) {
    switch (c) {
        case U'0':
        case U'9':
        case U'#':
        case U'A':
        case U'a':
        case U'C':
        case U'c':
        case U'L':
        case U'l': return true;
        default: return false;
    }
}

bool FitsClass(char32_t cls, char32_t c) {
    switch (cls) {
        case U'0':
        case U'9': return IsDigit(c);
        case U'#': return IsDigit(c) || c == U'+' || c == U'-' || c == U' ';
        case U'A':
        case U'a': return IsDigit(c) || IsLetter(c);
        case U'L':
        case U'l': return IsLetter(c);
        case U'C':
        case U'c': return c >= U' ';
        default: return false;
    }
}

// A field separator at index i of s that is not escaped by a backslash.
bool IsSeparatorAt(const std::u32string& s, size_t i) {
    if (i >= s.size() || s[i] != U';') return false;
    size_t slashes = 0;
    while (i > slashes && s[i - slashes - 1] == U'\\') ++slashes;
    return slashes % 2 == 0;
}

}  // namespace

TEditMask::TEditMask(std::string_view editMask) {
    std::u32string s = ToU32(editMask);
    // Up to two trailing fields: ";save;blank" or ";save".
    if (s.size() >= 4 && IsSeparatorAt(s, s.size() - 2) && IsSeparatorAt(s, s.size() - 4)) {
        blank_ = s.back();
        saveLiterals_ = s[s.size() - 3] != U'0';
        s.resize(s.size() - 4);
    } else if (s.size() >= 2 && IsSeparatorAt(s, s.size() - 2)) {
        saveLiterals_ = s.back() != U'0';
        s.resize(s.size() - 2);
    }
    TMaskCase current = TMaskCase::None;
    const TFormatSettings& fs = FormatSettings();
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        TMaskPosition p;
        if (c == U'\\' && i + 1 < s.size()) {
            p.Literal = true;
            p.Char = s[++i];
        } else if (c == U'!') {
            leftPad_ = true;
            continue;
        } else if (c == U'>') {
            if (i + 1 < s.size() && s[i + 1] == U'<') {
                ++i;
                current = TMaskCase::None;
            } else {
                current = TMaskCase::Upper;
            }
            continue;
        } else if (c == U'<') {
            current = TMaskCase::Lower;
            continue;
        } else if (c == U':') {
            p.Literal = true;
            p.Char = static_cast<unsigned char>(fs.TimeSeparator);
        } else if (c == U'/') {
            p.Literal = true;
            p.Char = static_cast<unsigned char>(fs.DateSeparator);
        } else if (IsInputClass(c)) {
            p.Char = c;
            p.Required = c == U'0' || c == U'A' || c == U'C' || c == U'L';
            p.Case = current;
        } else {
            p.Literal = true;
            p.Char = c;
        }
        positions_.push_back(p);
    }
}

int TEditMask::InputCount() const {
    int n = 0;
    for (const auto& p : positions_) n += p.Literal ? 0 : 1;
    return n;
}

bool TEditMask::IsLiteral(int pos) const {
    return pos >= 0 && pos < Length() && positions_[static_cast<size_t>(pos)].Literal;
}

int TEditMask::NextInput(int pos) const {
    for (int i = std::max(pos, 0); i < Length(); ++i)
        if (!positions_[static_cast<size_t>(i)].Literal) return i;
    return Length();
}

int TEditMask::PrevInput(int pos) const {
    for (int i = std::min(pos, Length()) - 1; i >= 0; --i)
        if (!positions_[static_cast<size_t>(i)].Literal) return i;
    return -1;
}

int TEditMask::NextLiteral(int pos) const {
    for (int i = std::max(pos, 0); i < Length(); ++i)
        if (positions_[static_cast<size_t>(i)].Literal) return i;
    return -1;
}

std::u32string TEditMask::EmptyText() const {
    std::u32string out;
    for (const auto& p : positions_) out.push_back(p.Literal ? p.Char : blank_);
    return out;
}

bool TEditMask::Accept(int pos, char32_t& ch) const {
    if (pos < 0 || pos >= Length()) return false;
    const TMaskPosition& p = positions_[static_cast<size_t>(pos)];
    if (p.Literal) return false;
    char32_t c = ch;
    if (p.Case == TMaskCase::Upper)
        c = AnsiUpperChar(c);
    else if (p.Case == TMaskCase::Lower)
        c = AnsiLowerChar(c);
    if (!FitsClass(p.Char, c)) return false;
    ch = c;
    return true;
}

std::u32string TEditMask::Format(std::u32string_view value) const {
    std::u32string out = EmptyText();
    auto put = [&](int pos, char32_t c) {
        out[static_cast<size_t>(pos)] = c == U' ' ? blank_ : c;
        const TMaskPosition& p = positions_[static_cast<size_t>(pos)];
        if (c != U' ' && p.Case != TMaskCase::None) Accept(pos, out[static_cast<size_t>(pos)]);
    };
    if (!saveLiterals_) {
        std::vector<int> inputs;
        for (int i = 0; i < Length(); ++i)
            if (!positions_[static_cast<size_t>(i)].Literal) inputs.push_back(i);
        size_t n = std::min(value.size(), inputs.size());
        if (leftPad_) {
            // The value's last characters go to the last positions.
            for (size_t k = 0; k < n; ++k) put(inputs[inputs.size() - n + k], value[value.size() - n + k]);
        } else {
            for (size_t k = 0; k < n; ++k) put(inputs[k], value[k]);
        }
        return out;
    }
    // The value holds the literals: each run of input positions takes the value's
    // characters up to the literal that ends the run.
    size_t vi = 0;
    int i = 0;
    while (i < Length()) {
        const TMaskPosition& p = positions_[static_cast<size_t>(i)];
        if (p.Literal) {
            if (vi < value.size() && value[vi] == p.Char) ++vi;
            ++i;
            continue;
        }
        int runEnd = i;
        while (runEnd < Length() && !positions_[static_cast<size_t>(runEnd)].Literal) ++runEnd;
        int width = runEnd - i;
        char32_t stop = runEnd < Length() ? positions_[static_cast<size_t>(runEnd)].Char : 0;
        std::u32string chunk;
        while (vi < value.size() && !(stop != 0 && value[vi] == stop)) {
            if (static_cast<int>(chunk.size()) < width) chunk.push_back(value[vi]);
            ++vi;
        }
        int offset = leftPad_ ? width - static_cast<int>(chunk.size()) : 0;
        for (size_t k = 0; k < chunk.size(); ++k) put(i + offset + static_cast<int>(k), chunk[k]);
        i = runEnd;
    }
    return out;
}

std::u32string TEditMask::Extract(std::u32string_view editText) const {
    std::u32string out;
    for (int i = 0; i < Length(); ++i) {
        const TMaskPosition& p = positions_[static_cast<size_t>(i)];
        char32_t c = static_cast<size_t>(i) < editText.size() ? editText[static_cast<size_t>(i)] : blank_;
        if (p.Literal) {
            if (saveLiterals_) out.push_back(c);
            continue;
        }
        out.push_back(c == blank_ ? U' ' : c);
    }
    if (!saveLiterals_) {
        if (leftPad_)
            out.erase(0, std::min(out.find_first_not_of(U' '), out.size()));
        else
            out.erase(out.find_last_not_of(U' ') + 1);
    }
    return out;
}

int TEditMask::FirstInvalid(std::u32string_view editText, bool rawText) const {
    for (int i = 0; i < Length(); ++i) {
        const TMaskPosition& p = positions_[static_cast<size_t>(i)];
        if (p.Literal) continue;
        char32_t c = static_cast<size_t>(i) < editText.size() ? editText[static_cast<size_t>(i)] : blank_;
        bool blank = c == blank_;
        if (blank) {
            if (p.Required && !rawText) return i;
            continue;
        }
        if (c == U' ') {
            if (p.Char == U'C' || (p.Required && !rawText && p.Char != U'#')) return i;
            continue;
        }
        if (!FitsClass(p.Char, c)) return i;
    }
    return -1;
}
