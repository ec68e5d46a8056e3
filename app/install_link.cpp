#include "app/install_link.h"

#include "platform/forms/application.h"

bool WizardProgramEnding() {
    return Application && Application->Terminated();
}
