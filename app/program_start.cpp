#include "app/program_start.h"

#include "app/comp_text.h"
#include "app/cust_msg.h"
#include "app/later_forms.h"
#include "app/main_form.h"
#include "app/msg_form.h"
#include "link/form_sercom.h"
#include "link/link_texts.h"
#include "link/message_dialog.h"
#include "platform/forms/application.h"

void CreateProgramForms() {
    Application->SetTitle("TOVAK");
    Application->CreateForm(Form1);
    Application->CreateForm(FormCustMsg);
    Application->CreateForm(Form2);
    Application->CreateForm(Form3);
    Application->CreateForm(Form4);
    Application->CreateForm(Form5);
    Application->CreateForm(FormSercom);
    Application->CreateForm(FormCompLst);
    Application->CreateForm(FormMsg);
    Application->CreateForm(FormTxtCom);
    FormSercom->SetMainView(Form1);
    SetMessageDialogHandler([](const std::string& text, int type, int buttons, int help) -> int {
        return CustMessageDlg(text, static_cast<uint8_t>(type), static_cast<uint16_t>(buttons), help);
    });
    SetCompTextHandler([](int id) { return GetCompText(id); });
}

void RunProgramLoop() { Application->Run(); }

void DestroyProgramForms() {
    SetMessageDialogHandler(nullptr);
    SetCompTextHandler(nullptr);
    ResetApplication();
    Form1 = nullptr;
    FormCustMsg = nullptr;
    Form2 = nullptr;
    Form3 = nullptr;
    Form4 = nullptr;
    Form5 = nullptr;
    FormSercom = nullptr;
    FormCompLst = nullptr;
    FormMsg = nullptr;
    FormTxtCom = nullptr;
    UseGermanMsgTexts();
    InfoMsgShaded = true;
}
