// Time from the last byte of the device's poll to the first byte of the program's answer,
// over a pseudo-terminal with the real port component, measured on the device side; beside it,
// in the same run, the same exchange with a bare responder that answers from the slave side.
// The two are sampled alternately, 200 exchanges at a time, so that both see the same load.

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

#include "bench/bench_pty.h"
#include "link/com_port_link.h"
#include "link/frame_codec.h"
#include "link/sercom_link.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "sim/door_sim.h"
#include "tests/support/temp_folder.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

double Percentile(std::vector<double> v, int p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, v.size() * static_cast<size_t>(p) / 100)];
}

// Polls every 2 ms as the simulator does, and answers each poll from a thread that waits on
// the slave side: the round trip that the pseudo-terminal and the scheduler cost alone.
std::vector<double> BareRoundTrips(size_t count) {
    BenchPty pty;
    const std::string poll_frame = BuildWireFrame(0, 1, "");
    const std::string answer = BuildWireFrame(0, 1, "");
    int slave = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    std::atomic<bool> stop{false};
    std::thread responder([&] {
        char buf[256];
        while (!stop) {
            struct pollfd p {
                slave, POLLIN, 0
            };
            if (poll(&p, 1, 50) <= 0) continue;
            ssize_t n = ::read(slave, buf, sizeof buf);
            if (n > 0 && buf[n - 1] == '\x03') BenchPty::WriteAll(slave, answer);
        }
    });
    std::vector<double> samples;
    char buf[256];
    auto next = SteadyClock::now();
    while (samples.size() < count) {
        std::this_thread::sleep_until(next);
        pty.WriteAll(poll_frame);
        auto written = SteadyClock::now();
        next = written + std::chrono::milliseconds(2);
        size_t got = 0;
        bool first = true;
        while (got < answer.size()) {
            struct pollfd p {
                pty.Master(), POLLIN, 0
            };
            if (poll(&p, 1, 1000) <= 0) break;
            ssize_t n = ::read(pty.Master(), buf, sizeof buf);
            if (n <= 0) continue;
            if (first)
                samples.push_back(std::chrono::duration<double, std::micro>(SteadyClock::now() - written).count());
            first = false;
            got += static_cast<size_t>(n);
        }
    }
    stop = true;
    responder.join();
    ::close(slave);
    return samples;
}

}  // namespace

static void BM_PollToAnswerOverPty(benchmark::State& state) {
    std::vector<double> bare;
    InitWindowThread();
    const TempFolder dir("tovak-bench-latency");
    setenv("TOVAK_PORTS", dir.Path().c_str(), 1);
    DoorSimOptions options;
    options.port = 19;
    options.ports_dir = dir.Path().string();
    options.poll_ms = 2;
    DoorSim sim(DoorState::DoorTerminal(), options);
    TSerComPort com(nullptr);
    TComPortLink port(&com);
    TSercomLink link(&port);
    link.OpenPort(19, false);
    sim.Start();
    // Let the first polls after the open pass.
    RunLoopUntil([&] { return sim.ExchangeCount() >= 5; }, CurrentClock().Ticks() + 5000);
    std::vector<double> lat;
    auto collect = [&] {
        for (const SimExchange& ex : sim.Exchanges())
            if (ex.latency_us >= 0) lat.push_back(ex.latency_us);
        sim.ClearExchanges();
    };
    sim.ClearExchanges();
    int in_round = 0;
    for (auto _ : state) {
        size_t target = sim.ExchangeCount() + 1;
        RunLoopUntil([&] { return sim.ExchangeCount() >= target; }, CurrentClock().Ticks() + 5000);
        if (++in_round == 200) {
            // The program goes on answering its device meanwhile (a pause would end its
            // link), but what it answers then is not counted.
            collect();
            std::vector<double> more;
            std::atomic<bool> done{false};
            std::thread bare_round([&] {
                more = BareRoundTrips(200);
                done = true;
            });
            RunLoopUntil([&] { return done.load(); }, CurrentClock().Ticks() + 60000);
            bare_round.join();
            bare.insert(bare.end(), more.begin(), more.end());
            sim.ClearExchanges();
            in_round = 0;
        }
    }
    sim.Stop();
    collect();
    if (!lat.empty() && !bare.empty()) {
        state.counters["median_us"] = Percentile(lat, 50);
        state.counters["p99_us"] = Percentile(lat, 99);
        state.counters["max_us"] = Percentile(lat, 100);
        state.counters["bare_median_us"] = Percentile(bare, 50);
        state.counters["bare_p99_us"] = Percentile(bare, 99);
        // Aims: at most 2.5 and 6.
        state.counters["median_x_bare"] = Percentile(lat, 50) / Percentile(bare, 50);
        state.counters["p99_x_bare"] = Percentile(lat, 99) / Percentile(bare, 99);
        state.counters["samples"] = static_cast<double>(lat.size());
    }
    link.ClosePort();
}
BENCHMARK(BM_PollToAnswerOverPty)->Iterations(2000)->Unit(benchmark::kMicrosecond);
