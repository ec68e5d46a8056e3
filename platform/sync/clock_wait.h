#pragma once
// Sleeping on a condition until a deadline in ticks of CurrentClock(). With the system
// clock the sleep is a timed condition-variable wait; with a manual clock the waiter sleeps
// until notified or until the clock is advanced (an advance listener wakes it), so a test's
// Advance() releases it and no real time passes.

#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>

#include "platform/sync/clock.h"

// A time-out that never ends, as the Windows constant.
inline constexpr uint32_t INFINITE = 0xFFFFFFFFu;
// A deadline that never comes.
inline constexpr uint64_t kNoDeadline = std::numeric_limits<uint64_t>::max();

// The tick count at which a time-out of `timeout_ms` from now ends (kNoDeadline for INFINITE).
inline uint64_t DeadlineAfter(uint32_t timeout_ms) {
    if (timeout_ms == INFINITE) return kNoDeadline;
    return CurrentClock().Ticks() + timeout_ms;
}

// Waits on `cv` (with `lock` held on entry and on return) until `ready()` holds or the
// clock reaches `deadline`. Returns ready() as last evaluated. `cv` must be notified under
// the same mutex by whoever makes ready() true.
template <class Ready>
bool WaitUntilTicks(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint64_t deadline, Ready ready) {
    if (deadline == kNoDeadline) {
        cv.wait(lock, ready);
        return true;
    }
    Clock& clock = CurrentClock();
    int listener = 0;
    bool result = false;
    for (;;) {
        if (ready()) {
            result = true;
            break;
        }
        auto real = clock.RealTimeUntil(deadline);
        if (real && real->count() <= 0) break;
        if (real) {
            cv.wait_for(lock, *real);
        } else if (listener == 0) {
            // Register outside our lock (the listener takes it), then look again: an
            // advance may have happened in between.
            std::mutex* mutex = lock.mutex();
            std::condition_variable* wake = &cv;
            lock.unlock();
            listener = clock.AddAdvanceListener([mutex, wake] {
                std::lock_guard<std::mutex> guard(*mutex);
                wake->notify_all();
            });
            lock.lock();
        } else {
            cv.wait(lock);
        }
    }
    if (listener != 0) {
        lock.unlock();
        clock.RemoveAdvanceListener(listener);  // returns only once no call of it is running
        lock.lock();
    }
    return result;
}
