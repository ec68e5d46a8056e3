// A door terminal that goes away under the control road: whatever page the technician is on,
// the program says so once and leaves for the start page, an action taken afterwards (or
// while the link closes) is refused as the lost device, and nothing meant for the lost device
// reaches the next one.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/common/comp_text.h"
#include "app/pages/configuration/page_tst.h"
#include "app/pages/control/page_eig.h"
#include "app/pages/control/page_ein.h"
#include "app/pages/control/page_men.h"
#include "app/pages/control/page_stg.h"
#include "platform/forms/timer.h"
#include "tests/app/control_road_support.h"

namespace {

using namespace control_road;

class LostLink : public ControlRoad {
public:
    TPageMEN& Men() { return *Form1->Pages().MEN; }
    int Page() const { return Form1->Notebook1->PageIndex(); }
    // The menu entry `button` behind `code`, arriving on page `page`.
    void Entry(TAppButton* TPageMEN::*button, const char* code, int page) {
        if (code) TypeCode(Ui(), code);
        Ui().Click(Men().*button);
        ASSERT_EQ(page, Page());
    }
};

struct PageAction {
    const char* name;
    std::function<void(LostLink&)> reach;  // from the menu, link open
    std::function<void()> act;             // what queues for the device
};

struct Moment {
    const char* name;
    bool duringClose;  // true: the action runs in the close the loss starts
};

}  // namespace

TEST_F(LostLink, EveryPageThatSendsRefusesOnceTheDeviceIsGoneAndTheNextDeviceHearsNothing) {
    const PageAction actions[] = {
        {"STG lock", [](LostLink& t) { t.Entry(&TPageMEN::Button712, "1111", TPageSTG::Index); },
         [] { Form1->Pages().STG->Button83Click(); }},
        {"EIN store", [](LostLink& t) { t.Entry(&TPageMEN::Button731, "2222", TPageEIN::Index); },
         [] { Form1->Pages().EIN->Button1001Click(); }},
        {"EIG store", [](LostLink& t) { t.Entry(&TPageMEN::Button741, "2222", TPageEIG::Index); },
         [] { Form1->Pages().EIG->Button1501Click(); }},
        {"EI2 write", [](LostLink& t) { t.Entry(&TPageMEN::Button731, "2222", TPageEIN::Index); },
         [] { Session().SendLongCommand(0x42, 0x2200, 14, 4, "00000002"); }},
        {"object read", [](LostLink& t) { t.Entry(&TPageMEN::Button711, nullptr, TPageSTG::Index); },
         [] { Session().SendShortCommand(0x41, 0x1018, 1); }},
        {"code check", [](LostLink&) {}, [] { Session().CheckAccessCode("1111", 1); }},
        {"TST request",
         [](LostLink&) {
             Form1->Pages().TST->Show();
             Form1->Pages().TST->Edit552->SetText("00 50 04");
         },
         [] { Form1->Pages().TST->Button552Click(); }},
    };
    const Moment moments[] = {{"after the loss", false}, {"in the close", true}};
    ToMenu();
    for (const PageAction& a : actions) {
        for (const Moment& m : moments) {
            SCOPED_TRACE(std::string(a.name) + ", " + m.name);
            a.reach(*this);
            std::string text;
            AnswerBox(text);
            std::unique_ptr<InPortClose> inClose;
            if (m.duringClose) inClose = std::make_unique<InPortClose>([&] { a.act(); });
            sim_->Unplug();
            ASSERT_TRUE(Ui().WaitFor([&] { return !text.empty(); }));
            EXPECT_TRUE(!inClose || inClose->Ran()) << "the action did not run in the close";
            EXPECT_EQ(GetCompText(1650), text);
            EXPECT_EQ(0, Page());
            EXPECT_EQ(0, Ui().PendingModalScripts());
            if (!m.duringClose) {
                text.clear();
                AnswerBox(text);
                a.act();
                EXPECT_EQ(GetCompText(1650), text);
                EXPECT_EQ(0, Page());
            }
            EXPECT_TRUE(Session().Link().QueueItems().empty());

            // Another device on the same port: the control road opens it again, and it hears
            // nothing but the type query and empty answers.
            sim_.reset();
            StartSim();
            Ui().Click("Form1.Button001");
            Ui().Click("Form1.Button601");
            ASSERT_EQ(TPageMEN::Index, Page());
            ASSERT_TRUE(sim_->WaitForExchanges(5, 5000));
            EXPECT_TRUE(Requests().empty());
        }
    }
}

TEST_F(LostLink, StatusLampsAndTextsGoBlankWithTheDevice) {
    ToMenu();
    Entry(&TPageMEN::Button711, nullptr, TPageSTG::Index);
    TPageSTG& stg = *Form1->Pages().STG;
    ASSERT_TRUE(Ui().WaitFor([&] { return !stg.Label81->Caption().empty(); }));
    std::string text;
    AnswerBox(text);
    sim_->Unplug();
    ASSERT_TRUE(Ui().WaitFor([&] { return !text.empty(); }));
    EXPECT_EQ("", stg.Label81->Caption());
    EXPECT_EQ("", stg.Label82->Caption());
    EXPECT_EQ(0xFFFFFFu, static_cast<uint32_t>(stg.Shape81->Brush()->Color()));
    EXPECT_EQ(0, stg.ListBox83->Count());
}

TEST_F(LostLink, ADeviceLostWhileACodeIsAskedForClosesTheCodeDialog) {
    ToMenu();
    std::string text;
    bool stillAsked = false;
    std::unique_ptr<TTimer> afterBox;
    Ui().OnNextModal([&](TCustomForm* form, UiDriver&) {
        ASSERT_EQ(Form4, form);
        AnswerBox(text);
        // Once the loss is shown, the dialog must not be left over the start page; if it is,
        // note it and cancel it so the test goes on.
        afterBox = OnceWhen([&] { return !text.empty() && !FormCustMsg->Visible(); },
                            [&] {
                                stillAsked = Form4->Modal();
                                Form4->SetModalResult(mrCancel);
                            });
        sim_->Unplug();
    });
    Ui().Click(Men().Button712);
    EXPECT_EQ(GetCompText(1650), text);
    EXPECT_FALSE(stillAsked) << "the code dialog stayed open over the start page";
    EXPECT_FALSE(Form4->Visible());
    EXPECT_EQ(0, Page());
    EXPECT_EQ(0, Ui().PendingModalScripts());
}

TEST_F(LostLink, AStoreTheSilentDeviceNeverTookIsALossAndNeverReachesItLater) {
    const PageAction stores[] = {
        {"EIN store", [](LostLink& t) { t.Entry(&TPageMEN::Button731, "2222", TPageEIN::Index); },
         [] { Form1->Pages().EIN->Button1001Click(); }},
        {"EIG store", [](LostLink& t) { t.Entry(&TPageMEN::Button741, "2222", TPageEIG::Index); },
         [] { Form1->Pages().EIG->Button1501Click(); }},
    };
    ToMenu();
    for (const PageAction& s : stores) {
        SCOPED_TRACE(s.name);
        s.reach(*this);
        // What the program handled before reached the device.
        sim_->SetSilent(true);
        ASSERT_TRUE(Ui().WaitFor([&] { return sim_->Silent(); }));
        sim_->ClearExchanges();
        std::string text;
        AnswerBox(text);
        s.act();
        EXPECT_EQ(GetCompText(1650), text);
        EXPECT_EQ(0, Page());
        EXPECT_EQ(0, Ui().PendingModalScripts());
        EXPECT_TRUE(Session().Link().QueueItems().empty());

        // The device wakes up: what it did not take in time is gone.
        sim_->SetSilent(false);
        Ui().Click("Form1.Button001");
        Ui().Click("Form1.Button601");
        ASSERT_EQ(TPageMEN::Index, Page());
        ASSERT_TRUE(sim_->WaitForExchanges(5, 5000));
        EXPECT_TRUE(Requests().empty());
    }
}
