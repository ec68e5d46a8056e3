// Actions and the controls that use them: a click runs the action (after its OnUpdate, and
// only while enabled) unless the control has an OnClick of its own; an action still being
// built leaves what the control already shows; a freed control is forgotten by its action.
#include "platform/forms/custom_action.h"
#include "tests/platform/forms/forms_test_support.h"

namespace {

class Actions : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        form_ = MakeForm("ActionForm", 200, 80);
        box_ = Add<TTestBox>(form_, "Box1", 8, 8);
        action_ = new TCustomAction(form_);
        action_->SetName("Action1");
        action_->OnExecute = [this](TObject*) { ++executes_; };
    }
    TForm* form_ = nullptr;
    TTestBox* box_ = nullptr;
    TCustomAction* action_ = nullptr;
    int executes_ = 0;
};

TEST_F(Actions, AClickRunsTheActionAfterItsUpdateUnlessTheControlHasItsOwnOnClick) {
    int updates = 0;
    action_->OnUpdate = [&](TObject*) { ++updates; };
    box_->SetAction(action_);
    form_->Show();
    Driver().Click(box_);
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(executes_, 1);
    // An update that disables the action stops it, and the control follows.
    action_->OnUpdate = [this](TObject*) { action_->SetEnabled(false); };
    box_->Click();
    EXPECT_EQ(executes_, 1);
    EXPECT_FALSE(box_->Enabled());
    action_->OnUpdate = nullptr;
    action_->SetEnabled(true);
    EXPECT_TRUE(box_->Enabled());
    int own = 0;
    box_->OnClick = [&](TObject*) { ++own; };
    box_->Click();
    EXPECT_EQ(own, 1);
    EXPECT_EQ(executes_, 1);
}

TEST_F(Actions, AnActionStillBeingBuiltLeavesWhatTheControlAlreadyShows) {
    auto* fresh = Add<TTestBox>(form_, "Box2", 80, 8);
    box_->SetCaption("Speichern");
    box_->SetHint("Eigener Hinweis");
    action_->IncludeState(csLoading);
    action_->SetCaption("Öffnen");
    action_->SetHint("Datei öffnen");
    box_->SetAction(action_);
    fresh->SetAction(action_);
    EXPECT_EQ(box_->Caption(), "Speichern");
    EXPECT_EQ(box_->Hint(), "Eigener Hinweis");
    EXPECT_EQ(fresh->Caption(), "Öffnen");
    EXPECT_EQ(fresh->Hint(), "Datei öffnen");
    // Once built, every change of the action reaches its controls.
    action_->ExcludeState(csLoading);
    action_->SetCaption("Laden");
    EXPECT_EQ(box_->Caption(), "Laden");
    EXPECT_EQ(fresh->Caption(), "Laden");
}

TEST_F(Actions, AFreedControlIsNoClientAnyMore) {
    auto* other = Add<TTestBox>(form_, "Box2", 80, 8);
    other->SetAction(action_);
    box_->SetAction(action_);
    delete other;
    action_->SetCaption("Weiter");
    EXPECT_EQ(box_->Caption(), "Weiter");
}

}  // namespace
