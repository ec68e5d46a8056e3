#include "sim/controller_sim.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

#include "platform/sync/clock.h"

ControllerSim::ControllerSim(ControllerSimOptions options)
    : options_(std::move(options)), pty_(options_.port, options_.ports_dir, options_.line_fd) {}

ControllerSim::~ControllerSim() { Stop(); }

void ControllerSim::Start() {
    if (thread_.joinable()) return;
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
}

void ControllerSim::Stop() {
    stop_ = true;
    pty_.Wake();
    if (thread_.joinable()) thread_.join();
}

void ControllerSim::NoSuccessOnce() {
    std::lock_guard<std::mutex> l(lock_);
    faults_.push_back({Fault::NoSuccess, 0});
}
void ControllerSim::GarbageOnce() {
    std::lock_guard<std::mutex> l(lock_);
    faults_.push_back({Fault::Garbage, 0});
}
void ControllerSim::LateOnce(int ms) {
    std::lock_guard<std::mutex> l(lock_);
    faults_.push_back({Fault::Late, ms});
}
void ControllerSim::SilentOnce() {
    std::lock_guard<std::mutex> l(lock_);
    faults_.push_back({Fault::Silent, 0});
}
void ControllerSim::EndlessOnce(size_t bytes) {
    std::lock_guard<std::mutex> l(lock_);
    faults_.push_back({Fault::Endless, static_cast<int>(bytes)});
}

std::vector<std::string> ControllerSim::Commands() const {
    std::lock_guard<std::mutex> l(lock_);
    return commands_;
}

bool ControllerSim::ProgramConnected() const { return pty_.ProgramHasPortOpen(); }

uint64_t ControllerSim::Settle() {
    std::unique_lock<std::mutex> l(lock_);
    const uint64_t ticket = ++settle_asked_;
    pty_.Wake(0);
    settled_.wait_for(l, std::chrono::seconds(5), [&] { return settle_done_ >= ticket || stop_; });
    return written_;
}

// Reads until the pty has nothing more: a read that finds nothing first lets the kernel hand
// over whatever the program wrote before, so after it nothing written earlier is in flight.
void ControllerSim::Drain() {
    char buf[512];
    for (;;) {
        const ssize_t n = read(pty_.Master(), buf, sizeof buf);
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
    if (options_.print_commands) {
        std::printf("command %s\n", line.c_str());
        std::fflush(stdout);
    }
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
        const ssize_t n = write(pty_.Master(), p.bytes.data(), p.bytes.size());
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
        struct pollfd p[2] = {{pty_.Master(), POLLIN, 0}, {pty_.WakeFd(), POLLIN, 0}};
        poll(p, 2, waiting_out ? 2 : 200);
        uint64_t ticket;
        {
            std::lock_guard<std::mutex> l(lock_);
            ticket = settle_asked_;
        }
        if (p[1].revents) {
            char c[64];
            while (read(pty_.WakeFd(), c, sizeof c) > 0) {
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
