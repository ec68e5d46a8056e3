// The watch over an open link: a device that no longer takes what is queued for it, or that
// has stopped talking, is lost as a pulled one is. Without it a request would wait in the
// queue for a device that was only stopped, and reach it, stale, when it wakes.

#include <algorithm>

#include "link/frame_codec.h"
#include "link/sercom_link.h"
#include "link/wait_for.h"
#include "platform/sync/clock.h"
#include "platform/win/timers.h"

void TSercomLink::StartWatch() {
    StopWatch();
    last_heard_ = CurrentClock().Ticks();
    WatchEvery(kWatchIntervalMs);
}

void TSercomLink::WatchEvery(uint32_t ms) {
    if (watch_timer_ != 0 && ms == watch_interval_) return;
    StopWatch();
    watch_interval_ = ms;
    watch_timer_ = SetTimer(nullptr, 0, ms, [this](HWND, UINT, UINT_PTR, uint32_t) { Watch(); });
}

void TSercomLink::StopWatch() {
    if (watch_timer_ == 0) return;
    KillTimer(nullptr, watch_timer_);
    watch_timer_ = 0;
}

void TSercomLink::Watch() {
    // A frame in hand gets its answer first; a close under way needs no second one.
    if (!Up() || InFrame() || lost_) return;
    const uint64_t now = CurrentClock().Ticks();
    bool untaken = false;
    for (size_t k = 0; k < queue_.size();) {
        if (queue_[k]->Deadline > now) {
            ++k;
            continue;
        }
        Withdraw(*queue_[k]);
        untaken = true;
    }
    for (const auto& order : orders_) {
        if (!order || order->Deadline > now) continue;
        Withdraw(*order);
        untaken = true;
    }
    while (!raw_parked_.empty() && raw_parked_.front().Deadline <= now) {
        TraceQueueLine("withdrawn: raw " + BytesToHexList(raw_parked_.front().Data));
        raw_parked_.pop_front();
        untaken = true;
    }
    if (untaken) {
        PortLost("device silent: request not taken");
        return;
    }
    // Before its first frame a device is not silent but absent: the opening's type query
    // finds that out.
    if (!heard_) return;
    if (now - last_heard_ > kSilenceLimitMs) {
        PortLost("device silent");
        return;
    }
    // A silence that passes the limit before the next look is looked at as it does, not up
    // to an interval later.
    const uint64_t limitPassed = last_heard_ + kSilenceLimitMs + 1;
    WatchEvery(static_cast<uint32_t>(std::min<uint64_t>(limitPassed - now, kWatchIntervalMs)));
}
