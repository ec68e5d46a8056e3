#pragma once
// The USB adapters' virtual serial ports among the system's serial ports.

#include <string>
#include <vector>

#include "platform/comm/port_map.h"

struct TFoundPort {
    std::string Name;  // the port name, e.g. "COM3"
    int Number = 0;    // the number after its first three characters
};

// The entries whose upper-cased value name contains "\VCP", in their order.
std::vector<TFoundPort> VirtualComPorts(const std::vector<SerialCommEntry>& entries);
