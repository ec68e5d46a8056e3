#pragma once
// Page WAW: the maintenance wizard, a notebook of its own steps. With CMRRM on, the
// emergency-button counters of the boxes are reset first (10-RRM1) and their state shown
// (11-RRM2); then eight pages of checks (01-08) and the next maintenance date (09).
// Pages 01, 02 and 05 offer the door commands of page STG.

#include <array>

#include "app/pages/main_page.h"
#include "link/device_records.h"
#include "platform/forms/shape.h"
#include "platform/rtl/date_time.h"

class TPageWAW : public TMainPage {
public:
    static constexpr int Index = 14;
    static constexpr int kCounterReset = 10;  // Notebook21's pages 10-RRM1 and 11-RRM2
    static constexpr int kCounterState = 11;
    explicit TPageWAW(TMainPages& pages);

    // Shows the page at the wizard's first step: the counter reset when CMRRM is on, else
    // the first check.
    void StartWizard();
    // Back to the first check (Notebook21's page 01), where leaving the wizard puts it.
    void RewindWizard();
    // The date editor of the last step offers `date` for change (NullDate: empty).
    void ShowMaintenanceDate(TDateTime date);
    // "&Weiter" of pages 01-08.
    void Button12011Click();
    // Releases the door, shows the box lamps and waits for the counter record.
    void Button120A1Click();
    void Button120B1Click();
    // Back to the start of the wizard.
    void Button120B3Click();
    // Writes the date of DateEdit12091 and returns to WAR.
    void Button12091Click();

    // The eight box lamps Shape191..Shape198 and their labels LabelS91..LabelS98 (n = 1..8);
    // null for another n.
    TShape* StateShape(int n) const;
    TLabel* StateLabel(int n) const;

    int32_t Step = 1;
    int32_t StepTotal = 9;

    TLabel* Label1401;
    TLabel* Label1402;
    TLabel* Label190;
    TNotebook* Notebook21;
    std::array<TAppButton*, 9> WeiterButtons{};  // [1..8]: Button12011..Button12081
    // [1..11]: Button12012..Button12092, Button120A2, Button120B2
    std::array<TAppButton*, 12> AbbruchButtons{};
    TAppButton* vxButton1;
    TAppButton* vxButton2;  // page 01: Freigabe, Verriegeln
    TAppButton* vxButton3;
    TAppButton* vxButton4;  // page 02: Freigabe, Verriegeln
    TAppButton* vxButton5;
    TAppButton* vxButton6;  // page 05: Quittieren, Reset, Verriegeln
    TAppButton* vxButton7;
    TAppButton* vxButton8;
    TAppButton* Button120A1;
    TAppButton* Button120B1;
    TAppButton* Button120B3;
    TAppDateEdit* DateEdit12091;
    TAppButton* Button12091;

private:
    void ShowStep();
    void NextPage();
    bool ShowsCounterState() const;
    // Counter lamps before the record: white, and "--" in silver for the boxes not there.
    void PrepareCounterLamps(int boxes);
    void ShowCounters();

    std::array<TShape*, 9> shapes_{};  // 1..8
    std::array<TLabel*, 9> labels_{};
};

// The boxes of the counter reset: own nodes with product code 6 among the first NodeCount
// entries of the device list, 0..8; none while the list is not valid.
int MaintenanceBoxCount(const TNodeTable& table);
