#pragma once
// Runs the manual clock for tests of the text channel against the controller simulator: while
// the window thread waits on the clock, it moves the clock on in small steps, but only once
// the simulator has read and answered everything the program wrote and the program has taken
// every byte the simulator wrote. So a reply is never "late" because a thread was slow: time
// passes on the clock only as it would on a line with a controller that answers at once, and
// late answers and restarts follow the simulator's own clock schedule. Each step waits until
// the window thread handles messages (it waits, or pumps in a delay), so busy painting does
// not let the clock run ahead; a simulator run as a process of its own is waited for as by
// every pacer (tests/support/clock_peer.h). Made and destroyed on the window thread.

#include <chrono>
#include <optional>
#include <thread>

#include "link/form_txt_com.h"
#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"
#include "serial/ser_com_port.h"
#include "sim/controller_sim.h"
#include "tests/support/clock_pacer.h"
#include "tests/support/clock_peer.h"

class ControllerPilot {
public:
    ControllerPilot(ManualClock& clock, ControllerSim& sim, const TFormTxtCom& channel, uint64_t step_ms = 10)
        : clock_(clock), sim_(sim), channel_(channel) {
        clock_.WatchLooksOf(std::this_thread::get_id());
        pacer_.emplace(clock_, step_ms, [this] { return Ready(); });
    }
    ~ControllerPilot() {
        // The pilot may be waiting for the window thread to handle its message.
        pacer_->Stop([] {
            ProcessMessages();
            std::this_thread::yield();
        });
        clock_.WatchLooksOf({});
    }
    ControllerPilot(const ControllerPilot&) = delete;
    ControllerPilot& operator=(const ControllerPilot&) = delete;

private:
    bool Ready() {
        bool closing = false;
        Synchronize([&] { closing = channel_.Com2->Dispatcher() && !channel_.Com2->Open(); });
        // A closing port waits for its threads, which end in real time: give them that time
        // rather than let the clock run far ahead meanwhile.
        if (closing) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const uint64_t written = sim_.Settle();
        if (channel_.CharsReceived.load() < written && sim_.ProgramConnected()) return false;
        // A loaded window thread may handle several of our messages in one round of pumping
        // without looking at the clock in between; a wait of 10 ms must not see 100 ms pass
        // at once.
        return clock_.WatchedThreadLookedSinceAdvance() && ClockPeer::AllHadTheirChance();
    }

    ManualClock& clock_;
    ControllerSim& sim_;
    const TFormTxtCom& channel_;
    std::optional<ClockPacer> pacer_;
};
