#pragma once
// Page MEN: the menu of the control road. Each entry checks the door terminal, asks for the
// access code of its level, reads what the next page shows (with the step progress the main
// window counts and this page shows) and opens that page.

#include <cstdint>
#include <utility>
#include <vector>

#include "app/pages/main_page.h"
#include "link/wait_for.h"
#include "platform/forms/progress_bar.h"

class TPageMEN : public TMainPage {
public:
    static constexpr int Index = 7;
    explicit TPageMEN(TMainPages& pages);

    // The menu's entries, Button711..Button741.
    std::vector<TAppButton*> MenuButtons() const;
    void EnableEntries(bool enabled);
    // Whether the next entry reads the bus device list afresh (CheckEdit701).
    void RereadDeviceList(bool reread);
    // The step progress: shown at step 1 of `count` with text 1103, at `step`, or hidden.
    void ShowProgressStart(int32_t count);
    void ShowProgress(int32_t step, int32_t count);
    void HideProgress();

    void Button711Click();
    void Button712Click();
    void Button721Click();
    void Button722Click();
    void Button731Click();
    void Button732Click();
    void Button741Click();

    TLabel* Label71;
    TLabel* Label72;
    TAppButton* Button711;
    TAppButton* Button712;
    TAppButton* Button721;
    TAppButton* Button722;
    TAppButton* Button731;
    TAppButton* Button732;
    TAppButton* Button741;
    TAppCheckEdit* CheckEdit701;
    TLabel* Label701;
    TProgressBar* ProgressBar701;
    TLabel* Label702;
    TAppButton* Button742;

private:
    struct TEntry {
        const char* LogText;
        const char* CodeCaption;  // nullptr: no code asked
        int32_t Level;
        int32_t Steps;
        std::vector<std::pair<uint8_t, uint8_t>> Requests;  // record type and index
    };
    // Asks for the entry's access code and has the device judge it; true when the entry may
    // go on.
    bool AskAndCheckCode(const TEntry& entry);
    // Reads the entry's records one request at a time with the step progress (the device list
    // first when it is not valid or asked for): false when the entry ended on the way.
    bool ReadDeviceData(const TEntry& entry, bool information);
    // Runs the entry up to its page set-up; false when it ended on the way.
    bool RunEntry(const TEntry& entry);
    // How long the terminal settings are waited for, while the menu stays and the link is open.
    static constexpr uint64_t kTerminalSettingsMs = 10000;
};
