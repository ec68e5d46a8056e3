#pragma once
// The main window: the notebook Notebook1 of 26 pages (one class each, see TMainPages), its
// status bar with date, time and receive ticker, the 100 ms timer, the step progress of long
// device dialogues, the start work of its first show (settings, function list, language,
// caption, command line) and the orderly end. It owns the device session and hands it to its
// pages, and shows what the session reports; the link shows on it through TMainLinkView.

#include <cstdint>
#include <memory>
#include <string>

#include "app/common/step_progress.h"
#include "app/device/device_session.h"
#include "platform/forms/form.h"
#include "platform/forms/notebook.h"
#include "platform/forms/status_bar.h"
#include "platform/forms/timer.h"

class TAfterBoxes;
struct TMainPages;

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;
    std::string ClassName() const override { return "TForm1"; }

    TMainPages& Pages() { return *pages_; }
    TDeviceSession& Session() { return *session_; }
    TStepProgress& Progress() { return progress_; }

    // Event handlers; the receive ticker, called by the link.
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormResize();
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void FormKeyPress(char32_t& Key);
    void StatusTick();
    // The device went away (the session's OnLinkLost, link_loss.cpp).
    void ShowLinkLost();

    // Fills the port lists of the three roads with the adapters' ports found: at first show,
    // and each time a port page comes up (adapters come and go while the program runs).
    void SearchSerialPorts();
    void PortPageShown();

    bool FirstShowPending = true, TestPageUnlocked = false;
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

    TStepProgress progress_;
    std::unique_ptr<TDeviceSession> session_;
    std::unique_ptr<TMainPages> pages_;
    std::string lastDate_, lastTime_;
    int64_t lastClockSecond_ = INT64_MIN;  // the second the clock panels show
    std::string logProblem_;               // why the START line found no log file, until told
    std::string settingsProblem_;          // why TOVAK.INI read as empty, until told
    int fixedWidth_ = 0, fixedHeight_ = 0;
};

extern TForm1* Form1;

// The main window's caption with the program's version: a " [...]" already at its end is
// replaced, so the version never shows twice.
std::string CaptionWithVersion(const std::string& caption, const std::string& version);
