#include "app/pages/page_net.h"

TPageNET::TPageNET(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label1701 = b_.Label(p, "Label1701", "Netzwerk-Information", 16, 16, true);
}

void TPageNET::ShowNetInfo(const std::string&) {}
