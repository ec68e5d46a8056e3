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

#include <optional>
#include <string>
#include <vector>
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
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
    // The window tree (window thread only; see window_tree.h). Windows made by
    // CreateWindowHandle stay outside the tree (in_tree false): hidden utility windows.
    bool in_tree = false;
    uint32_t style = 0;
    uint32_t ex_style = 0;
    WindowRecord* parent = nullptr;       // child windows
    WindowRecord* owner = nullptr;        // top-level windows
    std::vector<WindowRecord*> children;  // z-order, topmost first
    TRect rect;                           // parent's client coordinates (child) or screen (top-level)
    TRect client;                         // client area in window coordinates
    std::string text;
    // Painting: update region (client coordinates), erase and frame repaint pending.
    Region update;
    bool erase = false;
    bool frame_dirty = false;
    std::optional<Region> window_rgn;  // window coordinates
    HBITMAP back_buffer = nullptr;     // top-level windows only
    // Scroll bars (SB_HORZ, SB_VERT): range, page, position, track position.
    struct ScrollBar {
        int min = 0;
        int max = 0;
        unsigned page = 0;
        int pos = 0;
        int track = 0;
        bool tracking = false;
    };
    ScrollBar scroll[2];
};
