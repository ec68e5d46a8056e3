#include "controls/vx_calendar.h"

#include <algorithm>
#include <cmath>

#include "controls/vx_calendar_timers.h"
#include "controls/vx_inplace_edit.h"
#include "platform/forms/control_messages.h"
#include "platform/forms/form.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/system_metrics.h"
#include "platform/gdi/text.h"
#include "platform/rtl/locale.h"
#include "platform/win/input.h"
#include "platform/win/paint.h"
#include "platform/win/timers.h"
#include "platform/win/window_tree.h"

// ---- Unit values and date routines ----

namespace {
uint8_t g_firstDayOfWeek = 1;
bool g_firstDayRead = false;
constexpr TColor kTodayFrame = static_cast<TColor>(0x000080);

std::string MonthTitle(TDateTime D) {
    int y = 0, m = 0, d = 0;
    DecodeDate(D, y, m, d);
    return FormatSettings().LongMonthNames[static_cast<size_t>(m - 1)] + " " + std::to_string(y);
}

TDateTime FirstOfMonth(TDateTime D) {
    int y = 0, m = 0, d = 0;
    DecodeDate(D, y, m, d);
    return EncodeDate(y, m, 1);
}

TDateTime AddMonthsTo(TDateTime D, int Delta) {
    int y = 0, m = 0, d = 0;
    DecodeDate(D, y, m, d);
    AddMonths(y, m, Delta);
    return EncodeDate(y, m, ClampDay(y, m, d));
}

bool IsNull(TDateTime D) { return D == NullDate; }

// Text straight onto the canvas' context: the canvas applies its own colours only to its
// own drawing calls.
void CanvasText(TCanvas* C, const std::string& S, TRect R, unsigned Flags, TColor Color) {
    HDC dc = C->Handle();
    SelectObject(dc, C->Font()->Handle());
    SetTextColor(dc, ColorToRGB(Color));
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, S, R, Flags | DT_SINGLELINE | DT_NOPREFIX);
}
}  // namespace

void InitFirstDayOfWeek() {
    int v = FormatSettings().FirstDayOfWeek + 1;
    if (v >= 7) v = 0;
    g_firstDayOfWeek = static_cast<uint8_t>(v);
    g_firstDayRead = true;
}

uint8_t FirstDayOfWeek() {
    if (!g_firstDayRead) InitFirstDayOfWeek();
    return g_firstDayOfWeek;
}

const std::string& TodayCaption() {
    static const std::string s = "Today";
    return s;
}

const std::string& ClearCaption() {
    static const std::string s = "Clear";
    return s;
}

void DecMonth(int& Year, int& Month) {
    if (Month == 1) {
        --Year;
        Month = 12;
    } else {
        --Month;
    }
}

void IncMonth(int& Year, int& Month) {
    if (Month == 12) {
        ++Year;
        Month = 1;
    } else {
        ++Month;
    }
}

void AddMonths(int& Year, int& Month, int Delta) {
    Year += Delta / 12;
    Month += Delta % 12;
    if (Month < 1) {
        Month += 12;
        --Year;
    } else if (Month > 12) {
        Month -= 12;
        ++Year;
    }
}

int ClampDay(int Year, int Month, int Day) {
    if (Day < 1) return 1;
    return std::min(Day, DaysInMonth(Year, Month));
}

int DecodeDatePart(int Kind, TDateTime Date) {
    int y = 0, m = 0, d = 0;
    DecodeDate(Date, y, m, d);
    switch (Kind) {
        case 1: return y;
        case 2: return m;
        case 3: return d;
        default: return -1;
    }
}

int ColOfDate(TDateTime Date) {
    int c = (DayOfWeek(Date) - FirstDayOfWeek() - 1) % 7;
    return c < 0 ? c + 7 : c;
}

int64_t RoundTime(TDateTime D) {
    const double eps = D < 0 ? -1e-11 : 1e-11;
    return static_cast<int64_t>(std::trunc(D + eps));
}

// ---- TCustomvxCalendar ----

TCustomvxCalendar::TCustomvxCalendar(TComponent* AOwner) : TvxInplacePopupControl(AOwner) {
    controlStyle_ |= csDoubleClicks;
    const TDateTime today = Date();
    firstDate_ = selAnchor_ = selEnd_ = today;
}

void TCustomvxCalendar::SetFlat(bool v) {
    if (flat_ == v) return;
    flat_ = v;
    Invalidate();
}

void TCustomvxCalendar::CreateParams(TCreateParams& Params) {
    TvxInplacePopupControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
}

void TCustomvxCalendar::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

TDateTime TCustomvxCalendar::GetSelectionStart() {
    if (selAnchor_ >= selEnd_ && !IsNull(selEnd_)) return selEnd_;
    return selAnchor_;
}

TDateTime TCustomvxCalendar::GetSelectionFinish() { return std::max(selAnchor_, selEnd_); }

void TCustomvxCalendar::SetFirstDate(TDateTime D) {
    if (firstDate_ == D) return;
    firstDate_ = D;
    Invalidate();
}

void TCustomvxCalendar::SelectDate(TDateTime D) {
    selAnchor_ = D;
    selEnd_ = NullDate;
    SetSelEnd(D);
}

void TCustomvxCalendar::SetSelEnd(TDateTime D) {
    if (D == selEnd_) return;
    ScrollToSelection();
    selEnd_ = D;
    ScrollToSelection();
    Invalidate();
    if (HandleAllocated()) Update();
}

void TCustomvxCalendar::DoDateSelected() { FireNotify(OnDateSelected, this); }

void TCustomvxCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TvxInplacePopupControl::MouseDown(Button, Shift, X, Y);
    if (Shift.Contains(ssDouble) || Button != mbLeft) return;
    clickDate_ = GetSelectionStart();
    TDateTime d = GetDateAt(Point(X, Y));
    if (!IsNull(d)) SelectDate(d);
}

void TCustomvxCalendar::MouseMove(TShiftState Shift, int X, int Y) {
    TvxInplacePopupControl::MouseMove(Shift, X, Y);
    if (!Shift.Contains(ssLeft)) return;
    TDateTime d = GetDateAt(Point(X, Y));
    if (!IsNull(d)) {
        SetSelEnd(d);
    } else if (!PtInRect(ClientRect(), Point(X, Y))) {
        if (!IsNull(clickDate_) && clickDate_ != GetSelectionFinish()) {
            SetSelEnd(clickDate_);
            Invalidate();
        }
    }
    if (HandleAllocated()) Update();
}

void TCustomvxCalendar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TvxInplacePopupControl::MouseUp(Button, Shift, X, Y);
    if (!Shift.Contains(ssDouble) && PtInRect(ClientRect(), Point(X, Y))) DoDateSelected();
}

// ---- TAMonthListBox ----

TAMonthListBox::TAMonthListBox(TvxGridDatePopup* AOwner) : TCustomControl(AOwner), popup_(AOwner) {
    SetVisibleFlag(false);
    Font()->Assign(AOwner->Font());
    UpdateMetrics();
}

TAMonthListBox::~TAMonthListBox() { StopTimer(); }

void TAMonthListBox::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = (Params.Style & ~(WS_CHILD | WS_VISIBLE)) | WS_POPUP | WS_BORDER;
    Params.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    Params.WndParent = popup_->HandleAllocated() ? popup_->Handle() : nullptr;
}

void TAMonthListBox::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TAMonthListBox::UpdateMetrics() {
    itemHeight_ = std::max(popup_->HeaderHeight() - 2, 1);
    SetBounds(Left(), Top(), 6 * popup_->ColWidth() + 2, 7 * itemHeight_ + 2);
}

void TAMonthListBox::SetTopDate(TDateTime v) {
    if (topDate_ == v) return;
    topDate_ = v;
    Invalidate();
}

TDateTime TAMonthListBox::GetSelectedDate() {
    if (selectedIndex_ == -1 || IsNull(topDate_)) return NullDate;
    return AddMonthsTo(FirstOfMonth(topDate_), selectedIndex_);
}

void TAMonthListBox::ShowNoActivate() {
    SetVisibleFlag(true);
    ShowWindow(Handle(), SW_SHOWNA);
}

void TAMonthListBox::StopTimer() {
    if (timerHandle_ != 0 && HandleAllocated()) KillTimer(Handle(), timerHandle_);
    timerHandle_ = 0;
    timerCode_ = 0;
}

void TAMonthListBox::TrackMouse(int X, int Y) {
    const int h = ClientHeight();
    if (Y >= 0 && Y < h) {
        StopTimer();
        if (X < 0 || X >= ClientWidth()) {
            if (selectedIndex_ != -1) {
                selectedIndex_ = -1;
                Invalidate();
            }
            return;
        }
        const int i = std::clamp(Y / std::max(itemHeight_, 1), 0, 6);
        if (i != selectedIndex_) {
            selectedIndex_ = i;
            Invalidate();
        }
        return;
    }
    if (selectedIndex_ != -1) {
        selectedIndex_ = -1;
        Invalidate();
    }
    if (X < 0 || X >= ClientWidth()) return;
    const int d = Y < 0 ? Y : Y + 1 - h;
    int band = d / 12 + (d > 0 ? 1 : -1);
    band = std::clamp(band, -4, 4);
    const int code = band + 5;
    if (code == timerCode_) return;
    StopTimer();
    timerCode_ = code;
    static constexpr UINT kIntervals[4] = {500, 250, 100, 50};
    if (HandleAllocated()) timerHandle_ = SetTimer(Handle(), kvxCalMonthListTimer, kIntervals[std::abs(band) - 1]);
}

void TAMonthListBox::WndProc(TMessage& Message) {
    if (Message.Msg == WM_TIMER) {
        if (timerCode_ != 0 && !IsNull(topDate_)) SetTopDate(AddMonthsTo(topDate_, timerCode_ < 6 ? -1 : 1));
        return;
    }
    if (Message.Msg == WM_DESTROY) StopTimer();
    TCustomControl::WndProc(Message);
}

void TAMonthListBox::Paint() {
    TCanvas* c = Canvas();
    c->SetFont(popup_->Font());
    const int w = ClientWidth();
    for (int i = 0; i < 7; ++i) {
        TRect r = Rect(0, i * itemHeight_, w, (i + 1) * itemHeight_);
        const bool selected = i == selectedIndex_;
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(selected ? clWindowText : clWindow);
        c->FillRect(r);
        if (IsNull(topDate_)) continue;
        std::string text = MonthTitle(AddMonthsTo(FirstOfMonth(topDate_), i));
        CanvasText(c, text, r, DT_CENTER | DT_VCENTER, selected ? clWindow : clWindowText);
    }
}

// ---- TvxGridDatePopup ----

TvxGridDatePopup::TvxGridDatePopup(TComponent* AOwner) : TCustomvxCalendar(AOwner) {
    InitFirstDayOfWeek();
    firstDate_ = FirstOfMonth(firstDate_);
    SetBounds(0, 0, 20, 20);
    SetIsPopup(true);
    SetTabStop(false);
    CalcMetrics();
}

TvxGridDatePopup::~TvxGridDatePopup() {
    StopArrowTimer();
    FreeMonthList();
}

void TvxGridDatePopup::CalcMetrics() {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, Font()->Handle());
    auto extent = [dc](const std::string& s) {
        TSize size;
        GetTextExtentPoint32(dc, s, &size);
        return size;
    };
    const TSize zero = extent("0");
    colWidth_ = 3 * zero.cx;
    sideMargin_ = 2 * zero.cx;
    rowHeight_ = zero.cy + 2;
    headerHeight_ = rowHeight_ + 2 + (Flat() ? 1 : 0);
    dayNamesHeight_ = rowHeight_ + 1;
    todayWidth_ = extent(TodayCaption()).cx + colWidth_;
    clearWidth_ = extent(ClearCaption()).cx + colWidth_;
    const int size = Font()->Size();
    buttonGap_ = size / 2;
    buttonHeight_ = (extent("Wg").cy * 20 + 6) / 13;
    buttonAreaHeight_ = size * 3 / 4 + buttonGap_ + buttonHeight_;
    DeleteDC(dc);
}

void TvxGridDatePopup::UpdateSize() {
    const int b = PopupBorderWidth(PopupBorder());
    const int s = Shadow() ? ShadowSize() : 0;
    const int ncw = 2 * b + s;
    const int nch = 2 * b + s;
    const int w = ncw + 2 * sideMargin_ + 7 * colWidth_;
    const int h = nch + (Flat() ? 0 : 1) + headerHeight_ + dayNamesHeight_ + 6 * rowHeight_ + 1 +
                  ((showToday_ || showClear_) ? buttonAreaHeight_ : 0);
    if (w == Width() && h == Height()) return;
    sizing_ = true;
    SetBounds(Left(), Top(), w, h);
    sizing_ = false;
}

void TvxGridDatePopup::CreateWnd() {
    TCustomvxCalendar::CreateWnd();
    CalcMetrics();
    UpdateSize();
}

void TvxGridDatePopup::DestroyWnd() {
    StopArrowTimer();
    FreeMonthList();
    TCustomvxCalendar::DestroyWnd();
}

void TvxGridDatePopup::CMFontChanged(TMessage& Message) {
    TCustomvxCalendar::CMFontChanged(Message);
    CalcMetrics();
    UpdateSize();
}

void TvxGridDatePopup::WMSize(TMessage& Message) {
    TCustomvxCalendar::WMSize(Message);
    if (!sizing_) UpdateSize();
}

void TvxGridDatePopup::WMGetDlgCode(TMessage& Message) {
    TCustomvxCalendar::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

TDateTime TvxGridDatePopup::GetFirstVisibleDate() {
    const int c = ColOfDate(firstDate_);
    return firstDate_ - (c == 0 ? 7 : c);
}

TDateTime TvxGridDatePopup::GetLastVisibleDate() { return GetFirstVisibleDate() + 41; }

TDateTime TvxGridDatePopup::GetLastDateOfMonth() {
    int y = 0, m = 0, d = 0;
    DecodeDate(firstDate_, y, m, d);
    return EncodeDate(y, m, DaysInMonth(y, m));
}

void TvxGridDatePopup::SetFirstDate(TDateTime D) {
    if (IsNull(D)) return;
    const double day = static_cast<double>(RoundTime(D));
    TCustomvxCalendar::SetFirstDate(day - (DecodeDatePart(3, day) - 1));
}

void TvxGridDatePopup::SetSelEnd(TDateTime D) {
    if (D == selEnd_) return;
    selAnchor_ = D;
    TCustomvxCalendar::SetSelEnd(D);
}

void TvxGridDatePopup::ScrollToSelection() {
    // No date has no month to show.
    if (IsNull(selAnchor_)) return;
    if (selAnchor_ < GetFirstVisibleDate()) {
        int y = 0, m = 0, d = 0;
        DecodeDate(selAnchor_, y, m, d);
        DecMonth(y, m);
        SetFirstDate(EncodeDate(y, m, ClampDay(y, m, d)));
    }
    if (selAnchor_ > GetLastVisibleDate()) SetFirstDate(selAnchor_);
}

int TvxGridDatePopup::DayAreaTop() { return (Flat() ? 0 : 1) + headerHeight_; }

TRect TvxGridDatePopup::PrevArrowRect() { return Rect(1, 1, colWidth_ - 1, headerHeight_ - 1); }

TRect TvxGridDatePopup::NextArrowRect() {
    const int w = ClientWidth();
    return Rect(w - colWidth_, 1, w - 1 - (Flat() ? 0 : 1), headerHeight_ - 1);
}

TRect TvxGridDatePopup::TitleRect() { return Rect(colWidth_ - 1, 0, ClientWidth() - colWidth_, headerHeight_); }

TRect TvxGridDatePopup::DayCellRect(int Row, int Col) {
    const int top = DayAreaTop() + dayNamesHeight_ + Row * rowHeight_;
    const int left = sideMargin_ + Col * colWidth_;
    return Rect(left, top, left + colWidth_, top + rowHeight_);
}

TRect TvxGridDatePopup::TodayButtonRect() {
    if (!showToday_) return TRect{};
    const int w = ClientWidth();
    const int top = ClientHeight() - buttonAreaHeight_ + buttonGap_;
    const int free = w - todayWidth_ - (showClear_ ? clearWidth_ : 0);
    const int left = showClear_ ? free / 3 : free / 2;
    return Rect(left, top, left + todayWidth_, top + buttonHeight_);
}

TRect TvxGridDatePopup::ClearButtonRect() {
    if (!showClear_) return TRect{};
    const int w = ClientWidth();
    const int top = ClientHeight() - buttonAreaHeight_ + buttonGap_;
    const int free = w - (showToday_ ? todayWidth_ : 0) - clearWidth_;
    const int gap = showToday_ ? free / 3 : free / 2;
    const int left = w - clearWidth_ - gap;
    return Rect(left, top, left + clearWidth_, top + buttonHeight_);
}

TDateTime TvxGridDatePopup::GetDateAt(TPoint P) {
    const int w = ClientWidth();
    const int h = ClientHeight();
    if (w <= 0 || h <= 0 || P.X < 0 || P.Y < 0) return NullDate;
    const int areaW = w / colCount_;
    const int areaH = h / rowCount_;
    const int col = P.X / std::max(areaW, 1);
    const int row = P.Y / std::max(areaH, 1);
    if (col >= colCount_ || row >= rowCount_) return NullDate;
    const int x = P.X - col * areaW;
    const int y = P.Y - row * areaH;
    const int cellsTop = DayAreaTop() + dayNamesHeight_;
    if (x < sideMargin_ || x >= sideMargin_ + 7 * colWidth_ || y < cellsTop || y >= cellsTop + 6 * rowHeight_)
        return NullDate;
    const int c = (x - sideMargin_) / colWidth_;
    const int r = (y - cellsTop) / rowHeight_;
    const int area = row * colCount_ + col;
    TDateTime first = AddMonthsTo(firstDate_, area);
    first = FirstOfMonth(first);
    TDateTime date = first - ColOfDate(first) + 7 * r + c;
    if (area == 0 && ColOfDate(firstDate_) == 0) date -= 7;
    int y0 = 0, m0 = 0, d0 = 0;
    DecodeDate(first, y0, m0, d0);
    const TDateTime last = EncodeDate(y0, m0, DaysInMonth(y0, m0));
    if (date < first && area != 0) return NullDate;
    if (date > last && area != colCount_ * rowCount_ - 1) return NullDate;
    return date;
}

void TvxGridDatePopup::PaintButton(TCanvas* C, const TRect& R, const std::string& Caption, bool Pressed) {
    HDC dc = C->Handle();
    TRect r = R;
    if (Pressed) {
        DrawFrameControl(dc, r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    } else {
        auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
            C->Pen()->SetColor(color);
            C->MoveTo(x1, y1);
            C->LineTo(x2, y2);
        };
        line(clBtnText, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1);
        line(clBtnText, r.Right - 1, r.Top, r.Right - 1, r.Bottom);
        line(clBtnFace, r.Left, r.Top, r.Right - 1, r.Top);
        line(clBtnFace, r.Left, r.Top, r.Left, r.Bottom - 1);
        line(clBtnShadow, r.Left + 1, r.Bottom - 2, r.Right - 1, r.Bottom - 2);
        line(clBtnShadow, r.Right - 2, r.Top + 1, r.Right - 2, r.Bottom - 1);
        line(clBtnHighlight, r.Left + 1, r.Top + 1, r.Right - 2, r.Top + 1);
        line(clBtnHighlight, r.Left + 1, r.Top + 1, r.Left + 1, r.Bottom - 2);
        C->SetPixels(r.Right - 3, r.Top + 1, clBtnFace);
    }
    InflateRect(r, -2, -2);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(r);
    if (Pressed) OffsetRect(r, 1, 1);
    CanvasText(C, Caption, r, DT_CENTER | DT_VCENTER, clBtnText);
}

void TvxGridDatePopup::Paint() {
    TCanvas* c = Canvas();
    HDC dc = c->Handle();
    c->SetFont(Font());
    const int w = ClientWidth();
    const int h = ClientHeight();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clWindow);
    c->FillRect(Rect(0, 0, w, h));
    const TDateTime today = static_cast<double>(RoundTime(Date()));

    // Header with the arrows and the title.
    TRect header = Rect(0, 0, w, headerHeight_);
    if (!Flat()) {
        c->Pen()->SetColor(clBtnText);
        c->MoveTo(0, header.Bottom);
        c->LineTo(w, header.Bottom);
    }
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(header);
    TRect edge = header;
    DrawEdge(dc, edge, BDR_RAISEDINNER, BF_RECT);
    InflateRect(header, -1, -1);
    int ah = headerHeight_ / 2;
    if (ah % 2 == 0) --ah;
    const int cy = headerHeight_ / 2;
    c->Pen()->SetColor(clBtnText);
    c->Brush()->SetColor(clBtnText);
    const int lb = sideMargin_ - 1;
    c->Polygon({{lb, cy - ah / 2}, {lb, cy + ah / 2}, {lb - ah / 2, cy}});
    const int rb = w - 1 - (sideMargin_ - 1);
    c->Polygon({{rb, cy - ah / 2}, {rb, cy + ah / 2}, {rb + ah / 2, cy}});
    TRect title = Rect(lb + 1, header.Top, rb, header.Bottom);
    CanvasText(c, MonthTitle(firstDate_), title, DT_CENTER | DT_VCENTER, clBtnText);

    // Day names.
    const int dayTop = DayAreaTop();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clWindow);
    c->FillRect(Rect(0, dayTop, w, dayTop + dayNamesHeight_));
    c->Pen()->SetColor(clBtnShadow);
    c->MoveTo(sideMargin_, dayTop + dayNamesHeight_ - 2);
    c->LineTo(w - sideMargin_, dayTop + dayNamesHeight_ - 2);
    for (int i = 0; i < 7; ++i) {
        const std::string& name = FormatSettings().ShortDayNames[static_cast<size_t>((FirstDayOfWeek() + i) % 7)];
        std::string first = name.empty() ? std::string() : name.substr(0, 1);
        TRect r = Rect(sideMargin_ + i * colWidth_, dayTop, sideMargin_ + (i + 1) * colWidth_ - 3,
                       dayTop + dayNamesHeight_ - 2);
        CanvasText(c, first, r, DT_RIGHT | DT_VCENTER, clWindowText);
    }

    // The 42 days.
    const TDateTime selStart = GetSelectionStart();
    const TDateTime selFinish = GetSelectionFinish();
    const TDateTime lastOfMonth = GetLastDateOfMonth();
    for (int r = 0; r < 6; ++r) {
        for (int col = 0; col < 7; ++col) {
            TRect cell = DayCellRect(r, col);
            TDateTime date = GetDateAt(Point(cell.Left, cell.Top));
            c->Brush()->SetStyle(bsSolid);
            if (IsNull(date)) {
                c->Brush()->SetColor(clWindow);
                c->FillRect(cell);
                continue;
            }
            const bool selected = !IsNull(selStart) && selStart <= date && date <= selFinish;
            TColor back = !selected ? clWindow : (Flat() ? clBtnFace : clHighlight);
            if (date == today) {
                c->Brush()->SetColor(kTodayFrame);
                c->FrameRect(cell);
                InflateRect(cell, -1, -1);
            }
            // The flat look marks the selection in the button face: highlight text would
            // vanish on it, so the day keeps the button text colour there.
            TColor text = selected ? (Flat() ? clBtnText : clHighlightText) : clWindowText;
            if (!selected && (date < firstDate_ || date > lastOfMonth)) text = clGrayText;
            c->Brush()->SetColor(back);
            c->FillRect(cell);
            TRect tr = cell;
            tr.Right -= 3;
            CanvasText(c, std::to_string(DecodeDatePart(3, date)), tr, DT_RIGHT | DT_VCENTER, text);
        }
    }

    // Buttons.
    if (showToday_ || showClear_) {
        c->Pen()->SetColor(clBtnShadow);
        c->MoveTo(sideMargin_, h - buttonAreaHeight_ - 1);
        c->LineTo(w - sideMargin_, h - buttonAreaHeight_ - 1);
        if (showToday_) PaintButton(c, TodayButtonRect(), TodayCaption(), todayTracking_ && todayDown_);
        if (showClear_) PaintButton(c, ClearButtonRect(), ClearCaption(), clearTracking_ && clearDown_);
    }
}

void TvxGridDatePopup::ShowPopup() {
    TCustomvxCalendar::ShowPopup();
    if (HandleAllocated()) ::SetFocus(Handle());
}

void TvxGridDatePopup::StopArrowTimer() {
    if (timerId_ != 0 && HandleAllocated()) KillTimer(Handle(), timerId_);
    timerId_ = 0;
}

void TvxGridDatePopup::FreeMonthList() {
    if (!monthList_) return;
    TAMonthListBox* list = monthList_;
    monthList_ = nullptr;
    delete list;
}

void TvxGridDatePopup::ClosePopup() {
    if (HandleAllocated() && IsWindowVisible(Handle())) {
        if (GetCapture() == Handle()) ReleaseCapture();
        StopArrowTimer();
        FreeMonthList();
        todayTracking_ = todayDown_ = false;
        clearTracking_ = clearDown_ = false;
    }
    TCustomvxCalendar::ClosePopup();
}

void TvxGridDatePopup::Scroll(int Months) {
    SetFirstDate(AddMonthsTo(firstDate_, Months));
    Invalidate();
}

void TvxGridDatePopup::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TPoint p = Point(X, Y);
    if (Button == mbLeft) {
        if (showToday_ && PtInRect(TodayButtonRect(), p)) {
            todayTracking_ = todayDown_ = true;
            Invalidate();
            return;
        }
        if (showClear_ && PtInRect(ClearButtonRect(), p)) {
            clearTracking_ = clearDown_ = true;
            Invalidate();
            return;
        }
        if ((showToday_ || showClear_) && Y >= ClientHeight() - buttonAreaHeight_) return;
    }
    TCustomvxCalendar::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (PtInRect(PrevArrowRect(), p) || PtInRect(NextArrowRect(), p)) {
        const bool prev = PtInRect(PrevArrowRect(), p);
        Scroll(prev ? -1 : 1);
        if (timerId_ == 0 && HandleAllocated())
            timerId_ = SetTimer(Handle(), prev ? kvxCalPrevArrowTimer : kvxCalNextArrowTimer, kvxCalArrowInterval);
    } else if (PtInRect(TitleRect(), p) && !monthList_) {
        monthIndex_ = 0;
        monthList_ = new TAMonthListBox(this);
        monthList_->UpdateMetrics();
        monthList_->SetTopDate(AddMonthsTo(firstDate_, -3));
        TRect title = TitleRect();
        TPoint centre = ClientToScreen(Point((title.Left + title.Right) / 2, (title.Top + title.Bottom) / 2));
        monthList_->SetBounds(centre.X - monthList_->Width() / 2, centre.Y - monthList_->Height() / 2,
                              monthList_->Width(), monthList_->Height());
        monthList_->ShowNoActivate();
    }
}

void TvxGridDatePopup::MouseMove(TShiftState Shift, int X, int Y) {
    if (timerId_ != 0) return;
    if (monthList_) {
        TPoint p = monthList_->ScreenToClient(ClientToScreen(Point(X, Y)));
        monthList_->TrackMouse(p.X, p.Y);
        return;
    }
    const TPoint p = Point(X, Y);
    if (todayTracking_) {
        bool down = PtInRect(TodayButtonRect(), p);
        if (down != todayDown_) {
            todayDown_ = down;
            Invalidate();
        }
        return;
    }
    if (clearTracking_) {
        bool down = PtInRect(ClearButtonRect(), p);
        if (down != clearDown_) {
            clearDown_ = down;
            Invalidate();
        }
        return;
    }
    TCustomvxCalendar::MouseMove(Shift, X, Y);
}

void TvxGridDatePopup::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (timerId_ != 0) {
        StopArrowTimer();
        TvxInplacePopupControl::MouseUp(Button, Shift, X, Y);
        return;
    }
    if (monthList_) {
        TDateTime d = monthList_->GetSelectedDate();
        FreeMonthList();
        if (!IsNull(d)) SetFirstDate(AddMonthsTo(d, -monthIndex_));
        Invalidate();
        TvxInplacePopupControl::MouseUp(Button, Shift, X, Y);
        return;
    }
    if (todayTracking_) {
        const bool down = todayDown_;
        todayTracking_ = todayDown_ = false;
        Invalidate();
        if (!down) return;
        SelectDate(static_cast<double>(RoundTime(Date())));
    } else if (clearTracking_) {
        const bool down = clearDown_;
        clearTracking_ = clearDown_ = false;
        Invalidate();
        if (!down) return;
        SelectDate(NullDate);
    }
    if (PtInRect(ClientRect(), Point(X, Y))) ClosePopup();
    TCustomvxCalendar::MouseUp(Button, Shift, X, Y);
}

void TvxGridDatePopup::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomvxCalendar::KeyDown(Key, Shift);
    const bool alt = Shift.Contains(ssAlt);
    const bool ctrlOnly = Shift.Contains(ssCtrl) && !alt && !Shift.Contains(ssShift);
    const TDateTime start = GetSelectionStart();
    const bool hasStart = !IsNull(start);
    switch (Key) {
        case VK_RETURN:
            if (!monthList_) {
                ClosePopup();
                DoDateSelected();
            }
            break;
        case VK_ESCAPE:
        case VK_F4:
            ClosePopup();
            // Escape's character must not reach the form's key preview after the close.
            if (Key == VK_ESCAPE && HandleAllocated()) KillMessage(Handle(), WM_CHAR);
            break;
        case VK_UP:
        case VK_DOWN:
            if (alt && !Shift.Contains(ssCtrl) && !Shift.Contains(ssShift))
                ClosePopup();
            else if (hasStart)
                SelectDate(start + (Key == VK_UP ? -7 : 7));
            break;
        case VK_LEFT:
        case VK_RIGHT:
            if (hasStart) SelectDate(start + (Key == VK_LEFT ? -1 : 1));
            break;
        case VK_HOME:
            if (!hasStart) break;
            if (ctrlOnly)
                SelectDate(FirstOfMonth(start));
            else
                SelectDate(start - ColOfDate(start));
            break;
        case VK_END:
            if (!hasStart) break;
            if (ctrlOnly) {
                int y = 0, m = 0, d = 0;
                DecodeDate(start, y, m, d);
                SelectDate(EncodeDate(y, m, DaysInMonth(y, m)));
            } else {
                SelectDate(start + 6 - ColOfDate(start));
            }
            break;
        case VK_PRIOR:
        case VK_NEXT:
            if (hasStart) SelectDate(AddMonthsTo(start, Key == VK_PRIOR ? -1 : 1));
            break;
        default: break;
    }
}

void TvxGridDatePopup::WndProc(TMessage& Message) {
    if (Message.Msg == WM_TIMER) {
        const UINT_PTR id = Message.WParam;
        if (id == kvxCalPrevArrowTimer || id == kvxCalNextArrowTimer) {
            const bool prev = id == kvxCalPrevArrowTimer;
            TPoint p;
            GetCursorPos(&p);
            p = ScreenToClient(p);
            if (PtInRect(prev ? PrevArrowRect() : NextArrowRect(), p)) Scroll(prev ? -1 : 1);
        }
        return;
    }
    if (Message.Msg == WM_DESTROY) StopArrowTimer();
    TCustomvxCalendar::WndProc(Message);
}
