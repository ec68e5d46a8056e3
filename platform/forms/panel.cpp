#include "platform/forms/panel.h"

#include "platform/forms/control_paint.h"

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    controlStyle_ = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks |
                    csReplicatable;
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
    SetParentColor(true);
}

void TPanel::FrameChanged() {
    Realign();
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut v) {
    if (bevelInner_ == v) return;
    bevelInner_ = v;
    FrameChanged();
}

void TPanel::SetBevelOuter(TBevelCut v) {
    if (bevelOuter_ == v) return;
    bevelOuter_ = v;
    FrameChanged();
}

void TPanel::SetBevelWidth(int v) {
    if (v < 1) v = 1;
    if (bevelWidth_ == v) return;
    bevelWidth_ = v;
    FrameChanged();
}

void TPanel::SetBorderWidth(int v) {
    if (v < 0) v = 0;
    if (borderWidth_ == v) return;
    borderWidth_ = v;
    FrameChanged();
}

void TPanel::SetBorderStyle(TBorderStyle v) {
    if (borderStyle_ == v) return;
    borderStyle_ = v;
    if (HandleAllocated()) RecreateWnd();
    FrameChanged();
}

void TPanel::SetAlignment(TAlignment v) {
    if (alignment_ == v) return;
    alignment_ = v;
    Invalidate();
}

void TPanel::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (borderStyle_ == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TPanel::CMTextChanged(TMessage& Message) {
    TCustomControl::CMTextChanged(Message);
    Invalidate();
}

void TPanel::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    int inset = borderWidth_;
    if (bevelOuter_ != bvNone) inset += bevelWidth_;
    if (bevelInner_ != bvNone) inset += bevelWidth_;
    InflateRect(Rect, -inset, -inset);
}

void TPanel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        if (cut == bvSpace) {
            InflateRect(r, -bevelWidth_, -bevelWidth_);
            return;
        }
        TColor top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        TColor bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
        Frame3D(c, r, top, bottom, bevelWidth_);
    };
    bevel(bevelOuter_);
    InflateRect(r, -borderWidth_, -borderWidth_);
    bevel(bevelInner_);
    c->SetFont(Font());
    unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    if (alignment_ == taCenter)
        flags |= DT_CENTER;
    else if (alignment_ == taRightJustify)
        flags |= DT_RIGHT;
    DrawControlText(c, Caption(), r, flags, Enabled());
}
