#pragma once
// Page ROD: the "/READOD,file,interval,port" start job. Objects of bus devices, listed in an
// entries file, are read through the door terminal every interval (at least 200 ms), or
// once with interval -1; each cycle shows its values and may log them.

#include <cstdint>
#include <string>

#include "app/pages/jobs/job_arguments.h"
#include "app/pages/main_page.h"

class TPageROD : public TMainPage {
public:
    static constexpr int Index = 18;
    explicit TPageROD(TMainPages& pages);

    void StartReadOD(const std::string& argument);
    // One read-out cycle (the form's Timer3).
    void ReadCycle();
    // Stops the read-out: the running cycle is abandoned before its next request. A stop
    // before the first cycle has asked for every entry ends the job as incomplete.
    void StopReadOut();
    // The device is lost (told by the main window before the loss shows): a read-out that
    // opens its link or runs has failed, status 3 at once, and starts no further cycle.
    void DeviceLost();
    // The loss has shown: a read-out waiting for its next cycle ends here, a script's run
    // with the program, as a cycle that meets the loss ends once its request has come back,
    // with what it read, and a cycle that falls due before the loss is reported ends at its
    // start.
    void LossShown();

    const TOdEntries& Entries() const { return entries_; }

    TLabel* Label188;
    TLabel* Label1801;

    // A repeating read-out that hears nothing for this long has lost its device.
    static constexpr uint64_t kSilenceMs = 10000;

private:
    // The device went away: no further cycle, the loss shows (once for the link), and a
    // script must not take the job for done.
    void EndForLoss();
    // The status says the loss, which no stop afterwards changes.
    void NoteLoss();

    TOdEntries entries_{};
    std::string job_;
    uint64_t lastAnswer_ = 0;
    bool cycleRead_ = false;     // a cycle of this job has asked for every entry
    bool cycleRunning_ = false;  // ReadCycle is under way (its requests' waits run inside it)
    bool opening_ = false;       // the job opens its link (OpenJobLink)
    bool lost_ = false;          // this job has met the loss of its device
    bool endedForLoss_ = false;  // and has ended for it
};
