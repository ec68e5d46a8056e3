#include "platform/rtl/variant.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/rtl/convert.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/exception.h"

namespace {
bool VariantTextToInt64(const std::string& text, int64_t& out) { return TryStrToInt64(text, out); }
bool VariantTextToDouble(const std::string& text, double& out) { return TryStrToFloat(text, out); }
bool VariantTextToBool(const std::string& text, bool& out) { return TryStrToBool(text, out); }
std::string VariantDoubleToText(double d) { return FloatToStr(d); }
bool VariantTextToDate(const std::string& text, double& out) { return TryStrToDateTime(text, out); }
std::string VariantDateToText(double d) { return DateTimeToStr(d); }
}  // namespace

Variant::Variant(const Variant& o)
    : type_(o.type_),
      i_(o.i_),
      d_(o.d_),
      s_(o.s_),
      items_(o.items_ ? std::make_unique<std::vector<Variant>>(*o.items_) : nullptr) {}

Variant& Variant::operator=(const Variant& o) {
    if (this != &o) {
        Variant copy(o);
        *this = std::move(copy);
    }
    return *this;
}

Variant Variant::Null() {
    Variant v;
    v.type_ = varNull;
    return v;
}

Variant Variant::FromDate(double dateTime) {
    Variant v;
    v.type_ = varDate;
    v.d_ = dateTime;
    return v;
}

namespace {
int64_t UnitsOf(double value) {
    const double scaled = std::round(value * 10000.0);
    if (std::isnan(scaled)) return 0;
    if (scaled >= 9.2233720368547758e18) return std::numeric_limits<int64_t>::max();
    if (scaled < -9.2233720368547758e18) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(scaled);
}
}  // namespace

Variant Variant::FromCurrency(double value) {
    Variant v;
    v.type_ = varCurrency;
    v.i_ = UnitsOf(value);
    v.d_ = std::round(value * 10000.0) / 10000.0;
    return v;
}

Variant Variant::FromCurrencyUnits(int64_t units) {
    Variant v;
    v.type_ = varCurrency;
    v.i_ = units;
    v.d_ = static_cast<double>(units) / 10000.0;
    return v;
}

int64_t Variant::CurrencyUnits() const { return type_ == varCurrency ? i_ : UnitsOf(AsDouble()); }

Variant Variant::Array(std::vector<Variant> items) {
    Variant v;
    v.type_ = varArray;
    v.items_ = std::make_unique<std::vector<Variant>>(std::move(items));
    return v;
}

Variant Variant::FromByte(uint8_t value) {
    Variant v;
    v.type_ = varByte;
    v.i_ = value;
    return v;
}

Variant Variant::FromSingle(float value) {
    Variant v;
    v.type_ = varSingle;
    v.d_ = value;
    return v;
}

Variant Variant::FromOleStr(std::string value) {
    Variant v(std::move(value));
    v.type_ = varOleStr;
    return v;
}

Variant VarArrayOf(std::initializer_list<Variant> items) { return Variant::Array(std::vector<Variant>(items)); }

std::string VarTypeName(TVarType t) {
    switch (t) {
        case varEmpty: return "Empty";
        case varNull: return "Null";
        case varSmallint: return "Smallint";
        case varInteger: return "Integer";
        case varSingle: return "Single";
        case varOleStr: return "OleStr";
        case varByte: return "Byte";
        case varDouble: return "Double";
        case varCurrency: return "Currency";
        case varDate: return "Date";
        case varBoolean: return "Boolean";
        case varVariant: return "Variant";
        case varInt64: return "Int64";
        case varString: return "String";
        case varArray: return "Array";
    }
    return "Unknown";
}

void Variant::CastError(const char* target) const {
    throw EVariantError("Variante des Typs (" + VarTypeName(type_) + ") konnte nicht in Typ (" + target +
                        ") konvertiert werden");
}

bool Variant::IsNumeric() const {
    switch (type_) {
        case varSmallint:
        case varInteger:
        case varByte:
        case varInt64:
        case varSingle:
        case varDouble:
        case varCurrency:
        case varDate:
        case varBoolean: return true;
        default: return false;
    }
}

namespace {
bool IsIntegerType(TVarType t) {
    return t == varSmallint || t == varInteger || t == varByte || t == varInt64 || t == varBoolean;
}

bool IsFloatType(TVarType t) { return t == varSingle || t == varDouble || t == varCurrency || t == varDate; }

int64_t RoundToInt64(double d, bool& ok) {
    // Banker's rounding, as the class library rounds floats to integers.
    double r = std::nearbyint(d);
    ok = std::isfinite(r) && r >= -9.2233720368547758e18 && r < 9.2233720368547758e18;
    return ok ? static_cast<int64_t>(r) : 0;
}
}  // namespace

int64_t Variant::AsInt64() const {
    if (type_ == varEmpty) return 0;
    if (IsIntegerType(type_)) return type_ == varBoolean ? (i_ ? -1 : 0) : i_;
    if (IsFloatType(type_)) {
        bool ok;
        int64_t r = RoundToInt64(d_, ok);
        if (!ok) CastError("Int64");
        return r;
    }
    if (IsString()) {
        int64_t r;
        if (VariantTextToInt64(s_, r)) return r;
        double d;
        if (VariantTextToDouble(s_, d)) {
            bool ok;
            r = RoundToInt64(d, ok);
            if (ok) return r;
        }
        CastError("Int64");
    }
    CastError("Int64");
}

int32_t Variant::AsInteger() const {
    int64_t v;
    try {
        v = AsInt64();
    } catch (const EVariantError&) {
        CastError("Integer");
    }
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) CastError("Integer");
    return static_cast<int32_t>(v);
}

double Variant::AsDouble() const {
    if (type_ == varEmpty) return 0;
    if (type_ == varBoolean) return i_ ? -1.0 : 0.0;
    if (IsIntegerType(type_)) return static_cast<double>(i_);
    if (IsFloatType(type_)) return d_;
    if (IsString()) {
        double d;
        if (VariantTextToDouble(s_, d)) return d;
    }
    CastError("Double");
}

double Variant::AsDate() const {
    if (IsString()) {
        double d;
        if (VariantTextToDate(s_, d)) return d;
        CastError("Date");
    }
    try {
        return AsDouble();
    } catch (const EVariantError&) {
        CastError("Date");
    }
}

bool Variant::AsBoolean() const {
    if (type_ == varEmpty) return false;
    if (IsIntegerType(type_)) return i_ != 0;
    if (IsFloatType(type_)) return d_ != 0;
    if (IsString()) {
        bool b;
        if (VariantTextToBool(s_, b)) return b;
        double d;
        if (VariantTextToDouble(s_, d)) return d != 0;
    }
    CastError("Boolean");
}

std::string Variant::AsString() const {
    switch (type_) {
        case varEmpty: return "";
        case varString:
        case varOleStr: return s_;
        case varBoolean: return i_ ? "True" : "False";
        case varSmallint:
        case varInteger:
        case varByte:
        case varInt64: return std::to_string(i_);
        case varSingle: return FloatToStrF(d_, ffGeneral, 7, 0);
        case varDouble:
        case varCurrency: return VariantDoubleToText(d_);
        case varDate: return VariantDateToText(d_);
        default: CastError("String");
    }
}

int Variant::ArrayHighBound() const {
    if (type_ != varArray) throw EVariantError("Ungültige Variant-Operation");
    return static_cast<int>(items_->size()) - 1;
}

const Variant& Variant::operator[](int i) const {
    if (type_ != varArray || i < 0 || i >= static_cast<int>(items_->size()))
        throw EVariantError("Variant oder sicherer Array-Index außerhalb des gültigen Bereichs");
    return (*items_)[i];
}

Variant& Variant::operator[](int i) {
    if (type_ != varArray || i < 0 || i >= static_cast<int>(items_->size()))
        throw EVariantError("Variant oder sicherer Array-Index außerhalb des gültigen Bereichs");
    return (*items_)[i];
}

int VarArrayHighBound(const Variant& v, int) { return v.ArrayHighBound(); }

std::string VarToStr(const Variant& v) {
    if (v.IsNull() || v.IsEmpty()) return "";
    return v.AsString();
}

namespace {
template <typename T>
TVariantRelationship Rel(T a, T b) {
    if (a < b) return vrLessThan;
    if (b < a) return vrGreaterThan;
    return vrEqual;
}
}  // namespace

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
    bool aNone = a.IsNull() || a.IsEmpty();
    bool bNone = b.IsNull() || b.IsEmpty();
    if (aNone || bNone) {
        if (aNone && bNone) return vrEqual;
        return aNone ? vrLessThan : vrGreaterThan;
    }
    if (a.IsArray() || b.IsArray()) {
        if (!(a.IsArray() && b.IsArray()) || a.ArrayHighBound() != b.ArrayHighBound()) return vrNotEqual;
        for (int i = 0; i <= a.ArrayHighBound(); ++i)
            if (VarCompareValue(a[i], b[i]) != vrEqual) return vrNotEqual;
        return vrEqual;
    }
    if (a.IsString() && b.IsString()) {
        // Compared in place: sorting and grouping compare each string many times.
        const int c = a.s_.compare(b.s_);
        return c < 0 ? vrLessThan : c > 0 ? vrGreaterThan : vrEqual;
    }
    if (a.IsNumeric() && b.IsNumeric()) {
        if (IsIntegerType(a.VarType()) && IsIntegerType(b.VarType())) return Rel(a.AsInt64(), b.AsInt64());
        if (a.VarType() == varCurrency && b.VarType() == varCurrency) return Rel(a.CurrencyUnits(), b.CurrencyUnits());
        return Rel(a.AsDouble(), b.AsDouble());
    }
    // One string, one number.
    double d;
    const Variant& s = a.IsString() ? a : b;
    if (VariantTextToDouble(s.AsString(), d)) return Rel(a.AsDouble(), b.AsDouble());
    return Rel(a.AsString(), b.AsString());
}

bool operator==(const Variant& a, const Variant& b) { return VarCompareValue(a, b) == vrEqual; }
bool operator<(const Variant& a, const Variant& b) { return VarCompareValue(a, b) == vrLessThan; }

Variant VarAsType(const Variant& v, TVarType type) {
    if (v.VarType() == type) return v;
    if (v.IsNull() || v.IsEmpty()) {
        if (type == varNull) return Null();
        if (type == varEmpty) return Unassigned();
        if (v.IsEmpty()) return VarAsType(Variant(0), type);
    }
    auto castError = [&]() {
        throw EVariantError("Variante des Typs (" + VarTypeName(v.VarType()) + ") konnte nicht in Typ (" +
                            VarTypeName(type) + ") konvertiert werden");
    };
    auto inRange = [&](int64_t x, int64_t lo, int64_t hi) {
        if (x < lo || x > hi) castError();
        return x;
    };
    try {
        switch (type) {
            case varSmallint: return Variant(static_cast<int16_t>(inRange(v.AsInt64(), -32768, 32767)));
            case varInteger:
                return Variant(static_cast<int>(
                    inRange(v.AsInt64(), std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max())));
            case varByte: return Variant::FromByte(static_cast<uint8_t>(inRange(v.AsInt64(), 0, 255)));
            case varInt64: return Variant(v.AsInt64());
            case varSingle: {
                double d = v.AsDouble();
                if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) castError();
                return Variant::FromSingle(static_cast<float>(d));
            }
            case varDouble: return Variant(v.AsDouble());
            case varCurrency: return Variant::FromCurrency(v.AsDouble());
            case varDate: return Variant::FromDate(v.AsDate());
            case varBoolean: return Variant(v.AsBoolean());
            case varString: return Variant(v.AsString());
            case varOleStr: return Variant::FromOleStr(v.AsString());
            default: break;
        }
    } catch (const EVariantError&) {
        castError();
    } catch (const EConvertError&) {
        castError();
    }
    castError();
    return Variant();
}
