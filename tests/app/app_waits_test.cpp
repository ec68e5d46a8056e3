// The waits of the pages for the door terminal, each against every end it has: the answer,
// its time-out (on the manual clock), the program's end (the window closed), the link gone
// (the adapter pulled) and the page left. Whatever ended it, nothing is left queued once the
// link is closed, and only the lost link says so.

#include <gtest/gtest.h>

#include <functional>

#include "app/common/comp_text.h"
#include "app/device/access_codes.h"
#include "app/pages/control/page_men.h"
#include "app/pages/control/page_stg.h"
#include "platform/forms/timer.h"
#include "tests/app/control_road_support.h"

namespace {

using namespace control_road;

enum class End { Met, Deadline, ProgramEnd, LinkClosed, PageLeft };

const char* Name(End e) {
    switch (e) {
        case End::Met: return "met";
        case End::Deadline: return "deadline";
        case End::ProgramEnd: return "program end";
        case End::LinkClosed: return "link closed";
        case End::PageLeft: return "page left";
    }
    return "?";
}

struct PageWait {
    const char* name;
    std::function<bool()> run;                // the wait; true when it went through
    std::function<bool()> running;            // true once it waits for the device
    std::function<void(DoorState&)> silence;  // a device that never answers it
    std::string lateBox;                      // what its time-out says ("" nothing)
};

class AppWaits : public ControlRoad {
protected:
    void SetUp() override { AppStart::SetUp(); }  // the manual clock stays
    void TearDown() override {
        {
            SteadyAdvance advance(Clock(), 20);
            if (FormSercom && Session().LinkState.PortOpen) Session().ClosePort();
        }
        ControlRoad::TearDown();
    }
};

}  // namespace

TEST_F(AppWaits, EveryWaitEndsOnEachOfItsEndsAndOnlyALostLinkIsShown) {
    const PageWait waits[] = {
        {"object read", [] { return Session().SendShortCommand(0x41, 0x1018, 1); },
         [] { return Session().Link().Awaiting(AwaitOdReply); }, [](DoorState& s) { s.silent_nodes.insert(0x41); }, ""},
        {"code check", [] { return Session().CheckAccessCode("1111", 1); },
         [] { return Session().Link().Awaiting(AwaitCodeCheck); }, [](DoorState& s) { s.silent_records.insert(0x30); },
         CodeCheckMessage(kCodeAnswerLate)},
        {"pause after a store", [] { return Session().DevicePause(1000, TPageMEN::Index); }, [] { return true; },
         nullptr, ""},
    };
    const End ends[] = {End::Met, End::Deadline, End::ProgramEnd, End::LinkClosed, End::PageLeft};
    for (const PageWait& w : waits) {
        for (End end : ends) {
            // A pause has no answer to wait for: its time is how it goes through.
            if (end == End::Met && !w.silence) continue;
            SCOPED_TRACE(std::string(w.name) + ": " + Name(end));
            ui_.reset();  // the old driver gives its hooks back first
            ui_ = std::make_unique<UiDriver>();
            DoorState state = DoorState::DoorTerminal();
            // Only the answer itself may come: every other end is certain to be the one.
            if (end != End::Met && w.silence) w.silence(state);
            std::string box;
            {
                SteadyAdvance advance(Clock(), 20);
                ToMenu(std::move(state));
                AnswerBox(box);
                TTimer trigger(nullptr);
                trigger.SetInterval(5);
                trigger.OnTimer = [&](TObject*) {
                    if (!w.running()) return;
                    trigger.SetEnabled(false);
                    if (end == End::ProgramEnd) Form1->Close();
                    if (end == End::LinkClosed) sim_->Unplug();
                    if (end == End::PageLeft) Form1->Notebook1->SetPageIndex(TPageSTG::Index);
                };
                trigger.SetEnabled(end != End::Met && end != End::Deadline);
                const bool through = w.run();
                EXPECT_EQ(end == End::Met || (end == End::Deadline && !w.silence), through);
                if (end == End::LinkClosed) {
                    ASSERT_TRUE(Ui().WaitFor([&] { return !box.empty(); }, 10000));
                }
            }
            const std::string expected = end == End::LinkClosed              ? GetCompText(1650)
                                         : end == End::Deadline && w.silence ? w.lateBox
                                                                             : "";
            EXPECT_EQ(expected, box);
            EXPECT_EQ(end == End::ProgramEnd, Application->Terminated());
            const int page = end == End::LinkClosed ? 0 : end == End::PageLeft ? TPageSTG::Index : TPageMEN::Index;
            EXPECT_EQ(page, Form1->Notebook1->PageIndex());
            EXPECT_TRUE(Session().LinkState.PortOpen || Session().Link().QueueItems().empty());
            {
                SteadyAdvance advance(Clock(), 20);
                if (Session().LinkState.PortOpen) Session().ClosePort();
            }
            sim_.reset();
            DestroyProgramForms();
        }
    }
}
