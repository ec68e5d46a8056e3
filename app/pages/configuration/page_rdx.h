#pragma once
// Page RDX: reading the configuration, with a lamp for each block.

#include "app/pages/main_page.h"
#include "platform/forms/shape.h"

class TPageRDX : public TMainPage {
public:
    static constexpr int Index = 2;
    explicit TPageRDX(TMainPages& pages);

    // Reads the input block, then (only after success) the output block; ConfigError tells.
    void ReadConfigHandshake();
    void ShowButtons(bool shown);
    // Both lamps back to idle before a read.
    void ResetLamps();
    void Button201Click();
    void Button202Click();

    TLabel* Label8;
    TShape* Shape201;
    TLabel* Label9;
    TShape* Shape202;
    TLabel* Label10;
    TAppButton* Button201;
    TAppButton* Button202;
    TAppButton* Button203;
};
