#pragma once
// The class library's Variant: a value that carries its own type, with Null ("no value")
// and Empty (never assigned) apart from every real value. Values travel between datasets,
// fields, grid nodes and editors in this form. Conversions that cannot succeed raise
// EVariantError; Null converts to nothing (strict), VarToStr gives "" for it.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

enum TVarType : uint16_t {
    varEmpty = 0,
    varNull = 1,
    varSmallint = 2,
    varInteger = 3,
    varSingle = 4,
    varDouble = 5,
    varCurrency = 6,
    varDate = 7,
    varOleStr = 8,
    varBoolean = 11,
    varVariant = 12,
    varByte = 17,
    varInt64 = 20,
    varString = 0x100,
    varArray = 0x2000,
};

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

class Variant {
public:
    Variant() = default;  // Empty
    Variant(int v) : type_(varInteger), i_(v) {}
    Variant(int16_t v) : type_(varSmallint), i_(v) {}
    Variant(int64_t v) : type_(varInt64), i_(v) {}
    Variant(double v) : type_(varDouble), d_(v) {}
    Variant(bool v) : type_(varBoolean), i_(v ? 1 : 0) {}
    Variant(const char* v) : type_(varString), s_(v) {}
    Variant(std::string v) : type_(varString), s_(std::move(v)) {}
    Variant(const Variant& o);
    Variant(Variant&& o) noexcept = default;
    Variant& operator=(const Variant& o);
    Variant& operator=(Variant&& o) noexcept = default;
    ~Variant() = default;

    static Variant Null();
    static Variant FromDate(double dateTime);   // a TDateTime
    static Variant FromCurrency(double value);  // kept to four decimals
    // A currency value as the class library keeps it: an integer count of 0.0001 units.
    static Variant FromCurrencyUnits(int64_t units);
    static Variant Array(std::vector<Variant> items);
    static Variant FromByte(uint8_t value);
    // A 4-byte float: the value is kept at single precision.
    static Variant FromSingle(float value);
    // A wide string; the text is UTF-8 like every other string of the program.
    static Variant FromOleStr(std::string value);

    TVarType VarType() const { return type_; }
    bool IsNull() const { return type_ == varNull; }
    bool IsEmpty() const { return type_ == varEmpty; }
    bool IsArray() const { return type_ == varArray; }
    bool IsNumeric() const;  // integers, floats, currency, Boolean and date count
    bool IsString() const { return type_ == varString || type_ == varOleStr; }

    int32_t AsInteger() const;
    int64_t AsInt64() const;
    double AsDouble() const;
    bool AsBoolean() const;
    std::string AsString() const;
    double AsDate() const;
    // The value in 0.0001 units: exact for a currency value; other numbers are rounded and
    // held to the 64-bit range.
    int64_t CurrencyUnits() const;

    // Variant arrays (one dimension, low bound 0).
    int ArrayHighBound() const;
    const Variant& operator[](int i) const;
    Variant& operator[](int i);

    friend TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
    friend bool operator==(const Variant& a, const Variant& b);
    friend bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }
    friend bool operator<(const Variant& a, const Variant& b);

private:
    [[noreturn]] void CastError(const char* target) const;
    TVarType type_ = varEmpty;
    int64_t i_ = 0;  // integers, Booleans, and a currency value's units beside its double
    double d_ = 0;
    std::string s_;
    std::unique_ptr<std::vector<Variant>> items_;
};

inline Variant Null() { return Variant::Null(); }
inline Variant Unassigned() { return Variant(); }
inline bool VarIsNull(const Variant& v) { return v.IsNull(); }
inline bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
inline bool VarIsArray(const Variant& v) { return v.IsArray(); }
Variant VarArrayOf(std::initializer_list<Variant> items);
int VarArrayHighBound(const Variant& v, int dim = 1);
// Null and Empty give ""; everything else its AsString.
std::string VarToStr(const Variant& v);
// Null and Empty sort first and equal each other; numbers compare as numbers, strings by
// bytes; a string against a number compares as numbers when it reads as one, else as text.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
std::string VarTypeName(TVarType t);
// The value converted to the given type (one of the simple types above); Null and Empty only
// to themselves or to each other. A conversion that cannot succeed raises EVariantError.
Variant VarAsType(const Variant& v, TVarType type);
