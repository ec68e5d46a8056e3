#include "sim/controller_sim.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "platform/sync/clock.h"

namespace fs = std::filesystem;

namespace {

std::string DefaultPortsDir() {
    if (const char* env = std::getenv("TOVAK_PORTS"); env && *env) return env;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.config/tovak/ports";
}

}  // namespace

ControllerSim::ControllerSim(ControllerSimOptions options) : options_(std::move(options)) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) throw std::runtime_error(std::string("posix_openpt: ") + std::strerror(errno));
    char name[128];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0) {
        close(master_);
        throw std::runtime_error("pty set-up failed");
    }
    slave_path_ = name;
    // Held open so the master does not hang up between the program's opens; raw, so the line
    // discipline neither echoes nor edits the commands meanwhile.
    slave_keep_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    for (int fd : {slave_keep_, master_}) {
        struct termios t {};
        if (fd >= 0 && tcgetattr(fd, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(fd, TCSANOW, &t);
        }
    }
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
    if (options_.port > 0) {
        const std::string dir = options_.ports_dir.empty() ? DefaultPortsDir() : options_.ports_dir;
        std::error_code ec;
        fs::create_directories(dir, ec);
        link_path_ = dir + "/COM" + std::to_string(options_.port);
        fs::remove(link_path_, ec);
        fs::create_symlink(slave_path_, link_path_, ec);
        if (ec) throw std::runtime_error("cannot link " + link_path_ + ": " + ec.message());
    }
}

ControllerSim::~ControllerSim() {
    Stop();
    if (!link_path_.empty()) {
        std::error_code ec;
        if (fs::is_symlink(link_path_, ec) && fs::read_symlink(link_path_, ec) == slave_path_) fs::remove(link_path_, ec);
    }
    if (master_ >= 0) close(master_);
    if (slave_keep_ >= 0) close(slave_keep_);
    for (int fd : wake_)
        if (fd >= 0) close(fd);
}

void ControllerSim::Start() {
    if (thread_.joinable()) return;
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
}

void ControllerSim::Stop() {
    stop_ = true;
    if (wake_[1] >= 0) {
        char c = 1;
        [[maybe_unused]] ssize_t n = write(wake_[1], &c, 1);
    }
    if (thread_.joinable()) thread_.join();
}

void ControllerSim::NoSuccessOnce() { std::lock_guard<std::mutex> l(lock_); faults_.push_back({Fault::NoSuccess, 0}); }
void ControllerSim::GarbageOnce() { std::lock_guard<std::mutex> l(lock_); faults_.push_back({Fault::Garbage, 0}); }
void ControllerSim::LateOnce(int ms) { std::lock_guard<std::mutex> l(lock_); faults_.push_back({Fault::Late, ms}); }
void ControllerSim::SilentOnce() { std::lock_guard<std::mutex> l(lock_); faults_.push_back({Fault::Silent, 0}); }
void ControllerSim::EndlessOnce(size_t bytes) {
    std::lock_guard<std::mutex> l(lock_);
    faults_.push_back({Fault::Endless, static_cast<int>(bytes)});
}

std::vector<std::string> ControllerSim::Commands() const {
    std::lock_guard<std::mutex> l(lock_);
    return commands_;
}

bool ControllerSim::ProgramConnected() const {
    int excl = 0;
    // The program opens its port exclusively and gives that up on close.
    if (slave_keep_ < 0 || ioctl(slave_keep_, TIOCGEXCL, &excl) != 0) return true;
    return excl != 0;
}

uint64_t ControllerSim::Settle() {
    std::unique_lock<std::mutex> l(lock_);
    const uint64_t ticket = ++settle_asked_;
    if (wake_[1] >= 0) {
        char c = 0;
        [[maybe_unused]] ssize_t n = write(wake_[1], &c, 1);
    }
    settled_.wait_for(l, std::chrono::seconds(5), [&] { return settle_done_ >= ticket || stop_; });
    return written_;
}

// Reads until the pty has nothing more: a read that finds nothing first lets the kernel hand
// over whatever the program wrote before, so after it nothing written earlier is in flight.
void ControllerSim::Drain() {
    char buf[512];
    for (;;) {
        const ssize_t n = read(master_, buf, sizeof buf);
        if (n <= 0) break;
        for (ssize_t k = 0; k < n; ++k) {
            if (buf[k] == '\n') {
                std::string line = line_;
                if (!line.empty() && line.back() == '\r') line.pop_back();
                line_.clear();
                HandleLine(line);
            } else if (line_.size() < 4096) {
                line_ += buf[k];
            }
        }
    }
}

void ControllerSim::HandleLine(const std::string& line) {
    std::lock_guard<std::mutex> l(lock_);
    commands_.push_back(line);
    const uint64_t now = CurrentClock().Ticks();
    std::optional<std::string> answer = device_.Answer(line, now, CurrentClock().UnixMillis());
    if (!answer) return;  // restarting
    std::pair<Fault, int> fault{Fault::None, 0};
    if (!faults_.empty()) {
        fault = faults_.front();
        faults_.pop_front();
    }
    uint64_t due = now;
    switch (fault.first) {
    case Fault::None: break;
    case Fault::NoSuccess: *answer = line.substr(0, line.find(' ')) + ";ERROR"; break;
    case Fault::Garbage: *answer = std::string("\x7F#?\x01~~", 6); break;
    case Fault::Late: due += static_cast<uint64_t>(fault.second); break;
    case Fault::Silent: return;
    case Fault::Endless: out_.push_back({due, std::string(static_cast<size_t>(fault.second), 'X')}); return;
    }
    out_.push_back({due, *answer + "\r\n"});
}

void ControllerSim::WriteDue() {
    std::lock_guard<std::mutex> l(lock_);
    const uint64_t now = CurrentClock().Ticks();
    while (!out_.empty() && out_.front().due <= now) {
        Pending& p = out_.front();
        if (!ProgramConnected()) {
            out_.pop_front();  // nobody listens
            continue;
        }
        const ssize_t n = write(master_, p.bytes.data(), p.bytes.size());
        if (n <= 0) return;  // full: the rest when there is room
        written_ += static_cast<uint64_t>(n);
        p.bytes.erase(0, static_cast<size_t>(n));
        if (!p.bytes.empty()) return;
        out_.pop_front();
    }
}

void ControllerSim::Run() {
    while (!stop_) {
        bool waiting_out;
        {
            std::lock_guard<std::mutex> l(lock_);
            waiting_out = !out_.empty();
        }
        // Answers wait on the program's clock, which no descriptor announces: look again soon.
        struct pollfd p[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        poll(p, 2, waiting_out ? 2 : 200);
        uint64_t ticket;
        {
            std::lock_guard<std::mutex> l(lock_);
            ticket = settle_asked_;
        }
        if (p[1].revents) {
            char c[64];
            while (read(wake_[0], c, sizeof c) > 0) {
            }
        }
        if (stop_) break;
        Drain();
        WriteDue();
        std::lock_guard<std::mutex> l(lock_);
        if (ticket > settle_done_) {
            settle_done_ = ticket;
            settled_.notify_all();
        }
    }
    std::lock_guard<std::mutex> l(lock_);
    settle_done_ = settle_asked_;
    settled_.notify_all();
}
