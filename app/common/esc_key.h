#pragma once
// What the Esc key does in the main window, as a plain decision.

struct TEscAction {
    bool Handled = false;         // false: Esc does nothing
    bool EndInstallStep = false;  // queue the installation step's end first
    bool ClosePort = false;
    bool CloseProgram = false;  // after a short pause
    bool ToStartPage = false;   // start page, wizard notebook on its page 1
};

// keyEnd: the KEYEND setting; page: the main notebook's page.
TEscAction EscKeyAction(int keyEnd, int page, bool installActive, bool portOpen);
