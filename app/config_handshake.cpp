#include "app/config_handshake.h"

#include "link/delay.h"
#include "link/link_state.h"
#include "platform/forms/shape.h"
#include "platform/win/message_queue.h"

bool TConfigHandshake::Step(TShape* lamp, bool& request, int32_t errorNumber) {
    lamp->Brush()->SetColor(kLampBusy);
    ProcessMessages();
    error_ = 0;
    LinkState.LinkBusy = true;
    countdown_ = HandshakeTicks;
    request = true;
    // A pending quit ends the wait too (the program is closing), and so does a close of the
    // link (Esc, Close, a lost device): the block never came, so the step has failed.
    const bool done = RunLoopUntil([] { return !LinkState.LinkBusy || LinkState.LinkStopped || !LinkState.PortOpen; });
    // The count-down belongs to this step alone: left running it would fail the road later,
    // during the pause below or after the last step, although the block came in time.
    countdown_ = 0;
    if (!done || LinkState.LinkBusy) {
        LinkState.ClearBlockRequests();
        error_ = errorNumber;
    }
    if (error_ != 0) {
        lamp->Brush()->SetColor(kLampFailed);
        error_ = errorNumber;
        return false;
    }
    lamp->Brush()->SetColor(kLampDone);
    ProcessMessages();
    Delay(200);
    return true;
}

void TConfigHandshake::ReadBlocks(TShape* inputLamp, TShape* outputLamp) {
    if (Step(inputLamp, LinkState.ReadInputsRequested, 1)) Step(outputLamp, LinkState.ReadOutputsRequested, 2);
}

void TConfigHandshake::WriteBlocks(TShape* inputLamp, TShape* outputLamp) {
    if (Step(inputLamp, LinkState.WriteInputsRequested, 3)) Step(outputLamp, LinkState.WriteOutputsRequested, 4);
}

void HandshakeTimerTick(int32_t& countdown, int32_t& configError) {
    if (countdown <= 0) return;
    --countdown;
    if (countdown < 1) {
        configError = 1;
        LinkState.ClearBlockRequests();
    }
}
