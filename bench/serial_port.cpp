// Serial port layer over a pseudo-terminal: throughput into the window thread and the latency
// from a byte written by the device side to the available-bytes event, each beside the same
// work done by a bare reader of the pseudo-terminal in the same run.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "bench/bench_pty.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "serial/ser_com_port.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;

namespace {

struct Rig {
    BenchPty pty;
    TempFolder dir{"tovak-bench-serial"};
    std::unique_ptr<TSerComPort> port;
    size_t received = 0;
    size_t events = 0;
    SteadyClock::time_point seen;

    Rig() {
        InitWindowThread();
        fs::create_symlink(pty.SlavePath(), dir.Path() / "COM21");
        setenv("TOVAK_PORTS", dir.Path().c_str(), 1);
        port = std::make_unique<TSerComPort>(nullptr);
        port->SetAutoOpen(false);
        port->SetComNumber(21);
        port->SetOnTriggerAvail([this](TObject*, uint16_t) {
            seen = SteadyClock::now();
            ++events;
            while (port->CharReady()) {
                port->GetChar();
                ++received;
            }
        });
        port->SetOpen(true);
    }
    // The port closes before its folder goes.
    ~Rig() { port.reset(); }
};

double Seconds(SteadyClock::time_point a, SteadyClock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// A bare reader of the slave side: the time to take `size` bytes that a writer thread sends.
double BareReadSeconds(BenchPty& pty, const std::string& block) {
    int slave = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    std::vector<char> buf(8192);
    size_t got = 0;
    auto start = SteadyClock::now();
    std::thread writer([&] { pty.WriteAll(block); });
    while (got < block.size()) {
        ssize_t n = ::read(slave, buf.data(), buf.size());
        if (n > 0) {
            got += static_cast<size_t>(n);
            continue;
        }
        struct pollfd p {
            slave, POLLIN, 0
        };
        poll(&p, 1, 100);
    }
    auto end = SteadyClock::now();
    writer.join();
    ::close(slave);
    return Seconds(start, end);
}

void BM_SerialThroughput(benchmark::State& state) {
    const std::string block(1 << 20, 'x');
    BenchPty barePty;
    Rig rig;
    rig.events = 0;
    double bare = 0, serial = 0;
    // Bare and serial runs alternate, so that both see the same load on the machine.
    for (auto _ : state) {
        bare += BareReadSeconds(barePty, block);
        rig.received = 0;
        auto start = SteadyClock::now();
        std::thread writer([&] { rig.pty.WriteAll(block); });
        RunLoopUntil([&] { return rig.received >= block.size(); }, CurrentClock().Ticks() + 60000);
        auto end = SteadyClock::now();
        writer.join();
        serial += Seconds(start, end);
        state.SetIterationTime(Seconds(start, end));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(block.size()));
    if (serial > 0 && rig.events > 0) {
        state.counters["bare_MBps"] = static_cast<double>(block.size()) * static_cast<double>(state.iterations()) /
                                      bare / 1e6;
        state.counters["x_bare"] = bare / serial;  // aim: at least 0.3
        state.counters["bytes_per_event"] = static_cast<double>(block.size()) *
                                            static_cast<double>(state.iterations()) / static_cast<double>(rig.events);
    }
}
BENCHMARK(BM_SerialThroughput)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

void Percentiles(benchmark::State& state, std::vector<double> samples, const std::string& prefix) {
    std::sort(samples.begin(), samples.end());
    if (samples.empty()) return;
    state.counters[prefix + "p50_us"] = samples[samples.size() / 2];
    state.counters[prefix + "p99_us"] = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
}

void BM_SerialByteToEventLatency(benchmark::State& state) {
    Rig rig;
    std::vector<double> samples;
    for (auto _ : state) {
        size_t before = rig.received;
        auto start = SteadyClock::now();
        rig.pty.WriteAll("a");
        RunLoopUntil([&] { return rig.received > before; }, CurrentClock().Ticks() + 5000);
        double us = std::chrono::duration<double, std::micro>(rig.seen - start).count();
        samples.push_back(us);
        state.SetIterationTime(us / 1e6);
    }
    Percentiles(state, samples, "");
}
BENCHMARK(BM_SerialByteToEventLatency)->Iterations(2000)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The bare pseudo-terminal: one byte from the master to a reader waiting on the slave.
void BM_BarePtyByte(benchmark::State& state) {
    BenchPty pty;
    int slave = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    std::vector<double> samples;
    char c;
    for (auto _ : state) {
        auto start = SteadyClock::now();
        pty.WriteAll("a");
        struct pollfd p {
            slave, POLLIN, 0
        };
        while (::read(slave, &c, 1) != 1) poll(&p, 1, 100);
        double us = std::chrono::duration<double, std::micro>(SteadyClock::now() - start).count();
        samples.push_back(us);
        state.SetIterationTime(us / 1e6);
    }
    ::close(slave);
    Percentiles(state, samples, "");
}
BENCHMARK(BM_BarePtyByte)->Iterations(2000)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
