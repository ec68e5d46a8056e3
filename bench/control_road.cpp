// A full menu entry of the control road against the simulated door terminal polling every
// 10 ms over a pseudo-terminal: the code check, then the five reads of the state page. The
// poll rate dominates; the counter "program_share" is the window thread's CPU time over the
// wall time of an entry (aim: under 0.1). Then the idle cost of the open menu against a
// terminal polling every 50 ms, beside the bare responder of idle_cost.h.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/main_form.h"
#include "app/pages/control/page_coc.h"
#include "app/pages/control/page_men.h"
#include "app/pages/control/page_stg.h"
#include "app/pages/main_pages.h"
#include "app/program_start.h"
#include "bench/idle_cost.h"
#include "link/wait_for.h"
#include "platform/display/presenter.h"
#include "platform/forms/application.h"
#include "platform/rtl/param_str.h"
#include "program/command_line.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "sim/door_sim.h"
#include "tests/support/temp_folder.h"

namespace {

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A temporary base folder, the simulated door terminal on COM22 and the program's windows
// shown; everything goes again at the end.
class ProgramOnSimulator {
public:
    ProgramOnSimulator(const char* prefix, int pollMs) : folder_(prefix), dir_(folder_.Path().string()) {
        std::filesystem::create_directories(dir_ + "/ports");
        setenv("TOVAK_PORTS", (dir_ + "/ports").c_str(), 1);
        Program().BaseDir = dir_ + "/";
        Program().ProtDir = Program().BaseDir + "PROT/";
        std::ofstream(Program().BaseDir + "TOVAK.INI") << "[MAIN]\r\nCSM=0\r\nCOC=22\r\n";
        DoorSimOptions options;
        options.port = 22;
        options.ports_dir = dir_ + "/ports";
        options.poll_ms = pollMs;
        sim_ = std::make_unique<DoorSim>(DoorState::DoorTerminal(), options);
        sim_->Start();
        SetCommandLineForTesting({"tovak"});
        ParseParams();
        CurrentPresenter();
        EnsureApplication()->Initialize();
        CreateProgramForms();
        Form1->Show();
        HandlePendingMessages();
    }
    ~ProgramOnSimulator() {
        if (Form1->Session().LinkState.PortOpen) Form1->Session().ClosePort();
        DestroyProgramForms();
        sim_->Stop();
        SetCommandLineForTesting({});
        unsetenv("TOVAK_PORTS");
    }
    ProgramOnSimulator(const ProgramOnSimulator&) = delete;
    ProgramOnSimulator& operator=(const ProgramOnSimulator&) = delete;

private:
    TempFolder folder_;
    std::string dir_;
    std::unique_ptr<DoorSim> sim_;
};

void BM_ControlEntryAgainstTheSimulator(benchmark::State& state) {
    ProgramOnSimulator program("tovak-bench-menu", 10);
    TMainPages& pages = Form1->Pages();
    pages.COC->Button601Click();
    // The device list once, so the entries measured read the state only.
    TDeviceSession& session = Form1->Session();
    if (!session.LinkState.PortOpen || !session.WriteNetInfo()) state.SkipWithError("no simulated device");

    double cpu = 0, wall = 0;
    int failures = 0;
    for (auto _ : state) {
        pages.STG->Button80Click();
        const auto start = std::chrono::steady_clock::now();
        const double cpu0 = ThreadCpuSeconds();
        const bool granted = session.CheckAccessCode("1111", 1);
        pages.MEN->Button711Click();
        cpu += ThreadCpuSeconds() - cpu0;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!granted || Form1->Notebook1->PageIndex() != TPageSTG::Index) ++failures;
    }
    state.counters["program_share"] = wall > 0 ? cpu / wall : 0;
    state.counters["failures"] = failures;
}

void BM_IdleControlMenuOpen(benchmark::State& state) {
    BareResponder bare;
    ProgramOnSimulator program("tovak-bench-idle-menu", 50);
    TMainPages& pages = Form1->Pages();
    const std::vector<pid_t> threads = ThreadsOpenedBy([&] { pages.COC->Button601Click(); });
    TDeviceSession& session = Form1->Session();
    if (!session.LinkState.PortOpen || !session.CheckAccessCode("1111", 1)) state.SkipWithError("no simulated device");
    MeasureIdle(state, threads, bare);
}

}  // namespace

BENCHMARK(BM_IdleControlMenuOpen)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ControlEntryAgainstTheSimulator)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
