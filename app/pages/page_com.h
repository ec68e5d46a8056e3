#pragma once
// Page COM: the port of the configuration road, and the start of reading the configuration.
// Button103Click is the quit that every "Abbruch" of the roads and the menu shares.

#include "app/pages/main_page.h"
#include "platform/forms/list_box.h"

class TPageCOM : public TMainPage {
public:
    static constexpr int Index = 1;
    explicit TPageCOM(TForm1& form);

    int32_t ConfigPortNumber();
    // Reading road: opens the link, checks the device, reads both blocks and shows CFG.
    void Button101Click();
    void Button102Click();
    void Button103Click();

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
