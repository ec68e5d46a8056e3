#pragma once
// Page COM: the port of the configuration road, and the start of reading the configuration.

#include "app/pages/main_page.h"
#include "platform/forms/list_box.h"

class TPageCOM : public TMainPage {
public:
    static constexpr int Index = 1;
    explicit TPageCOM(TMainPages& pages);

    int32_t ConfigPortNumber();
    // The reading road (Button101, and again after the writing road): opens the link, checks
    // the device, reads both blocks and shows CFG.
    void ReadConfiguration();
    void Button102Click();

    TLabel* Label7;
    TNotebook* Notebook2;
    TAppEdit* Edit101;
    TAppImageEdit* ImageEdit101;
    TLabel* Label101;
    TListBox* ListBox101;  // the port search's value names and port names
    TListBox* ListBox102;
    TAppButton* Button101;
    TAppButton* Button102;
    TAppButton* Button103;
};
