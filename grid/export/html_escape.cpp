#include "grid/export/html_escape.h"

#include <cstdint>

namespace {

// Characters no page may hold: controls other than the white space of text (tab, line
// feed, form feed, carriage return), and noncharacters.
bool ForbiddenInHtml(uint32_t CodePoint) {
    if (CodePoint < 0x20) return CodePoint != 0x09 && CodePoint != 0x0A && CodePoint != 0x0C && CodePoint != 0x0D;
    if (CodePoint >= 0x7F && CodePoint <= 0x9F) return true;
    return (CodePoint >= 0xFDD0 && CodePoint <= 0xFDEF) || (CodePoint & 0xFFFE) == 0xFFFE;
}

// The length of the UTF-8 sequence at Text[At] with its code point; 1 for a byte that
// starts none (it is kept as it is).
size_t SequenceAt(std::string_view Text, size_t At, uint32_t& CodePoint) {
    const auto lead = static_cast<unsigned char>(Text[At]);
    CodePoint = lead;
    const size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : 1;
    if (length == 1 || At + length > Text.size()) return 1;
    CodePoint = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(Text[At + k]);
        if ((next & 0xC0) != 0x80) {
            CodePoint = lead;
            return 1;
        }
        CodePoint = (CodePoint << 6) | (next & 0x3F);
    }
    return length;
}

}  // namespace

std::string HtmlEscape(std::string_view Text, bool Attribute) {
    std::string out;
    out.reserve(Text.size());
    for (size_t i = 0; i < Text.size();) {
        uint32_t codePoint = 0;
        const size_t length = SequenceAt(Text, i, codePoint);
        if (ForbiddenInHtml(codePoint)) {
            out += "&#65533;";
        } else {
            switch (codePoint) {
                case '&': out += "&amp;"; break;
                case '<': out += "&lt;"; break;
                case '>': out += "&gt;"; break;
                case '"': out += Attribute ? "&quot;" : "\""; break;
                default: out.append(Text.substr(i, length)); break;
            }
        }
        i += length;
    }
    return out;
}
