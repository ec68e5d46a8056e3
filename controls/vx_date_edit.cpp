#include "controls/vx_date_edit.h"

#include <algorithm>
#include <cctype>

#include "controls/vx_container.h"
#include "controls/vx_editors_unit.h"
#include "platform/rtl/convert.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/input.h"
#include "platform/win/window_tree.h"

// ---- Unit settings and text conversion ----

namespace {

bool g_useRtlFormat = false;
TvxDateWordHook g_dateWordHook = nullptr;

const std::vector<std::string>& DateWords() {
    static const std::vector<std::string> fallback = {
        "TODAY", "YESTERDAY", "TOMORROW", "SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY",
        "FIRST", "SECOND",    "THIRD",    "FOURTH", "FIFTH",  "SIXTH",   "SEVENTH",   "BOM",      "EOM",    "NOW"};
    const std::vector<std::string>& words = vxDateWords();
    return words.size() == fallback.size() ? words : fallback;
}

bool IsDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Day, month and year in the order of the short date format: 0 day, 1 month, 2 year.
std::vector<int> DateOrder() {
    std::vector<int> order;
    for (char c : FormatSettings().ShortDateFormat) {
        int part = -1;
        if (c == 'd' || c == 'D')
            part = 0;
        else if (c == 'm' || c == 'M')
            part = 1;
        else if (c == 'y' || c == 'Y')
            part = 2;
        if (part >= 0 && std::find(order.begin(), order.end(), part) == order.end()) order.push_back(part);
    }
    for (int p : {0, 1, 2})
        if (std::find(order.begin(), order.end(), p) == order.end()) order.push_back(p);
    return order;
}

// Two-digit years fall within the 50 years before and after this year.
int ExpandYear(const std::string& token) {
    int year = std::stoi(token);
    if (token.size() > 2) return year;
    int now = DecodeDatePart(1, ::Date());
    int base = now - FormatSettings().TwoDigitYearCenturyWindow;
    int y = base / 100 * 100 + year;
    if (y < base) y += 100;
    return y;
}

// Numbers in the locale's order, separated by blanks or the usual separators, then an
// optional time.
bool ConvertDateText(const std::string& Text, TDateTime& Value) {
    std::string datePart = Text;
    std::string timePart;
    const size_t colon = Text.find(':');
    if (colon != std::string::npos) {
        size_t start = colon;
        while (start > 0 && std::isdigit(static_cast<unsigned char>(Text[start - 1]))) --start;
        datePart = Trim(Text.substr(0, start));
        timePart = Trim(Text.substr(start));
    }
    std::vector<std::string> tokens;
    std::string cur;
    const char sep = FormatSettings().DateSeparator;
    for (char c : datePart) {
        if (c == ' ' || c == sep || c == '/' || c == '-' || c == '.' || c == ',') {
            if (!cur.empty()) tokens.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    if (!cur.empty()) tokens.push_back(cur);
    for (const std::string& t : tokens)
        if (!IsDigits(t) || t.size() > 4) return false;
    TDateTime time = 0;
    if (!timePart.empty() && !TryStrToTime(timePart, time)) return false;
    if (tokens.empty()) {
        if (timePart.empty()) return false;
        Value = time;
        return true;
    }
    if (tokens.size() < 2 || tokens.size() > 3) return false;
    int parts[3] = {0, 0, DecodeDatePart(1, ::Date())};
    std::vector<int> order = DateOrder();
    if (tokens.size() == 2) order.erase(std::remove(order.begin(), order.end(), 2), order.end());
    for (size_t i = 0; i < tokens.size(); ++i)
        parts[order[i]] = order[i] == 2 ? ExpandYear(tokens[i]) : std::stoi(tokens[i]);
    TDateTime date = 0;
    if (!TryEncodeDate(parts[2], parts[1], parts[0], date)) return false;
    Value = ComposeDateTime(date, time);
    return true;
}

}  // namespace

bool vxDateEditUseRtlFormat() { return g_useRtlFormat; }
void vxSetDateEditUseRtlFormat(bool v) { g_useRtlFormat = v; }
void vxSetDateWordHook(TvxDateWordHook Hook) { g_dateWordHook = Hook; }

std::string BuildDateMask() {
    const std::string& f = FormatSettings().ShortDateFormat;
    std::string mask = "!";
    for (size_t i = 0; i < f.size();) {
        const char c = f[i];
        const char k = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (k != 'M' && k != 'D' && k != 'Y') {
            mask.push_back(c);
            ++i;
            continue;
        }
        size_t n = 0;
        while (i + n < f.size() && std::toupper(static_cast<unsigned char>(f[i + n])) == k) ++n;
        if (n < 3)
            mask += "99";
        else if (k == 'Y')
            mask += "9999";
        else
            mask += "lll";
        i += n;
    }
    return mask + ";1; ";
}

std::string FixedWidthDateFormat() {
    const std::string& f = FormatSettings().ShortDateFormat;
    std::string out;
    for (size_t i = 0; i < f.size(); ++i) {
        const char c = f[i];
        const char k = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const bool prevSame = i > 0 && std::toupper(static_cast<unsigned char>(f[i - 1])) == k;
        const bool nextSame = i + 1 < f.size() && std::toupper(static_cast<unsigned char>(f[i + 1])) == k;
        out.push_back(c);
        if ((k == 'D' || k == 'M') && !prevSame && !nextSame) out.push_back(c);
    }
    return out;
}

std::string DateToText(bool Masked, TDateTime Value) {
    if (Value == NullDate) return {};
    if (Masked) return FormatDateTime(FixedWidthDateFormat(), Value);
    if (g_useRtlFormat) return DateTimeToStr(Value);
    std::string s = FormatDateTime(FormatSettings().ShortDateFormat, Value);
    if (TimeOf(Value) != 0) s += " " + FormatDateTime(FormatSettings().LongTimeFormat, Value);
    return s;
}

bool ParseDateWord(const std::string& Text, TDateTime& Value) {
    const std::string upper = AnsiUpperCase(Text);
    const std::vector<std::string>& words = DateWords();
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.empty() || upper.compare(0, word.size(), word) != 0) continue;
        const TDateTime today = static_cast<double>(RoundTime(::Date()));
        const int w = DayOfWeek(today);
        const int n = static_cast<int>(i);
        TDateTime v = today;
        if (n == 1) {
            v = today - 1;
        } else if (n == 2) {
            v = today + 1;
        } else if (n >= 3 && n <= 9) {
            int k = n - 2;
            v = today + (k - w) + (k - w < 0 ? 7 : 0);
        } else if (n >= 10 && n <= 16) {
            v = today - (w + 9 - n);
        } else if (n == 17) {
            v = today - (DecodeDatePart(3, today) - 1);
        } else if (n == 18) {
            int y = DecodeDatePart(1, today), m = DecodeDatePart(2, today);
            v = EncodeDate(y, m, DaysInMonth(y, m));
        } else if (n == 19) {
            v = Now();
        }
        const std::string rest = Trim(std::string_view(Text).substr(word.size()));
        if (rest.size() >= 2 && (rest[0] == '+' || rest[0] == '-')) {
            const int days = StrToInt(Trim(std::string_view(rest).substr(1)));
            v += rest[0] == '+' ? days : -days;
        }
        Value = v;
        return true;
    }
    if (g_dateWordHook) return g_dateWordHook(Text, Value);
    return false;
}

bool TextToDate(const std::string& Text, TDateTime& Value) {
    std::string s = Trim(Text);
    if (s.empty()) return false;
    if (!g_useRtlFormat && FormatSettings().DateSeparator == '.') {
        int replaced = 0;
        for (char& c : s)
            if (c == '.' && replaced < 2) {
                c = ' ';
                ++replaced;
            }
    }
    if (ParseDateWord(s, Value)) return true;
    if (g_useRtlFormat) {
        Value = StrToDateTime(s);
        return true;
    }
    return ConvertDateText(s, Value);
}

// ---- The editor ----

TvxInplaceEdit* TvxInplaceDateEditClass::Create(TComponent* AOwner) const { return new TvxInplaceDateEdit(AOwner); }

const TvxInplaceDateEditClass& TvxInplaceDateEdit::StaticClass() {
    static const TvxInplaceDateEditClass instance;
    return instance;
}

TvxInplaceDateEdit::TvxInplaceDateEdit(TComponent* AOwner) : TvxInplaceDateEdit(AOwner, StaticClass()) {}

TvxInplaceDateEdit::TvxInplaceDateEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceDropDownEdit(AOwner, AClass) {
    controlStyle_ &= ~csSetCaption;
    SetEditKeepsFocus(false);
}

TvxInplaceDateEdit::~TvxInplaceDateEdit() = default;

void TvxInplaceDateEdit::SetDate(TDateTime v) {
    if (v == date_ && !dateChanged_) return;
    TCustomvxContainer* c = GetContainer();
    if ((c && c->LoadingEditValues()) || CanModify()) ApplyDate(v);
}

void TvxInplaceDateEdit::ApplyDate(TDateTime Value) {
    const TDateTime old = date_;
    date_ = Value;
    SetText(DateToText(IsMasked(), Value));
    dateChanged_ = false;
    if (!ValueLoadingGuard() && old != date_) FireNotify(OnDateChange, this);
}

void TvxInplaceDateEdit::SetUseEditMask(bool v) {
    if (useEditMask_ == v) return;
    useEditMask_ = v;
    RebuildMask();
}

void TvxInplaceDateEdit::RebuildMask() {
    const bool guard = ValueLoadingGuard();
    SetValueLoadingGuard(true);
    TScopeExit restore([&] { SetValueLoadingGuard(guard); });
    SetEditMaskValue("");
    if (useEditMask_) {
        SetEditMaskValue(BuildDateMask());
    } else {
        SetAssignedValues(AssignedValues() & static_cast<TvxAssignedValues>(~avEditMask));
    }
    ApplyDate(date_);
}

void TvxInplaceDateEdit::WinIniChanged() {
    InitFirstDayOfWeek();
    RebuildMask();
}

void TvxInplaceDateEdit::SetEditValue(const Variant& Value) {
    const bool guard = ValueLoadingGuard();
    SetValueLoadingGuard(true);
    TScopeExit restore([&] { SetValueLoadingGuard(guard); });
    if (Value.IsNull() || Value.IsEmpty() || (Value.IsString() && VarToStr(Value).empty()))
        ApplyDate(NullDate);
    else
        ApplyDate(Value.AsDouble());
}

void TvxInplaceDateEdit::GetDisplayValue(Variant& Value) {
    Value = date_ == NullDate ? Variant::Null() : Variant::FromDate(date_);
}

bool TvxInplaceDateEdit::IsEmptyMaskText() const {
    if (!IsMasked()) return false;
    const std::u32string& t = EditBuffer();
    for (size_t i = 0; i < t.size(); ++i) {
        if (Mask().IsLiteral(static_cast<int>(i))) continue;
        if (t[i] != U' ' && t[i] != MaskBlank()) return false;
    }
    return true;
}

void TvxInplaceDateEdit::GetDisplayText(std::string& S) {
    TvxInplaceDropDownEdit::GetDisplayText(S);
    if (IsEmptyMaskText()) S.clear();
}

void TvxInplaceDateEdit::Change() {
    if (ValueLoadingGuard()) return;
    TvxInplaceDropDownEdit::Change();
    dateChanged_ = true;
}

void TvxInplaceDateEdit::DoDateValidateInput(const std::string& Text, TDateTime& ADate, std::string& Message,
                                             bool& Error) {
    if (OnDateValidateInput) OnDateValidateInput(this, Text, ADate, Message, Error);
}

bool TvxInplaceDateEdit::KeepOpenOnMouseDown() {
    return validationError_ || TvxInplaceDropDownEdit::KeepOpenOnMouseDown();
}

void TvxInplaceDateEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    // An Enter validated when it was offered as a dialog key keeps that outcome; the base
    // does not validate it again (IsValidateOnEnter).
    if (!(enterValidated_ && Key == VK_RETURN)) {
        validationError_ = false;
        enterValidated_ = false;
    }
    TvxInplaceDropDownEdit::KeyDown(Key, Shift);
    enterValidated_ = false;
}

void TvxInplaceDateEdit::ValidateEdit() {
    TDateTime fallback = dateOnError_ == deNull ? NullDate : static_cast<double>(RoundTime(::Date()));
    if (GetModified() && KeyLock() == 0) {
        const std::string text = WindowText();
        bool error = false;
        if (IsMasked() ? IsEmptyMaskText() : Trim(text).empty()) {
            fallback = NullDate;
        } else {
            error = !TextToDate(text, fallback);
        }
        if (dateValidation_ || error) {
            if (ResetOnInvalid()) {
                ResetEdit();
                SetText("");
                return;
            }
            bool fail = error && dateValidation_;
            std::string message = vxInvalidDateText().empty() ? std::string("Invalid Date") : vxInvalidDateText();
            DoDateValidateInput(text, fallback, message, fail);
            if (fail) {
                if (!HasState(csDesigning)) {
                    validationError_ = true;
                    if (HandleAllocated() && IsWindowVisible(Handle()) && CanFocus() && GetFocus() != Handle())
                        SetFocus();
                }
                MessageBeep(0);
                throw Exception(message);
            }
        }
        validationError_ = false;
        SetDate(fallback);
        SetModified(true);
    }
    TvxInplaceDropDownEdit::ValidateEdit();
}

void TvxInplaceDateEdit::DropDown() {
    if (IsDroppedDown() || !CanEditText() || !CanModify() || !HandleAllocated()) return;
    if (calendar_) {
        if (calendar_->HandleAllocated()) calendar_->DestroyHandle();
    } else {
        calendar_ = new TvxGridDatePopup(this);
    }
    calendar_->SetEditor(this);
    SetPopupWindow(calendar_);
    DoDropDown();
    calendar_->SetPopupBorder(GetPopupBorder());
    calendar_->SetShadow(Style() ? Style()->Shadow() : false);
    calendar_->Font()->Assign(Font());
    calendar_->SetShowToday(dateButtons_.Contains(btnToday));
    calendar_->SetShowClear(dateButtons_.Contains(btnClear));
    TDateTime start = static_cast<double>(RoundTime(::Date()));
    TDateTime parsed = NullDate;
    bool ok = false;
    if (!IsEmptyMaskText()) {
        // A date word with a broken offset is no date here: the calendar opens at today.
        try {
            ok = TextToDate(WindowText(), parsed);
        } catch (const Exception&) {
            ok = false;
        }
    }
    // A text that is no date leaves no stale date behind for the calendar.
    lastDate_ = ok ? parsed : NullDate;
    if (lastDate_ != NullDate) start = static_cast<double>(RoundTime(lastDate_));
    calendar_->SetFirstDate(start);
    calendar_->SelectDate(start);
    calendar_->OnDateSelected = [this](TObject* s) { CalendarDatePicked(s); };
    calendar_->HandleNeeded();
    calendar_->UpdateSize();
    PositionPopup(calendar_, false);
    SetIsDroppedDown(true);
    calendar_->ShowPopup();
}

void TvxInplaceDateEdit::CalendarDatePicked(TObject* Sender) {
    (void)Sender;
    if (!calendar_) return;
    TDateTime d = calendar_->GetSelectionStart();
    if (saveTime_ && d != NullDate && lastDate_ != NullDate) {
        const TDateTime t = TimeOf(lastDate_);
        d = d < 0 ? d - t : d + t;
    }
    SetDate(d);
    SetModified(true);
}

bool TvxInplaceDateEdit::IsCalendarShown() const {
    return calendar_ && calendar_->HandleAllocated() && IsWindowVisible(calendar_->Handle());
}

void TvxInplaceDateEdit::ButtonDown(bool NoCapture, int Index) {
    if (IsCalendarShown()) {
        calendar_->ClosePopup();
        SetIsDroppedDown(false);
        return;
    }
    TvxInplaceDropDownEdit::ButtonDown(NoCapture, Index);
}

void TvxInplaceDateEdit::Hide() {
    if (IsCalendarShown()) calendar_->ClosePopupKeepingFocus();
    TvxInplaceDropDownEdit::Hide();
}

void TvxInplaceDateEdit::WndProc(TMessage& Message) {
    // Enter converts the typed text at once: on a form with a Default button the dialog
    // key clicks the button before the key reaches the editor, and its handler must read
    // the date, not the text.
    if (Message.Msg == CN_KEYDOWN && Message.WParam == VK_RETURN && !IsInplace() && !IsDroppedDown()) {
        enterValidated_ = true;
        ValidateEdit();
    }
    if (Message.Msg == CM_VX_WININICHANGE) {
        TvxInplaceDropDownEdit::WndProc(Message);
        WinIniChanged();
        return;
    }
    TvxInplaceDropDownEdit::WndProc(Message);
}
