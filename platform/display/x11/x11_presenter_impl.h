#pragma once
// The X11 presenter's inside, shared by its two halves: x11_presenter.cpp (the window
// thread's side: the sink calls queue commands) and x11_thread.cpp (the X thread: applies
// them, answers the X server's events and feeds input back). Only these two include it.

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "platform/display/x11/x11_key_map.h"
#include "platform/display/x11/x11_presenter.h"
#include "platform/display/x11/x11_text.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "platform/win/window_handle.h"
#include "platform/win/window_tree.h"

// Xlib's macros (None, Bool, KeyPress...) come last so they cannot touch our headers.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
// Xutil's Region would clash with the drawing layer's own.
#define Region XlibRegion
#include <X11/Xutil.h>
#undef Region
#include <X11/cursorfont.h>
#include <X11/keysym.h>

#include "platform/display/x11/x11_selection.h"

namespace x11_internal {

// Requests from the X thread to the window thread, posted to the presenter's utility window.
inline constexpr UINT kMsgActivate = WM_USER + 1;  // wParam: the window the X focus went to
inline constexpr UINT kMsgRaise = WM_USER + 2;     // wParam: the window clicked on
inline constexpr UINT kMsgLost = WM_USER + 3;      // the connection to the X server is gone
inline constexpr UINT kMsgMoved = WM_USER + 4;     // wParam: the window the window manager moved; lParam: x, y
inline constexpr UINT kMsgGone = WM_USER + 5;      // wParam: the window whose X window another client destroyed
inline constexpr UINT kMsgReshow = WM_USER + 6;    // wParam: that window, shown again if it still is

// Someone waiting for the X thread (Sync, clipboard fetch).
struct Waiter {
    std::mutex lock;
    std::condition_variable cv;
    bool done = false;
    bool ok = false;
    std::string text;

    void Finish(bool success, const std::string& result = {}) {
        {
            std::lock_guard<std::mutex> guard(lock);
            if (done) return;
            done = true;
            ok = success;
            text = result;
        }
        cv.notify_all();
        WakeWindowThread();
    }
    bool Done() {
        std::lock_guard<std::mutex> guard(lock);
        return done;
    }
    // Pumps messages while waiting on the window thread; elsewhere just waits.
    bool Wait(uint32_t timeoutMs) {
        if (IsWindowThread()) {
            uint64_t deadline = CurrentClock().Ticks() + timeoutMs;
            RunLoopUntil([this] { return Done(); }, deadline);
        } else {
            std::unique_lock<std::mutex> guard(lock);
            cv.wait_for(guard, std::chrono::milliseconds(timeoutMs), [this] { return done; });
        }
        std::lock_guard<std::mutex> guard(lock);
        return done && ok;
    }
};

struct Command {
    enum Kind {
        kShow,
        kHide,
        kMove,
        kDestroy,
        kPixels,
        kTitle,
        kCursor,
        kFocus,
        kOffer,
        kDisown,
        kFetch,
        kSync,
        kBeginMove
    };
    Kind kind = kSync;
    HWND wnd = nullptr;
    HWND owner = nullptr;
    TRect rect;  // kShow/kMove: the window on the screen; kPixels: the area in the window; kBeginMove: the press point
    uint32_t style = 0;
    uint32_t exStyle = 0;
    std::string text;
    int width = 0;  // kPixels: the back buffer's size
    int height = 0;
    std::vector<uint32_t> pixels;  // kPixels: the area's pixels, row by row
    unsigned shape = 0;
    uint32_t timeoutMs = 0;
    std::shared_ptr<Waiter> waiter;
};

}  // namespace x11_internal

struct X11Presenter::Impl {
    using Command = x11_internal::Command;
    using Waiter = x11_internal::Waiter;

    struct XWin {
        HWND wnd = nullptr;
        HWND owner = nullptr;
        Window id = 0;
        TRect rect;  // where the window layer has it (screen coordinates)
        int width = 0;
        int height = 0;
        std::vector<uint32_t> pixels;  // the last presented back buffer
        bool overrideRedirect = false;
        bool takesFocus = true;
        bool mapped = false;
        bool viewable = false;
        bool focusOnMap = false;
        XIC ic = nullptr;
        // Positions we asked the server for and have not seen confirmed: their configure
        // notices are our own echo, not a move by the window manager.
        std::deque<TPoint> requested;
    };

    X11Presenter* presenter = nullptr;
    Display* dpy = nullptr;
    int screen = 0;
    Window root = 0;
    Visual* visual = nullptr;
    int depth = 0;
    GC gc = nullptr;
    bool directPixels = false;
    Window utility = 0;
    int wakeFd = -1;
    std::thread thread;
    std::atomic<bool> connected{true};

    // Shared between the threads.
    std::mutex lock;
    std::deque<Command> queue;
    bool stop = false;
    mutable std::mutex idLock;
    std::map<HWND, Window> idOf;

    // The window thread's side.
    struct Sent {
        int width = 0;
        int height = 0;
        std::string title;
    };
    std::map<HWND, Sent> sent;
    std::atomic<HWND> helper{nullptr};
    // The window the window manager moved, while the window layer follows it (no echo back).
    HWND movedByDisplay = nullptr;
    // The window manager moves windows for us (it announces _NET_WM_MOVERESIZE).
    std::atomic<bool> wmMoves{false};
    // What the helper window's procedure reaches; cleared when the presenter goes, so a
    // request still queued for the helper finds nothing.
    std::shared_ptr<std::atomic<Impl*>> self = std::make_shared<std::atomic<Impl*>>(this);

    // The X thread's side.
    std::map<HWND, XWin> wins;
    std::map<Window, HWND> byId;
    Atom wmProtocols = 0, wmDelete = 0, motifHints = 0, netWmName = 0, utf8String = 0, netWmType = 0, typeNormal = 0,
         typeDialog = 0, netSupported = 0, netMoveResize = 0;
    std::map<unsigned, Cursor> cursors;
    unsigned cursorShape = XC_left_ptr;
    XIM im = nullptr;
    DeadKeyComposer composer;
    std::set<uint16_t> keysDown;
    std::unique_ptr<X11Selection> selection;
    std::shared_ptr<Waiter> fetchWaiter;
    std::chrono::steady_clock::time_point fetchDeadline;
    Window pendingFocus = 0;

    void Push(Command c);
    void Run();
    void Apply(Command& c);
    void HandleEvent(XEvent& ev);
    void FailWaiters();

    // X thread helpers.
    void Create(XWin& w, const Command& c);
    void SetGeometry(XWin& w);
    void SetOwner(XWin& w, HWND owner);
    void SetTitle(XWin& w, const std::string& title);
    void ResizeMirror(XWin& w, int width, int height);
    void PutArea(XWin& w, TRect area);
    void Focus(XWin& w);
    void RefreshWmSupport();
    void StartWmMove(XWin& w, TPoint screen);
    void Configured(XWin& w, XEvent& ev);
    // Another client destroyed the X window: the window layer's window lives on without it.
    void DestroyedOutside(XWin& w);
    Cursor CursorFor(unsigned shape);
    void Key(XWin& w, XKeyEvent& ke, bool down);
    void ReleaseKeys();
    // The pointer on the screen. Root coordinates, not the window's: while a window moves,
    // an event reported against its old place would push it on by the same step again.
    static TPoint RootPoint(int x, int y) { return TPoint{x, y}; }

    // Window thread: requests from the X thread.
    void HelperMessage(TMessage& m);
    void EnsureHelper();
};
