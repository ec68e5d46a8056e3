#pragma once
// Page SEL, the start page: the choice between the control road and the configuration road.

#include "app/pages/main_page.h"

class TPageSEL : public TMainPage {
public:
    static constexpr int Index = 0;
    explicit TPageSEL(TForm1& form);

    void Button001Click();
    void Button002Click();

    TLabel* Label001;
    TAppButton* Button001;
    TAppButton* Button002;
    TAppButton* Button003;  // hidden at creation, like Button004
    TAppButton* Button004;
};
