#include "app/config_handshake.h"

#include "link/delay.h"
#include "link/link_state.h"
#include "link/link_view.h"
#include "platform/win/message_queue.h"

bool TConfigHandshake::Step(const std::string& lamp, bool& request, int32_t errorNumber) {
    view_.SetShapeColor(lamp, kLampBusy);
    ProcessMessages();
    error_ = 0;
    LinkBusy = true;
    countdown_ = HandshakeTicks;
    request = true;
    // A pending quit ends the wait too (the program is closing), and so does a close of the
    // link (Esc, Close, a lost device): the block never came, so the step has failed.
    const bool done = RunLoopUntil([] { return !LinkBusy || LinkStopped || !PortOpen; });
    // The count-down belongs to this step alone: left running it would fail the road later,
    // during the pause below or after the last step, although the block came in time.
    countdown_ = 0;
    if (!done || LinkBusy) {
        ClearBlockRequests();
        error_ = errorNumber;
    }
    if (error_ != 0) {
        view_.SetShapeColor(lamp, kLampFailed);
        error_ = errorNumber;
        return false;
    }
    view_.SetShapeColor(lamp, kLampDone);
    ProcessMessages();
    Delay(200);
    return true;
}

void TConfigHandshake::ReadConfigHandshake() {
    if (Step("Shape201", ReadInputsRequested, 1)) Step("Shape202", ReadOutputsRequested, 2);
}

void TConfigHandshake::WriteConfigHandshake() {
    if (Step("Shape401", WriteInputsRequested, 3)) Step("Shape402", WriteOutputsRequested, 4);
}

void HandshakeTimerTick(int32_t& countdown, int32_t& configError) {
    if (countdown <= 0) return;
    --countdown;
    if (countdown < 1) {
        configError = 1;
        ClearBlockRequests();
    }
}
