#pragma once
// The two arrows that mark where a dragged header or band would drop: a down arrow above
// the drop line and an up arrow below it, in their own see-through feedback window so that
// they stand over the control without covering what lies between them.

#include "platform/forms/feedback_window.h"
#include "platform/gdi/bitmap.h"

class TvxDropArrows {
public:
    TvxDropArrows();
    // Places the arrows with the picture's top-left at a screen point; LineHeight is the
    // height of the line they mark, Color their fill.
    void ShowAt(TPoint Screen, int LineHeight, TColor Color);
    void Hide() { window_.Hide(); }
    bool Showing() const { return window_.Showing(); }
    HWND Handle() const { return window_.Handle(); }
    // The picture's size for a line: the down arrow ends one pixel above the line, the up
    // arrow starts one pixel below it.
    static TSize PictureSize(int LineHeight) { return TSize{11, LineHeight + 18}; }

private:
    void Draw(TBitmap& Bitmap, TColor Color, int Height);

    TFeedbackWindow window_;
    TBitmap picture_;
    int lineHeight_ = -1;
    TColor color_ = clNone;
};
