#include "platform/forms/check_box.h"

#include "platform/forms/control_paint.h"
#include "platform/gdi/system_metrics.h"

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner) {
    controlStyle_ = csSetCaption | csDoubleClicks | csOpaque | csCaptureMouse;
    SetBounds(0, 0, 97, 17);
    SetColor(clBtnFace);
    SetParentColor(true);
    SetTabStop(true);
}

void TButtonControl::SetAlignment(TAlignment v) {
    if (alignment_ == v) return;
    alignment_ = v;
    Invalidate();
}

void TButtonControl::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    TSize box = CheckBoxSize();
    int top = (Height() - box.cy) / 2;
    int boxLeft = alignment_ == taRightJustify ? 0 : Width() - box.cx;
    TRect mark = Bounds(boxLeft, top, box.cx, box.cy);
    unsigned state = MarkState();
    if (pushed_) state |= DFCS_PUSHED;
    if (!Enabled()) state |= DFCS_INACTIVE;
    DrawFrameControl(c->Handle(), mark, DFC_BUTTON, state);
    c->SetFont(Font());
    TRect text = alignment_ == taRightJustify ? Rect(box.cx + 4, 0, Width(), Height())
                                              : Rect(0, 0, Width() - box.cx - 4, Height());
    TRect calc = MeasureText(Font(), Caption(), text, DT_SINGLELINE);
    int th = calc.Height();
    text.Top = (Height() - th) / 2;
    text.Bottom = text.Top + th;
    DrawControlText(c, Caption(), text, DT_SINGLELINE | DT_END_ELLIPSIS, Enabled());
    if (HandleAllocated() && Focused() && !Caption().empty()) {
        TRect fr = Rect(text.Left - 1, text.Top - 1, std::min(text.Left + calc.Width() + 1, text.Right),
                        text.Bottom + 1);
        if (alignment_ == taLeftJustify) fr.Right = std::min(text.Left + calc.Width() + 1, Width());
        c->Brush()->SetColor(Color());
        c->DrawFocusRect(fr);
    }
}

void TButtonControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        if (CanFocus() && !Focused()) SetFocus();
        tracking_ = true;
        pushed_ = true;
        Invalidate();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TButtonControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (tracking_) {
        bool inside = PtInRect(ClientRect(), Point(X, Y));
        if (inside != pushed_) {
            pushed_ = inside;
            Invalidate();
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TButtonControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    bool click = Button == mbLeft && tracking_ && PtInRect(ClientRect(), Point(X, Y));
    if (Button == mbLeft) {
        tracking_ = false;
        pushed_ = false;
        Invalidate();
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (click && !IsBeingDestroyed()) Toggle();
}

void TButtonControl::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_SPACE && !spaceDown_) {
        spaceDown_ = true;
        pushed_ = true;
        Invalidate();
    }
}

void TButtonControl::KeyUp(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyUp(Key, Shift);
    if (Key == VK_SPACE && spaceDown_) {
        spaceDown_ = false;
        pushed_ = false;
        Invalidate();
        Toggle();
    }
}

void TButtonControl::CMDialogChar(TMessage& Message) {
    if (IsAccel(static_cast<char32_t>(Message.WParam), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        Message.Result = 1;
        return;
    }
    TCustomControl::CMDialogChar(Message);
}

void TButtonControl::CMTextChanged(TMessage& Message) {
    TCustomControl::CMTextChanged(Message);
    Invalidate();
}

void TButtonControl::CMEnabledChanged(TMessage& Message) {
    TCustomControl::CMEnabledChanged(Message);
    Invalidate();
}

void TButtonControl::WMSetFocus(TMessage& Message) {
    TCustomControl::WMSetFocus(Message);
    Invalidate();
}

void TButtonControl::WMKillFocus(TMessage& Message) {
    TCustomControl::WMKillFocus(Message);
    tracking_ = spaceDown_ = pushed_ = false;
    Invalidate();
}

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {}

void TCheckBox::SetState(TCheckBoxState v) {
    if (state_ == v) return;
    state_ = v;
    Invalidate();
    if (!HasState(csLoading)) Click();
}

unsigned TCheckBox::MarkState() const {
    switch (state_) {
        case cbChecked: return DFCS_BUTTONCHECK | DFCS_CHECKED;
        case cbGrayed: return DFCS_BUTTON3STATE | DFCS_CHECKED;
        default: return DFCS_BUTTONCHECK;
    }
}

void TCheckBox::Toggle() {
    switch (state_) {
        case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
        case cbChecked: SetState(cbUnchecked); break;
        case cbGrayed: SetState(cbChecked); break;
    }
}
