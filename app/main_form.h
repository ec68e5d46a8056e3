#pragma once
// The main window: the notebook Notebook1 of 26 pages (one class each, see TMainPages), its
// status bar with date, time and receive ticker, the 100 ms timer, the step progress of long
// device dialogues, the start work of its first show (settings, function list, language,
// caption, command line) and the orderly end. The link shows on it through TMainLinkView.

#include <cstdint>
#include <memory>
#include <string>

#include "link/device_wait.h"
#include "link/wait_for.h"
#include "platform/forms/form.h"
#include "platform/forms/notebook.h"
#include "platform/forms/status_bar.h"
#include "platform/forms/timer.h"
#include "platform/rtl/date_time.h"

class TAfterBoxes;
struct TMainPages;

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;
    std::string ClassName() const override { return "TForm1"; }

    TMainPages& Pages() { return *pages_; }

    // Event handlers; the receive ticker and the protocol lines, called by the link.
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormResize();
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void FormKeyPress(char32_t& Key);
    void StatusTick();
    void AddComLine(const std::string& text);

    // Step progress of the long device dialogues (the menu page shows it).
    void ProgressStart(int32_t steps);
    void ProgressStep();
    void ProgressHide();
    // After 2 whole minutes asks whether to give up; true when the user gave up.
    bool CheckStepTimeout();
    // Starts the two minutes of CheckStepTimeout anew without showing the progress: for the
    // wizards' waits, which have no steps to count.
    void RestartStepTime();

    // Asks the device what `code` grants; true when it reaches `level`. Shows why not, except
    // when the user left the page meanwhile.
    bool CheckAccessCode(const std::string& code, int32_t level);
    // The device is gone: text 1650. The configuration road stays on its page (its edits
    // can still be saved to a file); every other page leaves for the start page. An open
    // box or dialog is ended with its cancel answer first; the text follows once it has
    // closed. Nothing while the program ends.
    void ShowLinkLost();
    // The same, once for each lost link however many waits notice it.
    void NoticeLinkLost();
    // Queues a request that nobody waits for (the device must take it in time, or it is
    // lost); a refusal (no link) shows the loss and answers false.
    bool QueueForDevice(const std::string& request);
    // Queues a request of `wait`, answered by `answer`; a refusal shows the loss.
    bool QueueForDevice(TDeviceWait& wait, const std::string& request, TAnswer answer = {});
    // The ends of a wait for the device that page `page` started.
    TWaitEnds PageWaitEnds(int page);
    // A pause of `ms` on page `page` while the device works: true when it ran its time. A
    // closed link shows the loss; a page left or the program's end just answer false.
    bool DevicePause(uint32_t ms, int page);
    // Until the device has taken every request queued for it: a device that paused for a
    // moment takes them when it talks again, and one that does not within the silence limit
    // is lost, which ends the wait. True when it took them; a lost link shows the loss, a
    // page left or the program's end just answer false.
    bool DeviceTookQueued(int page);
    // The verdict on a wait for the device: a link closed because the device went away shows
    // the loss. Answers whether the wait was met.
    bool WaitMet(TWaitEnd end);

    // Object-dictionary and node-list requests through the door terminal. Each waits up to
    // 100 rounds of 100 ms on an unchanged page; leaving the page ends the wait as a failure.
    bool SendShortCommand(uint8_t node, uint16_t index, uint8_t sub);
    // Writes the value (8 upper-case hex digits) and reads it back; true when it reads the same.
    bool SendLongCommand(uint8_t node, uint16_t index, uint8_t sub, uint8_t size, const std::string& value);
    // Unless quiet, a time-out shows text 1198 in the state page's status line.
    bool SendAndWait(bool quiet, const std::string& request);
    // The product's display name, 15 characters (blanks when not shown or unknown).
    static std::string DeviceTypeText(int32_t productCode, bool show);
    // Reads the bus device list into NodeTable (and the network-information file when
    // DBPROTNETINFO is on); false, with no file, when any request failed.
    bool WriteNetInfo();
    // Adds steps to the running progress without advancing it.
    void ProgressAddSteps(int32_t steps);
    // From just before a code is asked until its check has ended.
    bool CodeEntryActive = false;

    // Fills the port lists of the three roads with the adapters' ports found: at first show,
    // and each time a port page comes up (adapters come and go while the program runs).
    void SearchSerialPorts();
    void PortPageShown();

    bool FirstShowPending = true, TestPageUnlocked = false, InstallActive = false, ReadOdActive = false;
    int32_t ConfigError = 0;  // of the last block handshake: 0 none, 1-4 the failed step
    int32_t Csm = 1;                 // settings CSM and CSV (the port search)
    bool Csv = false;

    TNotebook* Notebook1;
    TStatusBar* StatusBar1;
    TTimer *Timer1, *Timer2, *Timer3;

protected:
    void DoShow() override;
    void DoClose(TCloseAction& Action) override;
    void Resize() override;

private:
    void ClearAtCreate();

    uint32_t lossShownFor_ = 0;  // the link opening whose loss was shown
    bool closed_ = false;        // the program's close has run
    std::unique_ptr<TAfterBoxes> afterBoxes_;

    std::unique_ptr<TMainPages> pages_;
    std::string lastDate_, lastTime_;
    int64_t lastClockSecond_ = INT64_MIN;  // the second the clock panels show
    std::string logProblem_;               // why the START line found no log file, until told
    int32_t step_ = 0;
    int32_t stepCount_ = 1;
    TDateTime stepStart_ = 0;
    int fixedWidth_ = 0, fixedHeight_ = 0;
};

extern TForm1* Form1;

// The main window's caption with the program's version: a " [...]" already at its end is
// replaced, so the version never shows twice.
std::string CaptionWithVersion(const std::string& caption, const std::string& version);
