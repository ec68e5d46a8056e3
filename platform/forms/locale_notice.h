#pragma once
// Hands a change of the locale table to the windows: CM_WININICHANGE goes to every control
// of every form (parents before their children), as the class library passes the system's
// settings-changed broadcast on. TScreen listens from its creation on.

class TControl;

// The message to Control and everything below it.
void SendWinIniChange(TControl* Control);
// The message to every form of the screen and its controls.
void BroadcastWinIniChange();
