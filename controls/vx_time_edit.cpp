#include "controls/vx_time_edit.h"

#include <algorithm>
#include <cmath>

#include "controls/vx_container.h"
#include "controls/vx_editors_unit.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/str_utils.h"

namespace {

struct TimeFormat {
    const char* Display;
    const char* Mask;
};
constexpr TimeFormat kFormats[] = {
    {"hh:nn:ss", "00:00:00;1;0"},
    {"hh:nn", "00:00;1;0"},
    {"hh", "00;1;0"},
};

}  // namespace

const char* vxTimeDisplayFormat(TvxTimeEditFormat Format) { return kFormats[Format].Display; }
const char* vxTimeEditMask(TvxTimeEditFormat Format) { return kFormats[Format].Mask; }

TvxInplaceEdit* TvxInplaceTimeEditClass::Create(TComponent* AOwner) const { return new TvxInplaceTimeEdit(AOwner); }

const TvxInplaceTimeEditClass& TvxInplaceTimeEdit::StaticClass() {
    static const TvxInplaceTimeEditClass instance;
    return instance;
}

TvxInplaceTimeEdit::TvxInplaceTimeEdit(TComponent* AOwner) : TvxInplaceTimeEdit(AOwner, StaticClass()) {}

TvxInplaceTimeEdit::TvxInplaceTimeEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceSpinEdit(AOwner, AClass) {
    SetEditMask(vxTimeEditMask(timeEditFormat_));
    SetRawText(true);
}

void TvxInplaceTimeEdit::SetTimeEditFormat(TvxTimeEditFormat Value) {
    if (Value == timeEditFormat_) return;
    timeEditFormat_ = Value;
    SetEditMask(vxTimeEditMask(Value));
}

char TvxInplaceTimeEdit::CurrentTimeField() {
    const std::string format = UpperCase(vxTimeDisplayFormat(timeEditFormat_));
    const int limit = MaxLength() > 0 ? MaxLength() : MaxChars();
    int p = std::min(SelStart() + 1, limit);
    auto at = [&](int pos) { return pos >= 1 && pos <= static_cast<int>(format.size()) ? format[pos - 1] : '\0'; };
    const char c = at(p);
    if (c == 'H' || c == 'N' || c == 'S') return c;
    return at(std::max(p - 1, 1));
}

double TvxInplaceTimeEdit::GetIncrement() {
    switch (CurrentTimeField()) {
        case 'H': return vxOneHour;
        case 'N': return vxOneMinute;
        case 'S': return vxOneSecond;
        default: return 0;
    }
}

double TvxInplaceTimeEdit::GetValue() {
    TDateTime t = 0;
    return TryStrToTime(WindowText(), t) ? static_cast<double>(t) : 0.0;
}

bool TvxInplaceTimeEdit::IsValidSpinChar(char32_t Key) {
    const int pos = SelStart();
    switch (CurrentTimeField()) {
        case 'H':
            if (pos == 0) return Key >= U'0' && Key <= U'2';
            if (pos == 1 && !WindowText().empty() && WindowText()[0] == '2') return Key >= U'0' && Key <= U'3';
            return true;
        case 'N': return pos != 3 || (Key >= U'0' && Key <= U'5');
        case 'S': return pos != 6 || (Key >= U'0' && Key <= U'5');
        default: return true;
    }
}

void TvxInplaceTimeEdit::SetValue(double Value) {
    if (Value < vxMinTime || Value > vxMaxTime) return;
    const int pos = HandleAllocated() ? SelStart() : 0;
    const int sel = pos < 3 ? 1 : pos < 6 ? 4 : 7;
    time_ = Value;
    SetValueText(FormatDateTime(vxTimeDisplayFormat(timeEditFormat_), Value));
    // The last digit of the part that held the caret, so spinning stays on that part.
    if (HandleAllocated()) SetSelRange(sel, sel + 1, false);
}

void TvxInplaceTimeEdit::SetTime(TDateTime Value) {
    if (Value == time_) return;
    TCustomvxContainer* c = GetContainer();
    if ((c && c->LoadingEditValues()) || CanModify()) SetValue(Value);
}

void TvxInplaceTimeEdit::SetEditValue(const Variant& Value) {
    const bool modified = GetModified();
    struct Restore {
        TvxInplaceTimeEdit* e;
        bool m;
        ~Restore() { e->SetModified(m); }
    } restore{this, modified};
    if (Value.IsNull() || Value.IsEmpty() || (Value.IsString() && VarToStr(Value).empty())) {
        datePart_ = 0;
        SetValue(0);
        loadedTime_ = loadedShown_ = 0;
        return;
    }
    const double d = Value.AsDouble();
    datePart_ = std::trunc(d >= 0 ? d + 1e-11 : d - 1e-11);
    // The editor shows whole seconds; a stored fraction of a second is kept aside and goes
    // back with the value as long as the user leaves the time as it is.
    const double t = static_cast<double>(TimeOf(d));
    const long long ms = std::llround(t * 86400000.0);
    double shown = t;
    if (ms % 1000 != 0) shown = static_cast<double>(std::min(ms / 1000, 86399ll)) / 86400.0;
    SetValue(shown);
    loadedTime_ = t;
    loadedShown_ = time_;
}

void TvxInplaceTimeEdit::GetDisplayValue(Variant& Value) {
    if (time_ == 0 && datePart_ == 0) {
        Value = Variant::FromCurrency(0);
        return;
    }
    const double t = time_ == loadedShown_ ? loadedTime_ : time_;
    // Before 30 December 1899 the time counts away from zero, as in the value it came from.
    Value = Variant(datePart_ < 0 ? datePart_ - t : datePart_ + t);
}
