#pragma once
// The month calendar that drops down from the date editor: TCustomvxCalendar keeps a
// first visible month and a selected date range; TvxGridDatePopup shows one month with a
// title bar, scroll arrows, day names, six week rows and optional "Today" and "Clear"
// buttons; TAMonthListBox is the list of seven months shown while the mouse is held on
// the title. Also the locale's first day of the week and the date routines of the date
// and time editors. No date is -700000 throughout.

#include <cstdint>

#include "controls/vx_popup_control.h"
#include "platform/rtl/date_time.h"

inline constexpr TDateTime NullDate = -700000.0;

// 0 = Sunday ... 6 = Saturday, from the locale (whose 0 means Monday).
uint8_t FirstDayOfWeek();
// Reads the locale's setting again (after a settings change).
void InitFirstDayOfWeek();
const std::string& TodayCaption();
const std::string& ClearCaption();

void DecMonth(int& Year, int& Month);
void IncMonth(int& Year, int& Month);
void AddMonths(int& Year, int& Month, int Delta);
// 1 below 1, the month's length above it.
int ClampDay(int Year, int Month, int Day);
// Kind 1 year, 2 month, 3 day; else -1.
int DecodeDatePart(int Kind, TDateTime Date);
// Column 0..6 of Date in a week that starts with FirstDayOfWeek().
int ColOfDate(TDateTime Date);
// The day of D; a value a hair below a whole day counts as that day.
int64_t RoundTime(TDateTime D);

class TCustomvxCalendar : public TvxInplacePopupControl {
public:
    explicit TCustomvxCalendar(TComponent* AOwner);
    std::string ClassName() const override { return "TCustomvxCalendar"; }

    TDateTime ClickDate() const { return clickDate_; }
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    TDateTime FirstDate() const { return firstDate_; }
    TDateTime SelAnchor() const { return selAnchor_; }
    TDateTime SelEnd() const { return selEnd_; }

    virtual TDateTime GetFirstVisibleDate() { return firstDate_; }
    virtual TDateTime GetLastVisibleDate() { return GetLastDateOfMonth(); }
    virtual TDateTime GetLastDateOfMonth() = 0;
    virtual TDateTime GetSelectionStart();
    virtual TDateTime GetSelectionFinish();
    virtual void SetFirstDate(TDateTime D);
    virtual void SelectDate(TDateTime D);
    virtual void SetSelEnd(TDateTime D);
    virtual void ScrollToSelection() = 0;
    virtual TDateTime GetDateAt(TPoint P) = 0;
    virtual void DoDateSelected();

    TNotifyEvent OnDateSelected;

protected:
    void CreateParams(TCreateParams& Params) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMEraseBkgnd(TMessage& Message) override;

    TDateTime clickDate_ = NullDate;
    TDateTime firstDate_ = 0;
    TDateTime selAnchor_ = 0;
    TDateTime selEnd_ = 0;

private:
    bool flat_ = true;
};

class TvxGridDatePopup;

class TAMonthListBox : public TCustomControl {
public:
    explicit TAMonthListBox(TvxGridDatePopup* AOwner);
    ~TAMonthListBox() override;
    std::string ClassName() const override { return "TAMonthListBox"; }

    TDateTime TopDate() const { return topDate_; }
    void SetTopDate(TDateTime v);
    int ItemHeight() const { return itemHeight_; }
    int SelectedIndex() const { return selectedIndex_; }
    int TimerCode() const { return timerCode_; }
    bool TimerRunning() const { return timerHandle_ != 0; }
    TDateTime GetSelectedDate();
    // A move of the held mouse, in the list's client coordinates.
    void TrackMouse(int X, int Y);
    void ShowNoActivate();
    // Sizes the list for the calendar's font.
    void UpdateMetrics();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void WndProc(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;

private:
    void StopTimer();
    TvxGridDatePopup* popup_;
    TDateTime topDate_ = NullDate;
    int itemHeight_ = 0;
    int selectedIndex_ = 0;
    UINT_PTR timerHandle_ = 0;
    int timerCode_ = 0;
};

class TvxGridDatePopup : public TCustomvxCalendar {
public:
    explicit TvxGridDatePopup(TComponent* AOwner);
    ~TvxGridDatePopup() override;
    std::string ClassName() const override { return "TvxGridDatePopup"; }

    TDateTime GetFirstVisibleDate() override;
    TDateTime GetLastVisibleDate() override;
    TDateTime GetLastDateOfMonth() override;
    void SetFirstDate(TDateTime D) override;
    void SetSelEnd(TDateTime D) override;
    void ScrollToSelection() override;
    TDateTime GetDateAt(TPoint P) override;
    void ClosePopup() override;
    // Shows the calendar, which then takes the focus (its keys are its own).
    void ShowPopup() override;

    bool ShowToday() const { return showToday_; }
    void SetShowToday(bool v) { showToday_ = v; }
    bool ShowClear() const { return showClear_; }
    void SetShowClear(bool v) { showClear_ = v; }
    // Sizes the window for one month (and the buttons when shown).
    void UpdateSize();

    int ColWidth() const { return colWidth_; }
    int SideMargin() const { return sideMargin_; }
    int RowHeight() const { return rowHeight_; }
    int HeaderHeight() const { return headerHeight_; }
    int DayNamesHeight() const { return dayNamesHeight_; }
    int ButtonAreaHeight() const { return buttonAreaHeight_; }
    TAMonthListBox* MonthList() const { return monthList_; }
    UINT_PTR TimerId() const { return timerId_; }
    bool TodayDown() const { return todayDown_; }
    bool ClearDown() const { return clearDown_; }

    // Geometry in client coordinates.
    TRect PrevArrowRect();
    TRect NextArrowRect();
    TRect TitleRect();
    TRect DayCellRect(int Row, int Col);
    TRect TodayButtonRect();
    TRect ClearButtonRect();

protected:
    void CreateWnd() override;
    void DestroyWnd() override;
    void Paint() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;

private:
    void CalcMetrics();
    int DayAreaTop();
    void Scroll(int Months);
    void StopArrowTimer();
    void FreeMonthList();
    void PaintButton(TCanvas* C, const TRect& R, const std::string& Caption, bool Pressed);

    int colCount_ = 1;
    int rowCount_ = 1;
    int colWidth_ = 0;
    int sideMargin_ = 0;
    int rowHeight_ = 0;
    int headerHeight_ = 0;
    int dayNamesHeight_ = 0;
    int todayWidth_ = 0;
    int clearWidth_ = 0;
    int buttonGap_ = 0;
    int buttonHeight_ = 0;
    int buttonAreaHeight_ = 0;
    TAMonthListBox* monthList_ = nullptr;
    int monthIndex_ = 0;
    UINT_PTR timerId_ = 0;
    bool todayTracking_ = false;
    bool todayDown_ = false;
    bool clearTracking_ = false;
    bool clearDown_ = false;
    bool showToday_ = true;
    bool showClear_ = false;
    bool sizing_ = false;
};
