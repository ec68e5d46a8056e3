#pragma once
// Page SVC: the "/SAVEIOCFG" start job.

#include "app/pages/main_page.h"

class TPageSVC : public TMainPage {
public:
    static constexpr int Index = 23;
    explicit TPageSVC(TMainPages& pages);

    // The job itself comes with the configuration file jobs.
    void SaveIoConfigFile();
    void Button231Click();

    TLabel* Label230;
    TAppButton* Button231;
};
