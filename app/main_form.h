#pragma once
// The main window: the notebook Notebook1 of 26 pages (one class each, see TMainPages), its
// status bar with date, time and receive ticker, the 100 ms timer, the step progress of long
// device dialogues, the start work of its first show (settings, function list, language,
// caption, command line) and the orderly end. It owns the device session and hands it to its
// pages, and shows what the session reports; the link shows on it through TMainLinkView.

#include <cstdint>
#include <memory>
#include <string>

#include "app/device_session.h"
#include "app/session_view.h"
#include "app/step_progress.h"
#include "platform/forms/form.h"
#include "platform/forms/notebook.h"
#include "platform/forms/status_bar.h"
#include "platform/forms/timer.h"
#include "platform/rtl/date_time.h"

class TAfterBoxes;
struct TMainPages;

class TForm1 : public TForm, public TSessionView, public TStepProgress {
public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;
    std::string ClassName() const override { return "TForm1"; }

    TMainPages& Pages() { return *pages_; }
    TDeviceSession& Session() { return session_; }

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

    // TStepProgress: the step progress of the long device dialogues, on the menu page.
    void ProgressStart(int32_t steps) override;
    void ProgressStep() override;
    void ProgressAddSteps(int32_t steps) override;
    void ProgressHide() override;
    bool CheckStepTimeout() override;
    void RestartStepTime() override;

    // TSessionView (link_loss.cpp).
    int ShownPage() override;
    void ShowLinkLost() override;
    void ShowDeviceListNotice(const std::string& text) override;
    void DeviceListRead() override;

    // From just before a code is asked until its check has ended.
    bool CodeEntryActive = false;

    // Fills the port lists of the three roads with the adapters' ports found: at first show,
    // and each time a port page comes up (adapters come and go while the program runs).
    void SearchSerialPorts();
    void PortPageShown();

    bool FirstShowPending = true, TestPageUnlocked = false, InstallActive = false, ReadOdActive = false;
    int32_t ConfigError = 0;  // of the last block handshake: 0 none, 1-4 the failed step
    int32_t Csm = 1;  // settings CSM and CSV (the port search)
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

    bool closed_ = false;  // the program's close has run
    std::unique_ptr<TAfterBoxes> afterBoxes_;

    TDeviceSession session_{*this, *this};
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
