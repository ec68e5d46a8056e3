#pragma once
// The program on the control road against the simulated door terminal over a
// pseudo-terminal, on the real clock (the device polls in real time); driven through the UI
// driver like a technician would.

#include <atomic>
#include <thread>

#include "app/code_form.h"
#include "sim/door_frame.h"
#include "sim/door_sim.h"
#include "link/frame_codec.h"
#include "tests/app/app_test_support.h"

namespace control_road {

constexpr int kPort = 7;

class ControlRoad : public AppStart {
protected:
    void SetUp() override {
        AppStart::SetUp();
        clock_.reset();  // the simulated device lives in real time
    }
    void TearDown() override {
        if (FormSercom && LinkState.PortOpen) FormSercom->ClosePort();
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
        ASSERT_TRUE(LinkState.PortOpen);
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
};

// Types `code` into the next code dialog and confirms it.
inline void TypeCode(UiDriver& ui, const std::string& code) {
    ui.OnNextModal([code](TCustomForm* form, UiDriver& u) {
        ASSERT_EQ(Form4, form);
        u.Type(code);
        u.Enter();
    });
}

// Moves the manual clock on steadily, `step` ms every 2 ms: at about real time by default, or
// fast so the program's long waits for a device that stays silent end in a fraction of their
// time.
class SteadyAdvance {
public:
    explicit SteadyAdvance(ManualClock& clock, uint64_t step = 2) : clock_(clock), thread_([this, step] {
        while (!stop_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            clock_.Advance(step);
        }
    }) {}
    ~SteadyAdvance() {
        stop_ = true;
        thread_.join();
    }

private:
    ManualClock& clock_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace control_road
