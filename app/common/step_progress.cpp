#include "app/common/step_progress.h"

#include <cmath>
#include <string>

#include "app/common/comp_text.h"
#include "app/common/cust_msg.h"
#include "link/wait_for.h"
#include "platform/forms/label.h"
#include "platform/forms/progress_bar.h"

void TStepProgress::ShowOn(TProgressBar* bar, TLabel* text, TLabel* count) {
    bar_ = bar;
    text_ = text;
    count_ = count;
}

void TStepProgress::ProgressStart(int32_t steps) {
    step_ = 1;
    stepCount_ = steps < 1 ? 1 : steps;
    stepStart_ = Now();
    if (bar_) {
        bar_->SetPosition(0);
        bar_->SetVisible(true);
        text_->SetCaption(GetCompText(1103));
        count_->SetCaption("1 / " + std::to_string(stepCount_));
    }
    PumpMessages();
}

void TStepProgress::ProgressStep() {
    if (step_ < stepCount_) ++step_;
    ShowStep();
    PumpMessages();
}

void TStepProgress::ProgressAddSteps(int32_t steps) {
    stepCount_ += steps;
    ShowStep();
    PumpMessages();
}

void TStepProgress::ShowStep() {
    if (!bar_) return;
    count_->SetCaption(std::to_string(step_) + " / " + std::to_string(stepCount_));
    bar_->SetPosition(static_cast<int>(std::lround(100.0 / stepCount_ * step_)));
}

void TStepProgress::ProgressHide() {
    if (!bar_) return;
    bar_->SetPosition(0);
    bar_->SetVisible(false);
    text_->SetCaption("");
    count_->SetCaption("");
}

void TStepProgress::RestartStepTime() { stepStart_ = Now(); }

bool TStepProgress::CheckStepTimeout() {
    const int64_t elapsed = DateTimeToMilliseconds(Now()) - DateTimeToMilliseconds(stepStart_);
    if (elapsed / 60000 < 2) return false;
    if (CustMessageDlg(GetCompTextLines(1199), mtCustConfirmation, mbCustYes | mbCustNo, 0) == 6) {
        ProgressHide();
        if (OnGiveUp) OnGiveUp();
        return true;
    }
    stepStart_ = Now();
    return false;
}
