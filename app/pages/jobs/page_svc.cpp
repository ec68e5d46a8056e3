#include "app/pages/jobs/page_svc.h"

#include "app/pages/main_pages.h"

TPageSVC::TPageSVC(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label230 = b_.Label(p, "Label230", "Speichern Tessel-Konfiguration", 16, 16, true);
    Button231 = b_.ButtonRow(p, {{"Button231", "&Abbruch"}})[0];
    Button231->OnClick = [this](TObject*) { Button231Click(); };
}

void TPageSVC::SaveIoConfigFile() {}

void TPageSVC::Button231Click() { Pages().CloseProgram(); }
