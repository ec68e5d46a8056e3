#pragma once
// Page LDC: the "/LOADIOCFG" start job: the file, the connection and the two blocks, each
// with its lamp.

#include <string>

#include "app/pages/main_page.h"
#include "platform/forms/shape.h"

class TPageLDC : public TMainPage {
public:
    static constexpr int Index = 22;
    explicit TPageLDC(TMainPages& pages);

    void LoadIoConfigFile(const std::string& fileName);
    void Button221Click();
    // The device went while the job held its link open, waiting for "Abbruch": the job failed.
    void DeviceLost();

    TLabel* Label220;
    TShape* Shape221;  // the file
    TLabel* Label221;
    TShape* Shape222;  // the connection
    TLabel* Label222;
    TShape* Shape223;
    TLabel* Label223;
    TShape* Shape224;
    TLabel* Label224;
    TAppButton* Button221;
};
