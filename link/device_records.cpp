#include "link/device_records.h"

TDoorSystemRecord DoorSystem;
TNodeTable NodeTable;
TTerminalSettings TerminalSettings;
TOdReply OdReply;
std::array<uint32_t, 13> SlotErrors{};
std::array<uint8_t, 9> EmergencyCounters{};
int32_t GrantedLevel = 0;
std::array<uint8_t, 9> BoxButtonBytes{};
std::array<std::array<uint8_t, 4>, 9> BoxBitWords{};
std::string ButtonMap(8, ' ');
bool AllButtonsPressed = false;
std::string BoxBitMap;

void BuildButtonMap(int mode) {
    int terminals = 0;
    int boxes = 0;
    for (int s = 1; s <= 4; ++s)
        if (DoorSystem.Slots[s].BusAddress != 0) ++terminals;
    for (int s = 5; s <= 12; ++s)
        if (DoorSystem.Slots[s].BusAddress != 0) ++boxes;
    ButtonMap.resize(8, ' ');
    for (int p = boxes + 1; p <= 8; ++p) ButtonMap[p - 1] = '-';
    for (int b = 1; b <= terminals; ++b) {
        char c = '_';
        if (boxes > 0) {
            int set = 0;
            for (int k = 1; k <= boxes; ++k)
                if ((BoxButtonBytes[k] >> (b - 1)) & 1) ++set;
            c = set == boxes ? 'X' : set == 0 ? '_' : '?';
        }
        ButtonMap[b - 1] = c;
    }
    int pressed = 0;
    for (char c : ButtonMap)
        if (c == 'X') ++pressed;
    AllButtonsPressed = pressed == terminals;
    BoxBitMap.clear();
    if (mode == 2) {
        for (int i = 1; i <= NodeTable.KznCount; ++i)
            BoxBitMap += i <= 8 && ((BoxBitWords[1][0] >> (i - 1)) & 1) ? 'X' : '-';
    }
}

void ClearDeviceRecords() {
    DoorSystem = TDoorSystemRecord{};
    NodeTable = TNodeTable{};
    TerminalSettings = TTerminalSettings{};
    OdReply = TOdReply{};
    SlotErrors.fill(0);
    EmergencyCounters.fill(0);
    GrantedLevel = 0;
    BoxButtonBytes.fill(0);
    for (auto& w : BoxBitWords) w.fill(0);
    ButtonMap.assign(8, ' ');
    AllButtonsPressed = false;
    BoxBitMap.clear();
}
