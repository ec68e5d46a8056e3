#include "app/config/io_config.h"

#include "platform/rtl/str_utils.h"
#include "program/text_utils.h"

namespace {

constexpr int32_t kInputs[kDeviceTypeCount][2] = {{9, 0}, {6, 0}, {16, 16}};
constexpr int32_t kOutputs[kDeviceTypeCount][2] = {{8, 0}, {6, 0}, {16, 16}};

std::vector<int> Rows(int first1, int count1, int first2, int count2) {
    std::vector<int> rows;
    for (int k = 0; k < count1; ++k) rows.push_back(first1 + k);
    for (int k = 0; k < count2; ++k) rows.push_back(first2 + k);
    return rows;
}

std::string Hex2(uint32_t v) { return IntToHex16(v, 2); }

std::string Groups(const std::string& group, int count) {
    std::string text;
    for (int k = 0; k < count; ++k) {
        if (k) text += ",";
        text += group;
    }
    return text;
}

// The next four fields from the front of the text; once it is used up, every field is empty.
std::array<uint8_t, 4> TakeGroup(std::string& text) {
    std::array<uint8_t, 4> g{};
    for (auto& b : g) {
        std::string field;
        SplitFirst(text, ",", field);
        b = static_cast<uint8_t>(HexToInt16(field) & 0xFF);
    }
    return g;
}

}  // namespace

bool IsInputRow(int row) { return (row >= 1 && row <= 16) || (row >= 41 && row <= 56); }
bool IsOutputRow(int row) { return (row >= 21 && row <= 36) || (row >= 61 && row <= 76); }

int32_t InputCountOf(int type, int bank) {
    if (type < 0 || type >= kDeviceTypeCount || bank < 1 || bank > 2) return -1;
    return kInputs[type][bank - 1];
}

int32_t OutputCountOf(int type, int bank) {
    if (type < 0 || type >= kDeviceTypeCount || bank < 1 || bank > 2) return -1;
    return kOutputs[type][bank - 1];
}

bool HasExtensionBankOf(int type) { return type == 2; }

std::vector<int> AllInputRows() { return Rows(1, 16, 41, 16); }
std::vector<int> AllOutputRows() { return Rows(21, 16, 61, 16); }

std::vector<int> InputRowsOf(int type) {
    if (type < 0 || type >= kDeviceTypeCount) return {};
    return Rows(1, InputCountOf(type, 1), 41, HasExtensionBankOf(type) ? InputCountOf(type, 2) : 0);
}

std::vector<int> OutputRowsOf(int type) {
    if (type < 0 || type >= kDeviceTypeCount) return {};
    return Rows(21, OutputCountOf(type, 1), 61, HasExtensionBankOf(type) ? OutputCountOf(type, 2) : 0);
}

std::string RowCaption(int row) {
    if (row >= 1 && row <= 16) return std::to_string(row) + ".";
    if (row >= 41 && row <= 56) return std::to_string(row - 24) + ".";
    if (row >= 21 && row <= 36) return std::to_string(row - 20) + ".";
    if (row >= 61 && row <= 76) return std::to_string(row - 44) + ".";
    return {};
}

TIoConfig::TIoConfig() { Clear(); }

TIoRow& TIoConfig::Row(int row) {
    if (!IsConfigRow(row)) {
        scratch_ = TIoRow{};
        return scratch_;
    }
    return rows_[static_cast<size_t>(row)];
}

const TIoRow& TIoConfig::Row(int row) const {
    static const TIoRow blank{};
    return IsConfigRow(row) ? rows_[static_cast<size_t>(row)] : blank;
}

void TIoConfig::Clear() {
    rows_.fill(TIoRow{});
    for (int r : AllOutputRows()) rows_[static_cast<size_t>(r)].Function = 0x80;
}

std::string EncodeInputBlock(const TIoConfig& config) {
    std::string text;
    for (int r : InputRowsOf(config.DeviceType)) {
        const TIoRow& row = config.Row(r);
        if (!text.empty()) text += ",";
        text += Hex2(row.Function) + "," + Hex2(row.Inverted ? 1 : 0) + "," + Hex2(row.Param) + ",00";
    }
    return text;
}

std::string EncodeOutputBlock(const TIoConfig& config) {
    std::string text;
    for (int r : OutputRowsOf(config.DeviceType)) {
        const TIoRow& row = config.Row(r);
        if (!text.empty()) text += ",";
        text += Hex2(row.Function) + "," + Hex2(row.Inverted ? 1 : 0) + "," +
                Hex2(row.Function == 0xB0 ? row.Param : 0) + "," + Hex2(row.Function == 0xC1 ? row.Mask : 0);
    }
    return text;
}

int BlockGroupCount(const std::string& text) { return (Utf8Length(text) + 1) / 12; }

int DeviceTypeForInputGroups(int groups) {
    if (groups == 0 || groups == 9) return 0;
    if (groups == 5 || groups == 6) return 1;
    return 2;
}

void DecodeInputBlock(const std::string& text, TIoConfig& config) {
    config.DeviceType = DeviceTypeForInputGroups(BlockGroupCount(text));
    std::string rest = text;
    for (int r : AllInputRows()) {
        const auto g = TakeGroup(rest);
        TIoRow& row = config.Row(r);
        row.Function = g[0];
        row.Inverted = g[1] != 0;
        row.Param = g[2];
    }
}

void DecodeOutputBlock(const std::string& text, TIoConfig& config) {
    std::string rest = text;
    for (int r : AllOutputRows()) {
        const auto g = TakeGroup(rest);
        TIoRow& row = config.Row(r);
        row.Function = g[0] < 0x80 ? 0x80 : g[0];
        row.Inverted = g[1] != 0;
        row.Param = g[2];
        row.Mask = g[3];
    }
}

std::string StandardInputText(int type) {
    switch (type) {
        case 0:
            return "04,00,00,00,20,00,00,00,03,00,05,00,05,00,00,00,08,00,00,00,09,00,00,00,0A,00,00,00,26,00,00,00,21,"
                   "00,00,00";
        case 1: return "04,00,00,00,20,00,00,00,03,00,01,00,0A,00,01,00,21,00,00,00,40,01,00,00";
        case 2: return Groups("00,00,00,00", 32);
        default: return {};
    }
}

std::string StandardOutputText(int type) {
    switch (type) {
        case 0:
            return "82,00,00,00,A1,00,00,00,A2,00,00,00,A4,00,00,00,A5,00,00,00,86,00,00,00,B8,00,00,00,C1,00,00,FF";
        case 1: return "A1,00,00,00,C1,00,00,FF,80,00,00,00,80,00,00,00,80,00,00,00,80,00,00,00";
        case 2: return Groups("80,00,00,00", 32);
        default: return {};
    }
}

std::string MaskToText(uint8_t mask) {
    std::string text(8, '_');
    for (int k = 0; k < 8; ++k)
        if (mask & (1u << k)) text[static_cast<size_t>(k)] = 'X';
    return text;
}

uint8_t MaskFromText(const std::string& text) {
    uint8_t mask = 0;
    for (size_t k = 0; k < 8 && k < text.size(); ++k)
        if (text[k] == 'X') mask = static_cast<uint8_t>(mask | (1u << k));
    return mask;
}
