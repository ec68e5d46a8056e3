// Serial port layer over a pseudo-terminal: throughput into the window thread and the latency
// from a byte written by the device side to the available-bytes event.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "serial/ser_com_port.h"
#include "tests/support/pty_pair.h"

namespace fs = std::filesystem;

namespace {

struct Rig {
    PtyPair pty;
    fs::path dir;
    std::unique_ptr<TSerComPort> port;
    size_t received = 0;
    std::chrono::steady_clock::time_point seen;

    Rig() {
        InitWindowThread();
        dir = fs::temp_directory_path() / ("tovak-bench-" + std::to_string(getpid()));
        fs::create_directories(dir);
        fs::remove(dir / "COM21");
        fs::create_symlink(pty.SlavePath(), dir / "COM21");
        setenv("TOVAK_PORTS", dir.c_str(), 1);
        port = std::make_unique<TSerComPort>(nullptr);
        port->SetAutoOpen(false);
        port->SetComNumber(21);
        port->SetOnTriggerAvail([this](TObject*, uint16_t) {
            seen = std::chrono::steady_clock::now();
            while (port->CharReady()) {
                port->GetChar();
                ++received;
            }
        });
        port->SetOpen(true);
    }
    ~Rig() {
        port.reset();
        fs::remove_all(dir);
    }
};

void BM_SerialThroughput(benchmark::State& state) {
    Rig rig;
    const std::string block(1 << 20, 'x');
    for (auto _ : state) {
        rig.received = 0;
        std::thread writer([&] { rig.pty.WriteAll(block, 60000); });
        RunLoopUntil([&] { return rig.received >= block.size(); }, CurrentClock().Ticks() + 60000);
        writer.join();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(block.size()));
}
BENCHMARK(BM_SerialThroughput)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SerialByteToEventLatency(benchmark::State& state) {
    Rig rig;
    std::vector<double> samples;
    for (auto _ : state) {
        size_t before = rig.received;
        auto start = std::chrono::steady_clock::now();
        rig.pty.WriteAll("a");
        RunLoopUntil([&] { return rig.received > before; }, CurrentClock().Ticks() + 5000);
        double us = std::chrono::duration<double, std::micro>(rig.seen - start).count();
        samples.push_back(us);
        state.SetIterationTime(us / 1e6);
    }
    std::sort(samples.begin(), samples.end());
    if (!samples.empty()) {
        state.counters["p50_us"] = samples[samples.size() / 2];
        state.counters["p99_us"] = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
    }
}
BENCHMARK(BM_SerialByteToEventLatency)->Iterations(2000)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The bare pseudo-terminal round trip of one byte, for comparison.
void BM_BarePtyByte(benchmark::State& state) {
    PtyPair pty;
    int slave = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    char c;
    for (auto _ : state) {
        pty.WriteAll("a");
        benchmark::DoNotOptimize(::read(slave, &c, 1));
    }
    ::close(slave);
}
BENCHMARK(BM_BarePtyByte)->Unit(benchmark::kMicrosecond);

}  // namespace
