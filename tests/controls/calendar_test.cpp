// The calendar pop-up: visible dates, keys, buttons, the arrows' repeat and the month list.

#include "controls/vx_calendar.h"
#include "controls/vx_standalone_edits.h"
#include "platform/rtl/locale.h"
#include "platform/sync/clock.h"
#include "platform/win/input.h"
#include "tests/controls/vx_editor_test_support.h"
#include "tests/support/screen_picture.h"

namespace {

TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }

}  // namespace

class Calendar : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        FormatSettings().FirstDayOfWeek = 0;  // Monday
        InitFirstDayOfWeek();
    }
    TvxGridDatePopup* MakePopup(TForm* form) {
        auto* editor = Add<TvxDateEdit>(form, "D", 8, 8);
        auto* p = new TvxGridDatePopup(editor);
        p->SetEditor(editor);
        p->SetShowClear(true);
        return p;
    }
    // Opens p at a screen point with the focus.
    void Open(TvxGridDatePopup* p, TDateTime date) {
        p->SetFirstDate(date);
        p->SelectDate(date);
        p->HandleNeeded();
        p->UpdateSize();
        p->SetBounds(100, 100, p->Width(), p->Height());
        p->ShowPopup();
        Driver().Pump();
    }
};

TEST_F(Calendar, DateRoutinesAndTheFirstDayOfTheWeek) {
    EXPECT_EQ(FirstDayOfWeek(), 1);
    FormatSettings().FirstDayOfWeek = 6;  // Sunday in the locale's coding
    InitFirstDayOfWeek();
    EXPECT_EQ(FirstDayOfWeek(), 0);
    EXPECT_EQ(ColOfDate(D(2024, 3, 3)), 0) << "a Sunday";
    FormatSettings().FirstDayOfWeek = 0;
    InitFirstDayOfWeek();
    EXPECT_EQ(ColOfDate(D(2024, 3, 3)), 6);
    EXPECT_EQ(ColOfDate(D(2024, 3, 4)), 0);
    int y = 2024, m = 1;
    DecMonth(y, m);
    EXPECT_EQ(y * 100 + m, 202312);
    IncMonth(y, m);
    EXPECT_EQ(y * 100 + m, 202401);
    AddMonths(y, m, -13);
    EXPECT_EQ(y * 100 + m, 202212);
    AddMonths(y, m, 14);
    EXPECT_EQ(y * 100 + m, 202402);
    EXPECT_EQ(ClampDay(2024, 2, 31), 29);
    EXPECT_EQ(ClampDay(2023, 2, 0), 1);
    EXPECT_EQ(DecodeDatePart(2, D(2024, 7, 9)), 7);
    EXPECT_EQ(DecodeDatePart(4, D(2024, 7, 9)), -1);
    EXPECT_EQ(RoundTime(D(2024, 7, 9) - 1e-12), static_cast<int64_t>(D(2024, 7, 9)));
    EXPECT_EQ(RoundTime(-1.5), -1);
}

TEST_F(Calendar, FirstAndLastVisibleDates) {
    TForm* form = MakeForm("F");
    TvxGridDatePopup* p = MakePopup(form);
    // April 2024 starts on a Monday: the whole previous week shows first.
    p->SetFirstDate(D(2024, 4, 17));
    EXPECT_EQ(p->FirstDate(), D(2024, 4, 1));
    EXPECT_EQ(p->GetFirstVisibleDate(), D(2024, 3, 25));
    EXPECT_EQ(p->GetLastVisibleDate(), D(2024, 5, 5));
    EXPECT_EQ(p->GetLastDateOfMonth(), D(2024, 4, 30));
    // March 2024 starts on a Friday.
    p->SetFirstDate(D(2024, 3, 9));
    EXPECT_EQ(p->GetFirstVisibleDate(), D(2024, 2, 26));
    // Selecting before the first visible date: the previous month when the date shows in
    // its last rows, else the date's own month.
    p->SelectDate(D(2024, 2, 27));
    EXPECT_EQ(p->FirstDate(), D(2024, 3, 1)) << "visible in March's first row";
    p->SelectDate(D(2024, 2, 1));
    EXPECT_EQ(p->FirstDate(), D(2024, 1, 1)) << "shows in January's last row";
    p->SetFirstDate(D(2024, 3, 1));
    p->SelectDate(D(2024, 2, 20));
    EXPECT_EQ(p->FirstDate(), D(2024, 2, 1));
    p->SelectDate(D(2024, 6, 20));
    EXPECT_EQ(p->FirstDate(), D(2024, 6, 1));
    EXPECT_EQ(p->GetSelectionStart(), D(2024, 6, 20));
    // No date selects nothing and scrolls nowhere.
    p->SelectDate(NullDate);
    EXPECT_EQ(p->GetSelectionStart(), NullDate);
    EXPECT_EQ(p->FirstDate(), D(2024, 6, 1));
}

TEST_F(Calendar, KeysMoveTheSelection) {
    TForm* form = MakeForm("F");
    form->Show();
    TvxGridDatePopup* p = MakePopup(form);
    Open(p, D(2024, 1, 31));
    ASSERT_TRUE(p->Focused());
    Driver().PressKey(VK_END, TShiftState{ssCtrl});
    EXPECT_EQ(p->GetSelectionStart(), D(2024, 1, 31));
    Driver().PressKey(VK_NEXT);
    EXPECT_EQ(p->GetSelectionStart(), D(2024, 2, 29)) << "leap year";
    Driver().PressKey(VK_PRIOR);
    EXPECT_EQ(p->GetSelectionStart(), D(2024, 1, 29));
    Driver().PressKey(VK_RIGHT);
    EXPECT_EQ(p->GetSelectionStart(), D(2024, 1, 30));
    Driver().PressKey(VK_UP);
    EXPECT_EQ(p->GetSelectionStart(), D(2024, 1, 23));
    Driver().PressKey(VK_DOWN);
    Driver().PressKey(VK_LEFT);
    EXPECT_EQ(p->GetSelectionStart(), D(2024, 1, 29));
    Driver().PressKey(VK_HOME);  // Monday of that week
    EXPECT_EQ(p->GetSelectionStart(), D(2024, 1, 29));
    Driver().PressKey(VK_END);
    EXPECT_EQ(p->GetSelectionStart(), D(2024, 2, 4));
    EXPECT_EQ(p->FirstDate(), D(2024, 1, 1)) << "4 February still shows in January's last row";
    Driver().PressKey(VK_HOME, TShiftState{ssCtrl});
    EXPECT_EQ(p->GetSelectionStart(), D(2024, 2, 1));
    int picked = 0;
    p->OnDateSelected = [&](TObject*) { ++picked; };
    Driver().Enter();
    Driver().Pump();
    EXPECT_FALSE(IsWindowVisible(p->Handle()));
    EXPECT_EQ(picked, 1);
    Open(p, D(2024, 5, 5));
    Driver().Escape();
    Driver().Pump();
    EXPECT_FALSE(IsWindowVisible(p->Handle()));
    EXPECT_EQ(picked, 1);
}

TEST_F(Calendar, ClearAndTodayButtonsSelectThenCloseAndReport) {
    ScopedManualClock clock;
    TForm* form = MakeForm("F");
    form->Show();
    TvxGridDatePopup* p = MakePopup(form);
    int picked = 0;
    p->OnDateSelected = [&](TObject*) { ++picked; };
    Open(p, D(2024, 5, 5));
    TRect clear = p->ClearButtonRect();
    ASSERT_FALSE(IsRectEmpty(clear));
    TPoint at = Point((clear.Left + clear.Right) / 2, (clear.Top + clear.Bottom) / 2);
    Driver().MouseDown(p, at);
    Driver().Pump();
    EXPECT_TRUE(p->ClearDown());
    Driver().MouseUp(p, at);
    Driver().Pump();
    EXPECT_EQ(p->GetSelectionStart(), NullDate);
    EXPECT_FALSE(IsWindowVisible(p->Handle()));
    EXPECT_EQ(picked, 1);
    // Today: the clock's date (2026-03-05).
    Open(p, D(2024, 5, 5));
    TRect today = p->TodayButtonRect();
    at = Point((today.Left + today.Right) / 2, (today.Top + today.Bottom) / 2);
    Driver().MouseDown(p, at);
    Driver().MouseUp(p, at);
    Driver().Pump();
    EXPECT_EQ(p->GetSelectionStart(), D(2026, 3, 5));
    EXPECT_EQ(picked, 2);
    // Pressing a button and leaving it before the release does nothing.
    Open(p, D(2024, 5, 5));
    Driver().MouseDown(p, at);
    Driver().MoveTo(p, Point(at.X, at.Y - 60));
    Driver().Pump();
    EXPECT_FALSE(p->TodayDown());
    Driver().MouseUp(p, Point(at.X, at.Y - 60));
    Driver().Pump();
    EXPECT_EQ(p->GetSelectionStart(), D(2024, 5, 5));
    EXPECT_EQ(picked, 2);
    // A click on a day picks it.
    TRect cell = p->DayCellRect(2, 3);  // May 2024 starts on a Wednesday: row 2, Thursday = 16th
    at = Point(cell.Left + 2, cell.Top + 2);
    Driver().MouseDown(p, at);
    Driver().MouseUp(p, at);
    Driver().Pump();
    EXPECT_EQ(p->GetSelectionStart(), D(2024, 5, 16));
    EXPECT_EQ(picked, 3);
    EXPECT_FALSE(IsWindowVisible(p->Handle()));
}

TEST_F(Calendar, HeldArrowScrollsEvery170MsAndTheTitleOpensAMonthList) {
    ScopedManualClock clock;
    TForm* form = MakeForm("F");
    form->Show();
    TvxGridDatePopup* p = MakePopup(form);
    Open(p, D(2024, 5, 5));
    TRect next = p->NextArrowRect();
    TPoint at = Point((next.Left + next.Right) / 2, (next.Top + next.Bottom) / 2);
    Driver().MouseDown(p, at);
    Driver().Pump();
    EXPECT_EQ(p->FirstDate(), D(2024, 6, 1)) << "one step at once";
    clock->Advance(170);
    Driver().Pump();
    EXPECT_EQ(p->FirstDate(), D(2024, 7, 1));
    clock->Advance(170);
    Driver().Pump();
    EXPECT_EQ(p->FirstDate(), D(2024, 8, 1));
    Driver().MouseUp(p, at);
    Driver().Pump();
    clock->Advance(500);
    Driver().Pump();
    EXPECT_EQ(p->FirstDate(), D(2024, 8, 1));
    EXPECT_TRUE(IsWindowVisible(p->Handle())) << "an arrow release closes nothing";
    EXPECT_EQ(p->GetSelectionStart(), D(2024, 5, 5)) << "scrolling keeps the selection";

    // The title: a list of seven months starting three before the shown one.
    TRect title = p->TitleRect();
    at = Point((title.Left + title.Right) / 2, (title.Top + title.Bottom) / 2);
    Driver().MouseDown(p, at);
    Driver().Pump();
    TAMonthListBox* list = p->MonthList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->TopDate(), D(2024, 5, 1));
    EXPECT_EQ(list->SelectedIndex(), 0);
    EXPECT_EQ(list->GetSelectedDate(), D(2024, 5, 1));
    // Below the list the rows scroll forward on a timer.
    TPoint below = p->ScreenToClient(list->ClientToScreen(Point(10, list->ClientHeight() + 30)));
    Driver().MoveTo(p, below);
    Driver().Pump();
    EXPECT_EQ(list->SelectedIndex(), -1);
    EXPECT_EQ(list->TimerCode(), 8);
    clock->Advance(250);
    Driver().Pump();
    EXPECT_EQ(list->TopDate(), D(2024, 6, 1));
    // Back on the sixth row and released: that month shows.
    TPoint row = p->ScreenToClient(list->ClientToScreen(Point(10, 5 * list->ItemHeight() + 2)));
    Driver().MoveTo(p, row);
    Driver().MouseUp(p, row);
    Driver().Pump();
    EXPECT_EQ(p->MonthList(), nullptr);
    EXPECT_EQ(p->FirstDate(), D(2024, 11, 1));
    EXPECT_TRUE(IsWindowVisible(p->Handle()));
}

TEST_F(Calendar, PaintsTitleDayNamesSelectionAndToday) {
    ScopedManualClock clock;  // today 2026-03-05
    TForm* form = MakeForm("F");
    form->Show();
    TvxGridDatePopup* p = MakePopup(form);
    p->SetFlat(false);
    Open(p, D(2026, 3, 10));
    ::UpdateAllWindows();
    auto pixel = [&](int x, int y) { return ShownPixel(p->Handle(), p->ClientToScreen(Point(x, y))); };
    // The selected day (10th: Tuesday, row 2) in the highlight colour.
    TRect sel = p->DayCellRect(2, 1);
    EXPECT_EQ(pixel(sel.Left + 1, sel.Top + 1), ColorToRGB(clHighlight));
    // Today (5th: Thursday, row 1) framed in maroon.
    TRect today = p->DayCellRect(1, 3);
    EXPECT_EQ(pixel(today.Left, today.Top), RGB(0x80, 0, 0));
    EXPECT_EQ(pixel(today.Left + 1, today.Top + 1), ColorToRGB(clWindow));
    // The header in the button face.
    EXPECT_EQ(pixel(p->ClientWidth() / 2, 2), ColorToRGB(clBtnFace));
}
