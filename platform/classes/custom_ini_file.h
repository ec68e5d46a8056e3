#pragma once
// The INI-file interface of the class library. Sections and keys ignore case; values come
// back trimmed. Typed reads fall back to the default when the value is missing or does not
// convert. ReadBool reads an integer: 0 is false, any other number true ("true" or "yes"
// are not numbers and give the default); WriteBool writes "1" or "0".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/classes/object.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exception.h"

// What kept an INI file from being read or written, for a caller to tell in its own words.
struct TIniFault {
    enum TKind {
        ReadOnly,          // by its mode bits, or for this user
        Unreadable,        // it exists but cannot be read
        NotText,           // its bytes are no text the INI classes read (Text says why)
        WouldNotReadBack,  // the file written would not read as the change made it
        WriteFailed,       // the system refused the new file (ErrorCode says why, where it can)
    };
    TKind Kind = Unreadable;
    TTextFault Text = TTextFault::Readable;
    int ErrorCode = 0;
};

// A write refused or failed: the message in English; the fault, where known, for the caller.
class EIniFileException : public Exception {
public:
    using Exception::Exception;
    EIniFileException(std::string message, TIniFault fault) : Exception(std::move(message)), Fault(fault) {}
    std::optional<TIniFault> Fault;
};

class TStrings;

class TCustomIniFile : public TObject {
public:
    explicit TCustomIniFile(std::string FileName) : file_name_(std::move(FileName)) {}
    std::string ClassName() const override { return "TCustomIniFile"; }
    const std::string& FileName() const { return file_name_; }

    virtual std::string ReadString(std::string_view Section, std::string_view Ident, std::string_view Default) = 0;
    virtual void WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) = 0;
    // Decimal, "$1F" or "0x1F".
    virtual int32_t ReadInteger(std::string_view Section, std::string_view Ident, int32_t Default);
    virtual void WriteInteger(std::string_view Section, std::string_view Ident, int32_t Value);
    virtual bool ReadBool(std::string_view Section, std::string_view Ident, bool Default);
    virtual void WriteBool(std::string_view Section, std::string_view Ident, bool Value);
    // Numbers, dates and times in the locale's format, as the class library writes them.
    virtual double ReadFloat(std::string_view Section, std::string_view Ident, double Default);
    virtual void WriteFloat(std::string_view Section, std::string_view Ident, double Value);
    virtual TDateTime ReadDate(std::string_view Section, std::string_view Ident, TDateTime Default);
    virtual TDateTime ReadDateTime(std::string_view Section, std::string_view Ident, TDateTime Default);
    virtual TDateTime ReadTime(std::string_view Section, std::string_view Ident, TDateTime Default);
    virtual void WriteDate(std::string_view Section, std::string_view Ident, TDateTime Value);
    virtual void WriteDateTime(std::string_view Section, std::string_view Ident, TDateTime Value);
    virtual void WriteTime(std::string_view Section, std::string_view Ident, TDateTime Value);

    // The list is cleared first. ReadSection gives the keys, ReadSectionValues "key=value".
    virtual void ReadSection(std::string_view Section, TStrings* Strings) = 0;
    virtual void ReadSections(TStrings* Strings) = 0;
    virtual void ReadSectionValues(std::string_view Section, TStrings* Strings) = 0;
    virtual void EraseSection(std::string_view Section) = 0;
    virtual void DeleteKey(std::string_view Section, std::string_view Ident) = 0;
    virtual void UpdateFile() = 0;

    // True when the section holds at least one key, as the class library answers.
    bool SectionExists(std::string_view Section);
    virtual bool ValueExists(std::string_view Section, std::string_view Ident);

private:
    std::string file_name_;
};
