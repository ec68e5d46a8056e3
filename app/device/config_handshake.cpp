#include "app/device/config_handshake.h"

#include "app/device/device_session.h"
#include "link/delay.h"
#include "platform/forms/shape.h"
#include "platform/sync/clock.h"

bool TConfigHandshake::Step(TShape* lamp, TBlockOrder order, int32_t errorNumber) {
    lamp->Brush()->SetColor(kLampBusy);
    error_ = 0;
    TDeviceWait wait = session_.Wait();
    // The program's end ends the wait too, and so does a close of the link (Esc, Close, a
    // lost device): the block never came, so the step has failed. A link that refuses the
    // order is closed already.
    const TWaitEnd end = wait.Order(order) ? wait.Until(CurrentClock().Ticks() + kHandshakeStepMs, session_.WaitEnds())
                                           : TWaitEnd::LinkClosed;
    if (end != TWaitEnd::Met) {
        lamp->Brush()->SetColor(kLampFailed);
        error_ = errorNumber;
        session_.WaitMet(end);
        return false;
    }
    lamp->Brush()->SetColor(kLampDone);
    Delay(200);
    return true;
}

void TConfigHandshake::ReadBlocks(TShape* inputLamp, TShape* outputLamp) {
    if (Step(inputLamp, TBlockOrder::ReadInputs, 1)) Step(outputLamp, TBlockOrder::ReadOutputs, 2);
}

void TConfigHandshake::WriteBlocks(TShape* inputLamp, TShape* outputLamp) {
    if (Step(inputLamp, TBlockOrder::WriteInputs, 3)) Step(outputLamp, TBlockOrder::WriteOutputs, 4);
}
