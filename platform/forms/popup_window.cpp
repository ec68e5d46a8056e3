#include "platform/forms/popup_window.h"

#include "platform/gdi/system_metrics.h"
#include "platform/win/input.h"
#include "platform/win/paint.h"

TPopupWindow::~TPopupWindow() {
    OnClosed = nullptr;
    Close();
}

void TPopupWindow::Open(HWND owner, TRect r, int avoidTop) {
    Close();
    TRect work = WorkAreaRect();
    if (r.Bottom > work.Bottom && avoidTop >= 0) OffsetRect(r, 0, avoidTop - r.Bottom);
    if (r.Bottom > work.Bottom) OffsetRect(r, 0, work.Bottom - r.Bottom);
    if (r.Right > work.Right) OffsetRect(r, work.Right - r.Right, 0);
    if (r.Left < work.Left) OffsetRect(r, work.Left - r.Left, 0);
    if (r.Top < work.Top) OffsetRect(r, 0, work.Top - r.Top);
    size_ = {r.Width(), r.Height()};
    closing_ = false;
    wnd_ = CreateWindowEx(WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WS_POPUP | WS_CLIPSIBLINGS, r.Left,
                          r.Top, r.Width(), r.Height(), owner,
                          [this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return Proc(w, m, wp, lp); });
    ShowWindow(wnd_, SW_SHOWNA);
    SetCapture(wnd_);
}

void TPopupWindow::Close() {
    if (!wnd_ || closing_) return;
    closing_ = true;
    HWND w = wnd_;
    if (GetCapture() == w) ReleaseCapture();
    wnd_ = nullptr;
    DestroyWindow(w);
    closing_ = false;
    if (OnClosed) OnClosed();
}

void TPopupWindow::Invalidate() {
    if (wnd_) InvalidateRect(wnd_, nullptr, false);
}

LRESULT TPopupWindow::Proc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    TPoint p{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    switch (msg) {
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(wnd, &ps);
            {
                TCanvas canvas;
                canvas.SetHandle(dc);
                Paint(&canvas);
                canvas.SetHandle(nullptr);
            }
            EndPaint(wnd, &ps);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (PtInRect(ClientRect(), p))
                MouseMove(p);
            else
                MouseLeave();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (!PtInRect(ClientRect(), p)) {
                Close();
                return 0;
            }
            if (msg != WM_RBUTTONDOWN && msg != WM_MBUTTONDOWN) MouseDown(p);
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (PtInRect(ClientRect(), p)) MouseUp(p);
            return 0;
        case WM_MOUSEWHEEL: MouseWheel(GET_WHEEL_DELTA_WPARAM(wparam)); return 0;
        case WM_POPUPKEY: return KeyDown(static_cast<uint16_t>(wparam)) ? 1 : 0;
        case WM_CAPTURECHANGED:
            if (wnd_ == wnd && reinterpret_cast<HWND>(lparam) != wnd) Close();
            return 0;
        default: return DefWindowProc(wnd, msg, wparam, lparam);
    }
}
