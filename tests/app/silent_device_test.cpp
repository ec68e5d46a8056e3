// A door terminal that stops answering with its adapter still plugged in (a hung node, a
// stopped process): whatever the technician presses meanwhile, the program shows the lost
// device within the silence limit on its own clock, and when the device talks again it hears
// nothing of what was asked while it was silent: the first request it gets is the type
// query of a new opening. The device talks on the manual clock moved on steadily; while it
// is silent the clock moves only while the program sleeps, so its timers fall due on time.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "app/common/comp_text.h"
#include "app/pages/configuration/page_tst.h"
#include "app/pages/control/page_ben.h"
#include "app/pages/control/page_ei2.h"
#include "app/pages/control/page_eig.h"
#include "app/pages/control/page_ein.h"
#include "app/pages/control/page_ins.h"
#include "app/pages/control/page_men.h"
#include "app/pages/control/page_stg.h"
#include "app/pages/control/page_war.h"
#include "app/pages/control/page_waw.h"
#include "app/windows/code_change_form.h"
#include "program/log_file.h"
#include "tests/app/control_road_support.h"
#include "tests/app/sim_process.h"
#include "tests/support/pump_until.h"

namespace {

using namespace control_road;

class SilentDevice;

struct Press {
    const char* name;
    std::function<void(SilentDevice&)> reach;  // from the menu, the device talking
    std::function<void(SilentDevice&)> press;  // answers its own boxes, ExpectLoss, clicks
};

class SilentDevice : public ControlRoad {
public:
    using AppStart::Ui;

    TPageMEN& Men() { return *Form1->Pages().MEN; }
    TPageINS& Ins() { return *Form1->Pages().INS; }
    int Page() const { return Form1->Notebook1->PageIndex(); }

    // The menu entry `button` behind `code`, arriving on page `page`.
    void Entry(TAppButton* TPageMEN::*button, const char* code, int page) {
        if (code) TypeCode(Ui(), code);
        Ui().Click(Men().*button);
        ASSERT_EQ(page, Page());
    }
    // The installation wizard on its page `step`, its device step running.
    void ToWizardStep(int step) {
        Entry(&TPageMEN::Button721, "3333", TPageINS::Index);
        Ins().Notebook11->SetPageIndex(step);
        Form1->Pages().InstallActive = true;
    }
    // The maintenance page.
    void ToWar() { Entry(&TPageMEN::Button722, "3333", TPageWAR::Index); }
    // The next modal form must be the lost device's message: its text is kept with the time
    // the device was last heard, and it is answered.
    void ExpectLoss() {
        Ui().OnNextModal([this](TCustomForm* form, UiDriver& u) {
            lastHeard_ = Session().Link().LastHeard();
            auto* box = dynamic_cast<TFormCustMsg*>(form);
            if (!box) {
                lossText_ = form->ClassName();
                form->SetModalResult(mrCancel);
                return;
            }
            lossText_ = box->Label1->Caption();
            u.Click(box->Button1->Visible() ? box->Button1 : box->Button2);
        });
    }
    // Answers the next confirmation with "Ja".
    void Yes() {
        Ui().OnNextModal([](TCustomForm* form, UiDriver& u) { u.Click(static_cast<TFormCustMsg*>(form)->Button1); });
    }

    // The device stops talking once the exchange under way has ended and the program has
    // handled it; from here the clock moves only while the program sleeps. The moment the
    // link gives the device up is kept: its close, before the loss is reported.
    void FallSilent() {
        sim_->SetSilent(true);
        ASSERT_TRUE(Ui().WaitFor([this] { return sim_->Silent(); }));
        advance_.reset();
        idle_ = std::make_unique<IdleSteps>(Clock());
        lossText_.clear();
        closeTick_ = 0;
        closing_.reset();  // before the next one takes the port's close event
        closing_ = std::make_unique<InPortClose>([this] { closeTick_ = Clock().Ticks(); });
        // The technician presses a moment later.
        Ui().WaitFor([] { return false; }, 300);
    }
    // The device talks again and the technician starts afresh: a new opening on the control
    // road, and the menu's first entry. Answers the data of every request the device got.
    std::vector<std::string> Resume() {
        idle_.reset();
        sim_->ClearExchanges();
        sim_->SetSilent(false);
        advance_ = std::make_unique<SteadyAdvance>(Clock());
        Ui().Click("Form1.Button001");
        Ui().Click("Form1.Button601");
        EXPECT_EQ(TPageMEN::Index, Page());
        Entry(&TPageMEN::Button711, nullptr, TPageSTG::Index);
        Ui().Click(Form1->Pages().STG->Button80);
        std::vector<std::string> got;
        for (const SimExchange& ex : sim_->Exchanges())
            for (const std::string& wire : ex.answers) {
                SimFrame f;
                if (SimDecodeFrame(wire, f) == SimParse::Ok && !f.data.empty()) got.push_back(BytesToHexList(f.data));
            }
        return got;
    }

    // The technician's road to the state page with the control code; on the way the door
    // state is read.
    void ToStatePage() {
        Ui().Click("Form1.Button001");
        Ui().Click("Form1.Button601");
        ASSERT_EQ(TPageMEN::Index, Page());
        if (Session().LinkState.NodeTable.Valid) Men().CheckEdit701->SetChecked(false);
        Entry(&TPageMEN::Button712, "1111", TPageSTG::Index);
    }
    // From here the clock moves only while the program sleeps.
    void ClockOnlyWhileIdle() {
        advance_.reset();
        idle_ = std::make_unique<IdleSteps>(Clock());
        lossText_.clear();
    }
    void ClockSteady() {
        idle_.reset();
        advance_ = std::make_unique<SteadyAdvance>(Clock());
    }
    const std::string& LossText() const { return lossText_; }

    // Every press runs from the menu with the device talking, falls silent, presses, and
    // checks the loss and what the device hears when it talks again.
    void RunPresses(const std::vector<Press>& presses) {
        ToMenu();
        for (const Press& p : presses) {
            SCOPED_TRACE(p.name);
            p.reach(*this);
            FallSilent();
            p.press(*this);
            ASSERT_TRUE(Ui().WaitFor([&] { return !lossText_.empty(); }, 10000));
            EXPECT_EQ(GetCompText(1650), lossText_);
            // The link gives the device up at the watch's first look after the limit,
            // counted from the last frame the device sent (or sooner: a request it did not
            // take), and closes.
            EXPECT_NE(0u, closeTick_);
            EXPECT_LE(closeTick_ - lastHeard_, TSercomLink::kSilenceLimitMs + 2 * TSercomLink::kWatchIntervalMs);
            EXPECT_EQ(0, Page());
            EXPECT_FALSE(Session().LinkState.PortOpen);
            EXPECT_TRUE(Session().Link().QueueItems().empty());
            EXPECT_EQ(0, Ui().PendingModalScripts());
            const std::vector<std::string> heard = Resume();
            ASSERT_FALSE(heard.empty());
            EXPECT_EQ("20,10", heard.front())
                << "the first request the device got after it woke: " << ::testing::PrintToString(heard);
        }
    }

protected:
    void TearDown() override {
        closing_.reset();
        idle_.reset();
        if (!advance_) advance_ = std::make_unique<SteadyAdvance>(Clock());
        ControlRoad::TearDown();
    }

private:
    std::unique_ptr<IdleSteps> idle_;
    std::string lossText_;
    uint64_t closeTick_ = 0;
    std::unique_ptr<InPortClose> closing_;
    uint64_t lastHeard_ = 0;
};

void Click(SilentDevice& t, TControl* control) {
    t.ExpectLoss();
    t.Ui().Click(control);
}

}  // namespace

TEST_F(SilentDevice, TheStatePageAndTheMenu) {
    const auto stg = [](SilentDevice& t) { t.Entry(&TPageMEN::Button712, "1111", TPageSTG::Index); };
    const auto menu = [](SilentDevice&) {};
    const auto command = [](TAppButton* TPageSTG::*button) {
        return [button](SilentDevice& t) { Click(t, (*Form1->Pages().STG).*button); };
    };
    const auto entry = [](TAppButton* TPageMEN::*button) {
        return [button](SilentDevice& t) { Click(t, t.Men().*button); };
    };
    RunPresses({
        {"Freigabe", stg, command(&TPageSTG::Button81)},
        {"Kurzzeit-Freigabe", stg, command(&TPageSTG::Button82)},
        {"Verriegeln", stg, command(&TPageSTG::Button83)},
        {"Quittieren", stg, command(&TPageSTG::Button84)},
        {"Reset", stg, command(&TPageSTG::Button85)},
        {"nothing pressed", stg, [](SilentDevice& t) { t.ExpectLoss(); }},
        {"Information", menu, entry(&TPageMEN::Button711)},
        {"Steuerung", menu, entry(&TPageMEN::Button712)},
        {"Installation", menu, entry(&TPageMEN::Button721)},
        {"Wartung", menu, entry(&TPageMEN::Button722)},
        {"System-Einstellungen", menu, entry(&TPageMEN::Button731)},
        {"Benutzerverwaltung", menu, entry(&TPageMEN::Button732)},
        {"Geräte-Einstellungen", menu, entry(&TPageMEN::Button741)},
    });
}

TEST_F(SilentDevice, TheSettingsPages) {
    const auto ein = [](SilentDevice& t) { t.Entry(&TPageMEN::Button731, "2222", TPageEIN::Index); };
    RunPresses({
        {"EIN OK", ein, [](SilentDevice& t) { Click(t, Form1->Pages().EIN->Button1001); }},
        {"EIN Erweitert", ein, [](SilentDevice& t) { Click(t, Form1->Pages().EIN->Button1003); }},
        {"EI2 OK",
         [ein](SilentDevice& t) {
             ein(t);
             t.Ui().Click(Form1->Pages().EIN->Button1003);
             ASSERT_EQ(TPageEI2::Index, t.Page());
         },
         [](SilentDevice& t) { Click(t, Form1->Pages().EI2->Button1011); }},
        {"EIG OK", [](SilentDevice& t) { t.Entry(&TPageMEN::Button741, "2222", TPageEIG::Index); },
         [](SilentDevice& t) { Click(t, Form1->Pages().EIG->Button1501); }},
        {"BEN code change", [](SilentDevice& t) { t.Entry(&TPageMEN::Button732, "3333", TPageBEN::Index); },
         [](SilentDevice& t) {
             t.Ui().OnNextModal([](TCustomForm*, UiDriver& u) {
                 Form5->MaskEdit1->SetText("1111");
                 Form5->MaskEdit2->SetText("4321");
                 Form5->MaskEdit3->SetText("4321");
                 u.Click(Form5->Button1);
             });
             Click(t, Form1->Pages().BEN->Button91);
         }},
    });
}

TEST_F(SilentDevice, TheTestPage) {
    TPageTST* tst = nullptr;
    // The test page opens the port itself, with no question to the device.
    const auto open = [&](SilentDevice& t) {
        if (Session().LinkState.PortOpen) Session().ClosePort();
        tst = Form1->Pages().TST.get();
        tst->Show();
        tst->Edit501->SetText(std::to_string(kPort));
        t.Ui().Click(tst->Button501);
        ASSERT_TRUE(Session().LinkState.PortOpen);
        ASSERT_TRUE(t.Ui().WaitFor([&] { return Session().Link().Heard(); }));
        tst->PageControl2->SetActivePage(tst->TabSheet3);
    };
    const auto edit = [&](SilentDevice& t, TAppEdit* e, const std::string& text, TAppButton* b) {
        e->SetText(text);
        Click(t, b);
    };
    RunPresses({
        {"1 Read", open, [&](SilentDevice& t) { Click(t, tst->Button503); }},
        {"2 Write", open, [&](SilentDevice& t) { Click(t, tst->Button504); }},
        {"3 Read", open, [&](SilentDevice& t) { Click(t, tst->Button505); }},
        {"4 Write", open, [&](SilentDevice& t) { Click(t, tst->Button506); }},
        // The read already ordered waits for the silent device; pressed again while the close
        // waits for it to leave, it is no order any more.
        {"1 Read while closing", open,
         [&](SilentDevice& t) {
             t.Ui().Click(tst->Button503);
             const auto again = OnceWhen([] { return Session().LinkState.LinkClosing; },
                                         [&] { tst->Button503Click(); });
             Click(t, tst->Button502);
         }},
        {"ReadAll", open, [&](SilentDevice& t) { Click(t, tst->Button507); }},
        {"WriteAll", open, [&](SilentDevice& t) { Click(t, tst->Button508); }},
        {"DB Send 1", open, [&](SilentDevice& t) { Click(t, tst->Button551); }},
        {"DB Send 2", open, [&](SilentDevice& t) { edit(t, tst->Edit552, "00 50 01", tst->Button552); }},
        {"DB Send 3", open, [&](SilentDevice& t) { edit(t, tst->Edit553, "FB 02 00 50 01", tst->Button553); }},
        {"VI Send", open,
         [&](SilentDevice& t) {
             tst->PageControl2->SetActivePage(tst->TabSheet4);
             Click(t, tst->Button511);
         }},
    });
}

TEST_F(SilentDevice, TheWizardSteps) {
    const auto step = [](int n) { return [n](SilentDevice& t) { t.ToWizardStep(n); }; };
    RunPresses({
        {"Start", step(1), [](SilentDevice& t) { Click(t, t.Ins().Button11011); }},
        {"Abbruch", step(2),
         [](SilentDevice& t) {
             t.Ins().Button11022->SetEnabled(true);
             t.Yes();
             Click(t, t.Ins().Button11022);
         }},
        {"unlock", step(5), [](SilentDevice& t) { Click(t, t.Ins().Button11051); }},
        {"delays and store",
         [step](SilentDevice& t) {
             step(6)(t);
             t.Ins().Edit11061->SetText("0");
             t.Ins().Edit11062->SetText("0");
         },
         [](SilentDevice& t) { Click(t, t.Ins().Button11061); }},
        {"button test", step(9), [](SilentDevice& t) { Click(t, t.Ins().Button11091); }},
        {"record code OK", step(12), [](SilentDevice& t) { Click(t, t.Ins().Button11121); }},
        {"Wartungstermin ändern", [](SilentDevice& t) { t.ToWar(); },
         [](SilentDevice& t) {
             t.Yes();
             Click(t, Form1->Pages().WAR->Button12001);
         }},
        {"counter reset",
         [](SilentDevice& t) {
             t.ToWar();
             t.Ui().Click(Form1->Pages().WAR->Button12002);
             ASSERT_EQ(TPageWAW::kCounterReset, Form1->Pages().WAW->Notebook21->PageIndex());
         },
         [](SilentDevice& t) { Click(t, Form1->Pages().WAW->Button120A1); }},
        {"maintenance end",
         [](SilentDevice& t) {
             t.ToWar();
             t.Ui().Click(Form1->Pages().WAR->Button12002);
             Form1->Pages().WAW->Notebook21->SetPageIndex(9);
         },
         [](SilentDevice& t) { Click(t, Form1->Pages().WAW->Button12091); }},
    });
}

// The simulator program itself, stopped as a hung device stops (SIGSTOP) while the state page
// is shown: "Freigabe" is the lost device, traced as taken back (withdrawn, or dropped with
// the link), and when the process goes on the door is still locked: the release never
// reached it.
TEST_F(SilentDevice, AStoppedSimulatorProcessNeverGetsTheReleaseItMissed) {
    const std::string port = std::to_string(kPort), ports = dir_ + "/ports";
    SimProcess sim(std::string(TOVAK_BUILD_DIR) + "/sim/tovak-sim",
                   {"--port", port, "--ports-dir", ports, "--poll", "10"}, dir_ + "/sim.txt");
    ASSERT_TRUE(sim.Started());
    ASSERT_TRUE(sim.LineReady(ports + "/COM" + port));

    WriteFile("TOVAK.INI", "[MAIN]\r\nCSM=0\r\nCOC=" + port + "\r\nPRTSHOW=1\r\n");
    Start();
    ToStatePage();
    TPageSTG& stg = *Form1->Pages().STG;
    EXPECT_EQ("Verriegelt", stg.Label81->Caption());

    sim.Stop();
    ASSERT_TRUE(PumpUntil([&] { return sim.IsStopped(); }));
    Ui().WaitFor([] { return false; }, 100);  // what it sent before has been handled
    ClockOnlyWhileIdle();
    ExpectLoss();
    Ui().Click(stg.Button81);
    ASSERT_TRUE(Ui().WaitFor([&] { return !LossText().empty(); }, 10000));
    EXPECT_EQ(GetCompText(1650), LossText());
    EXPECT_EQ(0, Page());
    EXPECT_EQ("", stg.Label81->Caption());
    const TStrings* trace = FormSercom->ListBox1->Items();
    bool withdrawn = false;
    for (int k = 0; k < trace->Count(); ++k)
        for (const char* back : {"withdrawn: 00,00,FB,02,00,50,01", "dropped: 00,00,FB,02,00,50,01"})
            withdrawn = withdrawn || trace->Strings(k).find(back) != std::string::npos;
    EXPECT_TRUE(withdrawn);

    sim.Continue();
    ClockSteady();
    ASSERT_TRUE(PumpUntil([&] { return !sim.IsStopped(); }));
    ToStatePage();
    EXPECT_EQ("Verriegelt", stg.Label81->Caption());
}

// A loss that the type query finds is logged as every other loss is: the menu's
// "Information" asks the device type first, of a device that stopped on the open link: the
// link closes, the start page shows the lost device, and the log has its LOST line. One that
// has said nothing since the link opened (it stopped before) is no device on this link: the
// box says so, the menu and the link stay, and the log says why.
TEST_F(SilentDevice, ALossFoundByTheTypeQueryWritesItsLostLine) {
    ToMenu();
    const auto count = [this](const std::string& tag) {
        const std::string log = ReadFile(LogFileName("TOVAK-COM-"));
        const std::string what = " " + tag + std::string(11 - tag.size(), ' ');
        size_t n = 0;
        for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
        return n;
    };
    for (const bool heard : {true, false}) {
        SCOPED_TRACE(heard ? "stopped on the open link" : "stopped before the link opened");
        if (heard) {
            ASSERT_TRUE(Ui().WaitFor([] { return Session().Link().Heard(); }));
            FallSilent();
        } else {
            Ui().Click("Form1.Button001");
            Ui().Click("Form1.Button601");
            ASSERT_EQ(TPageMEN::Index, Page());
            ASSERT_FALSE(Session().Link().Heard());
        }
        const size_t lost = count("LOST"), none = count("NODEVICE");
        Click(*this, Men().Button711);
        ASSERT_TRUE(Ui().WaitFor([&] { return !LossText().empty(); }, 10000));
        EXPECT_EQ(GetCompText(1650), LossText());
        EXPECT_EQ(!heard, Session().LinkState.PortOpen);
        EXPECT_EQ(heard ? 0 : TPageMEN::Index, Page());
        EXPECT_EQ(lost + (heard ? 1 : 0), count("LOST"));
        EXPECT_EQ(none + (heard ? 0 : 1), count("NODEVICE"));
        const std::string log = ReadFile(LogFileName("TOVAK-COM-"));
        EXPECT_NE(std::string::npos, log.find(heard ? " LOST       device silent: no answer to the type query"
                                                    : " NODEVICE   no answer to the type query"));
        ClockOnlyWhileIdle();
    }
}
