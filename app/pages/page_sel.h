#pragma once
// Page SEL, the start page: the choice between the control road and the configuration road.
// Two empty pictures in the page's bottom corners hide the writers of the
// control-text catalogue file (double click on Image2) and the function-list file (Image3).

#include "app/pages/main_page.h"
#include "platform/forms/image.h"

class TPageSEL : public TMainPage {
public:
    static constexpr int Index = 0;
    explicit TPageSEL(TMainPages& pages);

    void Button001Click();
    void Button002Click();
    void Button003Click();
    void Image2DblClick();
    void Image3DblClick();

    TLabel* Label001;
    TAppButton* Button001;
    TAppButton* Button002;
    TAppButton* Button003;  // hidden at creation, like Button004
    TAppButton* Button004;
    TImage* Image2;
    TImage* Image3;
};
