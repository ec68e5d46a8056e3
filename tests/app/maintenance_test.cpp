// The maintenance date and the maintenance wizard, against the simulated door terminal.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>

#include "app/common/comp_text.h"
#include "app/common/main_settings.h"
#include "app/config/maintenance_date.h"
#include "app/pages/control/page_men.h"
#include "app/pages/control/page_stg.h"
#include "app/pages/control/page_war.h"
#include "app/pages/control/page_waw.h"
#include "controls/vx_calendar.h"
#include "platform/win/exception_report.h"
#include "program/program_context.h"
#include "tests/app/control_road_support.h"
#include "tests/support/test_pictures.h"

namespace {

using namespace control_road;

constexpr TColor kWhite = 0xFFFFFF, kSilver = 0xC0C0C0, kRed = 0x0000FF, kGreen = 0x00FF00;

std::vector<std::string> HexRequests(const std::vector<std::string>& requests) {
    std::vector<std::string> out;
    for (const std::string& r : requests) out.push_back(BytesToHexList(r));
    return out;
}

TEST(MaintenanceDate, TextAndRequests) {
    TDateTime d = 0;
    ASSERT_TRUE(MaintenanceDateFromText("09.03.2022", d));
    EXPECT_EQ(EncodeDate(2022, 3, 9), d);
    for (const char* bad : {"31.02.2022", "", "00.00.0000", "9.3.2022", "xx.03.2022"})
        EXPECT_FALSE(MaintenanceDateFromText(bad, d)) << bad;
    EXPECT_EQ((std::vector<std::string>{"FB,02,02,44,01,00,01", "FB,02,02,44,02,00,02", "FB,02,02,44,03,07,EB",
                                        "FB,02,00,11,00"}),
              HexRequests(MaintenanceDateRequests(EncodeDate(2027, 2, 1))));
    EXPECT_EQ("FB,02,02,44,01,00,1F", HexRequests(MaintenanceDateRequests(EncodeDate(1999, 12, 31)))[0]);
}

TEST(MaintenanceDate, BoxCountFromTheDeviceList) {
    TNodeTable t;
    auto box = [&](int n, bool own, int code) {
        t.Nodes[n].Present = 1;
        t.Nodes[n].SameNode = own ? 1 : 0;
        t.Nodes[n].ProdCode = code;
    };
    box(1, true, 0x309);
    box(2, true, 6);
    box(3, false, 6);  // another node's box
    box(4, true, 6);
    box(5, true, 6);  // beyond NodeCount
    t.NodeCount = 4;
    EXPECT_EQ(0, MaintenanceBoxCount(t));  // not read
    t.Valid = true;
    EXPECT_EQ(2, MaintenanceBoxCount(t));
    for (int n = 1; n <= 32; ++n) box(n, true, 6);
    t.NodeCount = 200;
    EXPECT_EQ(8, MaintenanceBoxCount(t));
}

void TypeCode(UiDriver& ui, const std::string& code) {
    ui.OnNextModal([code](TCustomForm*, UiDriver& u) {
        u.Type(code);
        u.Enter();
    });
}

// Answers the next message box with its first button ("Ja"), keeping its text.
void AnswerYes(UiDriver& ui, std::string& text) {
    ui.OnNextModal([&text](TCustomForm* form, UiDriver& u) {
        auto* box = dynamic_cast<TFormCustMsg*>(form);
        ASSERT_NE(nullptr, box);
        text = box->Label1->Caption();
        u.Click(box->Button1);
    });
}

// A door terminal with three boxes of its own and one of another node on the bus.
DoorState ThreeBoxes() {
    DoorState s = DoorState::DoorTerminal();
    SimNode box;
    box.prod_code = 6;
    s.nodes.resize(1);
    for (uint8_t entry = 2; entry <= 5; ++entry) {
        box.host = entry == 4 ? 0x50 : static_cast<uint8_t>(0x40 + entry);
        s.nodes.push_back(box);
    }
    return s;
}

class Maintenance : public ControlRoad {
protected:
    TPageWAR& War() { return *Form1->Pages().WAR; }
    TPageWAW& Waw() { return *Form1->Pages().WAW; }
    int WizardPage() { return Waw().Notebook21->PageIndex(); }
    std::vector<std::string> RequestsFrom(size_t from) {
        std::vector<std::string> all = Requests();
        return std::vector<std::string>(all.begin() + static_cast<long>(std::min(from, all.size())), all.end());
    }
    // The menu's "Wartung" with the install code.
    void ToWar(DoorState state = DoorState::DoorTerminal()) {
        ToMenu(std::move(state));
        TypeCode(Ui(), "3333");
        Ui().Click(Form1->Pages().MEN->Button722);
        ASSERT_EQ(TPageWAR::Index, Form1->Notebook1->PageIndex());
    }
    // Waits (real time) until the program has sent `count` requests.
    bool WaitForRequests(size_t count) {
        for (int round = 0; round < 500; ++round) {
            if (Requests().size() >= count) return true;
            sim_->WaitForExchanges(sim_->ExchangeCount() + 1, 20);
        }
        return false;
    }
    // Lets the device poll a few times, so a request the program queued has gone out.
    void LetDevicePoll() {
        const size_t target = sim_->ExchangeCount() + 3;
        EXPECT_TRUE(Ui().WaitFor([&] { return sim_->ExchangeCount() >= target; }));
    }
    // The same from a thread of the test's own while the window thread pumps, and until the
    // program has heard the device at the clock's time: moving the clock on then does not
    // make the device look silent, however late the program is.
    void LetDevicePollAndBeHeard() {
        sim_->WaitForExchanges(sim_->ExchangeCount() + 3, 2000);
        for (int round = 0; round < 500; ++round) {
            bool heard = false;
            Synchronize([&] { heard = Session().Link().LastHeard() >= Clock().Ticks(); });
            if (heard) return;
            sim_->WaitForExchanges(sim_->ExchangeCount() + 1, 20);
        }
    }
};

// The program's pauses run on the manual clock, moved by the test.
class MaintenanceOnManualClock : public Maintenance {
protected:
    void SetUp() override { AppStart::SetUp(); }
    void TearDown() override {
        {
            SteadyAdvance advance(Clock(), 20);
            if (FormSercom && Session().LinkState.PortOpen) Session().ClosePort();
        }
        ControlRoad::TearDown();
    }
};

TEST_F(MaintenanceOnManualClock, DateGoesOutAsFourRequestsHalfASecondApartAndReadsBack) {
    DoorState state = DoorState::DoorTerminal();
    state.maint_day = 9;
    state.maint_month = 3;
    state.maint_year = 2022;
    {
        SteadyAdvance advance(Clock());
        ToWar(state);
    }
    EXPECT_EQ(EncodeDate(2022, 3, 9), War().DateEdit12001->Date());
    EXPECT_EQ(EncodeDate(2022, 3, 9), Waw().DateEdit12091->Date());
    EXPECT_EQ("09.03.2022", Form1->Pages().STG->Label800->Caption());

    War().DateEdit12001->SetDate(EncodeDate(2027, 2, 1));
    const size_t before = Requests().size();
    std::string question, note;
    AnswerYes(Ui(), question);
    AnswerBox(note);
    // With the clock standing, each request must be alone on the wire until 500 ms passed.
    std::vector<bool> alone;
    std::atomic<bool> stepped{false};
    std::thread stepper([&] {
        for (size_t k = 0; k < 4; ++k) {
            if (!WaitForRequests(before + k + 1)) break;
            LetDevicePollAndBeHeard();
            Clock().Advance(499);
            LetDevicePollAndBeHeard();
            alone.push_back(Requests().size() == before + k + 1);
            Clock().Advance(1);
        }
        // Never leave the program waiting; the device polls between the steps, as it would
        // in half a second.
        for (int i = 0; i < 10; ++i) {
            LetDevicePollAndBeHeard();
            Clock().Advance(500);
        }
        stepped = true;
    });
    Ui().Click(War().Button12001);
    EXPECT_TRUE(Ui().WaitFor([&] { return stepped.load(); }, 60000));  // the stepper asks the window thread
    stepper.join();
    EXPECT_EQ("Wartungstermin auf 01.02.2027 ändern?", question);
    EXPECT_EQ(GetCompText(1215), note);
    EXPECT_EQ(std::vector<bool>(4, true), alone);
    EXPECT_EQ((std::vector<std::string>{"FB,02,02,44,01,00,01", "FB,02,02,44,02,00,02", "FB,02,02,44,03,07,EB",
                                        "FB,02,00,11,00"}),
              RequestsFrom(before));
    EXPECT_EQ(EncodeDate(2027, 2, 1), Waw().DateEdit12091->Date());
    EXPECT_TRUE(War().Button12001->Enabled());
    EXPECT_TRUE(War().Button12002->Enabled());

    // The device kept it: the next "Wartung" reads it back into both editors.
    SteadyAdvance advance(Clock());
    Ui().Click(War().Button12000);
    ASSERT_EQ(TPageMEN::Index, Form1->Notebook1->PageIndex());
    War().DateEdit12001->SetDate(NullDate);
    TypeCode(Ui(), "3333");
    Ui().Click(Form1->Pages().MEN->Button722);
    EXPECT_EQ(EncodeDate(2027, 2, 1), War().DateEdit12001->Date());
    EXPECT_EQ("01.02.2027", Form1->Pages().STG->Label800->Caption());
}

TEST_F(Maintenance, AMissingOrInvalidDateSendsNothing) {
    DoorState state = DoorState::DoorTerminal();
    state.maint_month = 13;  // no date: both editors empty, the page still opens
    ToWar(state);
    EXPECT_EQ(NullDate, War().DateEdit12001->Date());
    EXPECT_EQ(NullDate, Waw().DateEdit12091->Date());
    const size_t before = Requests().size();

    std::string text;
    AnswerBox(text);
    Ui().Click(War().Button12001);
    EXPECT_EQ("Kein gültiger Wartungstermin eingegeben!", text);
    EXPECT_TRUE(War().DateEdit12001->Focused());
    EXPECT_EQ(0, Ui().PendingModalScripts());  // no question followed

    // A typed text that is no date is refused when the field is left, by Tab or by a click
    // on the button, and stays for correcting: nothing goes out.
    War().DateEdit12001->SetFocus();
    Ui().Type("31.02.2027");
    // (The program shows what the field raises in an error box; here it is collected.)
    std::vector<std::string> refused;
    const ExceptionReporter previous = SetExceptionReporter([&refused](const std::exception& e) {
        auto* ex = dynamic_cast<const Exception*>(&e);
        refused.push_back(ex ? ex->Message() : e.what());
    });
    for (bool byClick : {false, true}) {
        refused.clear();
        if (byClick)
            Ui().Click(War().Button12001);
        else
            Ui().Tab();
        EXPECT_EQ(std::vector<std::string>{"\"31.02.2027\" ist kein gültiges Datum!"}, refused) << byClick;
        EXPECT_TRUE(War().DateEdit12001->Focused());
        EXPECT_EQ("31.02.2027", War().DateEdit12001->Text());
        EXPECT_EQ(0, Ui().PendingModalScripts()) << "the button's own check never ran";
    }
    SetExceptionReporter(previous);
    // The same text reached through the button's own check (the field still focused).
    text.clear();
    AnswerBox(text);
    War().Button12001Click();
    EXPECT_EQ("\"31.02.2027\" ist kein gültiges Datum!", text);
    EXPECT_EQ("31.02.2027", War().DateEdit12001->Text());
    War().DateEdit12001->SetText("");

    // The wizard's last page likewise stays.
    Program().CmrRm = false;
    Ui().Click(War().Button12002);
    for (int page = 1; page <= 8; ++page) Ui().Click(Waw().WeiterButtons[page]);
    ASSERT_EQ(9, WizardPage());
    text.clear();
    AnswerBox(text);
    Ui().Click(Waw().Button12091);
    EXPECT_EQ("Kein gültiger Wartungstermin eingegeben!", text);
    EXPECT_EQ(TPageWAW::Index, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(Waw().DateEdit12091->Focused());
    EXPECT_TRUE(Waw().Button12091->Enabled());
    LetDevicePoll();
    EXPECT_EQ(std::vector<std::string>{}, RequestsFrom(before));
}

TEST_F(Maintenance, EscDuringTheWriteStopsItWithoutSayingTheDateChanged) {
    ToWar();
    const TDateTime old = Waw().DateEdit12091->Date();
    War().DateEdit12001->SetDate(EncodeDate(2027, 2, 1));
    const size_t before = Requests().size();
    TTimer watch(nullptr);
    watch.SetInterval(5);
    watch.OnTimer = [&](TObject*) {
        if (Requests().size() <= before) return;
        watch.SetEnabled(false);
        Ui().Escape();
    };
    watch.SetEnabled(true);
    std::string question, note;
    AnswerYes(Ui(), question);
    AnswerBox(note);
    Ui().Click(War().Button12001);
    EXPECT_EQ("", note);
    EXPECT_EQ(1, Ui().PendingModalScripts());  // the note never came
    EXPECT_FALSE(Session().LinkState.PortOpen);
    EXPECT_EQ(0, Form1->Notebook1->PageIndex());
    EXPECT_EQ(old, Waw().DateEdit12091->Date());
    for (const std::string& r : Requests()) EXPECT_NE("FB,02,00,11,00", r);
}

TEST_F(Maintenance, WithoutCounterResetNineStepsWithTheDoorCommandsEndingWithTheDate) {
    ToWar();
    Program().CmrRm = false;
    Ui().Click(War().Button12002);
    ASSERT_EQ(TPageWAW::Index, Form1->Notebook1->PageIndex());
    EXPECT_EQ(1, WizardPage());
    EXPECT_EQ("1 / 9", Waw().Label190->Caption());
    // The checks of pages 01, 02 and 05 offer the door commands of the state page.
    const std::map<int, std::vector<TAppButton*>> commands = {{1, {Waw().vxButton2, Waw().vxButton3}},
                                                              {2, {Waw().vxButton4, Waw().vxButton5}},
                                                              {5, {Waw().vxButton6, Waw().vxButton7, Waw().vxButton8}}};
    const size_t first = Requests().size();
    for (int page = 1; page <= 8; ++page) {
        EXPECT_EQ(std::to_string(page) + " / 9", Waw().Label190->Caption());
        if (commands.count(page))
            for (TAppButton* b : commands.at(page)) {
                const size_t sent = Requests().size();
                Ui().Click(b);
                ASSERT_TRUE(Ui().WaitFor([&] { return Requests().size() > sent; }));
            }
        Ui().Click(Waw().WeiterButtons[page]);
    }
    EXPECT_EQ((std::vector<std::string>{"FB,02,00,50,01", "FB,02,00,50,02", "FB,02,00,50,01", "FB,02,00,50,02",
                                        "FB,02,00,50,03", "FB,02,00,50,04", "FB,02,00,50,02"}),
              RequestsFrom(first));
    EXPECT_EQ(9, WizardPage());
    EXPECT_EQ("9 / 9", Waw().Label190->Caption());

    // "&Ende" writes without asking and returns to WAR with the date in both editors.
    Waw().DateEdit12091->SetDate(EncodeDate(2027, 2, 1));
    const size_t before = Requests().size();
    Ui().Click(Waw().Button12091);
    EXPECT_EQ(TPageWAR::Index, Form1->Notebook1->PageIndex());
    EXPECT_EQ(EncodeDate(2027, 2, 1), War().DateEdit12001->Date());
    EXPECT_TRUE(Waw().Button12091->Enabled());
    EXPECT_TRUE(Sent("FB,02,00,11,00"));
    EXPECT_EQ((std::vector<std::string>{"FB,02,02,44,01,00,01", "FB,02,02,44,02,00,02", "FB,02,02,44,03,07,EB",
                                        "FB,02,00,11,00"}),
              RequestsFrom(before));
    EXPECT_EQ(0, Ui().PendingModalScripts());
}

TEST_F(Maintenance, CounterResetShowsTheBoxesAndTheirCounters) {
    DoorState state = ThreeBoxes();
    state.counters = {0, 0, 5, 0, 0, 0, 2, 0, 0};  // box 2: 5, box 6 (not there): 2
    ToWar(state);
    ASSERT_TRUE(Session().LinkState.NodeTable.Valid);
    Ui().Click(War().Button12002);
    EXPECT_EQ(TPageWAW::kCounterReset, WizardPage());
    EXPECT_EQ("1 / 11", Waw().Label190->Caption());
    const size_t before = Requests().size();
    Ui().Click(Waw().Button120A1);
    ASSERT_EQ(TPageWAW::kCounterState, WizardPage());
    EXPECT_EQ("2 / 11", Waw().Label190->Caption());
    EXPECT_EQ((std::vector<std::string>{"FB,02,00,50,01", "FB,02,00,53"}), RequestsFrom(before));
    const TColor colours[9] = {0, kGreen, kRed, kGreen, kSilver, kSilver, kRed, kSilver, kSilver};
    const char* labels[9] = {"", "", "5", "", "--", "--", "2", "--", "--"};
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(colours[n], Waw().StateShape(n)->Brush()->Color()) << n;
        EXPECT_EQ(labels[n], Waw().StateLabel(n)->Caption()) << n;
    }
    EXPECT_EQ(nullptr, Waw().StateShape(9));
    EXPECT_TRUE(Waw().Button120B1->Enabled());
    EXPECT_FALSE(Waw().Button120B3->Enabled());

    Ui().Click(Waw().Button120B1);
    EXPECT_EQ(1, WizardPage());
    EXPECT_EQ("3 / 11", Waw().Label190->Caption());
    for (int page = 1; page <= 8; ++page) Ui().Click(Waw().WeiterButtons[page]);
    EXPECT_EQ(9, WizardPage());
    EXPECT_EQ("11 / 11", Waw().Label190->Caption());

    // With no box in the list every lamp stays white until the record; then all turn green.
    Session().LinkState.NodeTable.NodeCount = 1;
    sim_->Device().Update([](DoorState& s) { s.counters = {}; });
    War().Show();
    Ui().Click(War().Button12002);
    Ui().Click(Waw().Button120A1);
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(kGreen, Waw().StateShape(n)->Brush()->Color()) << n;
        EXPECT_EQ("", Waw().StateLabel(n)->Caption()) << n;
    }
}

TEST_F(Maintenance, AMissingCounterRecordKeepsWaitingUntilTheUserGoesBack) {
    DoorState state = DoorState::DoorTerminal();
    state.silent_records.insert(0x53);
    ToWar(state);
    Ui().Click(War().Button12002);
    TTimer back(nullptr);
    back.SetInterval(5);
    bool wasWaiting = false;
    back.OnTimer = [&](TObject*) {
        if (!Session().Link().Awaiting(AwaitEmergencyCounters) || WizardPage() != TPageWAW::kCounterState) return;
        back.SetEnabled(false);
        // One box in the list: its lamp white, the others "--" in silver.
        wasWaiting = Waw().StateShape(1)->Brush()->Color() == kWhite &&
                     Waw().StateShape(2)->Brush()->Color() == kSilver && Waw().StateLabel(2)->Caption() == "--" &&
                     !Waw().Button120B1->Enabled() && Waw().Button120B3->Enabled();
        Ui().Click(Waw().Button120B3);
    };
    back.SetEnabled(true);
    Ui().Click(Waw().Button120A1);
    EXPECT_TRUE(wasWaiting);
    EXPECT_EQ(TPageWAW::kCounterReset, WizardPage());
    EXPECT_EQ("1 / 11", Waw().Label190->Caption());
}

TEST_F(Maintenance, ClosingTheWindowDuringTheCounterWaitLetsTheProgramEnd) {
    DoorState state = DoorState::DoorTerminal();
    state.silent_records.insert(0x53);
    ToWar(state);
    Ui().Click(War().Button12002);
    TTimer close(nullptr), rescue(nullptr);
    close.SetInterval(5);
    close.OnTimer = [&](TObject*) {
        if (!Session().Link().Awaiting(AwaitEmergencyCounters)) return;
        close.SetEnabled(false);
        Form1->Close();
        rescue.SetEnabled(true);
    };
    // A wait that outlives the window is left by hand, so the test can tell.
    bool rescued = false;
    rescue.SetInterval(3000);
    rescue.SetEnabled(false);
    rescue.OnTimer = [&](TObject*) {
        rescue.SetEnabled(false);
        rescued = true;
        Form1->Notebook1->SetPageIndex(TPageMEN::Index);
    };
    close.SetEnabled(true);
    Ui().Click(Waw().Button120A1);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(rescued);
}

// A pulled adapter during the counter wait or the date write: an error box and the start
// page, where the port is chosen again; never "Wartungstermin wurde geändert!".
TEST_F(Maintenance, APulledAdapterLeavesForTheStartPageWithAnError) {
    DoorState state = DoorState::DoorTerminal();
    state.silent_records.insert(0x53);
    ToWar(state);
    std::string text;
    AnswerBox(text);
    TTimer pull(nullptr);
    pull.SetInterval(5);
    pull.OnTimer = [&](TObject*) {
        if (!Session().Link().Awaiting(AwaitEmergencyCounters)) return;
        pull.SetEnabled(false);
        sim_.reset();
    };
    pull.SetEnabled(true);
    Ui().Click(War().Button12002);
    Ui().Click(Waw().Button120A1);
    EXPECT_EQ(GetCompText(1650), text);
    EXPECT_EQ(0, Form1->Notebook1->PageIndex());
    EXPECT_EQ(1, WizardPage());

    // The date write on a link that is gone.
    War().Show();
    War().DateEdit12001->SetDate(EncodeDate(2027, 2, 1));
    text.clear();
    Ui().OnNextModal([&](TCustomForm* form, UiDriver& u) {
        u.Click(static_cast<TFormCustMsg*>(form)->Button1);  // "Ja"
        AnswerBox(text);
    });
    Ui().Click(War().Button12001);
    EXPECT_EQ(GetCompText(1650), text);
    EXPECT_EQ(0, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(War().Button12001->Enabled());
}

TEST_F(Maintenance, ClosingTheWindowDuringTheDateWriteShowsNoBox) {
    ToWar();
    War().DateEdit12001->SetDate(EncodeDate(2027, 2, 1));
    std::string text;
    Ui().OnNextModal([&](TCustomForm* form, UiDriver& u) {
        u.Click(static_cast<TFormCustMsg*>(form)->Button1);  // "Ja"
        AnswerBox(text);
    });
    TTimer close(nullptr);
    close.SetInterval(5);
    close.OnTimer = [&](TObject*) {
        const std::vector<std::string> sent = Requests();
        if (std::find(sent.begin(), sent.end(), "FB,02,02,44,01,00,01") == sent.end()) return;
        close.SetEnabled(false);
        Form1->Close();
    };
    close.SetEnabled(true);
    Ui().Click(War().Button12001);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ("", text);
}

TEST_F(MaintenanceOnManualClock, AMissingCounterRecordOffersToGiveUpAfterTwoMinutes) {
    DoorState state = DoorState::DoorTerminal();
    state.silent_records.insert(0x53);
    SteadyAdvance advance(Clock());
    ToWar(state);
    Form1->Pages().MEN->Button711->SetEnabled(false);
    Ui().Click(War().Button12002);
    TTimer watch(nullptr);
    watch.SetInterval(5);
    std::unique_ptr<SteadyAdvance> fast;
    watch.OnTimer = [&](TObject*) {
        if (!Session().Link().Awaiting(AwaitEmergencyCounters)) return;
        watch.SetEnabled(false);
        fast = std::make_unique<SteadyAdvance>(Clock(), 200);
    };
    watch.SetEnabled(true);
    std::string text;
    AnswerYes(Ui(), text);
    Ui().Click(Waw().Button120A1);
    fast.reset();
    EXPECT_EQ(GetCompTextLines(1199), text);
    EXPECT_EQ(TPageMEN::Index, Form1->Notebook1->PageIndex());
    EXPECT_EQ(1, WizardPage());
    EXPECT_TRUE(Form1->Pages().MEN->Button711->Enabled());
}

TEST_F(Maintenance, DoorCommandsOfThePagesGoOutAsThoseOfTheStatePage) {
    ToWar();
    Program().CmrRm = false;
    Ui().Click(War().Button12002);
    const size_t before = Requests().size();
    TPageWAW& w = Waw();
    Ui().Click(w.vxButton2);
    Ui().Click(w.vxButton3);
    Ui().Click(w.WeiterButtons[1]);
    Ui().Click(w.vxButton4);
    Ui().Click(w.vxButton5);
    for (int page = 2; page <= 4; ++page) Ui().Click(w.WeiterButtons[page]);
    Ui().Click(w.vxButton6);
    Ui().Click(w.vxButton7);
    Ui().Click(w.vxButton8);
    EXPECT_TRUE(Sent("FB,02,00,50,02") && Ui().WaitFor([&] { return RequestsFrom(before).size() >= 7; }));
    EXPECT_EQ((std::vector<std::string>{"FB,02,00,50,01", "FB,02,00,50,02", "FB,02,00,50,01", "FB,02,00,50,02",
                                        "FB,02,00,50,03", "FB,02,00,50,04", "FB,02,00,50,02"}),
              RequestsFrom(before));
}

TEST_F(Maintenance, AbbruchAsksAndLeavesForTheMenuFromEveryPage) {
    ToWar();
    for (int page : {1, 5, 9, TPageWAW::kCounterReset}) {
        Ui().Click(War().Button12002);
        Waw().Notebook21->SetPageIndex(page);
        Ui().AnswerNextModalWith("Nein");
        Ui().Click(Waw().AbbruchButtons[page]);
        EXPECT_EQ(TPageWAW::Index, Form1->Notebook1->PageIndex());
        EXPECT_EQ(page, WizardPage());
        std::string text;
        AnswerYes(Ui(), text);
        Ui().Click(Waw().AbbruchButtons[page]);
        EXPECT_EQ(GetCompText(1211), text);
        EXPECT_EQ(TPageMEN::Index, Form1->Notebook1->PageIndex());
        EXPECT_EQ(1, WizardPage());
        EXPECT_TRUE(Form1->Pages().MEN->Button722->Enabled());
        Form1->Pages().WAR->Show();
    }
    // An installation step the device still runs is ended on the way out.
    Form1->Pages().InstallActive = true;
    Ui().Click(War().Button12002);
    std::string text;
    AnswerYes(Ui(), text);
    Ui().Click(Waw().AbbruchButtons[TPageWAW::kCounterReset]);
    EXPECT_TRUE(Sent("FB,02,00,50,17"));
    EXPECT_FALSE(Form1->Pages().InstallActive);
    Form1->Pages().WAR->Show();

    // "Zurück" of WAR and of the wizard's empty page lead to the menu too.
    Form1->Pages().MEN->EnableEntries(false);
    Ui().Click(War().Button12000);
    EXPECT_EQ(TPageMEN::Index, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(Form1->Pages().MEN->Button711->Enabled());
    Waw().Show();
    Waw().Notebook21->SetPageIndex(0);
    Ui().Click(Waw().vxButton1);
    EXPECT_EQ(TPageMEN::Index, Form1->Notebook1->PageIndex());
}

TEST_F(AppStart, MaintenancePagePictures) {
    const std::string out = TestPicturesFolder();
    Start();
    TMainPages& pages = Form1->Pages();
    pages.ShowMaintenanceDate(EncodeDate(2027, 2, 1));
    pages.WAR->Show();
    EXPECT_TRUE(Ui().SaveForm(Form1, out + "/war.png"));
    TPageWAW& w = *pages.WAW;
    w.StartWizard();
    const TColor colours[9] = {0, kGreen, kRed, kGreen, kSilver, kSilver, kRed, kSilver, kSilver};
    const char* labels[9] = {"", "", "5", "", "--", "--", "12", "--", "--"};
    for (int n = 1; n <= 8; ++n) {
        w.StateShape(n)->Brush()->SetColor(colours[n]);
        w.StateLabel(n)->SetCaption(labels[n]);
    }
    for (int page = 0; page < w.Notebook21->PageCount(); ++page) {
        w.Notebook21->SetPageIndex(page);
        w.Label190->SetCaption(std::to_string(page) + " / 11");
        EXPECT_TRUE(
            Ui().SaveForm(Form1, out + "/waw-" + w.Notebook21->PageNames()[static_cast<size_t>(page)] + ".png"));
    }
}

}  // namespace
