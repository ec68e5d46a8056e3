#pragma once
// TTimer: fires OnTimer every Interval milliseconds of the clock while Enabled, through a
// timer of the window layer on a hidden window. Changing Enabled or Interval restarts it.

#include "platform/classes/component.h"
#include "platform/win/window_handle.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    std::string ClassName() const override { return "TTimer"; }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned v);
    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    bool enabled_ = true;
    unsigned interval_ = 1000;
    HWND window_ = nullptr;
};
