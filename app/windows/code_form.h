#pragma once
// TForm4, the code entry: 4 to 8 digits, shown as "*", handed to the caller only after OK.

#include <string>

#include "app/common/app_controls.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/mask_edit.h"

class TForm4 : public TForm {
public:
    explicit TForm4(TComponent* AOwner);
    std::string ClassName() const override { return "TForm4"; }

    void Button1Click();
    void Button2Click();
    void FormKeyPress(char32_t& Key);

    bool Accepted = false;
    TLabel* Label1;
    TMaskEdit* MaskEdit1;
    TAppButton* Button1;
    TAppButton* Button2;
};

extern TForm4* Form4;

// Asks for a code under `caption`; true and the entry in `code` when the user confirmed one.
bool AskCode(const std::string& caption, std::string& code);
