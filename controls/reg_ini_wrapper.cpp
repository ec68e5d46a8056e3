#include "controls/reg_ini_wrapper.h"

#include "controls/registry.h"
#include "platform/classes/custom_ini_file.h"
#include "platform/classes/string_list.h"

TvxRegIniWrapper::TvxRegIniWrapper(TObject* IniObject)
    : object_(IniObject), reg_(dynamic_cast<TRegIniFile*>(IniObject)), ini_(dynamic_cast<TCustomIniFile*>(IniObject)) {}

int32_t TvxRegIniWrapper::ReadInteger(std::string_view Section, std::string_view Ident, int32_t Default) {
    if (reg_) return reg_->ReadInteger(Section, Ident, Default);
    if (ini_) return ini_->ReadInteger(Section, Ident, Default);
    return Default;
}

void TvxRegIniWrapper::WriteInteger(std::string_view Section, std::string_view Ident, int32_t Value) {
    if (reg_)
        reg_->WriteInteger(Section, Ident, Value);
    else if (ini_)
        ini_->WriteInteger(Section, Ident, Value);
}

bool TvxRegIniWrapper::ReadBool(std::string_view Section, std::string_view Ident, bool Default) {
    if (reg_) return reg_->ReadBool(Section, Ident, Default);
    if (ini_) return ini_->ReadBool(Section, Ident, Default);
    return Default;
}

void TvxRegIniWrapper::WriteBool(std::string_view Section, std::string_view Ident, bool Value) {
    if (reg_)
        reg_->WriteBool(Section, Ident, Value);
    else if (ini_)
        ini_->WriteBool(Section, Ident, Value);
}

void TvxRegIniWrapper::ReadSections(TStrings* Strings) {
    if (reg_)
        reg_->ReadSections(Strings);
    else if (ini_)
        ini_->ReadSections(Strings);
}

void TvxRegIniWrapper::EraseSection(std::string_view Section) {
    if (reg_)
        reg_->EraseSection(Section);
    else if (ini_)
        ini_->EraseSection(Section);
}

void TvxRegIniWrapper::EraseSections(std::string_view Prefix) {
    if (!ini_) return;
    TStringList sections;
    ini_->ReadSections(&sections);
    for (int i = 0; i < sections.Count(); ++i) {
        std::string name = sections[i];
        if (name.compare(0, Prefix.size(), Prefix) == 0 && name.size() >= Prefix.size()) ini_->EraseSection(name);
    }
}

int TvxRegIniWrapper::ReadBinaryData(std::string_view Key, std::string_view Name, void* Buffer, int BufSize) {
    if (!reg_) return 0;
    TRegistry key;
    key.SetRootKey(reg_->RootKey());
    // The key below the store's current key, opened on a registry object of its own so the
    // store's current key stays as it was whatever happens.
    std::string path = "\\" + reg_->CurrentPath();
    if (!Key.empty()) path += "\\" + std::string(Key);
    if (!key.OpenKey(path, false)) return 0;
    if (!key.ValueExists(Name)) return 0;
    if (BufSize < 1) return key.GetDataSize(Name);
    return key.ReadBinaryData(Name, Buffer, BufSize);
}

void TvxRegIniWrapper::WriteBinaryData(std::string_view Key, std::string_view Name, const void* Buffer, int BufSize) {
    if (!reg_) return;
    TRegistry key;
    key.SetRootKey(reg_->RootKey());
    std::string path = "\\" + reg_->CurrentPath();
    if (!Key.empty()) path += "\\" + std::string(Key);
    key.OpenKey(path, true);
    key.WriteBinaryData(Name, Buffer, BufSize);
}
