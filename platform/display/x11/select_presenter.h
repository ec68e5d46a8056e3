#pragma once
// Picks the display at start: the X11 presenter when DISPLAY names a display, the build has
// X11 and TOVAK_HEADLESS is not set to 1; the headless one otherwise, also when the display
// cannot be opened. When headless was not asked for, `why` says why there is no display
// (no DISPLAY, no X11 in the build, a display that cannot be opened), so the program can say so.

#include <string>

#include "platform/display/presenter.h"

enum class PresenterKind { Headless, X11 };

// The choice alone, from the two environment values (null: unset).
PresenterKind ChoosePresenter(const char* display, const char* headless, bool buildHasX11);
bool BuildHasX11();

// Installs the presenter the environment asks for and answers it.
Presenter* InstallPresenterForEnvironment(std::string* why = nullptr);
