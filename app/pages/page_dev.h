#pragma once
// Page DEV: the device overview (its grid comes with the device-list pages).

#include "app/pages/main_page.h"

class TPageDEV : public TMainPage {
public:
    static constexpr int Index = 16;
    explicit TPageDEV(TForm1& form);

    TLabel* Label1601;
};
