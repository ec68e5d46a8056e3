#pragma once
// Page BEN: the user administration, the change of the three access codes.

#include "app/pages/main_page.h"

class TPageBEN : public TMainPage {
public:
    static constexpr int Index = 9;
    explicit TPageBEN(TMainPages& pages);

    void Button91Click();
    void Button92Click();
    void Button93Click();

    TLabel* Label91;
    TLabel* Label92;
    TAppButton* Button91;
    TAppButton* Button92;
    TAppButton* Button93;
    TAppButton* Button90;
};
