#pragma once
// Page CT2: the door controller's firmware, clock and network over the text channel. Each
// action opens the channel on the controller port (page CT1), sends its commands and closes
// the channel again, whatever happened on the way. A command that sets something (clock,
// network, factory reset) goes only to a controller that has just answered in the same
// opening; otherwise the page shows that it does not answer and sends nothing.

#include <string>

#include "app/pages/main_page.h"
#include "platform/forms/check_box.h"
#include "platform/forms/mask_edit.h"

class TCustomEdit;

class TPageCT2 : public TMainPage {
public:
    static constexpr int Index = 25;
    explicit TPageCT2(TMainPages& pages);

    // Reads firmware, clock and network into the page; the four action buttons come back
    // only when all four commands succeeded.
    void ReadMOLT();
    void SetMOLTClock();
    void SetMOLTNetwork();
    void ResetMOLTFactory();
    // True when `text` is no acceptable address (the user has been told and the edit holds
    // the focus): four decimal parts 0..255 separated by "."; empty passes when not required.
    bool CheckIpText(bool required, const std::string& text, TCustomEdit* edit);

    void Button2500Click() { ReadMOLT(); }
    void Button2501Click();
    void Button2502Click() { SetMOLTClock(); }
    void Button2503Click() { SetMOLTNetwork(); }
    void Button2504Click();

    TLabel* Label193;
    TLabel *Label2511, *Label2512, *Label2513;                       // version (never filled), FW CTRL, FW STMX
    TMaskEdit* MaskEdit2521;                                         // date, "YYYY-MM-DD"
    TMaskEdit* MaskEdit2522;                                         // time, "HH:NN:SS"
    TCheckBox* CheckBox2523;                                         // take the PC's time
    TLabel* Label2531;                                               // MAC address
    TAppEdit *Edit2532, *Edit2533, *Edit2534, *Edit2535, *Edit2536;  // IP, mask, gateway, DNS, NTP
    TAppButton *Button2500, *Button2502, *Button2503, *Button2504, *Button2501;

private:
    bool ReadAll();
    void EnableActions(bool on);
    // Up to 20 times: open, ask "scxUID", close, wait, until the controller answers again.
    // Polls the restarting controller; false when the page was left or the program ends.
    bool PollRestart(int32_t port);
    // A pause on this page: false when it ended early (page left, program end).
    bool Pause(uint32_t ms);
    // The moment entered in the two mask edits; else the edit to correct: an entry with an
    // unfilled place, or a date that is no real date (a full time that is none means now).
    TMaskEdit* EnteredMoment(TDateTime& moment);
    void RefuseEntry(TCustomEdit* edit);
};

// The controller's UTC date "YYYY-MM-DD" and time "HH:NN:SS" in local time; both stay as
// they came when either is no real moment.
void UtcToLocalText(std::string& date, std::string& time);
