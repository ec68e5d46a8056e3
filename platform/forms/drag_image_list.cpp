#include "platform/forms/drag_image_list.h"

#include "platform/win/window_tree.h"

TDragImageList::TDragImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}

TDragImageList::TDragImageList(int Width, int Height, TComponent* AOwner) : TCustomImageList(Width, Height, AOwner) {}

TDragImageList::~TDragImageList() { EndDrag(); }

bool TDragImageList::SetDragImage(int Index, int HotSpotX, int HotSpotY) {
    if (Index < 0 || Index >= Count()) return false;
    dragIndex_ = Index;
    hotSpot_ = TPoint{HotSpotX, HotSpotY};
    if (dragging_) Place();
    return true;
}

bool TDragImageList::BeginDrag(HWND Window, int X, int Y) {
    if (dragIndex_ < 0 || dragIndex_ >= Count()) return false;
    if (!feedback_)
        feedback_ = std::make_unique<TFeedbackWindow>([this](HDC DC, const TRect&) {
            if (dragIndex_ >= 0 && dragIndex_ < Count()) ImageList_Draw(Handle(), dragIndex_, DC, 0, 0, ILD_NORMAL);
        });
    window_ = Window;
    dragging_ = true;
    hidden_ = 0;
    return DragMove(X, Y);
}

bool TDragImageList::DragMove(int X, int Y) {
    if (!dragging_) return false;
    position_ = TPoint{X, Y};
    if (window_) ClientToScreen(window_, &position_);
    Place();
    return true;
}

void TDragImageList::Place() {
    dragRect_ = TRect{position_.X - hotSpot_.X, position_.Y - hotSpot_.Y, position_.X - hotSpot_.X + Width(),
                      position_.Y - hotSpot_.Y + Height()};
    if (hidden_ == 0) feedback_->ShowAt(dragRect_);
}

void TDragImageList::EndDrag() {
    if (!dragging_) return;
    dragging_ = false;
    hidden_ = 0;
    feedback_.reset();
}

void TDragImageList::HideDragImage() {
    if (!dragging_) return;
    if (hidden_++ == 0) feedback_->Hide();
}

void TDragImageList::ShowDragImage() {
    if (!dragging_ || hidden_ == 0) return;
    if (--hidden_ == 0) feedback_->ShowAt(dragRect_);
}

HWND TDragImageList::DragWindow() const { return feedback_ && feedback_->Showing() ? feedback_->Handle() : nullptr; }
