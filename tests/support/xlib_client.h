#pragma once
// Xlib for tests that look at the program from outside, as an X client: its headers, included
// so that Xlib's Screen, Region and Time do not clash with the form layer's Screen, the drawing
// layer's Region and the run-time library's Time(); and what a window manager sends.

#define Screen XlibScreen
#define Region XlibRegion
#define Time XlibTime
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Time
#undef Region
#undef Screen

// What a window manager sends when the user closes the window `w`.
inline void CloseAsWindowManager(Display* display, Window w) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, w, False, NoEventMask, &ev);
    XFlush(display);
}
