// The program's windows on a real X server (a private Xvfb): the screen shows exactly the
// headless rendering, real mouse and key events from XTest reach the controls, and the
// window manager's close request ends the program.
#include "platform/display/x11/x11_presenter.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <set>
#include <thread>

#include "platform/display/x11/select_presenter.h"
#include "platform/forms/button.h"
#include "platform/forms/check_box.h"
#include "platform/forms/clipboard.h"
#include "platform/forms/edit.h"
#include "platform/forms/label.h"
#include "platform/gdi/bitmap.h"
#include "tests/platform/forms/forms_test_support.h"
#include "tests/support/pump_until.h"
#include "tests/support/xvfb_server.h"

// Xlib's Screen and Region would clash with the form layer's Screen and the drawing layer's Region.
#define Screen XlibScreen
#define Region XlibRegion
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Region
#undef Screen

namespace {

XvfbServer& Server() { return SharedXvfb(); }

class X11PresenterTest : public FormsTest {
protected:
    static void SetUpTestSuite() { StartSharedXvfb(); }
    static void TearDownTestSuite() { Server().Stop(); }

    void SetUp() override {
        if (!Server().Running()) GTEST_SKIP() << SharedXvfbProblem();
        FormsTest::SetUp();
        std::string why;
        auto presenter = X11Presenter::Open(Server().Display(), &why);
        ASSERT_TRUE(presenter) << why;
        x11_ = presenter.get();
        InstallPresenter(std::move(presenter));
        probe_ = XOpenDisplay(Server().Display().c_str());
        ASSERT_NE(probe_, nullptr);
    }
    void TearDown() override {
        if (!Server().Running()) return;
        FormsTest::TearDown();
        InstallPresenter(nullptr);
        if (probe_) XCloseDisplay(probe_);
    }

    // A form as a technician would meet it: caption, label, edit, check box, buttons.
    TForm* MakeDoorForm() {
        TForm* form = MakeForm("Form1", 320, 180);
        form->SetCaption("Türsteuerung");
        auto* label = Add<TLabel>(form, "Label1", 8, 12);
        label->SetCaption("Türnummer:");
        edit_ = Add<TEdit>(form, "Edit1", 96, 8);
        edit_->SetWidth(120);
        auto* check = Add<TCheckBox>(form, "CheckBox1", 8, 40);
        check->SetCaption("Öffnen erlaubt");
        check->SetWidth(150);
        button_ = Add<TButton>(form, "Button1", 150, 100);
        button_->SetCaption("OK");
        button_->OnClick = [this](TObject*) { ++clicks_; };
        form->Show();
        return form;
    }

    // The window's pixels as the X server shows them on the screen (root window).
    bool ScreenPixels(HWND wnd, std::vector<uint32_t>& out, int& width, int& height) {
        TRect r;
        GetWindowRect(wnd, &r);
        width = r.Width();
        height = r.Height();
        XImage* image = XGetImage(probe_, DefaultRootWindow(probe_), r.Left, r.Top, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
        if (!image) return false;
        out.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                out[static_cast<size_t>(y) * width + x] = static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
        XDestroyImage(image);
        return true;
    }

    // Compares the screen with the headless rendering until they agree or time runs out;
    // answers the differing pixel count of the last try.
    int ScreenDiffersFromHeadless(HWND wnd, std::string* where) {
        int differing = -1;
        Driver().WaitFor([&] {
            TBitmap headless;
            if (!CaptureWindow(wnd, headless) || !x11_->Sync()) return false;
            std::vector<uint32_t> screen;
            int w = 0, h = 0;
            if (!ScreenPixels(wnd, screen, w, h) || w != headless.Width() || h != headless.Height()) return false;
            differing = 0;
            std::set<uint32_t> colours(screen.begin(), screen.end());
            EXPECT_GT(colours.size(), 4u) << "a blank window proves nothing";
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if ((headless.ScanLine(y)[x] & 0xFFFFFF) != screen[static_cast<size_t>(y) * w + x] &&
                        differing++ == 0)
                        *where = "first at " + std::to_string(x) + "," + std::to_string(y);
            return differing == 0;
        });
        return differing;
    }

    void MovePointer(TPoint screen) {
        XTestFakeMotionEvent(probe_, DefaultScreen(probe_), screen.X, screen.Y, CurrentTime);
        XFlush(probe_);
    }
    void ClickAt(TPoint screen) {
        MovePointer(screen);
        XTestFakeButtonEvent(probe_, 1, True, CurrentTime);
        XTestFakeButtonEvent(probe_, 1, False, CurrentTime);
        XFlush(probe_);
    }
    void Press(KeyCode code, bool shift = false) {
        KeyCode shiftCode = XKeysymToKeycode(probe_, XK_Shift_L);
        if (shift) XTestFakeKeyEvent(probe_, shiftCode, True, CurrentTime);
        XTestFakeKeyEvent(probe_, code, True, CurrentTime);
        XTestFakeKeyEvent(probe_, code, False, CurrentTime);
        if (shift) XTestFakeKeyEvent(probe_, shiftCode, False, CurrentTime);
        XFlush(probe_);
    }
    // Puts keysyms on a key nobody uses, as a German layout has them.
    KeyCode SpareKey(KeySym plain, KeySym shifted) {
        int minCode = 0, maxCode = 0, perCode = 0;
        XDisplayKeycodes(probe_, &minCode, &maxCode);
        KeySym* map = XGetKeyboardMapping(probe_, static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode);
        KeyCode spare = 0;
        for (int code = maxCode; code >= minCode && !spare; --code) {
            bool empty = true;
            for (int i = 0; i < perCode; ++i)
                if (map[(code - minCode) * perCode + i] != NoSymbol) empty = false;
            if (empty && code != lastSpare_) spare = static_cast<KeyCode>(code);
        }
        XFree(map);
        KeySym syms[2] = {plain, shifted};
        if (spare) XChangeKeyboardMapping(probe_, spare, 2, syms, 1);
        XSync(probe_, False);
        lastSpare_ = spare;
        return spare;
    }

    // The umlaut key (plain, shifted) and the dead acute key before e and, shifted (grave), a.
    void TypeGermanKeys() {
        KeyCode umlaut = SpareKey(XK_adiaeresis, XK_Adiaeresis);
        KeyCode acute = SpareKey(XK_dead_acute, XK_dead_grave);
        ASSERT_TRUE(umlaut && acute);
        Press(umlaut);
        Press(umlaut, true);
        Press(acute);
        Press(XKeysymToKeycode(probe_, XK_e));
        Press(acute, true);
        Press(XKeysymToKeycode(probe_, XK_a));
    }

    X11Presenter* x11_ = nullptr;
    Display* probe_ = nullptr;
    TEdit* edit_ = nullptr;
    TButton* button_ = nullptr;
    int clicks_ = 0;
    int lastSpare_ = 0;
};

TEST_F(X11PresenterTest, TheScreenShowsTheHeadlessRenderingPixelForPixel) {
    TForm* form = MakeDoorForm();
    std::string where;
    EXPECT_EQ(ScreenDiffersFromHeadless(form->Handle(), &where), 0) << where;

    // A new caption and a resize reach the screen too.
    form->SetCaption("Tür 2");
    form->SetBounds(120, 90, 360, 220);
    EXPECT_EQ(ScreenDiffersFromHeadless(form->Handle(), &where), 0) << where;
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(probe_, x11_->XWindowOf(form->Handle()), &name));
    EXPECT_STREQ(name, "T\xFCr 2");  // the old-style name is Latin-1
    XFree(name);
}

TEST_F(X11PresenterTest, RealClicksAndKeysReachTheControls) {
    TForm* form = MakeDoorForm();
    ASSERT_TRUE(Driver().WaitFor([&] { return x11_->Sync() && x11_->XWindowOf(form->Handle()) != 0; }));

    ClickAt(button_->ClientToScreen(TPoint{36, 12}));
    EXPECT_TRUE(Driver().WaitFor([&] { return clicks_ == 1; }));

    ClickAt(edit_->ClientToScreen(TPoint{10, 10}));
    ASSERT_TRUE(Driver().WaitFor([&] { return edit_->Focused(); }));
    Press(XKeysymToKeycode(probe_, XK_a));
    Press(XKeysymToKeycode(probe_, XK_b), true);
    Press(XKeysymToKeycode(probe_, XK_1));
    EXPECT_TRUE(Driver().WaitFor([&] { return edit_->Text() == "aB1"; })) << edit_->Text();

    TypeGermanKeys();
    EXPECT_TRUE(Driver().WaitFor([&] { return edit_->Text() == "aB1äÄéà"; })) << edit_->Text();

    // Backspace is a key, not a character.
    Press(XKeysymToKeycode(probe_, XK_BackSpace));
    EXPECT_TRUE(Driver().WaitFor([&] { return edit_->Text() == "aB1äÄé"; })) << edit_->Text();
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
}

// A key whose character differs from the US one (German Shift+2, Caps Lock) arrives as its
// key and then the layout's character, as a keyboard handler expects.
TEST_F(X11PresenterTest, LayoutCharactersComeWithTheirKeys) {
    TForm* form = MakeDoorForm();
    std::vector<uint16_t> keys;
    edit_->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) { keys.push_back(key); };
    ASSERT_TRUE(Driver().WaitFor([&] { return x11_->Sync() && x11_->XWindowOf(form->Handle()) != 0; }));
    ClickAt(edit_->ClientToScreen(TPoint{10, 10}));
    ASSERT_TRUE(Driver().WaitFor([&] { return edit_->Focused(); }));

    KeyCode two = SpareKey(XK_2, XK_quotedbl);
    ASSERT_TRUE(two);
    Press(two, true);
    KeyCode caps = XKeysymToKeycode(probe_, XK_Caps_Lock);
    ASSERT_TRUE(caps);
    Press(caps);
    Press(XKeysymToKeycode(probe_, XK_u));
    Press(caps);
    Press(XKeysymToKeycode(probe_, XK_u));
    EXPECT_TRUE(Driver().WaitFor([&] { return edit_->Text() == "\"Uu"; })) << edit_->Text();
    EXPECT_EQ(keys, (std::vector<uint16_t>{VK_SHIFT, '2', VK_CAPITAL, 'U', VK_CAPITAL, 'U'}));
}

// The program's own activation moves the X focus, so keys go where the program expects.
TEST_F(X11PresenterTest, TheProgramsActivationMovesTheXFocus) {
    TForm* first = MakeDoorForm();
    TForm* second = MakeForm("Form2", 200, 100);
    second->SetLeft(500);
    second->Show();
    auto focusIs = [&](TForm* form) {
        return [this, form] {
            Window focus = 0;
            int revert = 0;
            if (!x11_->Sync()) return false;
            XGetInputFocus(probe_, &focus, &revert);
            return focus != 0 && focus == x11_->XWindowOf(form->Handle());
        };
    };
    EXPECT_TRUE(Driver().WaitFor(focusIs(second)));
    SetActiveWindow(first->Handle());
    EXPECT_TRUE(Driver().WaitFor(focusIs(first)));
    EXPECT_EQ(GetActiveWindow(), first->Handle());
}

// With a UTF-8 locale the X input method composes (and could be any input method the user
// runs); the keys come out the same.
TEST_F(X11PresenterTest, TheInputMethodComposesDeadKeysInAUtf8Locale) {
    std::string oldLocale = std::setlocale(LC_CTYPE, nullptr);
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) GTEST_SKIP() << "no C.UTF-8 locale";
    std::string why;
    auto presenter = X11Presenter::Open(Server().Display(), &why);
    std::setlocale(LC_CTYPE, oldLocale.c_str());
    ASSERT_TRUE(presenter) << why;
    x11_ = presenter.get();
    InstallPresenter(std::move(presenter));

    TForm* form = MakeDoorForm();
    ASSERT_TRUE(Driver().WaitFor([&] { return x11_->Sync() && x11_->XWindowOf(form->Handle()) != 0; }));
    ClickAt(edit_->ClientToScreen(TPoint{10, 10}));
    ASSERT_TRUE(Driver().WaitFor([&] { return edit_->Focused(); }));
    TypeGermanKeys();
    EXPECT_TRUE(Driver().WaitFor([&] { return edit_->Text() == "äÄéà"; })) << edit_->Text();
}

TEST_F(X11PresenterTest, ThePointerEnteringAndLeavingReachesTheControl) {
    TForm* form = MakeForm("Form1", 200, 120);
    auto* box = Add<TTestBox>(form, "Box1", 20, 20);
    form->Show();
    ASSERT_TRUE(Driver().WaitFor([&] { return x11_->Sync() && x11_->XWindowOf(form->Handle()) != 0; }));
    MovePointer(box->ClientToScreen(TPoint{5, 5}));
    EXPECT_TRUE(Driver().WaitFor([&] { return box->enters == 1; }));
    MovePointer(TPoint{1000, 900});  // off every window of ours
    EXPECT_TRUE(Driver().WaitFor([&] { return box->leaves == 1; }));
}

// Runs the application's loop until the main form ends it; should that never happen, a
// watchdog ends the loop after ten seconds (and the test fails on what it checks next).
void RunUntilTerminated() {
    std::thread watchdog([] {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline && !EnsureApplication()->Terminated())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!EnsureApplication()->Terminated()) PostMessage(nullptr, WM_QUIT, 0, 0);
    });
    EnsureApplication()->Run();
    watchdog.join();
}

TEST_F(X11PresenterTest, ClosingTheXWindowEndsTheProgram) {
    TForm* form = MakeDoorForm();
    ASSERT_EQ(EnsureApplication()->MainForm(), form);
    bool closed = false;
    form->OnClose = [&](TObject*, TCloseAction&) { closed = true; };
    ASSERT_TRUE(Driver().WaitFor([&] { return x11_->Sync() && x11_->XWindowOf(form->Handle()) != 0; }));
    Window id = x11_->XWindowOf(form->Handle());

    // What a window manager sends when the user closes the window.
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = id;
    ev.xclient.message_type = XInternAtom(probe_, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(probe_, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(probe_, id, False, NoEventMask, &ev);
    XFlush(probe_);

    RunUntilTerminated();
    EXPECT_TRUE(closed);
    EXPECT_TRUE(EnsureApplication()->Terminated());
    ASSERT_TRUE(x11_->Sync());
    XWindowAttributes attrs{};
    EXPECT_TRUE(!XGetWindowAttributes(probe_, id, &attrs) || attrs.map_state == IsUnmapped);
}

// Another program destroys the main X window (xdotool windowclose, xkill's cousin): the
// program ends through the same close as by the close box.
TEST_F(X11PresenterTest, DestroyingTheMainXWindowFromOutsideEndsTheProgram) {
    TForm* form = MakeDoorForm();
    ASSERT_EQ(EnsureApplication()->MainForm(), form);
    bool closed = false;
    form->OnClose = [&](TObject*, TCloseAction&) { closed = true; };
    ASSERT_TRUE(Driver().WaitFor([&] { return x11_->Sync() && x11_->XWindowOf(form->Handle()) != 0; }));
    XDestroyWindow(probe_, x11_->XWindowOf(form->Handle()));
    XFlush(probe_);

    RunUntilTerminated();
    EXPECT_TRUE(closed);
    EXPECT_TRUE(EnsureApplication()->Terminated());
    EXPECT_FALSE(form->Visible());
    ASSERT_TRUE(x11_->Sync());
    EXPECT_EQ(x11_->XWindowOf(form->Handle()), 0u) << "a closed window came back";
}

// Any other window of the program destroyed from outside: a modal dialog is cancelled as by
// its close box, a window that refuses to close and a pop-up (which has no close box) come
// back on the screen as they were, and nothing breaks when the program destroys them itself.
TEST_F(X11PresenterTest, OtherWindowsDestroyedFromOutsideCloseOrComeBack) {
    TForm* main = MakeDoorForm();
    const auto shown = [&](HWND wnd) {
        return Driver().WaitFor([&] { return x11_->Sync() && x11_->XWindowOf(wnd) != 0; });
    };
    // A new X window for `wnd`: looked at again and again, as a sync's own wait may handle the
    // news and leave nothing to wake the test.
    const auto cameBack = [&](HWND wnd, Window before) {
        return PumpUntil([&] { return x11_->Sync() && x11_->XWindowOf(wnd) != 0 && x11_->XWindowOf(wnd) != before; });
    };
    const auto destroyOutside = [&](HWND wnd) {
        Window id = x11_->XWindowOf(wnd);
        XDestroyWindow(probe_, id);
        XFlush(probe_);
        return id;
    };

    TForm* dialog = MakeForm("Form2", 200, 120);
    TModalResult result = mrOk;
    bool cancelledAsByTheCloseBox = false;
    dialog->OnClose = [&](TObject*, TCloseAction&) { cancelledAsByTheCloseBox = dialog->ModalResult() == mrCancel; };
    Driver().OnNextModal([&](TCustomForm* form, UiDriver&) {
        ASSERT_TRUE(shown(form->Handle()));
        destroyOutside(form->Handle());
    });
    result = dialog->ShowModal();
    EXPECT_EQ(result, mrCancel);
    EXPECT_TRUE(cancelledAsByTheCloseBox);
    EXPECT_FALSE(dialog->Visible());

    TForm* stubborn = MakeForm("Form3", 220, 140);
    int asked = 0;
    stubborn->OnCloseQuery = [&](TObject*, bool& canClose) {
        ++asked;
        canClose = false;
    };
    Add<TLabel>(stubborn, "Label1", 8, 8)->SetCaption("Tür 7 offen");
    stubborn->Show();
    ASSERT_TRUE(shown(stubborn->Handle()));
    Window before = destroyOutside(stubborn->Handle());
    EXPECT_TRUE(cameBack(stubborn->Handle(), before)) << "the window did not come back";
    EXPECT_EQ(asked, 1);
    std::string where;
    EXPECT_EQ(ScreenDiffersFromHeadless(stubborn->Handle(), &where), 0) << where;

    HWND popup = CreateWindowEx(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, WS_POPUP | WS_BORDER, 200, 200, 80, 60,
                                main->Handle(), DefWindowProc);
    ShowWindow(popup, SW_SHOWNA);
    ASSERT_TRUE(shown(popup));
    before = destroyOutside(popup);
    EXPECT_TRUE(cameBack(popup, before)) << "the pop-up did not come back";
    ASSERT_TRUE(IsWindow(popup)) << "a pop-up has no close box to be closed by";

    DestroyWindow(popup);
    delete stubborn;
    ASSERT_TRUE(x11_->Sync());
    EXPECT_TRUE(x11_->Connected());
    EXPECT_FALSE(EnsureApplication()->Terminated());
}

TEST_F(X11PresenterTest, PopUpsThatNeverActivateAreNotManaged) {
    TForm* form = MakeDoorForm();
    HWND popup = CreateWindowEx(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, WS_POPUP | WS_BORDER, 200, 200, 80, 60,
                                form->Handle(), DefWindowProc);
    ShowWindow(popup, SW_SHOWNA);
    ASSERT_TRUE(
        Driver().WaitFor([&] { return x11_->Sync() && x11_->XWindowOf(popup) && x11_->XWindowOf(form->Handle()); }));
    XWindowAttributes attrs{};
    ASSERT_TRUE(XGetWindowAttributes(probe_, x11_->XWindowOf(popup), &attrs));
    EXPECT_TRUE(attrs.override_redirect);
    EXPECT_EQ(attrs.map_state, IsViewable);
    ASSERT_TRUE(XGetWindowAttributes(probe_, x11_->XWindowOf(form->Handle()), &attrs));
    EXPECT_FALSE(attrs.override_redirect);
    EXPECT_EQ(GetActiveWindow(), form->Handle());

    ShowWindow(popup, SW_HIDE);
    ASSERT_TRUE(x11_->Sync());
    ASSERT_TRUE(XGetWindowAttributes(probe_, x11_->XWindowOf(popup), &attrs));
    EXPECT_EQ(attrs.map_state, IsUnmapped);
    Window id = x11_->XWindowOf(popup);
    DestroyWindow(popup);
    ASSERT_TRUE(x11_->Sync());
    EXPECT_EQ(x11_->XWindowOf(popup), 0u);
    EXPECT_FALSE(XGetWindowAttributes(probe_, id, &attrs));
}

// Another X program's side of the clipboard, served from the test's own connection.
class SelectionPeer {
public:
    explicit SelectionPeer(Display* dpy) : dpy_(dpy) {
        window_ = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 1, 1, 0, 0, 0);
        clipboard_ = XInternAtom(dpy_, "CLIPBOARD", False);
        utf8_ = XInternAtom(dpy_, "UTF8_STRING", False);
    }
    ~SelectionPeer() { XDestroyWindow(dpy_, window_); }
    void Own() {
        XSetSelectionOwner(dpy_, clipboard_, window_, CurrentTime);
        XSync(dpy_, False);
    }
    // Answers requests until `done` holds or five seconds pass.
    void Serve(const std::string& text, const std::function<bool()>& done) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            if (!XPending(dpy_)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            XEvent ev;
            XNextEvent(dpy_, &ev);
            if (ev.type != SelectionRequest) continue;
            const XSelectionRequestEvent& req = ev.xselectionrequest;
            XEvent reply{};
            reply.xselection.type = SelectionNotify;
            reply.xselection.requestor = req.requestor;
            reply.xselection.selection = req.selection;
            reply.xselection.target = req.target;
            reply.xselection.time = req.time;
            reply.xselection.property = None;
            if (req.target == utf8_) {
                XChangeProperty(dpy_, req.requestor, req.property, utf8_, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
                reply.xselection.property = req.property;
            }
            XSendEvent(dpy_, req.requestor, False, NoEventMask, &reply);
            XFlush(dpy_);
        }
    }
    // Asks the owner for UTF-8 text as any X program would.
    std::string Fetch() {
        Atom property = XInternAtom(dpy_, "PEER_PASTE", False);
        XConvertSelection(dpy_, clipboard_, utf8_, property, window_, CurrentTime);
        XFlush(dpy_);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            XEvent ev;
            if (!XCheckTypedWindowEvent(dpy_, window_, SelectionNotify, &ev)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            if (ev.xselection.property == None) return "<refused>";
            Atom type;
            int format;
            unsigned long count, after;
            unsigned char* data = nullptr;
            XGetWindowProperty(dpy_, window_, property, 0, 1 << 20, True, AnyPropertyType, &type, &format, &count,
                               &after, &data);
            std::string text(reinterpret_cast<const char*>(data), count);
            XFree(data);
            return text;
        }
        return "<no answer>";
    }

private:
    Display* dpy_;
    Window window_;
    Atom clipboard_, utf8_;
};

TEST_F(X11PresenterTest, ClipboardTextTravelsThroughTheXSelection) {
    SelectionPeer peer(probe_);
    x11_->OfferClipboardText("Tür 3: geöffnet");
    ASSERT_TRUE(x11_->Sync());
    EXPECT_EQ(peer.Fetch(), "Tür 3: geöffnet");
    std::string own;
    EXPECT_TRUE(x11_->FetchClipboardText(&own));
    EXPECT_EQ(own, "Tür 3: geöffnet");

    // Another program copies: the presenter asks it.
    peer.Own();
    std::string pasted;
    bool fetched = false;
    std::atomic<bool> done{false};
    std::thread paste([&] {
        fetched = x11_->FetchClipboardText(&pasted, 4000);
        done = true;
    });
    peer.Serve("Zähler 5", [&] { return done.load(); });
    paste.join();
    EXPECT_TRUE(fetched);
    EXPECT_EQ(pasted, "Zähler 5");
}

// The program's clipboard is the display's: what an edit copies another program can paste,
// and what another program copies the edit pastes.
TEST_F(X11PresenterTest, TheClipboardOfTheControlsIsTheXSelection) {
    MakeDoorForm();
    SelectionPeer peer(probe_);
    edit_->SetText("Tür 4: zu");
    edit_->SelectAll();
    edit_->CopyToClipboard();
    ASSERT_TRUE(x11_->Sync());
    EXPECT_EQ(peer.Fetch(), "Tür 4: zu");

    peer.Own();
    std::atomic<bool> done{false};
    std::thread serve([&] { peer.Serve("Zähler 7", [&] { return done.load(); }); });
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    edit_->SetText("");
    edit_->PasteFromClipboard();
    done = true;
    serve.join();
    EXPECT_EQ(edit_->Text(), "Zähler 7");

    // Emptied by this program after copying again: nobody offers text any more.
    Clipboard()->SetAsText("Tür 5");
    Clipboard()->Clear();
    ASSERT_TRUE(x11_->Sync());
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(peer.Fetch(), "<refused>");
}

TEST(X11PresenterSetup, AnUnreachableDisplayFallsBackToHeadless) {
    const char* old = std::getenv("DISPLAY");
    std::string saved = old ? old : "";
    setenv("DISPLAY", ":4711", 1);
    unsetenv("TOVAK_HEADLESS");
    std::string why;
    Presenter* p = InstallPresenterForEnvironment(&why);
    EXPECT_EQ(p->Name(), "headless");
    EXPECT_NE(why.find(":4711"), std::string::npos) << why;
    if (old)
        setenv("DISPLAY", saved.c_str(), 1);
    else
        unsetenv("DISPLAY");
    InstallPresenter(nullptr);
}

// The X server going away must not kill the program outright: its message loop ends, so
// it shuts down the normal way.
TEST(X11PresenterSetup, LosingTheDisplayEndsTheMessageLoop) {
    XvfbServer server;
    std::string why;
    if (!server.Start(&why)) GTEST_SKIP() << why;
    UiDriver driver;
    auto presenter = X11Presenter::Open(server.Display(), &why);
    ASSERT_TRUE(presenter) << why;
    X11Presenter* x11 = presenter.get();
    InstallPresenter(std::move(presenter));
    auto* form = new TForm(EnsureApplication());
    form->SetBounds(50, 50, 200, 100);
    form->Show();
    ASSERT_TRUE(driver.WaitFor([&] { return x11->Sync() && x11->XWindowOf(form->Handle()) != 0; }));

    server.Stop();
    // Should the loss go unnoticed, the loop still ends (and the test fails on Connected).
    std::atomic<bool> ended{false};
    std::thread watchdog([&] {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!ended && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!ended) PostMessage(nullptr, WM_QUIT, 0, 0);
    });
    int code = RunMessageLoop();
    ended = true;
    watchdog.join();
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(x11->Connected());
    form->SetCaption("still alive");  // drawing goes on without a display
    ::UpdateAllWindows();
    ResetApplication();
    InstallPresenter(nullptr);
}

}  // namespace

namespace {

// Where the X server has a top-level window (its top-left corner on the root window).
TPoint XPosition(Display* dpy, Window id) {
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(dpy, id, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
    return TPoint{x, y};
}

}  // namespace

TEST_F(X11PresenterTest, WithoutAWindowManagerACaptionDragMovesTheWindowItself) {
    TForm* form = MakeDoorForm();
    ASSERT_TRUE(Driver().WaitFor([&] { return x11_->Sync() && x11_->XWindowOf(form->Handle()) != 0; }));
    const Window id = x11_->XWindowOf(form->Handle());
    TRect wr;
    GetWindowRect(form->Handle(), &wr);
    const TPoint grab{wr.Left + 60, wr.Top + 8};
    ASSERT_EQ(SendMessage(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(grab.X, grab.Y)), HTCAPTION);
    MovePointer(grab);
    XTestFakeButtonEvent(probe_, 1, True, CurrentTime);
    XFlush(probe_);
    MovePointer(TPoint{grab.X + 40, grab.Y + 20});
    ASSERT_TRUE(Driver().WaitFor([&] { return form->Left() == wr.Left + 40 && form->Top() == wr.Top + 20; }))
        << form->Left() << "," << form->Top();
    XTestFakeButtonEvent(probe_, 1, False, CurrentTime);
    XFlush(probe_);
    EXPECT_TRUE(Driver().WaitFor([&] {
        return x11_->Sync() && XPosition(probe_, id) == TPoint{wr.Left + 40, wr.Top + 20};
    })) << XPosition(probe_, id).X
        << "," << XPosition(probe_, id).Y << " for " << wr.Left + 40 << "," << wr.Top + 20;
    // The controls are where the screen shows them: a click on the button reaches it.
    ClickAt(button_->ClientToScreen(TPoint{36, 12}));
    EXPECT_TRUE(Driver().WaitFor([&] { return clicks_ == 1; }));
}

// The test plays a window manager that moves windows on request: it announces
// _NET_WM_MOVERESIZE and watches the root for the requests.
class MoveResizeWindowManager {
public:
    explicit MoveResizeWindowManager(Display* dpy)
        : dpy_(dpy),
          root_(DefaultRootWindow(dpy)),
          supported_(XInternAtom(dpy, "_NET_SUPPORTED", False)),
          moveResize_(XInternAtom(dpy, "_NET_WM_MOVERESIZE", False)) {
        XChangeProperty(dpy_, root_, supported_, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&moveResize_), 1);
        XSelectInput(dpy_, root_, SubstructureNotifyMask);
        XSync(dpy_, False);
    }
    ~MoveResizeWindowManager() {
        XDeleteProperty(dpy_, root_, supported_);
        XSelectInput(dpy_, root_, NoEventMask);
        XSync(dpy_, False);
    }
    // True once a move request came; the first one is Request().
    bool Requested() {
        while (XPending(dpy_) > 0) {
            XEvent ev;
            XNextEvent(dpy_, &ev);
            if (ev.type == ClientMessage && ev.xclient.message_type == moveResize_ && !requested_) {
                request_ = ev.xclient;
                requested_ = true;
            }
        }
        return requested_;
    }
    const XClientMessageEvent& Request() const { return request_; }

private:
    Display* dpy_;
    Window root_;
    Atom supported_;
    Atom moveResize_;
    bool requested_ = false;
    XClientMessageEvent request_{};
};

TEST_F(X11PresenterTest, ACaptionDragIsHandedToTheWindowManagerAndItsMoveFollowed) {
    MoveResizeWindowManager wm(probe_);
    TForm* form = MakeDoorForm();
    ASSERT_TRUE(Driver().WaitFor([&] { return x11_->Sync() && x11_->XWindowOf(form->Handle()) != 0; }));
    const Window id = x11_->XWindowOf(form->Handle());
    TRect wr;
    GetWindowRect(form->Handle(), &wr);
    const TPoint grab{wr.Left + 60, wr.Top + 8};
    MovePointer(grab);
    XTestFakeButtonEvent(probe_, 1, True, CurrentTime);
    XFlush(probe_);
    bool asked = PumpUntil([&] { return x11_->Sync() && wm.Requested(); }, 5000);
    XTestFakeButtonEvent(probe_, 1, False, CurrentTime);
    XFlush(probe_);
    ASSERT_TRUE(asked) << "no _NET_WM_MOVERESIZE request";
    EXPECT_EQ(wm.Request().window, id);
    EXPECT_EQ(wm.Request().data.l[0], grab.X);
    EXPECT_EQ(wm.Request().data.l[1], grab.Y);
    EXPECT_EQ(wm.Request().data.l[2], 8) << "a move";
    EXPECT_EQ(wm.Request().data.l[3], 1) << "by the left button";
    EXPECT_EQ(GetKeyState(VK_LBUTTON) & 0x8000, 0) << "the window manager has the button now";

    // The window manager moves the window: the window layer follows it.
    XMoveWindow(probe_, id, wr.Left + 90, wr.Top + 30);
    XSync(probe_, False);
    EXPECT_TRUE(Driver().WaitFor([&] { return form->Left() == wr.Left + 90 && form->Top() == wr.Top + 30; }))
        << form->Left() << "," << form->Top();
    EXPECT_EQ(XPosition(probe_, id), (TPoint{wr.Left + 90, wr.Top + 30})) << "no echo moved it back";
    ClickAt(button_->ClientToScreen(TPoint{36, 12}));
    EXPECT_TRUE(Driver().WaitFor([&] { return clicks_ == 1; }));
}

// A quick click on the caption (press and release at once, as a click to bring the window to
// the front) hands no move to the window manager: one started after the release would drag
// the window along until the next click.
TEST_F(X11PresenterTest, AQuickClickOnTheCaptionStartsNoMove) {
    MoveResizeWindowManager wm(probe_);
    TForm* form = MakeDoorForm();
    ASSERT_TRUE(Driver().WaitFor([&] { return x11_->Sync() && x11_->XWindowOf(form->Handle()) != 0; }));
    TRect wr;
    GetWindowRect(form->Handle(), &wr);
    ClickAt(TPoint{wr.Left + 60, wr.Top + 8});
    // A click on the button after it: once that arrived, the caption's click was handled.
    ClickAt(button_->ClientToScreen(TPoint{36, 12}));
    ASSERT_TRUE(Driver().WaitFor([&] { return clicks_ == 1; }));
    ASSERT_TRUE(x11_->Sync());
    EXPECT_FALSE(wm.Requested()) << "a move was handed over after the button was up";
    EXPECT_EQ(form->Left(), wr.Left);
    EXPECT_EQ(form->Top(), wr.Top);
}

TEST_F(X11PresenterTest, DialogsAreTransientForTheWindowTheyInterrupt) {
    TForm* form = MakeDoorForm();
    ASSERT_TRUE(Driver().WaitFor([&] { return x11_->Sync() && x11_->XWindowOf(form->Handle()) != 0; }));
    Window transientFor = 0;
    Atom type = 0;
    Driver().OnNextModal([&](TCustomForm* dialog, UiDriver& d) {
        d.WaitFor([&] { return x11_->Sync() && x11_->XWindowOf(dialog->Handle()) != 0; });
        const Window id = x11_->XWindowOf(dialog->Handle());
        XGetTransientForHint(probe_, id, &transientFor);
        Atom actual = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(probe_, id, XInternAtom(probe_, "_NET_WM_WINDOW_TYPE", False), 0, 1, False, XA_ATOM,
                               &actual, &format, &count, &after, &data) == Success &&
            data && count == 1)
            type = *reinterpret_cast<Atom*>(data);
        if (data) XFree(data);
        dialog->SetModalResult(mrCancel);
    });
    TForm dialog(nullptr);
    dialog.SetBorderStyle(bsDialog);
    dialog.SetBounds(150, 150, 200, 100);
    dialog.ShowModal();
    EXPECT_EQ(transientFor, x11_->XWindowOf(form->Handle()));
    EXPECT_EQ(type, XInternAtom(probe_, "_NET_WM_WINDOW_TYPE_DIALOG", False));
}
