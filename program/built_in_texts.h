#pragma once
// The program's numbered run-time texts in German, as built in (identifiers 1001..2202).
// The text catalogue of the main window starts from them and may be translated; the device
// link reads them directly until that catalogue is installed.

#include <string>
#include <utility>
#include <vector>

// In identifier order.
const std::vector<std::pair<int, std::string>>& BuiltInCompTexts();
// The built-in text with identifier `id`; nullptr when there is none.
const std::string* FindBuiltInCompText(int id);
