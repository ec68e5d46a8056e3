#pragma once
// Every section of a settings file with its entries, in order: all that a reader of it sees.

#include <string>
#include <vector>

#include "platform/classes/custom_ini_file.h"
#include "platform/classes/string_list.h"

inline std::vector<std::string> IniReadings(TCustomIniFile& ini) {
    TStringList sections, values;
    ini.ReadSections(&sections);
    std::vector<std::string> seen;
    for (int i = 0; i < sections.Count(); ++i) {
        ini.ReadSectionValues(sections[i], &values);
        seen.push_back("[" + sections[i] + "]");
        for (int k = 0; k < values.Count(); ++k) seen.push_back(values[k]);
    }
    return seen;
}
