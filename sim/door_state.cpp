#include "sim/door_state.h"

#include <memory>
#include <stdexcept>
#include <sys/stat.h>

#include "platform/classes/ini_file.h"
#include "platform/classes/string_list.h"
#include "sim/door_maintenance.h"

namespace {

uint32_t Hex(const std::string& text, uint32_t fallback = 0) {
    try {
        size_t used = 0;
        unsigned long v = std::stoul(text, &used, 16);
        return used ? static_cast<uint32_t>(v) : fallback;
    } catch (...) {
        return fallback;
    }
}

std::string Rows(int count, uint8_t base) {
    std::string block;
    for (int r = 0; r < count; ++r) {
        block += static_cast<char>(base + r);  // function
        block += '\0';                         // inverted flag
        block += static_cast<char>(r);         // delay
        block += '\0';                         // alarm mask
    }
    return block;
}

}  // namespace

std::string SimHexList(const std::string& text) {
    std::string out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        std::string token = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!token.empty()) out += static_cast<char>(Hex(token) & 0xFF);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

DoorState DoorState::IoDevice(int type) {
    DoorState s;
    static const uint8_t codes[3] = {0x91, 0x93, 0x97};
    static const int inputs[3] = {9, 6, 32};
    static const int outputs[3] = {8, 6, 32};
    if (type < 0 || type > 2) type = 0;
    s.type_code = codes[type];
    s.inputs = Rows(inputs[type], 0x01);
    s.outputs = Rows(outputs[type], 0x81);
    return s;
}

DoorState DoorState::DoorTerminal() {
    DoorState s;
    s.type_code = 0x81;
    s.slots[1].address = 5;
    s.slots[1].type = 0x309;
    s.slots[1].version = "1234";
    s.slots[1].params[6] = 5;
    s.slots[1].params[7] = 30;
    for (int box = 5; box <= 6; ++box) {
        s.slots[box].address = static_cast<uint8_t>(16 + box);
        s.slots[box].type = 0x6;
        s.slots[box].version = "2001";
        s.slots[box].flags = 0x22;
    }
    SimNode terminal;
    terminal.host = 0x41;
    terminal.prod_code = 0x0309;
    terminal.serial = 0x00012345;
    SimNode box;
    box.host = 0x42;
    box.prod_code = 6;
    box.serial = 0x00054321;
    s.nodes = {terminal, box};
    return s;
}

DoorState DoorState::TryOutTerminal() {
    DoorState s = DoorTerminal();
    // Each slot at the bus address of its node below, so the slots show the nodes' versions.
    s.slots[1].address = 0x41;
    // Both boxes jumpered alike (J1 and J3 set, J2 open): the installation's jumper check
    // passes and lets the delays t1 and t2 be edited.
    for (int box = 5; box <= 6; ++box) {
        s.slots[box].address = static_cast<uint8_t>(0x42 + box - 5);
        s.slots[box].flags = 0x61;
    }
    // The door times of a usual door (seconds; the permanent release in minutes).
    const struct {
        size_t param;
        uint16_t value;
    } times[] = {{0x00, 5}, {0x02, 20}, {0x08, 10}, {0x03, 60}, {0x04, 1}, {0x09, 180}, {0x0A, 3}};
    for (const auto& t : times) s.slots[1].params[t.param] = t.value;
    // Long enough to watch the installation's detection and restart happen.
    s.detect_ms = 1000;
    s.restart_ms = 2000;
    s.maint_year = 2027;
    s.maint_month = 3;
    s.maint_day = 1;
    s.counters[2] = 3;  // box 2 counted three emergency stops since the last maintenance
    s.info_text = "TRY-OUT";

    // The bus: the terminal, its two boxes and a KZN connector with two boxes behind it,
    // each answering its identity objects; the boxes also their locking word.
    constexpr uint32_t kVendor = 0x0000029C;
    const struct {
        uint32_t prod_code, serial;
    } nodes[] = {{0x0309, 0x00012345}, {6, 0x00054321}, {6, 0x00054322}, {11, 0x00067890}};
    s.nodes.clear();
    for (const auto& n : nodes) {
        SimNode node;
        const uint8_t id = static_cast<uint8_t>(0x41 + s.nodes.size());
        node.host = id;
        node.vendor = kVendor;
        node.prod_code = n.prod_code;
        node.serial = n.serial;
        s.nodes.push_back(node);
        s.od[{id, 0x1018, 1}] = kVendor;
        s.od[{id, 0x1018, 2}] = n.prod_code;
        s.od[{id, 0x1018, 3}] = 0x00010000;
        s.od[{id, 0x1018, 4}] = n.serial;
    }
    s.od[{0x42, 0x2200, 14}] = 0x00000040;  // swing door
    s.od[{0x43, 0x2200, 14}] = 0x00000020;  // locking mode 2
    s.od[{0x44, 0x2008, 1}] = 0x00070001;
    s.od[{0x44, 0x2008, 2}] = 0x00070002;
    // The emergency buttons are seen by the KZN connector's two boxes as well.
    s.long_button_record = true;
    s.kzn_buttons = 0x03;
    return s;
}

DoorState LoadDoorState(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) throw std::runtime_error("cannot read " + path);
    TIniFile ini(path);
    std::string type = ini.ReadString("DEVICE", "TYPE", "T");
    DoorState s = type == "0" || type == "1" || type == "2" ? DoorState::IoDevice(type[0] - '0')
                                                            : DoorState::DoorTerminal();
    s.type_code = static_cast<uint8_t>(Hex(ini.ReadString("DEVICE", "TYPECODE", ""), s.type_code));
    if (ini.ValueExists("IO", "INPUTS")) s.inputs = SimHexList(ini.ReadString("IO", "INPUTS", ""));
    if (ini.ValueExists("IO", "OUTPUTS")) s.outputs = SimHexList(ini.ReadString("IO", "OUTPUTS", ""));
    s.answer_output_block = ini.ReadString("IO", "ANSWEROUTPUTS", "1") != "0";
    s.block_late_ms = static_cast<int>(Hex(ini.ReadString("IO", "LATEMS", "0"), 0));
    s.door = static_cast<uint8_t>(Hex(ini.ReadString("DOOR", "STATE", ""), s.door));
    s.pending_alarms = static_cast<uint16_t>(Hex(ini.ReadString("DOOR", "PENDING", ""), s.pending_alarms));
    s.alarms_to_ack = static_cast<uint16_t>(Hex(ini.ReadString("DOOR", "ACK", ""), s.alarms_to_ack));
    s.bus = static_cast<uint8_t>(Hex(ini.ReadString("DOOR", "BUS", ""), s.bus));
    s.detect_ms = ini.ReadInteger("INSTALL", "DETECTMS", s.detect_ms);
    s.restart_ms = ini.ReadInteger("INSTALL", "RESTARTMS", s.restart_ms);
    const std::string script = ini.ReadString("INSTALL", "BUTTONS", "");
    for (size_t start = 0; start < script.size();) {
        size_t end = script.find(';', start);
        if (end == std::string::npos) end = script.size();
        const std::string boxes = SimHexList(script.substr(start, end - start));
        std::array<uint8_t, 9> buttons{};
        for (size_t k = 0; k < boxes.size() && k < 8; ++k) buttons[k + 1] = static_cast<uint8_t>(boxes[k]);
        s.button_script.push_back(buttons);
        start = end + 1;
    }
    for (int level = 1; level <= 3; ++level)
        s.codes[level] = ini.ReadString("CODES", std::to_string(level), s.codes[level]);
    for (int n = 1; n <= 12; ++n) {
        std::string sec = "SLOT" + std::to_string(n);
        if (!ini.SectionExists(sec)) continue;
        SimSlot& slot = s.slots[n];
        slot.address = static_cast<uint8_t>(ini.ReadInteger(sec, "ADDRESS", slot.address));
        slot.type = Hex(ini.ReadString(sec, "TYPE", ""), slot.type);
        slot.version = ini.ReadString(sec, "VERSION", slot.version);
        slot.flags = static_cast<uint8_t>(Hex(ini.ReadString(sec, "FLAGS", ""), slot.flags));
        for (int p = 0; p < 14; ++p)
            slot.params[p] = static_cast<uint16_t>(ini.ReadInteger(sec, "P" + std::to_string(p), slot.params[p]));
    }
    for (int n = 1; n <= 32; ++n) {
        std::string sec = "NODE" + std::to_string(n);
        if (!ini.SectionExists(sec)) break;
        if (s.nodes.size() < static_cast<size_t>(n)) s.nodes.resize(n);
        SimNode& node = s.nodes[n - 1];
        node.host = static_cast<uint8_t>(Hex(ini.ReadString(sec, "HOST", ""), node.host));
        node.prod_code = Hex(ini.ReadString(sec, "PRODCODE", ""), node.prod_code);
        node.serial = Hex(ini.ReadString(sec, "SERIAL", ""), node.serial);
        node.vendor = Hex(ini.ReadString(sec, "VENDOR", ""), node.vendor);
    }
    auto keys = std::make_unique<TStringList>();
    ini.ReadSection("OD", keys.get());
    for (int k = 0; k < keys->Count(); ++k) {
        std::string key = keys->Strings(k);
        std::string parts[3];
        size_t start = 0;
        for (int i = 0; i < 3; ++i) {
            size_t comma = key.find(',', start);
            parts[i] = key.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            start = comma == std::string::npos ? key.size() : comma + 1;
        }
        s.od[{static_cast<uint8_t>(Hex(parts[0])), static_cast<uint16_t>(Hex(parts[1])),
              static_cast<uint8_t>(Hex(parts[2]))}] = Hex(ini.ReadString("OD", key, "0"));
    }
    for (char node : SimHexList(ini.ReadString("BUS", "SILENT", ""))) s.silent_nodes.insert(static_cast<uint8_t>(node));
    LoadMaintenanceState(ini, s);
    return s;
}
