#pragma once
// TRadioButton: one of a group (the radio buttons of one parent); checking it unchecks the
// others. A click checks it; it never unchecks itself. Only the checked one is a tab stop;
// the arrow keys move the focus within the group, and a radio button that gets the focus
// other than by the mouse checks itself.

#include "platform/forms/check_box.h"

class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);
    std::string ClassName() const override { return "TRadioButton"; }

    bool Checked() const { return checked_; }
    void SetChecked(bool v);

protected:
    unsigned MarkState() const override;
    void Toggle() override { SetChecked(true); }
    void WMSetFocus(TMessage& Message) override;

private:
    bool checked_ = false;
};
