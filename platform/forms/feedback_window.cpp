#include "platform/forms/feedback_window.h"

#include "platform/gdi/color.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/win/paint.h"
#include "platform/win/window_tree.h"

TFeedbackWindow::TFeedbackWindow(TPaintProc Paint) : paint_(std::move(Paint)) {}

TFeedbackWindow::~TFeedbackWindow() {
    if (wnd_ && IsWindow(wnd_)) DestroyWindow(wnd_);
}

void TFeedbackWindow::ShowAt(const TRect& Screen) {
    const bool sized = Screen.Width() != rect_.Width() || Screen.Height() != rect_.Height();
    rect_ = Screen;
    if (wnd_ && !IsWindow(wnd_)) wnd_ = nullptr;
    if (!wnd_) {
        wnd_ = CreateWindowEx(WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WS_POPUP, Screen.Left, Screen.Top,
                              Screen.Width(), Screen.Height(), nullptr,
                              [this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return Proc(w, m, wp, lp); });
        showing_ = false;
        ApplyShape();
    } else {
        SetWindowPos(wnd_, HWND_TOPMOST, Screen.Left, Screen.Top, Screen.Width(), Screen.Height(), SWP_NOACTIVATE);
        if (sized) ApplyShape();
        InvalidateRect(wnd_, nullptr, false);
    }
    if (!showing_) ShowWindow(wnd_, SW_SHOWNA);
    showing_ = true;
}

void TFeedbackWindow::Hide() {
    if (wnd_ && showing_) ShowWindow(wnd_, SW_HIDE);
    showing_ = false;
}

void TFeedbackWindow::SetShape(TBitmap* Shape, TColor Transparent) {
    if (Shape)
        shape_.Assign(Shape);
    else
        shape_.SetSize(0, 0);
    transparent_ = Transparent;
    ApplyShape();
}

// The region is built from runs of opaque pixels, row by row.
void TFeedbackWindow::ApplyShape() {
    if (!wnd_) return;
    if (shape_.Empty()) {
        SetWindowRgn(wnd_, nullptr, true);
        return;
    }
    const COLORREF key = ColorToRGB(transparent_);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < shape_.Height(); ++y) {
        int x = 0;
        while (x < shape_.Width()) {
            while (x < shape_.Width() && shape_.Pixel(x, y) == key) ++x;
            const int start = x;
            while (x < shape_.Width() && shape_.Pixel(x, y) != key) ++x;
            if (x > start) {
                HRGN run = CreateRectRgn(start, y, x, y + 1);
                CombineRgn(region, region, run, RGN_OR);
                DeleteObject(run);
            }
        }
    }
    SetWindowRgn(wnd_, region, true);
}

LRESULT TFeedbackWindow::Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_NCHITTEST: return HTTRANSPARENT;
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_ERASEBKGND: return 1;
        case WM_DESTROY:
            wnd_ = nullptr;
            showing_ = false;
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Wnd, &ps);
            if (paint_) paint_(dc, TRect{0, 0, rect_.Width(), rect_.Height()});
            EndPaint(Wnd, &ps);
            return 0;
        }
        default: return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
}
