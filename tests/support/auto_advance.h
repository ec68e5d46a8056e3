#pragma once
// While alive, moves the manual clock on whenever a thread sleeps on it, so the program's own
// pauses and time-outs end without real waiting. It heeds no simulator but one run as a
// process of its own (tests/support/clock_peer.h): against a simulator's thread the clock is
// run by SteadyAdvance or ControllerPilot.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "platform/sync/clock.h"
#include "tests/support/clock_peer.h"

class AutoAdvance {
public:
    explicit AutoAdvance(ManualClock& clock, uint64_t step = 50)
        : clock_(clock), thread_([this, step] {
              while (!stop_) {
                  if (!clock_.WaitForAdvanceListeners(1, std::chrono::milliseconds(20))) continue;
                  if (ClockPeer::AllHadTheirChance())
                      clock_.Advance(step);
                  else
                      std::this_thread::yield();
              }
          }) {}
    ~AutoAdvance() {
        stop_ = true;
        thread_.join();
    }
    AutoAdvance(const AutoAdvance&) = delete;
    AutoAdvance& operator=(const AutoAdvance&) = delete;

private:
    ManualClock& clock_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
