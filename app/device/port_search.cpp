#include "app/device/port_search.h"

#include "program/text_utils.h"

std::vector<TFoundPort> VirtualComPorts(const std::vector<SerialCommEntry>& entries) {
    std::vector<TFoundPort> found;
    for (const SerialCommEntry& e : entries) {
        if (UpperCaseDEStr(e.Name).find("\\VCP") == std::string::npos) continue;
        TFoundPort p;
        p.Name = e.Data;
        p.Number = e.Data.size() > 3 ? StrToIntVal(e.Data.substr(3)) : 0;
        found.push_back(p);
    }
    return found;
}
