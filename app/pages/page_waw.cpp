#include "app/pages/page_waw.h"

TPageWAW::TPageWAW(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Notebook21 = b_.Notebook(p, "Notebook21", {"00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "10-RRM1", "11-RRM2"},
                             0, 0, kPageWidth, kPageHeight);
    Label190 = b_.Label(p, "Label190", "", 16, 16);
}
