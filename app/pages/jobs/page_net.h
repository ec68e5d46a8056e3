#pragma once
// Page NET: the "/NETINFO,port,mode" start job. It reads the bus device list through the
// door terminal (writing the network-information file when that is switched on) and then
// opens the file with the desktop's opener (FILE), or reads it back into the network list
// Mem2, shown through Data2 (SHOW), or just ends.

#include <string>

#include "app/pages/main_page.h"
#include "grid/core/vx_db_grid.h"
#include "platform/forms/image.h"

class TvxMemData;

class TPageNET : public TMainPage {
public:
    static constexpr int Index = 17;
    explicit TPageNET(TMainPages& pages);

    void ShowNetInfo(const std::string& argument);
    // Ends the program.
    void Button1701Click();
    // The device is lost (told by the main window before the loss shows): a job that opens
    // its link or reads the list has failed, status 3 at once.
    void DeviceLost();

    TLabel* Label186;
    TImage* Image1701;
    TLabel* Label1701;
    TvxMemData* Mem2;
    TDataSource* Data2;
    TvxDBGrid* DBGrid17;
    TAppButton* Button1701;

private:
    void ShowReading(bool reading);

    bool running_ = false;  // the job opens its link or reads the device list
};
