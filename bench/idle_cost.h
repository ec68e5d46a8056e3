#pragma once
// What an open, idle link costs, thread by thread: CPU time (from schedstat) and wake-ups
// (voluntary context switches: a sleep that ended; preemptions by a loaded machine are not
// counted), beside a bare responder that answers a second simulator's polls from the slave
// side with one thread, over the same seconds.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "bench/bench_pty.h"
#include "link/frame_codec.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "sim/door_sim.h"

struct ThreadCost {
    double cpu_ns = 0;
    double switches = 0;
};

inline pid_t Tid() { return static_cast<pid_t>(syscall(SYS_gettid)); }

inline ThreadCost CostOf(pid_t tid) {
    ThreadCost cost;
    const std::string base = "/proc/self/task/" + std::to_string(tid);
    std::ifstream sched(base + "/schedstat");
    sched >> cost.cpu_ns;
    std::ifstream status(base + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) cost.switches += std::stod(line.substr(line.find(':') + 1));
    return cost;
}

inline std::vector<pid_t> AllThreads() {
    std::vector<pid_t> tids;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* e = readdir(dir))
            if (e->d_name[0] != '.') tids.push_back(static_cast<pid_t>(std::atoi(e->d_name)));
        closedir(dir);
    }
    return tids;
}

// The calling (window) thread and the threads that `open` starts: the port's.
template <class Open>
std::vector<pid_t> ThreadsOpenedBy(const Open& open) {
    const std::vector<pid_t> before = AllThreads();
    open();
    std::vector<pid_t> program{Tid()};
    for (pid_t tid : AllThreads())
        if (std::find(before.begin(), before.end(), tid) == before.end()) program.push_back(tid);
    return program;
}

// A simulator polling every 50 ms and one thread answering each of its frames.
class BareResponder {
public:
    BareResponder() : sim_(DoorState::DoorTerminal(), Options()) {
        slave_ = ::open(sim_.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        thread_ = std::thread([this] {
            tid_ = Tid();
            const std::string answer = BuildWireFrame(0, 1, "");
            char buf[256];
            while (!stop_) {
                struct pollfd p {
                    slave_, POLLIN, 0
                };
                if (poll(&p, 1, 200) <= 0) continue;
                ssize_t n = ::read(slave_, buf, sizeof buf);
                if (n > 0 && buf[n - 1] == '\x03') BenchPty::WriteAll(slave_, answer);
            }
        });
        sim_.Start();
    }
    ~BareResponder() {
        sim_.Stop();
        stop_ = true;
        thread_.join();
        ::close(slave_);
    }
    pid_t ThreadId() const { return tid_; }

private:
    static DoorSimOptions Options() {
        DoorSimOptions options;
        options.poll_ms = 50;
        options.poll_always = true;
        return options;
    }
    DoorSim sim_;
    int slave_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<pid_t> tid_{0};
    std::thread thread_;
};

// Pumps the window thread for two seconds per iteration and sets the counters: the
// program's CPU share and wake-ups a second (per thread too, 0 the window thread), the bare
// responder's, and their ratios (aims: at most 3 and 2).
inline void MeasureIdle(benchmark::State& state, const std::vector<pid_t>& program, const BareResponder& bare) {
    RunLoopUntil([&] { return bare.ThreadId() != 0; }, CurrentClock().Ticks() + 5000);
    const pid_t bare_tid = bare.ThreadId();
    double seconds = 0;
    ThreadCost total, bare_cost;
    std::vector<ThreadCost> each(program.size());
    for (auto _ : state) {
        std::vector<ThreadCost> p0;
        for (pid_t tid : program) p0.push_back(CostOf(tid));
        const ThreadCost b0 = CostOf(bare_tid);
        const auto start = std::chrono::steady_clock::now();
        RunLoopUntil([] { return false; }, CurrentClock().Ticks() + 2000);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        for (size_t i = 0; i < program.size(); ++i) {
            const ThreadCost c = CostOf(program[i]);
            each[i].cpu_ns += c.cpu_ns - p0[i].cpu_ns;
            each[i].switches += c.switches - p0[i].switches;
        }
        const ThreadCost b1 = CostOf(bare_tid);
        bare_cost.cpu_ns += b1.cpu_ns - b0.cpu_ns;
        bare_cost.switches += b1.switches - b0.switches;
    }
    if (seconds <= 0) return;
    for (size_t i = 0; i < each.size(); ++i) {
        total.cpu_ns += each[i].cpu_ns;
        total.switches += each[i].switches;
        state.counters["wakeups_per_s_" + std::to_string(i)] = each[i].switches / seconds;
        state.counters["cpu_us_per_s_" + std::to_string(i)] = each[i].cpu_ns / 1e3 / seconds;
    }
    state.counters["cpu_pct"] = total.cpu_ns / 1e9 / seconds * 100;
    state.counters["wakeups_per_s"] = total.switches / seconds;
    state.counters["bare_cpu_pct"] = bare_cost.cpu_ns / 1e9 / seconds * 100;
    state.counters["bare_wakeups_per_s"] = bare_cost.switches / seconds;
    if (bare_cost.cpu_ns > 0) state.counters["cpu_x_bare"] = total.cpu_ns / bare_cost.cpu_ns;
    if (bare_cost.switches > 0) state.counters["wakeups_x_bare"] = total.switches / bare_cost.switches;
    state.counters["threads"] = static_cast<double>(program.size());
}
