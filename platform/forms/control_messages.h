#pragma once
// The class library's own control messages (CM_*), their parameters, and helpers that turn
// message parameters into shift states. Window messages (WM_*, CN_*) are in
// platform/win/messages.h, key codes in platform/win/virtual_keys.h.

#include "platform/forms/control_types.h"
#include "platform/win/messages.h"
#include "platform/win/virtual_keys.h"

inline constexpr UINT CM_BASE = 0xB000;
inline constexpr UINT CM_ACTIVATE = CM_BASE + 0;
inline constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
inline constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
inline constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
inline constexpr UINT CM_CANCELMODE = CM_BASE + 4;    // LParam: the control that gets the focus
inline constexpr UINT CM_DIALOGKEY = CM_BASE + 5;     // WParam: key, LParam: key data; Result 1 = handled
inline constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;    // WParam: character; Result 1 = handled
inline constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;  // LParam: the TWinControl* now focused
inline constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
inline constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
inline constexpr UINT CM_HITTEST = CM_BASE + 10;  // LParam: point; Result non-zero = inside
inline constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
inline constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
inline constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
inline constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
inline constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
inline constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
inline constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
inline constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
inline constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
inline constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
inline constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
inline constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
inline constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
inline constexpr UINT CM_ENTER = CM_BASE + 26;
inline constexpr UINT CM_EXIT = CM_BASE + 27;
// The locale table changed (NotifyFormatSettingsChanged): every control of every form gets it.
inline constexpr UINT CM_WININICHANGE = CM_BASE + 28;
inline constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;  // WParam: key; Result 1 = the control wants it
inline constexpr UINT CM_RELEASE = CM_BASE + 33;
inline constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
inline constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
inline constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
inline constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
inline constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
inline constexpr UINT CM_CHILDKEY = CM_BASE + 46;
inline constexpr UINT CM_HINTSHOW = CM_BASE + 48;
inline constexpr UINT CM_RECREATEWND = CM_BASE + 51;
inline constexpr UINT CM_INVALIDATE = CM_BASE + 52;
inline constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
inline constexpr UINT CM_CHANGED = CM_BASE + 55;
inline constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
inline constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;

// Shift state from the key flags of a client mouse message.
TShiftState KeysToShiftState(WPARAM keys);
// Shift state from the keyboard as of the messages handled so far (GetKeyState); the key
// data argument of a key message is accepted for the class library's signature.
TShiftState KeyDataToShiftState(LPARAM keyData = 0);
TShiftState KeyboardStateToShiftState();
