#include "grid/html_escape.h"

std::string HtmlEscape(std::string_view Text, bool Attribute) {
    std::string out;
    out.reserve(Text.size());
    for (char c : Text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += Attribute ? "&quot;" : "\""; break;
            default: out += c; break;
        }
    }
    return out;
}
