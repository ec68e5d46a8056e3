#pragma once
// Page BEN: the user administration (its controls come with the menu's pages).

#include "app/pages/main_page.h"

class TPageBEN : public TMainPage {
public:
    static constexpr int Index = 9;
    explicit TPageBEN(TForm1& form);

    TLabel* Label91;
};
