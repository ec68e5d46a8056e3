#pragma once
// The function codes of the input/output rows: how a catalogue entry reads ("E" or "A", "|",
// a name or three ";"-separated variants for the device types 0, 1 and 2, "|", the parameter
// flag).
// Input functions are the codes 0x00..0x7F, output functions 0x80..0xFF.

#include <array>
#include <string>

struct TFunctionEntry {
    std::string Kind;  // "E" or "A"
    std::string Name;  // one name or three variants
    std::string Rest;  // the parameter flag (and whatever followed it)
};
// Splits at the first two "|"; missing fields are empty.
TFunctionEntry SplitFunctionEntry(const std::string& entry);

// The three variants of a name, each trimmed; an empty second or third takes the first.
std::array<std::string, 3> SplitVariants(const std::string& name);

// The drop-down text of a code for a device type ("003 Entriegeln mit Verzögerung"), or ""
// when the catalogue offers no choice for it. Reads FunctionCatalogue().
std::string FunctionItemText(int code, int deviceType);
// FunctionItemText of every code for one device type, for filling many lists at once.
std::array<std::string, 256> FunctionItemTexts(int deviceType);
// The catalogue's parameter flag of the code reads as a non-zero number.
bool FunctionUsesParam(int code);
