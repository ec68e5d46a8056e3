#pragma once
// Page EIG: the device settings of the door terminal, its input and output function.

#include "app/pages/main_page.h"
#include "platform/forms/progress_bar.h"

class TPageEIG : public TMainPage {
public:
    static constexpr int Index = 15;
    explicit TPageEIG(TMainPages& pages);

    // The items of the input and output function lists.
    void FillOptionLists();
    // Fills the page from the terminal settings and the door terminal's slot.
    void ShowTerminalSettings();
    void ImageEdit1501Change();
    void Button1501Click();
    // While the page waits for the device: the buttons disabled, the status line and its bar.
    void ShowBusy(bool busy);
    // One tick of the status line's bar while it shows.
    void TickBusyBar();

    TLabel* Label1500;
    TLabel* Label1505;
    TLabel* Label1503;  // the door terminal's bus address
    TLabel* Label1506;
    TLabel* Label1504;  // its serial number
    TLabel* Label1507;
    TAppImageEdit* ImageEdit1501;  // input function
    TAppCheckEdit* CheckEdit1501;  // "Dauer Auf" outside
    TAppCheckEdit* CheckEdit1502;  // "Dauer Auf" inside
    TLabel* Label1508;
    TAppImageEdit* ImageEdit1502;  // output function
    TLabel* Label1501;
    TProgressBar* ProgressBar1501;  // runs while the page waits for the device
    TAppButton* Button1501;
    TAppButton* Button1502;
};
