#pragma once
// Page EIN: the system settings, the door times of the door terminal. "Erweitert" reads the
// locking word of every KV box for page EI2.

#include <array>
#include <string>

#include "app/pages/main_page.h"
#include "platform/forms/progress_bar.h"

class TPageEIN : public TMainPage {
public:
    static constexpr int Index = 10;
    explicit TPageEIN(TMainPages& pages);

    // Fills the door times from the door terminal's slot parameters.
    void ShowDoorTimes();
    void Button1001Click();
    // Back to the menu with all entries enabled.
    void Button1002Click();
    void Button1003Click();
    void EnableButtons(bool enabled);
    // "Erweitert" needs the bus device list.
    void EnableExtended(bool enabled);
    // One tick of the status line's bar while it shows.
    void TickBusyBar();
    // Shows (or hides) the status line and its bar with `text`.
    void ShowBusy(bool shown, const std::string& text = "");

    TLabel* Label1000;
    TAppEdit *Edit1011, *Edit1012, *Edit1013, *Edit1021, *Edit1022, *Edit1031, *Edit1032, *Edit1041, *Edit1042;
    TAppButton* Button1001;
    TAppButton* Button1002;
    TAppButton* Button1003;
    TLabel* Label1001;
    TProgressBar* ProgressBar1001;  // runs while the page waits for the device

private:
    struct TDoorTime {
        TAppEdit* Edit;
        int Param;
        std::string Caption;
    };
    // The seven door times the page writes, in their order on the wire.
    std::array<TDoorTime, 7> Editable() const;
};
