#include "platform/forms/speed_button.h"

#include "platform/forms/control_paint.h"

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() = default;

TBitmap* TSpeedButton::Glyph() {
    if (!glyph_) glyph_ = std::make_unique<TBitmap>();
    return glyph_.get();
}

void TSpeedButton::SetGlyph(TBitmap* v) {
    if (!v)
        glyph_.reset();
    else
        Glyph()->Assign(v);
    Invalidate();
}

void TSpeedButton::SetFlat(bool v) {
    if (flat_ == v) return;
    flat_ = v;
    Invalidate();
}

void TSpeedButton::SetMargin(int v) {
    if (margin_ == v) return;
    margin_ = v;
    Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        tracking_ = true;
        mouseInside_ = true;
        Invalidate();
    }
    TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    if (tracking_) {
        const bool inside = PtInRect(ClientRect(), Point(X, Y));
        if (inside != mouseInside_) {
            mouseInside_ = inside;
            Invalidate();
        }
    }
    TGraphicControl::MouseMove(Shift, X, Y);
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && tracking_) {
        tracking_ = false;
        mouseInside_ = false;
        Invalidate();
    }
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
    if (Message.LParam == 0 && !hot_) {
        hot_ = true;
        Invalidate();
    }
    TGraphicControl::CMMouseEnter(Message);
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
    if (Message.LParam == 0 && hot_) {
        hot_ = false;
        Invalidate();
    }
    TGraphicControl::CMMouseLeave(Message);
}

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
    TGraphicControl::CMEnabledChanged(Message);
    if (!Enabled()) tracking_ = mouseInside_ = false;
    Invalidate();
}

void TSpeedButton::CMTextChanged(TMessage& Message) {
    TGraphicControl::CMTextChanged(Message);
    Invalidate();
}

void TSpeedButton::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
    const bool sunk = Pressed();
    if (sunk)
        DrawEdge(c->Handle(), r, flat_ ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
    else if (!flat_)
        DrawEdge(c->Handle(), r, EDGE_RAISED, BF_RECT);
    else if (hot_ && Enabled())
        DrawEdge(c->Handle(), r, BDR_RAISEDINNER, BF_RECT);

    const int shift = sunk ? 1 : 0;
    const bool hasGlyph = glyph_ && !glyph_->Empty();
    const int gw = hasGlyph ? glyph_->Width() : 0;
    const int gh = hasGlyph ? glyph_->Height() : 0;
    c->SetFont(Font());
    const std::string caption = Caption();
    const int tw = caption.empty() ? 0 : c->TextWidth(StripAccel(caption));
    const int spacing = hasGlyph && tw > 0 ? 4 : 0;
    int x = margin_ >= 0 ? margin_ : (r.Width() - gw - spacing - tw) / 2;
    if (hasGlyph) {
        TBitmap glyph;
        glyph.Assign(glyph_.get());
        if (!Enabled()) {
            // Greyed: every pixel that is not the transparent colour in the shadow colour.
            const COLORREF clear = glyph.Pixel(0, gh - 1);
            const COLORREF grey = ColorToRGB(clBtnShadow);
            for (int y = 0; y < gh; ++y)
                for (int x = 0; x < gw; ++x)
                    if (glyph.Pixel(x, y) != clear) glyph.SetPixel(x, y, grey);
        }
        glyph.SetTransparent(true);
        c->Draw(x + shift, (r.Height() - gh) / 2 + shift, &glyph);
        x += gw + spacing;
    }
    if (tw > 0) {
        c->Brush()->SetStyle(bsClear);
        TRect t = Rect(x + shift, shift, r.Right, r.Bottom + shift);
        DrawControlText(c, caption, t, DT_LEFT | DT_VCENTER | DT_SINGLELINE, Enabled());
    }
}
