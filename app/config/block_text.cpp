#include "app/config/block_text.h"

#include "program/text_utils.h"

namespace {

void AppendByte(std::string& out, const std::string& field) {
    if (!out.empty()) out += ",";
    out += IntToHex16(HexToInt16(field) & 0xFF, 2);
}

}  // namespace

std::string HexFieldsToBytes(const std::string& text) {
    std::string rest = text;
    std::string bytes;
    while (!rest.empty()) {
        std::string field;
        SplitFirst(rest, ",", field);
        bytes += static_cast<char>(HexToInt16(field) & 0xFF);
    }
    return bytes;
}

std::string CommandItemData(const std::string& item) {
    const size_t colon = item.find(':');
    if (colon == std::string::npos) return {};
    return TrimBlanksStr(item.substr(colon + 1));
}

void AddCheckBit(bool checked, uint8_t& byte, bool shift) {
    if (checked) byte = static_cast<uint8_t>(byte + 0x80);
    if (shift) byte = static_cast<uint8_t>(byte >> 1);
}

std::string VirtualInputBytesOf(const std::array<bool, 16>& boxes) {
    std::string out;
    for (int b = 0; b < 2; ++b) {
        uint8_t byte = 0;
        for (int k = 0; k < 8; ++k) AddCheckBit(boxes[static_cast<size_t>(b * 8 + k)], byte, k < 7);
        out += static_cast<char>(byte);
    }
    return out;
}

bool MaskCharIsSet(const std::string& text, int k) {
    return k >= 1 && static_cast<size_t>(k) <= text.size() && text[static_cast<size_t>(k - 1)] == 'X';
}

void SetMaskChar(std::string& text, int k, bool set) {
    if (k < 1) return;
    if (text.size() < static_cast<size_t>(k)) text.resize(static_cast<size_t>(k), '_');
    text[static_cast<size_t>(k - 1)] = set ? 'X' : '_';
}

TConfigLines SplitConfigString(const std::string& text) {
    TConfigLines lines;
    std::string rest = text;
    for (int l = 0; l < 20; ++l) {
        std::string line;
        for (int f = 0; f < 4; ++f) {
            std::string field;
            SplitFirst(rest, ",", field);
            if (!line.empty()) line += ",";
            line += field;
        }
        lines[static_cast<size_t>(l)] = line;
    }
    lines[20] = rest;
    return lines;
}

std::string JoinConfigString(const TConfigLines& lines) {
    std::string out;
    for (int l = 0; l < 20; ++l) {
        std::string rest = lines[static_cast<size_t>(l)];
        if (TrimBlanksStr(rest).empty()) return out;
        for (int f = 0; f < 4; ++f) {
            std::string field;
            SplitFirst(rest, ",", field);
            AppendByte(out, field);
        }
    }
    std::string rest = lines[20];
    while (!TrimBlanksStr(rest).empty()) {
        std::string field;
        SplitFirst(rest, ",", field);
        AppendByte(out, field);
    }
    return out;
}
