// The door-controller pages against the controller simulator over a real pseudo-terminal, on
// the manual clock in a pinned time zone: the read, the clock both sides of a daylight-saving
// change, the address checks, the network setting with its restart polling, the factory reset.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/pages/controller/page_ct1.h"
#include "app/pages/controller/page_ct2.h"
#include "app/pages/page_sel.h"
#include "app/windows/msg_form.h"
#include "link/form_txt_com.h"
#include "program/log_file.h"
#include "serial/ser_com_port.h"
#include "tests/app/app_test_support.h"
#include "tests/app/control_road_support.h"
#include "tests/app/sim_process.h"
#include "tests/link/controller_pilot.h"
#include "tests/support/pump_until.h"
#include "tests/support/test_pictures.h"

namespace {

constexpr int kPort = 7;
constexpr int64_t kWinterNoon = 1768478400000;  // 2026-01-15 12:00:00 UTC, 13:00 in Berlin
constexpr int64_t kSummerNoon = 1784116800000;  // 2026-07-15 12:00:00 UTC, 14:00 in Berlin

class ControllerPages : public AppStart {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) savedTz_ = tz;
        setenv("TZ", "Europe/Berlin", 1);
        AppStart::SetUp();
        sim_ = std::make_unique<ControllerSim>(ControllerSimOptions{kPort, dir_ + "/ports"});
        sim_->Start();
    }
    void TearDown() override {
        sim_.reset();
        AppStart::TearDown();
        if (savedTz_)
            setenv("TZ", savedTz_->c_str(), 1);
        else
            unsetenv("TZ");
    }

    void StartOnCT1(const std::string& settings = "", int port = kPort) {
        WriteFile("TOVAK.INI", "[MAIN]\r\nCSM=0\r\nCTC=" + std::to_string(port) + "\r\n" + settings);
        Start();
        Form1->Pages().SEL->Button003Click();
        ASSERT_EQ(24, Form1->Notebook1->PageIndex());
    }
    // A click whose action talks to the controller, with the clock run by the pilot.
    void Act(const std::string& button) {
        Clock().Advance(1000);  // a click, not the second half of a double click
        ControllerPilot pilot(Clock(), *sim_, *FormTxtCom);
        Ui().Click("Form1." + button);
    }
    // The next message box: its text is kept in boxes_, `button` is clicked.
    void AnswerBox(const std::string& button) {
        Ui().OnNextModal([this, button](TCustomForm*, UiDriver& ui) {
            boxes_.push_back(FormCustMsg->Label1->Caption());
            ui.Click(ui.FindByCaption(FormCustMsg, button));
        });
    }
    TPageCT2& CT2() { return *Form1->Pages().CT2; }
    bool ActionsEnabled() {
        return CT2().Button2500->Enabled() && CT2().Button2502->Enabled() && CT2().Button2503->Enabled() &&
               CT2().Button2504->Enabled();
    }
    bool ActionsDisabled() {
        return !CT2().Button2500->Enabled() && !CT2().Button2502->Enabled() && !CT2().Button2503->Enabled() &&
               !CT2().Button2504->Enabled();
    }
    std::vector<std::string> CommandsSince(size_t from) {
        std::vector<std::string> all = sim_->Commands();
        return std::vector<std::string>(all.begin() + static_cast<long>(std::min(from, all.size())), all.end());
    }
    void ReadOk() {
        Clock().SetUnixMillis(kWinterNoon);
        Act("Button2401");
        ASSERT_TRUE(ActionsEnabled());
    }

    std::optional<std::string> savedTz_;
    std::unique_ptr<ControllerSim> sim_;
    std::vector<std::string> boxes_;
};

const std::vector<std::string> kRead = {"scxFWV", "scxUID", "scxSetTime", "scxNW"};

// The three commands that set something, each behind its button; the factory reset asks first.
struct SetPress {
    const char* button;
    const char* command;  // how the command line starts
    bool confirmed;
};
const SetPress kSetPresses[] = {
    {"Button2502", "scxSetTime ", false}, {"Button2503", "scxNW ", false}, {"Button2504", "scxSetFactDef", true}};

size_t CountStarting(const std::vector<std::string>& lines, const std::string& start) {
    return static_cast<size_t>(
        std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; }));
}

}  // namespace

TEST_F(ControllerPages, AFullReadFillsEveryFieldAndEnablesTheActions) {
    StartOnCT1("PXTSHOW=1\r\nPXTPROT=1\r\n");
    Clock().SetUnixMillis(kWinterNoon);
    Act("Button2401");
    EXPECT_TRUE(FormTxtCom->Visible()) << "PXTSHOW shows the channel's window";
    ASSERT_EQ(25, Form1->Notebook1->PageIndex());
    EXPECT_EQ(kRead, sim_->Commands());
    EXPECT_EQ("", CT2().Label2511->Caption());
    EXPECT_EQ("3.2.7", CT2().Label2512->Caption());
    EXPECT_EQ("STMX-1.12", CT2().Label2513->Caption());
    EXPECT_EQ("2026-01-15", CT2().MaskEdit2521->Text());
    // Only the minute: the clock moves on while the program waits for the port's threads.
    EXPECT_EQ("13:00:", CT2().MaskEdit2522->Text().substr(0, 6)) << "the controller's UTC shown in local time";
    EXPECT_EQ("192.168.1.50", CT2().Edit2532->Text());
    EXPECT_EQ("255.255.255.0", CT2().Edit2533->Text());
    EXPECT_EQ("192.168.1.1", CT2().Edit2534->Text());
    EXPECT_EQ("192.168.1.1", CT2().Edit2535->Text());
    EXPECT_EQ("pool.ntp.org", CT2().Edit2536->Text());
    EXPECT_EQ("00:1A:2B:3C:4D:5E", CT2().Label2531->Caption());
    EXPECT_TRUE(ActionsEnabled());
    EXPECT_FALSE(FormTxtCom->Com2->Open());
    EXPECT_EQ(8, FormTxtCom->ListBox1->Count());
    EXPECT_EQ("R: scxNW 192.168.1.50 255.255.255.0 192.168.1.1 192.168.1.1 pool.ntp.org 00:1a:2b:3c:4d:5e SUCCESS  ",
              FormTxtCom->ListBox1->Items()->Strings(7));
    const std::string log = ReadFile(LogFileName("TOVAK-TSC-"));
    EXPECT_NE(std::string::npos, log.find(" ReadMOLT   \r\n"));
    EXPECT_NE(std::string::npos, log.find(" StaxtCom   CN=7\r\n"));
    EXPECT_NE(std::string::npos, log.find(" SND        scxUID\r\n"));
    EXPECT_NE(std::string::npos, log.find(" REC        scxUID STMX-1.12 SUCCESS  \r\n"));

    Ui().Click("Form1.Button2501");
    EXPECT_FALSE(FormTxtCom->Visible());
    EXPECT_EQ(0, Form1->Notebook1->PageIndex());
}

TEST_F(ControllerPages, AMissingSuccessStopsTheReadWithTheChannelsMessage) {
    StartOnCT1();
    sim_->NoSuccessOnce();
    AnswerBox("OK");
    Act("Button2401");
    ASSERT_EQ(1u, boxes_.size());
    EXPECT_EQ("Fehler in der Kommunikation:\r\rscxFWV ERROR  ", boxes_[0]);
    EXPECT_EQ(std::vector<std::string>{"scxFWV"}, sim_->Commands()) << "the read stops at the first failure";
    EXPECT_EQ(25, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(ActionsDisabled());
    EXPECT_FALSE(FormTxtCom->Com2->Open());

    // Nothing answers on the port: the message says so.
    Form1->Notebook1->SetPageIndex(24);
    sim_->SilentOnce();
    AnswerBox("OK");
    Act("Button2401");
    ASSERT_EQ(2u, boxes_.size());
    EXPECT_EQ("Fehler in der Kommunikation:\r\rKeine Antwort", boxes_[1]);
    EXPECT_TRUE(ActionsDisabled());

    // A port that does not open leaves CT1 with text 1221.
    Form1->Pages().CT1->Edit2401->SetText("9");
    Form1->Notebook1->SetPageIndex(24);
    AnswerBox("Abbruch");
    Act("Button2401");
    ASSERT_EQ(3u, boxes_.size());
    EXPECT_EQ("COM9 kann nicht geöffnet werden !", boxes_[2]);
    EXPECT_EQ(24, Form1->Notebook1->PageIndex());
}

TEST_F(ControllerPages, TheClockGoesOutInUtcAndComesBackInLocalTimeBothSidesOfTheChange) {
    StartOnCT1();
    ReadOk();
    const auto setClock = [&](int64_t pcUtc) {
        sim_->WithDevice([](ControllerDevice& d) { return d.Answer("scxSetTime 2020-01-01;00:00:00", 0, 0); });
        Clock().SetUnixMillis(pcUtc);
        const size_t before = sim_->Commands().size();
        Act("Button2502");
        std::vector<std::string> sent = CommandsSince(before);
        // Asked whether it answers before its clock is set.
        if (!sent.empty()) {
            EXPECT_EQ("scxUID", sent.front());
            sent.erase(sent.begin());
        }
        return sent;
    };
    // From the PC, winter and summer (to the minute: the clock moves on while the port opens).
    std::vector<std::string> sent = setClock(kWinterNoon);
    ASSERT_EQ(2u, sent.size());
    EXPECT_EQ("scxSetTime 2026-01-15;12:00:", sent[0].substr(0, 28));
    EXPECT_EQ("scxSetTime", sent[1]);
    EXPECT_EQ("2026-01-15", CT2().MaskEdit2521->Text());
    EXPECT_EQ("13:00:", CT2().MaskEdit2522->Text().substr(0, 6));
    sent = setClock(kSummerNoon);
    ASSERT_EQ(2u, sent.size());
    EXPECT_EQ("scxSetTime 2026-07-15;12:00:", sent[0].substr(0, 28));
    EXPECT_EQ("2026-07-15", CT2().MaskEdit2521->Text());
    EXPECT_EQ("14:00:", CT2().MaskEdit2522->Text().substr(0, 6));

    // Entered by hand in the night of the change to summer time: 01:30 is still winter time,
    // 03:30 already summer time.
    CT2().CheckBox2523->SetChecked(false);
    CT2().MaskEdit2521->SetText("2026-03-29");
    CT2().MaskEdit2522->SetText("01:30:00");
    EXPECT_EQ("scxSetTime 2026-03-29;00:30:00", setClock(kWinterNoon).at(0));
    EXPECT_EQ("2026-03-29", CT2().MaskEdit2521->Text());
    EXPECT_EQ("01:30:00", CT2().MaskEdit2522->Text()) << "read back at once";
    CT2().MaskEdit2521->SetText("2026-03-29");
    CT2().MaskEdit2522->SetText("03:30:00");
    EXPECT_EQ("scxSetTime 2026-03-29;01:30:00", setClock(kWinterNoon).at(0));
    EXPECT_EQ("03:30:00", CT2().MaskEdit2522->Text());

    // A date that is none: nothing is sent, the date is to be corrected.
    CT2().MaskEdit2521->SetText("2026-02-30");
    AnswerBox("OK");
    EXPECT_TRUE(setClock(kWinterNoon).empty());
    ASSERT_EQ(1u, boxes_.size());
    EXPECT_EQ("Fehlerhafte Angabe - bitte überprüfen !", boxes_[0]);
    EXPECT_TRUE(CT2().MaskEdit2521->Focused());
    EXPECT_FALSE(FormTxtCom->Com2->Open());

    // A time typed only half, the button pressed by its key while the field still has the
    // focus: refused like the date, nothing sent; a half date too.
    CT2().MaskEdit2521->SetText("2026-03-29");
    CT2().MaskEdit2522->SetText("");
    CT2().MaskEdit2522->SetFocus();
    Ui().PressKey(VK_HOME);
    Ui().Type("123");
    ASSERT_EQ("12:3_:__", CT2().MaskEdit2522->EditText());
    size_t before = sim_->Commands().size();
    AnswerBox("OK");
    Ui().PressKey('U', {ssAlt});
    ASSERT_EQ(2u, boxes_.size());
    EXPECT_EQ("Fehlerhafte Angabe - bitte überprüfen !", boxes_[1]);
    EXPECT_TRUE(CT2().MaskEdit2522->Focused());
    EXPECT_EQ(before, sim_->Commands().size());
    CT2().MaskEdit2522->SetText("12:30:00");
    CT2().MaskEdit2521->SetText("2026-1");
    AnswerBox("OK");
    EXPECT_TRUE(setClock(kWinterNoon).empty());
    ASSERT_EQ(3u, boxes_.size());
    EXPECT_TRUE(CT2().MaskEdit2521->Focused());
    // A whole time that is no time still means the PC's time, as before.
    CT2().MaskEdit2521->SetText("2026-03-29");
    CT2().MaskEdit2522->SetText("25:61:00");
    EXPECT_EQ("scxSetTime 2026-03-29;11:00:", setClock(kWinterNoon).at(0).substr(0, 28));
    EXPECT_EQ(3u, boxes_.size());
}

TEST(UtcToLocalText, ConvertsValidMomentsAndLeavesOthersAlone) {
    const char* saved = std::getenv("TZ");
    const std::string keep = saved ? saved : "";
    setenv("TZ", "Europe/Berlin", 1);
    std::string d = "2026-03-29", t = "00:59:59";
    UtcToLocalText(d, t);
    EXPECT_EQ("2026-03-29 01:59:59", d + " " + t);
    d = "2026-03-29", t = "01:00:00";
    UtcToLocalText(d, t);
    EXPECT_EQ("2026-03-29 03:00:00", d + " " + t);
    d = "2026-12-31", t = "23:30:00";
    UtcToLocalText(d, t);
    EXPECT_EQ("2027-01-01 00:30:00", d + " " + t);
    d = "2026-13-01", t = "10:00:00";
    UtcToLocalText(d, t);
    EXPECT_EQ("2026-13-01 10:00:00", d + " " + t) << "an impossible date stays as it came";
    d = "2026-01-01", t = "10:61:00";
    UtcToLocalText(d, t);
    EXPECT_EQ("2026-01-01 10:61:00", d + " " + t);
    if (saved)
        setenv("TZ", keep.c_str(), 1);
    else
        unsetenv("TZ");
}

// Garbled clock replies kept under corpus/: the date and time words, as the channel hands
// them over (";" turned into blanks), show as they came, never as a moment made up of zeros.
TEST(UtcToLocalText, GarbledClockRepliesInTheKeptFilesStayAsTheyCame) {
    const char* saved = std::getenv("TZ");
    const std::string keep = saved ? saved : "";
    setenv("TZ", "Europe/Berlin", 1);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TOVAK_APP_CORPUS)) {
        if (entry.path().filename().string().rfind("clock-", 0) != 0) continue;
        ++files;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string reply((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::replace(reply.begin(), reply.end(), ';', ' ');
        std::vector<std::string> words(1);
        for (char c : reply) {
            if (c == ' ')
                words.emplace_back();
            else
                words.back() += c;
        }
        ASSERT_GE(words.size(), 3u) << entry.path();
        std::string d = words[1], t = words[2];
        UtcToLocalText(d, t);
        EXPECT_EQ(words[1] + " " + words[2], d + " " + t) << entry.path();
    }
    EXPECT_GT(files, 0);
    if (saved)
        setenv("TZ", keep.c_str(), 1);
    else
        unsetenv("TZ");
}

TEST_F(ControllerPages, AddressesAreCheckedBeforeAnythingIsSent) {
    StartOnCT1();
    ReadOk();
    const size_t before = sim_->Commands().size();
    CT2().Edit2532->SetText("192.168.1.300");
    AnswerBox("OK");
    Act("Button2503");
    ASSERT_EQ(1u, boxes_.size());
    EXPECT_EQ("Fehlerhafte Angabe - bitte überprüfen !", boxes_[0]);
    EXPECT_TRUE(CT2().Edit2532->Focused());
    EXPECT_EQ("192.168.1.300", CT2().Edit2532->SelText());
    CT2().Edit2532->SetText(" ");
    AnswerBox("OK");
    Act("Button2503");
    EXPECT_EQ(2u, boxes_.size()) << "an empty IP is refused";
    EXPECT_EQ(before, sim_->Commands().size());

    CT2().Edit2533->SetText("255.0.0.0");
    for (const char* bad :
         {"1.2.3", "1.2.3.4.5", "1.2.3.-1", "1.2.3.1000", "1..2.3", "a.b.c.d", "1.2.3.+4", "1.2.3.0x1"}) {
        AnswerBox("OK");
        EXPECT_TRUE(CT2().CheckIpText(false, bad, CT2().Edit2535)) << bad;
    }
    for (const char* good : {"10.0.0.1", "0.0.0.0", "255.255.255.255", "010.1.1.1"})
        EXPECT_FALSE(CT2().CheckIpText(true, good, CT2().Edit2535)) << good;
    EXPECT_FALSE(CT2().CheckIpText(false, "", CT2().Edit2534)) << "an empty gateway passes";
    AnswerBox("OK");
    EXPECT_TRUE(CT2().CheckIpText(true, "", CT2().Edit2532));
}

TEST_F(ControllerPages, NetworkSettingRestartsTheControllerAndPollsUntilItAnswers) {
    StartOnCT1("PXTPROT=1\r\n");
    ReadOk();
    sim_->WithDevice([](ControllerDevice& d) { d.restart_commands = 2; });
    CT2().Edit2532->SetText(" 10.0.0.1 ");
    CT2().Edit2533->SetText("255.0.0.0");
    CT2().Edit2534->SetText("");
    CT2().Edit2535->SetText("8.8.8.8");
    CT2().Edit2536->SetText("ntp.example");
    const size_t before = sim_->Commands().size();
    bool infoShown = false;
    FormMsg->OnShow = [&](TObject*) { infoShown = FormMsg->Label1->Caption() == "Restart Controller ..."; };
    Act("Button2503");
    std::vector<std::string> expected = {"scxUID", "scxNW 10.0.0.1 255.0.0.0  8.8.8.8 ntp.example", "scxUID", "scxUID",
                                         "scxUID"};
    expected.insert(expected.end(), kRead.begin(), kRead.end());
    EXPECT_EQ(expected, CommandsSince(before)) << "answered at the 3rd poll, then read again";
    EXPECT_TRUE(infoShown);
    EXPECT_FALSE(FormMsg->IsShown());
    EXPECT_TRUE(ActionsEnabled());
    EXPECT_EQ("10.0.0.1", CT2().Edit2532->Text());
    EXPECT_EQ("", CT2().Edit2534->Text());
    EXPECT_EQ("ntp.example", CT2().Edit2536->Text());
    EXPECT_NE(std::string::npos, ReadFile(LogFileName("TOVAK-TSC-")).find(" SetMOLT    \r\n"));
}

TEST_F(ControllerPages, AControllerThatNeverComesBackFailsTheReadAfterTwentyPolls) {
    StartOnCT1();
    ReadOk();
    sim_->WithDevice([](ControllerDevice& d) { d.restart_ms = 100'000'000; });
    const size_t before = sim_->Commands().size();
    AnswerBox("OK");
    Act("Button2503");
    std::vector<std::string> expected = {"scxUID",
                                         "scxNW 192.168.1.50 255.255.255.0 192.168.1.1 192.168.1.1 pool.ntp.org"};
    expected.insert(expected.end(), 20, "scxUID");
    expected.push_back("scxFWV");
    EXPECT_EQ(expected, CommandsSince(before));
    ASSERT_EQ(1u, boxes_.size());
    EXPECT_EQ("Fehler in der Kommunikation:\r\rKeine Antwort", boxes_[0]);
    EXPECT_TRUE(ActionsDisabled());
    EXPECT_FALSE(FormTxtCom->Com2->Open());
}

TEST_F(ControllerPages, FactoryResetAfterConfirmation) {
    StartOnCT1();
    ReadOk();
    CT2().Edit2532->SetText("10.1.1.1");
    size_t before = sim_->Commands().size();
    AnswerBox("Nein");
    Act("Button2504");
    EXPECT_EQ(before, sim_->Commands().size());
    EXPECT_EQ("Controller wirklich auf Werkseinstellungen zurücksetzen?", boxes_.at(0));

    sim_->WithDevice([](ControllerDevice& d) {
        d.network.ip = "10.9.9.9";
        d.restart_ms = 5000;
    });
    AnswerBox("Ja");
    Act("Button2504");
    std::vector<std::string> expected = {"scxUID", "scxSetFactDef", "scxUID"};
    expected.insert(expected.end(), kRead.begin(), kRead.end());
    EXPECT_EQ(expected, CommandsSince(before));
    EXPECT_EQ("192.168.1.50", CT2().Edit2532->Text());
    EXPECT_TRUE(ActionsEnabled());

    // The buttons come back after a reset even when the read that follows fails.
    sim_->WithDevice([](ControllerDevice& d) { d.restart_ms = 100'000'000; });
    AnswerBox("Ja");
    AnswerBox("OK");
    Act("Button2504");
    EXPECT_TRUE(ActionsEnabled());
    EXPECT_FALSE(FormTxtCom->Com2->Open());
}

TEST_F(ControllerPages, PagePictures) {
    // Pictures for looking at the layout.
    const std::string out = TestPicturesFolder();
    StartOnCT1();
    EXPECT_TRUE(Ui().SaveForm(Form1, out + "/controller-ct1.png"));
    ReadOk();
    EXPECT_TRUE(Ui().SaveForm(Form1, out + "/controller-ct2.png"));
}

// A controller that hangs (it reads nothing from its line) while one of the set commands is
// pressed: the page asks it first, shows that it does not answer, and sends nothing more.
// When it wakes half a minute or a minute later it finds at most that one question, none of
// the commands; pressed again on the woken controller, each command arrives once.
TEST_F(ControllerPages, ASetCommandNeverReachesAControllerThatDidNotAnswer) {
    StartOnCT1();
    ReadOk();
    bool restartShown = false;
    FormMsg->OnShow = [&](TObject*) { restartShown = true; };
    for (const uint64_t later : {30'000u, 60'000u})
        for (const SetPress& p : kSetPresses) {
            SCOPED_TRACE(std::string(p.button) + ", resumed " + std::to_string(later / 1000) + " s later");
            sim_->Stop();
            const size_t before = sim_->Commands().size();
            boxes_.clear();
            if (p.confirmed) AnswerBox("Ja");
            AnswerBox("OK");
            Act(p.button);
            ASSERT_EQ(p.confirmed ? 2u : 1u, boxes_.size());
            EXPECT_EQ("Fehler in der Kommunikation:\r\rKeine Antwort", boxes_.back());
            EXPECT_FALSE(restartShown) << "no restart is waited for";
            EXPECT_TRUE(ActionsEnabled());
            EXPECT_FALSE(FormTxtCom->Com2->Open());

            Clock().Advance(later);
            sim_->Start();
            sim_->Settle();
            const std::vector<std::string> woke = CommandsSince(before);
            EXPECT_LE(woke.size(), 1u);
            EXPECT_EQ(woke.size(), CountStarting(woke, "scxUID")) << "only the question whether it answers";

            const size_t again = sim_->Commands().size();
            if (p.confirmed) AnswerBox("Ja");
            Act(p.button);
            const std::vector<std::string> sent = CommandsSince(again);
            ASSERT_GE(sent.size(), 2u);
            EXPECT_EQ("scxUID", sent[0]);
            EXPECT_EQ(0u, sent[1].rfind(p.command, 0));
            EXPECT_EQ(1u, CountStarting(sent, p.command));
            EXPECT_TRUE(ActionsEnabled());
            restartShown = false;
        }
}

// The same with the simulator program itself, stopped as a hung controller stops (SIGSTOP),
// on the clock moved on at up to twice real time, and only once the process has had its chance
// to answer, however loaded the machine. What it received is what it wrote to its output: once
// continued, none of the set commands pressed while it was stopped, at most the one question
// before the fresh question of the next press.
TEST_F(ControllerPages, AStoppedControllerProcessNeverGetsTheSetCommandsItMissed) {
    const int port = kPort + 1;
    const std::string ports = dir_ + "/ports";
    SimProcess sim(
        std::string(TOVAK_BUILD_DIR) + "/sim/tovak-sim",
        {"--controller", "--port", std::to_string(port), "--ports-dir", ports, "--restart", "0", "--print-requests"},
        dir_ + "/controller.txt");
    ASSERT_TRUE(sim.Started());
    control_road::SteadyAdvance pace(Clock(), 4);
    ASSERT_TRUE(sim.LineReady(ports + "/COM" + std::to_string(port)));
    const auto received = [&] {
        std::vector<std::string> lines;
        std::istringstream out(sim.Output());
        for (std::string line; std::getline(out, line);)
            if (line.rfind("command ", 0) == 0) lines.push_back(line.substr(8));
        return lines;
    };
    const auto since = [&](size_t from) {
        const std::vector<std::string> all = received();
        return std::vector<std::string>(all.begin() + static_cast<long>(std::min(from, all.size())), all.end());
    };
    StartOnCT1("", port);
    Ui().Click("Form1.Button2401");
    ASSERT_TRUE(ActionsEnabled());
    ASSERT_EQ(kRead, received());

    for (const SetPress& p : kSetPresses) {
        SCOPED_TRACE(p.button);
        sim.Stop();
        ASSERT_TRUE(PumpUntil([&] { return sim.IsStopped(); }));
        const size_t before = received().size();
        boxes_.clear();
        if (p.confirmed) AnswerBox("Ja");
        AnswerBox("OK");
        Ui().Click("Form1." + std::string(p.button));
        ASSERT_EQ(p.confirmed ? 2u : 1u, boxes_.size());
        EXPECT_EQ("Fehler in der Kommunikation:\r\rKeine Antwort", boxes_.back());
        EXPECT_TRUE(ActionsEnabled());

        Clock().Advance(30'000);
        sim.Continue();
        ASSERT_TRUE(PumpUntil([&] { return !sim.IsStopped(); }));
        // Pressed again: its fresh question is answered only after the process has read
        // whatever waited in the line before it.
        if (p.confirmed) AnswerBox("Ja");
        Ui().Click("Form1." + std::string(p.button));
        const std::vector<std::string> got = since(before);
        const auto command = std::find_if(got.begin(), got.end(),
                                          [&](const std::string& l) { return l.rfind(p.command, 0) == 0; });
        ASSERT_NE(got.end(), command) << ::testing::PrintToString(got);
        const auto asked = static_cast<size_t>(command - got.begin());
        EXPECT_TRUE(asked == 1 || asked == 2) << ::testing::PrintToString(got);
        EXPECT_EQ(asked, CountStarting(std::vector<std::string>(got.begin(), command), "scxUID"));
        EXPECT_EQ(1u, CountStarting(got, p.command)) << ::testing::PrintToString(got);
        EXPECT_TRUE(ActionsEnabled());
    }
}
