#include "platform/display/headless_presenter.h"

void HeadlessPresenter::TopLevelShown(HWND wnd, const TRect& screenRect) { shown_[wnd] = screenRect; }
void HeadlessPresenter::TopLevelHidden(HWND wnd) { shown_.erase(wnd); }
void HeadlessPresenter::TopLevelMoved(HWND wnd, const TRect& screenRect) {
    auto it = shown_.find(wnd);
    if (it != shown_.end()) it->second = screenRect;
}
void HeadlessPresenter::TopLevelDestroyed(HWND wnd) { shown_.erase(wnd); }
void HeadlessPresenter::Present(HWND, HBITMAP, const TRect&) { ++presents_; }

TRect HeadlessPresenter::ShownRect(HWND wnd) const {
    auto it = shown_.find(wnd);
    return it == shown_.end() ? TRect{} : it->second;
}
