#include "platform/forms/bevel.h"

#include "platform/forms/control_paint.h"

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    controlStyle_ |= csReplicatable;
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape v) {
    if (shape_ == v) return;
    shape_ = v;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle v) {
    if (style_ == v) return;
    style_ = v;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas* c = Canvas();
    TColor c1 = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor c2 = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
    auto line = [c](TColor color, int x1, int y1, int x2, int y2) {
        c->Pen()->SetColor(color);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    int w = Width();
    int h = Height();
    TRect r = ClientRect();
    switch (shape_) {
        case bsBox: Frame3D(c, r, c1, c2, 1); break;
        case bsFrame: {
            TRect outer = Rect(0, 0, w - 1, h - 1);
            TRect inner = Rect(1, 1, w, h);
            if (style_ == bsLowered) std::swap(outer, inner);
            Frame3D(c, inner, c2, c2, 1);
            Frame3D(c, outer, c1, c1, 1);
            break;
        }
        case bsTopLine:
            line(c1, 0, 0, w, 0);
            line(c2, 0, 1, w, 1);
            break;
        case bsBottomLine:
            line(c1, 0, h - 2, w, h - 2);
            line(c2, 0, h - 1, w, h - 1);
            break;
        case bsLeftLine:
            line(c1, 0, 0, 0, h);
            line(c2, 1, 0, 1, h);
            break;
        case bsRightLine:
            line(c1, w - 2, 0, w - 2, h);
            line(c2, w - 1, 0, w - 1, h);
            break;
        case bsSpacer: break;
    }
}
