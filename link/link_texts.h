#pragma once
// Catalogue texts as the device link sees them. The main window installs the text
// catalogue's lookup at start; until then (and in programs without windows) the link's own
// German texts answer, so status displays read the same either way.

#include <functional>
#include <string>

using CompTextHandler = std::function<std::string(int id)>;

void SetCompTextHandler(CompTextHandler handler);
// The text with identifier `id`; an identifier the link does not know gives "".
std::string LinkText(int id);
// The text with its first "%s" replaced by `arg`.
std::string LinkTextFmt(int id, const std::string& arg);
