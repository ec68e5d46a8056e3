#pragma once
// A small topmost pop-up window for drag feedback (a drag image, drop arrows). Our windows
// share no screen surface to draw on, so feedback lives in windows of its own: they never
// take activation and let the mouse through to the windows below, so the drag goes on as if
// they were not there.

#include <functional>

#include "platform/gdi/bitmap.h"
#include "platform/win/window_handle.h"

class TFeedbackWindow {
public:
    // Paints the client area (0, 0, width, height).
    using TPaintProc = std::function<void(HDC DC, const TRect& Client)>;
    explicit TFeedbackWindow(TPaintProc Paint);
    ~TFeedbackWindow();
    TFeedbackWindow(const TFeedbackWindow&) = delete;
    TFeedbackWindow& operator=(const TFeedbackWindow&) = delete;

    // Shows the window over a screen rectangle; a shown one moves and is painted again.
    void ShowAt(const TRect& Screen);
    void Hide();
    bool Showing() const { return wnd_ != nullptr && showing_; }
    HWND Handle() const { return wnd_; }
    // Only the pixels of Shape that differ from Transparent take part (the rest shows what
    // lies below); an empty shape makes the whole rectangle count again.
    void SetShape(TBitmap* Shape, TColor Transparent);

private:
    LRESULT Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void ApplyShape();

    TPaintProc paint_;
    HWND wnd_ = nullptr;
    bool showing_ = false;
    TRect rect_;
    TBitmap shape_;
    TColor transparent_ = clNone;
};
