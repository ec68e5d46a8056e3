#pragma once
// The step progress of the long device dialogues (the menu page shows it), and the question
// after two minutes without progress. The main window keeps it; the pages and the device
// session count their steps on it.

#include <cstdint>

class TStepProgress {
public:
    virtual ~TStepProgress() = default;
    // Shown at step 1 of `steps` (at least 1).
    virtual void ProgressStart(int32_t steps) = 0;
    virtual void ProgressStep() = 0;
    // Adds steps to the running progress without advancing it.
    virtual void ProgressAddSteps(int32_t steps) = 0;
    virtual void ProgressHide() = 0;
    // After 2 whole minutes asks whether to give up; true when the user gave up.
    virtual bool CheckStepTimeout() = 0;
    // Starts the two minutes of CheckStepTimeout anew without showing the progress: for the
    // wizards' waits, which have no steps to count.
    virtual void RestartStepTime() = 0;
};
