#include "platform/forms/message_dlg.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/forms/application.h"
#include "platform/forms/button.h"
#include "platform/forms/control_paint.h"
#include "platform/forms/message_box.h"
#include "platform/forms/message_text.h"

namespace {

struct ButtonInfo {
    const char* name;
    const char* caption;
    TModalResult result;
};

constexpr ButtonInfo kButtons[] = {
    {"Yes", "&Ja", mrYes},
    {"No", "&Nein", mrNo},
    {"OK", "OK", mrOk},
    {"Cancel", "Abbrechen", mrCancel},
    {"Abort", "&Abbrechen", mrAbort},
    {"Retry", "&Wiederholen", mrRetry},
    {"Ignore", "&Ignorieren", mrIgnore},
    {"All", "&Alle", mrAll},
    {"NoToAll", "N&ein für alle", mrNoToAll},
    {"YesToAll", "Ja für a&lle", mrYesToAll},
    {"Help", "&Hilfe", mrNone},
};

const char* Title(TMsgDlgType t) {
    switch (t) {
        case mtWarning: return "Warnung";
        case mtError: return "Fehler";
        case mtInformation: return "Information";
        case mtConfirmation: return "Bestätigen";
        default: return "";
    }
}

// The 32x32 symbol of the box type.
class TMessageIcon : public TGraphicControl {
public:
    TMessageIcon(TComponent* owner, TMsgDlgType type) : TGraphicControl(owner), type_(type) { SetBounds(0, 0, 32, 32); }
    std::string ClassName() const override { return "TImage"; }

protected:
    void Paint() override {
        TCanvas* c = Canvas();
        c->Pen()->SetColor(clBlack);
        std::string glyph;
        TColor text = clWhite;
        switch (type_) {
            case mtWarning:
                c->Brush()->SetColor(clYellow);
                c->Polygon({{15, 1}, {30, 29}, {1, 29}});
                glyph = "!";
                text = clBlack;
                break;
            case mtError:
                c->Brush()->SetColor(clRed);
                c->Ellipse(1, 1, 31, 31);
                glyph = "X";
                break;
            case mtInformation:
                c->Brush()->SetColor(clWhite);
                c->Ellipse(1, 1, 31, 31);
                glyph = "i";
                text = clBlue;
                break;
            case mtConfirmation:
                c->Brush()->SetColor(clWhite);
                c->Ellipse(1, 1, 31, 31);
                glyph = "?";
                text = clBlue;
                break;
            default: return;
        }
        c->Font()->SetStyle({fsBold});
        c->Font()->SetHeight(-19);
        c->Font()->SetColor(text);
        TRect r = Rect(0, type_ == mtWarning ? 8 : 2, 32, 32);
        c->Brush()->SetStyle(bsClear);
        DrawControlText(c, glyph, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, true);
    }

private:
    TMsgDlgType type_;
};

constexpr int kMargin = 8;
constexpr int kButtonWidth = 73;
constexpr int kButtonHeight = 25;

// The error box, which in an unattended run goes to standard error: nobody could answer it.
const bool kExceptionBoxRegistered = [] {
    TApplication::SetShowExceptionFn([](const std::string&, const std::string& message) {
        MessageBox(message, Title(mtError), MB_OK | MB_ICONHAND);
    });
    return true;
}();

}  // namespace

TForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    (void)kExceptionBoxRegistered;
    auto* form = new TForm(EnsureApplication());
    form->SetBorderStyle(bsDialog);
    form->SetBorderIcons({biSystemMenu});
    form->SetPosition(poScreenCenter);
    std::string title = Title(DlgType);
    if (title.empty()) title = EnsureApplication()->Title();
    form->SetCaption(title);

    int textLeft = kMargin;
    if (DlgType != mtCustom) {
        auto* icon = new TMessageIcon(form, DlgType);
        icon->SetName("Image");
        icon->SetParent(form);
        icon->SetBounds(kMargin * 2, kMargin * 2, 32, 32);
        textLeft = kMargin * 2 + 32 + kMargin * 2;
    }
    auto* label = new TMessageText(form);
    label->SetName("Message");
    label->SetParent(form);
    label->SetShowAccelChar(false);
    label->SetAutoSize(false);
    const TRect text = label->Measure(Msg, MessageTextWidth());
    label->SetCaption(Msg);
    int textTop = kMargin * 2;
    if (DlgType != mtCustom && text.Height() < 32) textTop += (32 - text.Height()) / 2;
    label->SetBounds(textLeft, textTop, text.Width() + 1, text.Height());

    std::vector<const ButtonInfo*> buttons;
    for (int b = mbYes; b <= mbHelp; ++b)
        if (Buttons.Contains(static_cast<TMsgDlgBtn>(b))) buttons.push_back(&kButtons[b]);
    if (buttons.empty()) buttons.push_back(&kButtons[mbOK]);
    TMsgDlgBtn def = Buttons.Contains(mbOK) ? mbOK : Buttons.Contains(mbYes) ? mbYes : mbRetry;
    TMsgDlgBtn cancel = Buttons.Contains(mbCancel) ? mbCancel : Buttons.Contains(mbNo) ? mbNo : mbOK;

    int rowWidth = static_cast<int>(buttons.size()) * (kButtonWidth + kMargin) - kMargin;
    int contentBottom = std::max(textTop + text.Height(), DlgType != mtCustom ? kMargin * 2 + 32 : 0);
    int clientWidth = std::max(textLeft + text.Width() + kMargin * 2, rowWidth + kMargin * 4);
    int buttonTop = contentBottom + kMargin * 2;
    form->SetClientWidth(clientWidth);
    form->SetClientHeight(buttonTop + kButtonHeight + kMargin * 2);
    int x = (clientWidth - rowWidth) / 2;
    for (const ButtonInfo* info : buttons) {
        auto* b = new TButton(form);
        b->SetName(info->name);
        b->SetParent(form);
        b->SetCaption(info->caption);
        b->SetModalResult(info->result);
        b->SetBounds(x, buttonTop, kButtonWidth, kButtonHeight);
        int index = static_cast<int>(info - kButtons);
        if (index == def) {
            b->SetDefault(true);
            form->SetActiveControl(b);
        }
        if (index == cancel) b->SetCancel(true);
        x += kButtonWidth + kMargin;
    }
    return form;
}

int MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y) {
    (void)HelpCtx;
    std::unique_ptr<TForm> form(CreateMessageDialog(Msg, DlgType, Buttons));
    if (X >= 0) {
        form->SetPosition(poDesigned);
        form->SetLeft(X);
    }
    if (Y >= 0) {
        form->SetPosition(poDesigned);
        form->SetTop(Y);
    }
    TModalResult r = form->ShowModal();
    return r == mrNone ? mrCancel : r;
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
    return MessageDlgPos(Msg, DlgType, Buttons, HelpCtx, -1, -1);
}

void ShowMessage(const std::string& Msg) { MessageDlgPos(Msg, mtCustom, {mbOK}, 0, -1, -1); }
