#pragma once
// The device's side of the exchange, without any port: it takes the PC's answer to each of
// its frames and queues the frames it sends next (a request's record first, then polls).

#include <deque>
#include <mutex>
#include <string>

#include "sim/door_frame.h"
#include "sim/door_state.h"

class DoorDevice {
public:
    explicit DoorDevice(DoorState state = DoorState::DoorTerminal());

    // The next frame to send: a queued reply, else a poll (an empty frame).
    SimFrame NextFrame();
    bool HasReply() const;
    // The next queued reply answers a block read or write.
    bool NextReplyIsBlock() const;
    // Handles the DATA of the PC's answer (the frame's header included for the raw frames).
    void HandleAnswer(const SimFrame& answer);
    // Queues a frame of the device's own (a record, a broadcast...).
    void Queue(const SimFrame& frame);

    // A copy of the state; changes through Update so the polling thread sees them whole.
    DoorState State() const;
    template <class F>
    void Update(F&& change) {
        std::lock_guard<std::mutex> lock(lock_);
        change(state_);
    }

    // The door changes by itself (opened, closed, locked by hand): the device reports it.
    void SetDoor(uint8_t door);
    // The technician opens a closed door or closes an open one; the rest of the state stays.
    void OpenOrCloseDoor();
    // The technician presses every door terminal's emergency button, each seen by every box;
    // when any is seen already, all are released instead (for the installation's button test).
    void PressOrReleaseEmergencyButtons();

    // Record frames (DATA: FB 02 N T I payload...).
    static SimFrame Record(uint8_t type, uint8_t index, const std::string& fields);
    SimFrame DoorStateRecord() const;  // lock held by the caller or not needed

private:
    void HandleRequest(const std::string& data);
    // The installation's commands (door_install.cpp); the lock is held.
    void Detect();
    void StoreAndRestart();
    void ButtonRecord();
    void QueueLater(int delay_ms, const SimFrame& frame);
    void ReleaseDue() const;
    std::string SlotBytes(int slot) const;
    std::string NodeBytes(int entry) const;
    static std::string CodeBytes(const std::string& code);

    mutable std::mutex lock_;
    DoorState state_;
    mutable std::deque<SimFrame> replies_;
    // Frames that go out once the program's clock reaches their tick, in this order.
    mutable std::deque<std::pair<uint64_t, SimFrame>> later_;
};
