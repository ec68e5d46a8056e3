#include "platform/sync/clock.h"

#include <atomic>
#include <vector>

int Clock::AddAdvanceListener(std::function<void()> wake) {
    std::lock_guard<std::mutex> guard(listeners_lock_);
    int id = next_listener_id_++;
    auto listener = std::make_shared<Listener>();
    listener->wake = std::move(wake);
    listeners_.emplace(id, std::move(listener));
    listeners_changed_.notify_all();
    return id;
}

bool Clock::WaitForAdvanceListeners(size_t count, std::chrono::milliseconds patience) {
    std::unique_lock<std::mutex> lock(listeners_lock_);
    return listeners_changed_.wait_for(lock, patience, [&] { return listeners_.size() >= count; });
}

void Clock::RemoveAdvanceListener(int id) {
    std::shared_ptr<Listener> listener;
    {
        std::lock_guard<std::mutex> guard(listeners_lock_);
        auto it = listeners_.find(id);
        if (it == listeners_.end()) return;
        listener = std::move(it->second);
        listeners_.erase(it);
    }
    // Wait out a call that NotifyAdvance may have started on another thread.
    std::lock_guard<std::recursive_mutex> calling(listener->calling);
    listener->removed = true;
}

void Clock::NotifyAdvance() {
    std::vector<std::shared_ptr<Listener>> wakes;
    {
        std::lock_guard<std::mutex> guard(listeners_lock_);
        for (auto& [id, listener] : listeners_) wakes.push_back(listener);
    }
    for (auto& listener : wakes) {
        std::lock_guard<std::recursive_mutex> calling(listener->calling);
        if (!listener->removed) listener->wake();
    }
}

uint64_t SystemClock::Ticks() const {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int64_t SystemClock::UnixMillis() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::optional<std::chrono::nanoseconds> SystemClock::RealTimeUntil(uint64_t deadline) const {
    using namespace std::chrono;
    auto now = steady_clock::now().time_since_epoch();
    auto target = milliseconds(deadline);
    if (target <= now) return nanoseconds(0);
    return duration_cast<nanoseconds>(target - now);
}

ManualClock::ManualClock(int64_t unix_millis, uint64_t ticks) : ticks_(ticks), unix_millis_(unix_millis) {}

uint64_t ManualClock::Ticks() const {
    std::lock_guard<std::mutex> guard(lock_);
    CountLookLocked();
    return ticks_;
}

int64_t ManualClock::UnixMillis() const {
    std::lock_guard<std::mutex> guard(lock_);
    return unix_millis_;
}

std::optional<std::chrono::nanoseconds> ManualClock::RealTimeUntil(uint64_t deadline) const {
    std::lock_guard<std::mutex> guard(lock_);
    CountLookLocked();
    if (deadline <= ticks_) return std::chrono::nanoseconds(0);
    return std::nullopt;
}

void ManualClock::Advance(uint64_t ms) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        ticks_ += ms;
        unix_millis_ += static_cast<int64_t>(ms);
        watched_looked_ = watched_ == std::thread::id();
    }
    NotifyAdvance();
}

void ManualClock::WatchLooksOf(std::thread::id thread) {
    std::lock_guard<std::mutex> guard(lock_);
    watched_ = thread;
    watched_looked_ = true;
}

bool ManualClock::WatchedThreadLookedSinceAdvance() const {
    std::lock_guard<std::mutex> guard(lock_);
    return watched_looked_;
}

void ManualClock::CountLookLocked() const {
    if (watched_ != std::thread::id() && std::this_thread::get_id() == watched_) watched_looked_ = true;
}

void ManualClock::SetUnixMillis(int64_t unix_millis) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        unix_millis_ = unix_millis;
    }
    NotifyAdvance();
}

namespace {
SystemClock& TheSystemClock() {
    static SystemClock clock;
    return clock;
}
std::atomic<Clock*> g_clock{nullptr};
}  // namespace

Clock& CurrentClock() {
    Clock* c = g_clock.load(std::memory_order_acquire);
    return c ? *c : TheSystemClock();
}

void SetClock(Clock* clock) { g_clock.store(clock, std::memory_order_release); }
