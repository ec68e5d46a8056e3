// scripts/run.sh as a new user starts it, on a private X server and with the program built
// already: the simulators answer on the ports the settings name, the window comes up, and
// closing it or Ctrl+C ends everything the script started.
#if TOVAK_X11_APP_TESTS

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "sim/door_frame.h"
#include "tests/app/readme_commands.h"
#include "tests/support/temp_folder.h"
#include "tests/support/xlib_client.h"
#include "tests/support/xvfb_server.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Polls `condition` until it holds or `seconds` of real time have passed.
bool Within(int seconds, const std::function<bool()>& condition) {
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Gone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

// A port opened as the program opens it: exclusive (the simulators talk only then) and raw,
// and given up on close, or the next open finds the line held (all but root respect that).
class Port {
public:
    explicit Port(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        if (fd_ < 0) return;
        ioctl(fd_, TIOCEXCL);
        termios t{};
        if (tcgetattr(fd_, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~Port() {
        if (fd_ < 0) return;
        ioctl(fd_, TIOCNXCL);
        close(fd_);
    }
    bool Open() const { return fd_ >= 0; }
    void Write(const std::string& bytes) {
        ASSERT_EQ(static_cast<ssize_t>(bytes.size()), write(fd_, bytes.data(), bytes.size()));
    }
    // The bytes up to and including `end`, or "" after five seconds without it.
    std::string ReadUpTo(char end) {
        std::string got;
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < deadline) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char c;
            while (read(fd_, &c, 1) == 1) {
                got += c;
                if (c == end) return got;
            }
        }
        return "";
    }

private:
    int fd_;
};

// The data of the first frame from a door simulator that `wanted` takes, its next frame
// answered with `answer` and the frames after it with nothing; "" when none comes.
std::string Ask(Port& port, const std::string& answer, const std::function<bool(const std::string&)>& wanted) {
    for (int k = 0; k < 20; ++k) {
        SimFrame frame;
        if (SimDecodeFrame(port.ReadUpTo('\x03'), frame) != SimParse::Ok) return "";
        if (wanted(frame.data)) return frame.data;
        port.Write(SimEncodeFrame(SimFrame{0x00, 0x01, k == 0 ? answer : std::string()}));
    }
    return "";
}

// The device type a door simulator gives, asked as the program asks it.
int DeviceType(const std::string& link) {
    Port port(link);
    const std::string reply = Ask(port, "\x20\x10",
                                  [](const std::string& d) { return d.size() == 5 && d.substr(0, 2) == "\x21\x10"; });
    return reply.empty() ? -1 : static_cast<uint8_t>(reply[4]);
}

// The record of type `type` (FB 02 n type ...) that a door simulator sends first after the
// request `request`, or "".
std::string Record(Port& port, const std::string& request, uint8_t type) {
    return Ask(port, request, [type](const std::string& d) {
        return d.size() >= 5 && d.substr(0, 2) == "\xFB\x02" && static_cast<uint8_t>(d[3]) == type;
    });
}

std::string ControllerAnswer(const std::string& link) {
    Port port(link);
    if (!port.Open()) return "cannot open " + link;
    port.Write("scxFWV\r\n");
    return port.ReadUpTo('\n');
}

// The language file's header and the row that shows the start page's button to the
// door-controller pages.
constexpr const char* kLanguageHeader =
    "FORM\tCONTROL\tTYPE\tCAPTION\tCHANGE\tLEFT\tTOP\tWIDTH\tHEIGHT\tHINT\tSHOWHINT\tVISIBLE\tENABLED\tTAG\tFCAPTION"
    "\tFHINT\r\n";
constexpr const char* kControllerRow =
    "Form1\tButton003\tTvxButton\tMOLT-30 konfigurieren\tWahr\t16\t104\t264\t25\t\tFalsch\tWahr\tWahr\t0\t\t\r\n";

class RunScript : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartSharedXvfb(); }
    static void TearDownTestSuite() { SharedXvfb().Stop(); }

    void SetUp() override {
        if (!SharedXvfb().Running()) GTEST_SKIP() << SharedXvfbProblem();
        work_ = temp_.Path();
        for (const char* d : {"home", "data", "tmp"}) fs::create_directories(work_ / d);
        display_ = XOpenDisplay(SharedXvfb().Display().c_str());
        ASSERT_NE(nullptr, display_);
    }
    void TearDown() override {
        if (script_ > 0) {
            kill(-script_, SIGKILL);
            waitpid(script_, nullptr, 0);
        }
        for (const auto& [port, pid] : sims_)
            if (!Gone(pid)) kill(pid, SIGKILL);
        if (display_) XCloseDisplay(display_);
    }

    fs::path Ini() const { return work_ / "data/tovak/TOVAK.INI"; }
    // --controller's own base folder, so that its language file stays out of a plain run.
    fs::path ControllerIni() const { return work_ / "data/tovak-controller/TOVAK.INI"; }

    // bash scripts/run.sh `args` in a process group of its own, as a terminal runs it, with
    // its home, base folder and temporary files inside the test's folder.
    void StartScript(std::vector<std::string> args) {
        std::map<std::string, std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string kv = *e;
            const size_t eq = kv.find('=');
            if (eq != std::string::npos) env[kv.substr(0, eq)] = kv.substr(eq + 1);
        }
        env.erase("TOVAK_PORTS");
        env.erase("TOVAK_HEADLESS");
        env["DISPLAY"] = SharedXvfb().Display();
        env["TOVAK_BUILD_DIR"] = TOVAK_BUILD_DIR;
        env["HOME"] = (work_ / "home").string();
        env["XDG_DATA_HOME"] = (work_ / "data").string();
        env["TMPDIR"] = (work_ / "tmp").string();
        std::vector<std::string> envText, argv{"bash", std::string(TOVAK_SOURCE_DIR) + "/scripts/run.sh"};
        for (const auto& [k, v] : env) envText.push_back(k + "=" + v);
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> envp, argp;
        for (std::string& s : envText) envp.push_back(s.data());
        for (std::string& s : argv) argp.push_back(s.data());
        envp.push_back(nullptr);
        argp.push_back(nullptr);

        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, 1, (work_ / "out.txt").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attr, 0);
        ASSERT_EQ(0, posix_spawnp(&script_, "bash", &files, &attr, argp.data(), envp.data()));
        posix_spawn_file_actions_destroy(&files);
        posix_spawnattr_destroy(&attr);
    }
    std::string Output() const { return ReadAll(work_ / "out.txt"); }

    // Every simulator line of the script's output: COM number -> process id and link.
    bool SimulatorsStarted(size_t count) {
        return Within(60, [&] {
            const std::string out = Output();
            static const std::regex line(R"(tovak-sim (\d+): [a-z ]+ COM(\d+) -> \S+ \((\S+)\))");
            sims_.clear();
            links_.clear();
            for (std::sregex_iterator m(out.begin(), out.end(), line), end; m != end; ++m) {
                sims_[std::stoi((*m)[2])] = static_cast<pid_t>(std::stoi((*m)[1]));
                links_[std::stoi((*m)[2])] = (*m)[3];
            }
            return sims_.size() >= count;
        });
    }

    // The program's main window on the X server.
    Window MainWindow() {
        Window found = 0;
        Within(60, [&] {
            Window root, parent, *children = nullptr;
            unsigned count = 0;
            if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) return false;
            for (unsigned i = 0; i < count && !found; ++i) {
                char* name = nullptr;
                XWindowAttributes a{};
                if (XGetWindowAttributes(display_, children[i], &a) && a.map_state == IsViewable &&
                    XFetchName(display_, children[i], &name) && name) {
                    if (std::string(name).rfind("TOVAK [", 0) == 0) found = children[i];
                    XFree(name);
                }
            }
            if (children) XFree(children);
            return found != 0;
        });
        return found;
    }

    // The script's exit status once it ended, or -1.
    int ScriptEnded() {
        int status = 0;
        const bool ended = Within(60, [&] { return waitpid(script_, &status, WNOHANG) == script_; });
        if (!ended) return -1;
        script_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    // Nothing the script started outlives it: no simulator, no link, no ports folder.
    void ExpectEverythingStopped() {
        for (const auto& [port, pid] : sims_)
            EXPECT_TRUE(Within(10, [pid = pid] { return Gone(pid); })) << "COM" << port;
        for (const auto& [port, link] : links_) EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << link;
        EXPECT_TRUE(fs::is_empty(work_ / "tmp"));
    }

    TempFolder temp_{"tovak-run"};
    fs::path work_;
    Display* display_ = nullptr;
    pid_t script_ = 0;
    std::map<int, pid_t> sims_;
    std::map<int, std::string> links_;
};

TEST_F(RunScript, FirstStartPointsEachRoadAtItsSimulatorAndClosingTheWindowStopsThem) {
    StartScript({"--controller"});
    ASSERT_TRUE(SimulatorsStarted(3)) << Output();
    EXPECT_EQ(0x81, DeviceType(links_[3]));  // the door terminal for the control road
    EXPECT_EQ(0x91, DeviceType(links_[4]));  // a Portalis device for the configuration road
    {
        // The technician's hand, as the script tells: the door opens, the emergency buttons
        // of the terminal are seen by both boxes.
        Port terminal(links_[3]);
        kill(sims_[3], SIGUSR1);
        const std::string door = Record(terminal, "", 0x0D);
        ASSERT_GE(door.size(), 7u);
        EXPECT_EQ(0x01, door[6] & 0x01);
        kill(sims_[3], SIGUSR2);
        std::string buttons;
        ASSERT_TRUE(Within(10, [&] {
            buttons = Record(terminal, std::string("\xFB\x02\x00\x50\x19", 5), 0x51);
            return buttons.size() >= 7 && buttons[5] == 1;
        }));
        // Each record of a box: its terminal buttons, then the four bytes of what its bus
        // sees, where the KZN connector's two boxes have theirs.
        ASSERT_GE(buttons.size(), 16u);
        EXPECT_EQ(1, buttons[5]);
        EXPECT_EQ(3, buttons[6]);
        EXPECT_EQ(1, buttons[10]);
        EXPECT_EQ(0, buttons[15]);
    }
    EXPECT_EQ("scxFWV;3.2.7;SUCCESS\r\n", ControllerAnswer(links_[5]));
    const Window window = MainWindow();
    ASSERT_NE(0u, window) << Output();
    EXPECT_EQ("[MAIN]\r\nCOC=3\r\nCOM=4\r\nCOT=4\r\nCTC=5\r\nCSM=1\r\nLANGUAGE=DE\r\n", ReadAll(ControllerIni()));
    EXPECT_EQ(std::string(kLanguageHeader) + kControllerRow, ReadAll(ControllerIni().parent_path() / "TOVAK-DE.LGF"));
    EXPECT_FALSE(fs::exists(Ini().parent_path())) << "a plain run starts as if this one never was";

    CloseAsWindowManager(display_, window);
    EXPECT_EQ(0, ScriptEnded()) << Output();
    ExpectEverythingStopped();
}

TEST_F(RunScript, ASettingsFileThatExistsIsKeptAndCtrlCStopsEverything) {
    fs::create_directories(Ini().parent_path());
    const std::string mine = "[MAIN]\r\nCOC=7\r\nLANGUAGE=EN\r\n";
    std::ofstream(Ini(), std::ios::binary) << mine;
    StartScript({});
    ASSERT_TRUE(SimulatorsStarted(2)) << Output();
    EXPECT_EQ(0u, sims_.count(5));  // the door controller only when asked for
    ASSERT_NE(0u, MainWindow()) << Output();
    EXPECT_EQ(mine, ReadAll(Ini()));
    EXPECT_NE(std::string::npos, Output().find("TOVAK.INI is kept")) << Output();

    kill(-script_, SIGINT);
    EXPECT_EQ(130, ScriptEnded()) << Output();
    ExpectEverythingStopped();
}

TEST_F(RunScript, TheControllerButtonJoinsSettingsOfOnesOwnAndAPulledAdapterPlugsInAgain) {
    // Settings of one's own in both folders: the plain run's stay as they are.
    fs::create_directories(Ini().parent_path());
    const std::string plain = "[MAIN]\r\nCOC=7\r\n";
    std::ofstream(Ini(), std::ios::binary) << plain;
    fs::create_directories(ControllerIni().parent_path());
    const std::string mine = "[MAIN]\r\nCOC=3\r\nCOM=4\r\n";
    std::ofstream(ControllerIni(), std::ios::binary) << mine;
    // A language file of another program version, without a last line end.
    std::ofstream(ControllerIni().parent_path() / "TOVAK-DE.LGF", std::ios::binary)
        << kLanguageHeader
        << "Form1\tButton001\tTvxButton\tSteuern\tWahr\t16\t40\t264\t25\t\tFalsch\tWahr\tWahr\t0\t\t";
    StartScript({"--controller"});
    ASSERT_TRUE(SimulatorsStarted(3)) << Output();
    ASSERT_NE(0u, MainWindow()) << Output();
    EXPECT_EQ(mine + "[MAIN]\r\nLANGUAGE=DE\r\n", ReadAll(ControllerIni()));
    const std::string lgf = ReadAll(ControllerIni().parent_path() / "TOVAK-DE.LGF");
    EXPECT_NE(std::string::npos, lgf.find("\t0\t\t\r\n" + std::string(kControllerRow))) << lgf;
    EXPECT_EQ(plain, ReadAll(Ini()));
    EXPECT_EQ(std::vector<fs::path>{Ini()},
              std::vector<fs::path>(fs::directory_iterator(Ini().parent_path()), fs::directory_iterator()));

    // The adapter pulled, then plugged in again with the README's command, in the ports
    // folder the script printed, from the clone's folder.
    std::smatch printed;
    const std::string out = Output();
    ASSERT_TRUE(std::regex_search(out, printed, std::regex("The ports folder of this run is (\\S+);"))) << out;
    const std::string ports = printed[1];
    kill(sims_[3], SIGTERM);
    ASSERT_TRUE(Within(10, [&] { return !fs::exists(fs::symlink_status(links_[3])); }));
    std::string command = ReadmeCommand("Trying it without hardware", "./build/sim/tovak-sim --port 3 ");
    ASSERT_NE("", command);
    command = std::regex_replace(command, std::regex("--ports-dir \\S+"), "--ports-dir " + ports);
    fs::create_directories(work_ / "clone");
    fs::create_symlink(TOVAK_BUILD_DIR, work_ / "clone/build");
    const fs::path replugged = work_ / "replugged.txt";
    const std::string shell = "(cd " + (work_ / "clone").string() + " && " + command + ") >" + replugged.string() +
                              " 2>&1";
    ASSERT_EQ(0, std::system(shell.c_str()));
    std::smatch pid;
    std::string started;
    ASSERT_TRUE(Within(10, [&] {
        started = ReadAll(replugged);
        return std::regex_search(started, pid, std::regex("tovak-sim (\\d+): door terminal COM3 "));
    })) << started;
    sims_[30] = static_cast<pid_t>(std::stoi(pid[1]));  // not the script's: ended by hand below
    ASSERT_TRUE(fs::exists(links_[3]));
    EXPECT_EQ(0x81, DeviceType(links_[3]));

    kill(sims_[30], SIGTERM);
    kill(-script_, SIGINT);
    EXPECT_EQ(130, ScriptEnded()) << Output();
    ExpectEverythingStopped();
}

}  // namespace

#endif  // TOVAK_X11_APP_TESTS
