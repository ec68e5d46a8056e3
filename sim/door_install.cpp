// The device's side of an installation: detection, the store with its restart, the
// button states, and door changes that happen by hand.

#include <algorithm>

#include "platform/sync/clock.h"
#include "sim/door_device.h"

namespace {

std::string B(uint8_t v) { return std::string(1, static_cast<char>(v)); }

}  // namespace

void DoorDevice::QueueLater(int delay_ms, const SimFrame& frame) {
    if (delay_ms <= 0 && later_.empty()) {
        replies_.push_back(frame);
        return;
    }
    const uint64_t due = CurrentClock().Ticks() + static_cast<uint64_t>(delay_ms > 0 ? delay_ms : 0);
    later_.emplace_back(later_.empty() ? due : std::max(due, later_.back().first), frame);
}

void DoorDevice::ReleaseDue() const {
    const uint64_t now = CurrentClock().Ticks();
    while (!later_.empty() && later_.front().first <= now) {
        replies_.push_back(later_.front().second);
        later_.pop_front();
    }
}

void DoorDevice::Detect() { QueueLater(state_.detect_ms, Record(0x12, 0x00, "")); }

void DoorDevice::StoreAndRestart() {
    DoorState& s = state_;
    std::string g;
    for (int n = 1; n <= 6; ++n) g += SlotBytes(n);
    replies_.push_back(Record(0x10, 0x00, g));
    const uint8_t old = s.door;
    // An unlocked door (0x10) is locked before the restart state 0x18 is reported.
    if (old == 0x10) {
        s.door = static_cast<uint8_t>(old & 0x0F);
        replies_.push_back(DoorStateRecord());
    }
    s.door = 0x18;
    replies_.push_back(DoorStateRecord());
    s.door = old == 0x18 ? 0x00 : old;
    QueueLater(s.restart_ms, DoorStateRecord());
    QueueLater(0, Record(0x12, 0x00, ""));
}

void DoorDevice::ButtonRecord() {
    DoorState& s = state_;
    if (!s.button_script.empty()) {
        s.buttons = s.button_script.front();
        s.button_script.erase(s.button_script.begin());
    }
    std::string f;
    for (int k = 1; k <= 8; ++k) {
        f += B(s.buttons[static_cast<size_t>(k)]);
        if (s.long_button_record)
            f += std::string(s.box_bits[static_cast<size_t>(k)].begin(), s.box_bits[static_cast<size_t>(k)].end());
    }
    replies_.push_back(Record(0x51, 0x00, f));
}

void DoorDevice::SetDoor(uint8_t door) {
    std::lock_guard<std::mutex> lock(lock_);
    state_.door = door;
    QueueLater(0, DoorStateRecord());
}

void DoorDevice::OpenOrCloseDoor() {
    std::lock_guard<std::mutex> lock(lock_);
    state_.door = static_cast<uint8_t>(state_.door ^ 0x01);
    QueueLater(0, DoorStateRecord());
}

void DoorDevice::PressOrReleaseEmergencyButtons() {
    std::lock_guard<std::mutex> lock(lock_);
    DoorState& s = state_;
    const bool release = std::any_of(s.buttons.begin(), s.buttons.end(), [](uint8_t b) { return b != 0; });
    uint8_t terminals = 0;
    for (int t = 1; t <= 4; ++t)
        if (s.slots[static_cast<size_t>(t)].address) terminals |= static_cast<uint8_t>(1 << (t - 1));
    s.buttons.fill(0);
    s.box_bits[1][0] = release ? 0 : s.kzn_buttons;
    if (release) return;
    for (int box = 1; box <= 8; ++box)
        if (s.slots[static_cast<size_t>(box + 4)].address) s.buttons[static_cast<size_t>(box)] = terminals;
}
