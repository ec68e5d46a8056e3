#include "platform/win/timers.h"

#include <algorithm>

#include "platform/win/window_system.h"

using win_internal::TimerEntry;
using win_internal::WindowSystem;

UINT_PTR SetTimer(HWND wnd, UINT_PTR id, UINT ms, TIMERPROC proc) {
    WindowSystem& sys = WindowSystem::Get();
    // A zero interval would fall due again at once and starve everything else.
    const uint32_t interval = std::max<uint32_t>(ms, 1);
    {
        std::lock_guard<std::mutex> guard(sys.lock);
        if (wnd != nullptr && !sys.IsWindowLocked(wnd)) return 0;
        auto it = std::find_if(sys.timers.begin(), sys.timers.end(),
                               [&](const TimerEntry& t) { return t.wnd == wnd && t.id == id; });
        if (wnd == nullptr && it == sys.timers.end()) {
            id = ++sys.next_thread_timer_id;
        }
        const uint64_t due = CurrentClock().Ticks() + interval;
        if (it != sys.timers.end()) {
            it->interval = interval;
            it->due = due;
            it->proc = std::move(proc);
        } else {
            sys.timers.push_back(TimerEntry{wnd, id, interval, due, std::move(proc)});
        }
        sys.MarkChangedLocked();
    }
    sys.WakeAfterUnlock();
    return id != 0 ? id : 1;
}

bool KillTimer(HWND wnd, UINT_PTR id) {
    WindowSystem& sys = WindowSystem::Get();
    std::lock_guard<std::mutex> guard(sys.lock);
    auto it = std::find_if(sys.timers.begin(), sys.timers.end(),
                           [&](const TimerEntry& t) { return t.wnd == wnd && t.id == id; });
    if (it == sys.timers.end()) return false;
    sys.timers.erase(it);
    return true;
}
