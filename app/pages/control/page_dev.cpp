#include "app/pages/control/page_dev.h"

#include "app/config/device_tables.h"
#include "app/pages/control/page_stg.h"
#include "app/pages/main_pages.h"

TPageDEV::TPageDEV(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label184 = b_.Label(p, "Label184", "Geräte-Übersicht", 16, 16, true);
    Mem1 = MakeDeviceOverviewTable(&Window());
    Data1 = MakeTableSource(&Window(), "Data1", Mem1);
    DBGrid1 = b_.Make<TDBGrid>(p, "DBGrid1", 16, 40, kPageWidth - 32, kButtonTop - 48);
    DBGrid1->SetDataSource(Data1);
    Button161 = b_.ButtonRow(p, {{"Button161", "&Zurück"}})[0];
    Button161->OnClick = [this](TObject*) { Button161Click(); };
}

void TPageDEV::ShowOverview() {
    FillDeviceOverview(*Mem1, session_.LinkState.NodeTable, &TDeviceSession::DeviceTypeText);
    Show();
}

void TPageDEV::Button161Click() {
    CloseTable(*Mem1);
    Pages().STG->Show();
}
