#pragma once
// Page DEV: the device overview, the bus devices that are their own host, as the last read
// of the device list left them, in the table Mem1 shown through Data1.

#include "app/pages/main_page.h"
#include "platform/dbctrls/db_grid.h"

class TvxMemData;

class TPageDEV : public TMainPage {
public:
    static constexpr int Index = 16;
    explicit TPageDEV(TMainPages& pages);

    // Fills Mem1 from NodeTable and shows the page (the state page checked the table).
    void ShowOverview();
    // Back to the state page; the table is emptied.
    void Button161Click();

    TLabel* Label184;
    TvxMemData* Mem1;
    TDataSource* Data1;
    TDBGrid* DBGrid1;
    TAppButton* Button161;
};
