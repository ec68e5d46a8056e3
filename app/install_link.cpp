#include "app/install_link.h"

#include "link/link_state.h"
#include "platform/forms/application.h"

bool WizardProgramEnding() {
    return Application && Application->Terminated();
}

bool WizardLinkUp() {
    return LinkState.PortOpen;
}
