#include "app/pages/page_ct2.h"

TPageCT2::TPageCT2(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label193 = b_.Label(p, "Label193", "MOLT-30 Konfiguration", 16, 16, true);
}
