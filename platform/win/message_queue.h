#pragma once
// The window thread's message queue. One thread (the window thread) runs every window
// procedure; other threads reach it through PostMessage and SendMessage(Timeout).
//
// Order of handling wherever the window thread pumps: sent messages first (in arrival
// order), then posted messages (in arrival order), then a pending WM_QUIT, then WM_TIMER of
// due timers. Pumping calls made on any other thread do nothing (WaitMessage just sleeps
// until its deadline there).
// A pump that finds nothing sleeps until a message arrives, a timer falls due or its own
// deadline passes; every time counts on CurrentClock().

#include <cstdint>
#include <functional>

#include "platform/win/messages.h"
#include "platform/win/window_handle.h"

// Makes the calling thread the window thread (the program calls it first thing). Without
// it, the first thread that creates a window or pumps becomes the window thread.
void InitWindowThread();
bool IsWindowThread();

// Queues a message for `wnd` from any thread. False when `wnd` is not a window.
// A null `wnd` posts a thread message: only WM_QUIT and WM_REPORTWAITING mean something then.
bool PostMessage(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam);
// On the window thread: calls the procedure directly. From another thread: blocks until the
// window thread has handled it. 0 when `wnd` is not (or stops being) a window.
LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam);
// As SendMessage with a time-out. Non-zero on success with the answer in *result; 0 when
// the window is gone or the time-out passed before the handler started (the message is
// withdrawn and never handled). A handler that has started is always waited for.
LRESULT SendMessageTimeout(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam, UINT flags, UINT timeout_ms,
                           uintptr_t* result);
// Runs `fn` on the window thread and waits for it (the class library's Synchronize); runs it
// directly on the window thread itself. Exceptions from `fn` are reported there.
void Synchronize(const std::function<void()>& fn);

// Asks the outermost message loop to end with `exit_code` once the queue is empty.
void PostQuitMessage(int exit_code);

// Handles everything pending (sent, posted, due timers) without waiting. True when at least
// one message was handled.
bool PeekAndDispatch();
// Handles everything pending, without waiting. False when a WM_QUIT is pending (it stays
// pending for the outermost loop), true otherwise.
bool ProcessMessages();
// Sleeps until something can be handled or CurrentClock() reaches `deadline_ticks`
// (kNoDeadline: no limit). True when something is pending (or WakeWindowThread was
// called), false when the deadline passed.
bool WaitMessage(uint64_t deadline_ticks = kNoDeadline);
// Lets a window thread sleeping in WaitMessage look at its own conditions again
// (e.g. a worker thread it waits for has ended).
void WakeWindowThread();

// The main loop: pumps until WM_QUIT and answers its exit code. A nested call (from inside a
// handler) ends on WM_QUIT too and leaves it pending for the outer loop.
int RunMessageLoop();
// The raw message interface that later layers build modal and capture loops on.
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    uint32_t time;
};

// What a loop of a control's own (a capture mode, an animation) handles besides the sent
// messages, which every loop answers: only the posted messages (input, timers) in
// [First, Last] (both 0: all), the others staying queued as GetMessage's range leaves them,
// and windows are painted only when WM_PAINT is in the range. Each posted message handled
// goes to Take first: answering true takes it from its window.
struct TLoopMessages {
    UINT First = 0, Last = 0;
    std::function<bool(const MSG&)> Take;
};

// The one nested (modal) loop: pumps until `done()` holds (true), WM_QUIT is pending (false;
// it stays pending for the outer loop) or the deadline passes (false). `done` is tested
// after each pumping round and on each wake-up. Without a deadline the loop waits for the
// user: each time it would sleep, the idle hook (SetMessageIdleHook) has its turn first.
bool RunLoopUntil(const std::function<bool()>& done, uint64_t deadline_ticks = kNoDeadline);
bool RunLoopUntil(const std::function<bool()>& done, uint64_t deadline_ticks, const TLoopMessages& messages);

// Handles pending sends, then looks for a posted message (or due timer, or WM_QUIT) for
// `wnd` (null: any) within [filter_min, filter_max] (both 0: any). PM_REMOVE takes it out.
bool PeekMessage(MSG& msg, HWND wnd, UINT filter_min, UINT filter_max, UINT remove);
// Waits for a message as PeekMessage finds it and removes it. 0 for WM_QUIT, else 1.
// While it finds none, windows with an invalid part are painted first (where the window
// system would hand out WM_PAINT), so that a modal loop built on it keeps the screen fresh.
int GetMessage(MSG& msg, HWND wnd, UINT filter_min, UINT filter_max);
// Called by GetMessage, and by RunLoopUntil without a deadline, each time it has nothing to
// hand out and would sleep: the idle moment of a modal loop, where a test driver feeds the
// next input. Answering true makes it look again at once. Window thread only; answers the
// previous hook.
using MessageIdleHook = std::function<bool()>;
MessageIdleHook SetMessageIdleHook(MessageIdleHook hook);
// Hands a message taken by PeekMessage/GetMessage to its window (or timer procedure).
LRESULT DispatchMessage(const MSG& msg);
