#include "app/pages/jobs/job_link.h"

#include <cstdio>

#include "app/common/unattended_run.h"
#include "app/device/device_session.h"
// Another road's page: port 0 of a job is the control road's port.
#include "app/pages/control/page_coc.h"
#include "app/pages/main_pages.h"
#include "link/wait_for.h"
#include "program/program_context.h"

void EndJob(TMainPages& pages, const std::string& job, int status, const std::string& why) {
    std::fprintf(stderr, "tovak: %s: %s\n", job.c_str(), why.c_str());
    Program().JobExitStatus = status;
    pages.CloseProgram();
}

void EndJobForArguments(TMainPages& pages, const std::string& job, const std::string& error) {
    EndJob(pages, job, jeArguments, error);
}

bool OpenJobLink(TMainPages& pages, const std::string& job, int32_t port, const std::string& stopped) {
    if (port < 1) port = pages.COC->CocPortNumber();
    // Port 0 would ask the user for a port, and no one is there to answer.
    if (port < 1 && Program().UnattendedRun) {
        EndJob(pages, job, jeNoDevice, "no port to open");
        return false;
    }
    TDeviceSession& session = pages.Session();
    session.OpenPort(port, true);
    if (!session.LinkState.PortOpen) {
        EndJob(pages, job, jeNoDevice, "the port did not open");
        return false;
    }
    if (session.CheckDoorTerminal()) {
        // A stop while the device is asked for its type is no failure of the device.
        if (ProgramEnding())
            EndJob(pages, job, jeNoDeviceList, stopped);
        else
            EndJob(pages, job, jeNoDevice, "no door terminal answered");
        return false;
    }
    return true;
}
