#pragma once
// Page ROD: the object-dictionary readings (they come with the device-list pages).

#include "app/pages/main_page.h"
#include <string>

class TPageROD : public TMainPage {
public:
    static constexpr int Index = 18;
    explicit TPageROD(TForm1& form);

    // The "/READOD" start job (comes with the device-list pages).
    void StartReadOD(const std::string& argument);

    TLabel* Label1801;
};
