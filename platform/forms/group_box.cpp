#include "platform/forms/group_box.h"

#include "platform/forms/control_paint.h"

TGroupBox::TGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    controlStyle_ = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks |
                    csReplicatable;
    SetBounds(0, 0, 185, 105);
    SetColor(clBtnFace);
    SetParentColor(true);
}

void TGroupBox::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    Rect.Top += FontLineHeight(Font());
    InflateRect(Rect, -2, -2);
}

void TGroupBox::CMTextChanged(TMessage& Message) {
    TCustomControl::CMTextChanged(Message);
    Invalidate();
    Realign();
}

void TGroupBox::CMDialogChar(TMessage& Message) {
    if (Enabled() && IsAccel(static_cast<char32_t>(Message.WParam), Caption()) && CanFocus()) {
        SelectNext(nullptr, true, true);
        Message.Result = 1;
        return;
    }
    TCustomControl::CMDialogChar(Message);
}

void TGroupBox::Paint() {
    TCanvas* c = Canvas();
    c->SetFont(Font());
    int h = FontLineHeight(Font());
    TRect frame = Rect(0, h / 2, Width(), Height());
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(ClientRect());
    DrawEdge(c->Handle(), frame, EDGE_ETCHED, BF_RECT);
    if (Caption().empty()) return;
    TRect t = MeasureText(Font(), Caption(), Rect(8, 0, 8, 0), DT_SINGLELINE);
    t.Left -= 1;
    t.Right += 1;
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(t);
    t.Left += 1;
    DrawControlText(c, Caption(), t, DT_SINGLELINE, Enabled());
}
