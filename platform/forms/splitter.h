#pragma once
// TSplitter: a thin bar between aligned controls. Dragging it with the mouse resizes the
// control it is aligned against (the one just before it in its Align direction: above an
// alTop splitter, left of an alLeft one, below an alBottom one, right of an alRight one);
// the parent's alignment then moves the splitter and the neighbours. The control never
// gets smaller than MinSize, and the rest of the parent keeps at least MinSize too.
// OnCanResize may change or refuse each new size; OnMoved reports a finished drag that
// changed the size.

#include <functional>

#include "platform/forms/control.h"

using TCanResizeEvent = std::function<void(TObject* Sender, int& NewSize, bool& Accept)>;

class TSplitter : public TGraphicControl {
public:
    explicit TSplitter(TComponent* AOwner);
    std::string ClassName() const override { return "TSplitter"; }

    int MinSize() const { return minSize_; }
    void SetMinSize(int v) { minSize_ = v < 1 ? 1 : v; }
    bool Beveled() const { return beveled_; }
    void SetBeveled(bool v);
    // The control a drag resizes (null when no control touches the splitter on that side).
    TControl* ResizeControl();
    bool Dragging() const { return dragging_; }

    TCanResizeEvent OnCanResize;
    TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void RequestAlign() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CMCancelMode(TMessage& Message) override;

private:
    bool Horizontal() const { return Align() == alTop || Align() == alBottom; }
    int SizeOf(TControl* c) const;
    void ApplySize(int size);
    void StopDrag();

    int minSize_ = 30;
    bool beveled_ = false;
    bool dragging_ = false;
    TControl* control_ = nullptr;  // the control being resized while dragging
    int downPos_ = 0;              // mouse position in the parent at the press
    int startSize_ = 0;
    int maxSize_ = 0;
    int lastSize_ = 0;
};
