#pragma once
// Page MEN: the menu of the control road, with the step progress of the long device
// dialogues (the progress itself is the main window's).

#include <vector>

#include "app/pages/main_page.h"
#include "platform/forms/progress_bar.h"

class TPageMEN : public TMainPage {
public:
    static constexpr int Index = 7;
    explicit TPageMEN(TForm1& form);

    // The menu's entries, Button711..Button741.
    std::vector<TAppButton*> MenuButtons() const;

    TLabel* Label71;
    TAppButton* Button711;
    TAppButton* Button712;
    TAppButton* Button721;
    TAppButton* Button722;
    TAppButton* Button731;
    TAppButton* Button732;
    TAppButton* Button741;
    TAppCheckEdit* CheckEdit701;
    TLabel* Label701;
    TProgressBar* ProgressBar701;
    TLabel* Label702;
    TAppButton* Button742;
};
