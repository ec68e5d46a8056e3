// Access codes, the pass-word page and the state page's commands: the program against the
// simulated door terminal over a pseudo-terminal, driven like a technician would.

#include <gtest/gtest.h>

#include "app/common/comp_text.h"
#include "app/device/access_codes.h"
#include "app/pages/configuration/page_pwx.h"
#include "app/pages/control/page_ben.h"
#include "app/pages/control/page_ei2.h"
#include "app/pages/control/page_eig.h"
#include "app/pages/control/page_ein.h"
#include "app/pages/control/page_men.h"
#include "app/pages/control/page_stg.h"
#include "app/windows/code_change_form.h"
#include "app/windows/code_form.h"
#include "program/log_file.h"
#include "tests/app/control_road_support.h"
#include "tests/link/door_wire.h"
#include "tests/support/test_pictures.h"

namespace {

using namespace control_road;
using AccessCodes = ControlRoad;

TEST(CodeBytes, DigitsStandAsNibblesPaddedWithZeroOrA) {
    EXPECT_EQ(std::string("\x12\x34", 2), CodeBytes("1234"));
    EXPECT_EQ(std::string("\x12\x34\x5A\xAA", 4), CodeBytes("12345"));
    EXPECT_EQ(std::string("\x12\x34\x56\xAA", 4), CodeBytes("123456"));
    EXPECT_EQ(std::string("\x12\x34\x56\x7A", 4), CodeBytes("1234567"));
    EXPECT_EQ(std::string("\x98\x76\x54\x32", 4), CodeBytes("98765432"));
    EXPECT_TRUE(IsDigitText(""));
    EXPECT_FALSE(IsDigitText("12a4"));
    EXPECT_FALSE(IsCodeText("123"));
    EXPECT_FALSE(IsCodeText("123456789"));
    EXPECT_EQ(3, CodeCheckError(0, 1));
    EXPECT_EQ(4, CodeCheckError(1, 2));
    EXPECT_EQ(0, CodeCheckError(3, 2));
}

TEST_F(AccessCodes, CheckSendsTheCodeBytesAndJudgesTheGrantedLevel) {
    DoorState state = DoorState::DoorTerminal();
    state.codes = {"", "1234", "12345678", "1234567"};
    ToMenu(state);
    EXPECT_TRUE(Session().CheckAccessCode("12345678", 2));
    EXPECT_TRUE(Sent("FB,02,04,30,00,12,34,56,78"));
    EXPECT_TRUE(Session().CheckAccessCode("1234567", 3));
    EXPECT_TRUE(Sent("FB,02,04,30,00,12,34,56,7A"));
    EXPECT_TRUE(Session().CheckAccessCode("1234", 1));
    EXPECT_TRUE(Sent("FB,02,02,30,00,12,34"));

    std::string text;
    AnswerBox(text);
    EXPECT_FALSE(Session().CheckAccessCode("123456", 1));
    EXPECT_TRUE(Sent("FB,02,04,30,00,12,34,56,AA"));
    EXPECT_EQ("Passwort ungültig (3) !", text);
    AnswerBox(text);
    EXPECT_FALSE(Session().CheckAccessCode("1234", 2));
    EXPECT_EQ("Falsches Passwort (4) !", text);
    AnswerBox(text);
    EXPECT_FALSE(Session().CheckAccessCode("12345", 1));
    EXPECT_TRUE(Sent("FB,02,04,30,00,12,34,5A,AA"));
    EXPECT_EQ(0, Ui().PendingModalScripts());
}

TEST_F(AccessCodes, CodeEntryRefusesBadCodesAndKeepsTheEntrySelected) {
    ToMenu();
    std::vector<std::string> boxes;
    bool selectedAll = false;
    auto box = [&boxes](TCustomForm* form, UiDriver& ui) {
        auto* b = dynamic_cast<TFormCustMsg*>(form);
        ASSERT_NE(nullptr, b);
        boxes.push_back(b->Label1->Caption());
        ui.Click(b->Button1->Visible() ? b->Button1 : b->Button2);
    };
    Ui().OnNextModal([&](TCustomForm* form, UiDriver& ui) {
        ASSERT_EQ(Form4, form);
        EXPECT_EQ("System Code", form->Caption());
        EXPECT_EQ(U'*', Form4->MaskEdit1->PasswordChar());
        ui.Type("123");
        ui.OnNextModal(box);
        ui.Enter();
        ui.Pump(50);
        selectedAll = Form4->MaskEdit1->SelLength() == 3 && Form4->ActiveControl() == Form4->MaskEdit1;
        ui.Type("123456789");  // typed over the selected entry
        ui.OnNextModal(box);
        ui.Enter();
        ui.Pump(50);
        ui.Type("12a4");
        ui.OnNextModal(box);
        ui.Enter();
        ui.Pump(50);
        ui.Type("2222");
        ui.Enter();
    });
    std::string code;
    EXPECT_TRUE(AskCode("System Code", code));
    EXPECT_EQ("2222", code);
    EXPECT_TRUE(selectedAll);
    EXPECT_EQ((std::vector<std::string>{"Code ungültig!", "Code ungültig!", "Code ungültig!"}), boxes);

    // Abbruch and Esc hand nothing back.
    code = "kept";
    Ui().OnNextModal([](TCustomForm*, UiDriver& ui) {
        ui.Type("1111");
        ui.Click(Form4->Button2);
    });
    EXPECT_FALSE(AskCode("Control Code", code));
    Ui().OnNextModal([](TCustomForm*, UiDriver& ui) {
        ui.Type("1111");
        ui.Escape();
    });
    EXPECT_FALSE(AskCode("Control Code", code));
    EXPECT_EQ("kept", code);
}

TEST_F(AccessCodes, CodeChangeOffersOkOnlyForMatchingCodesAndReportsTheResult) {
    DoorState state = DoorState::DoorTerminal();
    state.codes = {"", "1111", "2222", "33333"};
    ToMenu(state);
    Form1->Pages().BEN->Show();
    std::string text;
    bool okRule = true;
    Ui().OnNextModal([&](TCustomForm* form, UiDriver& ui) {
        ASSERT_EQ(Form5, form);
        EXPECT_EQ("Ändern Install Code", form->Caption());
        okRule = okRule && !Form5->Button1->Enabled();
        ui.Type("33333");
        ui.Tab();
        ui.Type("1234567");
        ui.Tab();
        ui.Type("123456");
        okRule = okRule && !Form5->Button1->Enabled();
        ui.Type("7");
        okRule = okRule && Form5->Button1->Enabled();
        ui.Click(Form5->Button1);
    });
    Ui().Click(Form1->Pages().BEN->Button93);
    EXPECT_TRUE(okRule);
    EXPECT_TRUE(Sent("FB,02,04,30,04,12,34,56,7A"));
    EXPECT_EQ("1234567", sim_->Device().State().codes[3]);

    // A wrong old code keeps the dialog; so does a refused new code.
    sim_->Device().Update([](DoorState& s) { s.code_change_result = 5; });
    std::vector<std::string> boxes;
    Ui().OnNextModal([&](TCustomForm*, UiDriver& ui) {
        Form5->MaskEdit1->SetText("9999");
        Form5->MaskEdit2->SetText("4321");
        Form5->MaskEdit3->SetText("4321");
        ui.OnNextModal([&](TCustomForm* f, UiDriver& u) {
            boxes.push_back(static_cast<TFormCustMsg*>(f)->Label1->Caption());
            u.Click(static_cast<TFormCustMsg*>(f)->Button1->Visible() ? static_cast<TFormCustMsg*>(f)->Button1
                                                                      : static_cast<TFormCustMsg*>(f)->Button2);
        });
        ui.Click(Form5->Button1);
        ui.Pump(50);
        Form5->MaskEdit1->SetText("1111");
        ui.OnNextModal([&](TCustomForm* f, UiDriver& u) {
            boxes.push_back(static_cast<TFormCustMsg*>(f)->Label1->Caption());
            u.Click(static_cast<TFormCustMsg*>(f)->Button1->Visible() ? static_cast<TFormCustMsg*>(f)->Button1
                                                                      : static_cast<TFormCustMsg*>(f)->Button2);
        });
        ui.Click(Form5->Button1);
        ui.Pump(50);
        ui.Click(Form5->Button2);
    });
    Ui().Click(Form1->Pages().BEN->Button91);
    EXPECT_TRUE(Sent("FB,02,02,30,02,43,21"));
    EXPECT_EQ((std::vector<std::string>{"Passwort ungültig (3) !", "Passwort konnte nicht überprüft werden (1) !"}),
              boxes);
    EXPECT_EQ("1111", sim_->Device().State().codes[1]);

    // "Zurück" re-enables every menu entry.
    Form1->Pages().MEN->Button712->SetEnabled(false);
    Ui().Click(Form1->Pages().BEN->Button90);
    EXPECT_EQ(7, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(Form1->Pages().MEN->Button712->Enabled());
}

TEST_F(AccessCodes, DoorCommandsGoOnePerPollInOrder) {
    ToMenu();
    TPageSTG& stg = *Form1->Pages().STG;
    stg.Show();
    Ui().Click(stg.Button83);
    Ui().PressKey(' ');  // the second press on the focused button, not a double click
    Ui().Click(stg.Button81);
    Ui().Click(stg.Button84);
    Ui().Click(stg.Button85);
    Ui().Click(stg.Button82);
    ASSERT_TRUE(Ui().WaitFor([&] { return Requests().size() >= 6; }));
    const std::vector<std::string> want = {"FB,02,00,50,02", "FB,02,00,50,02", "FB,02,00,50,01",
                                           "FB,02,00,50,03", "FB,02,00,50,04", "FB,02,00,50,00"};
    std::vector<std::string> got = Requests();
    got.resize(6);
    EXPECT_EQ(want, got);
    EXPECT_FALSE(ReadDoorWire(sim_->Exchanges()).outran);  // one answer, so one request, per poll
    EXPECT_EQ(0x20, sim_->Device().State().door & 0xF0);
    stg.ShowCommands(false);
    EXPECT_FALSE(stg.Button81->Visible());
    EXPECT_TRUE(stg.Button80->Visible());

    // The overview needs a device list that was read.
    std::string text;
    AnswerBox(text);
    Ui().Click(stg.Button86);
    EXPECT_EQ(GetCompTextLines(1198), text);
    EXPECT_EQ(8, Form1->Notebook1->PageIndex());
    Session().LinkState.NodeTable.Valid = true;
    Ui().Click(stg.Button86);
    EXPECT_EQ(16, Form1->Notebook1->PageIndex());
}

// The code waits give up after 10 s on the program's clock.
class AccessCodesLate : public ControlRoad {
protected:
    void SetUp() override {
        AppStart::SetUp();  // keeps the manual clock
    }
};

TEST_F(AccessCodesLate, AnUnansweredCheckGivesUpWithNumberTwo) {
    DoorState state = DoorState::DoorTerminal();
    state.answer_codes = false;
    StartSim(state);
    WriteFile("TOVAK.INI", "[MAIN]\r\nCSM=0\r\nCOC=" + std::to_string(kPort) + "\r\n");
    Start();
    SteadyAdvance advance(Clock(), 20);
    Ui().Click("Form1.Button001");
    Ui().Click("Form1.Button601");
    ASSERT_TRUE(Session().LinkState.PortOpen);
    std::string text;
    AnswerBox(text);
    EXPECT_FALSE(Session().CheckAccessCode("1111", 1));
    EXPECT_EQ(GetCompText(1207) + " (2) !", text);
    EXPECT_FALSE(Session().Link().Awaiting(AwaitCodeCheck));
    Session().ClosePort();  // its pause needs the clock moving
}

TEST_F(AccessCodes, PassWordPageGuardsTheTestPage) {
    Start({"/TEST"});
    ASSERT_EQ(19, Form1->Notebook1->PageIndex());
    TPagePWX& pwx = *Form1->Pages().PWX;
    pwx.MaskEdit191->SetText(" QUARZMEN ");
    Ui().Click(pwx.Button191);
    EXPECT_EQ(19, Form1->Notebook1->PageIndex());
    EXPECT_EQ("", pwx.MaskEdit191->Text());
    Ui().Type("quarzmen");
    Ui().Enter();
    EXPECT_EQ(5, Form1->Notebook1->PageIndex());
}

TEST_F(AccessCodes, PassWordAbbruchEndsTheProgram) {
    Start({"/TEST"});
    Ui().Click(Form1->Pages().PWX->Button192);
    EXPECT_FALSE(Form1->Visible());
    const std::string log = ReadFile(LogFileName("TOVAK-MEN-"));
    EXPECT_NE(std::string::npos, log.find("STOPP"));
}

TEST_F(AccessCodes, Pictures) {
    const std::string out = TestPicturesFolder();
    Start();
    TMainPages& pages = Form1->Pages();
    pages.EIN->ShowBusy(true, GetCompText(1102));
    pages.EIG->ShowTerminalSettings();
    pages.EIG->ImageEdit1501->SetEditValue("1");
    pages.EI2->BoxRows()[0].Label->SetCaption("[66]");
    pages.MEN->Label701->SetCaption(GetCompText(1103));
    pages.MEN->Label702->SetCaption("3 / 6");
    pages.MEN->ProgressBar701->SetPosition(50);
    for (auto [page, name] : {std::pair<TMainPage*, const char*>{pages.BEN.get(), "ben"},
                              {pages.PWX.get(), "pwx"},
                              {pages.STG.get(), "stg"},
                              {pages.MEN.get(), "men"},
                              {pages.EIN.get(), "ein"},
                              {pages.EI2.get(), "ei2"},
                              {pages.EIG.get(), "eig"}}) {
        page->Show();
        EXPECT_TRUE(Ui().SaveForm(Form1, out + "/" + name + ".png"));
    }
    pages.STG->ShowCommands(false);
    EXPECT_TRUE(Ui().SaveForm(Form1, out + "/stg-information.png"));
    Form4->SetCaption("Install Code");
    Form4->Show();
    EXPECT_TRUE(Ui().SaveForm(Form4, out + "/form4.png"));
    Form4->Hide();
    Form5->SetCaption("Ändern System Code");
    Form5->Show();
    EXPECT_TRUE(Ui().SaveForm(Form5, out + "/form5.png"));
    Form5->Hide();
}

}  // namespace
