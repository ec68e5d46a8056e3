#include "platform/classes/ini_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <mutex>

#include "platform/classes/file_utils.h"
#include "platform/rtl/encoding.h"

namespace {

// Two TIniFile objects of this process writing the same file must not lose each other's
// changes between reading and renaming.
std::mutex& WriteMutex() {
    static std::mutex mutex;
    return mutex;
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

void TIniFile::Refresh(bool for_write) {
    Stamp now = TakeStamp();
    if (loaded_ && now == stamp_) return;
    loaded_ = false;
    document_.Clear();
    if (now.exists) {
        try {
            document_.Parse(DecodeTextBytes(ReadFileBytes(FileName())));
        } catch (const Exception&) {
            // Rewriting a file we could not read would throw its content away.
            if (for_write) throw EIniFileException("Unable to write to " + FileName());
            return;
        }
    }
    stamp_ = now;
    loaded_ = true;
}

void TIniFile::Store() {
    try {
        WriteFileAtomic(FileName(), document_.Serialize());
    } catch (const Exception&) {
        loaded_ = false;  // the document no longer matches the file
        throw EIniFileException("Unable to write to " + FileName());
    }
    stamp_ = TakeStamp();
}

std::string TIniFile::ReadString(std::string_view Section, std::string_view Ident, std::string_view Default) {
    Refresh(false);
    const std::string* value = document_.Find(Section, Ident);
    return value != nullptr ? *value : std::string(Default);
}

void TIniFile::WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) {
    std::lock_guard lock(WriteMutex());
    Refresh(true);
    document_.Write(Section, Ident, Value);
    Store();
}

void TIniFile::ReadSection(std::string_view Section, TStrings* Strings) {
    Refresh(false);
    document_.FillEntries(Section, Strings, false);
}

void TIniFile::ReadSections(TStrings* Strings) {
    Refresh(false);
    document_.FillSectionNames(Strings);
}

void TIniFile::ReadSectionValues(std::string_view Section, TStrings* Strings) {
    Refresh(false);
    document_.FillEntries(Section, Strings, true);
}

void TIniFile::EraseSection(std::string_view Section) {
    std::lock_guard lock(WriteMutex());
    Refresh(true);
    if (document_.EraseSection(Section)) Store();
}

void TIniFile::DeleteKey(std::string_view Section, std::string_view Ident) {
    std::lock_guard lock(WriteMutex());
    Refresh(true);
    if (document_.DeleteKey(Section, Ident)) Store();
}
