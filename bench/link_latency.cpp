// Time from the last byte of the device's poll to the first byte of the program's answer,
// over a pseudo-terminal with the real port component, measured on the device side.

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "link/com_port_link.h"
#include "link/link_state.h"
#include "link/sercom_link.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "sim/door_sim.h"

static void BM_PollToAnswerOverPty(benchmark::State& state) {
    InitWindowThread();
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("tovak-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    setenv("TOVAK_PORTS", dir.c_str(), 1);
    DoorSimOptions options;
    options.port = 19;
    options.ports_dir = dir.string();
    options.poll_ms = 2;
    DoorSim sim(DoorState::DoorTerminal(), options);
    TSerComPort com(nullptr);
    TComPortLink port(&com);
    TSercomLink link(&port);
    link.OpenPort(19, false);
    sim.Start();
    // Let the first polls after the open pass.
    RunLoopUntil([&] { return sim.ExchangeCount() >= 5; }, CurrentClock().Ticks() + 5000);
    sim.ClearExchanges();
    for (auto _ : state) {
        size_t target = sim.ExchangeCount() + 1;
        RunLoopUntil([&] { return sim.ExchangeCount() >= target; }, CurrentClock().Ticks() + 5000);
    }
    sim.Stop();
    std::vector<double> lat;
    for (const SimExchange& ex : sim.Exchanges())
        if (ex.latency_us >= 0) lat.push_back(ex.latency_us);
    std::sort(lat.begin(), lat.end());
    if (!lat.empty()) {
        state.counters["median_us"] = lat[lat.size() / 2];
        state.counters["p99_us"] = lat[std::min(lat.size() - 1, lat.size() * 99 / 100)];
        state.counters["max_us"] = lat.back();
        state.counters["samples"] = static_cast<double>(lat.size());
    }
    link.ClosePort();
    fs::remove_all(dir);
}
BENCHMARK(BM_PollToAnswerOverPty)->Iterations(2000)->Unit(benchmark::kMicrosecond);
