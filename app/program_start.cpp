#include "app/program_start.h"

#include <memory>

#include "app/common/app_controls.h"
#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "app/main_form.h"
#include "app/main_link_view.h"
#include "app/windows/alarm_mask_form.h"
#include "app/windows/code_change_form.h"
#include "app/windows/code_form.h"
#include "app/windows/comp_list_form.h"
#include "app/windows/config_string_form.h"
#include "app/windows/msg_form.h"
#include "controls/vx_editors_unit.h"
#include "link/form_sercom.h"
#include "link/form_txt_com.h"
#include "link/link_texts.h"
#include "platform/forms/application.h"
#include "program/message_dialog.h"
#include "program/program_context.h"
#include "serial/port_dialog.h"
#include "serial/ser_com_port.h"

namespace {
// The style controller all editors of the windows follow; it outlives the windows.
std::unique_ptr<TvxCheckEditStyleController> g_editorStyle;
// What the link shows on the main window; it outlives the windows too.
std::unique_ptr<TMainLinkView> g_mainLinkView;
}  // namespace

void CreateProgramForms() {
    // The editor units' shared state comes before the first window.
    vxEditorsStartup();
    g_editorStyle = std::make_unique<TvxCheckEditStyleController>(nullptr);
    SetAppEditorLook(g_editorStyle.get());
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
    for (int i = 0; i < Application->ComponentCount(); ++i)
        if (auto* form = dynamic_cast<TCustomForm*>(Application->Components(i)))
            TieEditorsToStyleController(form, g_editorStyle.get());
    g_mainLinkView = std::make_unique<TMainLinkView>(*Form1);
    Form1->Session().Connect(FormSercom->Com1, FormSercom, g_mainLinkView.get());
    FormSercom->SetLink(&Form1->Session().Link());
    SetMessageDialogHandler([](const std::string& text, int type, int buttons, int help) -> int {
        return CustMessageDlg(text, static_cast<uint8_t>(type), static_cast<uint16_t>(buttons), help);
    });
    SetCompTextHandler([](int id) { return GetCompText(id); });
    // Port 0 lets the user pick a port (the port component asks through this).
    InstallPortSelectionDialog();
}

void RunProgramLoop() { Application->Run(); }

void DestroyProgramForms() {
    PortSelectionPrompt() = nullptr;
    SetMessageDialogHandler(nullptr);
    SetCompTextHandler(nullptr);
    // The link lets go of the protocol window's port component before the windows go.
    if (Form1) Form1->Session().Connect(nullptr, nullptr, nullptr);
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
    Program().InfoMsgShaded = true;
    g_mainLinkView.reset();
    g_editorStyle.reset();
    vxEditorsShutdown();
}
