#include "tests/support/process_line.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tests/support/process_threads.h"

extern char** environ;

namespace {

// Looks further apart than this are no unbroken hold: nobody waited on the clock between them.
constexpr std::chrono::seconds kLookGap{1};

// Bytes wait to be read at this end. poll, not FIONREAD: the kernel hands what one end wrote
// to the other from a worker thread, and only poll (or a read) waits for that hand-over
// before it answers.
bool Unread(int fd) {
    struct pollfd p {
        fd, POLLIN, 0
    };
    return poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

// A copy closed on exec, numbered above the descriptor the process gets the master as, so
// that handing it over is a real duplicate (which drops the close on exec).
int KeptCopy(int fd) { return fcntl(fd, F_DUPFD_CLOEXEC, ProcessLine::kLineFd + 1); }

}  // namespace

ProcessLine::ProcessLine(const PtyPair& pty, std::vector<std::string> args, const std::string& out,
                         std::chrono::milliseconds bound)
    : program_(args.empty() ? std::string() : args.front()), bound_(bound) {
    master_ = KeptCopy(pty.Master());
    slave_ = KeptCopy(pty.Slave());
    unsigned number = 0;
    if (master_ < 0 || slave_ < 0 || ioctl(master_, TIOCGPTN, &number) != 0) {
        problem_ = std::string("the line's ends: ") + std::strerror(errno);
        return;
    }
    slave_path_ = "/dev/pts/" + std::to_string(number);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, master_, kLineFd);
    if (!out.empty()) posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int spawned = args.empty() ? EINVAL : posix_spawn(&pid_, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) {
        pid_ = 0;
        problem_ = "cannot start " + program_ + ": " + std::strerror(spawned);
        return;
    }
    waiter_ = std::thread([this] { WaitForTheEnd(); });
    peer_.emplace([this] { return HadItsChance(); });
}

ProcessLine::~ProcessLine() {
    peer_.reset();
    if (pid_ > 0) {
        kill(pid_, SIGCONT);
        kill(pid_, SIGTERM);
        waiter_.join();
        waitpid(pid_, nullptr, 0);
    }
    for (int fd : {master_, slave_})
        if (fd >= 0) close(fd);
}

void ProcessLine::WaitForTheEnd() {
    // Not reaped here (WNOWAIT): its number stays its own while the looks read /proc.
    siginfo_t info{};
    while (waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
    std::lock_guard<std::mutex> guard(lock_);
    gone_ = true;
    close(master_);
    master_ = -1;
}

bool ProcessLine::HadItsChance() {
    std::lock_guard<std::mutex> guard(lock_);
    if (!problem_.empty() || gone_ || gave_up_) return true;
    const char* holding = Holding();
    if (!holding) {
        held_ = false;
        return true;
    }
    return HeldUp(holding);
}

const char* ProcessLine::Holding() const {
    int held = 0;
    if (ioctl(slave_, TIOCGEXCL, &held) != 0 || !held) return nullptr;
    // In this order: what the program wrote before the first look has been read once the
    // process is found asleep after it.
    const bool unread = Unread(master_);
    const ProcessThreads threads = ThreadsOf(pid_);
    if (!threads.any) return nullptr;
    if (!threads.stopped && unread) return "it had not read what the program wrote";
    if (!threads.stopped && threads.busy) return "it ran";
    if (Unread(slave_)) return "the program had not read what it wrote";
    return nullptr;
}

bool ProcessLine::HeldUp(const char* why) {
    const auto now = std::chrono::steady_clock::now();
    if (!held_ || now - last_look_ > kLookGap) held_since_ = now;
    held_ = true;
    last_look_ = now;
    if (now - held_since_ < bound_) return false;
    gave_up_ = true;
    ADD_FAILURE() << "process " << pid_ << " (" << program_ << ") has held the manual clock up for " << bound_.count()
                  << " ms of real time without a break, the last time as " << why
                  << "; it holds nothing up from now on";
    return true;
}
