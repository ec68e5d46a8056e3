#pragma once
// Another process the program talks to while a test moves the program's manual clock. Every
// pacer of the clock (SteadyAdvance, ControllerPilot, AutoAdvance, the control road's
// IdleSteps) moves it on only once each live peer has had its chance to answer: a process
// the machine holds up must not find that the program, its clock run faster than real time,
// has long given it up. The peers are kept for the whole test program, since the pacers and
// the processes are made apart (a fixture's pacer, a test's process).

#include <functional>

class ClockPeer {
public:
    // `hadItsChance` is called from the pacers' threads, one call at a time.
    explicit ClockPeer(std::function<bool()> hadItsChance);
    // Once it returns, `hadItsChance` is not running and will not be called again.
    ~ClockPeer();
    ClockPeer(const ClockPeer&) = delete;
    ClockPeer& operator=(const ClockPeer&) = delete;

    // True when every live peer has had its chance to answer (always, with none).
    static bool AllHadTheirChance();

private:
    std::function<bool()> hadItsChance_;
};
