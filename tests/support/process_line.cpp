#include "tests/support/process_line.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "tests/support/process_threads.h"

namespace fs = std::filesystem;

namespace {

// A borrowed descriptor, given back at the end of the look.
struct Borrowed {
    int fd;
    ~Borrowed() {
        if (fd >= 0) close(fd);
    }
};

// Bytes wait to be read at this end. poll, not FIONREAD: the kernel hands what one end wrote
// to the other from a worker thread, and only poll (or a read) waits for that hand-over
// before it answers.
bool Unread(int fd) {
    struct pollfd p {
        fd, POLLIN, 0
    };
    return poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

}  // namespace

ProcessLine::ProcessLine(pid_t pid, const std::string& slavePath) : pid_(pid) {
    pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd_ < 0) {
        problem_ = std::string("pidfd_open: ") + std::strerror(errno);
        return;
    }
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        const std::string target = fs::read_symlink(entry.path(), ec).string();
        const int fd = std::atoi(entry.path().filename().c_str());
        if (target == "/dev/ptmx" || target == "/dev/pts/ptmx") master_ = fd;
        if (target == slavePath) slave_ = fd;
    }
    if (master_ < 0 || slave_ < 0) {
        problem_ = "process " + std::to_string(pid) + " holds no pseudo-terminal whose other end is " + slavePath;
        return;
    }
    const Borrowed tried{Borrow(master_)};
    if (tried.fd < 0) {
        problem_ = std::string("pidfd_getfd: ") + std::strerror(errno);
        return;
    }
    peer_.emplace([this] { return HadItsChance(); });
}

ProcessLine::~ProcessLine() {
    peer_.reset();
    if (pidfd_ >= 0) close(pidfd_);
}

int ProcessLine::Borrow(int fd) const { return static_cast<int>(syscall(SYS_pidfd_getfd, pidfd_, fd, 0)); }

bool ProcessLine::HadItsChance() const {
    if (!problem_.empty()) return true;
    const Borrowed slave{Borrow(slave_)};
    int held = 0;
    if (slave.fd < 0 || ioctl(slave.fd, TIOCGEXCL, &held) != 0 || !held) return true;
    // In this order: what the program wrote before the first look has been read once the
    // process is found asleep after it.
    const Borrowed master{Borrow(master_)};
    const bool unread = master.fd >= 0 && Unread(master.fd);
    const ProcessThreads threads = ThreadsOf(pid_);
    if (!threads.any) return true;
    if (!threads.stopped && (unread || threads.busy)) return false;
    return !Unread(slave.fd);
}
