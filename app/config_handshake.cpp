#include "app/config_handshake.h"

#include "app/main_form.h"
#include "link/delay.h"
#include "link/link_state.h"
#include "link/wait_for.h"
#include "platform/forms/shape.h"

bool TConfigHandshake::Step(TShape* lamp, bool& request, int32_t errorNumber) {
    lamp->Brush()->SetColor(kLampBusy);
    error_ = 0;
    LinkState.LinkBusy = true;
    countdown_ = HandshakeTicks;
    request = true;
    // The program's end ends the wait too, and so does a close of the link (Esc, Close, a
    // lost device): the block never came, so the step has failed.
    const TWaitEnd end = WaitFor([] { return !LinkState.LinkBusy; }, kNoDeadline, DeviceWaitEnds());
    const bool done = end == TWaitEnd::Met;
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
        if (Form1) Form1->WaitMet(end);
        return false;
    }
    lamp->Brush()->SetColor(kLampDone);
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
