#pragma once
// A Windows-style critical section: recursive, so a routine that holds the lock may call
// another that takes it again on the same thread.

#include <mutex>

class TCriticalSection {
public:
    void Enter() { mutex_.lock(); }
    void Leave() { mutex_.unlock(); }
    bool TryEnter() { return mutex_.try_lock(); }

    // Lets std::lock_guard / std::unique_lock hold it as well.
    void lock() { Enter(); }
    void unlock() { Leave(); }
    bool try_lock() { return TryEnter(); }

private:
    std::recursive_mutex mutex_;
};

// Holds the section for one scope, whatever way the scope is left.
class CriticalSectionGuard {
public:
    explicit CriticalSectionGuard(TCriticalSection& section) : section_(section) { section_.Enter(); }
    ~CriticalSectionGuard() { section_.Leave(); }
    CriticalSectionGuard(const CriticalSectionGuard&) = delete;
    CriticalSectionGuard& operator=(const CriticalSectionGuard&) = delete;

private:
    TCriticalSection& section_;
};
