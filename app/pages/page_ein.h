#pragma once
// Page EIN: the system settings (their controls come with the settings pages).

#include "app/pages/main_page.h"
#include "platform/forms/progress_bar.h"

class TPageEIN : public TMainPage {
public:
    static constexpr int Index = 10;
    explicit TPageEIN(TForm1& form);

    TLabel* Label1001;
    TProgressBar* ProgressBar1001;  // runs while the page waits for the device
};
