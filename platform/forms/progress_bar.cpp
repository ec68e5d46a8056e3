#include "platform/forms/progress_bar.h"

#include <algorithm>

TProgressBar::TProgressBar(TComponent* AOwner) : TCustomControl(AOwner) {
    controlStyle_ = csCaptureMouse | csClickEvents | csOpaque;
    SetBounds(0, 0, 150, 16);
    SetColor(clBtnFace);
}

void TProgressBar::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.ExStyle |= WS_EX_STATICEDGE;
}

void TProgressBar::SetMin(int v) {
    if (min_ == v) return;
    min_ = v;
    if (max_ < min_) max_ = min_;
    SetPosition(position_);
    Invalidate();
}

void TProgressBar::SetMax(int v) {
    if (max_ == v) return;
    max_ = v;
    if (min_ > max_) min_ = max_;
    SetPosition(position_);
    Invalidate();
}

void TProgressBar::SetPosition(int v) {
    v = std::clamp(v, min_, max_);
    if (position_ == v) return;
    position_ = v;
    Invalidate();
}

void TProgressBar::SetSmooth(bool v) {
    if (smooth_ == v) return;
    smooth_ = v;
    Invalidate();
}

void TProgressBar::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    InflateRect(r, -1, -1);
    if (max_ <= min_ || r.Width() <= 0) return;
    int filled = static_cast<int>(static_cast<int64_t>(r.Width()) * (position_ - min_) / (max_ - min_));
    c->Brush()->SetColor(clHighlight);
    if (smooth_) {
        c->FillRect(Rect(r.Left, r.Top, r.Left + filled, r.Bottom));
        return;
    }
    // Classic blocks: about two thirds of the height wide, two pixels apart.
    int block = std::max(2, r.Height() * 2 / 3);
    for (int x = r.Left; x < r.Left + filled; x += block + 2)
        c->FillRect(Rect(x, r.Top, std::min(x + block, r.Right), r.Bottom));
}
