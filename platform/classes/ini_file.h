#pragma once
// An INI file that is always current: every read sees the file as it is now (another
// TIniFile or program may have changed it) and every write goes to the file at once.
// Read as UTF-16 behind its mark (either byte order), else as UTF-8, or Windows-1252 when
// the file is not valid UTF-8 (older installations). A missing file reads as empty, and so
// does one that cannot be read or is no text (a UTF-16 file that does not decode, NUL bytes
// in any other): ReadFault says why.
// A write changes the line of its key (or adds it after its section's last entry, or adds the
// section) and nothing else (ini_splice.h): the byte-order mark, the encoding, the line ends,
// the other lines stay byte for byte; a new file gets CR LF. A value is written as given,
// blanks at its ends too, and reads back trimmed, as every value does. A value a
// Windows-1252 file cannot hold turns the file into UTF-8 as a whole, each line reading as
// before; a UTF-16 file stays UTF-16. Written through a temporary file and a rename, so a
// crash never leaves half a file. A write that fails raises EIniFileException "Unable to
// write to <file>: <reason>" with its TIniFault: the file is read-only (by its mode bits),
// cannot be read, is no text, would not read back as the change made it (a value holding a
// NUL cannot), or cannot be replaced; the file is then unchanged.

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <functional>

#include "platform/classes/custom_ini_file.h"
#include "platform/classes/ini_document.h"

class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(const std::string& FileName);
    std::string ClassName() const override { return "TIniFile"; }

    std::string ReadString(std::string_view Section, std::string_view Ident, std::string_view Default) override;
    void WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) override;
    void ReadSection(std::string_view Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(std::string_view Section, TStrings* Strings) override;
    void EraseSection(std::string_view Section) override;
    void DeleteKey(std::string_view Section, std::string_view Ident) override;
    // Writes are never held back: nothing to do.
    void UpdateFile() override {}
    // Why the file, as it is now, reads as empty though it exists; nothing when it reads.
    std::optional<TIniFault> ReadFault();

private:
    // Re-reads the file when it changed since the last look.
    void Refresh();
    // Reads the file, applies `change` to what it reads and, when `change` answers that it
    // changed something, writes the file.
    void Change(const std::function<bool(TIniDocument&)>& change);
    [[noreturn]] void RefuseWrite(const TIniFault& fault) const;

    struct Stamp {
        bool exists = false;
        dev_t dev = 0;
        ino_t ino = 0;
        off_t size = 0;
        timespec mtime{};
        bool operator==(const Stamp& o) const;
    };
    Stamp TakeStamp() const;

    TIniDocument document_;
    std::optional<TIniFault> readFault_;
    Stamp stamp_;
    bool loaded_ = false;
};
