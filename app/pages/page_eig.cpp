#include "app/pages/page_eig.h"

#include "app/comp_text.h"

TPageEIG::TPageEIG(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label1500 = b_.Label(p, "Label1500", "Geräte-Einstellungen", 16, 16, true);
    ImageEdit1501 = b_.ImageEdit(p, "ImageEdit1501", 16, 40, 264);
    ImageEdit1502 = b_.ImageEdit(p, "ImageEdit1502", 16, 72, 264);
    ProgressBar1501 = b_.Make<TProgressBar>(p, "ProgressBar1501", 16, 352, 384, 16);
    ProgressBar1501->SetVisible(false);
}

void TPageEIG::FillOptionLists() {
    ImageEdit1501->SetItems({{GetCompText(1501), 0}, {GetCompText(1502), 1}});
    ImageEdit1502->SetItems({{GetCompText(1511), 0}, {GetCompText(1512), 1}, {GetCompText(1513), 2}});
}
