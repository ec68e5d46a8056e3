#pragma once
// Page WAW: the maintenance wizard's steps, a notebook of its own.

#include "app/pages/main_page.h"

class TPageWAW : public TMainPage {
public:
    static constexpr int Index = 14;
    explicit TPageWAW(TForm1& form);

    TNotebook* Notebook21;
    TLabel* Label190;
};
