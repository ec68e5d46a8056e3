#pragma once
// The COM-number map: Windows port names onto Linux devices, and the list of ports that
// stands in for the registry key "hardware\devicemap\serialcomm".
//
// "COMn" (also "\\.\COMn") resolves through the ports folder ($TOVAK_PORTS, else
// ~/.config/tovak/ports), whose symlinks "COMn -> /dev/..." name the device; USB adapters
// without a link answer to fixed numbers (ttyUSBk: COM(100+k), ttyACMk: COM(200+k));
// anything else is /dev/ttyS(n-1). A name that is not a COM name is used as a path.

#include <string>
#include <vector>

std::string PortsFolder();

// 0 when `name` is not a COM name.
int ComNumberFromName(const std::string& name);

std::string ResolvePortName(const std::string& name);

// One value of the stand-in registry key: Name is the value name (it contains "\VCP" for
// the virtual COM ports of USB adapters and the ports folder), Data the port name "COMn".
struct SerialCommEntry {
    std::string Name;
    std::string Data;
    std::string Device;  // the resolved device path
};

// Entries of the ports folder first (by number), then unlinked USB adapters.
std::vector<SerialCommEntry> EnumerateSerialPorts();
