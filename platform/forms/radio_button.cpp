#include "platform/forms/radio_button.h"

#include "platform/gdi/draw.h"
#include "platform/win/input.h"

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 113, 17);
    SetTabStop(false);
}

void TRadioButton::WMSetFocus(TMessage& Message) {
    TButtonControl::WMSetFocus(Message);
    // A press checks it on release (inside only); the keyboard checks it on arrival.
    if (!checked_ && GetKeyState(VK_LBUTTON) >= 0) SetChecked(true);
}

void TRadioButton::SetChecked(bool v) {
    if (checked_ == v) return;
    checked_ = v;
    SetTabStop(v);
    Invalidate();
    if (v) {
        if (TWinControl* p = Parent())
            for (int i = 0; i < p->ControlCount(); ++i)
                if (auto* other = dynamic_cast<TRadioButton*>(p->Controls(i)); other && other != this)
                    other->SetChecked(false);
        if (!HasState(csLoading)) Click();
    }
}

unsigned TRadioButton::MarkState() const { return DFCS_BUTTONRADIO | (checked_ ? DFCS_CHECKED : 0); }
