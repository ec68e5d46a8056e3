#pragma once
// The settings file "TOVAK.INI", section "MAIN": every key with its type and default, read
// once at the main window's first show. The settings in force are the program's context's
// (program/program_context.h), except PrtShow and PrtProt, which live with the link
// (link_state.h).

#include <cstdint>
#include <string>

struct TLinkState;

struct TMainSettings {
    int32_t Cot = 1;     // test page port
    int32_t Com = 1;     // port of the configuration road
    int32_t Coc = 1;     // port of the control road
    int32_t Ctc = 1;     // port of the door-controller pages
    int32_t Csm = 1;     // 1: ports chosen from the found adapters; else typed in
    bool Csv = false;    // show the two port-search lists
    int32_t KeyEnd = 2;  // behaviour of the Esc key
    bool PrtShow = false;
    bool PrtProt = false;
    bool PxtShow = false;
    bool PxtProt = false;
    int32_t InstMode = 0;
    int32_t InstStepMode = 1;
    bool DbBridgeHex = false;
    bool DbProtNetInfo = false;
    std::string Language;  // trimmed, upper-cased (umlauts too)
    bool CmrRm = true;
    bool MProtRdOd = false;
};

// Reads the keys in their order; a missing file or key, or a value that is no number, gives
// the default. A UTF-16 file is read as any other. A file that exists but cannot be read or
// is no text gives every default, and `unreadable` (when given) what to tell the user.
TMainSettings ReadMainSettings(const std::string& fileName, std::string* unreadable = nullptr);

// Puts `s` into force: into the program's context, and PrtShow/PrtProt into the link's state.
void ApplyMainSettings(const TMainSettings& s, TLinkState& link);

// Writes one integer into section "MAIN" of the settings file (the test page keeps its port).
// A write refused or failed raises EIniFileException, saying why in German
// (ini_fault_text.h); the file is then as it was.
void WriteIniInteger(const std::string& key, int32_t value);
