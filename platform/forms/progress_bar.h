#pragma once
// TProgressBar: a sunken bar filled with blocks (or smoothly) from Min to Position.

#include "platform/forms/win_control.h"

class TProgressBar : public TCustomControl {
public:
    explicit TProgressBar(TComponent* AOwner);
    std::string ClassName() const override { return "TProgressBar"; }

    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    // Kept within Min..Max.
    int Position() const { return position_; }
    void SetPosition(int v);
    int Step() const { return step_; }
    void SetStep(int v) { step_ = v; }
    void StepIt() { SetPosition(position_ + step_); }
    void StepBy(int Delta) { SetPosition(position_ + Delta); }
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool v);

protected:
    void Paint() override;
    void CreateParams(TCreateParams& Params) override;

private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int step_ = 10;
    bool smooth_ = false;
};
