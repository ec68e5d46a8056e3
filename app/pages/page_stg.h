#pragma once
// Page STG: the state of the door system: lock and door lamps, the pending and the
// unacknowledged alarms, the bus state, the twelve device slots with their errors
// (Shape801.., Label801.., Label821..: addressed by slot number, see TDeviceSlotDisplay),
// the system's information text.

#include "app/pages/main_page.h"
#include "platform/forms/list_box.h"
#include "platform/forms/shape.h"

class TPageSTG : public TMainPage {
public:
    static constexpr int Index = 8;
    explicit TPageSTG(TForm1& form);

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
};
