#include "controls/vx_currency_edit.h"

#include <algorithm>
#include <cmath>

#include "controls/currency_format.h"
#include "platform/forms/control_messages.h"
#include "platform/forms/control_paint.h"
#include "platform/rtl/convert.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/str_utils.h"
#include "platform/win/input.h"

namespace {

bool TryTextToDouble(const std::string& S, double& Value, char Decimal, char Thousands) {
    Value = 0;
    std::string s;
    for (char c : S)
        if (c != Thousands) s += c;
    long double v = 0;
    if (!TextToFloat(s, v, Decimal)) return false;
    const long double a = std::fabs(v);
    if (v != 0 && (a < 5.0E-324L || a > 1.7E308L)) return false;
    Value = static_cast<double>(v);
    return true;
}

}  // namespace

bool TryStrToDouble(const std::string& S, double& Value) {
    return TryTextToDouble(S, Value, FormatSettings().DecimalSeparator, FormatSettings().ThousandSeparator);
}

const TvxInplaceCurrencyEditClass& TvxInplaceCurrencyEdit::StaticClass() {
    static const TvxInplaceCurrencyEditClass instance;
    return instance;
}

TvxInplaceEdit* TvxInplaceCurrencyEditClass::Create(TComponent* AOwner) const {
    return new TvxInplaceCurrencyEdit(AOwner);
}

TvxInplaceCurrencyEdit::TvxInplaceCurrencyEdit(TComponent* AOwner) : TvxInplaceCurrencyEdit(AOwner, StaticClass()) {}

TvxInplaceCurrencyEdit::TvxInplaceCurrencyEdit(TComponent* AOwner, const TvxInplaceEditClass& AClass)
    : TvxInplaceMaskEdit(AOwner, AClass) {
    controlStyle_ &= ~csSetCaption;
    displayFormat_ = GetDefaultDisplayFormat();
    textDecimal_ = FormatSettings().DecimalSeparator;
    textThousands_ = FormatSettings().ThousandSeparator;
}

void TvxInplaceCurrencyEdit::SetDisplayFormatAssigned(const std::string& v) {
    SetAssignedBit(avCurrencyFormat);
    SetDisplayFormat(v);
}

void TvxInplaceCurrencyEdit::SetDisplayFormat(const std::string& Value) {
    if (Value == displayFormat_) return;
    displayFormat_ = Value;
    Invalidate();
}

void TvxInplaceCurrencyEdit::SetNullable(bool v) {
    if (nullable_ == v) return;
    nullable_ = v;
    Invalidate();
}

void TvxInplaceCurrencyEdit::SetNullString(const std::string& v) {
    if (nullString_ == v) return;
    nullString_ = v;
    Invalidate();
}

void TvxInplaceCurrencyEdit::SetMaxValue(double Value) {
    Value = std::max(Value, minValue_);
    if (Value == maxValue_) return;
    maxValue_ = Value;
    SetValue(GetValue());
}

void TvxInplaceCurrencyEdit::SetMinValue(double Value) {
    Value = std::min(Value, maxValue_);
    if (Value == minValue_) return;
    minValue_ = Value;
    SetValue(GetValue());
}

void TvxInplaceCurrencyEdit::SetMinMax(double AMin, double AMax) {
    minValue_ = std::min(AMin, AMax);
    maxValue_ = AMax;
    SetValue(GetValue());
}

void TvxInplaceCurrencyEdit::SetMinMaxValues(double AMin, double AMax) {
    SetAssignedBit(avMinValue);
    SetAssignedBit(avMaxValue);
    SetMinMax(AMin, AMax);
}

std::string TvxInplaceCurrencyEdit::GetDefaultDisplayFormat() {
    std::string f;
    GetCurrencyEditFormat(f);
    return f;
}

double TvxInplaceCurrencyEdit::GetValue() {
    const std::string s = WindowText();
    if (s.empty()) return 0;
    double v = 0;
    return TryStrToDouble(s, v) ? v : minValue_;
}

void TvxInplaceCurrencyEdit::SetValue(double Value) {
    if (minValue_ != maxValue_) Value = std::clamp(Value, minValue_, maxValue_);
    const std::string s = FloatToStrF(Value, ffGeneral, 15, 0);
    const bool modified = GetModified();
    if (s != WindowText()) TControl::SetText(s);
    SetModified(modified);
}

void TvxInplaceCurrencyEdit::RefreshDefaults() {
    TvxInplaceMaskEdit::RefreshDefaults();
    if (!IsAssigned(avCurrencyFormat)) SetDisplayFormat(GetDefaultDisplayFormat());
    const bool maxSet = IsAssigned(avMaxValue);
    const bool minSet = IsAssigned(avMinValue);
    if (!maxSet && !minSet) {
        SetMinMax(DefaultMinValue(), DefaultMaxValue());
    } else {
        if (!maxSet) SetMaxValue(DefaultMaxValue());
        if (!minSet) SetMinValue(DefaultMinValue());
    }
}

void TvxInplaceCurrencyEdit::RestoreDefaults() {
    TvxInplaceMaskEdit::RestoreDefaults();
    SetDisplayFormat(GetDefaultDisplayFormat());
    SetMinMax(DefaultMinValue(), DefaultMaxValue());
}

std::string TvxInplaceCurrencyEdit::FormattedText() const {
    const std::string text = WindowText();
    double x = 0;
    if (!text.empty()) {
        TryStrToDouble(text, x);
    } else if (nullable_) {
        return nullString_;
    }
    return FormatFloat(displayFormat_, x);
}

void TvxInplaceCurrencyEdit::GetEditValue(Variant& Value, bool IsPaintCopy) {
    if (displayFormat_.empty()) {
        TvxInplaceMaskEdit::GetEditValue(Value, IsPaintCopy);
        return;
    }
    if (ValueSource() && IsPaintCopy) {
        const Variant v = ValueSource()->Value();
        const bool empty = v.IsNull() || v.IsEmpty() || (v.IsString() && VarToStr(v).empty());
        if (empty && nullable_) {
            Value = Variant(nullString_);
            return;
        }
        Value = Variant(FormatFloat(displayFormat_, empty ? 0.0 : v.AsDouble()));
        return;
    }
    Value = Variant(FormattedText());
}

void TvxInplaceCurrencyEdit::GetDisplayValue(Variant& Value) {
    if (nullable_ && WindowText().empty()) {
        Value = Variant::Null();
        return;
    }
    TvxInplaceMaskEdit::GetDisplayValue(Value);
}

void TvxInplaceCurrencyEdit::ValidateEdit() {
    TvxInplaceMaskEdit::ValidateEdit();
    if (!GetModified()) return;
    if (WindowText().empty() && nullable_) return;
    SetValue(GetValue());
}

void TvxInplaceCurrencyEdit::FocusChanged(bool Entering) {
    TvxInplaceMaskEdit::FocusChanged(Entering);
    if (!displayFormat_.empty()) Invalidate();
}

void TvxInplaceCurrencyEdit::Paint() {
    if ((HandleAllocated() && Focused()) || displayFormat_.empty()) {
        TvxInplaceMaskEdit::Paint();
        return;
    }
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Enabled() ? Color() : clBtnFace);
    c->FillRect(ClientRect());
    c->SetFont(Font());
    if (!Enabled()) c->Font()->SetColor(clGrayText);
    const TPoint origin = PosToPoint(0);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(origin.X, origin.Y, FormattedText());
}

bool TvxInplaceCurrencyEdit::IsValidCurrencyChar(char32_t Key) {
    const TFormatSettings& fs = FormatSettings();
    const char32_t decimal = static_cast<char32_t>(fs.DecimalSeparator);
    const bool inSet = Key == U'+' || Key == U'-' || (Key >= U'0' && Key <= U'9') || Key == U'E' || Key == U'e' ||
                       Key == decimal || (useThousandSeparator_ && Key == static_cast<char32_t>(fs.ThousandSeparator));
    if (!inSet) return false;
    std::u32string t = ToU32(WindowText());
    const size_t start = std::min<size_t>(static_cast<size_t>(std::max(SelStart(), 0)), t.size());
    t.erase(start, std::min<size_t>(static_cast<size_t>(std::max(SelLength(), 0)), t.size() - start));
    if (Key == U'-' && t.empty()) return true;
    t.insert(t.begin() + static_cast<std::ptrdiff_t>(start), Key);
    const size_t d = t.find(decimal);
    if (d != std::u32string::npos) {
        size_t end = t.size();
        const size_t e = t.find_first_of(U"Ee", d + 1);
        if (e != std::u32string::npos) end = e;
        if (end - d - 1 > decimalPlaces_) return false;
    }
    double v = 0;
    return TryStrToDouble(ToUtf8(t), v);
}

void TvxInplaceCurrencyEdit::KeyPress(char32_t& Key) {
    const TFormatSettings& fs = FormatSettings();
    const bool thousands = useThousandSeparator_ && Key == static_cast<char32_t>(fs.ThousandSeparator);
    if (!thousands && (Key == U',' || Key == U'.')) Key = static_cast<char32_t>(fs.DecimalSeparator);
    if (Key > 31 && !IsValidCurrencyChar(Key)) {
        Key = 0;
        MessageBeep(0);
    }
    if (Key != 0) TvxInplaceMaskEdit::KeyPress(Key);
}

void TvxInplaceCurrencyEdit::PasteFromClipboard() {
    if (!CanEditText()) return;
    const std::string old = WindowText();
    TvxInplaceMaskEdit::PasteFromClipboard();
    try {
        (void)StrToFloat(WindowText());
    } catch (const EConvertError&) {
        TControl::SetText(old);
        SelectAll();
    }
}

void TvxInplaceCurrencyEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case CM_WININICHANGE: {
            TvxInplaceMaskEdit::WndProc(Message);
            // The locale table is what the number routines read, so it is current already:
            // the text is read with the separators it was written in and shown anew, so
            // that the amount stays what it was.
            double value = 0;
            const std::string text = WindowText();
            const bool number = !text.empty() && TryTextToDouble(text, value, textDecimal_, textThousands_);
            textDecimal_ = FormatSettings().DecimalSeparator;
            textThousands_ = FormatSettings().ThousandSeparator;
            if (number) SetValue(value);
            if (!IsAssigned(avCurrencyFormat)) SetDisplayFormat(GetDefaultDisplayFormat());
            return;
        }
        default: break;
    }
    TvxInplaceMaskEdit::WndProc(Message);
}
