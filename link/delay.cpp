#include "link/delay.h"

#include "platform/sync/clock.h"

TWaitEnd Delay(uint32_t milliseconds, const TWaitEnds& ends) {
    return WaitFor(nullptr, CurrentClock().Ticks() + milliseconds, ends);
}
