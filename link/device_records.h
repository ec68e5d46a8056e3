#pragma once
// The device records that the record decoder fills and the pages read (held in the link
// state). They keep their last contents until the next record of the same kind; nothing
// clears them when the link closes.

#include <array>
#include <cstdint>
#include <string>

struct TDeviceSlotRecord {
    std::array<int32_t, 14> Params{};
    int32_t BusAddress = 0;  // 0: the slot is empty
    std::string HexValue1;
    std::string HexValue2;
    std::string VersionText;
    std::string DeviceTypeHex;  // "00000309" door terminal, "00000006" box
    uint8_t SlotFlags = 0;
    uint8_t SlotByte40 = 0;
};

struct TDoorSystemRecord {
    uint8_t DoorState = 0;
    uint16_t PendingAlarms = 0;
    uint16_t AlarmsToAcknowledge = 0;
    uint8_t DoorAux1 = 0;
    uint8_t DoorAux2 = 0;
    uint8_t BusState = 0;
    std::string MaintenanceDate;  // dd.mm.yyyy
    std::string InfoText;
    std::array<TDeviceSlotRecord, 13> Slots{};  // 1..12; [0] unused
};

struct TNodeEntry {
    uint8_t Present = 0;
    uint8_t NodeID = 0;
    uint8_t SameNode = 0;
    std::string AppVers;
    std::string HWVers;
    std::string XanVers;
    std::string XanBDate;
    std::string BLVers;
    uint8_t Host = 0;
    uint8_t ProdClass = 0;
    std::string VendorID;
    int32_t ProdCode = 0;
    std::string SerNumber;
    int32_t Group = 0;
    int32_t UsageCount = 0;
};

struct TNodeTable {
    bool Valid = false;
    uint8_t ConnectorNode = 0;
    int32_t NodeCount = 0;
    std::array<TNodeEntry, 33> Nodes{};  // 1..32
    int32_t KznCount = 0;
    std::array<bool, 33> KznPresent{};  // 1..32
    std::array<std::string, 33> KznInfo{};
};

struct TTerminalSettings {
    std::array<uint8_t, 4> Raw{};
    int32_t InputFunction = 0;
    bool PermOpenOutside = false;
    bool PermOpenInside = false;
    int32_t OutputFunction = 0;
};

struct TOdReply {
    uint8_t Node = 0;
    uint16_t Index = 0;
    uint8_t SubIndex = 0;
    uint8_t OdStatus = 0;
    std::string Value;  // 8 hex digits
};
