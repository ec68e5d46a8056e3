#include "app/windows/code_change_form.h"

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/common/page_builder.h"
#include "app/device/access_codes.h"
#include "app/device/device_session.h"

TForm5* Form5 = nullptr;

TForm5::TForm5(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form5");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetCaption("Code ändern");
    SetClientSize(272, 152);
    TPageBuilder b(this);
    const char* captions[3] = {"Alter Code:", "Neuer Code:", "Wiederholung:"};
    TLabel** labels[3] = {&Label1, &Label2, &Label3};
    TMaskEdit** edits[3] = {&MaskEdit1, &MaskEdit2, &MaskEdit3};
    for (int k = 0; k < 3; ++k) {
        *labels[k] = b.Label(this, "Label" + std::to_string(k + 1), captions[k], 16, 20 + k * 32);
        TMaskEdit* e = b.Make<TMaskEdit>(this, "MaskEdit" + std::to_string(k + 1), 136, 16 + k * 32, 120, 21);
        e->SetPasswordChar(U'*');
        e->OnChange = [this](TObject*) { MaskEdit1Change(); };
        *edits[k] = e;
    }
    Button1 = b.Button(this, "Button1", "&OK", 272 - 16 - 73 - 8 - 73, 112, 73);
    Button1->SetDefault(true);
    Button1->OnClick = [this](TObject*) { Button1Click(); };
    Button2 = b.Button(this, "Button2", "&Abbruch", 272 - 16 - 73, 112, 73);
    Button2->OnClick = [this](TObject*) { Button2Click(); };
    OnShow = [this](TObject*) {
        MaskEdit1Change();
        SetActiveControl(MaskEdit1);
    };
}

void TForm5::MaskEdit1Change() {
    const std::string fresh = MaskEdit2->Text();
    Button1->SetEnabled(IsCodeText(MaskEdit1->Text()) && IsCodeText(fresh) && IsCodeText(MaskEdit3->Text()) &&
                        fresh == MaskEdit3->Text());
}

bool TForm5::StillOpen() const { return Visible() && ModalResult() == mrNone; }

void TForm5::Button1Click() {
    if (MaskEdit2->Text() != MaskEdit3->Text()) {
        CustMessageDlg(GetCompText(1220), mtCustError, mbCustCancel, 0);
        return;
    }
    TWaitEnd wait = Session->AskCodeService(AwaitCodeCheck, 0x00, MaskEdit1->Text(), [this] { return StillOpen(); });
    if (Ended(wait)) return;
    int32_t error = wait == TWaitEnd::Deadline ? kCodeAnswerLate
                                               : CodeCheckError(Session->LinkState.GrantedLevel, Level);
    if (error != 0) {
        CustMessageDlg(CodeCheckMessage(error), mtCustError, mbCustCancel, 0);
        return;
    }
    wait = Session->AskCodeService(AwaitResult, static_cast<uint8_t>(Level + 1), MaskEdit2->Text(),
                                   [this] { return StillOpen(); });
    if (Ended(wait)) return;
    if (wait == TWaitEnd::Deadline) {
        CustMessageDlg(CodeCheckMessage(kCodeAnswerLate), mtCustError, mbCustCancel, 0);
        return;
    }
    if (Session->LinkState.ResultCode != 0) {
        // The device refused the new code; its result table knows one number.
        CustMessageDlg(GetCompText(1207) + " (1) !", mtCustError, mbCustCancel, 0);
        return;
    }
    Accepted = true;
    SetModalResult(mrOk);
}

void TForm5::Button2Click() { SetModalResult(mrCancel); }

bool TForm5::Ended(TWaitEnd wait) {
    if (wait == TWaitEnd::Met || wait == TWaitEnd::Deadline) return false;
    // Without the device there is no code to change: the dialog goes, the loss shows.
    if (wait == TWaitEnd::LinkClosed || wait == TWaitEnd::ProgramEnd) {
        SetModalResult(mrCancel);
        Session->WaitMet(wait);
    }
    return true;
}

bool ChangeCode(TDeviceSession& session, int32_t level, const std::string& caption, std::string& oldCode,
                std::string& newCode) {
    if (!Form5) return false;
    Form5->Session = &session;
    Form5->Level = level;
    Form5->Accepted = false;
    Form5->SetCaption(caption);
    for (TMaskEdit* e : {Form5->MaskEdit1, Form5->MaskEdit2, Form5->MaskEdit3}) e->SetText("");
    Form5->ShowModal();
    if (Form5->Accepted) {
        oldCode = Form5->MaskEdit1->Text();
        newCode = Form5->MaskEdit2->Text();
    }
    return Form5->Accepted;
}
