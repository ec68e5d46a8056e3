// The calculator editor: dropping down, the value flowing through the editor's text and
// every way of closing.

#include "controls/vx_calc_edit.h"
#include "platform/win/input.h"
#include "platform/win/window_tree.h"
#include "tests/controls/vx_editor_test_support.h"
#include "tests/controls/vx_standalone_test_support.h"

namespace {
using TCalcEdit = StandAlone<TvxInplaceCalcEdit, TvxInplaceCalcEditClass>;
}  // namespace

class CalcEdit : public EditorTest {
protected:
    TCalcEdit* MakeEdit(TForm* form) {
        auto* e = Add<TCalcEdit>(form, "E", 8, 8);
        e->SetWidth(120);
        form->Show();
        e->SetFocus();
        Driver().Pump();
        return e;
    }
    bool Open(TCalcEdit* e) {
        return e->IsDroppedDown() && e->Calculator() && e->Calculator()->HandleAllocated() &&
               IsWindowVisible(e->Calculator()->Handle());
    }
    void Keys(const std::string& s) {
        for (char ch : s) {
            Driver().Type(std::string(1, ch));
            InjectKey(VK_SHIFT, true);
            InjectKey(VK_SHIFT, false);
        }
        Driver().Pump();
    }
};

TEST_F(CalcEdit, EnterEvaluatesAndEveryStepShowsInTheEditor) {
    TForm* form = MakeForm("F", 320, 300);
    TCalcEdit* e = MakeEdit(form);
    int drops = 0;
    e->OnDropDown = [&](TObject*) { ++drops; };
    e->SetText("12");
    e->SetModified(false);
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(Open(e));
    EXPECT_EQ(drops, 1);
    TRect er, cr;
    GetWindowRect(e->Handle(), &er);
    GetWindowRect(e->Calculator()->Handle(), &cr);
    EXPECT_EQ(cr.Top, er.Bottom) << "below the editor";
    Keys("+3");
    EXPECT_EQ(e->Text(), "3");
    EXPECT_TRUE(e->Modified());
    Keys("3");
    EXPECT_EQ(e->Text(), "33") << "a repeated digit after its key came up";
    Driver().Enter();
    Driver().Pump();
    EXPECT_EQ(e->Text(), "45");
    EXPECT_FALSE(Open(e));
    EXPECT_FALSE(e->IsDroppedDown());
    EXPECT_TRUE(e->Focused());
}

TEST_F(CalcEdit, EscapeKeepsWhatWasWrittenAndEqualsClosesOnlyWithQuickClose) {
    TForm* form = MakeForm("F", 320, 300);
    TCalcEdit* e = MakeEdit(form);
    e->SetText("2");
    Driver().PressKey(VK_DOWN, TShiftState{ssAlt});
    Driver().Pump();
    ASSERT_TRUE(Open(e));
    Keys("*4=");
    EXPECT_EQ(e->Text(), "8");
    EXPECT_TRUE(Open(e)) << "= alone does not close";
    Driver().Escape();
    Driver().Pump();
    EXPECT_FALSE(Open(e));
    EXPECT_EQ(e->Text(), "8");
    e->SetQuickClose(true);
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(Open(e));
    Keys("+1=");
    EXPECT_EQ(e->Text(), "9");
    EXPECT_FALSE(Open(e));
    // F4 and Alt+Up close as well.
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(Open(e));
    Driver().PressKey(VK_UP, TShiftState{ssAlt});
    Driver().Pump();
    EXPECT_FALSE(Open(e));
}

TEST_F(CalcEdit, DivisionByZeroLeavesAModifiedZero) {
    TForm* form = MakeForm("F", 320, 300);
    TCalcEdit* e = MakeEdit(form);
    e->SetText("5");
    Driver().PressKey(VK_F4);
    Driver().Pump();
    Keys("/0=");
    EXPECT_EQ(e->Text(), kvxCalcErrorText);
    e->SetModified(false);
    Driver().Escape();
    Driver().Pump();
    EXPECT_EQ(e->Text(), "0");
    EXPECT_TRUE(e->Modified());
}

TEST_F(CalcEdit, AClickIntoAnotherFieldClosesTheCalculatorAndTakesTheFocus) {
    TForm* form = MakeForm("F", 320, 300);
    TCalcEdit* e = MakeEdit(form);
    auto* other = Add<TCalcEdit>(form, "O", 180, 8);
    Driver().Pump();
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(Open(e));
    Keys("7");
    Driver().Click(other);
    Driver().Pump();
    EXPECT_FALSE(Open(e));
    EXPECT_TRUE(other->Focused());
    EXPECT_FALSE(e->Focused());
    EXPECT_EQ(e->Text(), "7");
}

TEST_F(CalcEdit, ReadOnlyEditorDoesNotDropDown) {
    TForm* form = MakeForm("F", 320, 300);
    TCalcEdit* e = MakeEdit(form);
    e->SetReadOnly(true);
    Driver().PressKey(VK_F4);
    Driver().Pump();
    EXPECT_FALSE(e->IsDroppedDown());
    EXPECT_EQ(e->Calculator(), nullptr);
}

TEST_F(CalcEdit, SecondDropDownRebuildsTheWindowWithTheNewSettings) {
    TForm* form = MakeForm("F", 320, 300);
    TCalcEdit* e = MakeEdit(form);
    Driver().PressKey(VK_F4);
    Driver().Pump();
    TvxPopupCalculator* calc = e->Calculator();
    ASSERT_TRUE(Open(e));
    EXPECT_EQ(calc->ButtonStyle(), bsStandard);
    EXPECT_TRUE(calc->PopupMode());
    Driver().Escape();
    Driver().Pump();
    e->Font()->SetColor(clRed);
    e->SetButtonStyle(bsExtraFlat);
    e->SetPrecision(4);
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(Open(e));
    EXPECT_EQ(e->Calculator(), calc) << "the same calculator";
    EXPECT_EQ(calc->Font()->Color(), clRed);
    EXPECT_EQ(calc->ButtonStyle(), bsExtraFlat);
    Keys("12345");
    EXPECT_EQ(e->Text(), "1234") << "the new precision";
    // A click on a calculator button works without taking the focus from the editor.
    const TRect r = calc->Buttons(vxcbC).Bounds;
    Driver().MouseDown(calc, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    Driver().MouseUp(calc, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    Driver().Pump();
    EXPECT_EQ(e->Text(), "0");
    EXPECT_TRUE(e->Focused());
    EXPECT_TRUE(Open(e));
    // Leaving the editor closes the calculator.
    auto* other = Add<TCalcEdit>(form, "O", 8, 200);
    other->SetFocus();
    Driver().Pump();
    EXPECT_FALSE(Open(e));
}
