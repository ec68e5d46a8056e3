#include "app/pages/page_svc.h"

#include "app/main_form.h"

TPageSVC::TPageSVC(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label230 = b_.Label(p, "Label230", "Speichern Tessel-Konfiguration", 16, 16, true);
    Button231 = b_.ButtonRow(p, {{"Button231", "&Abbruch"}})[0];
    Button231->OnClick = [this](TObject*) { Button231Click(); };
}

void TPageSVC::SaveIoConfigFile() {}

void TPageSVC::Button231Click() { form_.Close(); }
