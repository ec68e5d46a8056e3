#pragma once
// Which device answered on the open link. Each asks the device type and, when it is not the
// expected device, shows the matching error and answers true.

// The door terminal (the control road).
bool CheckDoorTerminal();
// A Portalis interface device (the configuration road).
bool CheckPortalisDevice();
