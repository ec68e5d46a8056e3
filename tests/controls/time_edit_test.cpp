// The time editor: the part under the caret, the typing filter, spinning to the ends of
// the day, the date part kept aside and the formats.

#include "controls/vx_time_edit.h"
#include "platform/win/input.h"
#include "tests/controls/vx_editor_test_support.h"
#include "tests/controls/vx_standalone_test_support.h"

namespace {
using TTimeEdit = StandAlone<TvxInplaceTimeEdit, TvxInplaceTimeEditClass>;
}  // namespace

class TimeEdit : public EditorTest {
protected:
    TTimeEdit* MakeEdit(TForm* form) {
        auto* e = Add<TTimeEdit>(form, "E", 8, 8);
        form->Show();
        e->SetFocus();
        Driver().Pump();
        return e;
    }
};

TEST_F(TimeEdit, CaretPartDecidesTheStepAndSpinningStopsAtTheEndsOfTheDay) {
    for (bool english : {false, true}) {
        SCOPED_TRACE(english ? "English" : "German");
        if (english) FormatSettings().DecimalSeparator = '.';
        TForm* form = MakeForm(english ? "En" : "De");
        TTimeEdit* e = MakeEdit(form);
        e->SetEditValue(Variant(EncodeTime(23, 59, 30, 0)));
        EXPECT_EQ(e->WindowText(), "23:59:30");
        e->SetSelRange(0, 1, true);
        EXPECT_EQ(e->CurrentTimeField(), 'H');
        e->SetSelRange(2, 3, true);
        EXPECT_EQ(e->CurrentTimeField(), 'H') << "a colon counts to its left";
        e->SetSelRange(4, 5, true);
        EXPECT_EQ(e->CurrentTimeField(), 'N');
        e->SetSelRange(7, 8, true);
        EXPECT_EQ(e->CurrentTimeField(), 'S') << "the seconds are reachable";
        Driver().PressKey(VK_UP);
        EXPECT_EQ(e->WindowText(), "23:59:31");
        EXPECT_EQ(e->SelStart(), 7) << "the caret stays on the seconds";
        for (int i = 0; i < 40; ++i) Driver().PressKey(VK_UP);
        EXPECT_GE(e->WindowText(), "23:59:58");
        EXPECT_LE(e->WindowText(), "23:59:59");
        e->SetSelRange(0, 1, true);
        Driver().PressKey(VK_UP);
        EXPECT_EQ(e->WindowText().substr(0, 2), "23") << "an hour more leaves the day: refused";
        e->SetEditValue(Variant(0.0));
        EXPECT_EQ(e->WindowText(), "00:00:00");
        e->SetSelRange(4, 5, true);
        Driver().PressKey(VK_DOWN);
        EXPECT_EQ(e->WindowText(), "00:00:00");
        Driver().PressKey(VK_UP);
        EXPECT_EQ(e->WindowText(), "00:01:00");
        EXPECT_TRUE(e->Modified());
        form->Release();
        Driver().Pump();
    }
}

TEST_F(TimeEdit, TypingOnlyMakesValidTimes) {
    TForm* form = MakeForm("F");
    TTimeEdit* e = MakeEdit(form);
    e->SetSelRange(0, 1, true);
    const unsigned beeps = MessageBeepCount();
    Driver().Type("3");
    EXPECT_EQ(e->WindowText(), "00:00:00");
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    Driver().Type("24");
    EXPECT_EQ(e->WindowText(), "20:00:00") << "24 o'clock is no time";
    Driver().Type("3");
    EXPECT_EQ(e->WindowText(), "23:00:00");
    Driver().Type("6");
    EXPECT_EQ(e->WindowText(), "23:00:00") << "no 60 minutes";
    Driver().Type("59");
    Driver().Type("7");
    EXPECT_EQ(e->WindowText(), "23:59:00");
    Driver().Type("59");
    EXPECT_EQ(e->WindowText(), "23:59:59");
    e->SetSelRange(0, 1, true);
    Driver().Type("1");
    Driver().Type("9");
    EXPECT_EQ(e->WindowText(), "19:59:59") << "after a 1 every second digit";
}

TEST_F(TimeEdit, DatePartIsKeptAsideAndEmptyGivesCurrencyZero) {
    TForm* form = MakeForm("F");
    TTimeEdit* e = MakeEdit(form);
    e->SetModified(false);
    e->SetEditValue(Variant(2.75));
    EXPECT_EQ(e->WindowText(), "18:00:00");
    EXPECT_FALSE(e->Modified()) << "a loaded value is no edit";
    Variant v;
    e->GetDisplayValue(v);
    EXPECT_DOUBLE_EQ(v.AsDouble(), 2.75);
    e->SetEditValue(Variant(-1.25));
    e->GetDisplayValue(v);
    EXPECT_DOUBLE_EQ(v.AsDouble(), -1.25) << "the time of a day before 1899 goes back the same way";
    e->SetEditValue(Variant::Null());
    e->GetDisplayValue(v);
    EXPECT_FALSE(v.IsNull());
    EXPECT_EQ(v.VarType(), varCurrency);
    EXPECT_EQ(v.AsDouble(), 0);
    EXPECT_EQ(e->WindowText(), "00:00:00");
    e->SetEditValue(Variant(std::string()));
    EXPECT_EQ(e->DatePart(), 0);
    // Values outside the day are ignored.
    e->SetTime(EncodeTime(8, 0, 0, 0));
    e->SetTime(1.5);
    EXPECT_EQ(e->WindowText(), "08:00:00");
    e->SetReadOnly(true);
    e->SetTime(EncodeTime(9, 0, 0, 0));
    EXPECT_EQ(e->WindowText(), "08:00:00") << "a read-only editor takes no new time";
}

TEST_F(TimeEdit, AStoredFractionOfASecondShowsCutAndGoesBackUntilTheTimeIsChanged) {
    TForm* form = MakeForm("F");
    TTimeEdit* e = MakeEdit(form);
    e->SetEditValue(Variant(static_cast<double>(EncodeTime(9, 15, 0, 0))));
    EXPECT_EQ(e->WindowText(), "09:15:00");
    const double late = 3 + static_cast<double>(EncodeTime(23, 59, 59, 400));
    e->SetEditValue(Variant(late));
    EXPECT_EQ(e->WindowText(), "23:59:59");
    Variant v;
    e->GetDisplayValue(v);
    EXPECT_DOUBLE_EQ(v.AsDouble(), late) << "untouched, the value goes back as it came";
    // The caret in the minutes, one step down: what the user changed is written back.
    e->SetSelRange(4, 5, false);
    Driver().PressKey(VK_DOWN);
    Driver().Pump();
    EXPECT_EQ(e->WindowText(), "23:58:59");
    e->GetDisplayValue(v);
    EXPECT_DOUBLE_EQ(v.AsDouble(), 3 + static_cast<double>(EncodeTime(23, 58, 59, 0)));
}

TEST_F(TimeEdit, FormatChangesTheMaskAtOnce) {
    TForm* form = MakeForm("F");
    TTimeEdit* e = MakeEdit(form);
    EXPECT_EQ(e->EditMask(), "00:00:00;1;0");
    e->SetEditValue(Variant(EncodeTime(7, 45, 10, 0)));
    e->SetTimeEditFormat(tfHourMin);
    EXPECT_EQ(e->EditMask(), "00:00;1;0");
    e->SetEditValue(Variant(EncodeTime(7, 45, 10, 0)));
    EXPECT_EQ(e->WindowText(), "07:45");
    e->SetSelRange(4, 5, true);
    EXPECT_EQ(e->CurrentTimeField(), 'N');
    e->SetEditMask("99");
    e->SetTimeEditFormat(tfHourMin);
    EXPECT_EQ(e->EditMask(), "99") << "the same format again does nothing";
    e->SetTimeEditFormat(tfHour);
    e->SetEditValue(Variant(EncodeTime(7, 45, 10, 0)));
    EXPECT_EQ(e->WindowText(), "07");
    Driver().PressKey(VK_UP);
    EXPECT_EQ(e->WindowText(), "08");
}
