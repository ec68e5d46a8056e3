#include <gtest/gtest.h>

#include "app/pages/configuration/page_tst.h"
#include "tests/app/app_test_support.h"

namespace {

struct PortCase {
    std::vector<std::string> args;
    int startPage;
};

}  // namespace

// The technician's port on the test page is the one stored under COT, however the page is
// reached, and nothing on the way there or on the page itself empties it.
TEST_F(AppStart, TestPagePortShowsTheStoredPortWhicheverWayThePageIsReached) {
    WriteFile("TOVAK.INI", "[MAIN]\r\nCOT=7\r\nCSM=0\r\n");
    const PortCase cases[] = {
        {{"/TEST", "/PWD=QUARZMEN"}, 5},
        {{"/TEST"}, 19},  // behind the pass-word page first
        {{}, 0},
    };
    for (const PortCase& c : cases) {
        std::string label;
        for (const auto& a : c.args) label += a + " ";
        SCOPED_TRACE(label);
        Start(c.args);
        ASSERT_EQ(c.startPage, Form1->Notebook1->PageIndex());
        EXPECT_EQ("7", Form1->Pages().TST->Edit501->Text());
        Form1->Notebook1->SetPageIndex(5);
        Ui().Pump(50);
        EXPECT_TRUE(Form1->Pages().TST->Edit501->Showing());
        EXPECT_EQ("7", Form1->Pages().TST->Edit501->Text());

        // A road dropping the link state leaves the field alone; so does Esc on the page.
        Session().LinkState = TLinkState{};
        Ui().Click(Form1->Pages().TST->Edit501);
        Ui().Escape();
        Ui().Pump(50);
        EXPECT_EQ(5, Form1->Notebook1->PageIndex());
        EXPECT_EQ("7", Form1->Pages().TST->Edit501->Text());
        DestroyProgramForms();
    }
}
