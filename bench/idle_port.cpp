// The cost of an open, idle link: the simulated door terminal polls every 50 ms over a
// pseudo-terminal and the program answers each poll. Beside it, in the same run and over the
// same seconds, a bare responder answers a second simulator's polls from the slave side.
// Counted are the CPU time and the wake-ups (voluntary context switches) of the program's threads
// (the window thread and the port's three threads) and of the bare responder's one thread.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "bench/bench_pty.h"
#include "link/com_port_link.h"
#include "link/frame_codec.h"
#include "link/sercom_link.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "sim/door_sim.h"

namespace {

struct ThreadCost {
    double cpu_ns = 0;
    double switches = 0;
};

pid_t Tid() { return static_cast<pid_t>(syscall(SYS_gettid)); }

ThreadCost CostOf(pid_t tid) {
    ThreadCost cost;
    const std::string base = "/proc/self/task/" + std::to_string(tid);
    std::ifstream sched(base + "/schedstat");
    sched >> cost.cpu_ns;
    std::ifstream status(base + "/status");
    std::string line;
    while (std::getline(status, line)) {
        // A sleep ended is a wake-up; preemptions by a loaded machine are not counted.
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) cost.switches += std::stod(line.substr(line.find(':') + 1));
    }
    return cost;
}

std::vector<pid_t> AllThreads() {
    std::vector<pid_t> tids;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* e = readdir(dir))
            if (e->d_name[0] != '.') tids.push_back(static_cast<pid_t>(std::atoi(e->d_name)));
        closedir(dir);
    }
    return tids;
}

ThreadCost Sum(const std::vector<pid_t>& tids) {
    ThreadCost total;
    for (pid_t tid : tids) {
        ThreadCost c = CostOf(tid);
        total.cpu_ns += c.cpu_ns;
        total.switches += c.switches;
    }
    return total;
}

void BM_IdleLinkPolledEvery50ms(benchmark::State& state) {
    InitWindowThread();
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("tovak-bench-idle-" + std::to_string(getpid()));
    fs::create_directories(dir);
    setenv("TOVAK_PORTS", dir.c_str(), 1);

    // The bare responder: one thread answering every frame of its own simulator.
    DoorSimOptions bare_options;
    bare_options.poll_ms = 50;
    bare_options.poll_always = true;
    DoorSim bare_sim(DoorState::DoorTerminal(), bare_options);
    const std::string answer = BuildWireFrame(0, 1, "");
    int slave = ::open(bare_sim.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    std::atomic<bool> stop{false};
    std::atomic<pid_t> bare_tid{0};
    std::thread responder([&] {
        bare_tid = Tid();
        char buf[256];
        while (!stop) {
            struct pollfd p{slave, POLLIN, 0};
            if (poll(&p, 1, 200) <= 0) continue;
            ssize_t n = ::read(slave, buf, sizeof buf);
            if (n > 0 && buf[n - 1] == '\x03') BenchPty::WriteAll(slave, answer);
        }
    });

    DoorSimOptions options;
    options.port = 19;
    options.ports_dir = dir.string();
    options.poll_ms = 50;
    DoorSim sim(DoorState::DoorTerminal(), options);
    TSerComPort com(nullptr);
    TComPortLink port(&com);
    TSercomLink link(&port);
    // The port's threads are the ones the open adds (the simulators start only later).
    const std::vector<pid_t> before = AllThreads();
    link.OpenPort(19, false);
    std::vector<pid_t> program{Tid()};
    for (pid_t tid : AllThreads())
        if (std::find(before.begin(), before.end(), tid) == before.end()) program.push_back(tid);
    sim.Start();
    bare_sim.Start();
    // The first polls after the open pass before the measuring starts.
    RunLoopUntil([&] { return sim.ExchangeCount() >= 5 && bare_tid != 0; }, CurrentClock().Ticks() + 5000);
    sim.ClearExchanges();

    double seconds = 0;
    ThreadCost program_cost, bare_cost;
    std::vector<ThreadCost> each0;
    for (pid_t tid : program) each0.push_back(CostOf(tid));
    for (auto _ : state) {
        const ThreadCost p0 = Sum(program), b0 = CostOf(bare_tid);
        const auto start = std::chrono::steady_clock::now();
        RunLoopUntil([] { return false; }, CurrentClock().Ticks() + 2000);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const ThreadCost p1 = Sum(program), b1 = CostOf(bare_tid);
        program_cost.cpu_ns += p1.cpu_ns - p0.cpu_ns;
        program_cost.switches += p1.switches - p0.switches;
        bare_cost.cpu_ns += b1.cpu_ns - b0.cpu_ns;
        bare_cost.switches += b1.switches - b0.switches;
    }
    // Wake-ups of each of the program's threads: the window thread first, then the port's.
    for (size_t i = 0; i < program.size() && seconds > 0; ++i)
    {
        const ThreadCost now = CostOf(program[i]);
        state.counters["wakeups_per_s_" + std::to_string(i)] = (now.switches - each0[i].switches) / seconds;
        state.counters["cpu_us_per_s_" + std::to_string(i)] = (now.cpu_ns - each0[i].cpu_ns) / 1e3 / seconds;
    }
    if (seconds > 0) {
        state.counters["cpu_pct"] = program_cost.cpu_ns / 1e9 / seconds * 100;
        state.counters["wakeups_per_s"] = program_cost.switches / seconds;
        state.counters["bare_cpu_pct"] = bare_cost.cpu_ns / 1e9 / seconds * 100;
        state.counters["bare_wakeups_per_s"] = bare_cost.switches / seconds;
        // Aims: at most 3 and 2.
        if (bare_cost.cpu_ns > 0) state.counters["cpu_x_bare"] = program_cost.cpu_ns / bare_cost.cpu_ns;
        if (bare_cost.switches > 0) state.counters["wakeups_x_bare"] = program_cost.switches / bare_cost.switches;
        state.counters["threads"] = static_cast<double>(program.size());
        state.counters["polls_per_s"] = static_cast<double>(sim.ExchangeCount()) / seconds;
    }
    sim.Stop();
    bare_sim.Stop();
    stop = true;
    responder.join();
    ::close(slave);
    link.ClosePort();
    fs::remove_all(dir);
}

}  // namespace

BENCHMARK(BM_IdleLinkPolledEvery50ms)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();
