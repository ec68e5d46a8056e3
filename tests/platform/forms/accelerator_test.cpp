// Alt+letter accelerators: the "&x" of a label, button or check box works from any focused
// control, the edit with the focus does not get the letter, and a letter without an
// accelerator changes nothing.

#include "platform/forms/button.h"
#include "platform/forms/check_box.h"
#include "platform/forms/edit.h"
#include "platform/forms/label.h"
#include "platform/forms/panel.h"
#include "tests/platform/forms/forms_test_support.h"

class Accelerators : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        form = MakeForm("AccelForm", 360, 200);
        first = Add<TEdit>(form, "Edit1", 96, 8);
        nameLabel = Add<TLabel>(form, "Label1", 8, 44);
        nameLabel->SetCaption("&Name:");
        panel = Add<TPanel>(form, "Panel1", 96, 36);
        panel->SetBounds(96, 36, 200, 33);
        nameEdit = Add<TEdit>(panel, "Edit2", 4, 6);
        nameLabel->SetFocusControl(nameEdit);
        check = Add<TCheckBox>(form, "Check1", 8, 80);
        check->SetCaption("&Invertiert");
        apply = Add<TButton>(form, "Apply", 8, 120);
        apply->SetCaption("&Anwenden");
        apply->OnClick = [this](TObject*) { ++applyClicks; };
        form->Show();
        Driver().Pump();
        first->SetFocus();
    }
    TForm* form = nullptr;
    TEdit* first = nullptr;
    TLabel* nameLabel = nullptr;
    TPanel* panel = nullptr;
    TEdit* nameEdit = nullptr;
    TCheckBox* check = nullptr;
    TButton* apply = nullptr;
    int applyClicks = 0;
};

TEST_F(Accelerators, AltLetterReachesLabelsButtonsAndCheckBoxesFromAnEdit) {
    ASSERT_TRUE(first->Focused());
    Driver().PressKey('N', {ssAlt});
    EXPECT_TRUE(nameEdit->Focused()) << "the label hands the focus to its control inside a panel";
    EXPECT_EQ(first->Text(), "");
    EXPECT_EQ(nameEdit->Text(), "") << "the accelerator letter is not typed";

    Driver().PressKey('A', {ssAlt});
    EXPECT_EQ(applyClicks, 1);

    Driver().PressKey('I', {ssAlt, ssShift});
    EXPECT_TRUE(check->Checked()) << "Alt+Shift+letter works as well (case does not matter)";
    EXPECT_TRUE(check->Focused());
}

TEST_F(Accelerators, LettersWithoutAcceleratorAndDisabledTargetsDoNothing) {
    Driver().PressKey('Q', {ssAlt});
    EXPECT_TRUE(first->Focused());
    EXPECT_EQ(first->Text(), "") << "Alt+letter never types into the edit";

    apply->SetEnabled(false);
    Driver().PressKey('A', {ssAlt});
    EXPECT_EQ(applyClicks, 0);

    nameLabel->SetShowAccelChar(false);
    Driver().PressKey('N', {ssAlt});
    EXPECT_TRUE(first->Focused()) << "a label that shows '&' literally has no accelerator";

    // Without Alt the edit takes the letter as text.
    nameLabel->SetShowAccelChar(true);
    Driver().PressKey('N');
    EXPECT_EQ(first->Text(), "n");
    EXPECT_TRUE(first->Focused());
}

TEST_F(Accelerators, KeyDownOfTheFocusedControlStillSeesAltKeys) {
    std::vector<uint16_t> keys;
    TShiftState lastShift;
    first->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState shift) {
        keys.push_back(key);
        lastShift = shift;
    };
    Driver().PressKey('A', {ssAlt});
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys.back(), 'A');
    EXPECT_TRUE(lastShift.Contains(ssAlt));
    EXPECT_EQ(applyClicks, 1);
    // A handler that swallows the key (Key = 0) keeps the accelerator from firing.
    first->OnKeyDown = [](TObject*, uint16_t& key, TShiftState) { key = 0; };
    Driver().PressKey('A', {ssAlt});
    EXPECT_EQ(applyClicks, 2) << "the character still comes: WM_SYSCHAR follows the key";
}
