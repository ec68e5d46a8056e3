#include "sim/door_maintenance.h"

#include <cstdlib>

void LoadMaintenanceState(TIniFile& ini, DoorState& s) {
    const std::string date = ini.ReadString("MAINT", "DATE", "");
    if (date.size() == 10 && date[2] == '.' && date[5] == '.') {
        s.maint_day = static_cast<uint8_t>(std::atoi(date.substr(0, 2).c_str()));
        s.maint_month = static_cast<uint8_t>(std::atoi(date.substr(3, 2).c_str()));
        s.maint_year = static_cast<uint16_t>(std::atoi(date.substr(6, 4).c_str()));
    }
    const std::string counters = SimHexList(ini.ReadString("MAINT", "COUNTERS", ""));
    for (size_t k = 0; k < counters.size() && k < 8; ++k) s.counters[k + 1] = static_cast<uint8_t>(counters[k]);
}
