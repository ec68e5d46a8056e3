// The simulated device's side of an installation, on the manual clock.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/sync/clock.h"
#include "sim/door_device.h"
#include "tests/support/temp_folder.h"

namespace {

SimFrame Request(uint8_t type, uint8_t index) {
    return SimFrame{0x00, 0x01, std::string("\xFB\x02\x00", 3) + static_cast<char>(type) + static_cast<char>(index)};
}

// The record type and index of each frame sent until the device has nothing more to say.
std::vector<std::pair<int, int>> Drain(DoorDevice& d) {
    std::vector<std::pair<int, int>> out;
    while (d.HasReply()) {
        const std::string data = d.NextFrame().data;
        out.emplace_back(static_cast<uint8_t>(data[3]), static_cast<uint8_t>(data[4]));
    }
    return out;
}

TEST(SimInstall, DetectionAndRestartReportOnTheProgramsClock) {
    ScopedManualClock clock;
    DoorState state = DoorState::DoorTerminal();
    state.detect_ms = 3000;
    state.restart_ms = 5000;
    DoorDevice d(state);
    d.HandleAnswer(Request(0x50, 0x14));
    EXPECT_FALSE(d.HasReply());
    clock->Advance(2999);
    EXPECT_FALSE(d.HasReply());
    clock->Advance(1);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0x12, 0x00}}), Drain(d));

    // The store: block 1 and the restart state at once, the rest after the restart.
    d.HandleAnswer(Request(0x11, 0x00));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0x10, 0x00}, {0x0D, 0x00}}), Drain(d));
    EXPECT_EQ(0x00, d.State().door);
    clock->Advance(5000);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0x0D, 0x00}, {0x12, 0x00}}), Drain(d));

    // Immediately when no time is set; the step commands are kept, unanswered.
    d.Update([](DoorState& s) { s.detect_ms = 0; });
    d.HandleAnswer(Request(0x50, 0x16));
    d.HandleAnswer(Request(0x50, 0x14));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0x12, 0x00}}), Drain(d));
    EXPECT_EQ(std::vector<uint8_t>{0x16}, d.State().install_steps);
}

TEST(SimInstall, ButtonStatesFollowTheScriptAndTheDoorReportsChangesByHand) {
    ScopedManualClock clock;
    DoorState state = DoorState::DoorTerminal();
    state.button_script = {{0, 0x00, 0x01}, {0, 0x01, 0x01}};
    DoorDevice d(state);
    std::vector<std::string> boxBytes;
    for (int i = 0; i < 3; ++i) {
        d.HandleAnswer(Request(0x50, 0x19));
        boxBytes.push_back(d.NextFrame().data.substr(5, 2));
    }
    EXPECT_EQ(
        (std::vector<std::string>{std::string("\x00\x01", 2), std::string("\x01\x01", 2), std::string("\x01\x01", 2)}),
        boxBytes);

    d.SetDoor(0x11);
    const std::string record = d.NextFrame().data;
    EXPECT_EQ(std::string("\x0D\x00\x00\x11", 4), record.substr(3, 4));
    // Closed by hand: the lock state stays.
    d.OpenOrCloseDoor();
    EXPECT_EQ(std::string("\x0D\x00\x00\x10", 4), d.NextFrame().data.substr(3, 4));
}

TEST(SimInstall, EmergencyButtonsPressedByHandReachEveryBoxAndAreReleasedTogether) {
    DoorState state = DoorState::DoorTerminal();
    state.slots[3].address = 7;  // a second terminal, in slot 3
    state.slots[6].address = 0;  // only the box of slot 5
    DoorDevice d(state);
    d.PressOrReleaseEmergencyButtons();
    EXPECT_EQ((std::array<uint8_t, 9>{0, 0x05}), d.State().buttons);
    d.PressOrReleaseEmergencyButtons();
    EXPECT_EQ((std::array<uint8_t, 9>{}), d.State().buttons);
    // A box that saw one button already: the press releases instead.
    d.Update([](DoorState& s) { s.buttons[1] = 0x01; });
    d.PressOrReleaseEmergencyButtons();
    EXPECT_EQ((std::array<uint8_t, 9>{}), d.State().buttons);
}

TEST(SimInstall, TheInstallationSectionOfTheStateFile) {
    namespace fs = std::filesystem;
    const TempFolder folder("tovak-sim-install");
    const fs::path path = folder.Path() / "state.ini";
    std::ofstream(path) << "[INSTALL]\nDETECTMS=3000\nRESTARTMS=250\nBUTTONS=00,01;01,01,00\n[SLOT5]\nFLAGS=61\n";
    const DoorState s = LoadDoorState(path.string());
    EXPECT_EQ(3000, s.detect_ms);
    EXPECT_EQ(250, s.restart_ms);
    ASSERT_EQ(2u, s.button_script.size());
    EXPECT_EQ((std::array<uint8_t, 9>{0, 0x00, 0x01}), s.button_script[0]);
    EXPECT_EQ((std::array<uint8_t, 9>{0, 0x01, 0x01, 0x00}), s.button_script[1]);
    EXPECT_EQ(0x61, s.slots[5].flags);
}

}  // namespace
