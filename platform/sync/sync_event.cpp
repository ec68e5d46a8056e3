#include "platform/sync/sync_event.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <thread>

// One per waiting thread; each event it waits on pokes it on Set. Lock order: an event's
// lock, then a waiter's; the waiting thread never holds its own lock while it looks at the
// events.
struct EventWaiter {
    std::mutex lock;
    std::condition_variable wake;
    bool poked = false;
    std::atomic<int> pins{0};  // Sets that found it in a list and have yet to wake it
};

namespace {

// Each thread's waiter lives as long as the thread. Set wakes a waiter once every lock is
// free, so that wake-up may come after the wait ended; it then finds the waiter still there,
// and the thread's next wait takes it for what it is: one more look at its events. A thread
// waits on one set of events at a time. Only at the thread's end is a wake-up in progress
// waited out, which takes one wake-up call of another thread.
struct ThreadWaiter {
    EventWaiter waiter;
    ~ThreadWaiter() {
        while (waiter.pins.load(std::memory_order_acquire) != 0) std::this_thread::yield();
    }
};

}  // namespace

TSyncEvent::TSyncEvent(bool manual_reset, bool initially_set) : manual_reset_(manual_reset), set_(initially_set) {}

void TSyncEvent::Set() {
    // Waiters are woken once every lock is free: a waiter woken while the setter still holds
    // one wakes only to sleep again on it. Each is still there then (ThreadWaiter). None can
    // miss its poke: it looks at `poked` and goes to sleep under its own lock in one step,
    // and the poke is made under that lock.
    EventWaiter* woken[4];
    size_t count = 0;
    {
        std::lock_guard<std::mutex> guard(lock_);
        set_ = true;
        for (EventWaiter* waiter : waiters_) {
            {
                std::lock_guard<std::mutex> poke(waiter->lock);
                waiter->poked = true;
            }
            if (count < std::size(woken)) {
                waiter->pins.fetch_add(1, std::memory_order_relaxed);
                woken[count++] = waiter;
            } else {
                waiter->wake.notify_one();
            }
        }
    }
    for (size_t i = 0; i < count; ++i) {
        woken[i]->wake.notify_one();
        woken[i]->pins.fetch_sub(1, std::memory_order_release);  // the last touch
    }
}

void TSyncEvent::Reset() {
    std::lock_guard<std::mutex> guard(lock_);
    set_ = false;
}

bool TSyncEvent::Wait(uint32_t timeout_ms) {
    TSyncEvent* self = this;
    return WaitForAny(&self, 1, timeout_ms) == 0;
}

bool TSyncEvent::TryConsume() {
    if (!set_) return false;
    if (!manual_reset_) set_ = false;
    return true;
}

void TSyncEvent::AddWaiter(EventWaiter* waiter) {
    std::lock_guard<std::mutex> guard(lock_);
    waiters_.push_back(waiter);
}

void TSyncEvent::RemoveWaiter(EventWaiter* waiter) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = std::find(waiters_.begin(), waiters_.end(), waiter);
    if (it != waiters_.end()) waiters_.erase(it);
}

namespace {
int ConsumeFirst(TSyncEvent* const* events, int count, bool (*consume)(TSyncEvent*)) {
    for (int i = 0; i < count; ++i)
        if (consume(events[i])) return i;
    return -1;
}
}  // namespace

int WaitForAny(TSyncEvent* const* events, int count, uint32_t timeout_ms) {
    auto consume = [](TSyncEvent* event) {
        std::lock_guard<std::mutex> guard(event->lock_);
        return event->TryConsume();
    };
    int index = ConsumeFirst(events, count, consume);
    if (index >= 0 || timeout_ms == 0 || count <= 0) return index;

    const uint64_t deadline = DeadlineAfter(timeout_ms);
    thread_local ThreadWaiter own;
    EventWaiter& waiter = own.waiter;
    for (int i = 0; i < count; ++i) events[i]->AddWaiter(&waiter);
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(waiter.lock);
            waiter.poked = false;
        }
        index = ConsumeFirst(events, count, consume);
        if (index >= 0) break;
        std::unique_lock<std::mutex> lock(waiter.lock);
        if (!WaitUntilTicks(lock, waiter.wake, deadline, [&] { return waiter.poked; })) {
            lock.unlock();
            index = ConsumeFirst(events, count, consume);
            break;
        }
    }
    for (int i = 0; i < count; ++i) events[i]->RemoveWaiter(&waiter);
    return index;
}

int WaitForEither(TSyncEvent& a, TSyncEvent& b, uint32_t timeout_ms) {
    TSyncEvent* events[2] = {&a, &b};
    return WaitForAny(events, 2, timeout_ms);
}
