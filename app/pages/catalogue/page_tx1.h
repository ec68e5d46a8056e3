#pragma once
// Page TX1: the first half of the text catalogue, never shown. Its labels
// "LabelX" + identifier are found by identifier (GetCompText).

#include "app/pages/main_page.h"

class TPageTX1 : public TMainPage {
public:
    static constexpr int Index = 20;
    explicit TPageTX1(TMainPages& pages);
};
