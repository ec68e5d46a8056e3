#pragma once
// Internal to platform/win: the state behind window handles, the queue and timers, shared by
// window_handle.cpp, message_queue.cpp and timers.cpp. One lock guards all of it; window
// procedures always run without it.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/win/message_queue.h"
#include "platform/win/timers.h"
#include "platform/win/window_record.h"

namespace win_internal {

struct PostedMessage {
    HWND wnd;
    UINT msg;
    WPARAM wparam;
    LPARAM lparam;
    uint32_t time;
};

// A message sent from another thread, shared by the sender and the window thread. It
// leaves the queue (kQueued to kRunning, or withdrawn) under the window system's lock; it
// becomes kDone under its own `lock`, on which alone the sender waits for the answer, so a
// woken sender does not queue up behind the window thread for the system's lock.
struct SentMessage {
    enum State { kQueued, kRunning, kDone };
    HWND wnd = nullptr;
    UINT msg = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    std::function<void()> call;   // instead of a window message: Synchronize
    std::function<void()> after;  // TPendingSend: runs on the window thread after the procedure
    std::atomic<State> state{kQueued};
    bool failed = false;     // the window was gone
    bool after_ran = false;  // `after` ran (set before the answer)
    LRESULT result = 0;
    std::mutex lock;
    std::condition_variable done;

    bool Done() const { return state.load(std::memory_order_acquire) == kDone; }
    // Sets the answer and wakes the sender.
    void Finish(LRESULT answer, bool window_gone) {
        {
            std::lock_guard<std::mutex> guard(lock);
            result = answer;
            failed = window_gone;
            state.store(kDone, std::memory_order_release);
        }
        done.notify_one();  // only the sender waits on it
    }
    // Makes a used message ready for the next send from the same thread.
    void Reuse() {
        call = nullptr;
        after = nullptr;
        state.store(kQueued, std::memory_order_relaxed);
        failed = false;
        after_ran = false;
        result = 0;
    }
};

// Input as it came from the display or the driver, before the pump turns it into messages.
struct RawInput {
    enum Kind { kMouseMove, kMouseButton, kWheel, kKey, kChar };
    Kind kind = kMouseMove;
    int x = 0;
    int y = 0;
    int button = 0;  // 0 left, 1 right, 2 middle
    bool down = false;
    int wheel = 0;
    uint16_t vk = 0;
    char32_t ch = 0;
    bool layoutChar = false;  // kKey: `ch` is what the press types, in place of the US character
    uint32_t time = 0;
};

struct TimerEntry {
    HWND wnd;
    UINT_PTR id;
    uint32_t interval;
    uint64_t due;
    TIMERPROC proc;
};

// Which messages a PeekMessage-style look accepts.
struct MessageFilter {
    HWND wnd = nullptr;
    UINT min = 0;
    UINT max = 0;
    bool Accepts(HWND target, UINT msg) const {
        if (wnd != nullptr && wnd != target) return false;
        return (min == 0 && max == 0) || (msg >= min && msg <= max);
    }
    bool AcceptsQuit() const { return (min == 0 && max == 0) || (WM_QUIT >= min && WM_QUIT <= max); }
};

class WindowSystem {
public:
    static WindowSystem& Get();

    // Window thread identity (0: none yet).
    bool IsWindowThread() const;
    // Makes the caller the window thread when there is none; true when it is (now) the one.
    bool ClaimWindowThread();
    // Makes the caller the window thread, whoever was before.
    void SetWindowThread();

    // Records of live windows; null when `wnd` is not one. Caller holds `lock`.
    std::shared_ptr<WindowRecord> FindLocked(HWND wnd) const;
    bool IsWindowLocked(HWND wnd) const { return wnd != nullptr && windows.count(wnd) != 0; }
    std::shared_ptr<WindowRecord> Find(HWND wnd);

    // Every change a sleeping window thread should look at is marked under the lock, and the
    // thread woken only after the lock is released, so that it does not at once block on it.
    void MarkChangedLocked() { ++changes; }
    void WakeAfterUnlock() { wake.notify_one(); }
    // Both, for a change made outside the lock.
    void Notify() {
        {
            std::lock_guard<std::mutex> guard(lock);
            MarkChangedLocked();
        }
        WakeAfterUnlock();
    }

    // Runs a procedure for one message, catching and reporting whatever escapes it.
    static LRESULT CallProc(const std::shared_ptr<WindowRecord>& record, HWND wnd, UINT msg, WPARAM wparam,
                            LPARAM lparam);

    // Handles the oldest pending sent message; false when there is none.
    bool HandleOneSent();
    // The two halves of it, for a pump that looks at the other queues under the same lock:
    // takes the oldest sent message (null when none) with the record of its window (lock
    // held), then runs it and answers its sender (lock not held).
    std::shared_ptr<SentMessage> TakeSentLocked(std::shared_ptr<WindowRecord>& record);
    static void RunSent(const std::shared_ptr<SentMessage>& message, const std::shared_ptr<WindowRecord>& record);
    // Queues a message sent from another thread; false when `wnd` is not a window.
    bool QueueSent(const std::shared_ptr<SentMessage>& message);
    // Waits for the answer to a queued message until `deadline`. One whose handler has not
    // started by then is withdrawn, never to be handled (false); a started one is waited for.
    bool AwaitAnswer(const std::shared_ptr<SentMessage>& message, uint64_t deadline);
    // Sleeps until `changes` moves away from `seen`, a timer accepted by `filter` falls due,
    // or `deadline` passes. Returns false only for the deadline. Caller holds `lock` in `held`.
    bool SleepUntilChange(std::unique_lock<std::mutex>& held, uint64_t seen, const MessageFilter& filter,
                          uint64_t deadline);
    // Earliest due time of a timer accepted by `filter` (kNoDeadline when none). Lock held.
    uint64_t NextTimerDueLocked(const MessageFilter& filter) const;
    // Index of the first timer due at `now` and accepted by `filter`, or -1. Lock held.
    int DueTimerLocked(uint64_t now, const MessageFilter& filter) const;
    // Fails every queued send to `wnd` and drops its posted messages and timers. Lock held.
    void PurgeWindowLocked(HWND wnd);

    std::mutex lock;
    std::condition_variable wake;  // the window thread sleeps on it
    uint64_t changes = 0;
    bool woken = false;  // WakeWindowThread was called

    std::unordered_map<WindowRecord*, std::shared_ptr<WindowRecord>> windows;
    // Recently destroyed records are kept a while so that a new window does not get the
    // address (the handle) of one that another thread may still name.
    std::deque<std::shared_ptr<WindowRecord>> retired;
    uint64_t next_serial = 1;

    std::deque<std::shared_ptr<SentMessage>> sent;
    std::deque<PostedMessage> posted;
    std::deque<RawInput> input;
    std::vector<TimerEntry> timers;
    UINT_PTR next_thread_timer_id = 0x7000;

    // Senders whose time-out passed while their handler ran and who now wait for it; tests
    // watch it (under `lock`, woken through `wake`).
    uint64_t late_senders = 0;

    bool quit_pending = false;
    int quit_code = 0;
    int main_loop_depth = 0;

private:
    std::atomic<uint32_t> window_thread_{0};
};

}  // namespace win_internal
