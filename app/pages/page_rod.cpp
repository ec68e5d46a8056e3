#include "app/pages/page_rod.h"

TPageROD::TPageROD(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label1801 = b_.Label(p, "Label1801", "Objektverzeichnis", 16, 16, true);
}

void TPageROD::StartReadOD(const std::string&) {}
