// Program start-up, headless: the ten windows made, the main window shown with its first-show
// work done (settings file, command line, port search) and the message queue idle. Reports
// the process's peak memory as a counter.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/main_form.h"
#include "app/program_start.h"
#include "platform/display/presenter.h"
#include "platform/forms/application.h"
#include "platform/rtl/param_str.h"
#include "platform/win/message_queue.h"
#include "program/command_line.h"
#include "program/program_context.h"
#include "program/program_dirs.h"
#include "tests/support/temp_folder.h"

namespace {

void BM_StartupToIdleMainWindow(benchmark::State& state) {
    const TempFolder folder("tovak-bench-startup");
    const std::string dir = folder.Path().string();
    std::filesystem::create_directories(dir + "/ports");
    setenv("TOVAK_PORTS", (dir + "/ports").c_str(), 1);
    Program().BaseDir = dir + "/";
    Program().ProtDir = Program().BaseDir + "PROT/";
    std::ofstream(Program().BaseDir + "TOVAK.INI") << "[MAIN]\r\nCOM=3\r\nCOC=4\r\nKEYEND=2\r\n";
    SetCommandLineForTesting({"tovak", "/1"});
    ParseParams();
    CurrentPresenter();
    EnsureApplication()->Initialize();

    for (auto _ : state) {
        CreateProgramForms();
        Form1->Show();
        Application->ProcessMessages();
        benchmark::DoNotOptimize(Form1->Notebook1->PageIndex());
        state.PauseTiming();
        DestroyProgramForms();
        EnsureApplication();
        state.ResumeTiming();
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    SetCommandLineForTesting({});
}

}  // namespace

BENCHMARK(BM_StartupToIdleMainWindow)->Unit(benchmark::kMillisecond);
