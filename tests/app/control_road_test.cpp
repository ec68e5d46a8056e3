// The menu of the control road, the object-dictionary requests, the bus device list with its
// file, and the settings pages, against the simulated door terminal.

#include <gtest/gtest.h>

#include "app/common/comp_text.h"
#include "app/common/main_settings.h"
#include "app/pages/control/page_ein.h"
#include "app/pages/control/page_ins.h"
#include "app/pages/control/page_men.h"
#include "app/pages/control/page_stg.h"
#include "program/log_file.h"
#include "program/program_dirs.h"
#include "tests/app/control_road_support.h"

namespace {

using namespace control_road;

class Menu : public ControlRoad {
protected:
    // The record requests after the first `from`.
    std::vector<std::string> RequestsFrom(size_t from) {
        std::vector<std::string> all = Requests();
        return std::vector<std::string>(all.begin() + static_cast<long>(std::min(from, all.size())), all.end());
    }
    TPageMEN& Men() { return *Form1->Pages().MEN; }
};

const std::vector<std::string> kNodeReads = {"FB,02,00,A0,00", "FB,02,01,A0,FF,41", "FB,02,01,A0,FF,42"};
const std::vector<std::string> kStateReads = {"FB,02,00,0D,00", "FB,02,00,10,00", "FB,02,00,10,01", "FB,02,00,10,02",
                                              "FB,02,00,52,00"};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(Menu, ControlAndInformationReadTheStateAndOpenTheStatePage) {
    ToMenu();
    EXPECT_TRUE(Men().CheckEdit701->Checked());
    TypeCode(Ui(), "1111");
    Ui().Click(Men().Button712);
    ASSERT_EQ(8, Form1->Notebook1->PageIndex());
    // The list is read first because the box was ticked; then the state.
    EXPECT_EQ(Join(Join({"FB,02,02,30,00,11,11"}, kNodeReads), kStateReads), Requests());
    EXPECT_FALSE(Men().CheckEdit701->Checked());
    EXPECT_TRUE(Session().LinkState.NodeTable.Valid);
    EXPECT_TRUE(Form1->Pages().STG->Button81->Visible());
    EXPECT_EQ("01.01.2026", Form1->Pages().STG->Label800->Caption());
    EXPECT_FALSE(Men().Button711->Enabled());
    EXPECT_FALSE(Men().ProgressBar701->Visible());

    Ui().Click(Form1->Pages().STG->Button80);
    ASSERT_EQ(7, Form1->Notebook1->PageIndex());
    const size_t before = Requests().size();
    Ui().Click(Men().Button711);  // no code, and the valid list is not read again
    ASSERT_EQ(8, Form1->Notebook1->PageIndex());
    EXPECT_EQ(kStateReads, RequestsFrom(before));
    EXPECT_FALSE(Form1->Pages().STG->Button81->Visible());
    EXPECT_TRUE(Form1->Pages().STG->Button80->Visible());

    // The log names each entry.
    const std::string log = ReadFile(LogFileName("TOVAK-MEN-"));
    EXPECT_NE(std::string::npos, log.find("MENU"));
    EXPECT_NE(std::string::npos, log.find("Control Code"));
}

TEST_F(Menu, RefusedOrCancelledCodesLeaveTheMenuUsable) {
    ToMenu();
    std::string text;
    TypeCode(Ui(), "9999");
    AnswerBox(text);
    Ui().Click(Men().Button712);
    EXPECT_EQ("Passwort ungültig (3) !", text);
    EXPECT_EQ(7, Form1->Notebook1->PageIndex());
    EXPECT_FALSE(Form1->Pages().CodeEntryActive);
    TypeCode(Ui(), "1111");  // the control code is too low for the installation
    AnswerBox(text);
    Ui().Click(Men().Button721);
    EXPECT_EQ("Falsches Passwort (4) !", text);
    Ui().OnNextModal([](TCustomForm*, UiDriver& u) { u.Escape(); });
    Ui().Click(Men().Button731);
    EXPECT_EQ(7, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(Men().Button731->Enabled());
    EXPECT_EQ((std::vector<std::string>{"FB,02,02,30,00,99,99", "FB,02,02,30,00,11,11"}), Requests());

    // A guarded entry pressed while a code dialog is open does nothing.
    Ui().OnNextModal([this](TCustomForm*, UiDriver& u) {
        Men().Button712Click();
        EXPECT_EQ(Form4, Screen->ActiveForm());
        u.Escape();
    });
    Ui().Click(Men().Button722);
    EXPECT_EQ(0, Ui().PendingModalScripts());
}

TEST_F(Menu, UserAdministrationReadsNothing) {
    ToMenu();
    TypeCode(Ui(), "3333");
    Ui().Click(Men().Button732);
    EXPECT_EQ(9, Form1->Notebook1->PageIndex());
    EXPECT_EQ((std::vector<std::string>{"FB,02,02,30,00,33,33"}), Requests());
    EXPECT_TRUE(Men().Button711->Enabled());
}

TEST_F(Menu, InstallationAndMaintenanceOpenTheirPages) {
    ToMenu();
    Men().CheckEdit701->SetChecked(false);
    Session().LinkState.NodeTable.Valid = true;
    TypeCode(Ui(), "3333");
    Ui().Click(Men().Button721);
    ASSERT_EQ(12, Form1->Notebook1->PageIndex());
    EXPECT_EQ(1, Form1->Pages().INS->Notebook11->PageIndex());
    EXPECT_EQ((std::vector<std::string>{"FB,02,02,30,00,33,33", "FB,02,00,0D,00", "FB,02,00,10,00", "FB,02,00,10,01",
                                        "FB,02,00,10,02"}),
              Requests());
    Form1->Pages().STG->Button80Click();
    const size_t before = Requests().size();
    TypeCode(Ui(), "3333");
    Ui().Click(Men().Button722);
    ASSERT_EQ(13, Form1->Notebook1->PageIndex());
    EXPECT_EQ(Join({"FB,02,02,30,00,33,33"}, kStateReads), RequestsFrom(before));
}

TEST_F(Menu, EscDuringAReadLeavesWithoutAMessage) {
    DoorState state = DoorState::DoorTerminal();
    state.node_entries_answered = -1;  // the list read waits
    ToMenu(state);
    TTimer watch(nullptr);
    watch.SetInterval(5);
    watch.OnTimer = [&](TObject*) {
        if (Requests().size() < 1) return;
        watch.SetEnabled(false);
        Ui().Escape();
    };
    watch.SetEnabled(true);
    Ui().Click(Men().Button711);
    EXPECT_EQ(0, Form1->Notebook1->PageIndex());
    EXPECT_EQ(0, Ui().PendingModalScripts());
    EXPECT_FALSE(Session().LinkState.PortOpen);
}

TEST_F(Menu, SystemSettingsSendTheDoorTimes) {
    DoorState state = DoorState::DoorTerminal();
    state.slots[1].params[2] = 300;
    state.slots[1].params[9] = 12;
    ToMenu(state);
    TypeCode(Ui(), "2222");
    Ui().Click(Men().Button731);
    ASSERT_EQ(10, Form1->Notebook1->PageIndex());
    TPageEIN& ein = *Form1->Pages().EIN;
    EXPECT_EQ("300", ein.Edit1012->Text());
    EXPECT_EQ("12", ein.Edit1031->Text());
    EXPECT_EQ("5", ein.Edit1041->Text());
    EXPECT_TRUE(ein.Button1003->Enabled());

    // A text that is not a number is refused and nothing goes out.
    size_t before = Requests().size();
    ein.Edit1012->SetText("1x");
    std::string text;
    AnswerBox(text);
    Ui().Click(ein.Button1001);
    EXPECT_EQ("Ungültiger Wert für Türüberwachungszeit !", text);
    EXPECT_EQ(10, Form1->Notebook1->PageIndex());

    ein.Edit1011->SetText("300");
    ein.Edit1012->SetText("20");
    ein.Edit1032->SetText("65535");
    Ui().Click(ein.Button1001);
    EXPECT_EQ(7, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(Men().Button741->Enabled());
    EXPECT_TRUE(Sent("FB,02,00,11,00"));
    EXPECT_EQ((std::vector<std::string>{"FB,02,02,0E,00,01,2C", "FB,02,02,0E,02,00,14", "FB,02,02,0E,08,00,00",
                                        "FB,02,02,0E,03,00,00", "FB,02,02,0E,04,00,00", "FB,02,02,0E,09,00,0C",
                                        "FB,02,02,0E,0A,FF,FF", "FB,02,00,11,00"}),
              RequestsFrom(before));
    EXPECT_EQ(20, sim_->Device().State().slots[1].params[2]);
}

}  // namespace
