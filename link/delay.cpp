#include "link/delay.h"

#include "platform/sync/clock.h"
#include "platform/win/message_queue.h"

void Delay(uint32_t milliseconds) {
    uint64_t deadline = CurrentClock().Ticks() + milliseconds;
    for (;;) {
        ProcessMessages();
        if (CurrentClock().Ticks() >= deadline) break;
        WaitMessage(deadline);
    }
}
