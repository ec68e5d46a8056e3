#pragma once
// Page WAR: the maintenance wizard (its steps come with the wizard).

#include "app/pages/main_page.h"
#include "platform/forms/shape.h"

class TPageWAR : public TMainPage {
public:
    static constexpr int Index = 13;
    explicit TPageWAR(TForm1& form);

    // The eight box lamps Shape191..Shape198 and their labels LabelS91..LabelS98 (n = 1..8);
    // null for another n.
    TShape* StateShape(int n);
    TLabel* StateLabel(int n);

    TLabel* Label1301;
};
