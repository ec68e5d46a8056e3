#pragma once
// The values a user types into the configuration rows, checked before they become bytes:
// a delay of 300 or a word would otherwise reach the device or the file cut to its low byte.

#include <cstdint>
#include <optional>
#include <string>

// The byte a typed parameter stands for: a whole number from 0 to 255 (blanks around it
// allowed, an empty field reads 0); nullopt for anything else.
std::optional<uint8_t> ParamByte(const std::string& text);
// Whether a row's parameter is stored with its function: every input row carries it, an
// output row only as a time limit (function 0xB0).
bool RowStoresParam(int row, uint8_t function);
// The message that refuses a row's value, naming the row as the page shows it.
std::string BadRowValueMessage(int row, const std::string& text);
