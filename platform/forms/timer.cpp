#include "platform/forms/timer.h"

#include "platform/win/timers.h"

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    window_ = AllocateHWnd([this](TMessage& m) {
        if (m.Msg == WM_TIMER) {
            m.Result = 0;
            Timer();
        } else {
            m.Result = DefWindowProc(window_, m.Msg, m.WParam, m.LParam);
        }
    });
    UpdateTimer();
}

TTimer::~TTimer() {
    enabled_ = false;
    KillTimer(window_, kTimerId);
    DeallocateHWnd(window_);
}

void TTimer::UpdateTimer() {
    KillTimer(window_, kTimerId);
    if (interval_ != 0 && enabled_) SetTimer(window_, kTimerId, interval_);
}

void TTimer::SetEnabled(bool v) {
    if (enabled_ == v) return;
    enabled_ = v;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned v) {
    if (interval_ == v) return;
    interval_ = v;
    UpdateTimer();
}

void TTimer::Timer() {
    // A handler may free the timer: take a copy of the handler first.
    if (enabled_ && OnTimer) {
        TNotifyEvent handler = OnTimer;
        handler(this);
    }
}
