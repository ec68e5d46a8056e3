#pragma once
// What the simulated door equipment knows: its type, the input/output blocks, the door and
// bus state, the device slots, the bus nodes, the access codes and the object dictionary.
// Set it from code or from a small INI file.

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

struct SimSlot {
    uint8_t address = 0;  // 0: empty slot
    uint32_t type = 0;    // 0x309 door terminal, 0x6 box
    std::string version;  // up to 4 characters, e.g. "1234" shows as "1.2.34"
    uint8_t flags = 0;    // jumper bits
    std::array<uint16_t, 14> params{};
    std::array<uint8_t, 8> hex_values{};
};

struct SimNode {
    uint8_t host = 0;  // 0x40 + entry for a node that is its own host
    std::array<uint8_t, 3> app{1, 0, 0};
    std::string hw = "HW01";
    std::array<uint8_t, 2> xan{'1', '0'};  // ASCII digits
    uint16_t year = 2024;
    uint8_t month = 1, day = 1, hour = 0, minute = 0, second = 0;
    std::array<uint8_t, 3> bl{1, 0, 0};
    uint8_t prod_class = 0;
    uint32_t vendor = 0;
    uint32_t prod_code = 0;
    uint32_t serial = 0;
    uint8_t group = 0;
    uint32_t usage = 0;
};

struct DoorState {
    // 0x81 door terminal; 0x91, 0x93, 0x97 the input/output devices of types 0, 1, 2.
    uint8_t type_code = 0x81;
    std::string inputs;  // raw block bytes
    std::string outputs;
    uint8_t block_write_result = 0;
    bool answer_output_block = true;  // false: reads and writes of the output block go unanswered
    int block_late_ms = 0;            // every block answer waits this long on the clock

    uint8_t door = 0x00;  // bit 0 open, 1 pre-alarm, 2 alarm, 3 fault; high nibble lock state
    uint16_t pending_alarms = 0;
    uint16_t alarms_to_ack = 0;
    uint8_t aux1 = 0, aux2 = 0;
    uint8_t bus = 0x04;

    std::array<SimSlot, 13> slots{};  // 1..12
    uint16_t maint_year = 2026;
    uint8_t maint_month = 1, maint_day = 1;
    std::string info_text = "TOVAK-SIM";
    std::array<uint8_t, 4> terminal{};
    std::array<uint32_t, 13> slot_errors{};  // 1..12
    std::array<uint8_t, 9> buttons{};        // 1..8, bit b-1: terminal b's button seen by the box
    std::array<std::array<uint8_t, 4>, 9> box_bits{};
    bool long_button_record = false;
    uint8_t kzn_buttons = 0;            // the KZN boxes' bits in box_bits[1][0] while pressed
    std::array<uint8_t, 9> counters{};  // 1..8

    std::vector<SimNode> nodes;                                    // entry i is nodes[i-1]
    std::array<std::string, 4> codes{"", "1111", "2222", "3333"};  // levels 1..3
    uint8_t code_change_result = 0;
    bool answer_codes = true;                                       // false: code checks and changes go unanswered
    std::map<std::tuple<uint8_t, uint16_t, uint8_t>, uint32_t> od;  // (node, index, sub) -> value
    std::set<std::tuple<uint8_t, uint16_t, uint8_t>> od_read_only;  // writes ignored: reads back different
    std::set<uint8_t> silent_nodes;                                 // object requests to these nodes go unanswered
    int node_entries_answered = 32;           // node entries above this go unanswered; -1: no count either
    bool answer_terminal_settings = true;     // false: an old firmware without 0E 20
    std::set<uint8_t> silent_records;         // requests of these record types go unanswered
    std::vector<std::string> virtual_inputs;  // DATA of every FD frame

    // Installation. Times run on the program's clock (platform/sync), so a test's manual
    // clock runs them too. Detection (50 14) reports 12 00 this long after the request (0: at
    // once); after a store (11 00) the device restarts and reports again this long later.
    int detect_ms = 0;
    int restart_ms = 0;
    // The button states that successive button-state requests (50 19) find, one per
    // request, as if a technician pressed the buttons one by one; the last one stays.
    std::vector<std::array<uint8_t, 9>> button_script;
    std::vector<uint8_t> install_steps;  // index of every 50 15, 50 16, 50 17 received

    // The factory state of an input/output device of type 0, 1 or 2 (rows of 4 bytes).
    static DoorState IoDevice(int type);
    // A door terminal with one terminal and two boxes on the bus.
    static DoorState DoorTerminal();
    // The door terminal tovak-sim plays unless told otherwise: a system on which every road
    // of the program can be walked to its end by hand (see its --help).
    static DoorState TryOutTerminal();
};

// Reads sections [DEVICE] (TYPE=0|1|2|T for terminal, TYPECODE=hex), [IO] (INPUTS, OUTPUTS as
// hex lists; ANSWEROUTPUTS=0 for a device that ignores the output block; LATEMS, the delay of
// every block answer, in hex), [DOOR] (STATE, PENDING, ACK, BUS in hex), [CODES] (1, 2, 3),
// [SLOTn] (ADDRESS, TYPE hex, VERSION, FLAGS hex, Pk=value), [NODEn] (HOST, PRODCODE, SERIAL,
// VENDOR in hex), [OD] ("node,index,sub=value" in hex), [BUS] (SILENT: the nodes whose object
// requests go unanswered, a hex list), [INSTALL] (DETECTMS, RESTARTMS in
// decimal; BUTTONS, the button script: states separated by ";", each a hex list of the box
// bytes 1..8), [MAINT] (see door_maintenance.h). Unknown keys are ignored; a missing file
// throws std::runtime_error.
DoorState LoadDoorState(const std::string& path);

// The block bytes of a hex list "01,00,05,00".
std::string SimHexList(const std::string& text);
