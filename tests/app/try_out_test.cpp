// The wizards walked to their end against the door terminal tovak-sim plays by default, with
// the access code and the hand actions its help names: what a new user without hardware meets.

#include <gtest/gtest.h>

#include "app/pages/control/page_ins.h"
#include "app/pages/control/page_men.h"
#include "app/pages/control/page_stg.h"
#include "app/pages/control/page_war.h"
#include "app/pages/control/page_waw.h"
#include "tests/app/control_road_support.h"

namespace {

using namespace control_road;

constexpr TColor kGreen = 0x00FF00;
constexpr TColor kRed = 0x0000FF;
constexpr TColor kSilver = 0xC0C0C0;

class TryOut : public ControlRoad {
protected:
    // The control road's menu entry `entry` with the install code.
    void Enter(TAppButton* (*entry)(TPageMEN&)) {
        ToMenu(DoorState::TryOutTerminal());
        Ui().OnNextModal([](TCustomForm*, UiDriver& u) {
            u.Type("3333");
            u.Enter();
        });
        Ui().Click(entry(*Form1->Pages().MEN));
    }
};

TEST_F(TryOut, TheInstallationRunsToItsEnd) {
    Enter([](TPageMEN& m) { return m.Button721; });
    TPageINS& ins = *Form1->Pages().INS;
    auto step = [&] { return ins.Notebook11->PageIndex(); };
    ASSERT_EQ(TPageINS::Index, Form1->Notebook1->PageIndex());
    Ui().Click(ins.Button11011);
    ASSERT_EQ(2, step());
    ASSERT_TRUE(ins.Button11021->Enabled());
    Ui().Click(ins.Button11021);
    ASSERT_EQ(3, step());
    ASSERT_TRUE(ins.Button11031->Enabled()) << ins.Label11032->Caption();

    // The door opened by hand holds page 04 until it is closed again.
    sim_->Device().OpenOrCloseDoor();
    ASSERT_TRUE(Ui().WaitFor([] { return (Session().LinkState.DoorSystem.DoorState & 0x01) != 0; }));
    watch_ = OnceWhen([&] { return step() == 4 && !ins.Button11041->Enabled(); },
                      [this] { sim_->Device().OpenOrCloseDoor(); });
    Ui().Click(ins.Button11031);
    ASSERT_EQ(4, step());
    ASSERT_TRUE(ins.Button11041->Enabled());
    Ui().Click(ins.Button11041);
    ASSERT_EQ(5, step());

    Ui().Click(ins.Button11051);
    ASSERT_EQ(6, step());
    EXPECT_TRUE(ins.Edit11061->Enabled());
    ins.Edit11061->SetText("10");
    Ui().Click(ins.Button11061);
    ASSERT_EQ(8, step());
    EXPECT_EQ("10", ins.Label11081->Caption());

    // The button test waits for the emergency buttons, pressed by hand.
    watch_ = OnceWhen([&] { return step() == 10 && !ins.Button11101->Enabled(); },
                      [this] { sim_->Device().PressOrReleaseEmergencyButtons(); });
    Ui().Click(ins.Button11081);
    ASSERT_EQ(10, step());
    ASSERT_TRUE(ins.Button11101->Enabled());
    EXPECT_EQ("XX", ins.Label11111->Caption()) << "both KZN boxes saw the buttons too";
    Ui().Click(ins.Button11101);
    Ui().Click(ins.CheckEdit11111);
    Ui().Click(ins.Button11111);
    ASSERT_EQ(12, step());
    EXPECT_FALSE(ins.Label11121->Caption().empty());
    Ui().Click(ins.Button11121);
    Ui().Click(ins.Button11131);
    EXPECT_EQ(TPageSTG::Index, Form1->Notebook1->PageIndex());
    EXPECT_EQ(10, sim_->Device().State().slots[1].params[6]);
}

TEST_F(TryOut, TheMaintenanceRunsToItsEnd) {
    Enter([](TPageMEN& m) { return m.Button722; });
    TPageWAR& war = *Form1->Pages().WAR;
    TPageWAW& waw = *Form1->Pages().WAW;
    ASSERT_EQ(TPageWAR::Index, Form1->Notebook1->PageIndex());
    EXPECT_EQ(EncodeDate(2027, 3, 1), war.DateEdit12001->Date());

    Ui().Click(war.Button12002);
    ASSERT_EQ(TPageWAW::kCounterReset, waw.Notebook21->PageIndex());
    Ui().Click(waw.Button120A1);
    ASSERT_EQ(TPageWAW::kCounterState, waw.Notebook21->PageIndex());
    ASSERT_TRUE(waw.Button120B1->Enabled());
    // Two boxes on the bus; the second counted three emergency stops.
    EXPECT_EQ(kGreen, waw.StateShape(1)->Brush()->Color());
    EXPECT_EQ(kRed, waw.StateShape(2)->Brush()->Color());
    EXPECT_EQ("3", waw.StateLabel(2)->Caption());
    EXPECT_EQ(kSilver, waw.StateShape(3)->Brush()->Color());

    Ui().Click(waw.Button120B1);
    for (int page = 1; page <= 8; ++page) Ui().Click(waw.WeiterButtons[static_cast<size_t>(page)]);
    ASSERT_EQ(9, waw.Notebook21->PageIndex());
    EXPECT_EQ("11 / 11", waw.Label190->Caption());
    waw.DateEdit12091->SetDate(EncodeDate(2028, 3, 1));
    Ui().Click(waw.Button12091);
    EXPECT_EQ(TPageWAR::Index, Form1->Notebook1->PageIndex());
    EXPECT_TRUE(Ui().WaitFor([this] { return sim_->Device().State().maint_year == 2028; }));
}

}  // namespace
