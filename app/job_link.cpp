#include "app/job_link.h"

#include <cstdio>

#include "app/device_check.h"
#include "app/main_form.h"
#include "app/pages/main_pages.h"
#include "app/unattended_run.h"
#include "link/form_sercom.h"
#include "link/link_state.h"

void EndJobForArguments(TForm1& form, const std::string& job, const std::string& error) {
    std::fprintf(stderr, "tovak: %s: %s\n", job.c_str(), error.c_str());
    JobExitStatus = jeArguments;
    form.Close();
}

bool OpenJobLink(TForm1& form, const std::string& job, int32_t port) {
    if (port < 1) port = form.Pages().COC->CocPortNumber();
    // Port 0 would ask the user for a port, and no one is there to answer.
    if (port < 1 && UnattendedRun)
        std::fprintf(stderr, "tovak: %s: no port to open\n", job.c_str());
    else
        FormSercom->OpenPort(port, true);
    if (LinkState.PortOpen && !CheckDoorTerminal()) return true;
    JobExitStatus = jeNoDevice;
    form.Close();
    return false;
}
