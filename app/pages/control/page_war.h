#pragma once
// Page WAR: the door system's next maintenance date, changed here or at the end of the
// maintenance wizard (page WAW), which starts from here.

#include "app/pages/main_page.h"
#include "platform/rtl/date_time.h"

class TPageWAR : public TMainPage {
public:
    static constexpr int Index = 13;
    explicit TPageWAR(TMainPages& pages);

    // The date editor offers `date` for change (NullDate: empty).
    void ShowMaintenanceDate(TDateTime date);

    // Writes the date of DateEdit12001 after asking.
    void Button12001Click();
    // Starts the wizard: with the counter reset when CMRRM is on.
    void Button12002Click();

    TLabel* Label1301;
    TLabel* Label1302;
    TAppDateEdit* DateEdit12001;
    TAppButton* Button12001;
    TAppButton* Button12002;
    TAppButton* Button12000;
};
