#pragma once
#include <cstdint>

#include "link/wait_for.h"

// Waits `milliseconds` on the program's clock while dispatching window messages all the time,
// so received bytes, timers and clicks are handled during the wait. Ends early on the
// program's end and on what `ends` names; answers which end came.
TWaitEnd Delay(uint32_t milliseconds, const TWaitEnds& ends = {});
