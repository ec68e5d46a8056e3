#pragma once
// The default presenter: shows nothing. It keeps the shown top-level windows, their places
// and how much was presented, so tests can ask what a person would see.

#include <map>

#include "platform/display/presenter.h"

class HeadlessPresenter : public Presenter {
public:
    std::string Name() const override { return "headless"; }
    void TopLevelShown(HWND wnd, const TRect& screenRect) override;
    void TopLevelHidden(HWND wnd) override;
    void TopLevelMoved(HWND wnd, const TRect& screenRect) override;
    void TopLevelDestroyed(HWND wnd) override;
    void Present(HWND wnd, HBITMAP backBuffer, const TRect& dirty) override;
    void CursorChanged(HCURSOR cursor) override { cursor_ = cursor; }

    bool IsShown(HWND wnd) const { return shown_.count(wnd) != 0; }
    TRect ShownRect(HWND wnd) const;
    int ShownCount() const { return static_cast<int>(shown_.size()); }
    uint64_t PresentCount() const { return presents_; }
    HCURSOR Cursor() const { return cursor_; }

private:
    std::map<HWND, TRect> shown_;
    uint64_t presents_ = 0;
    HCURSOR cursor_ = IDC_ARROW;
};
