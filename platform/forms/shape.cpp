#include "platform/forms/shape.h"

#include <algorithm>

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {
    controlStyle_ |= csReplicatable;
    SetBounds(0, 0, 65, 65);
    pen_->OnChange = [this](TObject*) { Invalidate(); };
    brush_->OnChange = [this](TObject*) { Invalidate(); };
}

TShape::~TShape() {
    pen_->OnChange = nullptr;
    brush_->OnChange = nullptr;
}

void TShape::SetShape(TShapeType v) {
    if (shape_ == v) return;
    shape_ = v;
    Invalidate();
}

void TShape::Paint() {
    TCanvas* c = Canvas();
    c->SetPen(pen_.get());
    c->SetBrush(brush_.get());
    int x = pen_->Width() / 2;
    int y = x;
    int w = Width() - pen_->Width() + 1;
    int h = Height() - pen_->Width() + 1;
    if (pen_->Width() == 0) {
        --w;
        --h;
    }
    if (w < h) {
        if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
            y += (h - w) / 2;
            h = w;
        }
    } else if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
        x += (w - h) / 2;
        w = h;
    }
    switch (shape_) {
        case stRectangle:
        case stSquare: c->Rectangle(x, y, x + w, y + h); break;
        case stRoundRect:
        case stRoundSquare: {
            int s = std::min(w, h) / 4;
            c->RoundRect(x, y, x + w, y + h, s, s);
            break;
        }
        case stEllipse:
        case stCircle: c->Ellipse(x, y, x + w, y + h); break;
    }
}
