#pragma once
// An INI file held in memory: read once when created (a missing file is empty), changed in
// memory, and written only by UpdateFile (whole, through a temporary file and a rename).
// Same reading rules as TIniFile (a UTF-16 file too; one that cannot be read or is no text
// is empty); comments and blank lines survive UpdateFile, which writes UTF-8 with CR LF.

#include "platform/classes/custom_ini_file.h"
#include "platform/classes/ini_document.h"

class TMemIniFile : public TCustomIniFile {
public:
    explicit TMemIniFile(const std::string& FileName);
    std::string ClassName() const override { return "TMemIniFile"; }

    std::string ReadString(std::string_view Section, std::string_view Ident, std::string_view Default) override;
    void WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) override;
    void ReadSection(std::string_view Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(std::string_view Section, TStrings* Strings) override;
    void EraseSection(std::string_view Section) override;
    void DeleteKey(std::string_view Section, std::string_view Ident) override;
    // Raises EFCreateError when the file cannot be written; the old file then stays intact.
    void UpdateFile() override;
    // The text UpdateFile writes.
    std::string FileText() const { return document_.Serialize(); }
    void Clear() { document_.Clear(); }

private:
    TIniDocument document_;
};
