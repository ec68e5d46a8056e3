#pragma once
// Keyboard, mouse, focus, activation, capture and cursors.
//
// Input comes in raw (a key went down, the mouse moved to a screen point) through the
// Inject* calls, from any thread: the headless display, the X11 display and the UI test
// driver all use them. The window thread's pump turns each raw event into window messages
// when nothing sent or posted is pending: mouse messages go to the capture window or the
// window under the point (WM_NCHITTEST decides client or non-client messages; a window
// disabled by a modal loop gets nothing), key messages to the focus window. Key messages
// are pre-offered as CN_KEYDOWN/CN_CHAR... (see messages.h), then WM_KEYDOWN goes out and
// its character (if any) follows as WM_CHAR before the next raw event.

#include <cstdint>
#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/win/window_tree.h"

// ---- Raw input (any thread) ----
enum class MouseButton { Left, Right, Middle };
void InjectMouseMove(TPoint screen);
void InjectMouseButton(TPoint screen, MouseButton button, bool down);
// Wheel notches: positive away from the user (each is WHEEL_DELTA).
void InjectMouseWheel(TPoint screen, int notches);
// A key going down or up; a key held down and repeated is one more `down`.
void InjectKey(uint16_t vk, bool down);
// A key pressed on a layout other than US (German umlauts, Shift+2 = ", AltGr, Caps Lock):
// the press types `layoutChar` (0: nothing) instead of the US character of KeyToChar. A
// release is the same as InjectKey's.
void InjectLayoutKey(uint16_t vk, bool down, char32_t layoutChar);
// A typed character without a key (text typed in one go, or an input method).
void InjectChar(char32_t codePoint);
// True while raw input waits for the pump (tests and the driver wait for it to drain).
bool InputPending();

// The character a key gives with the current shift state (US layout; 0 for none).
char32_t KeyToChar(uint16_t vk, bool shift, bool ctrl);

// ---- Key state ----
// As of the key messages handed out so far: bit 15 set (negative) while down, bit 0 toggles.
int16_t GetKeyState(int vk);
// As of the raw input injected so far.
int16_t GetAsyncKeyState(int vk);
// Wheel scroll lines per notch.
unsigned WheelScrollLines();

// ---- Focus and activation ----
// Sends WM_KILLFOCUS (wParam = the new focus) to the old and WM_SETFOCUS (wParam = the old
// focus) to the new window, activating its top-level window first. Null removes the focus.
// A hidden or disabled window does not take it. Answers the previous focus window.
HWND SetFocus(HWND wnd);
HWND GetFocus();
// The active top-level window; activating sends WM_NCACTIVATE and WM_ACTIVATE (wParam
// WA_INACTIVE / WA_ACTIVE / WA_CLICKACTIVE, lParam the other window) to both windows.
HWND SetActiveWindow(HWND wnd);
HWND GetActiveWindow();
bool SetForegroundWindow(HWND wnd);
HWND GetForegroundWindow();

// ---- Capture ----
// All mouse messages go to the capture window (client coordinates) until it is released.
// A window losing the capture gets WM_CAPTURECHANGED (lParam = the new capture window).
HWND SetCapture(HWND wnd);
bool ReleaseCapture();
HWND GetCapture();

// ---- Mouse position and cursors ----
bool GetCursorPos(TPoint* p);
// Moves the pointer as the user would (the move is injected).
bool SetCursorPos(int x, int y);
// Cursor shapes are ids (the standard ones below); the display shows the current one.
using HCURSOR = intptr_t;
inline constexpr HCURSOR IDC_ARROW = 32512;
inline constexpr HCURSOR IDC_IBEAM = 32513;
inline constexpr HCURSOR IDC_WAIT = 32514;
inline constexpr HCURSOR IDC_CROSS = 32515;
inline constexpr HCURSOR IDC_UPARROW = 32516;
inline constexpr HCURSOR IDC_SIZENWSE = 32642;
inline constexpr HCURSOR IDC_SIZENESW = 32643;
inline constexpr HCURSOR IDC_SIZEWE = 32644;
inline constexpr HCURSOR IDC_SIZENS = 32645;
inline constexpr HCURSOR IDC_SIZEALL = 32646;
inline constexpr HCURSOR IDC_NO = 32648;
inline constexpr HCURSOR IDC_HAND = 32649;
inline constexpr HCURSOR IDC_APPSTARTING = 32650;
inline constexpr HCURSOR IDC_HELP = 32651;
HCURSOR LoadCursor(HCURSOR id);
// A cursor drawn by the program: monochrome AND and XOR planes of width x height pixels
// (rows padded to 16 bits) with a hot spot. Answers a new id above the standard ones, or 0
// for a picture that does not fit its planes; the display shows an id it does not know as
// the arrow.
HCURSOR CreateCursor(int xHotSpot, int yHotSpot, int width, int height, const uint8_t* andPlane,
                     const uint8_t* xorPlane);
bool DestroyCursor(HCURSOR cursor);
// The picture of a cursor made by CreateCursor; false for any other id.
bool GetCursorPicture(HCURSOR cursor, int* width, int* height, std::vector<uint8_t>* andPlane,
                      std::vector<uint8_t>* xorPlane);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

// ---- Double clicks ----
// Two presses of one button on one window within GetDoubleClickTime() and within
// SM_CXDOUBLECLK/SM_CYDOUBLECLK pixels make the second a WM_xBUTTONDBLCLK.

// Plays the error sound: counted only (tests read it).
bool MessageBeep(unsigned type);
unsigned MessageBeepCount();
