#pragma once
// What the window layer tells the display about top-level windows: the display (headless
// or X11) installs one sink and mirrors shown top-level windows from it. All calls come on
// the window thread.

#include <string>

#include "platform/gdi/gdi_objects.h"
#include "platform/win/input.h"

class TopLevelSink {
public:
    virtual ~TopLevelSink() = default;
    // Shown, hidden, moved or resized (the window rectangle is in screen coordinates).
    virtual void TopLevelShown(HWND wnd, const TRect& screenRect) = 0;
    virtual void TopLevelHidden(HWND wnd) = 0;
    virtual void TopLevelMoved(HWND wnd, const TRect& screenRect) = 0;
    virtual void TopLevelDestroyed(HWND wnd) = 0;
    // Pixels of the back buffer (window coordinates) changed and may be shown.
    virtual void Present(HWND wnd, HBITMAP backBuffer, const TRect& dirty) = 0;
    virtual void CursorChanged(HCURSOR cursor) { (void)cursor; }
    // The active top-level window changed (null: none is active now).
    virtual void TopLevelActivated(HWND wnd) { (void)wnd; }
    // The user pressed on a window's caption (screen point, left button down): true when
    // the display's window manager now moves the window; false leaves it to the window layer.
    virtual bool BeginMove(HWND wnd, TPoint screen) {
        (void)wnd;
        (void)screen;
        return false;
    }
    // A top-level window's text (its caption) changed.
    virtual void TopLevelTextChanged(HWND wnd, const std::string& text) {
        (void)wnd;
        (void)text;
    }
};

// Installs the sink (null: none); answers the previous one.
TopLevelSink* SetTopLevelSink(TopLevelSink* sink);
TopLevelSink* GetTopLevelSink();
