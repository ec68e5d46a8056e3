#pragma once
// What the maintenance wizard finds in the simulated equipment: the next maintenance date
// (the date writes change it, block 3 reads it back) and the emergency-button counters.

#include "platform/classes/ini_file.h"
#include "sim/door_state.h"

// Section [MAINT]: DATE as dd.mm.yyyy, COUNTERS as a hex list of up to eight counter bytes
// (box 1 first). A malformed date leaves the one there.
void LoadMaintenanceState(TIniFile& ini, DoorState& s);
