#pragma once
// The thread of a pacer of the manual clock: while a thread sleeps on the clock, it moves the
// clock on `step` ms each time `ready` says that everything the step waits for can follow,
// and else asks again after a short pause in real time. What it waits for (a thread of the
// program, a simulator, a process) needs a processor to get ready; asking again at once would
// take one from it on a loaded machine.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

#include "platform/sync/clock.h"

class ClockPacer {
public:
    static constexpr std::chrono::milliseconds kPause{1};

    ClockPacer(ManualClock& clock, uint64_t step, std::function<bool()> ready)
        : clock_(clock), step_(step), ready_(std::move(ready)), thread_([this] { Run(); }) {}
    ~ClockPacer() { Stop(); }
    ClockPacer(const ClockPacer&) = delete;
    ClockPacer& operator=(const ClockPacer&) = delete;

    // Ends the thread; `meanwhile` runs over and over until it has ended (a `ready` that waits
    // for the window thread needs that thread to handle messages meanwhile).
    void Stop(const std::function<void()>& meanwhile = {}) {
        stop_ = true;
        if (meanwhile)
            while (!finished_) meanwhile();
        if (thread_.joinable()) thread_.join();
    }

private:
    void Run() {
        while (!stop_) {
            if (!clock_.WaitForAdvanceListeners(1, std::chrono::milliseconds(20))) continue;
            if (!ready_()) {
                std::this_thread::sleep_for(kPause);
                continue;
            }
            if (stop_) break;
            clock_.Advance(step_);
        }
        finished_ = true;
    }

    ManualClock& clock_;
    const uint64_t step_;
    std::function<bool()> ready_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;  // last: started once everything above is in place
};
