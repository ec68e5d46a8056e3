#pragma once
// Page NET: the network information (its list comes with the device-list pages).

#include "app/pages/main_page.h"
#include <string>

class TPageNET : public TMainPage {
public:
    static constexpr int Index = 17;
    explicit TPageNET(TForm1& form);

    // The "/NETINFO" start job (comes with the device-list pages).
    void ShowNetInfo(const std::string& argument);

    TLabel* Label1701;
};
