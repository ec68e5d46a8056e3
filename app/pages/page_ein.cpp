#include "app/pages/page_ein.h"

TPageEIN::TPageEIN(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label1001 = b_.Label(p, "Label1001", "System-Einstellungen", 16, 16, true);
    ProgressBar1001 = b_.Make<TProgressBar>(p, "ProgressBar1001", 16, 352, 384, 16);
    ProgressBar1001->SetVisible(false);
}
