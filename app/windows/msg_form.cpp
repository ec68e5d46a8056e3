#include "app/windows/msg_form.h"

#include "link/wait_for.h"
#include "platform/forms/application.h"
#include "platform/forms/screen.h"
#include "platform/gdi/canvas.h"
#include "program/program_context.h"

TFormMsg* FormMsg = nullptr;

TFormMsg::TFormMsg(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormMsg");
    SetBorderStyle(bsNone);
    SetBorderIcons({});
    SetColor(0xFF0000);
    SetClientSize(284, 61);
    SetPosition(poScreenCenter);
    Label1 = new TLabel(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetAutoSize(false);
    Label1->SetAlignment(taCenter);
    Label1->SetTransparent(true);
    Label1->Font()->SetColor(0xFFFFFF);
    Label1->Font()->SetStyle({fsBold});
    Label1->SetBounds(8, 24, 273, 13);
    Label1->SetCaption("");
}

void TFormMsg::Paint() {
    if (!Program().InfoMsgShaded) {
        TForm::Paint();
        return;
    }
    TCanvas* c = Canvas();
    const int h = ClientHeight();
    for (int x = 0; x < ClientWidth(); ++x) {
        const int blue = std::min(255, 30 + x / 2);
        c->Brush()->SetColor(static_cast<TColor>(blue) << 16);
        c->FillRect(TRect{x, 0, x + 1, h});
    }
}

void TFormMsg::DoShow() {
    shown_ = true;
    TForm::DoShow();
}

void TFormMsg::DoClose(TCloseAction& Action) {
    shown_ = false;
    TForm::DoClose(Action);
}

void ShowInfoMsg(const std::string& text) {
    if (!FormMsg) return;
    if (FormMsg->IsShown()) FormMsg->Close();
    FormMsg->Label1->SetCaption(text);
    FormMsg->Show();
    // One pass hands out everything queued, the messages the show itself posts and the paint
    // included, so the text is on the screen when the caller goes on with its work.
    HandlePendingMessages();
}

void UpdateInfoMsg(const std::string& text) {
    if (!FormMsg || !FormMsg->IsShown()) return;
    FormMsg->Label1->SetCaption(text);
    HandlePendingMessages();
}

void HideInfoMsg() {
    if (FormMsg) FormMsg->Close();
}
