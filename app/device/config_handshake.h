#pragma once
// The two-step block handshakes of the configuration roads: each step paints its lamp
// yellow, orders one block exchange from the frame engine and handles window messages until
// the device has answered it or the step's second has passed; the order goes with the step's
// wait, so a step that failed leaves nothing for a later poll. ConfigError: 0 none, 1 reading
// the input block failed, 2 the output block, 3 writing the input block, 4 the output block.

#include <cstdint>

#include "link/device_request.h"

class TDeviceSession;
class TShape;

// Lamp colours (0x00BBGGRR): idle, busy, done, failed.
constexpr uint32_t kLampIdle = 0xFFFFFF;
constexpr uint32_t kLampBusy = 0x00FFFF;
constexpr uint32_t kLampDone = 0x00FF00;
constexpr uint32_t kLampFailed = 0x0000FF;

// How long a step waits for its block (reading) or for the device's result (writing).
constexpr uint64_t kHandshakeStepMs = 1000;

class TConfigHandshake {
public:
    // The error lives with the caller.
    TConfigHandshake(TDeviceSession& session, int32_t& configError) : session_(session), error_(configError) {}

    // The input block with its lamp, then (only after success) the output block.
    void ReadBlocks(TShape* inputLamp, TShape* outputLamp);
    void WriteBlocks(TShape* inputLamp, TShape* outputLamp);
    // One step; false when it failed (lamp red, ConfigError = errorNumber).
    bool Step(TShape* lamp, TBlockOrder order, int32_t errorNumber);

private:
    TDeviceSession& session_;
    int32_t& error_;
};
