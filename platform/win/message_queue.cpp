#include "platform/win/message_queue.h"

#include <algorithm>
#include <deque>
#include <functional>

#include "platform/sync/clock_wait.h"
#include "platform/win/exception_report.h"
#include "platform/win/window_system.h"
#include "platform/win/window_tree_internal.h"

using win_internal::MessageFilter;
using win_internal::PostedMessage;
using win_internal::SentMessage;
using win_internal::TimerEntry;
using win_internal::WindowSystem;

namespace {

WindowSystem& Sys() { return WindowSystem::Get(); }

// Takes the timer at `index` for delivery: it falls due again one interval from now, so a
// late pump delivers one WM_TIMER, not a burst. Lock held.
MSG TakeTimerLocked(WindowSystem& sys, int index) {
    TimerEntry& timer = sys.timers[static_cast<size_t>(index)];
    uint64_t now = CurrentClock().Ticks();
    timer.due = now + timer.interval;
    return MSG{timer.wnd, WM_TIMER, timer.id, 0, static_cast<uint32_t>(now)};
}

void DispatchTimer(const MSG& msg) {
    WindowSystem& sys = Sys();
    TIMERPROC proc;
    std::shared_ptr<WindowRecord> record;
    {
        std::lock_guard<std::mutex> guard(sys.lock);
        auto it = std::find_if(sys.timers.begin(), sys.timers.end(),
                               [&](const TimerEntry& t) { return t.wnd == msg.hwnd && t.id == msg.wParam; });
        if (it != sys.timers.end()) proc = it->proc;
        record = sys.FindLocked(msg.hwnd);
    }
    if (proc) {
        try {
            proc(msg.hwnd, WM_TIMER, msg.wParam, msg.time);
        } catch (...) {
            HandleCurrentException();
        }
    } else if (record) {
        WindowSystem::CallProc(record, msg.hwnd, WM_TIMER, msg.wParam, msg.lParam);
    }
}

LRESULT DispatchOne(const MSG& msg) {
    if (msg.message == WM_TIMER) {
        DispatchTimer(msg);
        return 0;
    }
    // Thread messages (no window) have no procedure to go to.
    if (msg.hwnd == nullptr) {
        if (msg.message == WM_REPORTWAITING) ReportWaitingExceptions();
        return 0;
    }
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSCHAR:
            // The focused control may consume the key (dialog keys), and a key that goes
            // out brings its character along.
            if (!win_internal::PreTranslateKey(msg.hwnd, msg.message, msg.wParam, msg.lParam)) return 0;
            break;
        default: break;
    }
    return WindowSystem::CallProc(Sys().Find(msg.hwnd), msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

// Handles every pending send, then looks for the next message `filter` accepts.
bool PeekInternal(MSG& out, const MessageFilter& filter, bool remove) {
    WindowSystem& sys = Sys();
    for (;;) {
        while (sys.HandleOneSent()) {
        }
        {
            std::lock_guard<std::mutex> guard(sys.lock);
            for (auto it = sys.posted.begin(); it != sys.posted.end(); ++it) {
                if (!filter.Accepts(it->wnd, it->msg)) continue;
                out = MSG{it->wnd, it->msg, it->wparam, it->lparam, it->time};
                if (remove) sys.posted.erase(it);
                return true;
            }
            if (sys.input.empty() || sys.quit_pending) break;
        }
        // Raw input becomes posted messages, which the next round looks at.
        win_internal::PumpInput();
    }
    std::lock_guard<std::mutex> guard(sys.lock);
    if (sys.quit_pending && filter.AcceptsQuit()) {
        out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(sys.quit_code), 0, GetTickCount()};
        if (remove) sys.quit_pending = false;
        return true;
    }
    int timer = sys.DueTimerLocked(CurrentClock().Ticks(), filter);
    if (timer < 0) return false;
    if (remove) {
        out = TakeTimerLocked(sys, timer);
    } else {
        const TimerEntry& entry = sys.timers[static_cast<size_t>(timer)];
        out = MSG{entry.wnd, WM_TIMER, entry.id, 0, GetTickCount()};
    }
    return true;
}

// What one pumping step found.
enum class Step { kNothing, kHandled, kQuit };

// The first posted message `filter` accepts. Lock held.
std::deque<PostedMessage>::iterator FirstAcceptedLocked(WindowSystem& sys, const MessageFilter& filter) {
    return std::find_if(sys.posted.begin(), sys.posted.end(),
                        [&](const PostedMessage& m) { return filter.Accepts(m.wnd, m.msg); });
}

using LoopTake = std::function<bool(const MSG&)>;

// One step of pumping: a sent message, else a posted one `filter` accepts (shown to `take`
// first), else (unless a WM_QUIT is pending) raw input, painting, a timer due at `now`.
Step PumpOne(uint64_t now, const MessageFilter& filter = {}, const LoopTake& take = {}) {
    WindowSystem& sys = Sys();
    MSG msg{};
    enum { kSent, kMessage, kInput, kPaint } what = kMessage;
    std::shared_ptr<SentMessage> sent;
    std::shared_ptr<WindowRecord> record;
    {
        std::lock_guard<std::mutex> guard(sys.lock);
        auto posted = sys.posted.end();
        if ((sent = sys.TakeSentLocked(record))) {
            what = kSent;
        } else if ((posted = FirstAcceptedLocked(sys, filter)) != sys.posted.end()) {
            msg = MSG{posted->wnd, posted->msg, posted->wparam, posted->lparam, posted->time};
            sys.posted.erase(posted);
        } else if (sys.quit_pending) {
            return Step::kQuit;
        } else if (!sys.input.empty()) {
            what = kInput;
        } else if (filter.Accepts(nullptr, WM_PAINT) && win_internal::PaintPending()) {
            what = kPaint;
        } else {
            int timer = sys.DueTimerLocked(now, filter);
            if (timer < 0) return Step::kNothing;
            msg = TakeTimerLocked(sys, timer);
        }
    }
    if (what == kSent) {
        WindowSystem::RunSent(sent, record);
        return Step::kHandled;
    }
    // Input, then painting, come when nothing sent or posted waits (outside the lock).
    if (what == kInput) return win_internal::PumpInput() ? Step::kHandled : Step::kNothing;
    if (what == kPaint) return win_internal::PaintOne() ? Step::kHandled : Step::kNothing;
    if (take && take(msg)) return Step::kHandled;
    DispatchOne(msg);
    return Step::kHandled;
}

// Handles everything pending that `filter` accepts, without waiting. False when a WM_QUIT is
// pending. Timers count as due against the time the round began, so a timer whose handler
// is slower than its interval cannot keep the round going for ever.
bool PumpRound(const MessageFilter& filter = {}, const LoopTake& take = {}) {
    const uint64_t now = CurrentClock().Ticks();
    for (;;) {
        switch (PumpOne(now, filter, take)) {
            case Step::kHandled: break;
            case Step::kNothing: return true;
            case Step::kQuit: return false;
        }
    }
}

// Sleeps until something `filter` accepts can be handled or the deadline passes (false).
bool WaitForMessage(const MessageFilter& filter, uint64_t deadline_ticks) {
    WindowSystem& sys = Sys();
    std::unique_lock<std::mutex> lock(sys.lock);
    for (;;) {
        if (sys.woken) {
            sys.woken = false;
            return true;
        }
        if (!sys.sent.empty() || !sys.input.empty() || sys.quit_pending ||
            FirstAcceptedLocked(sys, filter) != sys.posted.end())
            return true;
        if (filter.Accepts(nullptr, WM_PAINT) && win_internal::PaintPending()) return true;
        if (sys.DueTimerLocked(CurrentClock().Ticks(), filter) >= 0) return true;
        if (!sys.SleepUntilChange(lock, sys.changes, filter, deadline_ticks)) return false;
    }
}

MessageIdleHook& IdleHook() {
    static MessageIdleHook hook;
    return hook;
}

// Sleeps on the clock alone: what a wait means on a thread that has no queue.
bool SleepUntil(uint64_t deadline) {
    std::mutex mutex;
    std::condition_variable never;
    std::unique_lock<std::mutex> lock(mutex);
    WaitUntilTicks(lock, never, deadline, [] { return false; });
    return false;
}

// The record a thread sends through, made once per thread: a sender waits for its message
// (or withdraws it) before it sends the next, so one record serves all its sends. The
// window thread may still hold it for a moment after the answer; that only wakes the
// sender's condition once more.
const std::shared_ptr<SentMessage>& SenderMessage() {
    thread_local std::shared_ptr<SentMessage> message = std::make_shared<SentMessage>();
    message->Reuse();
    return message;
}

}  // namespace

void InitWindowThread() { Sys().SetWindowThread(); }

bool IsWindowThread() { return Sys().IsWindowThread(); }

bool PostMessage(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    WindowSystem& sys = Sys();
    if (wnd == nullptr && msg == WM_QUIT) {
        PostQuitMessage(static_cast<int>(wparam));
        return true;
    }
    uint32_t time = GetTickCount();
    {
        std::lock_guard<std::mutex> guard(sys.lock);
        if (wnd != nullptr && !sys.IsWindowLocked(wnd)) return false;
        sys.posted.push_back(PostedMessage{wnd, msg, wparam, lparam, time});
        sys.MarkChangedLocked();
    }
    sys.WakeAfterUnlock();
    return true;
}

LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    uintptr_t result = 0;
    SendMessageTimeout(wnd, msg, wparam, lparam, SMTO_BLOCK, INFINITE, &result);
    return static_cast<LRESULT>(result);
}

LRESULT SendMessageTimeout(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam, UINT /*flags*/, UINT timeout_ms,
                           uintptr_t* result) {
    WindowSystem& sys = Sys();
    if (result) *result = 0;
    if (sys.IsWindowThread()) {
        std::shared_ptr<WindowRecord> record = sys.Find(wnd);
        if (!record || record->destroyed) return 0;
        LRESULT answer = WindowSystem::CallProc(record, wnd, msg, wparam, lparam);
        if (result) *result = static_cast<uintptr_t>(answer);
        return 1;
    }
    const uint64_t deadline = DeadlineAfter(timeout_ms);
    const std::shared_ptr<SentMessage>& message = SenderMessage();
    message->wnd = wnd;
    message->msg = msg;
    message->wparam = wparam;
    message->lparam = lparam;
    if (!sys.QueueSent(message) || !sys.AwaitAnswer(message, deadline)) return 0;
    if (message->failed) return 0;
    if (result) *result = static_cast<uintptr_t>(message->result);
    return 1;
}

void Synchronize(const std::function<void()>& fn) {
    WindowSystem& sys = Sys();
    if (sys.IsWindowThread()) {
        try {
            fn();
        } catch (...) {
            HandleCurrentException();
        }
        return;
    }
    const std::shared_ptr<SentMessage>& message = SenderMessage();
    message->call = fn;
    sys.QueueSent(message);
    std::unique_lock<std::mutex> answer(message->lock);
    message->done.wait(answer, [&] { return message->Done(); });
    message->call = nullptr;
}

void PostQuitMessage(int exit_code) {
    WindowSystem& sys = Sys();
    {
        std::lock_guard<std::mutex> guard(sys.lock);
        sys.quit_pending = true;
        sys.quit_code = exit_code;
        sys.MarkChangedLocked();
    }
    sys.WakeAfterUnlock();
}

bool PeekAndDispatch() {
    if (!Sys().ClaimWindowThread()) return false;
    const uint64_t now = CurrentClock().Ticks();
    bool handled = false;
    while (PumpOne(now) == Step::kHandled) handled = true;
    return handled;
}

bool ProcessMessages() {
    if (!Sys().ClaimWindowThread()) return true;
    return PumpRound();
}

bool WaitMessage(uint64_t deadline_ticks) {
    if (!Sys().ClaimWindowThread()) return SleepUntil(deadline_ticks);
    return WaitForMessage(MessageFilter{}, deadline_ticks);
}

void WakeWindowThread() {
    WindowSystem& sys = Sys();
    {
        std::lock_guard<std::mutex> guard(sys.lock);
        sys.woken = true;
        sys.MarkChangedLocked();
    }
    sys.WakeAfterUnlock();
}

int RunMessageLoop() {
    WindowSystem& sys = Sys();
    if (!sys.ClaimWindowThread()) return 0;
    ++sys.main_loop_depth;
    while (ProcessMessages()) WaitMessage(kNoDeadline);
    --sys.main_loop_depth;
    std::lock_guard<std::mutex> guard(sys.lock);
    // Only the outermost loop takes the WM_QUIT; a nested one leaves it for the loop outside.
    if (sys.main_loop_depth == 0) sys.quit_pending = false;
    return sys.quit_code;
}

bool RunLoopUntil(const std::function<bool()>& done, uint64_t deadline_ticks) {
    return RunLoopUntil(done, deadline_ticks, TLoopMessages{});
}

bool RunLoopUntil(const std::function<bool()>& done, uint64_t deadline_ticks, const TLoopMessages& messages) {
    if (!Sys().ClaimWindowThread()) {
        while (!done()) {
            if (CurrentClock().Ticks() >= deadline_ticks) return false;
            SleepUntil(deadline_ticks);
        }
        return true;
    }
    const MessageFilter filter{nullptr, messages.First, messages.Last};
    for (;;) {
        if (!PumpRound(filter, messages.Take)) return false;
        if (done()) return true;
        if (deadline_ticks == kNoDeadline && IdleHook()) {
            // A copy: the hook may replace itself.
            MessageIdleHook hook = IdleHook();
            if (hook()) continue;
        }
        if (!WaitForMessage(filter, deadline_ticks)) {
            if (!PumpRound(filter, messages.Take)) return false;
            return done();
        }
    }
}

bool PeekMessage(MSG& msg, HWND wnd, UINT filter_min, UINT filter_max, UINT remove) {
    if (!Sys().ClaimWindowThread()) return false;
    return PeekInternal(msg, MessageFilter{wnd, filter_min, filter_max}, (remove & PM_REMOVE) != 0);
}

MessageIdleHook SetMessageIdleHook(MessageIdleHook hook) {
    MessageIdleHook previous = std::move(IdleHook());
    IdleHook() = std::move(hook);
    return previous;
}

int GetMessage(MSG& msg, HWND wnd, UINT filter_min, UINT filter_max) {
    WindowSystem& sys = Sys();
    if (!sys.ClaimWindowThread()) return -1;
    const MessageFilter filter{wnd, filter_min, filter_max};
    for (;;) {
        uint64_t seen;
        {
            std::lock_guard<std::mutex> guard(sys.lock);
            seen = sys.changes;
        }
        if (PeekInternal(msg, filter, true)) return msg.message == WM_QUIT ? 0 : 1;
        if (filter.Accepts(nullptr, WM_PAINT) && win_internal::PaintOne()) continue;
        if (IdleHook()) {
            // A copy: the hook may replace itself.
            MessageIdleHook hook = IdleHook();
            if (hook()) continue;
        }
        std::unique_lock<std::mutex> lock(sys.lock);
        sys.SleepUntilChange(lock, seen, filter, kNoDeadline);
    }
}

LRESULT DispatchMessage(const MSG& msg) { return DispatchOne(msg); }
