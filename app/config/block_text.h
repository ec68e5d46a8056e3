#pragma once
// Small conversions of the test page and the two dialogs: hex byte lists typed by the
// technician, the virtual-input bits, the alarm-mask text and the block text cut into lines
// of four bytes.

#include <array>
#include <cstdint>
#include <string>

// Comma-separated fields, each read as the program reads hex (an empty or odd field gives 0),
// each taken as one byte. An empty text gives no bytes.
std::string HexFieldsToBytes(const std::string& text);
// The data of a command list item "name: 00,50,01": the text after the first ":", trimmed.
std::string CommandItemData(const std::string& item);

// Adds one check box to a byte built from bit 0 up: 0x80 when ticked, then the byte moves
// right by one unless this was the eighth box (shift false).
void AddCheckBit(bool checked, uint8_t& byte, bool shift);
// Two bytes from sixteen boxes: boxes 1-8 the first byte, 9-16 the second, box 1 bit 0.
std::string VirtualInputBytesOf(const std::array<bool, 16>& boxes);

// Alarm-mask text: character k (1..8) is "X" for a set bit.
bool MaskCharIsSet(const std::string& text, int k);
void SetMaskChar(std::string& text, int k, bool set);

// Lines 1-20 hold four fields each, line 21 ("Rest") what remains.
using TConfigLines = std::array<std::string, 21>;
TConfigLines SplitConfigString(const std::string& text);
// Stops at the first empty line; the rest line counts only when all 20 lines are filled.
std::string JoinConfigString(const TConfigLines& lines);
