#pragma once
// Page WRX: writing the configuration, with a lamp for each block; "Wiederholen" writes again.

#include "app/pages/main_page.h"
#include "platform/forms/shape.h"

class TPageWRX : public TMainPage {
public:
    static constexpr int Index = 4;
    explicit TPageWRX(TMainPages& pages);

    // Writes the input block, then (only after success) the output block; ConfigError tells.
    void WriteConfigHandshake();
    // Both lamps back to idle before a write.
    void ResetLamps();
    void ShowButtons(bool shown);
    void Button401Click();

    TLabel* Label28;
    TShape* Shape401;
    TLabel* Label29;
    TShape* Shape402;
    TLabel* Label30;
    TAppButton* Button401;
    TAppButton* Button402;
};
