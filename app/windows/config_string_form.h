#pragma once
// "Konfigurationsstring": a block text (hex bytes separated by ",") edited in 20 lines of
// four bytes and a rest line for whatever lies beyond 80 bytes.

#include <string>

#include "app/common/app_controls.h"
#include "app/config/block_text.h"
#include "platform/forms/form.h"

class TForm3 : public TForm {
public:
    explicit TForm3(TComponent* AOwner);
    std::string ClassName() const override { return "TForm3"; }

    void Button1Click();
    void Button2Click();

    // Line 1..21 (21 the rest); null for other numbers.
    TAppEdit* ConfigStringEdit(int line);
    void SplitToEdits(const std::string& text);
    std::string JoinEdits();

    bool Ok = false;
    std::string Text;
    TAppButton* Button1;
    TAppButton* Button2;

private:
    TAppEdit* edits_[21];
};

extern TForm3* Form3;

// Opens Form3 modally on `text`; true and `text` replaced when closed with OK.
bool EditConfigString(std::string& text);
