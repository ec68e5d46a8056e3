#include "app/pages/control/page_ben.h"

#include "app/common/comp_text.h"
#include "app/pages/main_pages.h"
#include "app/windows/code_change_form.h"

TPageBEN::TPageBEN(TMainPages& pages) : TMainPage(pages, Index) {
    TPage* p = Sheet();
    Label91 = b_.Label(p, "Label91", "Benutzerverwaltung", 16, 16, true);
    Label92 = b_.Label(p, "Label92", "Code ändern:", 16, 48);
    Button91 = b_.Button(p, "Button91", "&Steuerung", 16, 72, 160);
    Button92 = b_.Button(p, "Button92", "&Einstellungen", 16, 104, 160);
    Button93 = b_.Button(p, "Button93", "&Installation", 16, 136, 160);
    Button90 = b_.ButtonRow(p, {{"Button90", "Zurück"}})[0];
    Button91->OnClick = [this](TObject*) { Button91Click(); };
    Button92->OnClick = [this](TObject*) { Button92Click(); };
    Button93->OnClick = [this](TObject*) { Button93Click(); };
    Button90->OnClick = [this](TObject*) { Pages().BackToMenu(); };
}

// The codes the dialog hands back are of no further use here: the device keeps them.
void TPageBEN::Button91Click() {
    std::string oldCode, newCode;
    ChangeCode(session_, 1, GetCompText(1901), oldCode, newCode);
}

void TPageBEN::Button92Click() {
    std::string oldCode, newCode;
    ChangeCode(session_, 2, GetCompText(1902), oldCode, newCode);
}

void TPageBEN::Button93Click() {
    std::string oldCode, newCode;
    ChangeCode(session_, 3, GetCompText(1903), oldCode, newCode);
}
