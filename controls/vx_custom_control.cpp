#include "controls/vx_custom_control.h"

#include "platform/forms/control_paint.h"
#include "platform/forms/form.h"
#include "platform/win/input.h"

TvxCustomControl::TvxCustomControl(TComponent* AOwner)
    : TCustomControl(AOwner), about_("TOVAK button controls for Linux") {
    controlStyle_ |= csClickEvents | csCaptureMouse | csOpaque;
    SetDoubleBuffered(true);
}

void TvxCustomControl::EnabledChanged() { Invalidate(); }

void TvxCustomControl::UpdateFocusState() {
    bool focused = HandleAllocated() && Focused();
    SetFlag(vxHasFocus, focused);
    if (!focused) SetFlag(vxPressed, false);
    TCustomForm* form = GetParentForm(this);
    formFocusOnButton_ = form && dynamic_cast<TvxCustomControl*>(form->ActiveControl()) != nullptr;
    Invalidate();
}

void TvxCustomControl::DoPress() {
    if (CanFocus()) SetFocus();
    SetFlag(vxPressed, true);
    Invalidate();
}

void TvxCustomControl::MouseEnter() {
    SetFlag(vxHot, true);
    Invalidate();
    if (OnMouseEnter) OnMouseEnter(this);
}

void TvxCustomControl::MouseLeave() {
    SetFlag(vxHot, false);
    Invalidate();
    if (OnMouseLeave) OnMouseLeave(this);
}

void TvxCustomControl::DoRelease() {
    SetFlag(vxPressed, false);
    Invalidate();
}

void TvxCustomControl::ParentColorChanged() { Invalidate(); }
void TvxCustomControl::TextChanged() { Invalidate(); }

void TvxCustomControl::CMEnabledChanged(TMessage& Message) {
    EnabledChanged();
    TCustomControl::CMEnabledChanged(Message);
}

void TvxCustomControl::CMFocusChanged(TMessage& Message) {
    UpdateFocusState();
    TCustomControl::CMFocusChanged(Message);
}

void TvxCustomControl::WMLButtonDown(TMessage& Message) {
    DoPress();
    // The field being left kept the focus (its text is no valid value, and it said so): this
    // is no press, or the click would act on that text.
    if (CanFocus() && !Focused()) {
        SetFlag(vxPressed, false);
        Invalidate();
        return;
    }
    TCustomControl::WMLButtonDown(Message);
}

void TvxCustomControl::WMLButtonUp(TMessage& Message) {
    DoRelease();
    TCustomControl::WMLButtonUp(Message);
}

void TvxCustomControl::WMRButtonUp(TMessage& Message) {
    DoRelease();
    TCustomControl::WMRButtonUp(Message);
}

void TvxCustomControl::WMMButtonUp(TMessage& Message) {
    DoRelease();
    TCustomControl::WMMButtonUp(Message);
}

void TvxCustomControl::CMMouseEnter(TMessage& Message) {
    // LParam 0: the mouse entered this control itself (not one of its children).
    if (Message.LParam == 0) MouseEnter();
    TCustomControl::CMMouseEnter(Message);
}

void TvxCustomControl::CMMouseLeave(TMessage& Message) {
    if (Message.LParam == 0) MouseLeave();
    TCustomControl::CMMouseLeave(Message);
}

void TvxCustomControl::WMMouseMove(TMessage& Message) {
    // While the button holds the mouse captured the window layer reports no leaving: the
    // position decides whether the pressed button is still hot.
    if (HasFlag(vxPressed)) {
        bool inside = PtInRect(ClientRect(), Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
        if (inside && !HasFlag(vxHot))
            MouseEnter();
        else if (!inside && HasFlag(vxHot))
            MouseLeave();
    }
    MouseMoved();
    TCustomControl::WMMouseMove(Message);
}

void TvxCustomControl::CMParentColorChanged(TMessage& Message) {
    ParentColorChanged();
    TCustomControl::CMParentColorChanged(Message);
}

void TvxCustomControl::CMTextChanged(TMessage& Message) {
    TextChanged();
    TCustomControl::CMTextChanged(Message);
}

void TvxCustomControl::WMSize(TMessage& Message) {
    RebuildBitmaps();
    // The window layer's own bookkeeping of the new size still has to run.
    TCustomControl::WMSize(Message);
}

void TvxCustomControl::WMSetFocus(TMessage& Message) {
    TCustomControl::WMSetFocus(Message);
    Invalidate();
}

void TvxCustomControl::WMKillFocus(TMessage& Message) {
    TCustomControl::WMKillFocus(Message);
    Invalidate();
}

void TvxCustomControl::CMDialogChar(TMessage& Message) {
    if (IsAccel(static_cast<char32_t>(Message.WParam), Caption()) && CanFocus() &&
        (Focused() || GetKeyState(VK_MENU) < 0)) {
        Click();
        Message.Result = 1;
        return;
    }
    TCustomControl::CMDialogChar(Message);
}
