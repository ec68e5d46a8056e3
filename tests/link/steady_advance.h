#pragma once
// Runs the manual clock for tests of the framed link against the door simulator, which polls
// in real time: `step` ms about every 2 ms, at about real time by default, or fast so the
// program's long waits for a device that stays silent end in a fraction of their time. Time
// passes on the clock only as fast as both ends follow it, however loaded the machine:
// - never more than kLeadMs ahead of the simulator's last round: a device held up in real
//   time must not look silent;
// - only after the window thread looked at the clock since the last step: a loaded window
//   thread sees the time pass in steps, not all at once;
// - while a simulator talks to a link that listens, only while that link heard a frame within
//   the last kHeardLeadMs: a frame that waits in the program's input (its threads held up)
//   must not make the device look silent;
// - only once every simulator run as a process of its own has had its chance to answer
//   (tests/support/clock_peer.h).
// Made and destroyed on the window thread; several may live at once (a fast one over a
// steady one), one step at a time between them.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "link/link_state.h"
#include "link/sercom_link.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "platform/win/messages.h"
#include "sim/door_sim.h"
#include "tests/support/clock_peer.h"

// The link of the program under test, for pacing when a SteadyAdvance is given none (the
// program's fixture points it at its device session's link; none by default).
inline std::function<const TSercomLink*()>& ProgramLinkForPacing() {
    static std::function<const TSercomLink*()> of = [] { return nullptr; };
    return of;
}

class SteadyAdvance {
public:
    static constexpr uint64_t kLeadMs = 500;
    static constexpr uint64_t kHeardLeadMs = 100;
    // The link the program hears the simulator through (looked at on the window thread).
    using LinkOf = std::function<const TSercomLink*()>;

    explicit SteadyAdvance(ManualClock& clock, uint64_t step = 2, LinkOf link = ProgramLinkForPacing())
        : clock_(clock), step_(step), link_(std::move(link)) {
        {
            std::lock_guard<std::mutex> guard(Shared().lock);
            if (Shared().alive++ == 0) clock_.WatchLooksOf(std::this_thread::get_id());
        }
        thread_ = std::thread([this] { Run(); });
    }
    ~SteadyAdvance() {
        bool asking;
        {
            std::lock_guard<std::mutex> guard(ask_lock_);
            stop_ = true;
            asking = asking_;
        }
        stopping_.notify_all();
        // The thread may wait for the window thread to answer it: only that is handled here.
        while (asking && !finished_)
            if (!RunLoopUntil([this] { return finished_.load(); }, kNoDeadline,
                              TLoopMessages{kNoMessage, kNoMessage, {}}))
                std::this_thread::yield();
        thread_.join();
        std::lock_guard<std::mutex> guard(Shared().lock);
        if (--Shared().alive == 0) clock_.WatchLooksOf({});
    }
    SteadyAdvance(const SteadyAdvance&) = delete;
    SteadyAdvance& operator=(const SteadyAdvance&) = delete;

private:
    // A message number nobody posts: the destructor's loop handles sent messages only.
    static constexpr UINT kNoMessage = WM_APP + 0x3FF0;
    struct SharedState {
        std::mutex lock;  // guards `alive`
        int alive = 0;
        std::mutex step;  // one step at a time, over every live instance
    };
    static SharedState& Shared() {
        static SharedState shared;
        return shared;
    }

    void Run() {
        while (!stop_) {
            {
                // The real-time pace between steps, cut short when stopping.
                std::unique_lock<std::mutex> guard(ask_lock_);
                if (stopping_.wait_for(guard, std::chrono::milliseconds(2), [this] { return stop_.load(); })) break;
            }
            const uint64_t now = clock_.Ticks();
            if (DoorSim::Running() > 0 && now + step_ > DoorSim::LastRound() + kLeadMs) continue;
            if (!clock_.WatchedThreadLookedSinceAdvance()) continue;
            if (DoorSim::Talking() > 0 && !LinkHeardLately(now)) continue;
            if (!ClockPeer::AllHadTheirChance()) continue;
            std::lock_guard<std::mutex> guard(Shared().step);
            // Another instance may have stepped meanwhile.
            if (clock_.Ticks() != now || !clock_.WatchedThreadLookedSinceAdvance()) continue;
            clock_.Advance(step_);
        }
        finished_ = true;
        WakeWindowThread();
    }

    // Asks the window thread (the link's state is its own) once the last answer no longer
    // tells; false when stopping meanwhile.
    bool LinkHeardLately(uint64_t now) {
        if (now <= heard_ + kHeardLeadMs) return true;
        {
            std::lock_guard<std::mutex> guard(ask_lock_);
            if (stop_) return false;
            asking_ = true;
        }
        bool lately = true;
        uint64_t heard = 0;
        Synchronize([&] {
            const TSercomLink* link = link_();
            if (!link || !link->LinkState.PortOpen || link->LinkState.LinkStopped) return;
            heard = link->LastHeard();
            lately = now <= heard + kHeardLeadMs;
        });
        heard_ = std::max(heard_, heard);
        std::lock_guard<std::mutex> guard(ask_lock_);
        asking_ = false;
        return lately;
    }

    ManualClock& clock_;
    const uint64_t step_;
    LinkOf link_;
    std::mutex ask_lock_;  // also guards the pace's wait for stop_
    std::condition_variable stopping_;
    bool asking_ = false;
    uint64_t heard_ = 0;  // the last frame the link had heard when last asked (thread only)
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};
