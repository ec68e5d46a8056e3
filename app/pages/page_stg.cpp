#include "app/pages/page_stg.h"

#include <string>

TPageSTG::TPageSTG(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    Label80 = b_.Label(p, "Label80", "", 16, 16, true);
    Shape81 = b_.Lamp(p, "Shape81", 16, 40);
    Label81 = b_.Label(p, "Label81", "", 40, 42);
    Shape82 = b_.Lamp(p, "Shape82", 16, 64);
    Label82 = b_.Label(p, "Label82", "", 40, 66);
    ListBox81 = b_.Make<TListBox>(p, "ListBox81", 16, 88, 184, 80);
    ListBox82 = b_.Make<TListBox>(p, "ListBox82", 208, 88, 184, 80);
    ListBox83 = b_.Make<TListBox>(p, "ListBox83", 400, 88, 192, 80);
    for (int s = 1; s <= 12; ++s) {
        const int x = 16 + ((s - 1) / 6) * 296, y = 176 + ((s - 1) % 6) * 24;
        b_.LampRow(p, "Shape" + std::to_string(800 + s), "Label" + std::to_string(800 + s), "", x, y);
        b_.Label(p, "Label" + std::to_string(820 + s), "", x + 184, y + 2);
    }
    Label800 = b_.Label(p, "Label800", "", 16, 328);
    Label189 = b_.Label(p, "Label189", "", 16, 348);
    Label189->Font()->SetColor(0x0000FF);
}
