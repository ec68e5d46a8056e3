#pragma once
// Page TX2: the second half of the text catalogue, never shown. Its labels
// "LabelX" + identifier are found by identifier (GetCompText).

#include "app/pages/main_page.h"

class TPageTX2 : public TMainPage {
public:
    static constexpr int Index = 21;
    explicit TPageTX2(TMainPages& pages);
};
