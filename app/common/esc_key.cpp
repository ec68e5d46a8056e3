#include "app/common/esc_key.h"

#include "app/common/start_options.h"

TEscAction EscKeyAction(int keyEnd, int page, bool installActive, bool portOpen) {
    TEscAction a;
    if (keyEnd < 1 || page == kPageTest) return a;
    a.Handled = true;
    a.EndInstallStep = installActive;
    a.ClosePort = portOpen;
    if (keyEnd > 1 && page == kPageStart)
        a.CloseProgram = true;
    else
        a.ToStartPage = true;
    return a;
}
