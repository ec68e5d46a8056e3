#pragma once
// The information window: a borderless blue box centred on the screen with one line of
// white bold text, shown (not modal) while the program is busy.

#include <string>

#include "platform/forms/form.h"
#include "platform/forms/label.h"

class TFormMsg : public TForm {
public:
    explicit TFormMsg(TComponent* AOwner);
    std::string ClassName() const override { return "TFormMsg"; }
    bool IsShown() const { return shown_; }

    TLabel* Label1;

protected:
    void Paint() override;
    void DoShow() override;
    void DoClose(TCloseAction& Action) override;

private:
    bool shown_ = false;
};

extern TFormMsg* FormMsg;

void ShowInfoMsg(const std::string& text);
// Only while the window is shown.
void UpdateInfoMsg(const std::string& text);
void HideInfoMsg();
