#pragma once
// Page CT2: the door controller's settings (they come with the door-controller pages).

#include "app/pages/main_page.h"

class TPageCT2 : public TMainPage {
public:
    static constexpr int Index = 25;
    explicit TPageCT2(TForm1& form);

    TLabel* Label193;
};
