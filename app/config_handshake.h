#pragma once
// The two-step block handshakes of the configuration roads: each step paints its lamp
// yellow, orders one block exchange from the frame engine and handles window messages until
// the engine reports the exchange done or the 100 ms timer's count-down runs out.
// ConfigError: 0 none, 1 reading the input block failed, 2 the output block, 3 writing the
// input block, 4 the output block.

#include <cstdint>

class TShape;

// Lamp colours (0x00BBGGRR): idle, busy, done, failed.
constexpr uint32_t kLampIdle = 0xFFFFFF;
constexpr uint32_t kLampBusy = 0x00FFFF;
constexpr uint32_t kLampDone = 0x00FF00;
constexpr uint32_t kLampFailed = 0x0000FF;

// Timer ticks a step may wait (with the 100 ms timer: one second).
constexpr int32_t HandshakeTicks = 10;

class TConfigHandshake {
public:
    // The count-down and the error live with the caller (the main window), whose timer
    // calls HandshakeTimerTick.
    TConfigHandshake(int32_t& countdown, int32_t& configError) : countdown_(countdown), error_(configError) {}

    // The input block with its lamp, then (only after success) the output block.
    void ReadBlocks(TShape* inputLamp, TShape* outputLamp);
    void WriteBlocks(TShape* inputLamp, TShape* outputLamp);
    // One step; false when it failed (lamp red, ConfigError = errorNumber).
    bool Step(TShape* lamp, bool& request, int32_t errorNumber);

private:
    int32_t& countdown_;
    int32_t& error_;
};

// One tick of the main window's 100 ms timer: counts a running step down; when it runs out
// the step has failed and the block order is withdrawn, so it cannot reach a later poll.
void HandshakeTimerTick(int32_t& countdown, int32_t& configError);
