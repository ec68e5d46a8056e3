#pragma once
// Page PWX: the pass word in front of the test page.

#include "app/pages/main_page.h"
#include "platform/forms/mask_edit.h"

class TPagePWX : public TMainPage {
public:
    static constexpr int Index = 19;
    explicit TPagePWX(TMainPages& pages);

    void Button191Click();
    void Button192Click();

    TLabel* Label1901;
    TMaskEdit* MaskEdit191;
    TAppButton* Button191;
    TAppButton* Button192;
};
