#include "app/pages/page_dev.h"

TPageDEV::TPageDEV(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label1601 = b_.Label(p, "Label1601", "Geräte-Übersicht", 16, 16, true);
}
