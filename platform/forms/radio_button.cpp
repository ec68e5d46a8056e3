#include "platform/forms/radio_button.h"

#include "platform/gdi/draw.h"

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 113, 17); }

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
