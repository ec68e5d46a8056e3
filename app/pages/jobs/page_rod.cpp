#include "app/pages/jobs/page_rod.h"

#include <algorithm>
#include <cstdio>

#include "app/common/main_settings.h"
#include "app/common/unattended_run.h"
#include "app/pages/jobs/job_link.h"
#include "app/pages/main_pages.h"
#include "link/wait_for.h"
#include "platform/classes/file_utils.h"
#include "platform/forms/timer.h"
#include "platform/rtl/scope_exit.h"
#include "platform/sync/clock.h"
#include "program/log_file.h"
#include "program/program_context.h"
#include "program/text_utils.h"

namespace {

constexpr int kSingleCycle = -1;
constexpr int kShortestInterval = 200;
constexpr const char* kStopped = "ended before every entry was read";

}  // namespace

TPageROD::TPageROD(TMainPages& pages) : TMainPage(pages, Index) {
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
        EndJobForArguments(Pages(), argument, error);
        return;
    }
    const std::string path = JobFilePath(job.File);
    std::vector<std::string> skipped;
    entries_ = ReadOdEntries(path, &skipped);
    for (const std::string& why : skipped) std::fprintf(stderr, "tovak: %s: %s\n", path.c_str(), why.c_str());
    // A script is told that there is nothing to read, and the device is not even asked; a
    // window shows its empty cycles.
    if (Program().UnattendedRun && !FileExists(path)) {
        EndJob(Pages(), argument, jeNothingToDo, "no entries file " + path);
        return;
    }
    if (Program().UnattendedRun &&
        std::none_of(entries_.begin(), entries_.end(), [](const TOdEntry& e) { return e.Node != 0; })) {
        EndJob(Pages(), argument, jeNothingToDo, "no entries to read in " + path);
        return;
    }
    job_ = argument;
    lost_ = false;
    {
        opening_ = true;
        const TScopeExit opened([this] { opening_ = false; });
        if (!OpenJobLink(Pages(), argument, job.Port, kStopped)) return;
    }
    cycleRead_ = false;
    endedForLoss_ = false;
    lastAnswer_ = GetTickCount64();
    Pages().ReadOdActive = true;
    Pages().Timer3->SetTag(job.Interval);
    Pages().Timer3->SetInterval(static_cast<uint32_t>(std::max(job.Interval, kShortestInterval)));
    Pages().Timer3->SetEnabled(true);
}

void TPageROD::ReadCycle() {
    Pages().Timer3->SetEnabled(false);
    if (!Pages().ReadOdActive) return;
    // A cycle that falls due while a lost device's link closes comes before the link reports
    // the loss: it meets the loss first, reads nothing and ends the job as the report would.
    if (!session_.LinkUp()) {
        EndForLoss();
        return;
    }
    cycleRunning_ = true;
    const TScopeExit ended([this] { cycleRunning_ = false; });
    std::string display, log;
    std::vector<std::string> unanswered;
    for (const TOdEntry& e : entries_) {
        if (e.Node == 0) continue;
        if (!Pages().ReadOdActive) return;
        if (!session_.LinkUp()) break;
        if (!session_.SendShortCommand(e.Node, e.Index, e.Sub)) {
            if (session_.LinkUp()) unanswered.push_back(e.Name.empty() ? IntToHex16(e.Index, 4) : e.Name);
            continue;
        }
        lastAnswer_ = GetTickCount64();
        const TOdReply reply = session_.LinkState.OdReply;
        const std::string line = IntToStrZero(reply.Node, 2) + ": " + IntToHex16(reply.Index, 4) + "/" +
                                 std::to_string(reply.SubIndex) + " " + reply.Value + " " + e.Name;
        display += (display.empty() ? "" : "\r") + line;
        log += (log.empty() ? "" : "\t") + line;
    }
    // Stopped during the last read: the stop stands, no further cycle is started.
    if (!Pages().ReadOdActive) return;
    cycleRead_ = true;
    Label1801->SetCaption(display);
    if (Program().MProtRdOd) WriteLogLine("TOVAK-ROD-", "RD-OD", log);
    const bool once = Pages().Timer3->Tag() == kSingleCycle;
    if (!session_.LinkUp()) {
        EndForLoss();
        return;
    }
    if (!unanswered.empty()) {
        // Status 0 says that every entry was read in every cycle.
        const bool silent = !once && GetTickCount64() - lastAnswer_ >= kSilenceMs;
        const int status = silent ? jeNoDevice : jeNoDeviceList;
        std::string names;
        for (const std::string& n : unanswered) names += (names.empty() ? "" : ", ") + n;
        const std::string why = silent ? "no answer for " + std::to_string(kSilenceMs / 1000) + " s"
                                       : "no answer for " + names;
        Program().JobExitStatus = status;
        if (Program().UnattendedRun) {
            Pages().ReadOdActive = false;
            session_.ClosePort();
            EndJob(Pages(), job_, status, why);
            return;
        }
        std::fprintf(stderr, "tovak: %s: %s\n", job_.c_str(), why.c_str());
    }
    if (once) {
        session_.ClosePort();
        if (Program().UnattendedRun) Pages().CloseProgram();
        return;
    }
    Pages().Timer3->SetEnabled(true);
}

void TPageROD::DeviceLost() {
    if (Pages().ReadOdActive || opening_) NoteLoss();
}

void TPageROD::LossShown() {
    // Inside a cycle the loss ends the wait for its request, and the cycle ends the job.
    if (cycleRunning_) return;
    EndForLoss();
}

void TPageROD::NoteLoss() {
    lost_ = true;
    Program().JobExitStatus = jeNoDevice;
    Pages().Timer3->SetEnabled(false);
}

void TPageROD::EndForLoss() {
    // Once, whether the loss's report or a cycle meets the loss first: showing the loss below
    // comes back here through the main window's report.
    if (endedForLoss_ || !Pages().ReadOdActive) return;
    endedForLoss_ = true;
    // The status before the loss shows: a script that stops the program while the box waits
    // for an answer must not take the job for done.
    NoteLoss();
    // Further cycles could only show nothing.
    Pages().ReadOdActive = false;
    // The lost device shows first, once for the link whoever met the loss; the job's line
    // follows, and a script's run ends only then, as nothing shows once the program ends.
    session_.ShowLoss(TDeviceSession::TLossSeen::LinkWentAway);
    if (Program().UnattendedRun) EndJob(Pages(), job_, jeNoDevice, "the device went away");
}

void TPageROD::StopReadOut() {
    // Stopped before any cycle asked for every entry: a script must not take that for done.
    // A loss met before the stop stands.
    if (Pages().ReadOdActive && !cycleRead_ && !lost_) {
        std::fprintf(stderr, "tovak: %s: %s\n", job_.c_str(), kStopped);
        Program().JobExitStatus = jeNoDeviceList;
    }
    Pages().ReadOdActive = false;
    Pages().Timer3->SetEnabled(false);
}
