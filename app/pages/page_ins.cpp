#include "app/pages/page_ins.h"

#include <string>
#include <vector>

TPageINS::TPageINS(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    std::vector<std::string> steps;
    for (int i = 0; i <= 13; ++i) steps.push_back(std::string(i < 10 ? "0" : "") + std::to_string(i));
    Notebook11 = b_.Notebook(p, "Notebook11", steps, 0, 0, kPageWidth, kPageHeight);
    TPage* devices = Notebook11->Page(7);
    TImage** images[] = {&Image1102, &Image1103, &Image1104};
    TLabel** labels[] = {&Label1102, &Label1103, &Label1104};
    for (int i = 2; i <= 4; ++i) {
        TImage* tick = b_.Make<TImage>(devices, "Image110" + std::to_string(i), 16, 16 + (i - 2) * 24, 16, 16);
        tick->SetVisible(false);
        *images[i - 2] = tick;
        *labels[i - 2] = b_.Label(devices, "Label110" + std::to_string(i), "", 40, 18 + (i - 2) * 24);
    }
    ListBox11 = b_.Make<TListBox>(devices, "ListBox11", 16, 96, 576, 200);
    ProgressBar11 = b_.Make<TProgressBar>(devices, "ProgressBar11", 16, 304, 576, 16);
    ProgressBar11->SetVisible(false);
    Shape11051 = b_.Lamp(Notebook11->Page(5), "Shape11051", 16, 16);
    Label11051 = b_.Label(Notebook11->Page(5), "Label11051", "", 40, 18);
}
