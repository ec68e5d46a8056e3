#include "platform/forms/label.h"

#include "platform/forms/control_paint.h"
#include "platform/forms/win_control.h"

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    controlStyle_ |= csOpaque | csReplicatable;
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
}

void TLabel::SetAlignment(TAlignment v) {
    if (alignment_ == v) return;
    alignment_ = v;
    Invalidate();
}

void TLabel::SetAutoSize(bool v) {
    if (autoSize_ == v) return;
    autoSize_ = v;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool v) {
    if (wordWrap_ == v) return;
    wordWrap_ = v;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool v) {
    if (transparent_ == v) return;
    transparent_ = v;
    if (v)
        controlStyle_ &= ~csOpaque;
    else
        controlStyle_ |= csOpaque;
    Invalidate();
}

void TLabel::SetLayout(TTextLayout v) {
    if (layout_ == v) return;
    layout_ = v;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool v) {
    if (showAccelChar_ == v) return;
    showAccelChar_ = v;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetFocusControl(TWinControl* v) {
    if (focusControl_ == v) return;
    if (focusControl_) focusControl_->RemoveFreeNotification(this);
    focusControl_ = v;
    if (v) v->FreeNotification(this);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == focusControl_) focusControl_ = nullptr;
}

unsigned TLabel::TextFlags() const {
    unsigned flags = DT_EXPANDTABS;
    if (wordWrap_) flags |= DT_WORDBREAK;
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    if (alignment_ == taRightJustify)
        flags |= DT_RIGHT;
    else if (alignment_ == taCenter)
        flags |= DT_CENTER;
    return flags;
}

void TLabel::AdjustBounds() {
    if (!autoSize_ || HasState(csLoading)) return;
    TRect r = MeasureText(Font(), Caption(), Rect(0, 0, wordWrap_ ? Width() : 0x3FFF, 0),
                          TextFlags() & ~(DT_RIGHT | DT_CENTER));
    int w = wordWrap_ ? Width() : r.Width();
    int left = Left();
    if (!wordWrap_ && alignment_ == taRightJustify)
        left += Width() - w;
    else if (!wordWrap_ && alignment_ == taCenter)
        left += (Width() - w) / 2;
    SetBounds(left, Top(), w, r.Height());
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TLabel::CMTextChanged(TMessage& Message) {
    TGraphicControl::CMTextChanged(Message);
    AdjustBounds();
    Invalidate();
}

void TLabel::CMFontChanged(TMessage& Message) {
    TGraphicControl::CMFontChanged(Message);
    AdjustBounds();
    Invalidate();
}

void TLabel::CMDialogChar(TMessage& Message) {
    if (focusControl_ && Enabled() && showAccelChar_ && IsAccel(static_cast<char32_t>(Message.WParam), Caption()) &&
        focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        Message.Result = 1;
        return;
    }
    TGraphicControl::CMDialogChar(Message);
}

void TLabel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (!transparent_) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        c->FillRect(r);
    }
    c->SetFont(Font());
    unsigned flags = TextFlags();
    if (layout_ != tlTop) {
        TRect calc = r;
        DrawControlText(c, Caption(), calc, flags | DT_CALCRECT, true);
        int dy = r.Height() - calc.Height();
        r.Top += layout_ == tlCenter ? dy / 2 : dy;
    }
    DrawControlText(c, Caption(), r, flags, Enabled());
}
