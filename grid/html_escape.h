#pragma once
// Text from the data placed into an HTML page: markup characters in it must stay text,
// and a quote must not end an attribute value early.

#include <string>
#include <string_view>

// "&", "<" and ">" as entities, and with Attribute also '"' (for a value between double
// quotes). Every other byte is kept, so UTF-8 stays UTF-8.
std::string HtmlEscape(std::string_view Text, bool Attribute = false);
