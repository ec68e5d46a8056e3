#pragma once
// The input/output configuration of the interface devices: device types and their row
// counts, the row numbering (1-16 and 41-56 inputs, 21-36 and 61-76 outputs; the numbers
// also name the page's controls and the file keys), the rows' bytes, and the block text the
// device exchanges (two upper-case hex digits per byte, "," between bytes, four bytes a row).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// 0 and 1 the two Portalis devices, 2 the Belvar device (the only one with a second bank).
constexpr int kDeviceTypeCount = 3;

bool IsInputRow(int row);
bool IsOutputRow(int row);
inline bool IsConfigRow(int row) { return IsInputRow(row) || IsOutputRow(row); }
// Row counts of bank 1 or 2 for a device type; -1 for another bank or type.
int32_t InputCountOf(int type, int bank);
int32_t OutputCountOf(int type, int bank);
bool HasExtensionBankOf(int type);

// Every row of a kind (bank 1, then bank 2), and the rows a device type has, in block order.
std::vector<int> AllInputRows();
std::vector<int> AllOutputRows();
std::vector<int> InputRowsOf(int type);
std::vector<int> OutputRowsOf(int type);

// Shown number of a row: "1." .. "32.".
std::string RowCaption(int row);

struct TIoRow {
    uint8_t Function = 0;
    bool Inverted = false;
    uint8_t Param = 0;  // delay (inputs) or time limit (outputs), seconds
    uint8_t Mask = 0;   // alarm mask (outputs)
};

// The rows of one configuration; rows that do not exist read as a blank row and ignore writes.
class TIoConfig {
public:
    TIoConfig();
    int DeviceType = 0;
    TIoRow& Row(int row);
    const TIoRow& Row(int row) const;
    // Inputs at function 0x00, outputs at 0x80, everything else 0.
    void Clear();

private:
    std::array<TIoRow, 77> rows_{};
    TIoRow scratch_;
};

// Rows to block text: the rows the device type has. Inputs carry function, flag, parameter
// and 00; outputs the parameter only for function 0xB0 and the mask only for 0xC1.
std::string EncodeInputBlock(const TIoConfig& config);
std::string EncodeOutputBlock(const TIoConfig& config);
// Block text to rows: every row of the kind is set, rows beyond the text become blank.
// Each field is read as the program reads hex (upper-case digits only; anything else as a
// blank, so an empty field reads 0). The input block also decides the device type from its
// number of complete groups; an output function below 0x80 is taken as 0x80.
void DecodeInputBlock(const std::string& text, TIoConfig& config);
void DecodeOutputBlock(const std::string& text, TIoConfig& config);
// The device type a number of four-byte input groups stands for (0: 0, 5 or 6: 1, 9: 0,
// else 2).
int DeviceTypeForInputGroups(int groups);
// Number of complete four-byte groups in a block text: (characters + 1) div 12.
int BlockGroupCount(const std::string& text);

// The standard configurations of each device type as block text.
std::string StandardInputText(int type);
std::string StandardOutputText(int type);

// The alarm mask as the mask button shows it: character k is "X" for bit k-1, else "_".
std::string MaskToText(uint8_t mask);
// Any character other than "X" counts as a clear bit; only the first 8 count.
uint8_t MaskFromText(const std::string& text);
