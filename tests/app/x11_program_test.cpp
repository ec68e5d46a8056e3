// The program on a real X server (a private Xvfb): its main window on the screen is the
// headless rendering pixel for pixel, real clicks and keys from XTest drive it, and closing
// the window (or losing the display) ends it the normal way, with its STOPP log line.
#if TOVAK_X11_APP_TESTS

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <set>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "app/common/display_loss.h"
#include "app/common/start_options.h"
#include "app/pages/configuration/page_com.h"
#include "app/pages/control/page_coc.h"
#include "app/pages/control/page_men.h"
#include "app/pages/page_sel.h"
#include "platform/display/x11/x11_presenter.h"
#include "platform/gdi/bitmap.h"
#include "platform/win/message_queue.h"
#include "program/log_file.h"
#include "sim/door_sim.h"
#include "tests/app/app_test_support.h"
#include "tests/support/xvfb_server.h"

#include "tests/support/xlib_client.h"

namespace {

XvfbServer& Server() { return SharedXvfb(); }

class X11Program : public AppStart {
protected:
    static void SetUpTestSuite() { StartSharedXvfb(); }
    static void TearDownTestSuite() { Server().Stop(); }

    void SetUp() override {
        if (!Server().Running()) GTEST_SKIP() << SharedXvfbProblem();
        AppStart::SetUp();
        started_ = true;
        x11_ = Install(Server().Display());
        ASSERT_NE(x11_, nullptr);
        probe_ = XOpenDisplay(Server().Display().c_str());
        ASSERT_NE(probe_, nullptr);
    }
    void TearDown() override {
        if (!started_) return;
        AppStart::TearDown();
        InstallPresenter(nullptr);
        if (probe_) XCloseDisplay(probe_);
    }

    X11Presenter* Install(const std::string& display) {
        std::string why;
        auto presenter = X11Presenter::Open(display, &why);
        EXPECT_TRUE(presenter) << why;
        X11Presenter* x11 = presenter.get();
        InstallPresenter(std::move(presenter));
        return x11;
    }

    // Pumps until `condition` holds or ten real seconds pass: the manual clock stands still,
    // so a ticker wakes the window thread to look again.
    bool WaitReal(const std::function<bool()>& condition) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::atomic<bool> stop{false};
        std::thread ticker([&] {
            while (!stop) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                WakeWindowThread();
            }
        });
        bool met = false;
        RunLoopUntil([&] { return (met = condition()) || std::chrono::steady_clock::now() > deadline; });
        stop = true;
        ticker.join();
        return met;
    }

    bool Shown(HWND wnd) {
        return WaitReal([&] { return x11_->Sync() && x11_->XWindowOf(wnd) != 0; });
    }

    // Differing pixels between the X screen (read back through XGetImage) and the headless
    // rendering of the window, once both agree or time runs out.
    int ScreenDiffersFromHeadless(HWND wnd, std::string* where) {
        int differing = -1;
        WaitReal([&] {
            TBitmap headless;
            if (!CaptureWindow(wnd, headless) || !x11_->Sync()) return false;
            TRect r;
            GetWindowRect(wnd, &r);
            if (r.Width() != headless.Width() || r.Height() != headless.Height()) return false;
            XImage* image = XGetImage(probe_, DefaultRootWindow(probe_), r.Left, r.Top,
                                      static_cast<unsigned>(r.Width()), static_cast<unsigned>(r.Height()), AllPlanes,
                                      ZPixmap);
            if (!image) return false;
            differing = 0;
            std::set<uint32_t> colours;
            for (int y = 0; y < r.Height(); ++y)
                for (int x = 0; x < r.Width(); ++x) {
                    uint32_t screen = static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
                    colours.insert(screen);
                    if ((headless.ScanLine(y)[x] & 0xFFFFFF) != screen && differing++ == 0)
                        *where = "first at " + std::to_string(x) + "," + std::to_string(y);
                }
            XDestroyImage(image);
            if (colours.size() <= 4) *where = "a blank window proves nothing";
            return differing == 0 && colours.size() > 4;
        });
        return differing;
    }

    void ClickAt(TControl* control) {
        TPoint p = control->ClientToScreen(TPoint{control->Width() / 2, control->Height() / 2});
        XTestFakeMotionEvent(probe_, DefaultScreen(probe_), p.X, p.Y, CurrentTime);
        XTestFakeButtonEvent(probe_, 1, True, CurrentTime);
        XTestFakeButtonEvent(probe_, 1, False, CurrentTime);
        XFlush(probe_);
    }
    void Press(KeySym sym) {
        KeyCode code = XKeysymToKeycode(probe_, sym);
        XTestFakeKeyEvent(probe_, code, True, CurrentTime);
        XTestFakeKeyEvent(probe_, code, False, CurrentTime);
        XFlush(probe_);
    }

    void CloseAsWindowManager(HWND wnd) { CloseAsWindowManager(x11_->XWindowOf(wnd)); }
    void CloseAsWindowManager(Window id) { ::CloseAsWindowManager(probe_, id); }

    // Runs the program's loop as main() does; should it never end, a watchdog ends it after
    // ten seconds (and the test fails on what it checks afterwards).
    void RunUntilTheProgramEnds() {
        std::atomic<bool> ended{false};
        std::thread watchdog([&] {
            auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!ended && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (!ended) PostMessage(nullptr, WM_QUIT, 0, 0);
        });
        auto started = std::chrono::steady_clock::now();
        RunProgramLoop();
        ended = true;
        watchdog.join();
        ranFor_ = std::chrono::steady_clock::now() - started;
        MSG quit;
        PeekMessage(quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    bool LoggedStopp() { return ReadFile(LogFileName("TOVAK-MEN-")).find("STOPP") != std::string::npos; }

    bool started_ = false;
    X11Presenter* x11_ = nullptr;
    Display* probe_ = nullptr;
    std::chrono::steady_clock::duration ranFor_{};
};

TEST_F(X11Program, TheScreenShowsTheMainWindowAndRealInputDrivesIt) {
    WriteFile("TOVAK.INI", "[MAIN]\r\nCSM=0\r\nCOM=3\r\n");  // the port typed, not picked
    Start();
    HWND main = Form1->Handle();
    ASSERT_TRUE(Shown(main));
    std::string where;
    EXPECT_EQ(ScreenDiffersFromHeadless(main, &where), 0) << where;

    ClickAt(Ui().FindControl("Form1.Button002"));  // "Portalis konfigurieren"
    ASSERT_TRUE(WaitReal([] { return Form1->Notebook1->PageIndex() == kPageConfigRoad; }));
    EXPECT_EQ(ScreenDiffersFromHeadless(main, &where), 0) << "the port page: " << where;

    ClickAt(Form1->Pages().COM->Edit101);
    ASSERT_TRUE(WaitReal([] { return Form1->Pages().COM->Edit101->Focused(); }));
    const std::string before = Form1->Pages().COM->Edit101->Text();
    Press(XK_End);
    Press(XK_7);
    EXPECT_EQ(before, "3");
    EXPECT_TRUE(WaitReal([&] { return Form1->Pages().COM->Edit101->Text() == "37"; }))
        << Form1->Pages().COM->Edit101->Text();
}

TEST_F(X11Program, ClosingTheMainXWindowEndsTheProgramWithItsStoppLine) {
    Start();
    ASSERT_TRUE(Shown(Form1->Handle()));
    ASSERT_FALSE(LoggedStopp());
    CloseAsWindowManager(Form1->Handle());
    RunUntilTheProgramEnds();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_LT(ranFor_, std::chrono::seconds(10)) << "the close never arrived";
    EXPECT_TRUE(LoggedStopp());
}

// Another program destroys our X windows (xdotool windowclose): the protocol window closes,
// a message box is cancelled, and the main window, destroyed while a box waits, ends the
// program with its STOPP line.
TEST_F(X11Program, WindowsDestroyedFromOutsideCloseAndTheMainOneEndsTheProgram) {
    WriteFile("TOVAK.INI", "[MAIN]\r\nPRTSHOW=1\r\n");
    Start();
    ASSERT_TRUE(Shown(Form1->Handle()));
    ASSERT_TRUE(Shown(FormSercom->Handle()));
    const auto destroy = [&](HWND wnd) {
        XDestroyWindow(probe_, x11_->XWindowOf(wnd));
        XFlush(probe_);
    };

    destroy(FormSercom->Handle());
    EXPECT_TRUE(WaitReal([] { return !FormSercom->Visible(); })) << "the protocol window stayed open";

    Ui().OnNextModal([&](TCustomForm* box, UiDriver&) {
        ASSERT_TRUE(Shown(box->Handle()));
        destroy(box->Handle());
    });
    EXPECT_EQ(CustMessageDlg("Tür 1 offen", mtCustConfirmation, mbCustYes | mbCustNo, 0), 0)
        << "a box closed without an answer answers none";
    ASSERT_FALSE(Application->Terminated());

    Ui().OnNextModal([&](TCustomForm* box, UiDriver&) {
        ASSERT_TRUE(Shown(box->Handle()));
        destroy(Form1->Handle());
    });
    CustMessageDlg("Tür 2 offen", mtCustInformation, mbCustOK, 0);
    RunUntilTheProgramEnds();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_LT(ranFor_, std::chrono::seconds(10)) << "the program went on without its window";
    EXPECT_TRUE(LoggedStopp());
}

// The protocol window under another program's window while its trace runs on: uncovered,
// the screen shows all of it as drawn, the lines added meanwhile included.
TEST_F(X11Program, AnUncoveredProtocolWindowShowsItsWholeTrace) {
    WriteFile("TOVAK.INI", "[MAIN]\r\nPRTSHOW=1\r\n");
    Start();
    ASSERT_TRUE(Shown(FormSercom->Handle()));
    Form1->SetTop(FormSercom->Top() + FormSercom->Height());  // nothing of ours in front of it
    for (int i = 0; i < 30; ++i) Session().Link().AddTraceLine("S: 02,00,01,00,01,03 " + std::to_string(i));
    std::string where;
    ASSERT_EQ(ScreenDiffersFromHeadless(FormSercom->Handle(), &where), 0) << where;

    TRect r;
    GetWindowRect(FormSercom->Handle(), &r);
    XSetWindowAttributes a{};
    a.override_redirect = True;
    a.background_pixel = 0x00FF00;
    const Window cover = XCreateWindow(probe_, DefaultRootWindow(probe_), r.Left + 20, r.Top + 30,
                                       static_cast<unsigned>(r.Width()), static_cast<unsigned>(r.Height()), 0,
                                       CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel,
                                       &a);
    XMapRaised(probe_, cover);
    XSync(probe_, False);
    for (int i = 30; i < 60; ++i) Session().Link().AddTraceLine("R: 02,00,01,00,01,03 " + std::to_string(i));
    ASSERT_TRUE(WaitReal([&] { return x11_->Sync(); }));
    XDestroyWindow(probe_, cover);
    XSync(probe_, False);
    EXPECT_EQ(ScreenDiffersFromHeadless(FormSercom->Handle(), &where), 0) << where;
}

TEST_F(X11Program, LosingTheDisplayClosesTheMainWindowWithItsStoppLine) {
    XvfbServer own;
    std::string why;
    if (!own.Start(&why)) GTEST_SKIP() << why;
    x11_ = Install(own.Display());
    ASSERT_NE(x11_, nullptr);
    EndProgramWhenDisplayLost(*x11_);
    Start();
    ASSERT_TRUE(Shown(Form1->Handle()));

    own.Stop();
    RunUntilTheProgramEnds();
    EXPECT_FALSE(x11_->Connected());
    EXPECT_LT(ranFor_, std::chrono::seconds(10)) << "the loss went unnoticed";
    EXPECT_TRUE(LoggedStopp());
}

// The program binary, closed by its window during "Information" against a door terminal that
// never sends its door state: the process ends, with its STOPP line.
TEST_F(X11Program, TheProgramEndsWhenItsWindowClosesDuringAWaitForTheDevice) {
    // Where the three buttons sit in the window and how their captions look, from this
    // process's own windows: a button is clicked once the program shows it.
    Start();
    struct Target {
        TPoint centre;
        TRect caption;  // inside the focus rectangle, in window coordinates
        std::vector<uint32_t> pixels;
    };
    const auto at = [](TControl* c) {
        TRect r;
        GetWindowRect(Form1->Handle(), &r);
        const TPoint p = c->ClientToScreen(TPoint{0, 0});
        Target t;
        t.centre = TPoint{p.X - r.Left + c->Width() / 2, p.Y - r.Top + c->Height() / 2};
        t.caption = TRect{p.X - r.Left + 6, p.Y - r.Top + 6, p.X - r.Left + c->Width() - 6,
                          p.Y - r.Top + c->Height() - 6};
        // Enabled as the program shows it once its port is chosen, which this process has not.
        const bool enabled = c->Enabled();
        c->SetEnabled(true);
        TBitmap shown;
        EXPECT_TRUE(CaptureWindow(Form1->Handle(), shown));
        c->SetEnabled(enabled);
        for (int y = t.caption.Top; y < t.caption.Bottom; ++y)
            for (int x = t.caption.Left; x < t.caption.Right; ++x) t.pixels.push_back(shown.ScanLine(y)[x] & 0xFFFFFF);
        return t;
    };
    Form1->Pages().SEL->Show();
    const Target sel = at(Form1->Pages().SEL->Button001);
    Form1->Pages().COC->Show();
    const Target coc = at(Form1->Pages().COC->Button601);
    Form1->Pages().MEN->Show();
    const Target info = at(Form1->Pages().MEN->Button711);
    Form1->Hide();
    x11_->Sync();

    DoorState state = DoorState::DoorTerminal();
    state.silent_records.insert(0x0D);
    DoorSimOptions options;
    options.port = 7;
    options.ports_dir = dir_ + "/ports";
    options.poll_ms = 10;
    DoorSim sim(std::move(state), options);
    sim.Start();
    const std::string base = dir_ + "/program/";
    std::filesystem::create_directories(base);
    WriteFile("program/TOVAK.INI", "[MAIN]\r\nCSM=0\r\nCOC=7\r\n");

    // Everything the child needs is made before the fork: only exec follows it.
    std::vector<std::string> env{"DISPLAY=" + Server().Display()};
    for (char** e = environ; *e; ++e) {
        const std::string var = *e;
        if (var.rfind("DISPLAY=", 0) != 0 && var.rfind("TOVAK_HEADLESS=", 0) != 0) env.push_back(var);
    }
    std::vector<char*> envp;
    for (std::string& var : env) envp.push_back(var.data());
    envp.push_back(nullptr);
    std::string program_path = TOVAK_PROGRAM, baseArg = "/BASEDIR=" + base;
    char* argv[] = {program_path.data(), baseArg.data(), nullptr};
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        execve(argv[0], argv, envp.data());
        _exit(127);
    }
    int status = 0;
    bool exited = false;
    const auto ended = [&] {
        if (!exited && waitpid(child, &status, WNOHANG) == child) exited = true;
        return exited;
    };
    const auto menuLog = [&] {
        std::string all;
        for (const auto& f : std::filesystem::directory_iterator(base + "PROT"))
            if (f.path().filename().string().rfind("TOVAK-MEN-", 0) == 0) all += ReadFile(f.path().string());
        return all;
    };
    const auto waitReal = [&](const std::function<bool()>& what) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!what()) {
            if (ended() || std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    };
    // The program's main window on the screen, and its place there.
    Window program = 0;
    const auto findProgram = [&] {
        Window root = DefaultRootWindow(probe_), parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(probe_, root, &root, &parent, &children, &count)) return false;
        for (unsigned i = 0; i < count && !program; ++i) {
            char* name = nullptr;
            XWindowAttributes attrs;
            if (XFetchName(probe_, children[i], &name) && name) {
                if (std::string(name).rfind("TOVAK [", 0) == 0 && XGetWindowAttributes(probe_, children[i], &attrs) &&
                    attrs.map_state == IsViewable)
                    program = children[i];
                XFree(name);
            }
        }
        if (children) XFree(children);
        return program != 0;
    };
    // The target's caption as the program's window shows it.
    const auto onScreen = [&](const Target& t) {
        XImage* image = XGetImage(probe_, program, t.caption.Left, t.caption.Top,
                                  static_cast<unsigned>(t.caption.Width()), static_cast<unsigned>(t.caption.Height()),
                                  AllPlanes, ZPixmap);
        if (!image) return false;
        bool same = true;
        size_t i = 0;
        for (int y = 0; y < t.caption.Height() && same; ++y)
            for (int x = 0; x < t.caption.Width() && same; ++x)
                same = (static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF) == t.pixels[i++];
        XDestroyImage(image);
        return same;
    };
    const auto click = [&](const Target& t) {
        if (!waitReal([&] { return onScreen(t); })) return false;
        int x = 0, y = 0;
        Window ignored;
        XTranslateCoordinates(probe_, program, DefaultRootWindow(probe_), t.centre.X, t.centre.Y, &x, &y, &ignored);
        XTestFakeMotionEvent(probe_, DefaultScreen(probe_), x, y, CurrentTime);
        XTestFakeButtonEvent(probe_, 1, True, CurrentTime);
        XTestFakeButtonEvent(probe_, 1, False, CurrentTime);
        XFlush(probe_);
        return true;
    };
    const bool shown = waitReal(findProgram);
    const bool toMenu = shown && click(sel) && click(coc) && waitReal([&] { return sim.ExchangeCount() > 5; });
    const bool waiting = toMenu && click(info) && waitReal([&] { return menuLog().find("MENU") != std::string::npos; });
    if (waiting) {
        CloseAsWindowManager(program);
        waitReal([] { return false; });
    }
    if (!ended()) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    ASSERT_TRUE(shown) << "the program's window never showed";
    ASSERT_TRUE(toMenu) << "the control road did not open";
    ASSERT_TRUE(waiting) << "\"Information\" did not start";
    EXPECT_TRUE(exited) << "the process went on after its window closed";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_NE(std::string::npos, menuLog().find("STOPP"));
}

}  // namespace

#endif  // TOVAK_X11_APP_TESTS
