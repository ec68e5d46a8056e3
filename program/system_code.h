#pragma once
// The installation record code: the installed system's settings and the time of installation
// as 39 characters for the paper installation protocol. A plain encoding with a check value.

#include <cstdint>
#include <string>

// 0..9 → "0".."9", 10..35 → "A".."Z", 36..61 → "a".."z", anything else "@".
char CodeDigit(int32_t value);
// The first two decimal digits of the value (at least two, with a leading zero), each a CodeDigit.
std::string CodeTwoDigits(int32_t value);
// Appends the XOR of all character codes as two upper-case hex digits.
void AppendXorCheck(std::string& text);
// Inserts "-" after every four characters but the last group.
void InsertCodeDashes(std::string& text);
// Groups of four, eight of them, joined by "-", from the program's SystemCodeInputs (entries the installation wizard
// did not set are 0) and the current time.
std::string BuildSystemCode();
