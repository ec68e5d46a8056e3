#pragma once
// The drag manager: one drag at a time, with a control as its source. While it runs, the
// source's mouse messages drive it: each move asks the control under the pointer (CM_DRAG)
// whether it takes the drag and shows the drag object's cursor and image; the release drops
// on a target that accepted, Esc or the right button cancel. A drag started without
// Immediate asks no target until the pointer moved the threshold away from where it began.

#include <memory>

#include "platform/forms/control.h"

class TDragImageList;

// What a drag carries.
class TDragObject : public TObject {
public:
    std::string ClassName() const override { return "TDragObject"; }
    virtual TCursor GetDragCursor(bool Accepted, int /*X*/, int /*Y*/) { return Accepted ? crDrag : crNoDrop; }
    virtual TDragImageList* GetDragImages() { return nullptr; }
    // What the targets are told the source is.
    virtual TObject* SourceObject() { return this; }
    // Told after the drag ended, before the source's end event.
    virtual void Finished(TObject* /*Target*/, int /*X*/, int /*Y*/, bool /*Accepted*/) {}

    TPoint DragPos{0, 0};
    TObject* DragTarget = nullptr;
    bool Dropped = false;
};

// The drag object of a control: its cursor and images are the control's, and targets see
// the control as the source.
class TDragControlObject : public TDragObject {
public:
    explicit TDragControlObject(TControl* Control) : control_(Control) {}
    std::string ClassName() const override { return "TDragControlObject"; }
    TControl* Control() const { return control_; }
    TCursor GetDragCursor(bool Accepted, int X, int Y) override;
    TDragImageList* GetDragImages() override { return control_->GetDragImages(); }
    TObject* SourceObject() override { return control_; }

private:
    TControl* control_;
};

// The drag object of the running drag (null when none runs).
TDragObject* ActiveDragObject();
// The control under a screen point that a drag would ask (a graphic control inside its
// parent counts); null over no window of ours.
TControl* FindDragTarget(TPoint Screen);
// Called by TControl::WndProc for every message: the drag's source hands its mouse
// messages and Esc to the drag. True when the message was used up.
bool RouteDragMessage(TControl* Control, TMessage& Message);
// A control going away stops being the drag's source or target.
void ForgetDragControl(TControl* Control);
