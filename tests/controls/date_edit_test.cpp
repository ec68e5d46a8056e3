// The date editor: text to date (locale order, two-digit years, time), date words,
// validation paths, the mask, and the calendar it drops down.

#include "controls/vx_standalone_edits.h"
#include "platform/forms/button.h"
#include "platform/rtl/locale.h"
#include "platform/sync/clock.h"
#include "platform/win/input.h"
#include "tests/controls/vx_editor_test_support.h"

namespace {

TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }

TDateTime Parse(const std::string& s) {
    TDateTime v = -1;
    return TextToDate(s, v) ? v : -1;
}

}  // namespace

// The manual clock stands at Thursday, 2026-03-05 14:30 (UTC).
class DateEdit : public EditorTest {
protected:
    ScopedManualClock clock_;
};

TEST_F(DateEdit, DateWordsCountFromToday) {
    const TDateTime today = D(2026, 3, 5);
    ASSERT_EQ(static_cast<double>(RoundTime(Date())), today);
    EXPECT_EQ(Parse("today + 3"), today + 3);
    EXPECT_EQ(Parse("TODAY-2"), today - 2);
    EXPECT_EQ(Parse("todayx"), today) << "the first word that matches wins";
    EXPECT_EQ(Parse("yesterday"), today - 1);
    EXPECT_EQ(Parse("Tomorrow"), today + 1);
    EXPECT_EQ(Parse("eom"), D(2026, 3, 31));
    EXPECT_EQ(Parse("bom + 1"), D(2026, 3, 2));
    EXPECT_EQ(Parse("monday"), D(2026, 3, 9)) << "the next Monday";
    EXPECT_EQ(Parse("thursday"), today) << "today itself";
    EXPECT_EQ(Parse("wednesday"), D(2026, 3, 11));
    EXPECT_EQ(Parse("first"), D(2026, 3, 1)) << "Sunday of this week";
    EXPECT_EQ(Parse("seventh"), D(2026, 3, 7));
    const TDateTime now = Parse("now");
    EXPECT_NEAR(now, Now(), 1e-6);
    EXPECT_NE(now, today);
    EXPECT_THROW(Parse("today + x"), EConvertError);
    // February's end in a leap year.
    clock_->SetUnixMillis(1709210000000);  // 2024-02-29
    EXPECT_EQ(Parse("eom"), D(2024, 2, 29));
}

TEST_F(DateEdit, TextReadsInTheLocaleOrderWithTwoDigitYearsAndTime) {
    EXPECT_EQ(Parse("06.12.2026"), D(2026, 12, 6));
    EXPECT_EQ(Parse(" 6.12.26 "), D(2026, 12, 6));
    EXPECT_EQ(Parse("1.1.80"), D(1980, 1, 1)) << "50 years back";
    EXPECT_EQ(Parse("1.1.75"), D(2075, 1, 1)) << "49 years ahead";
    EXPECT_EQ(Parse("24.12."), D(2026, 12, 24)) << "this year";
    EXPECT_DOUBLE_EQ(Parse("06.12.2026 13:45"), D(2026, 12, 6) + EncodeTime(13, 45, 0, 0));
    EXPECT_EQ(Parse("31.02.2026"), -1);
    EXPECT_EQ(Parse("abc"), -1);
    EXPECT_EQ(Parse(""), -1);
    EXPECT_EQ(Parse("1.2.3.4"), -1);
    FormatSettings().ShortDateFormat = "MM/dd/yyyy";
    FormatSettings().DateSeparator = '/';
    EXPECT_EQ(Parse("12/06/2026"), D(2026, 12, 6));
    FormatSettings().ShortDateFormat = "yyyy-MM-dd";
    FormatSettings().DateSeparator = '-';
    EXPECT_EQ(Parse("2026-12-06"), D(2026, 12, 6));
}

TEST_F(DateEdit, MaskFromTheShortDateFormat) {
    EXPECT_EQ(BuildDateMask(), "!99.99.9999;1; ");
    FormatSettings().ShortDateFormat = "d.M.yyyy";
    EXPECT_EQ(BuildDateMask(), "!99.99.9999;1; ");
    EXPECT_EQ(FixedWidthDateFormat(), "dd.MM.yyyy");
    FormatSettings().ShortDateFormat = "dd-MMM-yy";
    EXPECT_EQ(BuildDateMask(), "!99-lll-99;1; ");
    FormatSettings().ShortDateFormat = "d.M.yyyy";
    TForm* form = MakeForm("F");
    auto* e = Add<TvxDateEdit>(form, "D", 8, 8);
    e->SetDate(D(2026, 3, 5));
    EXPECT_EQ(e->WindowText(), "5.3.2026");
    e->SetUseEditMask(true);
    EXPECT_TRUE(e->IsMasked());
    EXPECT_EQ(e->EditMask(), "!99.99.9999;1; ");
    EXPECT_EQ(e->WindowText(), "05.03.2026");
    e->SetDate(NullDate);
    std::string shown = "x";
    e->GetDisplayText(shown);
    EXPECT_EQ(shown, "") << "only the mask's literals";
    e->SetUseEditMask(false);
    EXPECT_FALSE(e->IsMasked());
    EXPECT_FALSE(e->IsAssigned(avEditMask));
}

TEST_F(DateEdit, ValidationFallsBackOrRaises) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxDateEdit>(form, "D", 8, 8);
    int dateChanges = 0;
    e->OnDateChange = [&](TObject*) { ++dateChanges; };
    e->SetDate(D(2026, 1, 2));
    EXPECT_EQ(dateChanges, 1);
    e->SetDate(D(2026, 1, 2));
    EXPECT_EQ(dateChanges, 1) << "the same date again";
    form->Show();
    Driver().Pump();
    ASSERT_TRUE(e->Focused());
    // Typed text becomes the date on Enter and is written back in the display format.
    e->SelectAll();
    Driver().Type("today + 3");
    Driver().Enter();
    Driver().Pump();
    EXPECT_EQ(e->Date(), D(2026, 3, 8));
    EXPECT_EQ(e->WindowText(), "08.03.2026");
    EXPECT_EQ(dateChanges, 2);
    // Not a date: empty with deNull, today with deToday.
    e->SelectAll();
    Driver().Type("abc");
    Driver().Enter();
    Driver().Pump();
    EXPECT_EQ(e->Date(), NullDate);
    EXPECT_EQ(e->WindowText(), "");
    e->SetDateOnError(deToday);
    Driver().Type("abc");
    Driver().Enter();
    Driver().Pump();
    EXPECT_EQ(e->Date(), D(2026, 3, 5));
    // An empty text is no date whatever DateOnError says.
    e->SelectAll();
    Driver().PressKey(VK_DELETE);
    Driver().Enter();
    Driver().Pump();
    EXPECT_EQ(e->Date(), NullDate);

    // With DateValidation: beep, "Invalid Date", the editor stays open on a press elsewhere.
    e->SetDateValidation(true);
    Driver().Type("xyz");
    const unsigned beeps = MessageBeepCount();
    try {
        e->ValidateEdit();
        ADD_FAILURE() << "no exception";
    } catch (const Exception& ex) {
        EXPECT_EQ(ex.Message(), "Invalid Date");
    }
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    EXPECT_TRUE(e->KeepOpenOnMouseDown());
    EXPECT_EQ(e->Date(), NullDate);
    // The hook may accept the text and give a date, or reject a date with its own text.
    e->OnDateValidateInput = [](TObject*, const std::string& text, TDateTime& date, std::string& msg, bool& error) {
        if (text == "xyz") {
            date = EncodeDate(2000, 1, 1);
            error = false;
        } else {
            msg = "Kein Sonntag";
            error = true;
        }
    };
    e->ValidateEdit();
    EXPECT_EQ(e->Date(), D(2000, 1, 1));
    EXPECT_FALSE(e->KeepOpenOnMouseDown());
    e->SelectAll();
    Driver().Type("1.3.2026");
    EXPECT_THROW(
        {
            try {
                e->ValidateEdit();
            } catch (const Exception& ex) {
                EXPECT_EQ(ex.Message(), "Kein Sonntag");
                throw;
            }
        },
        Exception);
    // ResetOnInvalid: the saved text comes back and is cleared instead of an error.
    e->OnDateValidateInput = nullptr;
    e->SetResetOnInvalid(true);
    e->ValidateEdit();
    EXPECT_EQ(e->WindowText(), "");
}

TEST_F(DateEdit, EditValuesLoadWithoutEvents) {
    TForm* form = MakeForm("F");
    auto* e = Add<TvxDateEdit>(form, "D", 8, 8);
    EXPECT_EQ(e->ClassName(), "TvxDateEdit");
    EXPECT_EQ(e->Width(), 121);
    int dateChanges = 0, changes = 0;
    e->OnDateChange = [&](TObject*) { ++dateChanges; };
    e->OnChange = [&](TObject*) { ++changes; };
    e->SetEditValue(Variant::FromDate(D(2026, 7, 1)));
    EXPECT_EQ(e->Date(), D(2026, 7, 1));
    EXPECT_EQ(dateChanges, 0);
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(e->DateChanged());
    Variant v;
    e->GetDisplayValue(v);
    EXPECT_EQ(v.AsDate(), D(2026, 7, 1));
    e->SetEditValue(Variant(std::string()));
    EXPECT_EQ(e->Date(), NullDate);
    e->GetDisplayValue(v);
    EXPECT_TRUE(v.IsNull());
}

TEST_F(DateEdit, CalendarOpensAtTheTextsDateAndPicksKeepingTheTime) {
    TForm* form = MakeForm("F", 320, 300);
    auto* e = Add<TvxDateEdit>(form, "D", 8, 8);
    e->SetDate(D(2025, 11, 20) + EncodeTime(8, 15, 0, 0));
    form->Show();
    Driver().Pump();
    Driver().PressKey(VK_DOWN, TShiftState{ssAlt});
    Driver().Pump();
    TvxGridDatePopup* cal = e->Calendar();
    ASSERT_NE(cal, nullptr);
    ASSERT_TRUE(IsWindowVisible(cal->Handle()));
    EXPECT_TRUE(e->IsDroppedDown());
    EXPECT_TRUE(cal->Focused()) << "the calendar takes the focus";
    EXPECT_EQ(cal->FirstDate(), D(2025, 11, 1));
    EXPECT_EQ(cal->GetSelectionStart(), D(2025, 11, 20));
    EXPECT_DOUBLE_EQ(e->LastDate(), D(2025, 11, 20) + EncodeTime(8, 15, 0, 0));
    // Right, Enter: the 21st, with the time of day kept.
    Driver().PressKey(VK_RIGHT);
    Driver().Enter();
    Driver().Pump();
    EXPECT_FALSE(IsWindowVisible(cal->Handle()));
    EXPECT_FALSE(e->IsDroppedDown());
    EXPECT_TRUE(e->Focused());
    EXPECT_DOUBLE_EQ(e->Date(), D(2025, 11, 21) + EncodeTime(8, 15, 0, 0));
    EXPECT_TRUE(e->Modified());
    // A text that is no date: the calendar opens at today and LastDate holds no date.
    e->SelectAll();
    Driver().Type("quatsch");
    Driver().PressKey(VK_F4);
    Driver().Pump();
    ASSERT_TRUE(IsWindowVisible(cal->Handle()));
    EXPECT_EQ(e->LastDate(), NullDate);
    EXPECT_EQ(cal->GetSelectionStart(), D(2026, 3, 5));
    // Escape closes without a date; the editor has the focus again.
    Driver().Escape();
    Driver().Pump();
    EXPECT_FALSE(IsWindowVisible(cal->Handle()));
    EXPECT_FALSE(e->IsDroppedDown());
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(e->WindowText(), "quatsch");
    // The button opens it too, and Clear empties the date.
    e->SetDate(D(2025, 1, 1));
    Driver().PressKey(VK_F4);
    Driver().Pump();
    TRect clear = cal->ClearButtonRect();
    TPoint at = Point((clear.Left + clear.Right) / 2, (clear.Top + clear.Bottom) / 2);
    Driver().MouseDown(cal, at);
    Driver().MouseUp(cal, at);
    Driver().Pump();
    EXPECT_EQ(e->Date(), NullDate);
    EXPECT_EQ(e->WindowText(), "");
}

TEST_F(DateEdit, EnterConvertsTheTypedWordBeforeTheDefaultButtonIsClicked) {
    TForm* form = MakeForm("F", 320, 200);
    auto* e = Add<TvxDateEdit>(form, "D", 8, 8);
    auto* ok = Add<TButton>(form, "OK", 8, 100);
    ok->SetDefault(true);
    std::vector<TDateTime> seen;
    ok->OnClick = [&](TObject*) { seen.push_back(e->Date()); };
    form->Show();
    e->SetFocus();
    Driver().Pump();
    Driver().Type("today+1");
    Driver().Enter();
    Driver().Pump();
    ASSERT_EQ(seen.size(), 1u) << "Enter still clicks the default button";
    EXPECT_EQ(seen[0], D(2026, 3, 6));
    EXPECT_EQ(e->WindowText(), "06.03.2026");
}

TEST_F(DateEdit, OneEnterOnAnInvalidDateReportsOnce) {
    TForm* form = MakeForm("F", 320, 200);
    auto* e = Add<TvxDateEdit>(form, "D", 8, 8);
    e->SetDateValidation(true);
    ReportedErrors reports;
    int validations = 0;
    e->OnDateValidateInput = [&](TObject*, const std::string&, TDateTime&, std::string&, bool&) { ++validations; };
    form->Show();
    e->SetFocus();
    Driver().Pump();
    Driver().Type("32.01.2026");
    Driver().Enter();
    Driver().Pump();
    EXPECT_EQ(validations, 1);
    EXPECT_EQ(reports.messages, std::vector<std::string>{"Invalid Date"});
    EXPECT_TRUE(e->KeepOpenOnMouseDown()) << "the failed Enter still holds the editor";
    // A good date on the next Enter is taken, once.
    e->SelectAll();
    Driver().Type("31.01.2026");
    Driver().Enter();
    Driver().Pump();
    EXPECT_EQ(validations, 2);
    EXPECT_EQ(reports.messages.size(), 1u);
    EXPECT_EQ(e->Date(), D(2026, 1, 31));
}
