#pragma once
// Page INS: the installation wizard, a notebook of its own steps. Step 7 configures the
// devices: the steps the device reports done (Label1102..Label1104 with their ticks
// Image1102..Image1104), the protocol list and a progress bar; step 5 shows the lock lamp.

#include "app/pages/main_page.h"
#include "platform/forms/image.h"
#include "platform/forms/list_box.h"
#include "platform/forms/progress_bar.h"
#include "platform/forms/shape.h"

class TPageINS : public TMainPage {
public:
    static constexpr int Index = 12;
    explicit TPageINS(TForm1& form);

    // "&Abbruch" of every wizard page, this wizard's and the maintenance wizard's. Asks
    // first; on yes ends the device's installation step when one is running and the button
    // is not the one of page 01 (the step starts there), then returns to the menu with both
    // wizard notebooks on their first step.
    void Button11012Click(TObject* Sender);
    // The return to the menu without the question, for a wait the technician gave up.
    void LeaveWizard(bool endInstallStep);

    TNotebook* Notebook11;
    TAppButton* Button11011;
    TAppButton* Button11012;
    TImage* Image1102;
    TLabel* Label1102;
    TImage* Image1103;
    TLabel* Label1103;
    TImage* Image1104;
    TLabel* Label1104;
    TListBox* ListBox11;
    TProgressBar* ProgressBar11;
    TShape* Shape11051;
    TLabel* Label11051;
};
