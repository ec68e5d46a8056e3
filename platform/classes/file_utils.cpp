#include "platform/classes/file_utils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/classes/file_stream.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/str_utils.h"

namespace fs = std::filesystem;

namespace {

std::string OsText(int err) { return std::generic_category().message(err); }

bool WriteAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool FileExists(const std::string& FileName) {
    struct stat st {};
    return !FileName.empty() && ::stat(FileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& Directory) {
    struct stat st {};
    return !Directory.empty() && ::stat(Directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& Dir) {
    if (Dir.empty()) throw EInOutError("Unable to create directory");
    std::error_code ec;
    fs::create_directories(fs::path(Dir), ec);
    return DirectoryExists(Dir);
}

bool DeleteFile(const std::string& FileName) { return !DirectoryExists(FileName) && ::unlink(FileName.c_str()) == 0; }

bool RenameFile(const std::string& OldName, const std::string& NewName) {
    return ::rename(OldName.c_str(), NewName.c_str()) == 0;
}

std::string ExtractFilePath(std::string_view FileName) {
    size_t slash = FileName.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(FileName.substr(0, slash + 1));
}

std::string ExtractFileDir(std::string_view FileName) {
    size_t slash = FileName.rfind('/');
    if (slash == std::string_view::npos) return {};
    if (slash == 0) return "/";
    return std::string(FileName.substr(0, slash));
}

std::string ExtractFileName(std::string_view FileName) {
    size_t slash = FileName.rfind('/');
    return std::string(slash == std::string_view::npos ? FileName : FileName.substr(slash + 1));
}

std::string ExtractFileExt(std::string_view FileName) {
    size_t pos = FileName.find_last_of("./");
    if (pos == std::string_view::npos || FileName[pos] != '.') return {};
    return std::string(FileName.substr(pos));
}

std::string ChangeFileExt(std::string_view FileName, std::string_view Extension) {
    size_t pos = FileName.find_last_of("./");
    if (pos == std::string_view::npos || FileName[pos] != '.') pos = FileName.size();
    return std::string(FileName.substr(0, pos)) + std::string(Extension);
}

std::string IncludeTrailingPathDelimiter(std::string_view Path) {
    std::string result(Path);
    if (result.empty() || result.back() != '/') result += '/';
    return result;
}

std::string ExcludeTrailingPathDelimiter(std::string_view Path) {
    std::string result(Path);
    if (result.size() > 1 && result.back() == '/') result.pop_back();
    return result;
}

std::string FindFileCaseInsensitive(const std::string& Folder, const std::string& Name) {
    if (Name.empty()) return {};
    std::string prefix = Folder.empty() ? std::string() : IncludeTrailingPathDelimiter(Folder);
    struct stat st {};
    if (::lstat((prefix + Name).c_str(), &st) == 0) return prefix + Name;
    std::error_code ec;
    std::vector<std::string> matches;
    for (fs::directory_iterator it(Folder.empty() ? fs::path(".") : fs::path(Folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (AnsiSameText(entry, Name)) matches.push_back(entry);
    }
    if (matches.empty()) return {};
    std::string best = matches.front();
    for (const auto& m : matches) best = std::min(best, m);
    return prefix + best;
}

bool IsReadOnlyFile(const std::string& FileName) {
    struct stat st {};
    if (::stat(FileName.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return (st.st_mode & S_IWUSR) == 0 || (::access(FileName.c_str(), W_OK) != 0 && errno == EACCES);
}

std::string ReadFileBytes(const std::string& FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        int64_t n = stream.Read(buffer, sizeof buffer);
        if (n <= 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    return bytes;
}

void WriteFileAtomic(const std::string& FileName, std::string_view Bytes) {
    static std::atomic<unsigned> counter{0};
    std::string target = FileName;
    struct stat st {};
    if (::lstat(FileName.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(FileName.c_str(), resolved) != nullptr) target = resolved;
    }
    bool existed = ::stat(target.c_str(), &st) == 0;
    auto fail = [&](int err) { throw EFCreateError("Cannot create file \"" + FileName + "\". " + OsText(err), err); };
    if (existed && S_ISDIR(st.st_mode)) fail(EISDIR);
    if (existed && IsReadOnlyFile(target))
        throw EFCreateError("Cannot create file \"" + FileName + "\". The file is read-only");

    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = target + ".~tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) fail(errno);
    int err = 0;
    if (!WriteAll(fd, Bytes)) err = errno != 0 ? errno : EIO;
    if (err == 0 && existed) (void)::fchmod(fd, st.st_mode & 07777);
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        fail(err);
    }
    // Make the rename itself durable.
    std::string dir = ExtractFileDir(target);
    int dir_fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_fd >= 0) {
        (void)::fsync(dir_fd);
        ::close(dir_fd);
    }
}
