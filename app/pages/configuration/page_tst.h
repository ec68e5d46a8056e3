#pragma once
// Page TST, the hidden test page: the framed link on any port, the raw input and output
// blocks (Edit502 and Edit503, which the configuration roads and the link use as well),
// door commands and arbitrary data records, the door state, the broadcast bits and the
// virtual inputs of the bus coupler.

#include <string>

#include "app/pages/main_page.h"
#include "link/device_request.h"
#include "platform/forms/check_box.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/page_control.h"

class TPageTST : public TMainPage {
public:
    static constexpr int Index = 5;
    explicit TPageTST(TMainPages& pages);

    void Button501Click();
    void Button502Click();
    void Button503Click();
    void Button504Click();
    void Button505Click();
    void Button506Click();
    void Button507Click();
    void Button508Click();
    void Button509Click();
    void Button510Click();
    void Button511Click();
    void Button551Click();
    void Button552Click();
    void Button553Click();
    // The two bytes of the virtual inputs from CheckBox1..CheckBox16.
    std::string VirtualInputBytes();

    TLabel* Label1;
    TAppEdit* Edit501;
    TAppButton* Button501;
    TAppButton* Button502;
    TLabel* Label503;
    TAppEdit* Edit502;
    TAppButton* Button509;
    TAppButton* Button503;
    TAppButton* Button504;
    TLabel* Label504;
    TAppEdit* Edit503;
    TAppButton* Button510;
    TAppButton* Button505;
    TAppButton* Button506;
    TAppButton* Button507;
    TAppButton* Button508;
    TLabel* Label502;
    TPageControl* PageControl2;
    TTabSheet* TabSheet3;
    TTabSheet* TabSheet4;
    // Door state: captions Label560..Label564, values Label550..Label554.
    TLabel *Label560, *Label561, *Label562, *Label563, *Label564;
    TLabel *Label550, *Label551, *Label552, *Label553, *Label554;
    TComboBox* ComboBox551;
    TAppButton* Button551;
    TAppEdit* Edit552;
    TAppButton* Button552;
    TAppEdit* Edit553;
    TAppButton* Button553;
    TLabel* Label512;
    TLabel* Label513;
    TLabel* Label511;
    TLabel* Label514;
    TCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5, *CheckBox6, *CheckBox7, *CheckBox8;
    TCheckBox *CheckBox9, *CheckBox10, *CheckBox11, *CheckBox12, *CheckBox13, *CheckBox14, *CheckBox15, *CheckBox16;
    TAppButton* Button511;

    // Button501 while the port is closed; Button502..Button506 while it is open.
    void ShowPortOpen(bool open);
    // The raw input and output blocks (Edit502, Edit503) as the configuration editor and the
    // link read and write them.
    std::string InputBlock() const;
    void SetInputBlock(const std::string& text);
    std::string OutputBlock() const;
    void SetOutputBlock(const std::string& text);

private:
    void OrderBlock(TBlockOrder order);
};
