// The device lost while one of the program's boxes or dialogs is open on a live link: the box
// goes with its cancel answer (what it asked about does not happen), and then, once, the
// lost device's message shows; no error about a window that is already modal. Each box is
// opened the way the technician opens it, and the adapter is pulled while it waits.

#include <gtest/gtest.h>

#include <functional>

#include "app/common/comp_text.h"
#include "app/device/access_codes.h"
#include "app/pages/configuration/page_tst.h"
#include "app/pages/control/page_ben.h"
#include "app/pages/control/page_ein.h"
#include "app/pages/control/page_ins.h"
#include "app/pages/control/page_men.h"
#include "app/pages/control/page_war.h"
#include "app/pages/control/page_waw.h"
#include "app/windows/code_change_form.h"
#include "app/windows/code_form.h"
#include "app/windows/config_string_form.h"
#include "tests/app/control_road_support.h"

namespace {

using namespace control_road;

class LossBoxes;

struct Box {
    const char* name;
    std::function<void(LossBoxes&)> reach;   // from the menu, the device talking
    std::function<bool(TCustomForm*)> is;    // the box, as it opens
    std::function<void(LossBoxes&)> open;    // answers what comes before the box, Arm(), opens it
    std::function<bool(LossBoxes&)> undone;  // what the box asked about has not happened
};

class LossBoxes : public ControlRoad {
public:
    using AppStart::Clock;
    using AppStart::Ui;
    using ControlRoad::sim_;
    using ControlRoad::watch_;

    TPageMEN& Men() { return *Form1->Pages().MEN; }
    TPageINS& Ins() { return *Form1->Pages().INS; }
    int Page() const { return Form1->Notebook1->PageIndex(); }
    void Entry(TAppButton* TPageMEN::*button, const char* code, int page) {
        if (code) TypeCode(Ui(), code);
        Ui().Click(Men().*button);
        ASSERT_EQ(page, Page());
    }
    // The message box that shows `text`.
    static std::function<bool(TCustomForm*)> Showing(std::string text) {
        return [text](TCustomForm* form) {
            auto* box = dynamic_cast<TFormCustMsg*>(form);
            return box && box->Label1->Caption() == text;
        };
    }
    // The message box whose text begins with `text`.
    static std::function<bool(TCustomForm*)> Starting(std::string text) {
        return [text](TCustomForm* form) {
            auto* box = dynamic_cast<TFormCustMsg*>(form);
            return box && box->Label1->Caption().rfind(text, 0) == 0;
        };
    }
    bool NothingSentLike(const std::string& prefix) {
        for (const std::string& r : Requests())
            if (r.rfind(prefix, 0) == 0) return false;
        return true;
    }

    // The box `current_` is the next modal form: the adapter is pulled while it is open, the
    // lost device's message that follows is answered, and any box after that is counted.
    void Arm() {
        Ui().OnNextModal([this](TCustomForm* form, UiDriver& u) {
            opened_ = current_->is(form) ? "the box" : form->ClassName();
            u.OnNextModal([this](TCustomForm* f, UiDriver& v) {
                auto* box = dynamic_cast<TFormCustMsg*>(f);
                lost_ = box ? box->Label1->Caption() : f->ClassName();
                v.OnNextModal([this](TCustomForm* g, UiDriver&) {
                    ++after_;
                    g->SetModalResult(mrCancel);
                });
                if (box)
                    v.Click(box->Button1->Visible() ? box->Button1 : box->Button2);
                else
                    f->SetModalResult(mrCancel);
            });
            sim_->Unplug();
        });
    }

    // Opens each box with the device talking, pulls the adapter while it is open, and
    // checks what follows; then the next device on the same port.
    void RunBoxes(const std::vector<Box>& boxes) {
        ToMenu();
        for (const Box& b : boxes) {
            SCOPED_TRACE(b.name);
            b.reach(*this);
            current_ = &b;
            opened_.clear();
            lost_.clear();
            after_ = 0;
            b.open(*this);
            ASSERT_TRUE(Ui().WaitFor([&] { return !lost_.empty(); }));
            Ui().WaitFor([] { return false; }, 100);  // time for a second message, if one came
            EXPECT_EQ("the box", opened_);
            EXPECT_EQ(GetCompText(1650), lost_);
            EXPECT_EQ(0, after_) << "a box after the loss";
            EXPECT_TRUE(b.undone(*this));
            EXPECT_EQ(0, Page());
            EXPECT_FALSE(Application->Terminated());
            for (int k = 0; k < Screen->FormCount(); ++k) EXPECT_FALSE(Screen->Forms(k)->Modal());
            // The unused guard goes with the driver.
            ui_.reset();
            ui_ = std::make_unique<UiDriver>();
            sim_.reset();
            StartSim();
            Ui().Click("Form1.Button001");
            Ui().Click("Form1.Button601");
            ASSERT_EQ(TPageMEN::Index, Page());
        }
    }

    const Box* current_ = nullptr;
    std::string opened_, lost_;
    int after_ = 0;
    std::unique_ptr<SteadyAdvance> fast_;
};

const auto kNothing = [](LossBoxes&) {};
const auto kAlways = [](LossBoxes&) { return true; };

}  // namespace

TEST_F(LossBoxes, QuestionsGoWithTheirCancelAnswer) {
    const auto war = [](LossBoxes& t) { t.Entry(&TPageMEN::Button722, "3333", TPageWAR::Index); };
    const auto click = [](std::function<TAppButton*()> button) {
        return [button](LossBoxes& t) {
            t.Arm();
            t.Ui().Click(button());
        };
    };
    RunBoxes({
        {"Wartungstermin ändern", war, Showing("Wartungstermin auf 01.01.2026 ändern?"),
         click([] { return Form1->Pages().WAR->Button12001; }),
         [](LossBoxes& t) { return t.NothingSentLike("FB,02,02,44"); }},
        {"Wirklich abbrechen (installation)",
         [](LossBoxes& t) {
             t.Entry(&TPageMEN::Button721, "3333", TPageINS::Index);
             t.Ins().Notebook11->SetPageIndex(2);
             t.Ins().Button11022->SetEnabled(true);
             Form1->Pages().InstallActive = true;
         },
         Showing(GetCompText(1211)), click([] { return Form1->Pages().INS->Button11022; }),
         [](LossBoxes& t) { return t.NothingSentLike("FB,02,00,50,17"); }},
        {"Wirklich abbrechen (menu)", kNothing, Showing(GetCompText(1201)),
         click([] { return Form1->Pages().MEN->Button742; }), kAlways},
        {"Gerät reagiert nicht mehr",
         [war](LossBoxes& t) {
             war(t);
             t.sim_->Device().Update([](DoorState& s) { s.silent_records.insert(0x53); });
             t.Ui().Click(Form1->Pages().WAR->Button12002);
         },
         Showing(GetCompTextLines(1199)),
         [](LossBoxes& t) {
             // Two minutes without the counter record, on a clock moved on fast.
             t.watch_ = OnceWhen([] { return Session().Link().Awaiting(AwaitEmergencyCounters); },
                                 [&t] { t.fast_ = std::make_unique<SteadyAdvance>(t.Clock(), 200); });
             t.Arm();
             t.Ui().Click(Form1->Pages().WAW->Button120A1);
             t.fast_.reset();
             t.sim_->Device().Update([](DoorState& s) { s.silent_records.clear(); });
         },
         kAlways},
    });
}

TEST_F(LossBoxes, DialogsAndMessagesGoToo) {
    RunBoxes({
        {"code dialog", kNothing, [](TCustomForm* f) { return f == Form4; },
         [](LossBoxes& t) {
             t.Arm();
             t.Ui().Click(t.Men().Button712);
         },
         [](LossBoxes& t) { return t.NothingSentLike("FB,02,02,30"); }},
        {"refused code", kNothing, Starting(CodeCheckMessage(3)),
         [](LossBoxes& t) {
             TypeCode(t.Ui(), "9999");
             t.Arm();
             t.Ui().Click(t.Men().Button712);
         },
         kAlways},
        {"code change dialog", [](LossBoxes& t) { t.Entry(&TPageMEN::Button732, "3333", TPageBEN::Index); },
         [](TCustomForm* f) { return f == Form5; },
         [](LossBoxes& t) {
             t.Arm();
             t.Ui().Click(Form1->Pages().BEN->Button91);
         },
         [](LossBoxes& t) { return t.NothingSentLike("FB,02,02,30,02"); }},
        {"invalid system setting",
         [](LossBoxes& t) {
             t.Entry(&TPageMEN::Button731, "2222", TPageEIN::Index);
             Form1->Pages().EIN->Edit1011->SetText("x");
         },
         Starting("Ungültiger Wert für Kurzzeitentriegelung"),
         [](LossBoxes& t) {
             t.Arm();
             t.Ui().Click(Form1->Pages().EIN->Button1001);
         },
         [](LossBoxes& t) { return t.NothingSentLike("FB,02,02,0E"); }},
        {"invalid delay",
         [](LossBoxes& t) {
             t.Entry(&TPageMEN::Button721, "3333", TPageINS::Index);
             t.Ins().Notebook11->SetPageIndex(6);
             t.Ins().Edit11061->SetEnabled(true);
             t.Ins().Edit11061->SetText("999");
         },
         Starting("Ungültiger Wert für t1"),
         [](LossBoxes& t) {
             t.Arm();
             t.Ui().Click(t.Ins().Button11061);
         },
         [](LossBoxes& t) { return t.NothingSentLike("FB,02,00,50,16"); }},
        {"date changed note", [](LossBoxes& t) { t.Entry(&TPageMEN::Button722, "3333", TPageWAR::Index); },
         Showing(GetCompText(1215)),
         [](LossBoxes& t) {
             t.Ui().OnNextModal(
                 [](TCustomForm* form, UiDriver& u) { u.Click(static_cast<TFormCustMsg*>(form)->Button1); });
             t.Arm();
             t.Ui().Click(Form1->Pages().WAR->Button12001);
         },
         kAlways},
        {"configuration string dialog",
         [](LossBoxes& t) {
             Session().ClosePort();
             TPageTST& tst = *Form1->Pages().TST;
             tst.Show();
             tst.Edit501->SetText(std::to_string(kPort));
             t.Ui().Click(tst.Button501);
             ASSERT_TRUE(Session().LinkState.PortOpen);
             tst.Edit502->SetText("01,02");
         },
         [](TCustomForm* f) { return f == Form3; },
         [](LossBoxes& t) {
             t.Arm();
             t.Ui().Click(Form1->Pages().TST->Button509);
         },
         [](LossBoxes&) { return Form1->Pages().TST->Edit502->Text() == "01,02"; }},
    });
}
