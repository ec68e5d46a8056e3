#include "platform/win/window_system.h"

#include <algorithm>

#include "platform/sync/clock_wait.h"
#include "platform/sync/thread.h"
#include "platform/win/exception_report.h"

namespace win_internal {

WindowSystem& WindowSystem::Get() {
    // Never destroyed: worker threads may still post while the process exits.
    static WindowSystem* system = new WindowSystem;
    return *system;
}

bool WindowSystem::IsWindowThread() const {
    return window_thread_.load(std::memory_order_acquire) == CurrentThreadId();
}

bool WindowSystem::ClaimWindowThread() {
    const uint32_t me = CurrentThreadId();
    // Read before writing: every pump asks, and a write (even a failed exchange) would take
    // the line away from senders that read it on each send.
    uint32_t expected = window_thread_.load(std::memory_order_acquire);
    if (expected != 0) return expected == me;
    if (window_thread_.compare_exchange_strong(expected, me, std::memory_order_acq_rel)) return true;
    return expected == me;
}

void WindowSystem::SetWindowThread() { window_thread_.store(CurrentThreadId(), std::memory_order_release); }

std::shared_ptr<WindowRecord> WindowSystem::FindLocked(HWND wnd) const {
    if (wnd == nullptr) return nullptr;
    auto it = windows.find(wnd);
    return it == windows.end() ? nullptr : it->second;
}

std::shared_ptr<WindowRecord> WindowSystem::Find(HWND wnd) {
    std::lock_guard<std::mutex> guard(lock);
    return FindLocked(wnd);
}

LRESULT WindowSystem::CallProc(const std::shared_ptr<WindowRecord>& record, HWND wnd, UINT msg, WPARAM wparam,
                               LPARAM lparam) {
    if (!record || record->destroyed) return 0;
    std::shared_ptr<const WNDPROC> proc = record->proc;
    if (!proc || !*proc) return 0;
    try {
        return (*proc)(wnd, msg, wparam, lparam);
    } catch (...) {
        HandleCurrentException();
        return 0;
    }
}

bool WindowSystem::HandleOneSent() {
    std::shared_ptr<SentMessage> message;
    std::shared_ptr<WindowRecord> record;
    {
        std::lock_guard<std::mutex> guard(lock);
        message = TakeSentLocked(record);
    }
    if (!message) return false;
    RunSent(message, record);
    return true;
}

std::shared_ptr<SentMessage> WindowSystem::TakeSentLocked(std::shared_ptr<WindowRecord>& record) {
    if (sent.empty()) return nullptr;
    std::shared_ptr<SentMessage> message = std::move(sent.front());
    sent.pop_front();
    message->state.store(SentMessage::kRunning, std::memory_order_relaxed);
    if (!message->call) {
        record = FindLocked(message->wnd);
        if (!record) message->failed = true;
    }
    return message;
}

void WindowSystem::RunSent(const std::shared_ptr<SentMessage>& message, const std::shared_ptr<WindowRecord>& record) {
    LRESULT result = 0;
    if (message->call) {
        try {
            message->call();
        } catch (...) {
            HandleCurrentException();
        }
    } else if (record) {
        result = CallProc(record, message->wnd, message->msg, message->wparam, message->lparam);
    }
    if (message->after) {
        try {
            message->after();
        } catch (...) {
            HandleCurrentException();
        }
        message->after_ran = true;
    }
    // `message` keeps the record alive while the sender is woken.
    message->Finish(result, message->failed);
}

bool WindowSystem::QueueSent(const std::shared_ptr<SentMessage>& message) {
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!message->call && !IsWindowLocked(message->wnd)) return false;
        sent.push_back(message);
        MarkChangedLocked();
    }
    WakeAfterUnlock();
    return true;
}

bool WindowSystem::AwaitAnswer(const std::shared_ptr<SentMessage>& message, uint64_t deadline) {
    auto done = [&] { return message->Done(); };
    std::unique_lock<std::mutex> answer(message->lock);
    if (WaitUntilTicks(answer, message->done, deadline, done)) return true;
    answer.unlock();
    {
        std::lock_guard<std::mutex> guard(lock);
        if (message->state.load() == SentMessage::kQueued) {
            sent.erase(std::find(sent.begin(), sent.end(), message));
            return false;
        }
        // Started: the handler may already have taken bytes; wait for its answer.
        ++late_senders;
        wake.notify_all();
    }
    answer.lock();
    message->done.wait(answer, done);
    return true;
}

uint64_t WindowSystem::NextTimerDueLocked(const MessageFilter& filter) const {
    uint64_t next = kNoDeadline;
    for (const TimerEntry& timer : timers)
        if (filter.Accepts(timer.wnd, WM_TIMER)) next = std::min(next, timer.due);
    return next;
}

int WindowSystem::DueTimerLocked(uint64_t now, const MessageFilter& filter) const {
    int best = -1;
    for (size_t i = 0; i < timers.size(); ++i) {
        const TimerEntry& timer = timers[i];
        if (timer.due > now || !filter.Accepts(timer.wnd, WM_TIMER)) continue;
        if (best < 0 || timer.due < timers[best].due) best = static_cast<int>(i);
    }
    return best;
}

bool WindowSystem::SleepUntilChange(std::unique_lock<std::mutex>& held, uint64_t seen, const MessageFilter& filter,
                                    uint64_t deadline) {
    for (;;) {
        if (changes != seen) return true;
        uint64_t now = CurrentClock().Ticks();
        uint64_t timer_due = NextTimerDueLocked(filter);
        if (timer_due <= now) return true;
        if (deadline <= now) return false;
        uint64_t until = std::min(deadline, timer_due);
        WaitUntilTicks(held, wake, until, [&] { return changes != seen; });
    }
}

void WindowSystem::PurgeWindowLocked(HWND wnd) {
    posted.erase(std::remove_if(posted.begin(), posted.end(), [wnd](const PostedMessage& m) { return m.wnd == wnd; }),
                 posted.end());
    for (auto it = sent.begin(); it != sent.end();) {
        if ((*it)->wnd == wnd && !(*it)->call) {
            (*it)->Finish(0, true);
            it = sent.erase(it);
        } else {
            ++it;
        }
    }
    timers.erase(std::remove_if(timers.begin(), timers.end(), [wnd](const TimerEntry& t) { return t.wnd == wnd; }),
                 timers.end());
}

}  // namespace win_internal
