#pragma once
// TDragImageList: an image list whose image can follow the mouse during a drag. The image
// shows in a feedback window (topmost, never active, transparent to the mouse) with its hot
// spot under the given point.

#include <memory>

#include "platform/forms/control_types.h"
#include "platform/forms/feedback_window.h"
#include "platform/gdi/image_list.h"

class TDragImageList : public TCustomImageList {
public:
    explicit TDragImageList(TComponent* AOwner = nullptr);
    TDragImageList(int Width, int Height, TComponent* AOwner = nullptr);
    ~TDragImageList() override;
    std::string ClassName() const override { return "TDragImageList"; }

    // The image the next BeginDrag shows and its hot spot (from the image's top-left).
    // False for an index out of range.
    bool SetDragImage(int Index, int HotSpotX, int HotSpotY);
    TPoint DragHotspot() const { return hotSpot_; }
    void SetDragHotspot(TPoint Value) { hotSpot_ = Value; }
    int DragIndex() const { return dragIndex_; }
    TCursor DragCursor() const { return dragCursor_; }
    void SetDragCursor(TCursor Value) { dragCursor_ = Value; }

    // Shows the image with its hot spot at (X, Y), client coordinates of Window (null: the
    // screen). DragMove takes the same coordinates.
    bool BeginDrag(HWND Window, int X, int Y);
    bool DragMove(int X, int Y);
    void EndDrag();
    bool Dragging() const { return dragging_; }
    // Nested: the image shows again when every hide has been matched by a show.
    void HideDragImage();
    void ShowDragImage();
    // The window the image shows in (null while it does not); the screen rectangle it covers.
    HWND DragWindow() const;
    TRect DragRect() const { return dragRect_; }

private:
    void Place();

    int dragIndex_ = 0;
    TPoint hotSpot_{0, 0};
    TCursor dragCursor_ = crDefault;
    bool dragging_ = false;
    int hidden_ = 0;
    HWND window_ = nullptr;
    TPoint position_{0, 0};
    TRect dragRect_;
    std::unique_ptr<TFeedbackWindow> feedback_;
};
