#pragma once
// The one source of time for the whole program: millisecond ticks and wall time.
// Tests install a ManualClock so that two-minute time-outs run in microseconds.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, never going backwards.
    virtual uint64_t Ticks() const = 0;
    // Wall time in UTC, milliseconds since 1970-01-01.
    virtual int64_t UnixMillis() const = 0;
    // How long a waiter may sleep in real time before `deadline` (in ticks) is reached.
    // nullopt: sleep until woken; a manual clock wakes its waiters when it is advanced.
    virtual std::optional<std::chrono::nanoseconds> RealTimeUntil(uint64_t deadline) const = 0;

    // Waiters that sleep on their own condition register a wake-up here; a manual clock
    // calls every one of them after each change.
    int AddAdvanceListener(std::function<void()> wake);
    // Once this returns, the listener is not running and will not be called again, so
    // whatever it captured may be freed. A listener may remove itself.
    void RemoveAdvanceListener(int id);
    // Test aid: waits (real time, at most `patience`) until at least `count` listeners are
    // registered, i.e. until that many waiters sleep on a deadline of this clock.
    bool WaitForAdvanceListeners(size_t count, std::chrono::milliseconds patience = std::chrono::seconds(10));

protected:
    void NotifyAdvance();

private:
    struct Listener {
        std::function<void()> wake;
        std::recursive_mutex calling;  // held while `wake` runs
        bool removed = false;
    };
    std::mutex listeners_lock_;
    std::condition_variable listeners_changed_;
    std::map<int, std::shared_ptr<Listener>> listeners_;
    int next_listener_id_ = 1;
};

class SystemClock final : public Clock {
public:
    uint64_t Ticks() const override;
    int64_t UnixMillis() const override;
    std::optional<std::chrono::nanoseconds> RealTimeUntil(uint64_t deadline) const override;
};

class ManualClock final : public Clock {
public:
    explicit ManualClock(int64_t unix_millis = 1772721000000 /* 2026-03-05 14:30 UTC */, uint64_t ticks = 1000);
    uint64_t Ticks() const override;
    int64_t UnixMillis() const override;
    std::optional<std::chrono::nanoseconds> RealTimeUntil(uint64_t deadline) const override;

    // Moves ticks and wall time forward together and wakes every waiter.
    void Advance(uint64_t ms);
    void SetUnixMillis(int64_t unix_millis);

    // Test aid: counts the looks at the ticks that `thread` takes (a default id stops
    // watching), so a driver can let time move on only as fast as that thread follows it.
    void WatchLooksOf(std::thread::id thread);
    // True when the watched thread looked at the ticks after the last Advance (or after the
    // watch began); always true when no thread is watched.
    bool WatchedThreadLookedSinceAdvance() const;

private:
    void CountLookLocked() const;

    mutable std::mutex lock_;
    uint64_t ticks_;
    int64_t unix_millis_;
    std::thread::id watched_;
    mutable bool watched_looked_ = true;
};

// The clock in force; the system clock unless a test installed another.
Clock& CurrentClock();
// Installs `clock` (not owned) for the whole process; nullptr restores the system clock.
void SetClock(Clock* clock);

// Installs a manual clock for the lifetime of the guard.
class ScopedManualClock {
public:
    explicit ScopedManualClock(int64_t unix_millis = 1772721000000) : clock_(unix_millis) { SetClock(&clock_); }
    ~ScopedManualClock() { SetClock(nullptr); }
    ScopedManualClock(const ScopedManualClock&) = delete;
    ScopedManualClock& operator=(const ScopedManualClock&) = delete;
    ManualClock& operator*() { return clock_; }
    ManualClock* operator->() { return &clock_; }

private:
    ManualClock clock_;
};

// GetTickCount as the class library knows it: 32 bits, wrapping after 49.7 days.
inline uint32_t GetTickCount() { return static_cast<uint32_t>(CurrentClock().Ticks()); }
inline uint64_t GetTickCount64() { return CurrentClock().Ticks(); }
