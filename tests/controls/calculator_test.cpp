// The calculator on its own (a descendant that keeps the text): chains, percent, square
// root and reciprocal, memory, the length limit, paste, the error state, keys, layout and
// the three button styles.

#include "controls/vx_calculator.h"
#include "platform/forms/clipboard.h"
#include "platform/gdi/draw.h"
#include "platform/win/input.h"
#include "tests/controls/vx_editor_test_support.h"

namespace {

class TTextCalculator : public TCustomvxCalculator {
public:
    using TCustomvxCalculator::TCustomvxCalculator;
    void GetEditorValue(std::string& Text) override { Text = text; }
    void SetEditorValue(const std::string& Text) override { text = Text; }
    std::string text = "0";
};

}  // namespace

class Calculator : public EditorTest {
protected:
    TTextCalculator* MakeCalc(TForm* form) {
        auto* c = Add<TTextCalculator>(form, "Calc", 8, 8);
        form->Show();
        c->SetFocus();
        Driver().Pump();
        return c;
    }
    // Typed characters, each with a key release after it (as a person types them).
    void Keys(const std::string& s) {
        for (char ch : s) {
            if (ch == '\b') {
                Driver().PressKey(VK_BACK);
                continue;
            }
            InjectChar(static_cast<unsigned char>(ch));
            InjectKey(VK_SHIFT, true);
            InjectKey(VK_SHIFT, false);
        }
        Driver().Pump();
    }
    // A click on a button of the calculator.
    void Click(TCustomvxCalculator* c, uint8_t kind) {
        const TRect& r = c->Buttons(kind).Bounds;
        Driver().MouseDown(c, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
        Driver().MouseUp(c, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
        Driver().Pump();
    }
};

TEST_F(Calculator, ChainsPercentRootAndRepeatedEquals) {
    TForm* form = MakeForm("F", 320, 240);
    TTextCalculator* c = MakeCalc(form);
    int results = 0;
    c->OnResult = [&](TObject*) { ++results; };
    Keys("2+3=");
    EXPECT_EQ(c->text, "5");
    Keys("=");
    EXPECT_EQ(c->text, "5") << "= leaves no pending operation";
    EXPECT_EQ(results, 2);
    Keys("200+10%");
    EXPECT_EQ(c->text, "220");
    Keys("50*10%");
    EXPECT_EQ(c->text, "5");
    Keys("9+16@=");
    EXPECT_EQ(c->text, "13");
    Keys("7-10=");
    EXPECT_EQ(c->text, "-3");
    Driver().PressKey('R');  // 1/x
    EXPECT_EQ(c->text, "-0,3333333333333");
    Driver().PressKey(VK_ESCAPE);
    EXPECT_EQ(c->text, "0");
    Keys("4");
    Driver().PressKey(VK_F9);
    EXPECT_EQ(c->text, "-4");
    // The same chains by mouse.
    Driver().PressKey(VK_DELETE);
    for (uint8_t k : {vxcb2, vxcbMul, vxcb2, vxcb1, vxcbEqual}) Click(c, k);
    EXPECT_EQ(c->text, "42");
}

TEST_F(Calculator, BackLengthLimitAndDecimalSeparator) {
    TForm* form = MakeForm("F", 320, 240);
    TTextCalculator* c = MakeCalc(form);
    Keys("5");
    Driver().PressKey(VK_F9);
    Keys("\b");
    EXPECT_EQ(c->text, "0") << "Back on -5";
    Keys("0,\b");
    EXPECT_EQ(c->text, "0") << "Back after the decimal separator";
    Keys(",,5");
    EXPECT_EQ(c->text, "0,5") << "one separator only";
    Driver().PressKey(VK_ESCAPE);
    const unsigned beeps = MessageBeepCount();
    Keys("1234567890,1234");
    EXPECT_EQ(c->text, "1234567890,12") << "13 characters, the separator counts";
    EXPECT_EQ(MessageBeepCount(), beeps + 2);
    Driver().PressKey(VK_F9);
    Keys("\b9");
    EXPECT_EQ(c->text, "-1234567890,19") << "a leading minus does not count";
    c->SetBeepOnError(false);
    Keys("9");
    EXPECT_EQ(MessageBeepCount(), beeps + 2) << "a silent calculator";
    // English: the decimal key is the period.
    FormatSettings().DecimalSeparator = '.';
    c->ArrangeButtons();
    EXPECT_EQ(c->Buttons(vxcbDecimal).Text, ".");
    Driver().PressKey(VK_ESCAPE);
    Keys("1.5*2=");
    EXPECT_EQ(c->text, "3");
}

TEST_F(Calculator, HeldBackspaceRepeatsAndAHeldDigitEntersOnce) {
    TForm* form = MakeForm("F", 320, 240);
    TTextCalculator* c = MakeCalc(form);
    for (int i = 0; i < 3; ++i) InjectKey('7', true);
    InjectKey('7', false);
    Driver().Pump();
    EXPECT_EQ(c->text, "7");
    Keys("654");
    for (int i = 0; i < 3; ++i) InjectKey(VK_BACK, true);
    Driver().Pump();
    EXPECT_TRUE(c->Buttons(vxcbBack).Down);
    InjectKey(VK_BACK, false);
    Driver().Pump();
    EXPECT_EQ(c->text, "7");
    EXPECT_FALSE(c->Buttons(vxcbBack).Down);
}

TEST_F(Calculator, MemoryGreysItsButtonsAndAResizeClearsIt) {
    TForm* form = MakeForm("F", 480, 360);
    TTextCalculator* c = MakeCalc(form);
    EXPECT_TRUE(c->Buttons(vxcbMC).Grayed);
    EXPECT_TRUE(c->Buttons(vxcbMR).Grayed);
    const TRect mr = c->Buttons(vxcbMR).Bounds;
    EXPECT_EQ(WindowPixel(c, {(mr.Left + mr.Right) / 2 - 1, (mr.Top + mr.Bottom) / 2}), ColorToRGB(clBtnShadow))
        << "grey caption";
    Keys("12");
    Driver().PressKey('M', TShiftState{ssCtrl});
    EXPECT_FALSE(c->Buttons(vxcbMC).Grayed);
    Keys("3");
    Driver().PressKey('P', TShiftState{ssCtrl});
    EXPECT_EQ(c->Memory(), 15);
    Driver().PressKey(VK_ESCAPE);
    Driver().PressKey('R', TShiftState{ssCtrl});
    EXPECT_EQ(c->text, "15");
    Keys("0");
    EXPECT_EQ(c->text, "150") << "a recalled number goes on taking digits";
    Keys("+");
    EXPECT_EQ(c->LastOperation(), vxcbAdd);
    c->SetBounds(c->Left(), c->Top(), 300, 200);
    EXPECT_EQ(c->Memory(), 0);
    EXPECT_EQ(c->LastOperation(), vxcbEqual);
    EXPECT_TRUE(c->Buttons(vxcbMR).Grayed);
    Driver().PressKey('L', TShiftState{ssCtrl});
    EXPECT_EQ(c->Memory(), 0);
}

TEST_F(Calculator, PasteDropsTheCurrencyStringAndCopyTakesTheText) {
    TForm* form = MakeForm("F", 320, 240);
    TTextCalculator* c = MakeCalc(form);
    Clipboard()->SetAsText("€ 12,5");
    Driver().PressKey(VK_INSERT, TShiftState{ssShift});
    EXPECT_EQ(c->text, "12,5");
    EXPECT_EQ(c->Status(), vxcsValid);
    Clipboard()->SetAsText(" 7,25 €");
    Keys(std::string(1, '\x16'));
    EXPECT_EQ(c->text, "7,25");
    Clipboard()->SetAsText("zwölf");
    Driver().PressKey(VK_INSERT, TShiftState{ssShift});
    EXPECT_EQ(c->text, "0");
    FormatSettings().CurrencyString = "$";
    FormatSettings().DecimalSeparator = '.';
    Clipboard()->SetAsText("$3.5");
    Driver().PressKey(VK_INSERT, TShiftState{ssShift});
    EXPECT_EQ(c->text, "3.5");
    Keys("1");
    Driver().PressKey(VK_INSERT, TShiftState{ssCtrl});
    EXPECT_EQ(Clipboard()->AsText(), "3.51");
}

TEST_F(Calculator, EachFailureEntersTheErrorStateThatOnlyCAndCELeave) {
    TForm* form = MakeForm("F", 320, 240);
    TTextCalculator* c = MakeCalc(form);
    int errors = 0;
    c->OnError = [&](TObject*) { ++errors; };
    auto fails = [&](const std::string& keys, uint16_t extra) {
        Driver().PressKey(VK_ESCAPE);
        Keys(keys);
        if (extra) Driver().PressKey(extra);
        return c->text == kvxCalcErrorText && c->Status() == vxcsError;
    };
    EXPECT_TRUE(fails("1/0=", 0));
    Driver().PressKey(VK_ESCAPE);
    Keys("4");
    Driver().PressKey(VK_F9);
    Keys("@");
    EXPECT_EQ(c->text, kvxCalcErrorText) << "square root of a negative number";
    Driver().PressKey(VK_DELETE);
    Keys("0");
    Driver().PressKey('R');
    EXPECT_EQ(c->text, kvxCalcErrorText) << "reciprocal of zero";
    const int before = errors;
    const unsigned beeps = MessageBeepCount();
    Keys("5+");
    Driver().PressKey('M', TShiftState{ssCtrl});
    EXPECT_EQ(c->text, kvxCalcErrorText);
    EXPECT_EQ(errors, before + 3) << "every further button repeats the error";
    EXPECT_EQ(MessageBeepCount(), beeps + 3);
    Driver().PressKey(VK_DELETE);
    EXPECT_EQ(c->text, "0");
    EXPECT_EQ(c->Status(), vxcsFirst);
    Keys("1/0=");
    Driver().PressKey(VK_ESCAPE);
    Keys("8");
    EXPECT_EQ(c->text, "8");
}

TEST_F(Calculator, AnOverflowIsTheErrorStateAndTheMemoryKeepsItsLastGoodValue) {
    TForm* form = MakeForm("F", 320, 240);
    TTextCalculator* c = MakeCalc(form);
    auto paste = [&](const std::string& s) {
        Clipboard()->SetAsText(s);
        Driver().PressKey(VK_INSERT, TShiftState{ssShift});
    };
    paste("1E4000");
    Keys("*");
    paste("1E4000");
    Keys("=");
    EXPECT_EQ(c->text, kvxCalcErrorText);
    EXPECT_EQ(c->Status(), vxcsError);
    Keys("5+");
    EXPECT_EQ(c->text, kvxCalcErrorText) << "later keys keep the error, no conversion fault";
    Driver().PressKey(VK_ESCAPE);
    EXPECT_EQ(c->text, "0");
    paste("1E5000");
    EXPECT_EQ(c->text, "0") << "a pasted number past the range is no number";
    // Memory plus that overflows.
    paste("1E4932");
    Driver().PressKey('M', TShiftState{ssCtrl});
    Driver().PressKey('P', TShiftState{ssCtrl});
    EXPECT_EQ(c->text, kvxCalcErrorText);
    Driver().PressKey(VK_ESCAPE);
    Driver().PressKey('R', TShiftState{ssCtrl});
    EXPECT_EQ(c->text, "1E4932");
}

TEST_F(Calculator, LayoutFollowsTheClientSize) {
    TForm* form = MakeForm("F", 640, 480);
    TTextCalculator* c = MakeCalc(form);
    // The construction size 207 x 137 settles on 23-pixel buttons.
    EXPECT_EQ(c->ButtonHeight(), 23);
    EXPECT_EQ(c->ButtonWidth(), 29);
    EXPECT_EQ(c->Gap(), 4);
    EXPECT_EQ(c->WideButtonWidth(), 49);
    EXPECT_EQ(c->FontSize(), 8);
    EXPECT_EQ(c->ClientWidth(), 210);
    EXPECT_EQ(c->ClientHeight(), 139);
    EXPECT_EQ(c->Buttons(vxcbMC).Bounds, Rect(4, 31, 33, 54));
    EXPECT_EQ(c->Buttons(vxcb7).Bounds, Rect(45, 31, 74, 54));
    EXPECT_EQ(c->Buttons(vxcbEqual).Bounds, Rect(177, 112, 206, 135));
    EXPECT_EQ(c->Buttons(vxcbC).Bounds, Rect(157, 4, 206, 27));
    EXPECT_EQ(c->Buttons(vxcbCE).Bounds, Rect(104, 4, 153, 27));
    EXPECT_EQ(c->Buttons(vxcbBack).Bounds, Rect(51, 4, 100, 27));
    c->SetBounds(c->Left(), c->Top(), 414, 274);
    EXPECT_EQ(c->ButtonHeight(), 45);
    EXPECT_EQ(c->ButtonWidth(), 57);
    EXPECT_EQ(c->Gap(), 8);
    EXPECT_EQ(c->WideButtonWidth(), 97);
    EXPECT_EQ(c->FontSize(), 16);
    EXPECT_EQ(c->ClientWidth(), 410);
    EXPECT_EQ(c->ClientHeight(), 273);
    EXPECT_EQ(c->Buttons(vxcbEqual).Bounds.Right, c->ClientWidth() - 8);
}

TEST_F(Calculator, ThreeButtonStylesAndTheHotButton) {
    TForm* form = MakeForm("F", 320, 240);
    TTextCalculator* c = MakeCalc(form);
    const TRect r = c->Buttons(vxcb5).Bounds;
    const TPoint corner{r.Left, r.Top};
    const TPoint bottom{r.Right - 1, r.Bottom - 1};
    // Standard: the push-button frame (light top-left, dark bottom-right).
    EXPECT_EQ(WindowPixel(c, corner), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(WindowPixel(c, bottom), ColorToRGB(cl3DDkShadow));
    c->SetButtonStyle(bsFlat);
    EXPECT_EQ(WindowPixel(c, corner), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(WindowPixel(c, bottom), ColorToRGB(clBtnShadow));
    c->SetButtonStyle(bsExtraFlat);
    EXPECT_EQ(WindowPixel(c, corner), ColorToRGB(clBtnFace)) << "no frame until hot";
    Driver().MoveTo(c, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    Driver().Pump();
    EXPECT_EQ(c->HotButton(), vxcb5);
    EXPECT_EQ(WindowPixel(c, corner), ColorToRGB(clBtnHighlight));
    Driver().MoveTo(c, {1, 1});
    Driver().Pump();
    EXPECT_EQ(c->HotButton(), vxcbNone);
    EXPECT_EQ(WindowPixel(c, corner), ColorToRGB(clBtnFace));
    // Pressed with the mouse: the sunken edge; released off the button: no click.
    Driver().MouseDown(c, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    Driver().Pump();
    EXPECT_EQ(WindowPixel(c, corner), ColorToRGB(clBtnShadow));
    Driver().MouseUp(c, {1, 1});
    Driver().Pump();
    EXPECT_EQ(c->text, "0");
    // The frame around each button.
    c->SetShowButtonFrame(true);
    EXPECT_EQ(WindowPixel(c, {(r.Left + r.Right) / 2, r.Top + 3}), ColorToRGB(clBtnShadow));
}
