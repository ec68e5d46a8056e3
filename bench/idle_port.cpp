// The cost of an open, idle link: the simulated door terminal polls every 50 ms over a
// pseudo-terminal and the program's link answers each poll; beside it the bare responder
// (see idle_cost.h).

#include <cstdlib>

#include "bench/idle_cost.h"
#include "link/com_port_link.h"
#include "link/sercom_link.h"
#include "tests/support/temp_folder.h"

namespace {

void BM_IdleLinkPolledEvery50ms(benchmark::State& state) {
    InitWindowThread();
    const TempFolder dir("tovak-bench-idle");
    setenv("TOVAK_PORTS", dir.Path().c_str(), 1);
    BareResponder bare;
    DoorSimOptions options;
    options.port = 19;
    options.ports_dir = dir.Path().string();
    options.poll_ms = 50;
    DoorSim sim(DoorState::DoorTerminal(), options);
    TSerComPort com(nullptr);
    TComPortLink port(&com);
    TSercomLink link(&port);
    const std::vector<pid_t> program = ThreadsOpenedBy([&] { link.OpenPort(19, false); });
    sim.Start();
    // The first polls after the open pass before the measuring starts.
    RunLoopUntil([&] { return sim.ExchangeCount() >= 5; }, CurrentClock().Ticks() + 5000);
    sim.ClearExchanges();
    const auto start = std::chrono::steady_clock::now();
    MeasureIdle(state, program, bare);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["polls_per_s"] = static_cast<double>(sim.ExchangeCount()) / seconds;
    sim.Stop();
    link.ClosePort();
}

}  // namespace

BENCHMARK(BM_IdleLinkPolledEvery50ms)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();
