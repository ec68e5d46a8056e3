#pragma once
// Page EIG: the device settings of the door terminal.

#include "app/pages/main_page.h"
#include "platform/forms/progress_bar.h"

class TPageEIG : public TMainPage {
public:
    static constexpr int Index = 15;
    explicit TPageEIG(TForm1& form);

    // The items of the input and output function lists.
    void FillOptionLists();

    TLabel* Label1500;
    TAppImageEdit* ImageEdit1501;  // input function
    TAppImageEdit* ImageEdit1502;  // output function
    TProgressBar* ProgressBar1501;  // runs while the page waits for the device
};
