#pragma once
// The step progress of the long device dialogues, on the menu page's bar and labels, and the
// question after two minutes without progress. The main window keeps it; the pages and the
// device session count their steps on it.

#include <cstdint>
#include <functional>

#include "platform/rtl/date_time.h"

class TLabel;
class TProgressBar;

class TStepProgress {
public:
    // The bar and the labels it shows on (text 1103, and "step / count"); not owned. Until
    // they are given, nothing shows.
    void ShowOn(TProgressBar* bar, TLabel* text, TLabel* count);

    // Shown at step 1 of `steps` (at least 1).
    void ProgressStart(int32_t steps);
    void ProgressStep();
    // Adds steps to the running progress without advancing it.
    void ProgressAddSteps(int32_t steps);
    void ProgressHide();
    // After 2 whole minutes asks whether to give up; true when the user gave up (the progress
    // goes, then OnGiveUp).
    bool CheckStepTimeout();
    // Starts the two minutes of CheckStepTimeout anew without showing the progress: for the
    // wizards' waits, which have no steps to count.
    void RestartStepTime();

    // The technician gave up waiting: the main window leaves for the start page.
    std::function<void()> OnGiveUp;

private:
    void ShowStep();

    TProgressBar* bar_ = nullptr;
    TLabel* text_ = nullptr;
    TLabel* count_ = nullptr;
    int32_t step_ = 0;
    int32_t stepCount_ = 1;
    TDateTime stepStart_ = 0;
};
