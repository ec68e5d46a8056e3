#include "platform/classes/ini_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <mutex>

#include "platform/classes/file_utils.h"
#include "platform/classes/ini_splice.h"
#include "platform/rtl/encoding.h"

namespace {

// Two TIniFile objects of this process writing the same file must not lose each other's
// changes between reading and renaming.
std::mutex& WriteMutex() {
    static std::mutex mutex;
    return mutex;
}

// Whether `written` reads, by the reader of every TIniFile, as `expected`; with `file`, also
// in the encoding `file` is read in, so that its comments read as before too.
bool ReadsBackAs(std::string_view written, const TIniDocument& expected, const TIniSplice* file) {
    const TIniSplice back(written);
    if (back.Fault() != TTextFault::Readable) return false;
    if (file != nullptr && !file->ReadAlike(back)) return false;
    TIniDocument read;
    read.Parse(back);
    return !expected.SectionReadingDifferently(read);
}

}  // namespace

bool TIniFile::Stamp::operator==(const Stamp& o) const {
    return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec;
}

TIniFile::TIniFile(const std::string& FileName) : TCustomIniFile(FileName) {}

TIniFile::Stamp TIniFile::TakeStamp() const {
    Stamp stamp;
    struct stat st {};
    if (::stat(FileName().c_str(), &st) == 0) {
        stamp.exists = true;
        stamp.dev = st.st_dev;
        stamp.ino = st.st_ino;
        stamp.size = st.st_size;
        stamp.mtime = st.st_mtim;
    }
    return stamp;
}

void TIniFile::Refresh() {
    Stamp now = TakeStamp();
    if (loaded_ && now == stamp_) return;
    loaded_ = false;
    document_.Clear();
    readFault_.reset();
    if (now.exists) {
        std::string bytes;
        try {
            bytes = ReadFileBytes(FileName());
        } catch (const Exception&) {
            readFault_ = TIniFault{TIniFault::Unreadable};
            return;
        }
        const TIniSplice file(bytes);
        if (file.Fault() == TTextFault::Readable)
            document_.Parse(file);
        else
            readFault_ = TIniFault{TIniFault::NotText, file.Fault()};
    }
    stamp_ = now;
    loaded_ = true;
}

std::optional<TIniFault> TIniFile::ReadFault() {
    Refresh();
    return readFault_;
}

void TIniFile::RefuseWrite(const TIniFault& fault) const {
    // In the order of TIniFault::TKind.
    static const char* const kReasons[] = {
        "the file is read-only",
        "the file cannot be read",
        "the file is not text (a UTF-16 file that does not decode, or NUL bytes)",
        "it would not read back as written",
        "the file cannot be replaced",
    };
    const std::string why = kReasons[fault.Kind];
    throw EIniFileException("Unable to write to " + FileName() + ": " + why, fault);
}

void TIniFile::Change(const std::function<bool(TIniDocument&)>& change) {
    std::lock_guard lock(WriteMutex());
    const Stamp read = TakeStamp();
    std::string bytes;
    if (read.exists) {
        try {
            bytes = ReadFileBytes(FileName());
        } catch (const Exception&) {
            // Writing a file we could not read would throw its content away.
            RefuseWrite(TIniFault{TIniFault::Unreadable});
        }
    }
    TIniSplice file(bytes);
    TIniDocument changed;
    // Bytes that are no text are not guessed at: a write would make them a file of another kind.
    if (file.Fault() == TTextFault::Readable) changed.Parse(file);
    if (!change(changed)) return;
    if (file.Fault() != TTextFault::Readable) RefuseWrite(TIniFault{TIniFault::NotText, file.Fault()});
    if (read.exists && IsReadOnlyFile(FileName())) RefuseWrite(TIniFault{TIniFault::ReadOnly});
    changed.WriteTo(file);
    std::string written = file.Bytes();
    if (!file.OwnTextsFit() || !ReadsBackAs(written, changed, &file)) {
        // A value a Windows-1252 file cannot hold, or a change after which the file would be
        // read in the other encoding: the file turns into UTF-8, each line as it was read. A
        // UTF-16 file holds every text and stays UTF-16.
        if (file.Utf16()) RefuseWrite(TIniFault{TIniFault::WouldNotReadBack});
        written = file.Utf8Bytes();
        if (!ReadsBackAs(written, changed, nullptr)) RefuseWrite(TIniFault{TIniFault::WouldNotReadBack});
    }
    try {
        WriteFileAtomic(FileName(), written);
    } catch (const EFCreateError& e) {
        RefuseWrite(TIniFault{TIniFault::WriteFailed, TTextFault::Readable, e.ErrorCode});
    } catch (const Exception&) {
        RefuseWrite(TIniFault{TIniFault::WriteFailed});
    }
    document_ = std::move(changed);
    stamp_ = TakeStamp();
    loaded_ = true;
}

std::string TIniFile::ReadString(std::string_view Section, std::string_view Ident, std::string_view Default) {
    Refresh();
    const std::string* value = document_.Find(Section, Ident);
    return value != nullptr ? *value : std::string(Default);
}

void TIniFile::WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) {
    Change([&](TIniDocument& document) {
        document.Write(Section, Ident, Value);
        return true;
    });
}

void TIniFile::ReadSection(std::string_view Section, TStrings* Strings) {
    Refresh();
    document_.FillEntries(Section, Strings, false);
}

void TIniFile::ReadSections(TStrings* Strings) {
    Refresh();
    document_.FillSectionNames(Strings);
}

void TIniFile::ReadSectionValues(std::string_view Section, TStrings* Strings) {
    Refresh();
    document_.FillEntries(Section, Strings, true);
}

void TIniFile::EraseSection(std::string_view Section) {
    Change([&](TIniDocument& document) { return document.EraseSection(Section); });
}

void TIniFile::DeleteKey(std::string_view Section, std::string_view Ident) {
    Change([&](TIniDocument& document) { return document.DeleteKey(Section, Ident); });
}
