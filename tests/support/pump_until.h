#pragma once
// For tests whose thread is the window thread: pumps messages until `done` holds or `ms`
// milliseconds pass. Conditions that no message announces (ring counts, bytes on a pty) are
// looked at again every 2 ms.

#include <algorithm>
#include <cstdint>
#include <functional>

#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"

inline bool PumpUntil(const std::function<bool()>& done, uint32_t ms = 10000) {
    const uint64_t deadline = CurrentClock().Ticks() + ms;
    while (!done()) {
        const uint64_t now = CurrentClock().Ticks();
        if (now >= deadline) return false;
        RunLoopUntil(done, std::min(deadline, now + 2));
    }
    return true;
}
