#include "app/pages/page_ei2.h"

#include "app/comp_text.h"

TPageEI2::TPageEI2(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label1101 = b_.Label(p, "Label1101", "Erweiterte System-Einstellungen", 16, 16, true);
}

void TPageEI2::FillDoorOptionLists() {
    for (const TBoxRow& row : boxRows_) {
        row.ImageEdit->SetItems({{GetCompText(1111), 0}, {GetCompText(1112), 2}});
        row.ImageEdit->SetEditValue("0");
        row.CheckEdit->SetCaption(GetCompText(1113));
    }
}
