#pragma once
// The class library's registry classes on Linux: a file-backed store under the user's
// configuration folder ($XDG_CONFIG_HOME, else ~/.config) in tovak/registry. Every key is
// a folder (below one folder per root key); its values live in the key folder's ".values"
// file as an INI file. Key and value names ignore case, as in the registry. Writes reach
// the file at once, through a temporary file and a rename.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/object.h"

class TStrings;

using HKEY = uint32_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };
struct TRegDataInfo {
    TRegDataType RegData = rdUnknown;
    int DataSize = 0;
};

class TRegistry : public TObject {
public:
    TRegistry();
    std::string ClassName() const override { return "TRegistry"; }

    // The folder that holds the store (made on the first write).
    static std::string StoreFolder();

    HKEY RootKey() const { return root_; }
    void SetRootKey(HKEY root);
    bool HasCurrentKey() const { return open_; }
    // "Software\Vendor" style, without a leading backslash; empty for the root itself.
    std::string CurrentPath() const;

    // Key names are relative to the current key, or to the root when they start with "\".
    bool OpenKey(std::string_view Key, bool CanCreate);
    bool OpenKeyReadOnly(std::string_view Key) { return OpenKey(Key, false); }
    void CloseKey();
    bool CreateKey(std::string_view Key);
    bool DeleteKey(std::string_view Key);
    bool KeyExists(std::string_view Key) const;
    void GetKeyNames(TStrings* Strings) const;
    void GetValueNames(TStrings* Strings) const;

    bool ValueExists(std::string_view Name) const;
    bool DeleteValue(std::string_view Name);
    bool GetDataInfo(std::string_view Name, TRegDataInfo& Info) const;
    // -1 when the value does not exist.
    int GetDataSize(std::string_view Name) const;
    // Reading a missing value gives "" (strings); integers and binary data raise
    // ERegistryException "Invalid data type for 'x'" when the value has another type.
    std::string ReadString(std::string_view Name) const;
    void WriteString(std::string_view Name, std::string_view Value);
    int32_t ReadInteger(std::string_view Name) const;
    void WriteInteger(std::string_view Name, int32_t Value);
    // The number of bytes read; 0 for a missing value. A value larger than BufSize raises.
    int ReadBinaryData(std::string_view Name, void* Buffer, int BufSize) const;
    void WriteBinaryData(std::string_view Name, const void* Buffer, int BufSize);

protected:
    using KeyPath = std::vector<std::string>;
    KeyPath Resolve(std::string_view Key) const;
    // The folder of a key; with create, missing folders are made (with the names given).
    std::string KeyFolder(const KeyPath& path, bool create) const;
    std::string RawValue(std::string_view Name, bool& found) const;
    void WriteRaw(std::string_view Name, const std::string& raw);
    KeyPath current_;
    bool open_ = false;

private:
    HKEY root_ = HKEY_CURRENT_USER;
};

// The registry seen as an INI file: the key named at construction, its subkeys as
// sections and their values as keys. Integers are kept as text, as the class library does.
class TRegIniFile : public TRegistry {
public:
    explicit TRegIniFile(std::string_view FileName);
    std::string ClassName() const override { return "TRegIniFile"; }
    const std::string& FileName() const { return fileName_; }

    std::string ReadString(std::string_view Section, std::string_view Ident, std::string_view Default);
    void WriteString(std::string_view Section, std::string_view Ident, std::string_view Value);
    int32_t ReadInteger(std::string_view Section, std::string_view Ident, int32_t Default);
    void WriteInteger(std::string_view Section, std::string_view Ident, int32_t Value);
    bool ReadBool(std::string_view Section, std::string_view Ident, bool Default);
    void WriteBool(std::string_view Section, std::string_view Ident, bool Value);
    void ReadSection(std::string_view Section, TStrings* Strings);
    void ReadSections(TStrings* Strings);
    void EraseSection(std::string_view Section);
    void DeleteKey(std::string_view Section, std::string_view Ident);

private:
    // Runs f with the section's key current (made when create), then goes back.
    template <class F>
    auto InSection(std::string_view Section, bool create, F&& f) -> decltype(f());
    std::string fileName_;
};
