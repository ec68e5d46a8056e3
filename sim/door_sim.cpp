#include "sim/door_sim.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

#include "platform/sync/clock.h"

using SteadyClock = std::chrono::steady_clock;

namespace {

double MicrosBetween(SteadyClock::time_point a, SteadyClock::time_point b) {
    return std::chrono::duration<double, std::micro>(b - a).count();
}

// "request FB 02 04 A1 ...": what a script waits for to know the program has asked. Empty
// answers and the acknowledgement of a record are no requests.
void PrintRequest(const SimFrame& frame) {
    if (frame.data.size() < 2 || frame.data == std::string("\x28\x28\x00", 3)) return;
    std::string line = "request";
    char hex[4];
    for (unsigned char c : frame.data) {
        std::snprintf(hex, sizeof hex, " %02X", c);
        line += hex;
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

DoorSim::DoorSim(DoorState state, DoorSimOptions options)
    : device_(std::move(state)),
      options_(std::move(options)),
      pty_(options_.port, options_.ports_dir, options_.line_fd) {}

DoorSim::~DoorSim() { Stop(); }

void DoorSim::Start() {
    if (thread_.joinable()) return;
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
}

void DoorSim::Stop() {
    stop_ = true;
    pty_.Wake();
    if (thread_.joinable()) thread_.join();
}

void DoorSim::BadCheckByteOnce() {
    std::lock_guard<std::mutex> l(lock_);
    faults_.push_back({BadBcc, {}});
}
void DoorSim::GarbageBeforeStxOnce(const std::string& g) {
    std::lock_guard<std::mutex> l(lock_);
    faults_.push_back({Garbage, g});
}
void DoorSim::MissingEtxOnce() {
    std::lock_guard<std::mutex> l(lock_);
    faults_.push_back({NoEtx, {}});
}
void DoorSim::EscapedCheckByteOnce() {
    std::lock_guard<std::mutex> l(lock_);
    faults_.push_back({EscBcc, {}});
}
void DoorSim::BroadcastOnce(uint8_t b1, uint8_t b2) {
    std::lock_guard<std::mutex> l(lock_);
    faults_.push_back({Broadcast, std::string{static_cast<char>(0x00), static_cast<char>(b1), static_cast<char>(b2)}});
}
void DoorSim::SendRawOnce(const std::string& wire) {
    std::lock_guard<std::mutex> l(lock_);
    faults_.push_back({Raw, wire});
}
void DoorSim::LateOnce(int delay_ms) {
    std::lock_guard<std::mutex> l(lock_);
    late_ms_ = delay_ms;
}
void DoorSim::SetSilent(bool silent) {
    silent_ = silent;
    if (!silent) quiet_ = false;
}
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
    return pty_.ProgramHasPortOpen();
}

bool DoorSim::WaitUntil(SteadyClock::time_point t) {
    while (!stop_) {
        auto now = SteadyClock::now();
        if (now >= t) return true;
        int ms = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(t - now).count()) + 1;
        struct pollfd p {
            pty_.WakeFd(), POLLIN, 0
        };
        poll(&p, 1, ms);
    }
    return false;
}

bool DoorSim::WaitForTick(uint64_t due) {
    SetTalking(false);
    while (!stop_) {
        const uint64_t now = CurrentClock().Ticks();
        last_round_ = now;  // late, not gone
        if (now >= due) return true;
        struct pollfd p {
            pty_.WakeFd(), POLLIN, 0
        };
        poll(&p, 1, 2);
    }
    return false;
}

void DoorSim::SetTalking(bool talking) {
    if (talking == talking_now_) return;
    talking_now_ = talking;
    talking_ += talking ? 1 : -1;
}

void DoorSim::Finish(SimExchange& ex) {
    std::lock_guard<std::mutex> l(lock_);
    exchanges_.push_back(std::move(ex));
    changed_.notify_all();
}

void DoorSim::Run() {
    ++running_;
    struct Stopped {
        DoorSim* sim;
        ~Stopped() {
            sim->SetTalking(false);
            --running_;
        }
    } stopped{this};
    auto next = SteadyClock::now();
    while (!stop_) {
        last_round_ = CurrentClock().Ticks();
        {
            std::lock_guard<std::mutex> l(lock_);
            if (unplug_) pty_.CloseMaster();
        }
        if (pty_.Master() < 0) {
            SetTalking(false);
            if (!WaitUntil(SteadyClock::now() + std::chrono::milliseconds(options_.poll_ms))) break;
            continue;
        }
        // The exchange under way has ended: a device asked to fall silent now is.
        quiet_ = silent_.load();
        if (silent_ || !ProgramConnected()) {
            SetTalking(false);
            if (!silent_) pty_.DropUnreadOutput();
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
        if (late && !WaitForTick(CurrentClock().Ticks() + static_cast<uint64_t>(late))) break;

        std::string wire;
        switch (fault.first) {
            case None: wire = SimEncodeFrame(device_.NextFrame()); break;
            case BadBcc:
                wire = SimEncodeFrame(SimFrame{});
                wire[wire.size() - 2] ^= 0x5A;
                break;
            case Garbage: wire = fault.second + SimEncodeFrame(SimFrame{}); break;
            // The ETX swallowed by an ESC: the frame runs on into the next byte 03.
            case NoEtx:
                wire = SimEncodeFrame(SimFrame{});
                wire.back() = '\x1B';
                wire += '\x03';
                break;
            case EscBcc: wire = SimEncodeFrame(SimFrame{0x00, 0x03, {}}); break;
            case Broadcast: wire = SimEncodeFrame(SimFrame{0x02, 0x01, fault.second}); break;
            case Raw: wire = fault.second; break;
        }

        SetTalking(true);
        SimExchange ex;
        ex.sent = wire;
        size_t done = 0;
        while (done < wire.size() && !stop_) {
            ssize_t n = write(pty_.Master(), wire.data() + done, wire.size() - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
            } else if (n < 0 && errno == EAGAIN) {
                struct pollfd p {
                    pty_.Master(), POLLOUT, 0
                };
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
        const auto give_up = written +
                             std::chrono::milliseconds(std::max(options_.poll_ms, options_.answer_timeout_ms));
        std::string pending;
        while (!stop_) {
            auto now = SteadyClock::now();
            auto until = wants_answer && ex.answers.empty() ? give_up : next;
            if (now >= until) break;
            int ms = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count()) + 1;
            struct pollfd p[2] = {{pty_.Master(), POLLIN, 0}, {pty_.WakeFd(), POLLIN, 0}};
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
            ssize_t n = read(pty_.Master(), buf, sizeof buf);
            if (n <= 0) continue;
            if (ex.latency_us < 0) ex.latency_us = MicrosBetween(written, SteadyClock::now());
            for (ssize_t k = 0; k < n; ++k) {
                pending += buf[k];
                if (buf[k] == '\x03') {
                    ex.answers.push_back(pending);
                    SimFrame answer;
                    // Every answer is taken, also one to the frame before that came too late
                    // for its own exchange: a busy program must not make the device lose it.
                    if (SimDecodeFrame(pending, answer) == SimParse::Ok) {
                        if (options_.print_requests) PrintRequest(answer);
                        device_.HandleAnswer(answer);
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
