#include "app/pages/page_rod.h"

#include <algorithm>
#include <cstdio>

#include "app/job_link.h"
#include "app/main_form.h"
#include "app/main_settings.h"
#include "app/pages/main_pages.h"
#include "app/unattended_run.h"
#include "link/form_sercom.h"
#include "link/link_state.h"
#include "link/log_file.h"
#include "link/text_utils.h"

namespace {

constexpr int kSingleCycle = -1;
constexpr int kShortestInterval = 200;

// False once the link is closing or closed, as after a pulled adapter: a request queued
// now would only wait out its time and leave, stale, at the next opening.
bool LinkUp() { return LinkState.PortOpen && !LinkState.LinkStopped; }

}  // namespace

TPageROD::TPageROD(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label188 = b_.Label(p, "Label188", "Read OD", 16, 16, true);
    Label1801 = b_.Label(p, "Label1801", "", 16, 48);
}

void TPageROD::StartReadOD(const std::string& argument) {
    Label1801->SetCaption("");
    Show();
    LetWindowsRepaint();

    TReadOdJob job;
    std::string error;
    if (!ParseReadOdJob(argument, job, error)) {
        EndJobForArguments(form_, argument, error);
        return;
    }
    if (!OpenJobLink(form_, argument, job.Port)) return;
    const std::string path = JobFilePath(job.File);
    std::vector<std::string> skipped;
    entries_ = ReadOdEntries(path, &skipped);
    for (const std::string& why : skipped) std::fprintf(stderr, "tovak: %s: %s\n", path.c_str(), why.c_str());
    form_.ReadOdActive = true;
    form_.Timer3->SetTag(job.Interval);
    form_.Timer3->SetInterval(static_cast<uint32_t>(std::max(job.Interval, kShortestInterval)));
    form_.Timer3->SetEnabled(true);
}

void TPageROD::ReadCycle() {
    form_.Timer3->SetEnabled(false);
    if (!form_.ReadOdActive) return;
    std::string display, log;
    for (const TOdEntry& e : entries_) {
        if (e.Node == 0) continue;
        if (!form_.ReadOdActive) return;
        if (!LinkUp()) break;
        if (!form_.SendShortCommand(e.Node, e.Index, e.Sub)) continue;
        const TOdReply reply = LinkState.OdReply;
        const std::string line = IntToStrZero(reply.Node, 2) + ": " + IntToHex16(reply.Index, 4) + "/" +
                                 std::to_string(reply.SubIndex) + " " + reply.Value + " " + e.Name;
        display += (display.empty() ? "" : "\r") + line;
        log += (log.empty() ? "" : "\t") + line;
    }
    // Stopped during the last read: the stop stands, no further cycle is started.
    if (!form_.ReadOdActive) return;
    Label1801->SetCaption(display);
    if (MProtRdOd) WriteLogLine("TOVAK-ROD-", "RD-OD", log);
    if (!LinkUp()) {
        // The device is gone: further cycles could only show nothing, and a script must not
        // take the job for done.
        form_.ReadOdActive = false;
        if (UnattendedRun) {
            JobExitStatus = jeNoDevice;
            form_.Close();
        }
        return;
    }
    if (form_.Timer3->Tag() == kSingleCycle) {
        FormSercom->ClosePort();
        if (UnattendedRun) form_.Close();
        return;
    }
    form_.Timer3->SetEnabled(true);
}

void TPageROD::StopReadOut() {
    form_.ReadOdActive = false;
    form_.Timer3->SetEnabled(false);
}
