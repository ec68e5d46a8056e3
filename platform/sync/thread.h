#pragma once
// Threads and interlocked counters. A TThreadRunner is a named std::thread that is joined
// when the runner goes away unless it was detached (threads that free themselves).

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class TThreadRunner {
public:
    explicit TThreadRunner(std::string name = {});
    ~TThreadRunner();  // joins a running, not detached thread
    TThreadRunner(const TThreadRunner&) = delete;
    TThreadRunner& operator=(const TThreadRunner&) = delete;

    // Starts `body` on a new thread; a runner runs at most one body at a time.
    void Start(std::function<void()> body);
    // Waits for the body to end; does nothing when no thread is attached or when called
    // from the runner's own thread.
    void Join();
    // Lets the thread run on its own; the runner may then be destroyed, also by the body.
    void Detach();
    bool Joinable() const { return thread_.joinable(); }
    // Set while the body runs.
    bool Running() const { return running_->load(std::memory_order_acquire); }
    uint32_t ThreadId() const { return thread_id_->load(std::memory_order_acquire); }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    std::thread thread_;
    // Shared with the body so a detached thread never touches a freed runner.
    std::shared_ptr<std::atomic<bool>> running_;
    std::shared_ptr<std::atomic<uint32_t>> thread_id_;
};

// A small, stable number for the calling thread (never 0), handy in logs and ownership checks.
uint32_t CurrentThreadId();
// The name given to the TThreadRunner running the calling thread; empty elsewhere.
const std::string& CurrentThreadName();

// Interlocked operations as the class library offers them: Increment/Decrement return the
// new value, Exchange and ExchangeAdd the previous one, CompareExchange the previous one
// (the store happens only when it equalled `comparand`).
inline int32_t InterlockedIncrement(std::atomic<int32_t>& target) { return target.fetch_add(1) + 1; }
inline int32_t InterlockedDecrement(std::atomic<int32_t>& target) { return target.fetch_sub(1) - 1; }
inline int32_t InterlockedExchange(std::atomic<int32_t>& target, int32_t value) { return target.exchange(value); }
inline int32_t InterlockedExchangeAdd(std::atomic<int32_t>& target, int32_t value) { return target.fetch_add(value); }
inline int32_t InterlockedCompareExchange(std::atomic<int32_t>& target, int32_t value, int32_t comparand) {
    target.compare_exchange_strong(comparand, value);
    return comparand;
}
