#include "app/pages/page_ben.h"

TPageBEN::TPageBEN(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label91 = b_.Label(p, "Label91", "Benutzerverwaltung", 16, 16, true);
}
