// The program: folders and command line first, then the display, the windows and the loop.

#include <cstdio>
#include <string>

#include "app/program_start.h"
#include "link/program_dirs.h"
#include "platform/display/x11/select_presenter.h"
#include "platform/forms/application.h"

int main() {
    InitProgramDirs();
    std::string why;
    InstallPresenterForEnvironment(&why);
    if (!why.empty()) std::fprintf(stderr, "tovak: %s\n", why.c_str());
    EnsureApplication();
    Application->Initialize();
    CreateProgramForms();
    RunProgramLoop();
    return 0;
}
