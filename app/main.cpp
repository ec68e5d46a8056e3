// The program: folders and command line first, then the display, the windows and the loop.

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/common/display_loss.h"
#include "app/common/stop_signals.h"
#include "app/common/unattended_run.h"
#include "app/program_start.h"
#include "platform/classes/file_utils.h"
#include "platform/display/x11/select_presenter.h"
#include "platform/forms/application.h"
#include "program/program_context.h"
#include "program/program_dirs.h"

int main() {
    BlockStopSignals();
    InitProgramDirs();
    // A first start of an installed program: its per-user folder does not exist yet.
    ForceDirectories(Program().BaseDir);
    // The X input method composes keys by the user's locale, which it takes when the
    // display opens; afterwards the program's own text handling goes back to the plain
    // locale, so byte-wise case folding never depends on the machine.
    std::setlocale(LC_CTYPE, "");
    std::string why;
    Presenter* display = InstallPresenterForEnvironment(&why);
    std::setlocale(LC_CTYPE, "C");
    if (!why.empty()) {
        // A program nobody can see would only hold its port: headless runs are asked for.
        std::fprintf(stderr, "tovak: %s\ntovak: set TOVAK_HEADLESS=1 to run without a display\n", why.c_str());
        return 1;
    }
    // Without a display nobody answers a message box, and a start job ends the program.
    Program().UnattendedRun = ChoosePresenter(std::getenv("DISPLAY"), std::getenv("TOVAK_HEADLESS"), BuildHasX11()) ==
                              PresenterKind::Headless;
    EndProgramWhenDisplayLost(*display);
    EnsureApplication();
    Application->Initialize();
    CreateProgramForms();
    EndProgramOnStopSignals();
    RunProgramLoop();
    // The windows go before the program's static state they refer to, the display last.
    DestroyProgramForms();
    InstallPresenter(nullptr);
    return Program().JobExitStatus;
}
