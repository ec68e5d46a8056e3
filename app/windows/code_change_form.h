#pragma once
// TForm5, the code change: the old code, the new one and its repetition (shown as "*"). The
// device checks the old code for the level first, then takes the new one; the dialog closes
// only when both succeeded.

#include <cstdint>
#include <string>

#include "app/common/app_controls.h"
#include "link/wait_for.h"

class TDeviceSession;
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/mask_edit.h"

class TForm5 : public TForm {
public:
    explicit TForm5(TComponent* AOwner);
    std::string ClassName() const override { return "TForm5"; }

    void MaskEdit1Change();
    void Button1Click();
    void Button2Click();

    bool Accepted = false;
    int32_t Level = 1;                  // the level whose code changes (1 control, 2 system, 3 install)
    TDeviceSession* Session = nullptr;  // the device that checks and takes the codes
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TMaskEdit* MaskEdit1;
    TMaskEdit* MaskEdit2;
    TMaskEdit* MaskEdit3;
    TAppButton* Button1;
    TAppButton* Button2;

private:
    // The dialog is still up and nobody pressed a button that ends it.
    bool StillOpen() const;
    // True when `wait` ended the change (dialog closed, page left, link lost, program end).
    bool Ended(TWaitEnd wait);
};

extern TForm5* Form5;

// Changes the code of `level` under `caption` on the device of `session`; true, with the
// entries in `oldCode` and `newCode`, when the device took the new code.
bool ChangeCode(TDeviceSession& session, int32_t level, const std::string& caption, std::string& oldCode,
                std::string& newCode);
