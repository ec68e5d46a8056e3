#include "platform/forms/splitter.h"

#include <algorithm>

#include "platform/forms/win_control.h"
#include "platform/gdi/draw.h"

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    controlStyle_ = csCaptureMouse;
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
    SetCursor(crHSplit);
    SetParentColor(true);
}

void TSplitter::SetBeveled(bool v) {
    if (beveled_ == v) return;
    beveled_ = v;
    Invalidate();
}

void TSplitter::RequestAlign() {
    TGraphicControl::RequestAlign();
    // The cursor follows the direction, unless the program chose another one.
    if (Cursor() != crHSplit && Cursor() != crVSplit) return;
    SetCursor(Horizontal() ? crVSplit : crHSplit);
}

int TSplitter::SizeOf(TControl* c) const { return Horizontal() ? c->Height() : c->Width(); }

TControl* TSplitter::ResizeControl() {
    TWinControl* parent = Parent();
    if (!parent) return nullptr;
    TPoint p;
    switch (Align()) {
        case alLeft: p = Point(Left() - 1, Top()); break;
        case alRight: p = Point(Left() + Width(), Top()); break;
        case alTop: p = Point(Left(), Top() - 1); break;
        case alBottom: p = Point(Left(), Top() + Height()); break;
        default: return nullptr;
    }
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == this || !c->Visible() || !c->Enabled()) continue;
        TRect r = c->BoundsRect();
        // A control shrunk to nothing still touches the splitter on its side.
        if (r.Width() == 0) (Align() == alLeft || Align() == alTop) ? --r.Left : ++r.Right;
        if (r.Height() == 0) (Align() == alLeft || Align() == alTop) ? --r.Top : ++r.Bottom;
        if (PtInRect(r, p)) return c;
    }
    return nullptr;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || dragging_) return;
    control_ = ResizeControl();
    if (!control_) return;
    control_->FreeNotification(this);
    dragging_ = true;
    downPos_ = Horizontal() ? Y + Top() : X + Left();
    startSize_ = lastSize_ = SizeOf(control_);
    // What the others aligned the same way take stays theirs; the rest keeps MinSize.
    TRect client = Parent()->ClientRect();
    maxSize_ = (Horizontal() ? client.Height() : client.Width()) - minSize_;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TControl* c = Parent()->Controls(i);
        if (!c->Visible()) continue;
        bool sameAxis = Horizontal() ? (c->Align() == alTop || c->Align() == alBottom)
                                     : (c->Align() == alLeft || c->Align() == alRight);
        if (sameAxis) maxSize_ -= SizeOf(c);
    }
    maxSize_ += startSize_;
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!dragging_ || !control_) return;
    int pos = Horizontal() ? Y + Top() : X + Left();
    int delta = pos - downPos_;
    if (Align() == alRight || Align() == alBottom) delta = -delta;
    int size = startSize_ + delta;
    if (maxSize_ < minSize_) return;  // no room to resize in
    size = std::clamp(size, minSize_, maxSize_);
    if (size == lastSize_) return;
    bool accept = true;
    if (OnCanResize) OnCanResize(this, size, accept);
    if (!accept || size == lastSize_ || !control_) return;
    ApplySize(size);
}

void TSplitter::ApplySize(int size) {
    TControl* c = control_;
    lastSize_ = size;
    // The far edge stays where it is: the alignment order of the bottom and right sides
    // goes by that edge.
    switch (Align()) {
        case alLeft: c->SetWidth(size); break;
        case alTop: c->SetHeight(size); break;
        case alRight: c->SetBounds(c->Left() + c->Width() - size, c->Top(), size, c->Height()); break;
        case alBottom: c->SetBounds(c->Left(), c->Top() + c->Height() - size, c->Width(), size); break;
        default: break;
    }
    if (Parent()) Parent()->Update();
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !dragging_) return;
    bool moved = lastSize_ != startSize_ && control_;
    StopDrag();
    if (moved) FireNotify(OnMoved, this);
}

void TSplitter::StopDrag() {
    if (control_) control_->RemoveFreeNotification(this);
    control_ = nullptr;
    dragging_ = false;
}

void TSplitter::CMCancelMode(TMessage& Message) {
    if (dragging_) StopDrag();
    TGraphicControl::CMCancelMode(Message);
}

void TSplitter::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == control_) {
        control_ = nullptr;
        dragging_ = false;
    }
}

void TSplitter::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    if (beveled_) DrawEdge(c->Handle(), r, BDR_RAISEDINNER, BF_RECT);
}
