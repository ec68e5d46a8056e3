#include "app/config/io_row_values.h"

#include "app/config/io_config.h"
#include "program/text_utils.h"

std::optional<uint8_t> ParamByte(const std::string& text) {
    const std::string t = TrimBlanksStr(text);
    if (t.empty()) return uint8_t{0};
    if (t.size() > 6) return std::nullopt;  // leading zeros are fine, overflow is not
    int value = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > 255) return std::nullopt;
    return static_cast<uint8_t>(value);
}

bool RowStoresParam(int row, uint8_t function) { return IsInputRow(row) || (IsOutputRow(row) && function == 0xB0); }

std::string BadRowValueMessage(int row, const std::string& text) {
    std::string number = RowCaption(row);
    if (!number.empty()) number.pop_back();  // "3." without its dot
    const char* kind = IsInputRow(row) ? "Eingang" : "Ausgang";
    return std::string(kind) + " " + number + ": \"" + TrimBlanksStr(text) +
           "\" ist kein gültiger Wert (0 bis 255). Es wurde nichts gespeichert.";
}
