#pragma once
// A pop-up window for drop-down lists and menus: a top-level window owned by a form that
// never takes activation (the focus stays in the control that opened it). While open it
// holds the mouse capture; a press outside it closes it, as does losing the capture. A
// descendant that handles the keyboard while open (a menu) sees every key-down first.

#include <functional>

#include "platform/gdi/canvas.h"
#include "platform/win/window_tree.h"

class TPopupWindow {
public:
    TPopupWindow() = default;
    virtual ~TPopupWindow();
    TPopupWindow(const TPopupWindow&) = delete;
    TPopupWindow& operator=(const TPopupWindow&) = delete;

    // Opens at a screen rectangle (kept inside the work area: moved above `avoidTop` when it
    // does not fit below).
    void Open(HWND owner, TRect screenRect, int avoidTop = -1);
    void Close();
    bool IsOpen() const { return wnd_ != nullptr; }
    HWND Handle() const { return wnd_; }
    void Invalidate();
    TRect ClientRect() const { return Rect(0, 0, size_.cx, size_.cy); }

    // Called after the window closed (by Close or by a click outside).
    std::function<void()> OnClosed;

protected:
    virtual void Paint(TCanvas* canvas) = 0;
    virtual void MouseMove(TPoint) {}
    virtual void MouseDown(TPoint) {}
    virtual void MouseUp(TPoint) {}
    virtual void MouseWheel(int) {}
    virtual void MouseLeave() {}
    // True when the key was used; it then goes nowhere else.
    virtual bool KeyDown(uint16_t) { return false; }

private:
    LRESULT Proc(HWND wnd, UINT msg, WPARAM wparam, LPARAM lparam);
    HWND wnd_ = nullptr;
    TSize size_;
    bool closing_ = false;
};
