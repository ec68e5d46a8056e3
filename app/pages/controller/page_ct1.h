#pragma once
// Page CT1: the port of the door-controller pages.

#include "app/pages/main_page.h"

class TPageCT1 : public TMainPage {
public:
    static constexpr int Index = 24;
    explicit TPageCT1(TMainPages& pages);

    int32_t CtcPortNumber();
    // "Start": the text channel's window first when PXTSHOW asks for it, then the first read.
    void Button2401Click();

    TLabel* Label191;
    TNotebook* Notebook2401;
    TAppEdit* Edit2401;
    TAppImageEdit* ImageEdit2401;
    TLabel* Label192;
    TAppButton* Button2401;
    TAppButton* Button2402;
};
