// The currency editor: the typing filter, both decimal separators, bounds, the null value,
// paste, the unfocused display format and the locale's change notice.

#include "controls/vx_currency_edit.h"
#include "controls/vx_date_edit.h"
#include "platform/forms/clipboard.h"
#include "platform/forms/control_messages.h"
#include "platform/forms/locale_notice.h"
#include "platform/win/input.h"
#include "tests/controls/vx_editor_test_support.h"
#include "tests/controls/vx_standalone_test_support.h"

namespace {

using TCurrencyEdit = StandAlone<TvxInplaceCurrencyEdit, TvxInplaceCurrencyEditClass>;

std::string Painted(TvxInplaceEdit* e) {
    Variant v;
    e->GetEditValue(v, false);
    return VarToStr(v);
}

void UseEnglish() {
    TFormatSettings& fs = FormatSettings();
    fs.DecimalSeparator = '.';
    fs.ThousandSeparator = ',';
    fs.CurrencyString = std::string("$");
    fs.CurrencyFormat = 0;
}

}  // namespace

class CurrencyEdit : public EditorTest {
protected:
    TCurrencyEdit* MakeEdit(TForm* form) {
        auto* e = Add<TCurrencyEdit>(form, "E", 8, 8);
        other_ = Add<TCurrencyEdit>(form, "O", 8, 40);
        form->Show();
        e->SetFocus();
        Driver().Pump();
        return e;
    }
    void Leave() {
        other_->SetFocus();
        Driver().Pump();
    }
    TCurrencyEdit* other_ = nullptr;
};

TEST_F(CurrencyEdit, TypingKeepsANumberWithAtMostDecimalPlacesDecimals) {
    TForm* form = MakeForm("F");
    TCurrencyEdit* e = MakeEdit(form);
    const unsigned beeps = MessageBeepCount();
    Driver().Type("12,345");
    EXPECT_EQ(e->Text(), "12,34");
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    e->SetSelStart(0);
    e->SetSelLength(0);
    Driver().Type("9");
    EXPECT_EQ(e->Text(), "912,34") << "a digit before the separator";
    Driver().Type("x,");
    EXPECT_EQ(e->Text(), "912,34") << "a letter and a second separator";
    EXPECT_EQ(MessageBeepCount(), beeps + 3);
    e->SetText("");
    Driver().Type("-1.5");
    EXPECT_EQ(e->Text(), "-1,5") << "a period is the German decimal separator too";
    EXPECT_DOUBLE_EQ(e->GetValue(), -1.5);
    e->SetDecimalPlaces(0);
    e->SetText("");
    Driver().Type("7,5");
    EXPECT_EQ(e->Text(), "7,") << "a separator without decimals is still a number";
    // The thousands separator only when allowed.
    e->SetUseThousandSeparator(true);
    e->SetText("1");
    e->SetSelStart(1);
    Driver().Type(".");
    EXPECT_EQ(e->Text(), "1.");
    EXPECT_DOUBLE_EQ(e->GetValue(), 1);
}

TEST_F(CurrencyEdit, BothSeparatorsReadAsTheDecimalInGermanAndEnglish) {
    TForm* form = MakeForm("F");
    TCurrencyEdit* e = MakeEdit(form);
    Driver().Type("1,5");
    EXPECT_DOUBLE_EQ(e->GetValue(), 1.5);
    UseEnglish();
    e->SetText("");
    Driver().Type("1,5");
    EXPECT_EQ(e->Text(), "1.5");
    EXPECT_DOUBLE_EQ(e->GetValue(), 1.5);
    double v = 0;
    EXPECT_TRUE(TryStrToDouble("1,234.5", v));
    EXPECT_DOUBLE_EQ(v, 1234.5);
    EXPECT_FALSE(TryStrToDouble("1e999", v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(TryStrToDouble("0", v));
}

TEST_F(CurrencyEdit, BoundsApplyWhenTheEditorIsLeft) {
    TForm* form = MakeForm("F");
    TCurrencyEdit* e = MakeEdit(form);
    Driver().Type("25");
    Leave();
    EXPECT_EQ(e->Text(), "25") << "no bounds while both are 0";
    e->SetModified(false);
    e->SetMinMaxValues(10, 20);
    EXPECT_EQ(e->Text(), "20") << "new bounds clamp at once";
    EXPECT_FALSE(e->Modified()) << "a programmatic value is no edit";
    e->SetFocus();
    Driver().Pump();
    e->SelectAll();
    Driver().Type("5");
    Leave();
    EXPECT_EQ(e->Text(), "10");
    e->SetMaxValue(3);
    EXPECT_EQ(e->MaxValue(), 10) << "never below the minimum";
    e->SetMinValue(50);
    EXPECT_EQ(e->MinValue(), 10) << "never above the maximum";
}

TEST_F(CurrencyEdit, NullableEmptyTextIsNullAndShowsTheNullString) {
    TForm* form = MakeForm("F");
    TCurrencyEdit* e = MakeEdit(form);
    e->SetText("1234,5");
    EXPECT_EQ(Painted(e), "1.234,50 €");
    e->SetText("");
    EXPECT_EQ(Painted(e), "0,00 €") << "not nullable: the format of 0";
    e->SetNullable(true);
    e->SetNullString("(leer)");
    EXPECT_EQ(Painted(e), "(leer)");
    Variant v;
    e->GetDisplayValue(v);
    EXPECT_TRUE(v.IsNull());
    Driver().Type("1");
    Driver().PressKey(VK_BACK);
    Leave();
    EXPECT_EQ(e->Text(), "") << "an empty nullable text stays empty";
    // Unfocused, the window shows the formatted value.
    e->SetText("2");
    int ink = 0;
    for (int y = 3; y < e->Height() - 3; ++y)
        for (int x = 12; x < 40; ++x) ink += WindowPixel(e, {x, y}) != ColorToRGB(clWindow);
    EXPECT_GT(ink, 10) << "\"2,00 €\" reaches past the bare \"2\"";
    e->SetDisplayFormatAssigned("");
    EXPECT_EQ(Painted(e), "2");
}

TEST_F(CurrencyEdit, PasteOfNoNumberIsRolledBack) {
    TForm* form = MakeForm("F");
    TCurrencyEdit* e = MakeEdit(form);
    Driver().Type("42");
    Clipboard()->SetAsText("abc");
    Driver().PressKey('V', TShiftState{ssCtrl});
    EXPECT_EQ(e->Text(), "42");
    EXPECT_EQ(e->SelLength(), 2) << "all of it selected";
    Clipboard()->SetAsText("7,5");
    e->SelectAll();
    Driver().PressKey('V', TShiftState{ssCtrl});
    EXPECT_EQ(e->Text(), "7,5");
}

TEST_F(CurrencyEdit, LocaleChangesReachEveryEditorUnlessItsFormatWasAssigned) {
    TForm* form = MakeForm("F");
    TCurrencyEdit* e = MakeEdit(form);
    TCurrencyEdit* fixed = other_;
    fixed->SetDisplayFormatAssigned("0.0");
    EXPECT_EQ(e->DisplayFormat(), ",0.00 €;-,0.00 €");
    auto* date = Add<TvxInplaceDateEdit>(form, "D", 8, 80);
    date->SetUseEditMask(true);
    date->SetDate(EncodeDate(2026, 3, 5));
    EXPECT_EQ(date->WindowText(), "05.03.2026");
    UseEnglish();
    FormatSettings().CurrencyString = "U.S.";
    FormatSettings().CurrencyFormat = 3;
    FormatSettings().ShortDateFormat = "M/d/yyyy";
    FormatSettings().DateSeparator = '/';
    NotifyFormatSettingsChanged();
    EXPECT_EQ(e->DisplayFormat(), ",0.00 U'.'S'.';-,0.00 U'.'S'.'") << "the points quoted";
    e->SetText("1,234.5");
    EXPECT_EQ(Painted(e), "1,234.50 U.S.");
    EXPECT_EQ(fixed->DisplayFormat(), "0.0") << "an assigned format stays";
    EXPECT_EQ(date->WindowText(), "03/05/2026") << "the editors' own notice rebuilt the date mask";
}

TEST_F(CurrencyEdit, ALocaleChangeKeepsTheAmountAndShowsItInTheNewFormat) {
    TForm* form = MakeForm("F");
    TCurrencyEdit* e = MakeEdit(form);
    Driver().Type("1234,5");
    other_->SetText("-7,25");
    e->SetModified(false);
    UseEnglish();
    NotifyFormatSettingsChanged();
    EXPECT_EQ(e->WindowText(), "1234.5");
    EXPECT_DOUBLE_EQ(e->GetValue(), 1234.5);
    EXPECT_FALSE(e->Modified()) << "the same amount is no edit";
    EXPECT_DOUBLE_EQ(other_->GetValue(), -7.25);
    Leave();
    EXPECT_EQ(Painted(e), "$1,234.50");
    // And back, from what the English settings wrote.
    ResetFormatSettings();
    NotifyFormatSettingsChanged();
    EXPECT_DOUBLE_EQ(e->GetValue(), 1234.5);
    EXPECT_EQ(e->WindowText(), "1234,5");
}

TEST(LocaleNotice, ReachesEveryControlOfEveryForm) {
    struct Counter : TCustomControl {
        using TCustomControl::TCustomControl;
        void WndProc(TMessage& Message) override {
            if (Message.Msg == CM_WININICHANGE) ++count;
            TCustomControl::WndProc(Message);
        }
        int count = 0;
    };
    auto* form = new TForm(EnsureApplication());
    auto* outer = new Counter(form);
    outer->SetParent(form);
    auto* inner = new Counter(form);
    inner->SetParent(outer);
    NotifyFormatSettingsChanged();
    EXPECT_EQ(outer->count, 1);
    EXPECT_EQ(inner->count, 1);
    SendWinIniChange(outer);
    EXPECT_EQ(inner->count, 2);
    delete form;
    NotifyFormatSettingsChanged();  // the form is gone: nothing is reached
    ResetFormatSettings();
}
