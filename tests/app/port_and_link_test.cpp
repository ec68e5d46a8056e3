#include <gtest/gtest.h>

#include <unistd.h>

#include "app/device/port_search.h"
#include "app/pages/configuration/page_com.h"
#include "app/pages/control/page_coc.h"
#include "app/pages/control/page_men.h"
#include "app/pages/controller/page_ct1.h"
#include "app/pages/page_sel.h"
#include "link/link_state.h"
#include "program/program_context.h"
#include "tests/app/app_test_support.h"
#include "tests/app/control_road_support.h"
#include "tests/support/pty_pair.h"

TEST(PortSearch, OnlyVirtualComPortsCount) {
    const std::vector<SerialCommEntry> entries = {
        {"\\Device\\Serial0", "COM1", "/dev/ttyS0"},
        {"\\Device\\vcp0", "COM12", "/dev/pts/3"},
        {"\\Device\\VCP1", "COM3", "/dev/ttyUSB0"},
    };
    const std::vector<TFoundPort> found = VirtualComPorts(entries);
    ASSERT_EQ(2u, found.size());
    EXPECT_EQ("COM12", found[0].Name);
    EXPECT_EQ(12, found[0].Number);
    EXPECT_EQ(3, found[1].Number);
}

TEST_F(AppStart, PortSearchFindsAPtyInThePortsFolder) {
    PtyPair first, second;
    ASSERT_EQ(0, symlink(first.SlavePath().c_str(), (dir_ + "/ports/COM4").c_str()));
    ASSERT_EQ(0, symlink(second.SlavePath().c_str(), (dir_ + "/ports/COM9").c_str()));
    WriteFile("TOVAK.INI", "[MAIN]\r\nCOC=9\r\nCOM=2\r\n");
    Start();
    EXPECT_EQ(1, Form1->Pages().COM->Notebook2->PageIndex());
    EXPECT_EQ(1, Form1->Pages().COC->Notebook3->PageIndex());
    ASSERT_EQ(2, Form1->Pages().COM->ImageEdit101->Values()->Count());
    EXPECT_EQ("COM4", Form1->Pages().COM->ImageEdit101->Descriptions()->Strings(0));
    EXPECT_EQ("9", Form1->Pages().COM->ImageEdit101->ImageIndexes()->Strings(1));
    EXPECT_EQ(2, Form1->Pages().COM->ListBox102->Count());
    // The saved port is preselected where it was found, else the first one.
    EXPECT_EQ(9, Form1->Pages().COC->CocPortNumber());
    EXPECT_EQ(4, Form1->Pages().COM->ConfigPortNumber());
    EXPECT_EQ(4, Form1->Pages().CT1->CtcPortNumber());
    EXPECT_TRUE(Form1->Pages().COC->Button601->Enabled());

    // The control road opens the chosen port and goes to the menu.
    Ui().Click("Form1.Button001");
    EXPECT_EQ(6, Form1->Notebook1->PageIndex());
    Ui().Click("Form1.Button601");
    EXPECT_TRUE(Session().LinkState.PortOpen);
    EXPECT_EQ(7, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(Form1->Pages().MEN->CheckEdit701->Checked());
    EXPECT_TRUE(Form1->Pages().MEN->Button741->Enabled());

    // Esc during an installation step: the step's end is queued, then the link closes; no
    // device polls here, so the request is dropped rather than left for the next opening.
    Form1->Pages().InstallActive = true;
    {
        // At about real time: the request that nobody waits for must not run out of its
        // time before the close has dropped it.
        control_road::SteadyAdvance advance(Clock());
        Ui().Escape();
    }
    EXPECT_FALSE(Form1->Pages().InstallActive);
    EXPECT_FALSE(Session().LinkState.PortOpen);
    EXPECT_EQ(0, Form1->Notebook1->PageIndex());
    EXPECT_EQ(0, FormSercom->ListBox2->Count());
    EXPECT_EQ(" ", Form1->StatusBar1->Panels()->Items(2)->Text());
}

TEST_F(AppStart, ProtocolWindowTraceStatusAndSave) {
    WriteFile("TOVAK.INI", "[MAIN]\r\nPRTSHOW=1\r\n");
    Start();
    ASSERT_TRUE(FormSercom->Visible());
    EXPECT_EQ("Serielle Kommunikation", FormSercom->Caption());
    EXPECT_EQ(0, FormSercom->Top());
    EXPECT_EQ(Screen->Width() - FormSercom->Width(), FormSercom->Left());
    EXPECT_EQ(268, FormSercom->ListBox1->Height());
    for (int i = 1; i <= 100; ++i) Session().Link().AddTraceLine("L" + std::to_string(i));
    EXPECT_EQ("99 L99", FormSercom->ListBox1->Items()->Strings(98));
    EXPECT_EQ("01 L100", FormSercom->ListBox1->Items()->Strings(99));
    EXPECT_EQ(99, FormSercom->ListBox1->ItemIndex());
    Session().Link().TraceFrame("S", std::string("\x02\x00\x01\x03", 4));
    EXPECT_EQ("02 S: 02,00,01,03", FormSercom->ListBox1->Items()->Strings(100));
    Session().Link().SetStatusText("REC-ERR: no STX");
    EXPECT_EQ("REC-ERR: no STX", FormSercom->StatusBar1->Panels()->Items(1)->Text());

    Ui().DoubleClick("FormSercom.ListBox1");
    EXPECT_EQ(0, FormSercom->ListBox1->Count());
    const std::string saved = ReadFile(Program().BaseDir + "TOVAK-PRT-" + FormatDateTime("yymmdd-hhnnss", Now()) +
                                       ".TXT");
    EXPECT_EQ(0u, saved.find("01 L1\r\n"));
    EXPECT_NE(std::string::npos, saved.find("02 S: 02,00,01,03\r\n"));
}

TEST_F(AppStart, AnAdapterPluggedInLaterIsFoundWhenAPortPageShows) {
    WriteFile("TOVAK.INI", "[MAIN]\r\nCSM=1\r\n");
    Start();
    EXPECT_EQ(2, Form1->Pages().COM->Notebook2->PageIndex()) << "no adapter yet";
    EXPECT_FALSE(Form1->Pages().COM->Button101->Enabled());
    EXPECT_FALSE(Form1->Pages().COC->Button601->Enabled());

    PtyPair adapter;
    ASSERT_EQ(0, symlink(adapter.SlavePath().c_str(), (dir_ + "/ports/COM5").c_str()));
    Ui().Click("Form1.Button002");  // the configuration road's port page
    ASSERT_EQ(1, Form1->Notebook1->PageIndex());
    EXPECT_EQ(1, Form1->Pages().COM->Notebook2->PageIndex());
    EXPECT_TRUE(Form1->Pages().COM->Button101->Enabled());
    ASSERT_EQ(1, Form1->Pages().COM->ImageEdit101->Values()->Count());
    EXPECT_EQ(5, Form1->Pages().COM->ConfigPortNumber());
    EXPECT_TRUE(Form1->Pages().COC->Button601->Enabled()) << "every port page follows";

    // Unplugged again: the next visit says so.
    ASSERT_EQ(0, unlink((dir_ + "/ports/COM5").c_str()));
    Form1->Notebook1->SetPageIndex(0);
    Form1->Notebook1->SetPageIndex(6);
    EXPECT_EQ(2, Form1->Pages().COC->Notebook3->PageIndex());
    EXPECT_FALSE(Form1->Pages().COC->Button601->Enabled());
}

TEST_F(AppStart, APageTakesTheKeyboardWhereItOpens) {
    PtyPair adapter;
    ASSERT_EQ(0, symlink(adapter.SlavePath().c_str(), (dir_ + "/ports/COM9").c_str()));
    WriteFile("TOVAK.INI", "[MAIN]\r\nCOC=9\r\nCOM=9\r\n");
    Start();
    TPageSEL& sel = *Form1->Pages().SEL;
    TPageCOC& coc = *Form1->Pages().COC;
    // By keyboard alone: Enter on the start page's first button, the port page's list takes
    // the focus, Tab reaches "Start".
    ASSERT_TRUE(sel.Button001->Focused());
    Ui().Enter();
    ASSERT_EQ(TPageCOC::Index, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(coc.ImageEdit601->Focused());
    Ui().Tab();
    EXPECT_TRUE(coc.Button601->Focused());
    Ui().Enter();
    ASSERT_TRUE(Session().LinkState.PortOpen);
    ASSERT_EQ(TPageMEN::Index, Form1->Notebook1->PageIndex());
    EXPECT_NE(nullptr, Form1->ActiveControl());
    // Esc leads back to the start page, and the keyboard with it.
    {
        AutoAdvance advance(Clock());
        Ui().Escape();
    }
    ASSERT_EQ(0, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(sel.Button001->Focused());
    // The mouse's way into the other road likewise.
    Ui().Click(sel.Button002);
    ASSERT_EQ(TPageCOM::Index, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(Form1->Pages().COM->ImageEdit101->Focused());
}
