#include "app/pages/page_pwx.h"

TPagePWX::TPagePWX(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label1901 = b_.Label(p, "Label1901", "Passwort eingeben:", 16, 20);
    MaskEdit191 = b_.Make<TMaskEdit>(p, "MaskEdit191", 136, 16, 121, 21);
    MaskEdit191->SetPasswordChar(U'*');
}
