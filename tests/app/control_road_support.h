#pragma once
// The program on the control road against the simulated door terminal over a
// pseudo-terminal, driven through the UI driver like a technician would. The device polls in
// real time; the program runs on the manual clock moved on steadily, at the pace both follow.

#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "app/windows/code_form.h"
#include "link/frame_codec.h"
#include "platform/forms/timer.h"
#include "sim/door_frame.h"
#include "sim/door_sim.h"
#include "tests/app/app_test_support.h"
#include "tests/link/steady_advance.h"
#include "tests/support/clock_pacer.h"
#include "tests/support/clock_peer.h"

namespace control_road {

constexpr int kPort = 7;

using ::SteadyAdvance;

// The fixture moves the clock on steadily; a fixture that sets up with AppStart::SetUp()
// moves it itself.
class ControlRoad : public AppStart {
protected:
    void SetUp() override {
        AppStart::SetUp();
        advance_ = std::make_unique<SteadyAdvance>(Clock());
    }
    void TearDown() override {
        watch_.reset();
        if (FormSercom && Session().LinkState.PortOpen) {
            // The close pauses on the clock.
            std::unique_ptr<SteadyAdvance> closing;
            if (!advance_) closing = std::make_unique<SteadyAdvance>(Clock(), 20);
            Session().ClosePort();
        }
        advance_.reset();
        sim_.reset();
        AppStart::TearDown();
    }
    void StartSim(DoorState state = DoorState::DoorTerminal()) {
        DoorSimOptions options;
        options.port = kPort;
        options.ports_dir = dir_ + "/ports";
        options.poll_ms = 10;
        sim_ = std::make_unique<DoorSim>(std::move(state), options);
        sim_->Start();
    }
    // The program on the control road: the menu page with the link open.
    void ToMenu(DoorState state = DoorState::DoorTerminal()) {
        StartSim(std::move(state));
        WriteFile("TOVAK.INI", "[MAIN]\r\nCSM=0\r\nCOC=" + std::to_string(kPort) + "\r\n");
        Start();
        Ui().Click("Form1.Button001");
        Ui().Click("Form1.Button601");
        ASSERT_TRUE(Session().LinkState.PortOpen);
        ASSERT_EQ(7, Form1->Notebook1->PageIndex());
    }
    // Every record request the program sent, as hex lists.
    std::vector<std::string> Requests() {
        std::vector<std::string> out;
        for (const SimExchange& ex : sim_->Exchanges())
            for (const std::string& wire : ex.answers) {
                SimFrame f;
                if (SimDecodeFrame(wire, f) != SimParse::Ok || f.data.size() < 2 || f.data[0] != '\xFB') continue;
                out.push_back(BytesToHexList(f.data));
            }
        return out;
    }
    bool Sent(const std::string& hex) {
        return Ui().WaitFor([&] {
            for (const std::string& r : Requests())
                if (r == hex) return true;
            return false;
        });
    }

    std::unique_ptr<DoorSim> sim_;
    std::unique_ptr<SteadyAdvance> advance_;
    std::unique_ptr<TTimer> watch_;  // for OnceWhen
};

// Runs `act` once, on the window thread, as soon as `when` holds (looked at every 5 ms of the
// program's timers): a hand on the equipment at the right moment of a wait. Ends with the timer.
inline std::unique_ptr<TTimer> OnceWhen(std::function<bool()> when, std::function<void()> act) {
    auto timer = std::make_unique<TTimer>(nullptr);
    TTimer* t = timer.get();
    t->SetInterval(5);
    t->OnTimer = [t, when = std::move(when), act = std::move(act)](TObject*) {
        if (!when()) return;
        t->SetEnabled(false);
        act();
    };
    t->SetEnabled(true);
    return timer;
}

// Types `code` into the next code dialog and confirms it.
inline void TypeCode(UiDriver& ui, const std::string& code) {
    ui.OnNextModal([code](TCustomForm* form, UiDriver& u) {
        ASSERT_EQ(Form4, form);
        u.Type(code);
        u.Enter();
    });
}

// Moves the manual clock `step` ms at a time while something sleeps on it, and only after the
// window thread has looked at it since the last step: the program's timers and waits fall
// due at their times on its clock, however slow the machine. For a device that says nothing
// (nothing else must keep pace in real time). Every timer must run slower than the step, or
// it is due at each look and the window thread never gets to a wait's deadline. A simulator
// run as a process of its own is waited for as by every pacer. Made and destroyed on the
// window thread.
class IdleSteps {
public:
    explicit IdleSteps(ManualClock& clock, uint64_t step = 2) : clock_(clock) {
        clock_.WatchLooksOf(std::this_thread::get_id());
        pacer_.emplace(clock_, step,
                       [this] { return clock_.WatchedThreadLookedSinceAdvance() && ClockPeer::AllHadTheirChance(); });
    }
    ~IdleSteps() {
        pacer_.reset();
        clock_.WatchLooksOf({});
    }

private:
    ManualClock& clock_;
    std::optional<ClockPacer> pacer_;
};

}  // namespace control_road
