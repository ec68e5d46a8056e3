#include "app/config/io_config_file.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>

#include "app/config/section_splice.h"
#include "platform/classes/file_utils.h"
#include "platform/classes/mem_ini_file.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/str_utils.h"
#include "program/text_utils.h"

namespace {

const char* const kInput = "INPUT";
const char* const kOutput = "OUTPUT";

bool Readable(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return in.good();
}

// A configuration file holds at most 64 short entries beside whatever other sections a user
// keeps in it; a file this large is something else (a log, an image) picked by mistake, and
// reading it whole would hold the window for minutes.
constexpr std::uintmax_t kMaxConfigFileBytes = 1024 * 1024;

void RefuseSize(const std::string& fileName, std::uintmax_t size) {
    if (size > kMaxConfigFileBytes)
        throw EReadError("Datei \"" + fileName + "\" ist zu groß für eine Konfigurationsdatei (" +
                         std::to_string(size) + " Bytes, höchstens " + std::to_string(kMaxConfigFileBytes) + ")");
}

void RefuseOversized(const std::string& fileName) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(fileName, ec);
    if (!ec) RefuseSize(fileName, size);
}

struct Fields {
    int32_t f[4] = {0, 0, 0, 0};
};

Fields SplitFields(const std::string& value) {
    Fields out;
    std::string rest = value;
    for (auto& f : out.f) {
        std::string field;
        SplitFirst(rest, ";", field);
        f = StrToIntVal(TrimBlanksStr(field));
    }
    return out;
}

uint8_t Low(int32_t v) { return static_cast<uint8_t>(v & 0xFF); }

// The last line of a file that stops inside a row of its configuration (a copy or a write
// that broke off): that row lost fields and every row after it is gone. Nothing when the
// file ends with a line end or with a complete line (a hand-made file may lack the last line
// end; the program writes every row with its four fields, the last of three digits).
// `text` is the file as the INI reader sees it, decoded (a byte-order mark dropped);
// `cutCharacter` says the file stops inside a character the decoding dropped, so that its
// last line is cut whatever is left of it, even nothing after a line end, in whatever section
// and whatever the line (a comment, a section's name).
std::optional<std::string> CutRow(const std::string& text, bool cutCharacter) {
    if (!cutCharacter && (text.empty() || text.back() == '\n' || text.back() == '\r')) return std::nullopt;
    std::string section, line;
    for (size_t pos = 0;;) {
        const size_t end = text.find_first_of("\r\n", pos);
        line = Trim(text.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        if (end == std::string::npos) break;  // the last line, which has no line end
        if (!line.empty() && line[0] == '[' && line.find(']') != std::string::npos)
            section = Trim(line.substr(1, line.find(']') - 1));
        pos = end + 1;
    }
    // A line of any section, a comment too: a save keeps it, and would write it back one
    // character short.
    if (cutCharacter) return line;
    if (!line.empty() && line[0] == ';') return std::nullopt;
    if (!line.empty() && line[0] == '[')
        return line.find(']') == std::string::npos ? std::optional(line) : std::nullopt;
    if (!SameText(section, kInput) && !SameText(section, kOutput)) return std::nullopt;
    if (line.empty()) return std::nullopt;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return line;
    const std::string value = line.substr(equals + 1);
    const auto fields = std::count(value.begin(), value.end(), ';') + 1;
    if (fields < 4) return line;
    const bool lastCut = fields == 4 && Trim(value.substr(value.rfind(';') + 1)).size() < 3;
    return lastCut ? std::optional(line) : std::nullopt;
}

// The file stops inside `cut`, its last line: refused whole, by a load and by a save alike.
[[noreturn]] void RefuseCut(const std::string& fileName, const std::string& cut) {
    const bool showable = !cut.empty() && cut.size() <= 40 &&
                          std::all_of(cut.begin(), cut.end(), [](char c) { return c >= ' ' && c < 0x7F; });
    throw EReadError("Datei \"" + fileName + "\" ist unvollständig: sie endet mitten in " +
                     (showable ? "der Zeile \"" + cut + "\"" : std::string("einer Zeile")));
}

std::string InputValue(const TIoRow& row) {
    return IntToStrZero(row.Function, 3) + ";" + IntToStrZero(row.Inverted ? 1 : 0, 3) + ";" +
           IntToStrZero(row.Param, 3) + ";000";
}

std::string OutputValue(const TIoRow& row) {
    return IntToStrZero(row.Function, 3) + ";" + std::to_string(row.Inverted ? 1 : 0) + ";" +
           std::to_string(row.Function == 0xB0 ? row.Param : 0) + ";" +
           IntToStrZero(row.Function == 0xC1 ? row.Mask : 0, 3);
}

void SetInput(TIoRow& row, const std::string& value) {
    Fields v = SplitFields(value);
    row.Function = Low(v.f[0]);
    row.Inverted = v.f[1] != 0;
    row.Param = Low(v.f[2]);
    row.Mask = 0;
}

void SetOutput(TIoRow& row, const std::string& value) {
    Fields v = SplitFields(value);
    // The low byte first, so an out-of-range number cannot put an input code on an output.
    const uint8_t function = Low(v.f[0]);
    row.Function = function < 0x80 ? 0x80 : function;
    row.Inverted = v.f[1] != 0;
    row.Param = Low(v.f[2]);
    row.Mask = Low(v.f[3]);
}

}  // namespace

std::string ConfigFileKey(int row) {
    if (row >= 1 && row <= 16) return IntToStrZero(row, 2);
    if (row >= 41 && row <= 56) return IntToStrZero(row - 24, 2);
    if (row >= 21 && row <= 36) return IntToStrZero(row - 20, 2);
    if (row >= 61 && row <= 76) return IntToStrZero(row - 44, 2);
    return {};
}

int DeviceTypeForLastInputKey(int key) {
    if (key == 5 || key == 6) return 1;
    if (key == 9) return 0;
    return 2;
}

void SaveIoConfigToFile(const std::string& fileName, const TIoConfig& config) {
    std::string bytes;  // a new file starts empty
    if (FileExists(fileName)) {
        if (!Readable(fileName)) throw EFOpenError("Datei \"" + fileName + "\" kann nicht gelesen werden");
        RefuseOversized(fileName);
        bytes = ReadFileBytes(fileName);
        RefuseSize(fileName, bytes.size());
        // Refused as the load refuses it, whatever its last line: the save keeps the other
        // lines byte for byte, a cut one stays cut, and the saved file would not load. A row
        // cut short is not refused: the save rewrites it.
        if (EndsInsideCharacter(bytes)) RefuseCut(fileName, CutRow(DecodeTextBytes(bytes), true).value_or(""));
    }
    TSectionEntries inputs{kInput, {}}, outputs{kOutput, {}};
    for (int r : InputRowsOf(config.DeviceType))
        inputs.lines.push_back(ConfigFileKey(r) + "=" + InputValue(config.Row(r)));
    for (int r : OutputRowsOf(config.DeviceType))
        outputs.lines.push_back(ConfigFileKey(r) + "=" + OutputValue(config.Row(r)));
    const std::string saved = ReplaceSectionEntries(bytes, {inputs, outputs});
    // What is written must load again: a file near the limit may grow past it by the rows.
    RefuseSize(fileName, saved.size());
    WriteFileAtomic(fileName, saved);
}

void LoadIoConfigFromFile(const std::string& fileName, TIoConfig& config) {
    if (!FileExists(fileName) || !Readable(fileName))
        throw EFOpenError("Datei \"" + fileName + "\" kann nicht geöffnet werden");
    RefuseOversized(fileName);
    TMemIniFile ini(fileName);
    // Anything else read as a configuration would blank every row, ready to be written.
    if (!ini.SectionExists(kInput) && !ini.SectionExists(kOutput))
        throw EReadError("Datei \"" + fileName +
                         "\" ist keine Konfigurationsdatei (kein Abschnitt [INPUT] oder [OUTPUT])");
    const std::string bytes = ReadFileBytes(fileName);
    if (const auto cut = CutRow(DecodeTextBytes(bytes), EndsInsideCharacter(bytes))) RefuseCut(fileName, *cut);
    TIoConfig loaded;
    int lastKey = 0;
    for (int k = 1; k <= 16; ++k) {
        const std::string value = TrimBlanksStr(ini.ReadString(kInput, IntToStrZero(k, 2), ""));
        if (!value.empty()) lastKey = k;
        SetInput(loaded.Row(k), value);
    }
    for (int k = 1; k <= 16; ++k) SetOutput(loaded.Row(20 + k), ini.ReadString(kOutput, IntToStrZero(k, 2), ""));
    for (int k = 17; k <= 32; ++k) SetInput(loaded.Row(24 + k), ini.ReadString(kInput, IntToStrZero(k, 2), ""));
    for (int k = 17; k <= 32; ++k) SetOutput(loaded.Row(44 + k), ini.ReadString(kOutput, IntToStrZero(k, 2), ""));
    loaded.DeviceType = DeviceTypeForLastInputKey(lastKey);
    config = loaded;
}
