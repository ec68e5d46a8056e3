#pragma once
// Text from the data placed into an HTML page: markup characters in it must stay text,
// and a quote must not end an attribute value early.

#include <string>
#include <string_view>

// "&", "<" and ">" as entities, and with Attribute also '"' (for a value between double
// quotes); a character no page may hold (a control other than tab, line feed, form feed
// and carriage return, or a noncharacter) as "&#65533;". Everything else is kept as it
// is, so UTF-8 stays UTF-8.
std::string HtmlEscape(std::string_view Text, bool Attribute = false);
