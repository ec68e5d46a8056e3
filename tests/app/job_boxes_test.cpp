// The start jobs with a window (a private Xvfb), the program and the simulator each a process
// of its own: a job that fails shows a box, and a script that stops the program with SIGTERM
// while the box waits for an answer reads the failure from the exit status, never success
// nor a stop.
#if TOVAK_X11_APP_TESTS

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/common/unattended_run.h"
#include "tests/app/sim_process.h"
#include "tests/support/temp_folder.h"
#include "tests/support/xlib_client.h"
#include "tests/support/xvfb_server.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Polls `condition` every 10 ms until it holds or 30 s of real time have passed.
bool WithinReal(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The program binary on `display`, its standard error in `err`; killed with the object if it
// still runs.
class ProgramProcess {
public:
    ProgramProcess(const std::string& display, const std::string& ports, std::vector<std::string> args,
                   const std::string& err) {
        std::vector<std::string> env{"DISPLAY=" + display, "TOVAK_PORTS=" + ports};
        for (char** e = environ; *e; ++e) {
            const std::string var = *e;
            if (var.rfind("DISPLAY=", 0) != 0 && var.rfind("TOVAK_", 0) != 0) env.push_back(var);
        }
        args.insert(args.begin(), TOVAK_PROGRAM);
        std::vector<char*> argv, envp;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        for (std::string& v : env) envp.push_back(v.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&pid_, argv[0], &files, nullptr, argv.data(), envp.data()) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&files);
    }
    ~ProgramProcess() {
        if (pid_ <= 0 || Ended()) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // The process has `file` open.
    bool Holds(const fs::path& file) const {
        std::error_code ec;
        const fs::path target = fs::canonical(file, ec);
        for (fs::directory_iterator fd("/proc/" + std::to_string(pid_) + "/fd", ec), end; !ec && fd != end;
             fd.increment(ec))
            if (std::error_code link; fs::read_symlink(fd->path(), link) == target) return true;
        return false;
    }
    void Signal(int signal) { kill(pid_, signal); }
    bool Ended() {
        if (!ended_ && waitpid(pid_, &status_, WNOHANG) == pid_) ended_ = true;
        return ended_;
    }
    // The exit status, -1 for an end by a signal.
    int ExitStatus() const { return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }

private:
    pid_t pid_ = 0;
    int status_ = 0;
    bool ended_ = false;
};

// Where the device goes, and how (pulled: its simulator ends; hung: it stops).
enum class Loss { Never, BetweenCycles, InARead, InTheList, WhileTheLinkWaits };

struct JobBox {
    const char* name;
    const char* job;
    const char* device;  // the simulator's state (null: none, the port does not open)
    Loss loss;
    bool hang;
    const char* title;  // of the box the failure shows
    int status;
};
void PrintTo(const JobBox& c, std::ostream* out) { *out << c.name; }

constexpr const char* kTerminal = "[DEVICE]\r\nTYPE=T\r\n";
constexpr const char* kPortalis = "[DEVICE]\r\nTYPE=0\r\n";
// Node 66 is a KZN connector that never answers: the device list waits for it.
constexpr const char* kSlowList =
    "[DEVICE]\r\nTYPE=T\r\n[NODE1]\r\nPRODCODE=309\r\n[NODE2]\r\nPRODCODE=B\r\n[BUS]\r\nSILENT=42\r\n";

class JobBoxes : public ::testing::TestWithParam<JobBox> {
protected:
    static void SetUpTestSuite() { StartSharedXvfb(); }

    void SetUp() override {
        if (!SharedXvfb().Running()) GTEST_SKIP() << SharedXvfbProblem();
        probe_ = XOpenDisplay(SharedXvfb().Display().c_str());
        ASSERT_NE(probe_, nullptr);
        fs::create_directories(Ports());
        fs::create_directories(Base());
        std::ofstream(Base() / "DOOR.CFG", std::ios::binary) << "[INPUT]\r\n[OUTPUT]\r\n";
        std::ofstream(Base() / "OD.INI", std::ios::binary) << "[ENTRIES]\r\n01=65,1018,1,Ident\r\n";
    }
    void TearDown() override {
        if (probe_) XCloseDisplay(probe_);
    }

    fs::path Ports() const { return work_.Path() / "ports"; }
    fs::path Base() const { return work_.Path() / "base"; }
    // Read-out lines the program has logged.
    size_t ReadOutLines() const {
        size_t lines = 0;
        if (fs::exists(Base() / "PROT"))
            for (const auto& f : fs::directory_iterator(Base() / "PROT"))
                if (f.path().filename().string().rfind("TOVAK-ROD-", 0) == 0)
                    for (char c : ReadAll(f.path())) lines += c == '\n';
        return lines;
    }
    // A window of the program titled `title` is on the screen (no window manager: the
    // program's windows are the root's children).
    bool Shown(const std::string& title) {
        Window root = DefaultRootWindow(probe_), parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(probe_, root, &root, &parent, &children, &count)) return false;
        bool shown = false;
        for (unsigned i = 0; i < count && !shown; ++i) {
            char* name = nullptr;
            XWindowAttributes attrs;
            if (XFetchName(probe_, children[i], &name) && name) {
                shown = title == name && XGetWindowAttributes(probe_, children[i], &attrs) &&
                        attrs.map_state == IsViewable;
                XFree(name);
            }
        }
        if (children) XFree(children);
        return shown;
    }

    TempFolder work_{"tovak-job-boxes"};
    Display* probe_ = nullptr;
};

TEST_P(JobBoxes, SigtermWhileTheBoxWaitsGivesTheFailuresStatus) {
    const JobBox& c = GetParam();
    // The configuration road's port (COM) is the simulator's where there is one, else one
    // that does not open.
    std::ofstream(Base() / "TOVAK.INI", std::ios::binary)
        << "[MAIN]\r\nCSM=0\r\nCOM=" << (c.device ? 7 : 9) << "\r\nDBPROTNETINFO=1\r\nMPROTRDOD=1\r\n";
    std::unique_ptr<SimProcess> sim;
    if (c.device) {
        std::ofstream(work_.File("device.ini"), std::ios::binary) << c.device;
        // A slow poll holds each answer long enough for the device to go during its read.
        sim = std::make_unique<SimProcess>(
            std::string(TOVAK_BUILD_DIR) + "/sim/tovak-sim",
            std::vector<std::string>{"--port", "7", "--ports-dir", Ports().string(), "--config",
                                     work_.File("device.ini"), "--print-requests", "--poll",
                                     c.loss == Loss::InARead ? "150" : "20"},
            work_.File("requests"));
        ASSERT_TRUE(sim->Started());
        ASSERT_TRUE(WithinReal([&] { return fs::is_symlink(Ports() / "COM7"); }));
    }
    const auto requests = [&](const std::string& request) {
        const std::string out = sim->Output();
        size_t n = 0;
        for (size_t at = out.find(request); at != std::string::npos; at = out.find(request, at + 1)) ++n;
        return n;
    };
    std::vector<std::string> args{"/BASEDIR=" + Base().string() + "/"};
    std::istringstream job(c.job);
    for (std::string arg; job >> arg;) args.push_back(arg);
    ProgramProcess program(SharedXvfb().Display(), Ports().string(), args, work_.File("stderr"));
    ASSERT_TRUE(program.Started());

    // The device goes once the job has got that far: after a whole cycle, in the next
    // cycle's read, in the device list's wait for its connector.
    const auto far = [&] {
        switch (c.loss) {
            case Loss::BetweenCycles: return ReadOutLines() >= 1;
            case Loss::InARead: return requests("A1 00 41") >= 2;
            case Loss::WhileTheLinkWaits: return program.Holds(Ports() / "COM7");
            default: return requests("A1 00 42") >= 1;
        }
    };
    if (c.loss != Loss::Never) {
        ASSERT_TRUE(WithinReal([&] { return far() || program.Ended(); })) << ReadAll(work_.File("stderr"));
        ASSERT_FALSE(program.Ended()) << ReadAll(work_.File("stderr"));
        if (c.hang)
            sim->Stop();
        else
            sim.reset();
    }
    ASSERT_TRUE(WithinReal([&] { return Shown(c.title) || program.Ended(); })) << "no box \"" << c.title << "\"";
    ASSERT_FALSE(program.Ended()) << "the program ended without waiting for the box's answer: "
                                  << ReadAll(work_.File("stderr"));
    program.Signal(SIGTERM);
    ASSERT_TRUE(WithinReal([&] { return program.Ended(); })) << "SIGTERM did not end the program";
    EXPECT_EQ(c.status, program.ExitStatus()) << ReadAll(work_.File("stderr"));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Jobs, JobBoxes, ::testing::Values(
    JobBox{"NetInfoPortNotOpening",   "/NETINFO,9,SHOW",          nullptr,   Loss::Never,          false, "Fehler",  jeNoDevice},
    JobBox{"NetInfoWrongDevice",      "/NETINFO,7,SHOW",          kPortalis, Loss::Never,          false, "Fehler",  jeNoDevice},
    JobBox{"NetInfoDevicePulled",     "/NETINFO,7,SHOW",          kSlowList, Loss::InTheList,     false, "Fehler",  jeNoDevice},
    JobBox{"NetInfoListIncomplete",   "/NETINFO,7,SHOW",          kSlowList, Loss::Never,          false, "Hinweis", jeNoDeviceList},
    JobBox{"ReadOdPortNotOpening",    "/READOD,OD.INI,200,9",     nullptr,   Loss::Never,          false, "Fehler",  jeNoDevice},
    JobBox{"ReadOdWrongDevice",       "/READOD,OD.INI,200,7",     kPortalis, Loss::Never,          false, "Fehler",  jeNoDevice},
    JobBox{"ReadOdPulledBetweenCycles", "/READOD,OD.INI,1000,7",  kTerminal, Loss::BetweenCycles, false, "Fehler",  jeNoDevice},
    JobBox{"ReadOdHungBetweenCycles", "/READOD,OD.INI,1000,7",    kTerminal, Loss::BetweenCycles, true,  "Fehler",  jeNoDevice},
    JobBox{"ReadOdPulledInARead",     "/READOD,OD.INI,200,7",     kTerminal, Loss::InARead,       false, "Fehler",  jeNoDevice},
    JobBox{"ReadOdHungInARead",       "/READOD,OD.INI,200,7",     kTerminal, Loss::InARead,       true,  "Fehler",  jeNoDevice},
    JobBox{"LoadIoCfgPortNotOpening", "/LOADIOCFG /FILENAME=DOOR.CFG", nullptr, Loss::Never,      false, "Fehler",  jeNoDevice},
    JobBox{"LoadIoCfgDevicePulled",   "/LOADIOCFG /FILENAME=DOOR.CFG", kTerminal, Loss::WhileTheLinkWaits, false, "Fehler", jeNoDevice}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace

#endif  // TOVAK_X11_APP_TESTS
