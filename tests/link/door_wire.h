#pragma once
// The framed link as it went over the wire, read from the door simulator's exchanges. A busy
// program may answer a frame after the device sent its next one, so an exchange can hold the
// answer to the frame before; counted over the wire, every answer still follows its frame.

#include <string>
#include <vector>

#include "sim/door_frame.h"
#include "sim/door_sim.h"

struct DoorWire {
    int owed = 0;                       // frames that wanted an answer, less the answers that came for them
    bool outran = false;                // an answer came when no frame was owed one (two for one frame, or one
                                        // for a frame that wants none)
    std::vector<std::string> requests;  // the DATA of the program's answers, in order
};

// Raw frames (header 00 02) come unasked and answer nothing. A frame that does not decode or
// is a broadcast (header 02) wants no answer.
inline DoorWire ReadDoorWire(const std::vector<SimExchange>& exchanges) {
    DoorWire wire;
    for (const SimExchange& ex : exchanges) {
        SimFrame sent;
        if (!ex.sent.empty() && SimDecodeFrame(ex.sent, sent) == SimParse::Ok && sent.h0 != 0x02) ++wire.owed;
        for (const std::string& bytes : ex.answers) {
            SimFrame answer;
            const bool good = SimDecodeFrame(bytes, answer) == SimParse::Ok;
            if (good && answer.h1 == 0x02) continue;
            if (wire.owed == 0)
                wire.outran = true;
            else
                --wire.owed;
            if (good) wire.requests.push_back(answer.data);
        }
    }
    return wire;
}
