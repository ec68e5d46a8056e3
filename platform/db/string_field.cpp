#include "platform/db/string_field.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/rtl/convert.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/encoding.h"

TStringField::TStringField(TComponent* AOwner) : TField(AOwner) {
    SetDataType(ftString);
    TField::SetSize(20);
}

std::string StringFieldBytes(const TField* f) {
    std::vector<char> buf(f->DataSize() + 1, '\0');
    if (!f->GetData(buf.data())) return {};
    return std::string(buf.data(), strnlen(buf.data(), buf.size() - 1));
}

Variant TStringField::GetAsVariant() const {
    if (IsNull()) return Variant::Null();
    return Variant(GetAsString());
}

std::string TStringField::GetAsString() const { return Cp1252ToUtf8(StringFieldBytes(this)); }

void TStringField::SetAsStringValue(const std::string& v) {
    // ASCII is the same in both encodings and needs no conversion.
    bool ascii = std::all_of(v.begin(), v.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    std::string converted;
    if (!ascii) converted = Utf8ToCp1252(v);
    const std::string& bytes = ascii ? v : converted;
    size_t n = std::min(bytes.size(), static_cast<size_t>(Size()));
    char small[256];
    std::vector<char> large;
    char* buf = small;
    if (static_cast<size_t>(DataSize()) > sizeof small) {
        large.resize(DataSize());
        buf = large.data();
    }
    std::memset(buf, 0, DataSize());
    std::memcpy(buf, bytes.data(), n);
    SetData(buf);
}

int32_t TStringField::GetAsInteger() const { return StrToInt(GetAsString()); }
void TStringField::SetAsIntegerValue(int32_t v) { SetAsStringValue(IntToStr(v)); }
double TStringField::GetAsFloat() const { return static_cast<double>(StrToFloat(GetAsString())); }
void TStringField::SetAsFloatValue(double v) { SetAsStringValue(FloatToStr(v)); }
bool TStringField::GetAsBoolean() const {
    std::string s = GetAsString();
    if (s.empty()) return false;
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
    return c == 'T' || c == 'Y' || c == 'J' || c == 'W';
}
void TStringField::SetAsBooleanValue(bool v) { SetAsStringValue(v ? "T" : "F"); }
double TStringField::GetAsDateTime() const { return StrToDateTime(GetAsString()); }
void TStringField::SetAsDateTimeValue(double v) { SetAsStringValue(DateTimeToStr(v)); }
