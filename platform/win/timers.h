#pragma once
// Timers of the window system. A timer falls due every `ms` ticks of CurrentClock(); the pump
// then hands WM_TIMER (wParam = id) to the window, or calls the timer procedure when one was
// given. At most one WM_TIMER per timer is pending: a pump that comes late delivers one, not
// a burst.

#include <functional>

#include "platform/win/messages.h"
#include "platform/win/window_handle.h"

using TIMERPROC = std::function<void(HWND, UINT, UINT_PTR, uint32_t)>;

// Starts (or restarts, for an existing wnd/id pair) a timer. With a null `wnd` a fresh id is
// chosen and returned; otherwise the answer is `id`. 0 on failure (not a window).
UINT_PTR SetTimer(HWND wnd, UINT_PTR id, UINT ms, TIMERPROC proc = nullptr);
// Stops the timer and drops its pending WM_TIMER. False when there was no such timer.
bool KillTimer(HWND wnd, UINT_PTR id);
