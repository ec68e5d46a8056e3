#include "platform/display/x11/x11_presenter.h"

#include "platform/display/x11/x11_presenter_impl.h"

using namespace x11_internal;

namespace {

unsigned CursorShapeFor(HCURSOR cursor) {
    switch (cursor) {
        case IDC_IBEAM: return XC_xterm;
        case IDC_WAIT: return XC_watch;
        case IDC_APPSTARTING: return XC_watch;
        case IDC_CROSS: return XC_crosshair;
        case IDC_UPARROW: return XC_center_ptr;
        case IDC_SIZENWSE: return XC_bottom_right_corner;
        case IDC_SIZENESW: return XC_bottom_left_corner;
        case IDC_SIZEWE: return XC_sb_h_double_arrow;
        case IDC_SIZENS: return XC_sb_v_double_arrow;
        case IDC_SIZEALL: return XC_fleur;
        case IDC_NO: return XC_X_cursor;
        case IDC_HAND: return XC_hand2;
        case IDC_HELP: return XC_question_arrow;
        default: return XC_left_ptr;
    }
}

// Requests on windows that were just destroyed fail harmlessly; the default handler
// would end the program.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }
int QuietIOError(Display*) { return 0; }

}  // namespace

// ---- The window thread ----

void X11Presenter::Impl::EnsureHelper() {
    if (helper.load()) return;
    helper = AllocateHWnd([self = self](TMessage& m) {
        if (Impl* impl = self->load()) impl->HelperMessage(m);
    });
}

void X11Presenter::Impl::HelperMessage(TMessage& m) {
    if (m.Msg == kMsgLost) {
        presenter->DisplayLost();
        return;
    }
    HWND wnd = reinterpret_cast<HWND>(m.WParam);
    if (m.Msg == kMsgGone) {
        // A window hidden meanwhile gets a new X window when it is shown again.
        if (!IsWindow(wnd) || !IsWindowVisible(wnd)) return;
        // Nobody sees it any more: it closes as by its close box, when it has one (the main
        // window so ends the program). Should it stay (a close refused, a pop-up), it comes
        // back on the screen once the close has run its course.
        const uint32_t closeBox = WS_CAPTION | WS_SYSMENU;
        if ((GetWindowLong(wnd, GWL_STYLE) & closeBox) == closeBox) SendMessage(wnd, WM_CLOSE, 0, 0);
        if (self->load() == this && helper.load()) PostMessage(helper.load(), kMsgReshow, m.WParam, 0);
        return;
    }
    if (m.Msg == kMsgReshow) {
        if (!IsWindow(wnd) || !IsWindowVisible(wnd) || presenter->XWindowOf(wnd) != 0) return;
        TRect r;
        GetWindowRect(wnd, &r);
        presenter->TopLevelShown(wnd, r);
        return;
    }
    if (m.Msg == kMsgMoved) {
        if (!IsWindow(wnd)) return;
        movedByDisplay = wnd;
        SetWindowPos(wnd, nullptr, GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        movedByDisplay = nullptr;
        return;
    }
    if ((m.Msg != kMsgActivate && m.Msg != kMsgRaise) || !IsWindow(wnd) || !IsWindowVisible(wnd)) return;
    bool enabled = IsWindowEnabled(wnd) && !(GetWindowLong(wnd, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    if (m.Msg == kMsgRaise) {
        if (enabled && GetTopWindow(nullptr) != wnd)
            SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    if (enabled) {
        if (GetActiveWindow() != wnd) SetActiveWindow(wnd);
        return;
    }
    // A window disabled by a modal form took the X focus: give it back to the modal one.
    if (HWND active = GetActiveWindow()) {
        Command c;
        c.kind = Command::kFocus;
        c.wnd = active;
        Push(std::move(c));
    }
}

X11Presenter::X11Presenter() : impl_(std::make_unique<Impl>()) { impl_->presenter = this; }

std::unique_ptr<X11Presenter> X11Presenter::Open(const std::string& displayName, std::string* why) {
    static std::once_flag handlers;
    std::call_once(handlers, [] {
        XSetErrorHandler(IgnoreXError);
        XSetIOErrorHandler(QuietIOError);
    });
    auto fail = [why](const std::string& text) {
        if (why) *why = text;
        return std::unique_ptr<X11Presenter>();
    };
    const char* env = std::getenv("DISPLAY");
    std::string shownName = displayName.empty() ? (env ? env : "") : displayName;
    Display* dpy = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!dpy) return fail("cannot open the X display \"" + shownName + "\"");
    int screen = DefaultScreen(dpy);
    Visual* visual = DefaultVisual(dpy, screen);
    int depth = DefaultDepth(dpy, screen);
    if (visual->c_class != TrueColor || depth < 15) {
        XCloseDisplay(dpy);
        return fail("the X display \"" + shownName + "\" has no true-colour default visual");
    }
    int eventFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (eventFd < 0) {
        XCloseDisplay(dpy);
        return fail(std::string("eventfd: ") + std::strerror(errno));
    }

    std::unique_ptr<X11Presenter> presenter(new X11Presenter);
    Impl& m = *presenter->impl_;
    m.dpy = dpy;
    m.screen = screen;
    m.root = RootWindow(dpy, screen);
    m.visual = visual;
    m.depth = depth;
    m.wakeFd = eventFd;
    m.gc = DefaultGC(dpy, screen);  // the display's own: nothing to free when the display is lost
    int formats = 0;
    XPixmapFormatValues* list = XListPixmapFormats(dpy, &formats);
    for (int i = 0; i < formats; ++i)
        if (list[i].depth == depth)
            m.directPixels = list[i].bits_per_pixel == 32 && visual->red_mask == 0xFF0000 &&
                             visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF;
    if (list) XFree(list);
    XSetIOErrorExitHandler(
        dpy,
        [](Display*, void* data) {
            auto* impl = static_cast<Impl*>(data);
            if (!impl->connected.exchange(false)) return;
            std::fputs("tovak: the X display went away; the program ends\n", stderr);
            // The program's own action runs on the window thread; before any window was
            // shown there is nothing to close, so the loop just ends.
            if (HWND helper = impl->helper.load())
                PostMessage(helper, kMsgLost, 0, 0);
            else
                PostMessage(nullptr, WM_QUIT, 0, 0);
        },
        &m);
    m.wmProtocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
    m.wmDelete = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    m.motifHints = XInternAtom(dpy, "_MOTIF_WM_HINTS", False);
    m.netWmName = XInternAtom(dpy, "_NET_WM_NAME", False);
    m.utf8String = XInternAtom(dpy, "UTF8_STRING", False);
    m.netWmType = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE", False);
    m.typeNormal = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE_NORMAL", False);
    m.typeDialog = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    m.netSupported = XInternAtom(dpy, "_NET_SUPPORTED", False);
    m.netMoveResize = XInternAtom(dpy, "_NET_WM_MOVERESIZE", False);
    m.RefreshWmSupport();
    m.utility = XCreateSimpleWindow(dpy, m.root, -10, -10, 1, 1, 0, 0, 0);
    m.selection = std::make_unique<X11Selection>(dpy, m.utility);
    // Held keys repeat as presses alone, as the window layer expects.
    XkbSetDetectableAutoRepeat(dpy, True, nullptr);
    // Xlib asks to hear of key map changes only when it first translates a key, and that
    // request waits in its buffer after it has fetched the map: a change the server makes
    // meanwhile (the layout switched as the first key is typed) is never reported, and keys
    // keep their old meaning. So the subscription is made and confirmed here, and the map
    // taken afresh once it holds.
    int minCode = 0, maxCode = 0;
    XDisplayKeycodes(dpy, &minCode, &maxCode);
    XkbKeycodeToKeysym(dpy, static_cast<KeyCode>(minCode), 0, 0);
    XSync(dpy, False);
    XMappingEvent wholeMap{};
    wholeMap.type = MappingNotify;
    wholeMap.display = dpy;
    wholeMap.request = MappingKeyboard;
    wholeMap.first_keycode = minCode;
    wholeMap.count = maxCode - minCode + 1;
    XRefreshKeyboardMapping(&wholeMap);
    // The input method composes dead keys by the locale's rules; in the plain C locale it
    // knows none, so the program's own composer does it there.
    const char* locale = std::setlocale(LC_CTYPE, nullptr);
    if (locale && std::strcmp(locale, "C") != 0 && std::strcmp(locale, "POSIX") != 0 && XSupportsLocale()) {
        XSetLocaleModifiers("");
        m.im = XOpenIM(dpy, nullptr, nullptr, nullptr);
        if (!m.im) {
            XSetLocaleModifiers("@im=none");
            m.im = XOpenIM(dpy, nullptr, nullptr, nullptr);
        }
    }
    XFlush(dpy);
    m.thread = std::thread([&m] { m.Run(); });
    return presenter;
}

X11Presenter::~X11Presenter() {
    Impl& m = *impl_;
    m.self->store(nullptr);
    {
        std::lock_guard<std::mutex> guard(m.lock);
        m.stop = true;
    }
    uint64_t one = 1;
    ssize_t n = write(m.wakeFd, &one, sizeof one);
    (void)n;
    if (m.thread.joinable()) m.thread.join();
    if (m.helper.load() && IsWindowThread()) DeallocateHWnd(m.helper.load());
    if (m.connected) {
        for (auto& [wnd, w] : m.wins) {
            if (w.ic) XDestroyIC(w.ic);
            XDestroyWindow(m.dpy, w.id);
        }
        for (auto& [shape, cursor] : m.cursors) XFreeCursor(m.dpy, cursor);
        if (m.im) XCloseIM(m.im);
        m.selection.reset();
        XDestroyWindow(m.dpy, m.utility);
        XCloseDisplay(m.dpy);
    }
    // A lost connection is left alone: Xlib keeps it locked after the loss, so any call
    // on it, even one that only frees memory, would hang.
    close(m.wakeFd);
}

void X11Presenter::TopLevelShown(HWND wnd, const TRect& screenRect) {
    impl_->EnsureHelper();
    Impl::Sent& s = impl_->sent[wnd];
    s.width = s.height = 0;  // the first present after showing sends everything
    s.title = GetWindowText(wnd);
    Command c;
    c.kind = Command::kShow;
    c.wnd = wnd;
    c.owner = GetWindow(wnd, GW_OWNER);
    c.rect = screenRect;
    c.style = GetWindowLong(wnd, GWL_STYLE);
    c.exStyle = GetWindowLong(wnd, GWL_EXSTYLE);
    c.text = s.title;
    impl_->Push(std::move(c));
    // Shown active (the window layer activates after showing): the X focus follows.
    if (GetActiveWindow() == wnd) TopLevelActivated(wnd);
}

void X11Presenter::TopLevelHidden(HWND wnd) {
    Command c;
    c.kind = Command::kHide;
    c.wnd = wnd;
    impl_->Push(std::move(c));
}

void X11Presenter::TopLevelMoved(HWND wnd, const TRect& screenRect) {
    if (wnd == impl_->movedByDisplay) return;  // the X window is there already
    Command c;
    c.kind = Command::kMove;
    c.wnd = wnd;
    c.rect = screenRect;
    impl_->Push(std::move(c));
}

bool X11Presenter::BeginMove(HWND wnd, TPoint screen) {
    if (!impl_->wmMoves || XWindowOf(wnd) == 0) return false;
    Command c;
    c.kind = Command::kBeginMove;
    c.wnd = wnd;
    c.rect = Rect(screen.X, screen.Y, screen.X, screen.Y);
    impl_->Push(std::move(c));
    return true;
}

void X11Presenter::TopLevelDestroyed(HWND wnd) {
    impl_->sent.erase(wnd);
    Command c;
    c.kind = Command::kDestroy;
    c.wnd = wnd;
    impl_->Push(std::move(c));
}

void X11Presenter::Present(HWND wnd, HBITMAP backBuffer, const TRect& dirty) {
    if (!backBuffer || !impl_->connected) return;
    Impl::Sent& s = impl_->sent[wnd];
    TRect area = dirty;
    if (s.width != backBuffer->width || s.height != backBuffer->height) {
        area = Bounds(0, 0, backBuffer->width, backBuffer->height);
        s.width = backBuffer->width;
        s.height = backBuffer->height;
    }
    area.Left = std::max(0, area.Left);
    area.Top = std::max(0, area.Top);
    area.Right = std::min(backBuffer->width, area.Right);
    area.Bottom = std::min(backBuffer->height, area.Bottom);
    if (area.Right > area.Left && area.Bottom > area.Top) {
        Command c;
        c.kind = Command::kPixels;
        c.wnd = wnd;
        c.rect = area;
        c.width = backBuffer->width;
        c.height = backBuffer->height;
        c.pixels.resize(static_cast<size_t>(area.Width()) * static_cast<size_t>(area.Height()));
        for (int y = 0; y < area.Height(); ++y)
            std::copy_n(backBuffer->Row(area.Top + y) + area.Left, area.Width(),
                        c.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(area.Width()));
        impl_->Push(std::move(c));
    }
}

void X11Presenter::TopLevelActivated(HWND wnd) {
    // A window not shown yet gets the focus with its TopLevelShown.
    if (!wnd || !impl_->sent.count(wnd)) return;
    Command c;
    c.kind = Command::kFocus;
    c.wnd = wnd;
    impl_->Push(std::move(c));
}

void X11Presenter::TopLevelTextChanged(HWND wnd, const std::string& text) {
    auto it = impl_->sent.find(wnd);
    if (it == impl_->sent.end() || it->second.title == text) return;
    it->second.title = text;
    Command c;
    c.kind = Command::kTitle;
    c.wnd = wnd;
    c.text = text;
    impl_->Push(std::move(c));
}

void X11Presenter::CursorChanged(HCURSOR cursor) {
    Command c;
    c.kind = Command::kCursor;
    c.shape = CursorShapeFor(cursor);
    impl_->Push(std::move(c));
}

bool X11Presenter::Sync(uint32_t timeoutMs) {
    auto waiter = std::make_shared<Waiter>();
    Command c;
    c.kind = Command::kSync;
    c.waiter = waiter;
    impl_->Push(std::move(c));
    return waiter->Wait(timeoutMs);
}

unsigned long X11Presenter::XWindowOf(HWND wnd) const {
    std::lock_guard<std::mutex> guard(impl_->idLock);
    auto it = impl_->idOf.find(wnd);
    return it == impl_->idOf.end() ? 0 : it->second;
}

bool X11Presenter::Connected() const { return impl_->connected; }

void X11Presenter::OfferClipboardText(const std::string& utf8) {
    Command c;
    c.kind = Command::kOffer;
    c.text = utf8;
    impl_->Push(std::move(c));
}

void X11Presenter::ClearClipboardText() {
    Command c;
    c.kind = Command::kDisown;
    impl_->Push(std::move(c));
}

bool X11Presenter::FetchClipboardText(std::string* utf8, uint32_t timeoutMs) {
    auto waiter = std::make_shared<Waiter>();
    Command c;
    c.kind = Command::kFetch;
    c.timeoutMs = timeoutMs;
    c.waiter = waiter;
    impl_->Push(std::move(c));
    if (!waiter->Wait(timeoutMs)) return false;
    std::lock_guard<std::mutex> guard(waiter->lock);
    if (utf8) *utf8 = waiter->text;
    return true;
}
