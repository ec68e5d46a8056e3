#pragma once
// Windows-style event objects. An auto-reset event releases exactly one wait per Set and
// clears itself; a manual-reset event stays set until Reset. Every time-out counts in ticks
// of CurrentClock(), so a ManualClock advance wakes a timed waiter and nothing sleeps real
// time for a manual deadline.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/sync/clock_wait.h"

struct EventWaiter;

class TSyncEvent {
public:
    TSyncEvent(bool manual_reset, bool initially_set);
    TSyncEvent(const TSyncEvent&) = delete;
    TSyncEvent& operator=(const TSyncEvent&) = delete;

    void Set();
    void Reset();
    // True when the event was (or became) set within timeout_ms; an auto-reset event is
    // consumed by the successful wait. timeout_ms 0 tests without waiting.
    bool Wait(uint32_t timeout_ms = INFINITE);
    bool IsManualReset() const { return manual_reset_; }

private:
    friend int WaitForAny(TSyncEvent* const* events, int count, uint32_t timeout_ms);
    bool TryConsume();  // caller holds lock_
    void AddWaiter(EventWaiter* waiter);
    void RemoveWaiter(EventWaiter* waiter);

    const bool manual_reset_;
    bool set_;
    std::mutex lock_;
    std::vector<EventWaiter*> waiters_;
};

// Waits until one of the events is set: 0 for `a`, 1 for `b` (when both are set, `a`
// wins, as the lower index does on Windows), -1 on time-out. Only the reported event is
// consumed.
int WaitForEither(TSyncEvent& a, TSyncEvent& b, uint32_t timeout_ms);
// The same for any number of events: the index of the first set one, or -1.
int WaitForAny(TSyncEvent* const* events, int count, uint32_t timeout_ms);
