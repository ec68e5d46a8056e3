#include "platform/display/x11/x11_presenter_impl.h"

#include <pthread.h>
#include <signal.h>

using namespace x11_internal;

namespace {

// A window that never takes activation (menus, drop-down lists, hints) is placed by us, not
// by the window manager.
bool IsOverrideRedirect(uint32_t style, uint32_t exStyle) {
    if (exStyle & WS_EX_NOACTIVATE) return true;
    return (style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION && (exStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
}

bool HostIsLittleEndian() {
    const uint16_t probe = 1;
    return *reinterpret_cast<const uint8_t*>(&probe) == 1;
}

}  // namespace

// ---- Both threads ----

void X11Presenter::Impl::Push(Command c) {
    if (!connected) {
        if (c.waiter) c.waiter->Finish(false);
        return;
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        queue.push_back(std::move(c));
    }
    uint64_t one = 1;
    ssize_t n = write(wakeFd, &one, sizeof one);
    (void)n;
}

void X11Presenter::Impl::FailWaiters() {
    std::deque<Command> rest;
    {
        std::lock_guard<std::mutex> guard(lock);
        rest.swap(queue);
    }
    for (Command& c : rest)
        if (c.waiter) c.waiter->Finish(false);
    if (fetchWaiter) fetchWaiter->Finish(false);
    fetchWaiter.reset();
}

// ---- The X thread ----

void X11Presenter::Impl::Run() {
    // Writing to a server that went away raises SIGPIPE, which would end the program on the
    // spot; blocked here, the write fails and the program ends its own way (DisplayLost).
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    for (;;) {
        std::deque<Command> batch;
        {
            std::lock_guard<std::mutex> guard(lock);
            batch.swap(queue);
            if (stop && batch.empty()) break;
        }
        uint64_t drained;
        while (read(wakeFd, &drained, sizeof drained) > 0) {
        }
        if (connected) {
            for (Command& c : batch) {
                Apply(c);
                if (!connected) break;
            }
            // XPending sends what is buffered and answers 0 only once Xlib's queue is empty.
            // No call on the connection may follow before poll(): a flush also reads, and an
            // event it moves into Xlib's queue is gone from the socket, so poll() would sleep
            // on it (a typed key would wait for the next mouse move).
            while (connected && XPending(dpy) > 0) {
                XEvent ev;
                XNextEvent(dpy, &ev);
                HandleEvent(ev);
            }
        }
        if (!connected) {
            for (Command& c : batch)
                if (c.waiter) c.waiter->Finish(false);
            FailWaiters();
        }
        int timeout = -1;
        if (fetchWaiter) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(fetchDeadline -
                                                                              std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                selection->CancelFetch();
                continue;
            }
            timeout = static_cast<int>(left.count()) + 1;
        }
        {
            std::lock_guard<std::mutex> guard(lock);
            if (!queue.empty() || stop) continue;
        }
        if (connected && QLength(dpy) > 0) continue;
        pollfd fds[2] = {{wakeFd, POLLIN, 0}, {connected ? ConnectionNumber(dpy) : -1, POLLIN, 0}};
        poll(fds, 2, timeout);
    }
}

void X11Presenter::Impl::Apply(Command& c) {
    auto found = wins.find(c.wnd);
    XWin* w = found == wins.end() ? nullptr : &found->second;
    switch (c.kind) {
        case Command::kShow: {
            if (!w) {
                w = &wins[c.wnd];
                w->wnd = c.wnd;
            }
            w->rect = c.rect;
            RefreshWmSupport();
            if (!w->id) {
                Create(*w, c);
            } else {
                SetGeometry(*w);
                SetTitle(*w, c.text);
                if (c.owner != w->owner) SetOwner(*w, c.owner);
            }
            if (w->width != c.rect.Width() || w->height != c.rect.Height())
                ResizeMirror(*w, c.rect.Width(), c.rect.Height());
            if (!w->mapped) {
                XMapRaised(dpy, w->id);
                w->mapped = true;
            }
            break;
        }
        case Command::kHide:
            if (w && w->mapped) {
                if (w->overrideRedirect)
                    XUnmapWindow(dpy, w->id);
                else
                    XWithdrawWindow(dpy, w->id, screen);
                w->mapped = false;
                w->focusOnMap = false;
            }
            break;
        case Command::kBeginMove:
            if (w && w->id) StartWmMove(*w, TPoint{c.rect.Left, c.rect.Top});
            break;
        case Command::kMove:
            if (w) {
                w->rect = c.rect;
                if (w->width != c.rect.Width() || w->height != c.rect.Height())
                    ResizeMirror(*w, c.rect.Width(), c.rect.Height());
                if (w->id) SetGeometry(*w);
            }
            break;
        case Command::kDestroy:
            if (w) {
                if (w->ic) XDestroyIC(w->ic);
                if (w->id) XDestroyWindow(dpy, w->id);
                byId.erase(w->id);
                if (pendingFocus == w->id) pendingFocus = 0;
                {
                    std::lock_guard<std::mutex> guard(idLock);
                    idOf.erase(c.wnd);
                }
                wins.erase(found);
            }
            break;
        case Command::kPixels:
            if (w) {
                if (w->width != c.width || w->height != c.height) ResizeMirror(*w, c.width, c.height);
                int cols = c.rect.Width();
                for (int y = 0; y < c.rect.Height(); ++y)
                    std::copy_n(c.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(cols), cols,
                                w->pixels.data() + static_cast<size_t>(c.rect.Top + y) * static_cast<size_t>(w->width) +
                                    c.rect.Left);
                if (w->mapped) PutArea(*w, c.rect);
            }
            break;
        case Command::kTitle:
            if (w && w->id) SetTitle(*w, c.text);
            break;
        case Command::kCursor: {
            cursorShape = c.shape;
            Cursor cursor = CursorFor(c.shape);
            for (auto& [hwnd, win] : wins)
                if (win.id) XDefineCursor(dpy, win.id, cursor);
            break;
        }
        case Command::kFocus:
            if (w) Focus(*w);
            break;
        case Command::kOffer: selection->Offer(c.text); break;
        case Command::kDisown: selection->Disown(); break;
        case Command::kFetch:
            if (fetchWaiter) {
                c.waiter->Finish(false);
                break;
            }
            fetchWaiter = c.waiter;
            fetchDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(c.timeoutMs);
            selection->Fetch([this](bool ok, const std::string& text) {
                std::shared_ptr<Waiter> waiter = std::move(fetchWaiter);
                fetchWaiter.reset();
                if (waiter) waiter->Finish(ok, text);
            });
            break;
        case Command::kSync:
            XSync(dpy, False);
            if (c.waiter) c.waiter->Finish(connected);
            break;
    }
}

void X11Presenter::Impl::Create(XWin& w, const Command& c) {
    w.owner = c.owner;
    w.overrideRedirect = IsOverrideRedirect(c.style, c.exStyle);
    w.takesFocus = !(c.exStyle & WS_EX_NOACTIVATE) && !w.overrideRedirect;
    XSetWindowAttributes a{};
    a.background_pixmap = None;  // the back buffer covers everything: no flash of a background
    a.bit_gravity = NorthWestGravity;
    a.override_redirect = w.overrideRedirect ? True : False;
    a.colormap = DefaultColormap(dpy, screen);
    a.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                   PointerMotionMask | EnterWindowMask | LeaveWindowMask | FocusChangeMask | StructureNotifyMask;
    a.cursor = CursorFor(cursorShape);
    w.id = XCreateWindow(dpy, root, c.rect.Left, c.rect.Top, static_cast<unsigned>(std::max(1, c.rect.Width())),
                         static_cast<unsigned>(std::max(1, c.rect.Height())), 0, depth, InputOutput, visual,
                         CWBackPixmap | CWBitGravity | CWOverrideRedirect | CWColormap | CWEventMask | CWCursor, &a);
    byId[w.id] = w.wnd;
    {
        std::lock_guard<std::mutex> guard(idLock);
        idOf[w.wnd] = w.id;
    }
    XSetWMProtocols(dpy, w.id, &wmDelete, 1);
    char resName[] = "tovak";
    char resClass[] = "Tovak";
    XClassHint classHint{resName, resClass};
    XSetClassHint(dpy, w.id, &classHint);
    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = w.takesFocus ? True : False;
    hints.initial_state = NormalState;
    XSetWMHints(dpy, w.id, &hints);
    // The frame is part of the back buffer: the window manager draws none of its own.
    struct {
        unsigned long flags, functions, decorations;
        long inputMode;
        unsigned long status;
    } motif{2, 0, 0, 0, 0};
    XChangeProperty(dpy, w.id, motifHints, motifHints, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&motif),
                    5);
    SetOwner(w, c.owner);
    Atom type = (c.owner && (c.style & WS_CAPTION) == WS_CAPTION) ? typeDialog : typeNormal;
    XChangeProperty(dpy, w.id, netWmType, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&type), 1);
    if (im && w.takesFocus) {
        w.ic = XCreateIC(im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, w.id, XNFocusWindow,
                         w.id, nullptr);
        long imEvents = 0;
        if (w.ic && !XGetICValues(w.ic, XNFilterEvents, &imEvents, nullptr))
            XSelectInput(dpy, w.id, a.event_mask | imEvents);
    }
    SetGeometry(w);
    SetTitle(w, c.text);
}

void X11Presenter::Impl::SetOwner(XWin& w, HWND owner) {
    w.owner = owner;
    auto found = wins.find(owner);
    if (found != wins.end() && found->second.id)
        XSetTransientForHint(dpy, w.id, found->second.id);
    else
        XDeleteProperty(dpy, w.id, XA_WM_TRANSIENT_FOR);
}

void X11Presenter::Impl::SetGeometry(XWin& w) {
    unsigned width = static_cast<unsigned>(std::max(1, w.rect.Width()));
    unsigned height = static_cast<unsigned>(std::max(1, w.rect.Height()));
    if (!w.overrideRedirect) {
        // The window layer sizes its windows (its own frame has the sizing border); the window
        // manager places them where the layer says and leaves their size alone.
        XSizeHints size{};
        size.flags = USPosition | USSize | PMinSize | PMaxSize;
        size.x = w.rect.Left;
        size.y = w.rect.Top;
        size.width = size.min_width = size.max_width = static_cast<int>(width);
        size.height = size.min_height = size.max_height = static_cast<int>(height);
        XSetWMNormalHints(dpy, w.id, &size);
    }
    XMoveResizeWindow(dpy, w.id, w.rect.Left, w.rect.Top, width, height);
    if (!w.overrideRedirect) {
        w.requested.push_back(TPoint{w.rect.Left, w.rect.Top});
        if (w.requested.size() > 32) w.requested.pop_front();
    }
}

void X11Presenter::Impl::SetTitle(XWin& w, const std::string& title) {
    XChangeProperty(dpy, w.id, netWmName, utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    XStoreName(dpy, w.id, Utf8ToLatin1(title).c_str());  // the old-style name is Latin-1
}

void X11Presenter::Impl::ResizeMirror(XWin& w, int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    for (int y = 0; y < std::min(height, w.height); ++y)
        std::copy_n(w.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w.width), std::min(width, w.width),
                    pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width));
    w.pixels.swap(pixels);
    w.width = width;
    w.height = height;
}

void X11Presenter::Impl::PutArea(XWin& w, TRect area) {
    area.Left = std::max(0, area.Left);
    area.Top = std::max(0, area.Top);
    area.Right = std::min(w.width, area.Right);
    area.Bottom = std::min(w.height, area.Bottom);
    if (area.Right <= area.Left || area.Bottom <= area.Top) return;
    unsigned aw = static_cast<unsigned>(area.Width());
    unsigned ah = static_cast<unsigned>(area.Height());
    if (directPixels) {
        XImage* image = XCreateImage(dpy, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                                     reinterpret_cast<char*>(w.pixels.data()), static_cast<unsigned>(w.width),
                                     static_cast<unsigned>(w.height), 32, w.width * 4);
        if (!image) return;
        image->byte_order = HostIsLittleEndian() ? LSBFirst : MSBFirst;
        XPutImage(dpy, w.id, gc, image, area.Left, area.Top, area.Left, area.Top, aw, ah);
        image->data = nullptr;  // ours, not Xlib's
        XDestroyImage(image);
        return;
    }
    // Any other true-colour layout: place each channel under its mask.
    XImage* image = XCreateImage(dpy, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr, aw, ah, 32, 0);
    if (!image) return;
    image->data = static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) * ah));
    if (!image->data) {
        XDestroyImage(image);
        return;
    }
    auto place = [](uint32_t value8, unsigned long mask) -> unsigned long {
        if (!mask) return 0;
        int shift = 0;
        while (!((mask >> shift) & 1)) ++shift;
        int bits = 0;
        while ((mask >> (shift + bits)) & 1) ++bits;
        unsigned long v = bits >= 8 ? (static_cast<unsigned long>(value8) << (bits - 8)) : (value8 >> (8 - bits));
        return (v << shift) & mask;
    };
    for (unsigned y = 0; y < ah; ++y) {
        const uint32_t* row = w.pixels.data() + static_cast<size_t>(area.Top + static_cast<int>(y)) * w.width;
        for (unsigned x = 0; x < aw; ++x) {
            uint32_t p = row[area.Left + static_cast<int>(x)];
            unsigned long pixel = place((p >> 16) & 0xFF, visual->red_mask) |
                                  place((p >> 8) & 0xFF, visual->green_mask) | place(p & 0xFF, visual->blue_mask);
            XPutPixel(image, static_cast<int>(x), static_cast<int>(y), pixel);
        }
    }
    XPutImage(dpy, w.id, gc, image, 0, 0, area.Left, area.Top, aw, ah);
    XDestroyImage(image);
}

void X11Presenter::Impl::Focus(XWin& w) {
    if (!w.takesFocus || !w.mapped) return;
    if (!w.viewable) {
        w.focusOnMap = true;
        return;
    }
    XRaiseWindow(dpy, w.id);
    // A window that has the focus already gets no FocusIn to clear the request with.
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(dpy, &focus, &revert);
    if (focus == w.id) return;
    XSetInputFocus(dpy, w.id, RevertToParent, CurrentTime);
    pendingFocus = w.id;
}

Cursor X11Presenter::Impl::CursorFor(unsigned shape) {
    auto it = cursors.find(shape);
    if (it != cursors.end()) return it->second;
    Cursor cursor = XCreateFontCursor(dpy, shape);
    cursors[shape] = cursor;
    return cursor;
}

void X11Presenter::Impl::HandleEvent(XEvent& ev) {
    if (im && XFilterEvent(&ev, None)) return;  // the input method took it (a dead key, say)
    if (selection->Handle(ev)) return;
    if (ev.type == MappingNotify) {
        XRefreshKeyboardMapping(&ev.xmapping);
        return;
    }
    auto id = byId.find(ev.xany.window);
    if (id == byId.end()) return;
    auto found = wins.find(id->second);
    if (found == wins.end()) return;
    XWin& w = found->second;
    switch (ev.type) {
        case Expose: PutArea(w, Bounds(ev.xexpose.x, ev.xexpose.y, ev.xexpose.width, ev.xexpose.height)); break;
        case MapNotify:
            w.viewable = true;
            if (w.focusOnMap) {
                w.focusOnMap = false;
                Focus(w);
            }
            break;
        case UnmapNotify: w.viewable = false; break;
        case KeyPress:
        case KeyRelease: Key(w, ev.xkey, ev.type == KeyPress); break;
        case ButtonPress:
        case ButtonRelease: {
            const XButtonEvent& b = ev.xbutton;
            TPoint p = RootPoint(b.x_root, b.y_root);
            bool down = ev.type == ButtonPress;
            if (b.button == Button4 || b.button == Button5) {
                if (down) presenter->DeliverWheel(p, b.button == Button4 ? 1 : -1);
                break;
            }
            MouseButton button;
            if (b.button == Button1)
                button = MouseButton::Left;
            else if (b.button == Button2)
                button = MouseButton::Middle;
            else if (b.button == Button3)
                button = MouseButton::Right;
            else
                break;
            // The window clicked on is on top on this display; the window layer's stacking
            // decides where the click lands, so it follows first (posted before the click).
            if (down && !w.overrideRedirect && helper)
                PostMessage(helper, kMsgRaise, reinterpret_cast<WPARAM>(w.wnd), 0);
            presenter->DeliverMouseButton(p, button, down);
            break;
        }
        case MotionNotify: {
            // Only the latest of a run of moves counts.
            while (XPending(dpy) > 0) {
                XEvent next;
                XPeekEvent(dpy, &next);
                if (next.type != MotionNotify || next.xmotion.window != ev.xmotion.window) break;
                XNextEvent(dpy, &ev);
            }
            presenter->DeliverMouseMove(RootPoint(ev.xmotion.x_root, ev.xmotion.y_root));
            break;
        }
        case EnterNotify:
            if (ev.xcrossing.mode != NotifyGrab)
                presenter->DeliverMouseMove(RootPoint(ev.xcrossing.x_root, ev.xcrossing.y_root));
            break;
        case LeaveNotify:
            // A point outside the window: the window layer tells the control it left.
            if (ev.xcrossing.mode == NotifyNormal && ev.xcrossing.detail != NotifyInferior)
                presenter->DeliverMouseMove(RootPoint(ev.xcrossing.x_root, ev.xcrossing.y_root));
            break;
        case FocusIn:
            if (ev.xfocus.mode == NotifyGrab || ev.xfocus.mode == NotifyUngrab || ev.xfocus.detail == NotifyPointer)
                break;
            if (w.ic) XSetICFocus(w.ic);
            if (pendingFocus == w.id) {
                pendingFocus = 0;  // the window layer asked for this one
            } else if (!pendingFocus && helper) {
                PostMessage(helper, kMsgActivate, reinterpret_cast<WPARAM>(w.wnd), 0);
            }
            break;
        case FocusOut: {
            if (ev.xfocus.mode == NotifyGrab || ev.xfocus.mode == NotifyUngrab || ev.xfocus.detail == NotifyPointer ||
                ev.xfocus.detail == NotifyInferior)
                break;
            if (w.ic) XUnsetICFocus(w.ic);
            Window focus = 0;
            int revert = 0;
            XGetInputFocus(dpy, &focus, &revert);
            // Keys held while the focus leaves the program would otherwise stay down forever.
            if (!byId.count(focus)) ReleaseKeys();
            break;
        }
        case ConfigureNotify: Configured(w, ev); break;
        case DestroyNotify:
            if (ev.xdestroywindow.window == w.id) DestroyedOutside(w);
            break;
        case ClientMessage:
            if (ev.xclient.message_type == wmProtocols && static_cast<Atom>(ev.xclient.data.l[0]) == wmDelete)
                presenter->DeliverClose(w.wnd);
            break;
        default: break;
    }
}

void X11Presenter::Impl::RefreshWmSupport() {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(dpy, root, netSupported, 0, 4096, False, XA_ATOM, &type, &format, &count, &after, &data) ==
            Success &&
        data && format == 32) {
        const auto* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count && !found; ++i) found = atoms[i] == netMoveResize;
    }
    if (data) XFree(data);
    wmMoves = found;
}

void X11Presenter::Impl::StartWmMove(XWin& w, TPoint screen) {
    // A button released already (a quick click on the caption) ends no move the window manager
    // starts now: the window would follow the pointer until the next click.
    Window rootBack = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned buttons = 0;
    if (!XQueryPointer(dpy, root, &rootBack, &child, &rootX, &rootY, &x, &y, &buttons) || !(buttons & Button1Mask))
        return;
    // The press gave us the pointer; the window manager needs it to drag.
    XUngrabPointer(dpy, CurrentTime);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w.id;
    e.xclient.message_type = netMoveResize;
    e.xclient.format = 32;
    e.xclient.data.l[0] = screen.X;
    e.xclient.data.l[1] = screen.Y;
    e.xclient.data.l[2] = 8;  // _NET_WM_MOVERESIZE_MOVE
    e.xclient.data.l[3] = Button1;
    e.xclient.data.l[4] = 1;  // a normal application asks
    XSendEvent(dpy, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(dpy);
}

void X11Presenter::Impl::Configured(XWin& w, XEvent& ev) {
    if (w.overrideRedirect || !w.mapped) return;
    // Where the window is now on the screen: a window manager's own notice gives it, a
    // reparented window's real one is relative to its frame.
    int x = ev.xconfigure.x;
    int y = ev.xconfigure.y;
    if (!ev.xconfigure.send_event) {
        Window child = 0;
        if (!XTranslateCoordinates(dpy, w.id, root, 0, 0, &x, &y, &child)) return;
    }
    for (auto it = w.requested.begin(); it != w.requested.end(); ++it) {
        if (it->X == x && it->Y == y) {
            w.requested.erase(w.requested.begin(), it + 1);
            return;  // where we put it
        }
    }
    if (x == w.rect.Left && y == w.rect.Top) return;
    OffsetRect(w.rect, x - w.rect.Left, y - w.rect.Top);
    if (helper) PostMessage(helper, kMsgMoved, reinterpret_cast<WPARAM>(w.wnd), MAKELPARAM(x, y));
}

void X11Presenter::Impl::DestroyedOutside(XWin& w) {
    // Our own destroys forget the window first, so this one came from elsewhere. The record
    // stays, pixels included: showing the window again makes a new X window.
    if (w.ic) XDestroyIC(w.ic);
    w.ic = nullptr;
    byId.erase(w.id);
    if (pendingFocus == w.id) pendingFocus = 0;
    {
        std::lock_guard<std::mutex> guard(idLock);
        idOf.erase(w.wnd);
    }
    w.id = 0;
    w.mapped = w.viewable = w.focusOnMap = false;
    w.requested.clear();
    if (helper) PostMessage(helper, kMsgGone, reinterpret_cast<WPARAM>(w.wnd), 0);
}

void X11Presenter::Impl::Key(XWin& w, XKeyEvent& ke, bool down) {
    char buf[64];
    KeySym sym = NoSymbol;
    std::u32string text;
    if (down && w.ic) {
        Status status = 0;
        int n = Xutf8LookupString(w.ic, &ke, buf, sizeof buf, &sym, &status);
        if (status == XLookupChars || status == XLookupBoth) text = DecodeUtf8(buf, static_cast<size_t>(n));
        if (status != XLookupKeySym && status != XLookupBoth) sym = NoSymbol;
    } else {
        int n = XLookupString(&ke, buf, sizeof buf, &sym, nullptr);
        if (down) {
            if (IsDeadKeysym(sym)) {
                for (char32_t c : composer.FeedDeadKey(sym)) presenter->DeliverChar(c);
                return;
            }
            char32_t ch = CharForKeysym(sym);
            if (!ch && n == 1) ch = static_cast<unsigned char>(buf[0]);
            text = composer.FeedChar(ch);
        }
    }
    // The virtual key names the key by its unshifted symbol; a number-pad key with Num Lock
    // on is a digit key.
    KeySym base = ke.keycode ? XLookupKeysym(&ke, 0) : NoSymbol;
    bool numPad = sym >= XK_KP_Space && sym <= XK_KP_9;
    uint16_t vk = VirtualKeyForKeysym(numPad ? sym : base);
    if (!down) {
        if (keysDown.erase(vk)) presenter->DeliverKey(vk, false);
        return;
    }
    KeyDelivery d = PlanKeyPress(vk, text, (ke.state & ControlMask) != 0);
    if (d.key) {
        keysDown.insert(vk);
        if (d.layoutChar)
            presenter->DeliverKey(vk, true, d.keyChar);
        else
            presenter->DeliverKey(vk, true);
    }
    for (char32_t c : d.chars) presenter->DeliverChar(c);
}

void X11Presenter::Impl::ReleaseKeys() {
    for (uint16_t vk : keysDown) presenter->DeliverKey(vk, false);
    keysDown.clear();
    composer.Reset();
}
