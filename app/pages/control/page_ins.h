#pragma once
// Page INS: the installation wizard, a notebook of its own steps 00-13: device detection
// (02), the KV boxes' jumpers (03), the closed door (04), unlocking (05), the release delays
// t1/t2 (06), the configuration run with the marks the device reports (07), the read-back
// (08), the closed door again (09), the emergency-button test (10), the confirmation (11) and
// the installation record code (12). Each device wait offers to give up after two minutes
// without progress; leaving the page (Esc, "&Abbruch") ends any wait.

#include <array>
#include <functional>

#include "app/config/install_jumpers.h"
#include "app/pages/main_page.h"
#include "link/device_wait.h"
#include "platform/forms/image.h"
#include "platform/forms/list_box.h"
#include "platform/forms/progress_bar.h"
#include "platform/forms/shape.h"

class TPageINS : public TMainPage {
public:
    static constexpr int Index = 12;
    explicit TPageINS(TMainPages& pages);

    // "&Abbruch" of every page of the wizard: leaves both wizards after asking, ending the
    // device's installation step unless the button is the one of page 01 (the step starts
    // after it).
    void Button11012Click(TObject* Sender);
    // This wizard's part in leaving: the device's installation step ends (when asked and one
    // is running) and the run's bar goes.
    void Leave(bool endInstallStep);
    // Shows the page at the wizard's first step.
    void StartWizard();
    // Back to the first step (Notebook11's page 01), where leaving the wizard puts it.
    void RewindWizard();
    // The link to the device is gone: both wizards are left for the start page, where the
    // technician chooses the port again, with an error box.
    void LinkLost();
    // Adds a line to the configuration run's list (page 07) and selects it; false, adding
    // nothing, while the list does not show.
    bool AddRunLine(const std::string& text);
    // One tick of the configuration run's bar while it shows: it fills once, in 80 s.
    void TickRunBar();

    void Button11011Click();  // detection
    void Button11021Click();  // jumper check
    void Button11031Click();
    void Button11041Click();
    void Button11051Click();  // unlock, t1/t2 shown
    void Button11061Click();  // configuration run and read-back
    void Button11081Click();
    void Button11091Click();  // emergency-button test
    void Button11101Click();
    void CheckEdit11111Change();
    void Button11111Click();  // installation record code
    void Button11123Click();  // the code to the clipboard
    void Button11121Click();
    void Button11131Click();  // to the state page

    // The picture of box `box` (1-8), jumper `jumper` (1-3) on page 03 after its two values.
    void ShowInstallImage(int box, int jumper, bool a, bool b);
    // The label of box `box` (1-8) on page 03.
    TLabel* InstallSlotLabel(int box) const;
    // The image of box `box` (1-8), jumper `jumper` (1-3), Image11011..Image11083.
    TImage* InstallImage(int box, int jumper) const;

    TNotebook* Notebook11;
    TAppButton* Button11011;
    TAppButton* Button11012;
    // Page 02: Shape11001.., Label11001.. are the slot display's second bank.
    TAppButton* Button11021;
    TAppButton* Button11022;
    // Page 03.
    std::array<TImage*, 3> TemplateImages{};  // Image11001 set, Image11002 open, Image11003 mixed
    TLabel* Label11032;
    TAppButton* Button11031;
    TAppButton* Button11041;
    TShape* Shape11051;
    TLabel* Label11051;
    TAppButton* Button11051;
    TAppEdit* Edit11061;
    TAppEdit* Edit11062;
    TAppButton* Button11061;
    // Page 07.
    std::array<TImage*, 5> StepImages{};  // Image1101..Image1104 at 1..4
    std::array<TLabel*, 5> StepLabels{};  // Label1101..Label1104 at 1..4
    TImage* Image1102;
    TLabel* Label1102;
    TImage* Image1103;
    TLabel* Label1103;
    TImage* Image1104;
    TLabel* Label1104;
    TListBox* ListBox11;
    TProgressBar* ProgressBar11;
    TLabel* Label11081;
    TLabel* Label11082;
    TAppButton* Button11081;
    TAppButton* Button11091;
    // Page 10: Shape11101.., Label11101.. are the slot display's third bank.
    TLabel* Label11110;
    TShape* Shape11110;
    TLabel* Label11111;
    TAppButton* Button11101;
    TAppCheckEdit* CheckEdit11111;
    TAppButton* Button11111;
    TLabel* Label11121;
    TAppEdit* Edit11121;
    TAppButton* Button11123;
    TAppButton* Button11121;
    TAppButton* Button11131;

private:
    // A title and the row "&Weiter", "&Abbruch" on step `page`; the buttons are named
    // Button110<page>1 and Button110<page>2.
    TAppButton* StepPage(int page, const std::function<void()>& next, TAppButton** abort = nullptr);
    void BuildDetection();
    void BuildJumpers();
    void BuildDoorPages();
    void BuildDelays();
    void BuildConfigurationRun();
    void BuildButtonTest();
    void BuildRecordCode();

    bool Shown(int page) const;
    // True while the wizard may go on: the page is shown, the program is not ending and the
    // link is up (a lost link leaves the wizard, see LinkLost).
    bool Continues();
    // Queues a request to the device, then pauses `ms` (the device takes requests one poll
    // at a time); false, with nothing queued, when the wizard cannot go on. Without `wait`
    // nobody waits for it: the device must take it in time.
    bool Send(const std::string& data, uint32_t ms = 200);
    bool Send(TDeviceWait& wait, const std::string& data, TAnswer answer, uint32_t ms = 200);
    // Dispatches messages while `waiting` holds, as the wait for the requests of `wait`
    // (withdrawn when it ends unanswered). A device wait offers, after two minutes without
    // progress, to give up; false when the technician gave up (the wizard is left) or the
    // program is ending.
    bool Await(TDeviceWait& wait, const std::function<bool()>& waiting, bool deviceWait = true);
    bool Await(const std::function<bool()>& waiting, bool deviceWait = true);
    // Queues the request and waits while `stay` holds and `answer` has not come.
    bool Request(TAnswer answer, const std::string& data, const std::function<bool()>& stay);
    // The door-open bit of the last door state.
    bool DoorOpen() const;
    // Pages 04 and 09: waits for the door to be closed before "&Weiter" may be pressed.
    void AwaitDoorClosed(int page, TAppButton* next);
    void RunConfiguration(int32_t t1, int32_t t2);
    void ButtonTest();
    // Checks one release delay; false (after the error box) when it is refused.
    bool ReadDelay(TAppEdit* edit, int32_t limit, int text, int32_t& value);

    TJumperCheck jumpers_;
    std::array<TLabel*, 9> boxLabels_{};                 // 1..8
    std::array<std::array<TImage*, 4>, 9> boxImages_{};  // [box 1..8][jumper 1..3]
};
