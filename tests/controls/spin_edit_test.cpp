// The spin editor: value and bounds, the typing filter, the keys, the wheel and the
// auto-repeat of a held button on the manual clock.

#include <cmath>
#include <limits>

#include "controls/vx_container.h"
#include "controls/vx_spin_edit.h"
#include "platform/forms/clipboard.h"
#include "platform/sync/clock.h"
#include "platform/win/input.h"
#include "platform/win/window_tree.h"
#include "tests/controls/vx_editor_test_support.h"
#include "tests/controls/vx_standalone_test_support.h"

namespace {

using TSpinEdit = StandAlone<TvxInplaceSpinEdit, TvxInplaceSpinEditClass>;

// The centre of the up or down button in screen coordinates.
TPoint SpinButton(TvxInplaceSpinEdit* e, bool Up) {
    TRect wr;
    GetWindowRect(e->Handle(), &wr);
    std::unique_ptr<TvxEditViewData> vd = e->CreateViewData(false);
    vd->Bounds = Rect(0, 0, wr.Width(), wr.Height());
    TvxEditViewInfo vi;
    e->EditClass().CalcViewInfo(*vd, false, vi);
    const TRect r = static_cast<const TvxInplaceSpinEditClass&>(e->EditClass()).ButtonsRect(vi, *vd);
    const int mid = (r.Top + r.Bottom) / 2;
    return {wr.Left + (r.Left + r.Right) / 2, wr.Top + (Up ? (r.Top + mid) / 2 : (mid + r.Bottom) / 2)};
}

}  // namespace

class SpinEdit : public EditorTest {
protected:
    TSpinEdit* MakeSpin(TForm* form) {
        auto* e = Add<TSpinEdit>(form, "E", 8, 8);
        e->SetWidth(100);
        form->Show();
        e->SetFocus();
        Driver().Pump();
        return e;
    }
};

TEST_F(SpinEdit, BoundsClampOnlyWhenTheyDifferAndEmptyTextStartsAtTheMinimum) {
    TForm* form = MakeForm("F");
    TSpinEdit* e = MakeSpin(form);
    EXPECT_EQ(e->Text(), "0");
    e->SetText("5");
    Driver().PressKey(VK_UP);
    EXPECT_EQ(e->Text(), "6") << "no bounds while MinValue = MaxValue";
    EXPECT_TRUE(e->Modified());
    e->SetMinMaxValues(0, 10);
    e->SetText("");
    Driver().Type("15");
    e->ValidateEdit();
    EXPECT_EQ(e->Text(), "10");
    Driver().PressKey(VK_UP);
    EXPECT_EQ(e->Text(), "10");
    e->SetMinMaxValues(3, 10);
    e->SetText("");
    Driver().PressKey(VK_UP);
    EXPECT_EQ(e->Text(), "4") << "empty text counts as MinValue";
    // Reversed bounds: the minimum follows the maximum.
    e->SetMinMaxValues(20, 10);
    EXPECT_EQ(e->MinValue(), 10);
    EXPECT_EQ(e->Text(), "4") << "equal bounds are no bounds";
    e->SetMaxValue(5);
    EXPECT_EQ(e->MaxValue(), 10) << "never below the minimum";
}

TEST_F(SpinEdit, AFloatEditorNeverHoldsAValueThatIsNotFinite) {
    TForm* form = MakeForm("F");
    TSpinEdit* e = MakeSpin(form);
    e->SetValueTypeAssigned(vxvtFloat);
    e->SetIncrement(1e308);
    e->SetValue(1.5e308);
    Driver().PressKey(VK_UP);
    EXPECT_EQ(e->Text(), "1,79769313486231E308") << "an overflowing step stops at the top";
    EXPECT_TRUE(std::isfinite(e->GetValue()));
    e->SetValue(-std::numeric_limits<double>::infinity());
    EXPECT_EQ(e->Text(), "-1,79769313486231E308");
    EXPECT_LT(e->GetValue(), -1e308);
    e->SetValue(2);
    e->SetValue(std::nan(""));
    EXPECT_EQ(e->Text(), "2");
    e->SetMinMaxValues(-5, 5);
    e->SetValue(std::numeric_limits<double>::infinity());
    EXPECT_EQ(e->Text(), "5");
}

TEST_F(SpinEdit, IntegerStepsStayWithinTheIntegerRange) {
    TForm* form = MakeForm("F");
    TSpinEdit* e = MakeSpin(form);
    e->SetText("2147483647");
    Driver().PressKey(VK_UP);
    EXPECT_EQ(e->Text(), "2147483647");
    e->SetIncrement(1e12);
    e->SetText("-5");
    Driver().PressKey(VK_DOWN);
    EXPECT_EQ(e->Text(), "-2147483648");
    // Floating point: 15 significant digits.
    e->SetValueTypeAssigned(vxvtFloat);
    e->SetIncrement(0.1);
    e->SetText("0,2");
    Driver().PressKey(VK_UP);
    EXPECT_EQ(e->Text(), "0,3");
}

TEST_F(SpinEdit, TypingFilterFollowsTypeLocaleAndEditorEnabled) {
    TForm* form = MakeForm("F");
    TSpinEdit* e = MakeSpin(form);
    e->SetText("");
    const unsigned beeps = MessageBeepCount();
    Driver().Type("1.x5");
    EXPECT_EQ(e->Text(), "15") << "an integer editor takes no separator and no letter";
    EXPECT_EQ(MessageBeepCount(), beeps + 2);
    e->SetValueTypeAssigned(vxvtFloat);
    e->SetText("");
    Driver().Type("1.5");
    EXPECT_EQ(e->Text(), "1,5") << "German: the period becomes a comma";
    FormatSettings().DecimalSeparator = '.';
    e->SetText("");
    Driver().Type("1,5");
    EXPECT_EQ(e->Text(), "1.5") << "English: the comma becomes a period";
    Driver().PressKey(VK_UP);
    EXPECT_EQ(e->Text(), "2.5");

    e->SetEditorEnabled(false);
    e->SelectAll();
    Driver().Type("7");
    Driver().PressKey(VK_BACK);
    Driver().PressKey(VK_DELETE);
    EXPECT_EQ(e->Text(), "2.5") << "no typing, no deleting";
    Driver().PressKey(VK_DOWN);
    EXPECT_EQ(e->Text(), "1.5");
    Driver().Wheel(e, 1);
    Driver().Pump();
    EXPECT_EQ(e->Text(), "2.5") << "away from the user steps up";
    Driver().Wheel(e, -1);
    Driver().Pump();
    EXPECT_EQ(e->Text(), "1.5");
    // A read-only editor beeps and keeps its value.
    e->SetReadOnly(true);
    const unsigned before = MessageBeepCount();
    Driver().PressKey(VK_UP);
    EXPECT_EQ(e->Text(), "1.5");
    EXPECT_EQ(MessageBeepCount(), before + 1);
}

TEST_F(SpinEdit, WithTheEditorDisabledNoClipboardKeyOrMessageChangesTheText) {
    TForm* form = MakeForm("F");
    TSpinEdit* e = MakeSpin(form);
    e->SetText("4");
    e->SetEditorEnabled(false);
    Clipboard()->SetAsText("77");
    e->SetSelRange(1, 1, false);
    Driver().PressKey('V', TShiftState{ssCtrl});
    Driver().PressKey(VK_INSERT, TShiftState{ssShift});
    Driver().Pump();
    EXPECT_EQ(e->Text(), "4") << "no paste";
    e->SelectAll();
    Driver().PressKey('X', TShiftState{ssCtrl});
    Driver().PressKey(VK_DELETE, TShiftState{ssShift});
    Driver().PressKey('Z', TShiftState{ssCtrl});
    Driver().Pump();
    EXPECT_EQ(e->Text(), "4") << "no cut, no undo";
    e->Perform(WM_PASTE, 0, 0);
    e->Perform(WM_CUT, 0, 0);
    EXPECT_EQ(e->Text(), "4");
    Driver().PressKey('C', TShiftState{ssCtrl});
    Driver().Pump();
    EXPECT_EQ(Clipboard()->AsText(), "4") << "copying reads only";
    // Enabled again, the same keys edit.
    e->SetEditorEnabled(true);
    e->SetSelRange(1, 1, false);
    Clipboard()->SetAsText("77");
    Driver().PressKey('V', TShiftState{ssCtrl});
    Driver().Pump();
    EXPECT_EQ(e->Text(), "477");
}

TEST_F(SpinEdit, HeldButtonStepsAtOnceAfter400msThenEvery100msWhileOverIt) {
    ScopedManualClock clock;
    TForm* form = MakeForm("F");
    TSpinEdit* e = MakeSpin(form);
    e->SetText("0");
    const TPoint up = SpinButton(e, true);
    InjectMouseMove(up);
    InjectMouseButton(up, MouseButton::Left, true);
    Driver().Pump();
    EXPECT_EQ(e->Text(), "1") << "the first step at once";
    EXPECT_EQ(e->PressedButton(), vxsbUp);
    auto after = [&](uint64_t ms) {
        clock->Advance(ms);
        Driver().Pump();
        return e->Text();
    };
    EXPECT_EQ(after(399), "1");
    EXPECT_EQ(after(1), "2");
    EXPECT_EQ(after(99), "2");
    EXPECT_EQ(after(1), "3");
    EXPECT_EQ(after(100), "4");
    // Off the button: stepping pauses, the button stays pressed.
    InjectMouseMove(Point(up.X - 60, up.Y));
    Driver().Pump();
    EXPECT_EQ(after(300), "4");
    EXPECT_EQ(e->PressedButton(), vxsbUp);
    InjectMouseMove(up);
    Driver().Pump();
    EXPECT_EQ(after(100), "5");
    InjectMouseButton(up, MouseButton::Left, false);
    Driver().Pump();
    EXPECT_EQ(e->PressedButton(), vxsbNone);
    EXPECT_FALSE(e->RepeatTimerRunning());
    EXPECT_EQ(after(1000), "5");
    // The down button.
    const TPoint down = SpinButton(e, false);
    InjectMouseMove(down);
    InjectMouseButton(down, MouseButton::Left, true);
    InjectMouseButton(down, MouseButton::Left, false);
    Driver().Pump();
    EXPECT_EQ(e->Text(), "4");
}

TEST_F(SpinEdit, CtrlIncrementLeavesPlainArrowsToTheContainer) {
    struct Container : TCustomvxContainer {
        explicit Container(TComponent* o) : TCustomvxContainer(o) { SetBounds(0, 0, 300, 100); }
        bool CanEditModify() override { return true; }
        bool IsValidChar(char32_t) override { return true; }
        void KeyDown(uint16_t& Key, TShiftState) override { keys.push_back(Key); }
        std::vector<int> keys;
    };
    TForm* form = MakeForm("F");
    auto* c = new Container(form);
    c->SetParent(form);
    auto* e = new TvxInplaceSpinEdit(c);
    e->SetParent(c);
    e->SetUseCtrlIncrement(true);
    form->Show();
    e->ShowEdit(Rect(10, 10, 110, 30));
    Driver().Pump();
    e->SetText("5");
    Driver().PressKey(VK_UP);
    EXPECT_EQ(e->Text(), "5");
    EXPECT_EQ(c->keys, std::vector<int>{VK_UP}) << "the container may move rows";
    Driver().PressKey(VK_UP, TShiftState{ssCtrl});
    EXPECT_EQ(e->Text(), "6");
    EXPECT_EQ(c->keys.size(), 1u);
}
