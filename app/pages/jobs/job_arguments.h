#pragma once
// The arguments that the two start jobs carry inside their key ("/NETINFO,3,SHOW",
// "/READOD,OD.INI,500,3"), the job's file name on this file system, and the read-out list.
// A port or interval must be written as a number: a script that mistypes one learns it
// from the job's message instead of reading some other port.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct TNetInfoJob {
    int32_t Port = 0;  // below 1: the control road's port
    std::string Mode;  // "SHOW", "FILE" or anything else (just ends)
};

struct TReadOdJob {
    std::string File;
    int32_t Interval = 0;  // ms; -1: one cycle only
    int32_t Port = 0;      // below 1: the control road's port
};

// Each answers false, with the reason in `error`, when a number field is not a number.
bool ParseNetInfoJob(const std::string& argument, TNetInfoJob& job, std::string& error);
bool ParseReadOdJob(const std::string& argument, TReadOdJob& job, std::string& error);

// A decimal whole number with an optional sign that fits 32 bits, blanks around it allowed.
bool ParseJobNumber(const std::string& text, int32_t& value);

// The command line hands the file name over upper-cased: each part of the path is matched
// exactly first, then case-insensitively. A name without "/" lies in the base folder.
std::string JobFilePath(const std::string& name);

// One object of the read-out list; node 0 marks an unused place.
struct TOdEntry {
    uint8_t Node = 0;
    uint16_t Index = 0;
    uint8_t Sub = 0;
    std::string Name;
};
using TOdEntries = std::array<TOdEntry, 10>;

// Section "ENTRIES", keys "01".."10": "node, index (hex), sub-index, name". A missing file
// reads as no entries, and so does anything but a plain file. An entry whose node, index or
// sub-index is unreadable or out of range stays unused; each such reason is added to `skipped`.
TOdEntries ReadOdEntries(const std::string& path, std::vector<std::string>* skipped = nullptr);
