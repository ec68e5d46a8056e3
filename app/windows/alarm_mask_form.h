#pragma once
// "Alarm-Maske": eight check boxes for the bits of an output row's alarm mask, which
// travels as its 8-character text ("X" for a set bit, bit 0 first).

#include <string>

#include "app/common/app_controls.h"
#include "platform/forms/form.h"

class TForm2 : public TForm {
public:
    explicit TForm2(TComponent* AOwner);
    std::string ClassName() const override { return "TForm2"; }

    void Button1Click();
    void Button2Click();
    void FormKeyPress(char32_t& Key);

    // The text kept between opening and closing.
    std::string MaskText;
    TAppCheckEdit* CheckEdit[8];
    TAppButton* Button1;
    TAppButton* Button2;
};

extern TForm2* Form2;

// Opens Form2 modally on `mask`; the new text after OK, else `mask` as it was.
std::string ShowAlarmMask(const std::string& mask);
