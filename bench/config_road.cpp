// The whole read road of the configuration against the simulated interface device polling
// every 10 ms over a pseudo-terminal: open the link, ask the device type, read both blocks
// (with the two 200 ms pauses the road makes for its lamps), close, decode. The wire and the
// poll rate dominate; the counter "program_share" is the window thread's CPU time over the
// wall time of a road.

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

#include "app/common/step_progress.h"
#include "app/config/io_config.h"
#include "app/device/config_handshake.h"
#include "app/device/device_session.h"
#include "platform/forms/shape.h"
#include "platform/win/message_queue.h"
#include "serial/ser_com_port.h"
#include "sim/door_sim.h"
#include "tests/support/temp_folder.h"

namespace {

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

}  // namespace

static void BM_ReadRoadAgainstTheSimulator(benchmark::State& state) {
    InitWindowThread();
    const TempFolder dir("tovak-bench-road");
    setenv("TOVAK_PORTS", dir.Path().c_str(), 1);
    DoorSimOptions options;
    options.port = 21;
    options.ports_dir = dir.Path().string();
    options.poll_ms = 10;
    DoorSim sim(DoorState::IoDevice(2), options);
    sim.Start();
    TSerComPort com(nullptr);
    TNullMainView view;
    // The road without a main window: no page, and a progress that shows nowhere.
    TStepProgress progress;
    TDeviceSession session(nullptr, progress);
    session.Connect(&com, nullptr, &view);
    TSercomLink& link = session.Link();
    int32_t error = 0;
    TShape inputLamp(nullptr), outputLamp(nullptr);
    double cpu = 0, wall = 0;
    int failures = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpu0 = ThreadCpuSeconds();
        link.OpenPort(21, false);
        const bool portalis = link.QueryDeviceType() == 0x97;
        TConfigHandshake(session, error).ReadBlocks(&inputLamp, &outputLamp);
        link.ClosePort();
        TIoConfig config;
        DecodeInputBlock(view.InputBlockText(), config);
        DecodeOutputBlock(view.OutputBlockText(), config);
        if (!portalis || error != 0 || config.DeviceType != 2) ++failures;
        cpu += ThreadCpuSeconds() - cpu0;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    sim.Stop();
    session.Connect(nullptr, nullptr, nullptr);
    state.counters["program_share"] = wall > 0 ? cpu / wall : 0;
    state.counters["failures"] = failures;
    unsetenv("TOVAK_PORTS");
}
BENCHMARK(BM_ReadRoadAgainstTheSimulator)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
