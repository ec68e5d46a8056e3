#include "platform/forms/locale_notice.h"

#include <vector>

#include "platform/forms/control_messages.h"
#include "platform/forms/screen.h"

void SendWinIniChange(TControl* Control) {
    if (!Control) return;
    Control->Perform(CM_WININICHANGE, 0, 0);
    auto* w = dynamic_cast<TWinControl*>(Control);
    if (!w) return;
    std::vector<TControl*> children;
    for (int i = 0; i < w->ControlCount(); ++i) children.push_back(w->Controls(i));
    for (TControl* c : children)
        if (w->ContainsControl(c)) SendWinIniChange(c);
}

void BroadcastWinIniChange() {
    if (!Screen) return;
    std::vector<TCustomForm*> forms;
    for (int i = 0; i < Screen->FormCount(); ++i) forms.push_back(Screen->Forms(i));
    for (TCustomForm* f : forms) SendWinIniChange(f);
}
