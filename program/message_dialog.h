#pragma once
// The program's message box as the device link sees it. The main window installs the real
// one at start; until then, and in programs without windows, the text goes to standard error.

#include <functional>
#include <string>

// Message types: 0 warning, 1 error, 2 information, 3 confirmation, 4 custom.
// Button sets are bit sets: 1 yes, 2 no, 4 OK, 8 cancel, ... ; the result is the pressed
// button's modal result.
using MessageDialogHandler = std::function<int(const std::string& text, int type, int buttons, int help_context)>;

void SetMessageDialogHandler(MessageDialogHandler handler);
int ShowMessageDialog(const std::string& text, int type, int buttons, int help_context = 0);
