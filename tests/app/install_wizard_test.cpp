// The installation wizard: its "&Abbruch" shared with the maintenance wizard, and whole
// installations against the simulated door terminal over a pseudo-terminal, on the manual
// clock moved on steadily.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "app/common/comp_text.h"
#include "app/common/device_slot_display.h"
#include "app/pages/control/page_ins.h"
#include "app/pages/control/page_men.h"
#include "app/pages/control/page_stg.h"
#include "app/pages/control/page_waw.h"
#include "platform/forms/clipboard.h"
#include "program/program_context.h"
#include "program/system_code.h"
#include "tests/app/control_road_support.h"
#include "tests/support/test_pictures.h"

namespace {

using namespace control_road;

constexpr TColor kGreen = 0x00FF00;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kYellow = 0x00FFFF;
constexpr TColor kSilver = 0xC0C0C0;

// Answers the next confirmation with "Ja" or "Nein", keeping its text.
void Confirm(UiDriver& ui, bool yes, std::string* text = nullptr) {
    ui.OnNextModal([yes, text](TCustomForm* form, UiDriver& u) {
        auto* box = dynamic_cast<TFormCustMsg*>(form);
        ASSERT_NE(nullptr, box);
        if (text) *text = box->Label1->Caption();
        u.Click(yes ? box->Button1 : box->Button2);
    });
}

class WizardAbort : public AppStart {
protected:
    std::vector<std::string> Queue() { return Session().Link().QueueItems(); }
};

TEST_F(WizardAbort, EndsTheInstallStepOnlyAfterTheFirstPage) {
    Start({"/1"});
    // As though a device were connected: the requests stay in the queue to be looked at.
    struct OpenLink {
        OpenLink() { Session().LinkState.PortOpen = true; }
        ~OpenLink() { Session().LinkState.PortOpen = false; }
    } open;
    TPageINS& ins = *Form1->Pages().INS;
    ins.Show();
    ins.Notebook11->SetPageIndex(1);
    Form1->Pages().WAW->Notebook21->SetPageIndex(4);
    Form1->Pages().InstallActive = true;
    Form1->Pages().MEN->EnableEntries(false);
    std::string text;
    Confirm(Ui(), false, &text);
    Ui().Click(ins.Button11012);
    EXPECT_EQ(GetCompText(1211), text);
    EXPECT_EQ(TPageINS::Index, Form1->Notebook1->PageIndex());

    Confirm(Ui(), true);
    Ui().Click(ins.Button11012);
    EXPECT_EQ(TPageMEN::Index, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(Queue().empty());
    EXPECT_TRUE(Form1->Pages().InstallActive);
    EXPECT_TRUE(Form1->Pages().MEN->Button721->Enabled());
    EXPECT_EQ(1, Form1->Pages().WAW->Notebook21->PageIndex());

    // Every later page's button ends the step on the device, once, while it is running.
    AutoAdvance advance(Clock());
    for (int page : {2, 3, 4, 5, 6, 8, 9, 10, 11}) {
        SCOPED_TRACE(page);
        ins.Show();
        ins.Notebook11->SetPageIndex(page);
        Form1->Pages().InstallActive = page % 2 == 0;
        const size_t before = Queue().size();
        Confirm(Ui(), true);
        Ui().Click("Form1.Button11" + std::string(page < 10 ? "0" : "") + std::to_string(page) + "2");
        EXPECT_EQ(before + (page % 2 == 0 ? 1 : 0), Queue().size());
        if (Queue().size() > before) {
            EXPECT_EQ("00,00,FB,02,00,50,17", Queue().back());
        }
        EXPECT_FALSE(Form1->Pages().InstallActive);
        EXPECT_EQ(1, ins.Notebook11->PageIndex());
        EXPECT_EQ(TPageMEN::Index, Form1->Notebook1->PageIndex());
    }
}

class Installation : public ControlRoad {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) savedTz_ = tz;
        setenv("TZ", "UTC", 1);
        ControlRoad::SetUp();
    }
    void TearDown() override {
        ControlRoad::TearDown();
        if (savedTz_)
            setenv("TZ", savedTz_->c_str(), 1);
        else
            unsetenv("TZ");
    }
    // The wizard's first page, reached through the menu with the install code.
    void ToWizard(DoorState state, const std::string& settings = "") {
        StartSim(std::move(state));
        WriteFile("TOVAK.INI", "[MAIN]\r\nCSM=0\r\nCOC=" + std::to_string(kPort) + "\r\n" + settings);
        Start();
        Ui().Click("Form1.Button001");
        Ui().Click("Form1.Button601");
        ASSERT_TRUE(Session().LinkState.PortOpen);
        Ui().OnNextModal([](TCustomForm*, UiDriver& u) {
            u.Type("3333");
            u.Enter();
        });
        Ui().Click(Form1->Pages().MEN->Button721);
        ASSERT_EQ(TPageINS::Index, Form1->Notebook1->PageIndex());
        ASSERT_EQ(1, Ins().Notebook11->PageIndex());
        wizardFrom_ = Requests().size();
    }
    TPageINS& Ins() { return *Form1->Pages().INS; }
    int Step() { return Ins().Notebook11->PageIndex(); }
    // The wizard's requests so far, a repeated one (the button test's polling) once.
    std::vector<std::string> WizardRequests() {
        std::vector<std::string> all = Requests(), out;
        for (size_t i = wizardFrom_; i < all.size(); ++i)
            if (out.empty() || out.back() != all[i]) out.push_back(all[i]);
        return out;
    }
    // Runs `act` once, on the window thread, as soon as `when` holds.
    void Once(std::function<bool()> when, std::function<void()> act) {
        watch_ = OnceWhen(std::move(when), std::move(act));
    }
    TColor Lamp(int bank, int slot) { return TDeviceSlotDisplay(Form1).SlotShape(bank, slot)->Brush()->Color(); }
    std::string SlotText(int bank, int slot) { return TDeviceSlotDisplay(Form1).SlotLabel(bank, slot)->Caption(); }
    void SavePage(const std::string& name) { EXPECT_TRUE(Ui().SaveForm(Form1, TestPicturePath(name + ".png"))); }

    // `into` leads to the door-closed page `step`, which holds "&Weiter" (`next`) back until
    // the simulator's door closes; then `next` leads on.
    void PassDoorClosedPage(int step, TAppButton* into, TAppButton* next) {
        Once([this, step, next] { return Step() == step && !next->Enabled(); },
             [this, step] {
                 SavePage("ins-0" + std::to_string(step));
                 sim_->Device().SetDoor(0x00);
             });
        Ui().Click(into);
        ASSERT_EQ(step, Step());
        EXPECT_TRUE(next->Enabled());
        Ui().Click(next);
    }

    std::optional<std::string> savedTz_;
    size_t wizardFrom_ = 0;
};

// One terminal (slot 1, address 5) and two boxes (slots 5 and 6) with jumper bytes `flags`.
DoorState Terminal(uint8_t box1, uint8_t box2) {
    DoorState s = DoorState::DoorTerminal();
    s.slots[5].flags = box1;
    s.slots[6].flags = box2;
    return s;
}

// J1 and J3 set, J2 open: the delays may be edited, with the short limits.
constexpr uint8_t kJ2Open = 0x61;
// J2 and J3 open: the long limits.
constexpr uint8_t kJ2J3Open = 0x25;

TEST_F(Installation, WholeRunWithStepModeOne) {
    DoorState state = Terminal(kJ2Open, kJ2Open);
    state.door = 0x01;  // open: page 04 waits until it is closed
    ToWizard(state);
    Ui().Click(Ins().Button11011);
    ASSERT_EQ(2, Step());
    EXPECT_TRUE(Form1->Pages().InstallActive);
    EXPECT_TRUE(Ins().Button11021->Enabled());
    EXPECT_EQ(kGreen, Lamp(2, 1));
    EXPECT_EQ("05", SlotText(2, 1));
    EXPECT_EQ(kSilver, Lamp(2, 2));
    EXPECT_EQ("", SlotText(2, 2));
    EXPECT_EQ("21", SlotText(2, 5));
    EXPECT_EQ("22", SlotText(2, 6));
    SavePage("ins-02");

    Ui().Click(Ins().Button11021);
    ASSERT_EQ(3, Step());
    EXPECT_EQ("1:    [21]", Ins().InstallSlotLabel(1)->Caption());
    EXPECT_EQ("3:    ----", Ins().InstallSlotLabel(3)->Caption());
    EXPECT_FALSE(Ins().InstallImage(3, 1)->Visible());
    EXPECT_EQ(GetCompText(1303), Ins().Label11032->Caption());
    EXPECT_TRUE(Ins().Button11031->Enabled());
    SavePage("ins-03");

    PassDoorClosedPage(4, Ins().Button11031, Ins().Button11041);
    ASSERT_EQ(5, Step());
    SavePage("ins-05");

    Ui().Click(Ins().Button11051);
    ASSERT_EQ(6, Step());
    EXPECT_EQ(kGreen, Ins().Shape11051->Brush()->Color());
    EXPECT_EQ(GetCompText(1411), Ins().Label11051->Caption());
    EXPECT_EQ("5", Ins().Edit11061->Text());
    EXPECT_EQ("30", Ins().Edit11062->Text());
    EXPECT_TRUE(Ins().Edit11061->Enabled());

    // The short limits: 16 s and 181 s are refused, each naming its limit.
    std::string text;
    Ins().Edit11061->SetText("16");
    AnswerBox(text);
    Ui().Click(Ins().Button11061);
    EXPECT_EQ("Ungültiger Wert für t1 (möglich 0..15s) !", text);
    Ins().Edit11061->SetText("12");
    Ins().Edit11062->SetText("181");
    AnswerBox(text);
    Ui().Click(Ins().Button11061);
    EXPECT_EQ("Ungültiger Wert für t2 (möglich 0..180s) !", text);
    EXPECT_EQ(6, Step());
    // Neither a letter nor an emptied field goes out as 0.
    for (const char* typed : {"x", " "}) {
        Ins().Edit11062->SetText(typed);
        text.clear();
        AnswerBox(text);
        Ui().Click(Ins().Button11061);
        EXPECT_EQ("Ungültiger Wert für t2 (möglich 0..180s) !", text) << "'" << typed << "'";
        EXPECT_EQ(6, Step());
    }
    Ins().Edit11062->SetText("180");
    SavePage("ins-06");

    Ui().Click(Ins().Button11061);
    ASSERT_EQ(8, Step());
    EXPECT_EQ("12", Ins().Label11081->Caption());
    EXPECT_EQ("180", Ins().Label11082->Caption());
    for (int k = 1; k <= 4; ++k) EXPECT_TRUE(Ins().StepImages[static_cast<size_t>(k)]->Visible()) << k;
    EXPECT_EQ(clBlack, Ins().Label1104->Font()->Color());
    const TStrings* lines = Ins().ListBox11->Items();
    ASSERT_GE(lines->Count(), 6);
    EXPECT_EQ(GetCompText(1802), lines->Strings(0));
    EXPECT_LT(lines->IndexOf(GetCompText(1806)), lines->IndexOf(GetCompText(1807)));
    EXPECT_FALSE(Ins().ProgressBar11->Visible());
    EXPECT_EQ(12, sim_->Device().State().slots[1].params[6]);
    SavePage("ins-08");

    // The button test: the terminal's lamp turns yellow when one box sees its button, green
    // when both do.
    std::vector<TColor> seen;
    watch_ = std::make_unique<TTimer>(nullptr);
    watch_->SetInterval(5);
    watch_->OnTimer = [&](TObject*) {
        if (Step() != 10) return;
        const TColor c = Lamp(3, 1);
        if (!seen.empty() && seen.back() == c) return;
        seen.push_back(c);
        if (c == kRed) sim_->Device().Update([](DoorState& s) { s.buttons[1] = 0x01; });
        if (c == kYellow) sim_->Device().Update([](DoorState& s) { s.buttons[2] = 0x01; });
    };
    watch_->SetEnabled(true);
    Ui().Click(Ins().Button11081);
    ASSERT_EQ(10, Step());
    EXPECT_EQ((std::vector<TColor>{kRed, kYellow, kGreen}), seen);
    EXPECT_EQ("05", SlotText(3, 1));
    EXPECT_EQ(kSilver, Lamp(3, 2));
    EXPECT_FALSE(Ins().Label11110->Visible());  // no KZN boxes
    EXPECT_TRUE(Ins().Button11101->Enabled());
    watch_.reset();
    SavePage("ins-10");

    Ui().Click(Ins().Button11101);
    ASSERT_EQ(11, Step());
    EXPECT_FALSE(Ins().Button11111->Enabled());
    Ui().Click(Ins().CheckEdit11111);
    EXPECT_TRUE(Ins().Button11111->Enabled());
    SavePage("ins-11");

    Clock().SetUnixMillis(1772721000000);  // 2026-03-05 14:30 UTC
    Ui().Click(Ins().Button11111);
    ASSERT_EQ(12, Step());
    EXPECT_EQ("2011-0008-8000-0001-1100-0000-053Q-EU74", Ins().Label11121->Caption());
    Clipboard()->SetAsText("");
    Ui().Click(Ins().Button11123);
    EXPECT_EQ("2011-0008-8000-0001-1100-0000-053Q-EU74", Clipboard()->AsText());
    SavePage("ins-12");

    Ui().Click(Ins().Button11121);
    ASSERT_EQ(13, Step());
    EXPECT_FALSE(Form1->Pages().InstallActive);  // a later Esc must not cancel a finished installation
    SavePage("ins-13");
    Ui().Click(Ins().Button11131);
    EXPECT_EQ(TPageSTG::Index, Form1->Notebook1->PageIndex());
    EXPECT_EQ(0, Step());
    EXPECT_TRUE(Form1->Pages().STG->Button81->Visible());

    EXPECT_TRUE(Sent("FB,02,00,50,15"));  // queued on page 12: it leaves with a later poll
    EXPECT_EQ((std::vector<std::string>{"FB,02,00,50,14", "FB,02,00,50,01", "FB,02,00,50,16", "FB,02,02,0E,06,00,0C",
                                        "FB,02,02,0E,07,00,B4", "FB,02,00,11,00", "FB,02,00,10,00", "FB,02,00,10,01",
                                        "FB,02,00,10,02", "FB,02,00,50,02", "FB,02,00,50,19", "FB,02,00,50,15"}),
              WizardRequests());

    // The pages the run passed through without a picture: as they were left.
    for (int page : {1, 7, 9}) {
        Ins().Show();
        Ins().Notebook11->SetPageIndex(page);
        SavePage("ins-" + std::string("0") + std::to_string(page));
    }
}

TEST_F(Installation, StepModeZeroLateDetectionLongLimitsAndTheClosedDoorBeforeTheTest) {
    DoorState state = Terminal(kJ2J3Open, kJ2J3Open);
    state.detect_ms = 3000;
    state.door = 0x01;  // open: installation mode 2 goes on all the same, up to page 09
    state.button_script = {{}, {0, 0x01, 0x01}};
    state.long_button_record = true;
    state.box_bits[1] = {0x01, 0, 0, 0};  // the first KZN position's button seen
    ToWizard(state, "INSTSTPM=0\r\nINSTMODE=2\r\n");
    Session().LinkState.NodeTable.KznCount = 2;
    bool waited = false;
    Once([this] { return Step() == 2; }, [&] { waited = !Ins().Button11021->Enabled(); });
    const uint64_t started = GetTickCount64();
    Ui().Click(Ins().Button11011);
    EXPECT_TRUE(waited);
    EXPECT_GE(GetTickCount64() - started, 3000u);
    EXPECT_TRUE(Ins().Button11021->Enabled());
    EXPECT_TRUE(Ins().Button11022->Enabled());
    Ui().Click(Ins().Button11021);
    Ui().Click(Ins().Button11031);
    ASSERT_EQ(5, Step());
    Ui().Click(Ins().Button11051);
    ASSERT_EQ(6, Step());

    // The long limits: 121 s is refused, 120 s and 300 s go out high byte first.
    std::string text;
    Ins().Edit11061->SetText("121");
    AnswerBox(text);
    Ui().Click(Ins().Button11061);
    EXPECT_EQ("Ungültiger Wert für t1 (möglich 0..120s) !", text);
    Ins().Edit11061->SetText("120");
    Ins().Edit11062->SetText("300");
    Ui().Click(Ins().Button11061);
    ASSERT_EQ(8, Step());
    EXPECT_EQ("300", Ins().Label11082->Caption());

    PassDoorClosedPage(9, Ins().Button11081, Ins().Button11091);
    ASSERT_EQ(10, Step());
    EXPECT_EQ(kGreen, Lamp(3, 1));
    EXPECT_TRUE(Session().LinkState.AllButtonsPressed);
    EXPECT_TRUE(Ins().Label11110->Visible());
    EXPECT_EQ("X-", Ins().Label11111->Caption());
    SavePage("ins-10-kzn");

    Ui().Click(Ins().Button11101);
    Ui().Click(Ins().CheckEdit11111);
    Clock().SetUnixMillis(1772721000000);  // 2026-03-05 14:30 UTC
    Ui().Click(Ins().Button11111);
    EXPECT_EQ("2011-0008-8000-0003-3120-0000-053Q-EU76", Ins().Label11121->Caption());
    Ui().Click(Ins().Button11121);
    ASSERT_EQ(13, Step());
    EXPECT_EQ((std::vector<std::string>{"FB,02,00,50,15", "FB,02,00,50,14", "FB,02,00,50,01", "FB,02,00,50,16",
                                        "FB,02,02,0E,06,00,78", "FB,02,02,0E,07,01,2C", "FB,02,00,11,00",
                                        "FB,02,00,10,00", "FB,02,00,10,01", "FB,02,00,10,02", "FB,02,00,50,02",
                                        "FB,02,00,50,15", "FB,02,00,50,19"}),
              WizardRequests());
}

TEST_F(Installation, DisagreeingBoxesLeaveOnlyTheWayBack) {
    ToWizard(Terminal(kJ2Open, kJ2J3Open));
    Ui().Click(Ins().Button11011);
    Ui().Click(Ins().Button11021);
    ASSERT_EQ(3, Step());
    EXPECT_EQ(GetCompText(1302), Ins().Label11032->Caption());
    EXPECT_FALSE(Ins().Button11031->Enabled());
    Confirm(Ui(), true);
    Ui().Click("Form1.Button11032");
    EXPECT_EQ(TPageMEN::Index, Form1->Notebook1->PageIndex());
    EXPECT_EQ(1, Step());
    EXPECT_FALSE(Form1->Pages().InstallActive);
    EXPECT_TRUE(Sent("FB,02,00,50,17"));
    EXPECT_EQ(std::vector<uint8_t>{0x17}, sim_->Device().State().install_steps);
}

TEST_F(Installation, EscDuringTheConfigurationRunEndsTheInstallStep) {
    DoorState state = Terminal(0x70, 0x70);  // every jumper set: the delays stay 0
    state.restart_ms = 600000;               // the device stays in its restart
    ToWizard(state);
    Ui().Click(Ins().Button11011);
    Ui().Click(Ins().Button11021);
    Ui().Click(Ins().Button11031);
    Ui().Click(Ins().Button11051);
    ASSERT_EQ(6, Step());
    EXPECT_EQ("0", Ins().Edit11061->Text());
    EXPECT_FALSE(Ins().Edit11061->Enabled());
    EXPECT_FALSE(Ins().Edit11062->Enabled());
    Once([this] { return Step() == 7 && Ins().StepImages[1]->Visible(); }, [this] { Ui().Escape(); });
    Ui().Click(Ins().Button11061);
    EXPECT_EQ(0, Form1->Notebook1->PageIndex());
    EXPECT_EQ(1, Step());
    EXPECT_FALSE(Form1->Pages().InstallActive);
    EXPECT_FALSE(Session().LinkState.PortOpen);
    EXPECT_FALSE(Ins().ProgressBar11->Visible());
    const std::vector<std::string> sent = WizardRequests();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ("FB,02,02,0E,06,00,00", sent[3]);
    EXPECT_EQ("FB,02,00,11,00", sent[sent.size() - 2]);
    EXPECT_EQ("FB,02,00,50,17", sent.back());
}

TEST_F(Installation, ASilentDetectionOffersToGiveUpAfterTwoMinutes) {
    DoorState state = Terminal(kJ2Open, kJ2Open);
    state.detect_ms = 600000;
    ToWizard(state);
    std::unique_ptr<SteadyAdvance> fast;
    Once([this] { return !Requests().empty() && Requests().back() == "FB,02,00,50,14"; },
         [&] { fast = std::make_unique<SteadyAdvance>(Clock(), 200); });
    std::string text;
    Ui().OnNextModal([&](TCustomForm* form, UiDriver& u) {
        fast.reset();
        text = static_cast<TFormCustMsg*>(form)->Label1->Caption();
        u.Click(static_cast<TFormCustMsg*>(form)->Button1);  // "Ja"
    });
    Ui().Click(Ins().Button11011);
    EXPECT_EQ(GetCompTextLines(1199), text);
    EXPECT_EQ(TPageMEN::Index, Form1->Notebook1->PageIndex());
    EXPECT_EQ(1, Step());
    EXPECT_FALSE(Form1->Pages().InstallActive);
    EXPECT_TRUE(Sent("FB,02,00,50,17"));
    EXPECT_TRUE(Form1->Pages().MEN->Button721->Enabled());
}

// Leaves a wait that did not end by itself within `ms` on the program's clock (by showing
// the menu, which every wait of the wizard gives way to), and tells so.
class Rescue {
public:
    explicit Rescue(uint32_t ms) {
        timer_.SetInterval(ms);
        timer_.OnTimer = [this](TObject*) {
            timer_.SetEnabled(false);
            used = true;
            Form1->Notebook1->SetPageIndex(TPageMEN::Index);
        };
        timer_.SetEnabled(true);
    }
    bool used = false;

private:
    TTimer timer_{nullptr};
};

// Closing the window does what "&Abbruch" would first: the device leaves its install step.
TEST_F(Installation, ClosingTheWindowDuringAWaitEndsTheInstallStepAndLetsTheProgramEnd) {
    DoorState state = Terminal(kJ2Open, kJ2Open);
    state.detect_ms = 600000;
    ToWizard(state);
    std::unique_ptr<Rescue> rescue;
    Once([this] { return !Requests().empty() && Requests().back() == "FB,02,00,50,14"; },
         [&] {
             Form1->Close();
             rescue = std::make_unique<Rescue>(3000);
         });
    Ui().Click(Ins().Button11011);
    ASSERT_TRUE(rescue);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(rescue->used);
    EXPECT_FALSE(Form1->Pages().InstallActive);
    EXPECT_EQ("FB,02,00,50,17", Requests().back());
}

// A pulled adapter: the wizard leaves for the start page with an error box and queues
// nothing, neither the next step nor the end of the install step: the queue outlives the
// port, so the requests would reach whichever device is opened next.
TEST_F(Installation, APulledAdapterLeavesTheWizardAndQueuesNothingForTheNextDevice) {
    DoorState state = Terminal(kJ2Open, kJ2Open);
    state.detect_ms = 600000;
    ToWizard(state);
    std::unique_ptr<Rescue> rescue;
    Once([this] { return !Requests().empty() && Requests().back() == "FB,02,00,50,14"; },
         [&] {
             sim_.reset();
             rescue = std::make_unique<Rescue>(3000);
         });
    std::string text;
    AnswerBox(text);
    Ui().Click(Ins().Button11011);
    ASSERT_TRUE(rescue);
    EXPECT_FALSE(rescue->used);
    EXPECT_EQ(GetCompText(1650), text);
    EXPECT_EQ(0, Form1->Notebook1->PageIndex());
    EXPECT_EQ(1, Step());
    EXPECT_FALSE(Form1->Pages().InstallActive);
    EXPECT_TRUE(Session().Link().QueueItems().empty());
}

TEST_F(Installation, APulledAdapterLeavesTheWizardAtOnceAndQueuesNothingForTheNextDevice) {
    ToWizard(Terminal(kJ2Open, kJ2Open));
    Ui().Click(Ins().Button11011);
    Ui().Click(Ins().Button11021);
    ASSERT_EQ(3, Step());
    std::string text;
    AnswerBox(text);
    sim_.reset();
    ASSERT_TRUE(Ui().WaitFor([&] { return !text.empty(); }));
    EXPECT_EQ(GetCompText(1650), text);
    EXPECT_EQ(0, Form1->Notebook1->PageIndex());
    EXPECT_FALSE(Form1->Pages().InstallActive);
    EXPECT_TRUE(Session().Link().QueueItems().empty());
}

// The jumper check on its own: the boxes' flag bytes as the configuration blocks left them.
class JumperCheck : public AppStart {
protected:
    void Boxes(std::initializer_list<int> flags) {
        Session().LinkState.DoorSystem = TDoorSystemRecord{};
        int slot = 5;
        for (int f : flags) {
            Session().LinkState.DoorSystem.Slots[static_cast<size_t>(slot)].BusAddress = 16 + slot;
            Session().LinkState.DoorSystem.Slots[static_cast<size_t>(slot)].SlotFlags = static_cast<uint8_t>(f);
            ++slot;
        }
        Ins().Show();
        Ins().Button11021Click();
    }
    TPageINS& Ins() { return *Form1->Pages().INS; }
    // The picture the box's jumper shows is the pattern `pattern` (0 set, 1 open, 2 mixed).
    bool Shows(int box, int jumper, int pattern) {
        TBitmap* shown = Ins().InstallImage(box, jumper)->Picture()->Bitmap();
        TBitmap* want = Ins().TemplateImages[static_cast<size_t>(pattern)]->Picture()->Bitmap();
        if (shown->Width() != want->Width() || shown->Height() != want->Height()) return false;
        for (int y = 0; y < want->Height(); ++y)
            for (int x = 0; x < want->Width(); ++x)
                if (shown->Canvas()->Pixels(x, y) != want->Canvas()->Pixels(x, y)) return false;
        return true;
    }
};

TEST_F(JumperCheck, DisagreeingJumpersOrBoxesOrNoBoxBlockTheWayOn) {
    WriteFile("TOVAK.INI", "[MAIN]\r\nDBBRIDGEHEX=1\r\n");
    Start({"/1"});
    // Box 1's first jumper disagrees with itself (0x02 and 0x20 both set).
    Boxes({0x23, 0x61});
    EXPECT_TRUE(Shows(1, 1, 2));
    EXPECT_TRUE(Shows(1, 2, 1));
    EXPECT_TRUE(Shows(2, 1, 0));
    EXPECT_TRUE(Shows(2, 3, 0));
    EXPECT_EQ("1:23  [21]", Ins().InstallSlotLabel(1)->Caption());
    EXPECT_EQ(GetCompText(1302), Ins().Label11032->Caption());
    EXPECT_EQ(0x0000FFu, Ins().Label11032->Font()->Color());
    EXPECT_FALSE(Ins().Button11031->Enabled());
    EXPECT_TRUE(Ui().SaveForm(Form1, TestPicturePath("ins-03-mixed.png")));

    // Each box agrees with itself, but not with the other.
    Boxes({0x61, 0x25});
    EXPECT_TRUE(Shows(2, 3, 1));
    EXPECT_EQ(GetCompText(1302), Ins().Label11032->Caption());
    EXPECT_FALSE(Ins().Button11031->Enabled());
    EXPECT_EQ(1 + 2, Program().SystemCodeInputs[14]);  // box 2 sets J3 as well

    Boxes({0x61, 0x61});
    EXPECT_EQ(GetCompText(1303), Ins().Label11032->Caption());
    EXPECT_TRUE(Ins().Button11031->Enabled());
    EXPECT_EQ(1, Program().SystemCodeInputs[15]);
    EXPECT_FALSE(Program().InstallJumperJ3);  // cleared by the new check

    Boxes({});
    EXPECT_EQ(GetCompText(1301), Ins().Label11032->Caption());
    EXPECT_EQ(0x0000FFu, Ins().Label11032->Font()->Color());
    EXPECT_FALSE(Ins().Button11031->Enabled());
    EXPECT_EQ("1:    ----", Ins().InstallSlotLabel(1)->Caption());
    EXPECT_FALSE(Ins().InstallImage(1, 1)->Visible());
}

}  // namespace
