#include "app/pages/page_ins.h"

#include <string>
#include <vector>

#include "app/comp_text.h"
#include "app/cust_msg.h"
#include "app/main_form.h"
#include "app/pages/main_pages.h"
#include "link/delay.h"
#include "link/form_sercom.h"

TPageINS::TPageINS(TForm1& form) : TMainPage(form, Index) {
    TPage* p = Sheet();
    std::vector<std::string> steps;
    for (int i = 0; i <= 13; ++i) steps.push_back(std::string(i < 10 ? "0" : "") + std::to_string(i));
    Notebook11 = b_.Notebook(p, "Notebook11", steps, 0, 0, kPageWidth, kPageHeight);
    const auto start = b_.ButtonRow(Notebook11->Page(1), {{"Button11011", "&Start"}, {"Button11012", "&Abbruch"}});
    Button11011 = start[0];
    Button11012 = start[1];
    Button11012->OnClick = [this](TObject* s) { Button11012Click(s); };
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

void TPageINS::Button11012Click(TObject* Sender) {
    if (CustMessageDlg(GetCompText(1211), mtCustConfirmation, mbCustYes | mbCustNo, 0) != mrYes) return;
    LeaveWizard(Sender != Button11012);
}

void TPageINS::LeaveWizard(bool endInstallStep) {
    if (endInstallStep && form_.InstallActive) {
        if (FormSercom) FormSercom->EnqueueRequest(std::string("\xFB\x02\x00\x50\x17", 5));
        Delay(200);
        form_.InstallActive = false;
    }
    Pages().MEN->EnableEntries(true);
    Pages().MEN->Show();
    Notebook11->SetPageIndex(1);
    Pages().WAW->Notebook21->SetPageIndex(1);
}
