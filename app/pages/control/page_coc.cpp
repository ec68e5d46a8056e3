#include "app/pages/control/page_coc.h"

#include "app/pages/control/page_men.h"
#include "app/pages/main_pages.h"

TPageCOC::TPageCOC(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label61 = b_.Label(p, "Label61", "Schnittstellen-Nummer für Datenübertragung angeben:", 16, 16, true);
    const TPortEntry port = b_.PortEntry(p, "Notebook3", "Edit601", "ImageEdit601", "Label602", 16, 40);
    Notebook3 = port.Notebook;
    Edit601 = port.Edit;
    ImageEdit601 = port.List;
    Label602 = port.Notice;
    const auto row = b_.ButtonRow(p, {{"Button601", "Start"}, {"Button603", "Abbruch"}});
    Button601 = row[0];
    Button603 = row[1];
    Button601->OnClick = [this](TObject*) { Button601Click(); };
    Button603->OnClick = [this](TObject*) { Pages().AskToQuit(); };
}

int32_t TPageCOC::CocPortNumber() { return PortNumberOf(Notebook3, Edit601, ImageEdit601); }

void TPageCOC::Button601Click() {
    session_.OpenPort(CocPortNumber(), true);
    if (!session_.LinkState.PortOpen) return;
    Pages().MEN->RereadDeviceList(true);
    Pages().BackToMenu();
}
