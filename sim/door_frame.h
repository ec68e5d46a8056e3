#pragma once
// The device side's own view of the framed protocol (kept apart from the program's code, so
// the simulator checks the program instead of sharing its mistakes).

#include <cstdint>
#include <string>

struct SimFrame {
    uint8_t h0 = 0x00;
    uint8_t h1 = 0x01;
    std::string data;
};

// STX, escaped body (H0 H1 LEN data BCC), ETX.
std::string SimEncodeFrame(const SimFrame& frame);

enum class SimParse { Ok, NoStx, NoEtx, TooShort, BadBcc };

// Decodes one wire frame (STX..ETX, still escaped).
SimParse SimDecodeFrame(const std::string& wire, SimFrame& frame);
