#include "app/pages/page_sel.h"

#include "app/pages/main_pages.h"

TPageSEL::TPageSEL(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label001 = b_.Label(p, "Label001", "Modus auswählen:", 16, 16, true);
    Button001 = b_.Button(p, "Button001", "System steuern oder konfigurieren", 16, 40, 264);
    Button002 = b_.Button(p, "Button002", "Portalis konfigurieren", 16, 72, 264);
    Button003 = b_.Button(p, "Button003", "MOLT-30 konfigurieren", 16, 104, 264);
    Button004 = b_.Button(p, "Button004", "KZN konfigurieren", 16, 136, 264);
    Button001->OnClick = [this](TObject*) { Button001Click(); };
    Button002->OnClick = [this](TObject*) { Button002Click(); };
}

void TPageSEL::Button001Click() { Pages().COC->Show(); }
void TPageSEL::Button002Click() { Pages().COM->Show(); }
