#include "app/pages/controller/page_ct1.h"

#include "app/common/main_settings.h"
#include "app/pages/controller/page_ct2.h"
#include "app/pages/main_pages.h"
#include "link/form_txt_com.h"
#include "program/program_context.h"

TPageCT1::TPageCT1(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label191 = b_.Label(p, "Label191", "Schnittstellen-Nummer für Datenübertragung angeben:", 16, 16, true);
    const TPortEntry port = b_.PortEntry(p, "Notebook2401", "Edit2401", "ImageEdit2401", "Label192", 16, 40);
    Notebook2401 = port.Notebook;
    Edit2401 = port.Edit;
    ImageEdit2401 = port.List;
    Label192 = port.Notice;
    const auto row = b_.ButtonRow(p, {{"Button2401", "Start"}, {"Button2402", "Abbruch"}});
    Button2401 = row[0];
    Button2402 = row[1];
    Button2401->OnClick = [this](TObject*) { Button2401Click(); };
    Button2402->OnClick = [this](TObject*) { Pages().AskToQuit(); };
}

int32_t TPageCT1::CtcPortNumber() { return PortNumberOf(Notebook2401, Edit2401, ImageEdit2401); }

void TPageCT1::Button2401Click() {
    if (Program().PxtShow && FormTxtCom) FormTxtCom->Show();
    Pages().CT2->ReadMOLT();
}
