#include "platform/db/numeric_fields.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/db/db_consts.h"
#include "platform/rtl/convert.h"
#include "platform/rtl/locale.h"

TNumericField::TNumericField(TComponent* AOwner) : TField(AOwner) { SetAlignment(taRightJustify); }

bool TNumericField::IsValidChar(char32_t c) const { return c == '+' || c == '-' || (c >= '0' && c <= '9'); }

// ---- integers ----

TIntegerField::TIntegerField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftInteger); }
TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner) { SetDataType(ftSmallint); }
TWordField::TWordField(TComponent* AOwner) : TIntegerField(AOwner) { SetDataType(ftWord); }
TAutoIncField::TAutoIncField(TComponent* AOwner) : TIntegerField(AOwner) { SetDataType(ftAutoInc); }
TLargeintField::TLargeintField(TComponent* AOwner) : TIntegerField(AOwner) { SetDataType(ftLargeint); }

int TIntegerField::DataSize() const {
    switch (DataType()) {
        case ftSmallint:
        case ftWord: return 2;
        case ftLargeint: return 8;
        default: return 4;
    }
}

bool TIntegerField::IsValidChar(char32_t c) const { return TNumericField::IsValidChar(c); }

bool TIntegerField::ReadInt(int64_t& v) const {
    uint8_t buf[8] = {};
    if (!GetData(buf)) return false;
    switch (DataType()) {
        case ftSmallint: {
            int16_t x;
            std::memcpy(&x, buf, 2);
            v = x;
            break;
        }
        case ftWord: {
            uint16_t x;
            std::memcpy(&x, buf, 2);
            v = x;
            break;
        }
        case ftLargeint: {
            int64_t x;
            std::memcpy(&x, buf, 8);
            v = x;
            break;
        }
        default: {
            int32_t x;
            std::memcpy(&x, buf, 4);
            v = x;
            break;
        }
    }
    return true;
}

void TIntegerField::RangeCheck(int64_t v) const {
    int64_t lo, hi;
    switch (DataType()) {
        case ftSmallint:
            lo = INT16_MIN;
            hi = INT16_MAX;
            break;
        case ftWord:
            lo = 0;
            hi = UINT16_MAX;
            break;
        case ftLargeint: return;
        default:
            lo = INT32_MIN;
            hi = INT32_MAX;
            break;
    }
    if (v < lo || v > hi)
        DatabaseError(DbFmt(SFieldRangeError, IntToStr(v), DisplayName(), IntToStr(lo), IntToStr(hi)));
}

void TIntegerField::WriteInt(int64_t v) {
    RangeCheck(v);
    uint8_t buf[8] = {};
    switch (DataType()) {
        case ftSmallint: {
            int16_t x = static_cast<int16_t>(v);
            std::memcpy(buf, &x, 2);
            break;
        }
        case ftWord: {
            uint16_t x = static_cast<uint16_t>(v);
            std::memcpy(buf, &x, 2);
            break;
        }
        case ftLargeint: std::memcpy(buf, &v, 8); break;
        default: {
            int32_t x = static_cast<int32_t>(v);
            std::memcpy(buf, &x, 4);
            break;
        }
    }
    SetData(buf);
}

Variant TIntegerField::GetAsVariant() const {
    int64_t v;
    if (!ReadInt(v)) return Variant::Null();
    if (DataType() == ftLargeint) return Variant(v);
    return Variant(static_cast<int>(v));
}

std::string TIntegerField::GetAsString() const {
    int64_t v;
    return ReadInt(v) ? IntToStr(v) : std::string();
}

void TIntegerField::SetAsStringValue(const std::string& v) {
    if (v.empty()) {
        Clear();
        return;
    }
    WriteInt(StrToInt64(v));
}

int32_t TIntegerField::GetAsInteger() const {
    int64_t v = 0;
    ReadInt(v);
    return static_cast<int32_t>(v);
}
void TIntegerField::SetAsIntegerValue(int32_t v) { WriteInt(v); }
int64_t TIntegerField::GetAsLargeInt() const {
    int64_t v = 0;
    ReadInt(v);
    return v;
}
void TIntegerField::SetAsLargeIntValue(int64_t v) { WriteInt(v); }
double TIntegerField::GetAsFloat() const { return static_cast<double>(GetAsLargeInt()); }
void TIntegerField::SetAsFloatValue(double v) {
    double r = std::nearbyint(v);
    if (!std::isfinite(r) || r < -9.2e18 || r > 9.2e18) AccessError("Float");
    WriteInt(static_cast<int64_t>(r));
}
bool TIntegerField::GetAsBoolean() const { return GetAsLargeInt() != 0; }
void TIntegerField::SetAsBooleanValue(bool v) { WriteInt(v ? 1 : 0); }

// ---- floats ----

TFloatField::TFloatField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftFloat); }
TCurrencyField::TCurrencyField(TComponent* AOwner) : TFloatField(AOwner) { SetDataType(ftCurrency); }
TBCDField::TBCDField(TComponent* AOwner) : TFloatField(AOwner) {
    SetDataType(ftBCD);
    TField::SetSize(4);
}

bool TFloatField::IsValidChar(char32_t c) const {
    return TNumericField::IsValidChar(c) || c == static_cast<unsigned char>(FormatSettings().DecimalSeparator) ||
           c == 'E' || c == 'e';
}

bool TFloatField::ReadFloat(double& v) const {
    uint8_t buf[8] = {};
    if (!GetData(buf)) return false;
    if (DataType() == ftBCD) {
        int64_t units;
        std::memcpy(&units, buf, 8);
        v = static_cast<double>(units) / 10000.0;
    } else {
        std::memcpy(&v, buf, 8);
    }
    return true;
}

void TFloatField::WriteFloat(double v) {
    uint8_t buf[8];
    std::memcpy(buf, &v, 8);
    SetData(buf);
}

Variant TFloatField::GetAsVariant() const {
    double v;
    if (!ReadFloat(v)) return Variant::Null();
    return Variant(v);
}

std::string TFloatField::GetAsString() const {
    double v;
    return ReadFloat(v) ? FloatToStr(v) : std::string();
}

void TFloatField::SetAsStringValue(const std::string& v) {
    if (v.empty()) {
        Clear();
        return;
    }
    WriteFloat(static_cast<double>(StrToFloat(v)));
}

int32_t TFloatField::GetAsInteger() const {
    double v = GetAsFloat();
    double r = std::nearbyint(v);
    // Written so that a NaN fails too: the cast is only defined inside the range.
    if (!(r >= INT32_MIN && r <= INT32_MAX)) AccessError("Integer");
    return static_cast<int32_t>(r);
}
void TFloatField::SetAsIntegerValue(int32_t v) { WriteFloat(v); }
int64_t TFloatField::GetAsLargeInt() const {
    double r = std::nearbyint(GetAsFloat());
    if (!(r >= -9.2e18 && r <= 9.2e18)) AccessError("Largeint");
    return static_cast<int64_t>(r);
}
double TFloatField::GetAsFloat() const {
    double v = 0;
    ReadFloat(v);
    return v;
}
void TFloatField::SetAsFloatValue(double v) { WriteFloat(v); }

void TFloatField::GetText(std::string& Text, bool) const { Text = GetAsString(); }

Variant TCurrencyField::GetAsVariant() const {
    double v;
    if (!ReadFloat(v)) return Variant::Null();
    return Variant::FromCurrency(v);
}

void TCurrencyField::GetText(std::string& Text, bool DisplayText) const {
    double v;
    if (!ReadFloat(v)) {
        Text.clear();
        return;
    }
    Text = DisplayText ? FloatToStrF(v, ffCurrency, 15, FormatSettings().CurrencyDecimals) : FloatToStr(v);
}

Variant TBCDField::GetAsVariant() const {
    double v;
    if (!ReadFloat(v)) return Variant::Null();
    return Variant::FromCurrency(v);
}

double TBCDField::GetAsFloat() const {
    double v = 0;
    ReadFloat(v);
    return v;
}

void TBCDField::WriteFloat(double v) {
    double units = std::round(v * 10000.0);
    if (!std::isfinite(units) || units < -9.2e18 || units > 9.2e18) AccessError("BCD");
    int64_t u = static_cast<int64_t>(units);
    uint8_t buf[8];
    std::memcpy(buf, &u, 8);
    SetData(buf);
}
