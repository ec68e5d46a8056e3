#pragma once
// What the window system keeps per window. HWND points at one of these. Only the window
// layer touches the fields; everything else goes through the handle functions.
//
// Extension point: later layers (parent/child links, bounds, painting, input, focus)
// add their per-window state in the marked section below. A record lives until the window
// is destroyed and no dispatch of it is still running, so fields read in a handler stay valid
// even when the handler destroys its own window.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/win/messages.h"

struct WindowRecord;
using HWND = WindowRecord*;
using WNDPROC = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

struct WindowRecord {
    // Shared so that a procedure replacing itself (subclassing) finishes on its old copy.
    std::shared_ptr<const WNDPROC> proc;
    // Set once DestroyWindow has begun: no further message reaches `proc`.
    bool destroyed = false;
    // Set while WM_DESTROY runs, so a nested DestroyWindow does nothing.
    bool destroying = false;
    // Serial number, never reused; tells apart two windows that shared an address.
    uint64_t serial = 0;

    // ---- Extension: per-window state of later layers goes here. ----
};
