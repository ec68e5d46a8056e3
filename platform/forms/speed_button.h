#pragma once
// TSpeedButton: a button without focus that shows a glyph (its bottom-left pixel's colour
// is transparent) left of its caption, Margin pixels in from the left edge. A flat button
// shows its edge only under the mouse or while pressed. Click fires on a release over it.

#include <memory>

#include "platform/forms/control.h"
#include "platform/gdi/bitmap.h"

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;
    std::string ClassName() const override { return "TSpeedButton"; }

    // Made empty on first read; a bitmap set is copied.
    TBitmap* Glyph();
    void SetGlyph(TBitmap* v);
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    // -1 centres glyph and caption together.
    int Margin() const { return margin_; }
    void SetMargin(int v);
    bool Pressed() const { return tracking_ && mouseInside_; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;

private:
    std::unique_ptr<TBitmap> glyph_;
    bool flat_ = false;
    int margin_ = -1;
    bool hot_ = false;
    bool tracking_ = false;
    bool mouseInside_ = false;
};
