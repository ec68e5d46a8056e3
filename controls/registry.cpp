#include "controls/registry.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/classes/file_utils.h"
#include "platform/classes/mem_ini_file.h"
#include "platform/classes/string_list.h"
#include "platform/rtl/convert.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/str_utils.h"

namespace {

constexpr const char* kValuesFile = ".values";
constexpr const char* kSection = "Values";

// Key names as folder names: "/", "%", a leading "." and control characters are escaped,
// so no key can reach outside the store or collide with the values file.
std::string EncodeName(std::string_view name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == '/' || c == '%' || (i == 0 && c == '.')) {
            static const char* hex = "0123456789ABCDEF";
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Two hex digits at s[i], or -1.
int HexByte(std::string_view s, size_t i) {
    if (i + 1 >= s.size()) return -1;
    int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

std::string DecodeName(std::string_view name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        int v = name[i] == '%' ? HexByte(name, i + 1) : -1;
        if (v >= 0) {
            out += static_cast<char>(v);
            i += 2;
        } else {
            out += name[i];
        }
    }
    return out;
}

// Value names and texts in the INI file: blanks, "=", "%", brackets, ";" and control
// characters are escaped, so that trimming and the INI syntax leave them intact.
std::string EncodeField(std::string_view s) {
    if (s.empty()) return "@";
    std::string out;
    for (unsigned char c : s) {
        if (c <= 0x20 || c == '=' || c == '%' || c == '[' || c == ']' || c == ';' || c == '@' || c == 0x7F) {
            static const char* hex = "0123456789ABCDEF";
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string DecodeField(std::string_view s) {
    if (s == "@") return {};
    return DecodeName(s);
}

std::string RootName(HKEY root) {
    switch (root) {
        case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
        case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
        case HKEY_USERS: return "HKEY_USERS";
        default: return "HKEY_CURRENT_USER";
    }
}

std::vector<std::string> SplitKey(std::string_view key) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : key) {
        if (c == '\\') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

[[noreturn]] void TypeError(std::string_view name) {
    throw ERegistryException("Invalid data type for '" + std::string(name) + "'");
}

}  // namespace

TRegistry::TRegistry() = default;

std::string TRegistry::StoreFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : ".") + "/.config";
    }
    return IncludeTrailingPathDelimiter(base) + "tovak/registry";
}

void TRegistry::SetRootKey(HKEY root) {
    if (root == root_) return;
    CloseKey();
    root_ = root;
}

std::string TRegistry::CurrentPath() const {
    std::string out;
    for (const std::string& p : current_) {
        if (!out.empty()) out += '\\';
        out += p;
    }
    return out;
}

TRegistry::KeyPath TRegistry::Resolve(std::string_view key) const {
    KeyPath path;
    if (key.empty() || key[0] != '\\') path = current_;
    for (std::string& p : SplitKey(key)) path.push_back(std::move(p));
    return path;
}

std::string TRegistry::KeyFolder(const KeyPath& path, bool create) const {
    std::string folder = StoreFolder() + "/" + RootName(root_);
    if (create) ForceDirectories(folder);
    for (const std::string& part : path) {
        std::string name = EncodeName(part);
        std::string found = DirectoryExists(folder) ? FindFileCaseInsensitive(folder, name) : std::string();
        if (!found.empty() && DirectoryExists(found)) {
            folder = found;
            continue;
        }
        folder += "/" + name;
        if (create && !ForceDirectories(folder)) throw ERegistryException("Failed to create key " + part);
    }
    return folder;
}

bool TRegistry::OpenKey(std::string_view Key, bool CanCreate) {
    KeyPath path = Resolve(Key);
    std::string folder = KeyFolder(path, CanCreate);
    if (!path.empty() && !DirectoryExists(folder)) return false;
    current_ = std::move(path);
    open_ = true;
    return true;
}

void TRegistry::CloseKey() {
    current_.clear();
    open_ = false;
}

bool TRegistry::CreateKey(std::string_view Key) {
    KeyFolder(Resolve(Key), true);
    return true;
}

bool TRegistry::DeleteKey(std::string_view Key) {
    KeyPath path = Resolve(Key);
    if (path.empty()) return false;  // never the root itself
    std::string folder = KeyFolder(path, false);
    if (!DirectoryExists(folder)) return false;
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return !ec;
}

bool TRegistry::KeyExists(std::string_view Key) const { return DirectoryExists(KeyFolder(Resolve(Key), false)); }

void TRegistry::GetKeyNames(TStrings* Strings) const {
    Strings->Clear();
    std::string folder = KeyFolder(current_, false);
    if (!DirectoryExists(folder)) return;
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.is_directory()) names.push_back(DecodeName(entry.path().filename().string()));
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; });
    for (const std::string& n : names) Strings->Add(n);
}

void TRegistry::GetValueNames(TStrings* Strings) const {
    Strings->Clear();
    TMemIniFile ini(KeyFolder(current_, false) + "/" + kValuesFile);
    TStringList keys;
    ini.ReadSection(kSection, &keys);
    for (int i = 0; i < keys.Count(); ++i) Strings->Add(DecodeField(keys[i]));
}

std::string TRegistry::RawValue(std::string_view Name, bool& found) const {
    std::string file = KeyFolder(current_, false) + "/" + kValuesFile;
    found = false;
    if (!FileExists(file)) return {};
    TMemIniFile ini(file);
    std::string ident = EncodeField(Name);
    if (!ini.ValueExists(kSection, ident)) return {};
    found = true;
    return ini.ReadString(kSection, ident, "");
}

void TRegistry::WriteRaw(std::string_view Name, const std::string& raw) {
    std::string folder = KeyFolder(current_, true);
    TMemIniFile ini(folder + "/" + kValuesFile);
    ini.WriteString(kSection, EncodeField(Name), raw);
    ini.UpdateFile();
}

bool TRegistry::ValueExists(std::string_view Name) const {
    bool found;
    RawValue(Name, found);
    return found;
}

bool TRegistry::DeleteValue(std::string_view Name) {
    std::string file = KeyFolder(current_, false) + "/" + kValuesFile;
    if (!FileExists(file)) return false;
    TMemIniFile ini(file);
    std::string ident = EncodeField(Name);
    if (!ini.ValueExists(kSection, ident)) return false;
    ini.DeleteKey(kSection, ident);
    ini.UpdateFile();
    return true;
}

bool TRegistry::GetDataInfo(std::string_view Name, TRegDataInfo& Info) const {
    bool found;
    std::string raw = RawValue(Name, found);
    Info = {};
    if (!found) return false;
    if (raw.rfind("sz:", 0) == 0) {
        Info.RegData = rdString;
        Info.DataSize = static_cast<int>(DecodeField(raw.substr(3)).size()) + 1;
    } else if (raw.rfind("dword:", 0) == 0) {
        Info.RegData = rdInteger;
        Info.DataSize = 4;
    } else if (raw.rfind("hex:", 0) == 0) {
        Info.RegData = rdBinary;
        Info.DataSize = static_cast<int>((raw.size() - 4) / 2);
    } else {
        Info.RegData = rdUnknown;
        Info.DataSize = static_cast<int>(raw.size());
    }
    return true;
}

int TRegistry::GetDataSize(std::string_view Name) const {
    TRegDataInfo info;
    return GetDataInfo(Name, info) ? info.DataSize : -1;
}

std::string TRegistry::ReadString(std::string_view Name) const {
    bool found;
    std::string raw = RawValue(Name, found);
    if (!found) return {};
    if (raw.rfind("sz:", 0) != 0) TypeError(Name);
    return DecodeField(raw.substr(3));
}

void TRegistry::WriteString(std::string_view Name, std::string_view Value) {
    WriteRaw(Name, "sz:" + (Value.empty() ? std::string() : EncodeField(Value)));
}

int32_t TRegistry::ReadInteger(std::string_view Name) const {
    bool found;
    std::string raw = RawValue(Name, found);
    int32_t v = 0;
    if (!found || raw.rfind("dword:", 0) != 0 || !TryStrToInt(raw.substr(6), v)) TypeError(Name);
    return v;
}

void TRegistry::WriteInteger(std::string_view Name, int32_t Value) { WriteRaw(Name, "dword:" + IntToStr(Value)); }

int TRegistry::ReadBinaryData(std::string_view Name, void* Buffer, int BufSize) const {
    bool found;
    std::string raw = RawValue(Name, found);
    if (!found) return 0;
    if (raw.rfind("hex:", 0) != 0 || raw.size() % 2 != 0) TypeError(Name);
    int size = static_cast<int>((raw.size() - 4) / 2);
    if (size > BufSize) TypeError(Name);
    auto* out = static_cast<uint8_t*>(Buffer);
    for (int i = 0; i < size; ++i) {
        int v = HexByte(raw, 4 + static_cast<size_t>(i) * 2);
        if (v < 0) TypeError(Name);
        out[i] = static_cast<uint8_t>(v);
    }
    return size;
}

void TRegistry::WriteBinaryData(std::string_view Name, const void* Buffer, int BufSize) {
    static const char* hex = "0123456789ABCDEF";
    std::string raw = "hex:";
    const auto* in = static_cast<const uint8_t*>(Buffer);
    for (int i = 0; i < BufSize; ++i) {
        raw += hex[in[i] >> 4];
        raw += hex[in[i] & 0xF];
    }
    WriteRaw(Name, raw);
}

TRegIniFile::TRegIniFile(std::string_view FileName) : fileName_(FileName) {
    SetRootKey(HKEY_CURRENT_USER);
    OpenKey(FileName, true);
}

template <class F>
auto TRegIniFile::InSection(std::string_view Section, bool create, F&& f) -> decltype(f()) {
    KeyPath saved = current_;
    bool savedOpen = open_;
    struct Restore {
        TRegIniFile* self;
        KeyPath& path;
        bool open;
        ~Restore() {
            self->current_ = path;
            self->open_ = open;
        }
    } restore{this, saved, savedOpen};
    if (!Section.empty()) {
        KeyPath path = current_;
        for (std::string& p : SplitKey(Section)) path.push_back(std::move(p));
        current_ = path;
        if (create) KeyFolder(current_, true);
    }
    return f();
}

std::string TRegIniFile::ReadString(std::string_view Section, std::string_view Ident, std::string_view Default) {
    return InSection(Section, false, [&] {
        TRegDataInfo info;
        if (!GetDataInfo(Ident, info) || info.RegData != rdString) return std::string(Default);
        return TRegistry::ReadString(Ident);
    });
}

void TRegIniFile::WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) {
    InSection(Section, true, [&] { TRegistry::WriteString(Ident, Value); });
}

int32_t TRegIniFile::ReadInteger(std::string_view Section, std::string_view Ident, int32_t Default) {
    return InSection(Section, false, [&]() -> int32_t {
        TRegDataInfo info;
        if (!GetDataInfo(Ident, info)) return Default;
        if (info.RegData == rdString) return StrToIntDef(TRegistry::ReadString(Ident), Default);
        if (info.RegData == rdInteger) return TRegistry::ReadInteger(Ident);
        return Default;
    });
}

void TRegIniFile::WriteInteger(std::string_view Section, std::string_view Ident, int32_t Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

bool TRegIniFile::ReadBool(std::string_view Section, std::string_view Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(std::string_view Section, std::string_view Ident, bool Value) {
    WriteInteger(Section, Ident, Value ? 1 : 0);
}

void TRegIniFile::ReadSection(std::string_view Section, TStrings* Strings) {
    InSection(Section, false, [&] { GetValueNames(Strings); });
}

void TRegIniFile::ReadSections(TStrings* Strings) { GetKeyNames(Strings); }

void TRegIniFile::EraseSection(std::string_view Section) {
    if (SplitKey(Section).empty()) return;  // an empty name would erase the whole key
    TRegistry::DeleteKey(std::string(Section));
}

void TRegIniFile::DeleteKey(std::string_view Section, std::string_view Ident) {
    InSection(Section, false, [&] { DeleteValue(Ident); });
}
