#include "platform/forms/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/forms/message_dlg.h"

namespace {
bool Unattended() {
    const char* headless = std::getenv("TOVAK_HEADLESS");
    return headless && std::strcmp(headless, "1") == 0;
}
}  // namespace

int MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags) {
    TMsgDlgButtons buttons{mbOK};
    switch (Flags & 0x0F) {
        case MB_OKCANCEL: buttons = mbOKCancel; break;
        case MB_YESNOCANCEL: buttons = mbYesNoCancel; break;
        case MB_YESNO: buttons = mbYesNo; break;
        default: break;
    }
    if (Unattended()) {
        const bool cancel = buttons.Contains(mbCancel);
        std::fprintf(stderr, "%s: %s [%s]\n", Caption.c_str(), Text.c_str(),
                     cancel                   ? "Cancel"
                     : buttons.Contains(mbNo) ? "No"
                                              : "OK");
        return cancel ? IDCANCEL : buttons.Contains(mbNo) ? IDNO : IDOK;
    }
    TMsgDlgType type = mtCustom;
    switch (Flags & 0xF0) {
        case MB_ICONHAND: type = mtError; break;
        case MB_ICONQUESTION: type = mtConfirmation; break;
        case MB_ICONEXCLAMATION: type = mtWarning; break;
        case MB_ICONINFORMATION: type = mtInformation; break;
        default: break;
    }
    std::unique_ptr<TForm> form(CreateMessageDialog(Text, type, buttons));
    form->SetCaption(Caption);
    switch (form->ShowModal()) {
        case mrOk: return IDOK;
        case mrYes: return IDYES;
        case mrNo: return IDNO;
        default: return buttons.Contains(mbCancel) ? IDCANCEL : buttons.Contains(mbNo) ? IDNO : IDOK;
    }
}
