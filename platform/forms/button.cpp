#include "platform/forms/button.h"

#include "platform/forms/control_paint.h"
#include "platform/forms/form.h"

TButton::TButton(TComponent* AOwner) : TCustomControl(AOwner) {
    // The button decides about its click itself: only a release over it counts.
    controlStyle_ = csSetCaption | csDoubleClicks | csOpaque | csCaptureMouse;
    SetBounds(0, 0, 75, 25);
    SetColor(clBtnFace);
    SetTabStop(true);
}

void TButton::SetDefault(bool v) {
    if (default_ == v) return;
    default_ = v;
    TCustomForm* form = GetParentForm(this);
    TWinControl* focused = form ? form->ActiveControl() : nullptr;
    active_ = dynamic_cast<TButton*>(focused) ? focused == this : default_;
    Invalidate();
}

void TButton::Click() {
    if (modalResult_ != mrNone)
        if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
    TCustomControl::Click();
}

void TButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        if (CanFocus() && !Focused()) SetFocus();
        pressed_ = true;
        hot_ = true;
        Invalidate();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TButton::MouseMove(TShiftState Shift, int X, int Y) {
    if (pressed_ && !spaceDown_) {
        bool inside = PtInRect(ClientRect(), Point(X, Y));
        if (inside != hot_) {
            hot_ = inside;
            Invalidate();
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    bool click = Button == mbLeft && pressed_ && !spaceDown_ && PtInRect(ClientRect(), Point(X, Y));
    if (Button == mbLeft && !spaceDown_) {
        pressed_ = false;
        hot_ = false;
        Invalidate();
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (click && !IsBeingDestroyed()) Click();
}

void TButton::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_SPACE && Shift.Empty() && !spaceDown_) {
        spaceDown_ = true;
        pressed_ = true;
        hot_ = true;
        Invalidate();
    }
}

void TButton::KeyUp(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyUp(Key, Shift);
    if (Key == VK_SPACE && spaceDown_) {
        spaceDown_ = false;
        pressed_ = false;
        hot_ = false;
        Invalidate();
        Click();
    }
}

void TButton::CMDialogKey(TMessage& Message) {
    uint16_t key = static_cast<uint16_t>(Message.WParam);
    bool take = (key == VK_RETURN && active_) || (key == VK_ESCAPE && cancel_);
    if (take && KeyDataToShiftState(Message.LParam).Empty() && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    TCustomControl::CMDialogKey(Message);
}

void TButton::CMDialogChar(TMessage& Message) {
    if (IsAccel(static_cast<char32_t>(Message.WParam), Caption()) && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    TCustomControl::CMDialogChar(Message);
}

void TButton::CMFocusChanged(TMessage& Message) {
    auto* focused = reinterpret_cast<TWinControl*>(Message.LParam);
    bool active = dynamic_cast<TButton*>(focused) ? focused == this : default_;
    if (active != active_) {
        active_ = active;
        Invalidate();
    }
    TCustomControl::CMFocusChanged(Message);
}

void TButton::CMTextChanged(TMessage& Message) {
    TCustomControl::CMTextChanged(Message);
    Invalidate();
}

void TButton::CMEnabledChanged(TMessage& Message) {
    TCustomControl::CMEnabledChanged(Message);
    Invalidate();
}

void TButton::WMSetFocus(TMessage& Message) {
    TCustomControl::WMSetFocus(Message);
    Invalidate();
}

void TButton::WMKillFocus(TMessage& Message) {
    TCustomControl::WMKillFocus(Message);
    pressed_ = hot_ = spaceDown_ = false;
    Invalidate();
}

void TButton::WMCancelMode(TMessage& Message) {
    pressed_ = hot_ = spaceDown_ = false;
    Invalidate();
    TCustomControl::WMCancelMode(Message);
}

void TButton::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    HDC dc = c->Handle();
    bool focused = HandleAllocated() && Focused();
    if (active_ || focused) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clWindowFrame);
        c->FrameRect(r);
        InflateRect(r, -1, -1);
    }
    unsigned state = DFCS_BUTTONPUSH;
    if (Pressed()) state |= DFCS_PUSHED;
    if (!Enabled()) state |= DFCS_INACTIVE;
    if (Pressed()) {
        // A pushed button shows a flat shadow frame, as the classic look does.
        c->Brush()->SetColor(clBtnShadow);
        c->FrameRect(r);
        TRect face = r;
        InflateRect(face, -1, -1);
        c->Brush()->SetColor(Color());
        c->FillRect(face);
    } else {
        TRect face = r;
        DrawFrameControl(dc, face, DFC_BUTTON, state);
    }
    c->SetFont(Font());
    c->Font()->SetColor(clBtnText);
    TRect text = r;
    if (Pressed()) OffsetRect(text, 1, 1);
    DrawControlText(c, Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE, Enabled());
    if (focused) {
        TRect fr = r;
        InflateRect(fr, -3, -3);
        c->Brush()->SetColor(Color());
        c->DrawFocusRect(fr);
    }
}
