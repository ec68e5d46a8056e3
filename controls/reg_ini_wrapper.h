#pragma once
// One interface over the three settings stores the tree list and grid keep their layout
// in: the registry (TRegIniFile), an INI file and an INI file held in memory. The wrapper
// does not own the store.

#include <cstdint>
#include <string_view>

#include "platform/classes/object.h"

class TCustomIniFile;
class TRegIniFile;
class TStrings;

class TvxRegIniWrapper : public TObject {
public:
    // IniObject: a TRegIniFile, TIniFile or TMemIniFile; anything else makes every
    // operation do nothing (reads give their default).
    explicit TvxRegIniWrapper(TObject* IniObject);
    std::string ClassName() const override { return "TvxRegIniWrapper"; }
    TObject* IniObject() const { return object_; }

    int32_t ReadInteger(std::string_view Section, std::string_view Ident, int32_t Default);
    void WriteInteger(std::string_view Section, std::string_view Ident, int32_t Value);
    bool ReadBool(std::string_view Section, std::string_view Ident, bool Default);
    void WriteBool(std::string_view Section, std::string_view Ident, bool Value);
    void ReadSections(TStrings* Strings);
    void EraseSection(std::string_view Section);
    // INI stores: erases every section whose name starts with Prefix (case-sensitive);
    // the registry: nothing.
    void EraseSections(std::string_view Prefix);
    // Registry only (INI stores: 0 / nothing). Key is relative to the current key; BufSize
    // below 1 asks for the stored size.
    int ReadBinaryData(std::string_view Key, std::string_view Name, void* Buffer, int BufSize);
    void WriteBinaryData(std::string_view Key, std::string_view Name, const void* Buffer, int BufSize);

private:
    TObject* object_;
    TRegIniFile* reg_;
    TCustomIniFile* ini_;
};
