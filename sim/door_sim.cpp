#include "sim/door_sim.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;

namespace {

std::string DefaultPortsDir() {
    if (const char* env = std::getenv("TOVAK_PORTS"); env && *env) return env;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.config/tovak/ports";
}

double MicrosBetween(SteadyClock::time_point a, SteadyClock::time_point b) {
    return std::chrono::duration<double, std::micro>(b - a).count();
}

}  // namespace

DoorSim::DoorSim(DoorState state, DoorSimOptions options) : device_(std::move(state)), options_(std::move(options)) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) throw std::runtime_error(std::string("posix_openpt: ") + std::strerror(errno));
    char name[128];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0) {
        close(master_);
        throw std::runtime_error("pty set-up failed");
    }
    slave_path_ = name;
    // Held open so the master does not hang up between the program's opens; raw, so the
    // line discipline neither echoes nor edits the frames meanwhile.
    slave_keep_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_keep_ >= 0) {
        struct termios t {};
        tcgetattr(slave_keep_, &t);
        cfmakeraw(&t);
        tcsetattr(slave_keep_, TCSANOW, &t);
    }
    struct termios m {};
    if (tcgetattr(master_, &m) == 0) {
        cfmakeraw(&m);
        tcsetattr(master_, TCSANOW, &m);
    }
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
    if (options_.port > 0) {
        std::string dir = options_.ports_dir.empty() ? DefaultPortsDir() : options_.ports_dir;
        std::error_code ec;
        fs::create_directories(dir, ec);
        link_path_ = dir + "/COM" + std::to_string(options_.port);
        fs::remove(link_path_, ec);
        fs::create_symlink(slave_path_, link_path_, ec);
        if (ec) throw std::runtime_error("cannot link " + link_path_ + ": " + ec.message());
    }
}

DoorSim::~DoorSim() {
    Stop();
    if (!link_path_.empty()) {
        std::error_code ec;
        // Only our own link: another simulator may have taken the name meanwhile.
        if (fs::is_symlink(link_path_, ec) && fs::read_symlink(link_path_, ec) == slave_path_) fs::remove(link_path_, ec);
    }
    if (master_ >= 0) close(master_);
    if (slave_keep_ >= 0) close(slave_keep_);
    for (int fd : wake_)
        if (fd >= 0) close(fd);
}

void DoorSim::Start() {
    if (thread_.joinable()) return;
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
}

void DoorSim::Stop() {
    stop_ = true;
    if (wake_[1] >= 0) {
        char c = 1;
        [[maybe_unused]] ssize_t n = write(wake_[1], &c, 1);
    }
    if (thread_.joinable()) thread_.join();
}

void DoorSim::BadCheckByteOnce() { std::lock_guard<std::mutex> l(lock_); faults_.push_back({BadBcc, {}}); }
void DoorSim::GarbageBeforeStxOnce(const std::string& g) { std::lock_guard<std::mutex> l(lock_); faults_.push_back({Garbage, g}); }
void DoorSim::MissingEtxOnce() { std::lock_guard<std::mutex> l(lock_); faults_.push_back({NoEtx, {}}); }
void DoorSim::EscapedCheckByteOnce() { std::lock_guard<std::mutex> l(lock_); faults_.push_back({EscBcc, {}}); }
void DoorSim::BroadcastOnce(uint8_t b1, uint8_t b2) {
    std::lock_guard<std::mutex> l(lock_);
    faults_.push_back({Broadcast, std::string{static_cast<char>(0x00), static_cast<char>(b1), static_cast<char>(b2)}});
}
void DoorSim::SendRawOnce(const std::string& wire) { std::lock_guard<std::mutex> l(lock_); faults_.push_back({Raw, wire}); }
void DoorSim::LateOnce(int delay_ms) { std::lock_guard<std::mutex> l(lock_); late_ms_ = delay_ms; }
void DoorSim::SetSilent(bool silent) { silent_ = silent; }
void DoorSim::Unplug() {
    std::lock_guard<std::mutex> l(lock_);
    unplug_ = true;
}

std::vector<SimExchange> DoorSim::Exchanges() const {
    std::lock_guard<std::mutex> l(lock_);
    return exchanges_;
}

size_t DoorSim::ExchangeCount() const {
    std::lock_guard<std::mutex> l(lock_);
    return exchanges_.size();
}

bool DoorSim::WaitForExchanges(size_t count, int timeout_ms) const {
    std::unique_lock<std::mutex> l(lock_);
    return changed_.wait_for(l, std::chrono::milliseconds(timeout_ms), [&] { return exchanges_.size() >= count; });
}

void DoorSim::ClearExchanges() {
    std::lock_guard<std::mutex> l(lock_);
    exchanges_.clear();
}

bool DoorSim::ProgramConnected() const {
    if (options_.poll_always) return true;
    int excl = 0;
    // The program opens its port exclusively and gives that up on close.
    if (slave_keep_ < 0 || ioctl(slave_keep_, TIOCGEXCL, &excl) != 0) return true;
    return excl != 0;
}

bool DoorSim::WaitUntil(SteadyClock::time_point t) {
    while (!stop_) {
        auto now = SteadyClock::now();
        if (now >= t) return true;
        int ms = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(t - now).count()) + 1;
        struct pollfd p {wake_[0], POLLIN, 0};
        poll(&p, 1, ms);
    }
    return false;
}

void DoorSim::Finish(SimExchange& ex) {
    std::lock_guard<std::mutex> l(lock_);
    exchanges_.push_back(std::move(ex));
    changed_.notify_all();
}

void DoorSim::Run() {
    auto next = SteadyClock::now();
    while (!stop_) {
        {
            std::lock_guard<std::mutex> l(lock_);
            if (unplug_ && master_ >= 0) {
                close(master_);
                master_ = -1;
            }
        }
        if (master_ < 0) {
            if (!WaitUntil(SteadyClock::now() + std::chrono::milliseconds(options_.poll_ms))) break;
            continue;
        }
        if (silent_ || !ProgramConnected()) {
            if (slave_keep_ >= 0 && !silent_) tcflush(slave_keep_, TCIFLUSH);
            next = SteadyClock::now() + std::chrono::milliseconds(options_.poll_ms);
            if (!WaitUntil(next)) break;
            continue;
        }
        int late = 0;
        std::pair<Fault, std::string> fault{None, {}};
        {
            std::lock_guard<std::mutex> l(lock_);
            if (!faults_.empty()) {
                fault = faults_.front();
                faults_.erase(faults_.begin());
            }
            if (late_ms_ && device_.HasReply()) {
                late = late_ms_;
                late_ms_ = 0;
            }
        }
        if (!late && device_.NextReplyIsBlock()) late = device_.State().block_late_ms;
        if (late && !WaitUntil(SteadyClock::now() + std::chrono::milliseconds(late))) break;

        std::string wire;
        switch (fault.first) {
        case None: wire = SimEncodeFrame(device_.NextFrame()); break;
        case BadBcc: wire = SimEncodeFrame(SimFrame{}); wire[wire.size() - 2] ^= 0x5A; break;
        case Garbage: wire = fault.second + SimEncodeFrame(SimFrame{}); break;
        // The ETX swallowed by an ESC: the frame runs on into the next byte 03.
        case NoEtx: wire = SimEncodeFrame(SimFrame{}); wire.back() = '\x1B'; wire += '\x03'; break;
        case EscBcc: wire = SimEncodeFrame(SimFrame{0x00, 0x03, {}}); break;
        case Broadcast: wire = SimEncodeFrame(SimFrame{0x02, 0x01, fault.second}); break;
        case Raw: wire = fault.second; break;
        }

        SimExchange ex;
        ex.sent = wire;
        size_t done = 0;
        while (done < wire.size() && !stop_) {
            ssize_t n = write(master_, wire.data() + done, wire.size() - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
            } else if (n < 0 && errno == EAGAIN) {
                struct pollfd p {master_, POLLOUT, 0};
                poll(&p, 1, 10);
            } else {
                break;
            }
        }
        auto written = SteadyClock::now();
        next = written + std::chrono::milliseconds(options_.poll_ms);

        // Collect whatever comes back until the next poll is due; a frame that wants an
        // answer waits for it a while longer, so a slow answer is not taken for the next one's.
        const bool wants_answer = fault.first == None || fault.first == EscBcc;
        const auto give_up = written + std::chrono::milliseconds(std::max(options_.poll_ms, options_.answer_timeout_ms));
        std::string pending;
        bool answered = false;
        while (!stop_) {
            auto now = SteadyClock::now();
            auto until = wants_answer && ex.answers.empty() ? give_up : next;
            if (now >= until) break;
            int ms = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count()) + 1;
            struct pollfd p[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
            if (poll(p, 2, ms) <= 0) continue;
            if (p[1].revents) break;
            if (p[0].revents & (POLLHUP | POLLERR)) {
                // The program closed its side; nothing more comes for this frame.
                if (!(p[0].revents & POLLIN)) {
                    WaitUntil(next);
                    break;
                }
            }
            char buf[512];
            ssize_t n = read(master_, buf, sizeof buf);
            if (n <= 0) continue;
            if (ex.latency_us < 0) ex.latency_us = MicrosBetween(written, SteadyClock::now());
            for (ssize_t k = 0; k < n; ++k) {
                pending += buf[k];
                if (buf[k] == '\x03') {
                    ex.answers.push_back(pending);
                    SimFrame answer;
                    if (SimDecodeFrame(pending, answer) == SimParse::Ok) {
                        if (answer.h1 == 0x02) {
                            device_.HandleAnswer(answer);  // raw frames come unasked
                        } else if (!answered) {
                            answered = true;
                            device_.HandleAnswer(answer);
                        }
                    }
                    pending.clear();
                }
            }
        }
        if (stop_) break;  // cut short: not a whole exchange
        ex.trailing = pending;
        if (SteadyClock::now() > next) next = SteadyClock::now();
        Finish(ex);
    }
}
