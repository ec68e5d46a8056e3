#include "app/windows/code_form.h"

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/common/page_builder.h"
#include "app/device/access_codes.h"
#include "link/delay.h"
#include "platform/win/message_queue.h"
#include "program/log_file.h"

TForm4* Form4 = nullptr;

TForm4::TForm4(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form4");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetCaption("Code");
    SetKeyPreview(true);
    SetClientSize(256, 96);
    TPageBuilder b(this);
    Label1 = b.Label(this, "Label1", "Code eingeben:", 16, 20);
    MaskEdit1 = b.Make<TMaskEdit>(this, "MaskEdit1", 120, 16, 120, 21);
    MaskEdit1->SetPasswordChar(U'*');
    Button1 = b.Button(this, "Button1", "&OK", 256 - 16 - 73 - 8 - 73, 56, 73);
    Button1->SetDefault(true);
    Button1->OnClick = [this](TObject*) { Button1Click(); };
    Button2 = b.Button(this, "Button2", "&Abbruch", 256 - 16 - 73, 56, 73);
    Button2->OnClick = [this](TObject*) { Button2Click(); };
    OnKeyPress = [this](TObject*, char32_t& Key) { FormKeyPress(Key); };
    OnShow = [this](TObject*) { SetActiveControl(MaskEdit1); };
}

void TForm4::Button1Click() {
    const std::string entry = MaskEdit1->Text();
    const int error = entry.size() < 4 || entry.size() > 8 ? 1218 : !IsDigitText(entry) ? 1219 : 0;
    if (error != 0) {
        CustMessageDlg(GetCompText(error), mtCustError, mbCustCancel, 0);
        MaskEdit1->SelectAll();
        SetActiveControl(MaskEdit1);
        return;
    }
    Accepted = true;
    Delay(100);
    WriteLogLine("TOVAK-MEN-", "GETCODE", "OK");
    SetModalResult(mrOk);
}

void TForm4::Button2Click() { SetModalResult(mrCancel); }

void TForm4::FormKeyPress(char32_t& Key) {
    if (Key != 27) return;
    Key = 0;
    SetModalResult(mrCancel);
}

bool AskCode(const std::string& caption, std::string& code) {
    WriteLogLine("TOVAK-MEN-", "GETCODE", caption);
    if (!Form4) return false;
    Form4->Accepted = false;
    Form4->SetCaption(caption);
    Form4->MaskEdit1->SetText("");
    Form4->ShowModal();
    if (Form4->Accepted) code = Form4->MaskEdit1->Text();
    return Form4->Accepted;
}
