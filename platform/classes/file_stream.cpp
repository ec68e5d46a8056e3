#include "platform/classes/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/rtl/exception.h"

namespace {

std::string OsText(int err) { return std::generic_category().message(err); }

}  // namespace

TFileStream::TFileStream(const std::string& AFileName, uint16_t Mode) : file_name_(AFileName) {
    if (Mode == fmCreate) {
        fd_ = ::open(AFileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            const int err = errno;
            throw EFCreateError("Cannot create file \"" + AFileName + "\". " + OsText(err), err);
        }
        return;
    }
    int flags = O_CLOEXEC;
    switch (Mode & 0x0003) {
        case fmOpenWrite: flags |= O_WRONLY; break;
        case fmOpenReadWrite: flags |= O_RDWR; break;
        default: flags |= O_RDONLY; break;
    }
    fd_ = ::open(AFileName.c_str(), flags);
    int err = errno;
    if (fd_ >= 0) {
        struct stat st {};
        if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd_);
            fd_ = -1;
            err = EISDIR;
        }
    }
    if (fd_ < 0) throw EFOpenError("Cannot open file \"" + AFileName + "\". " + OsText(err));
}

TFileStream::~TFileStream() {
    if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
    int64_t done = 0;
    auto* p = static_cast<char*>(Buffer);
    while (done < Count) {
        ssize_t n = ::read(fd_, p + done, static_cast<size_t>(Count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
    int64_t done = 0;
    auto* p = static_cast<const char*>(Buffer);
    while (done < Count) {
        ssize_t n = ::write(fd_, p + done, static_cast<size_t>(Count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
    off_t pos = ::lseek(fd_, static_cast<off_t>(Offset), whence);
    return pos < 0 ? -1 : static_cast<int64_t>(pos);
}

int64_t TFileStream::Size() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return TStream::Size();
    return static_cast<int64_t>(st.st_size);
}

void TFileStream::SetSize(int64_t NewSize) {
    int64_t pos = Position();
    if (::ftruncate(fd_, static_cast<off_t>(NewSize)) != 0) {
        throw EWriteError("Stream write error");
    }
    if (pos > NewSize) Seek(NewSize, soBeginning);
}
