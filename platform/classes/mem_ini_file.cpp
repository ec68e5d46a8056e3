#include "platform/classes/mem_ini_file.h"

#include "platform/classes/file_utils.h"
#include "platform/classes/ini_splice.h"

TMemIniFile::TMemIniFile(const std::string& FileName) : TCustomIniFile(FileName) {
    if (!FileExists(FileName)) return;
    std::string bytes;
    try {
        bytes = ReadFileBytes(FileName);
    } catch (const Exception&) {
        // An unreadable file reads as empty, as a missing one does.
        return;
    }
    // Read as a TIniFile reads it: a file that is no text reads as empty too.
    const TIniSplice file(bytes);
    if (file.Fault() == TTextFault::Readable) document_.Parse(file);
}

std::string TMemIniFile::ReadString(std::string_view Section, std::string_view Ident, std::string_view Default) {
    const std::string* value = document_.Find(Section, Ident);
    return value != nullptr ? *value : std::string(Default);
}

void TMemIniFile::WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) {
    document_.Write(Section, Ident, Value);
}

void TMemIniFile::ReadSection(std::string_view Section, TStrings* Strings) {
    document_.FillEntries(Section, Strings, false);
}

void TMemIniFile::ReadSections(TStrings* Strings) { document_.FillSectionNames(Strings); }

void TMemIniFile::ReadSectionValues(std::string_view Section, TStrings* Strings) {
    document_.FillEntries(Section, Strings, true);
}

void TMemIniFile::EraseSection(std::string_view Section) { document_.EraseSection(Section); }

void TMemIniFile::DeleteKey(std::string_view Section, std::string_view Ident) { document_.DeleteKey(Section, Ident); }

void TMemIniFile::UpdateFile() { WriteFileAtomic(FileName(), document_.Serialize()); }
