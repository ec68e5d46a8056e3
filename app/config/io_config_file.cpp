#include "app/config/io_config_file.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "app/common/ini_fault_text.h"
#include "app/config/section_splice.h"
#include "platform/classes/file_utils.h"
#include "platform/classes/ini_document.h"
#include "platform/classes/ini_splice.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/str_utils.h"
#include "program/text_utils.h"

namespace {

const char* const kInput = "INPUT";
const char* const kOutput = "OUTPUT";

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

// The bytes of an existing file, read once for a load or a save; `cannot` is what the user is
// told when it cannot be read.
std::string ReadConfigBytes(const std::string& fileName, const std::string& cannot) {
    RefuseOversized(fileName);  // before reading it whole
    std::string bytes;
    try {
        bytes = ReadFileBytes(fileName);
    } catch (const Exception&) {
        throw EFOpenError("Datei \"" + fileName + "\" " + cannot);
    }
    RefuseSize(fileName, bytes.size());
    // Read as Windows-1252 it would show no section, and a save would append lines that
    // nothing could read.
    if (HasUtf16ByteOrderMark(bytes))
        throw EReadError("Datei \"" + fileName +
                         "\" ist in UTF-16 geschrieben; Konfigurationsdateien werden nur in UTF-8 oder "
                         "Windows-1252 gelesen");
    return bytes;
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
// A file that stops inside a character its reading dropped is cut whatever is left of its
// last line, even nothing after a line end, in whatever section and whatever the line (a
// comment, a section's name).
std::optional<std::string> CutRow(const TIniSplice& file) {
    const size_t count = file.LineCount();
    const bool cutCharacter = file.CutInsideLastCharacter();
    if (count == 0 || (!cutCharacter && !file.Line(count - 1).end.empty())) return std::nullopt;
    const std::string line = Trim(file.Text(count - 1));
    // A line of any section, a comment too: a save keeps it, and would write it back one
    // character short.
    if (cutCharacter) return line;
    if (line.empty() || line[0] == ';') return std::nullopt;
    if (line[0] == '[') return TIniDocument::SectionName(line) ? std::nullopt : std::optional(line);
    std::optional<std::string> section;
    for (size_t i = count - 1; i-- > 0 && !section;) section = file.SectionAt(i);
    if (!section || (!TIniDocument::SameName(*section, kInput) && !TIniDocument::SameName(*section, kOutput)))
        return std::nullopt;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return line;
    const std::string value = line.substr(equals + 1);
    const auto fields = std::count(value.begin(), value.end(), ';') + 1;
    if (fields < 4) return line;
    const bool lastCut = fields == 4 && Trim(value.substr(value.rfind(';') + 1)).size() < 3;
    return lastCut ? std::optional(line) : std::nullopt;
}

std::string NameOfLine(const std::string& line) {
    const bool showable = !line.empty() && line.size() <= 40 &&
                          std::all_of(line.begin(), line.end(), [](char c) { return c >= ' ' && c < 0x7F; });
    return showable ? "der Zeile \"" + line + "\"" : std::string("einer Zeile");
}

// The file stops inside `cut`, its last line: refused whole, by a load and by a save alike.
[[noreturn]] void RefuseCut(const std::string& fileName, const std::string& cut) {
    throw EReadError("Datei \"" + fileName + "\" ist unvollständig: sie endet mitten in " + NameOfLine(cut));
}

// A refusal a save shares with the load (the file cannot be read, is too large, UTF-16, cut)
// says besides, for the save, what became of the file.
template <typename Check>
void AsSaveRefusal(Check check) {
    try {
        check();
    } catch (Exception& e) {
        e.SetMessage(e.Message() + "; es wurde nichts gespeichert");
        throw;
    }
}

[[noreturn]] void RefuseSave(const std::string& fileName, const std::string& why) {
    throw EWriteError("Datei \"" + fileName + "\" wurde nicht gespeichert: " + why + ". Sie bleibt, wie sie war.");
}

const char* EncodingName(const TIniSplice& file) { return file.Windows1252() ? "Windows-1252" : "UTF-8"; }

// What a save would write (`saved`, from `bytes`) must load as the rows it saved, and every
// other section must read as before: in a file of mixed or broken encodings, dropping or
// adding lines can change how the reader takes the rest.
void RefuseUnlessReadBack(const std::string& fileName, std::string_view bytes, std::string_view saved,
                          const std::vector<TSectionEntries>& sections) {
    const TIniSplice was(bytes), is(saved);
    if (const auto cut = CutRow(is)) {
        // Cut before as well, in a line the save keeps: the load's own refusal.
        if (CutRow(was)) AsSaveRefusal([&] { RefuseCut(fileName, *cut); });
        RefuseSave(fileName, "danach endete sie mitten in " + NameOfLine(*cut) + " und würde beim Laden abgewiesen");
    }
    if (!was.ReadAlike(is))
        RefuseSave(fileName, std::string("danach würde sie als ") + EncodingName(is) + " statt als " +
                                 EncodingName(was) + " gelesen, und ihre übrigen Zeilen läsen sich anders");
    TIniDocument before, after;
    before.Parse(was);
    after.Parse(is);
    std::vector<std::string> names;
    for (const TSectionEntries& section : sections) names.push_back(section.name);
    if (const auto other = before.SectionReadingDifferently(after, names))
        RefuseSave(fileName, "ihr Abschnitt [" + *other + "] würde danach anders gelesen");
    for (const TSectionEntries& section : sections) {
        std::vector<std::string> rows;
        for (const auto& [key, value] : after.Entries(section.name)) rows.push_back(key + "=" + value);
        if (rows != section.lines)
            RefuseSave(fileName,
                       "ihr Abschnitt [" + section.name + "] würde danach nicht als die gespeicherten Zeilen gelesen");
    }
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
    if (FileExists(fileName))
        AsSaveRefusal([&] {
            bytes = ReadConfigBytes(fileName, "kann nicht gelesen werden");
            // The rename would replace it all the same.
            if (IsReadOnlyFile(fileName)) throw EFCreateError("Datei \"" + fileName + "\" ist schreibgeschützt");
            // Refused as the load refuses it, whatever its last line: the save keeps the other
            // lines byte for byte, a cut one stays cut, and the saved file would not load. A row
            // cut short is not refused: the save rewrites it.
            const TIniSplice file(bytes);
            if (file.CutInsideLastCharacter()) RefuseCut(fileName, CutRow(file).value_or(""));
        });
    TSectionEntries inputs{kInput, {}}, outputs{kOutput, {}};
    for (int r : InputRowsOf(config.DeviceType))
        inputs.lines.push_back(ConfigFileKey(r) + "=" + InputValue(config.Row(r)));
    for (int r : OutputRowsOf(config.DeviceType))
        outputs.lines.push_back(ConfigFileKey(r) + "=" + OutputValue(config.Row(r)));
    const std::string saved = ReplaceSectionEntries(bytes, {inputs, outputs});
    // What is written must load again: a file near the limit may grow past it by the rows.
    AsSaveRefusal([&] { RefuseSize(fileName, saved.size()); });
    RefuseUnlessReadBack(fileName, bytes, saved, {inputs, outputs});
    try {
        WriteFileAtomic(fileName, saved);
    } catch (const EFCreateError& e) {
        // Said as the settings file's failed writes are: the system's English stays out of it.
        throw EFCreateError(IniWriteFaultText(fileName, {TIniFault::WriteFailed, TTextFault::Readable, e.ErrorCode}),
                            e.ErrorCode);
    }
}

void LoadIoConfigFromFile(const std::string& fileName, TIoConfig& config) {
    const std::string cannot = "kann nicht geöffnet werden";
    if (!FileExists(fileName)) throw EFOpenError("Datei \"" + fileName + "\" " + cannot);
    const std::string bytes = ReadConfigBytes(fileName, cannot);
    const TIniSplice file(bytes);
    TIniDocument ini;
    ini.Parse(file);
    // Anything else read as a configuration would blank every row, ready to be written.
    if (ini.Entries(kInput).empty() && ini.Entries(kOutput).empty())
        throw EReadError("Datei \"" + fileName +
                         "\" ist keine Konfigurationsdatei (kein Abschnitt [INPUT] oder [OUTPUT])");
    if (const auto cut = CutRow(file)) RefuseCut(fileName, *cut);
    const auto read = [&ini](const char* section, int key) {
        const std::string* value = ini.Find(section, IntToStrZero(key, 2));
        return value != nullptr ? *value : std::string();
    };
    TIoConfig loaded;
    int lastKey = 0;
    for (int k = 1; k <= 16; ++k) {
        const std::string value = TrimBlanksStr(read(kInput, k));
        if (!value.empty()) lastKey = k;
        SetInput(loaded.Row(k), value);
    }
    for (int k = 1; k <= 16; ++k) SetOutput(loaded.Row(20 + k), read(kOutput, k));
    for (int k = 17; k <= 32; ++k) SetInput(loaded.Row(24 + k), read(kInput, k));
    for (int k = 17; k <= 32; ++k) SetOutput(loaded.Row(44 + k), read(kOutput, k));
    loaded.DeviceType = DeviceTypeForLastInputKey(lastKey);
    config = loaded;
}
