#pragma once
// TShape: a rectangle, square, rounded rectangle or square, ellipse or circle drawn with its
// own pen and brush (the status lamps of the windows).

#include <memory>

#include "platform/forms/control.h"

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);
    ~TShape() override;
    std::string ClassName() const override { return "TShape"; }

    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType v);
    // Changing the pen or the brush repaints the shape.
    TPen* Pen() { return pen_.get(); }
    TBrush* Brush() { return brush_.get(); }
    void SetPen(TPen* v) { pen_->Assign(v); }
    void SetBrush(TBrush* v) { brush_->Assign(v); }

protected:
    void Paint() override;

private:
    TShapeType shape_ = stRectangle;
    std::unique_ptr<TPen> pen_;
    std::unique_ptr<TBrush> brush_;
};
