// The installation wizard: its "&Abbruch" shared with the maintenance wizard, and whole
// installations against the simulated door terminal.

#include <gtest/gtest.h>

#include "app/comp_text.h"
#include "tests/app/app_test_support.h"

namespace {

class WizardAbort : public AppStart {
protected:
    // Answers the next confirmation with "Ja" or "Nein", keeping its text.
    void Confirm(bool yes, std::string& text) {
        Ui().OnNextModal([yes, &text](TCustomForm* form, UiDriver& ui) {
            auto* box = dynamic_cast<TFormCustMsg*>(form);
            ASSERT_NE(nullptr, box);
            text = box->Label1->Caption();
            ui.Click(yes ? box->Button1 : box->Button2);
        });
    }
    const std::deque<std::string>& Queue() { return FormSercom->Link().QueueItems(); }
};

TEST_F(WizardAbort, EndsTheInstallStepOnlyAfterTheFirstPage) {
    Start({"/1"});
    TPageINS& ins = *Form1->Pages().INS;
    ins.Show();
    ins.Notebook11->SetPageIndex(1);
    Form1->Pages().WAW->Notebook21->SetPageIndex(4);
    Form1->InstallActive = true;
    Form1->Pages().MEN->EnableEntries(false);
    std::string text;
    Confirm(false, text);
    Ui().Click(ins.Button11012);
    EXPECT_EQ(GetCompText(1211), text);
    EXPECT_EQ(TPageINS::Index, Form1->Notebook1->PageIndex());

    Confirm(true, text);
    Ui().Click(ins.Button11012);
    EXPECT_EQ(TPageMEN::Index, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(Queue().empty());
    EXPECT_TRUE(Form1->InstallActive);
    EXPECT_TRUE(Form1->Pages().MEN->Button721->Enabled());
    EXPECT_EQ(1, Form1->Pages().WAW->Notebook21->PageIndex());

    // Any other page's button (here the maintenance wizard's) ends the step on the device.
    ins.Show();
    ins.Notebook11->SetPageIndex(6);
    Confirm(true, text);
    {
        AutoAdvance advance(Clock());
        ins.Button11012Click(Form1->Pages().WAW->Notebook21);
    }
    EXPECT_EQ(std::deque<std::string>{"00,00,FB,02,00,50,17"}, Queue());
    EXPECT_FALSE(Form1->InstallActive);
    EXPECT_EQ(1, ins.Notebook11->PageIndex());
    EXPECT_EQ(TPageMEN::Index, Form1->Notebook1->PageIndex());
}

}  // namespace
