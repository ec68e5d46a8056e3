#include "app/pages/jobs/job_link.h"

#include <cstdio>

#include "app/common/unattended_run.h"
#include "app/device/device_session.h"
// Another road's page: port 0 of a job is the control road's port.
#include "app/pages/control/page_coc.h"
#include "app/pages/main_pages.h"
#include "link/link_texts.h"
#include "link/wait_for.h"
#include "program/message_dialog.h"
#include "program/program_context.h"

void EndJob(TMainPages& pages, const std::string& job, int status, const std::string& why) {
    std::fprintf(stderr, "tovak: %s: %s\n", job.c_str(), why.c_str());
    Program().JobExitStatus = status;
    pages.CloseProgram();
}

void EndJobForArguments(TMainPages& pages, const std::string& job, const std::string& error) {
    EndJob(pages, job, jeArguments, error);
}

bool OpenJobPort(TMainPages& pages, int32_t port) {
    TDeviceSession& session = pages.Session();
    session.OpenPort(port, false);
    if (session.LinkState.PortOpen) return true;
    // Each failure is the job's status before its message shows: a script that stops the
    // program while the box waits for an answer reads the failure, not a stop.
    Program().JobExitStatus = jeNoDevice;
    ShowMessageDialog(LinkTextFmt(1221, std::to_string(port)), 1, 8);
    return false;
}

bool OpenJobLink(TMainPages& pages, const std::string& job, int32_t port, const std::string& stopped) {
    if (port < 1) port = pages.COC->CocPortNumber();
    // Port 0 would ask the user for a port, and no one is there to answer.
    if (port < 1 && Program().UnattendedRun) {
        EndJob(pages, job, jeNoDevice, "no port to open");
        return false;
    }
    if (!OpenJobPort(pages, port)) {
        EndJob(pages, job, jeNoDevice, "the port did not open");
        return false;
    }
    TDeviceSession& session = pages.Session();
    const int32_t type = session.QueryDeviceType();
    if (type == TDeviceSession::kDoorTerminalType) return true;
    // A stop while the device is asked for its type is no failure of the device; a device
    // that answered, or went away, has been judged.
    const bool stoppedFirst = type == -1 && ProgramEnding() && !session.Link().WasLost();
    const int status = stoppedFirst ? jeNoDeviceList : jeNoDevice;
    Program().JobExitStatus = status;
    session.ShowNotDoorTerminal(type);
    EndJob(pages, job, status, stoppedFirst ? stopped : "no door terminal answered");
    return false;
}
