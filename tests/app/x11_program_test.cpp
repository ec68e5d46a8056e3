// The program on a real X server (a private Xvfb): its main window on the screen is the
// headless rendering pixel for pixel, real clicks and keys from XTest drive it, and closing
// the window (or losing the display) ends it the normal way, with its STOPP log line.
#if TOVAK_X11_APP_TESTS

#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <thread>

#include "app/display_loss.h"
#include "app/start_options.h"
#include "link/log_file.h"
#include "platform/display/x11/x11_presenter.h"
#include "platform/gdi/bitmap.h"
#include "platform/win/message_queue.h"
#include "tests/app/app_test_support.h"
#include "tests/support/xvfb_server.h"

#include "tests/support/xlib_client.h"

namespace {

XvfbServer& Server() { return SharedXvfb(); }

class X11Program : public AppStart {
protected:
    static void SetUpTestSuite() {
        StartSharedXvfb();
    }
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
                                      static_cast<unsigned>(r.Width()), static_cast<unsigned>(r.Height()),
                                      AllPlanes, ZPixmap);
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

    void CloseAsWindowManager(HWND wnd) { ::CloseAsWindowManager(probe_, x11_->XWindowOf(wnd)); }

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
    EXPECT_TRUE(WaitReal([&] { return Form1->Pages().COM->Edit101->Text() == "37"; })) << Form1->Pages().COM->Edit101->Text();
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

}  // namespace

#endif  // TOVAK_X11_APP_TESTS
