#pragma once
// Runs the manual clock for tests of the text channel against the controller simulator: while
// the window thread waits on the clock, it moves the clock on in small steps, but only once
// the simulator has read and answered everything the program wrote and the program has taken
// every byte the simulator wrote. So a reply is never "late" because a thread was slow: time
// passes on the clock only as it would on a line with a controller that answers at once, and
// late answers and restarts follow the simulator's own clock schedule.

#include <atomic>
#include <chrono>
#include <thread>

#include "link/form_txt_com.h"
#include "platform/sync/clock.h"
#include "sim/controller_sim.h"

class ControllerPilot {
public:
    ControllerPilot(ManualClock& clock, ControllerSim& sim, const TFormTxtCom& channel, uint64_t step_ms = 10)
        : clock_(clock), sim_(sim), channel_(channel), step_ms_(step_ms), thread_([this] { Run(); }) {}
    ~ControllerPilot() {
        stop_ = true;
        thread_.join();
    }
    ControllerPilot(const ControllerPilot&) = delete;
    ControllerPilot& operator=(const ControllerPilot&) = delete;

private:
    void Run() {
        while (!stop_) {
            if (!clock_.WaitForAdvanceListeners(1, std::chrono::milliseconds(20))) continue;
            const uint64_t written = sim_.Settle();
            if (channel_.CharsReceived.load() < written && sim_.ProgramConnected()) {
                std::this_thread::yield();
                continue;
            }
            clock_.Advance(step_ms_);
        }
    }

    ManualClock& clock_;
    ControllerSim& sim_;
    const TFormTxtCom& channel_;
    uint64_t step_ms_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
