#pragma once
// While alive, moves the manual clock on whenever a thread sleeps on it, so the program's own
// pauses and time-outs end without real waiting. It heeds no simulator but one run as a
// process of its own (tests/support/clock_peer.h): against a simulator's thread the clock is
// run by SteadyAdvance or ControllerPilot.

#include <cstdint>

#include "platform/sync/clock.h"
#include "tests/support/clock_pacer.h"
#include "tests/support/clock_peer.h"

class AutoAdvance {
public:
    explicit AutoAdvance(ManualClock& clock, uint64_t step = 50) : pacer_(clock, step, ClockPeer::AllHadTheirChance) {}

private:
    ClockPacer pacer_;
};
