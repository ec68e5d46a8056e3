#pragma once
// For fuzz programs: replaces the global operator new and delete so that the largest single
// allocation made while `watching` is set (kept in `largest`) can be checked against what
// the input could fill.
// Include it in exactly one file of a test program.

#include <atomic>
#include <cstdlib>
#include <new>

namespace allocation_watch {
inline std::atomic<bool> watching{false};
inline std::atomic<size_t> largest{0};

inline void Note(size_t size) {
    if (!watching.load(std::memory_order_relaxed)) return;
    size_t seen = largest.load(std::memory_order_relaxed);
    while (size > seen && !largest.compare_exchange_weak(seen, size)) {
    }
}

}  // namespace allocation_watch

// These operators are the program's own new and delete, so freeing what they allocated with
// free() is right; GCC, inlining both sides, takes it for a mismatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t size) {
    allocation_watch::Note(size);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    allocation_watch::Note(size);
    return std::malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

#pragma GCC diagnostic pop
