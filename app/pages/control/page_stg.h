#pragma once
// Page STG: the state of the door system: lock and door lamps, the pending and the
// unacknowledged alarms, the bus state, the twelve device slots with their errors
// (Shape801.., Label801.., Label821..: addressed by slot number, see TDeviceSlotDisplay),
// the system's information text. Its door commands take effect at the device's next poll.

#include <string>

#include "app/pages/main_page.h"
#include "platform/forms/list_box.h"
#include "platform/forms/shape.h"

class TPageSTG : public TMainPage {
public:
    static constexpr int Index = 8;
    explicit TPageSTG(TMainPages& pages);

    // The door commands (the maintenance wizard offers them too).
    void Button81Click();
    void Button82Click();
    void Button83Click();
    void Button84Click();
    void Button85Click();
    // Back to the menu with all seven entries enabled.
    void Button80Click();
    void Button86Click();
    // Offers or hides the five door commands.
    void ShowCommands(bool shown);
    // Before the page is shown: the maintenance date of the device's last records, and the
    // door commands offered or not.
    void Prepare(bool withCommands);
    // The status line under the date (empty: none).
    void ShowNotice(const std::string& text);

    TLabel* Label80;
    TShape* Shape81;
    TLabel* Label81;
    TShape* Shape82;
    TLabel* Label82;
    TListBox* ListBox81;  // pending alarms
    TListBox* ListBox82;  // alarms to acknowledge
    TListBox* ListBox83;  // bus state
    TLabel* Label800;
    TLabel* Label189;
    TAppButton* Button81;
    TAppButton* Button82;
    TAppButton* Button83;
    TAppButton* Button84;
    TAppButton* Button85;
    TAppButton* Button86;
    TAppButton* Button80;
};
