#pragma once
// Window handles: a window is a handle with a window procedure. All windows belong to the
// one window thread; their procedures run there only.

#include <functional>

#include "platform/win/messages.h"
#include "platform/win/window_record.h"

// Creates a window (on any thread; it belongs to the window thread) and sends it WM_CREATE
// when called on the window thread.
HWND CreateWindowHandle(WNDPROC proc);
// Sends WM_DESTROY, then destroys the window: its timers stop, its pending posted messages
// are dropped and pending sends to it fail. Safe from inside the window's own procedure.
// Called from another thread, the destruction runs on the window thread (a blocking send).
void DestroyWindow(HWND wnd);
bool IsWindow(HWND wnd);
// Replaces the procedure (window thread only); returns the previous one (subclassing).
WNDPROC SetWindowProc(HWND wnd, WNDPROC proc);

// The class library's hidden utility window: each message becomes a TMessage handed to
// `method`, whose Result is the answer.
HWND AllocateHWnd(std::function<void(TMessage&)> method);
void DeallocateHWnd(HWND wnd);

// The default answer: WM_CLOSE destroys the window; everything else answers 0.
LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam);
