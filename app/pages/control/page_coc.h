#pragma once
// Page COC: the port of the control road, and its start.

#include "app/pages/main_page.h"

class TPageCOC : public TMainPage {
public:
    static constexpr int Index = 6;
    explicit TPageCOC(TMainPages& pages);

    int32_t CocPortNumber();
    // Opens the link on the control road's port and shows the menu; the link stays open.
    void Button601Click();

    TLabel* Label61;
    TNotebook* Notebook3;
    TAppEdit* Edit601;
    TAppImageEdit* ImageEdit601;
    TLabel* Label602;
    TAppButton* Button601;
    TAppButton* Button603;
};
