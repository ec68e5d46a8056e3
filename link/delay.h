#pragma once
#include <cstdint>

// Waits `milliseconds` on the program's clock while dispatching window messages all the time,
// so received bytes, timers and clicks are handled during the wait. Sleeps between messages.
void Delay(uint32_t milliseconds);
