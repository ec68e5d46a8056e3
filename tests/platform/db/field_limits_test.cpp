// Field conversions at the ends of their ranges: a value a field cannot hold is refused with
// the framework's error and the stored value stays as it was.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/exception.h"
#include "platform/rtl/locale.h"
#include "tests/platform/db/row_dataset.h"

namespace {
struct OneRow {
    TComponent owner{nullptr};
    TRowDataSet* ds = new TRowDataSet(&owner);
    OneRow() {}
    // Opens with one empty row in edit state.
    void Edit() {
        ds->Open();
        ds->AddRow({});
        ds->Edit();
    }
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
}  // namespace

TEST(FieldLimits, IntegersKeepTheirValueWhenAnotherIsOutOfRange) {
    OneRow r;
    auto* sm = r.ds->Add<TSmallintField>("Sm");
    auto* w = r.ds->Add<TWordField>("W");
    auto* i = r.ds->Add<TIntegerField>("I");
    auto* big = r.ds->Add<TLargeintField>("L");
    r.Edit();
    struct Case {
        TIntegerField* f;
        int64_t lo, hi;
    };
    for (Case c : {Case{sm, INT16_MIN, INT16_MAX}, Case{w, 0, UINT16_MAX}, Case{i, INT32_MIN, INT32_MAX}}) {
        SCOPED_TRACE(c.f->FieldName());
        c.f->SetAsLargeInt(c.lo);
        EXPECT_EQ(c.f->AsLargeInt(), c.lo);
        c.f->SetAsString(std::to_string(c.hi));
        EXPECT_EQ(c.f->AsLargeInt(), c.hi);
        EXPECT_THROW(c.f->SetAsLargeInt(c.hi + 1), EDatabaseError);
        EXPECT_THROW(c.f->SetAsString(std::to_string(c.lo - 1)), EDatabaseError);
        EXPECT_THROW(c.f->SetAsFloat(static_cast<double>(c.hi) + 1), EDatabaseError);
        EXPECT_THROW(c.f->SetValue(Variant(static_cast<int64_t>(c.lo) - 1)), EDatabaseError);
        EXPECT_EQ(c.f->AsLargeInt(), c.hi);
    }
    try {
        sm->SetAsInteger(40000);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(),
                  "40000 ist kein gültiger Wert für das Feld 'Sm'. Der erlaubte Bereich ist "
                  "-32768 bis 32767");
    }
    big->SetAsString("9223372036854775807");
    EXPECT_EQ(big->AsString(), "9223372036854775807");
    big->SetAsString("-9223372036854775808");
    EXPECT_EQ(big->AsLargeInt(), std::numeric_limits<int64_t>::min());
    EXPECT_THROW(big->SetAsString("9223372036854775808"), EConvertError);
    EXPECT_EQ(big->AsLargeInt(), std::numeric_limits<int64_t>::min());
    // A float goes in rounded to the nearest integer; what no integer holds is refused.
    i->SetAsFloat(2.5);
    EXPECT_EQ(i->AsInteger(), 2);
    i->SetAsFloat(-7.6);
    EXPECT_EQ(i->AsInteger(), -8);
    for (double bad : {kNaN, kInf, -kInf, 1e300}) EXPECT_THROW(i->SetAsFloat(bad), EDatabaseError) << bad;
    EXPECT_EQ(i->AsInteger(), -8);
    EXPECT_THROW(i->SetAsString("1e3"), EConvertError);
    EXPECT_THROW(i->SetAsString("12a"), EConvertError);
    i->SetAsString("");
    EXPECT_TRUE(i->IsNull());
    EXPECT_EQ(i->AsInteger(), 0);
    EXPECT_EQ(i->AsString(), "");
}

TEST(FieldLimits, FloatsThatNoIntegerHoldsAreRefusedWhenReadAsOne) {
    OneRow r;
    auto* f = r.ds->Add<TFloatField>("F");
    auto* bcd = r.ds->Add<TBCDField>("B");
    auto* cur = r.ds->Add<TCurrencyField>("C");
    r.Edit();
    f->SetAsFloat(std::numeric_limits<double>::max());
    EXPECT_EQ(f->AsFloat(), std::numeric_limits<double>::max());
    EXPECT_THROW((void)f->AsInteger(), EDatabaseError);
    EXPECT_THROW((void)f->AsLargeInt(), EDatabaseError);
    for (double odd : {kNaN, kInf, -kInf, 3e9}) {
        f->SetAsFloat(odd);
        EXPECT_THROW((void)f->AsInteger(), EDatabaseError) << odd;
    }
    f->SetAsFloat(-2147483648.4);
    EXPECT_EQ(f->AsInteger(), INT32_MIN);
    f->SetAsFloat(9.0e18);
    EXPECT_EQ(f->AsLargeInt(), 9000000000000000000LL);

    // Four decimals, rounded half away from zero; beyond the 64-bit units it is refused.
    bcd->SetAsFloat(0.00005);
    EXPECT_EQ(bcd->AsFloat(), 0.0001);
    bcd->SetAsFloat(-1.23456);
    EXPECT_EQ(bcd->AsFloat(), -1.2346);
    bcd->SetAsFloat(9.0e14);
    EXPECT_EQ(bcd->AsFloat(), 9.0e14);
    for (double bad : {1e15, -1e15, kNaN, kInf}) EXPECT_THROW(bcd->SetAsFloat(bad), EDatabaseError) << bad;
    EXPECT_EQ(bcd->AsFloat(), 9.0e14);
    EXPECT_EQ(bcd->Value().VarType(), varCurrency);

    cur->SetAsString("-0,5");
    EXPECT_EQ(cur->AsFloat(), -0.5);
    EXPECT_EQ(cur->Value().VarType(), varCurrency);
    EXPECT_THROW(cur->SetAsString("0.5.1"), EConvertError);
    EXPECT_EQ(cur->AsFloat(), -0.5);
}

TEST(FieldLimits, DatesFromTheFirstToTheLastDayOfTheCalendar) {
    OneRow r;
    auto* d = r.ds->Add<TDateField>("D");
    auto* t = r.ds->Add<TTimeField>("T");
    auto* dt = r.ds->Add<TDateTimeField>("DT");
    r.Edit();
    d->SetAsDateTime(-693593.0);
    EXPECT_EQ(d->AsString(), "01.01.0001");
    d->SetAsDateTime(2958465.75);  // the time part does not reach a date field
    EXPECT_EQ(d->AsDateTime(), 2958465.0);
    EXPECT_EQ(d->AsString(), "31.12.9999");
    dt->SetAsDateTime(2958465.5);
    EXPECT_EQ(dt->AsString(), "31.12.9999 12:00:00");
    // 23:59:59.9996 rounds to the next midnight, and on the last day that is past the end.
    EXPECT_THROW(dt->SetAsDateTime(2958465.0 + 86399999.6 / 86400000.0), EConvertError);
    dt->SetAsDateTime(45000.0 + 86399999.6 / 86400000.0);
    EXPECT_EQ(dt->AsDateTime(), 45001.0);
    // Before 1899-12-30 the fraction still counts forwards from midnight.
    dt->SetAsDateTime(-1.25);
    EXPECT_EQ(dt->AsDateTime(), -1.25);
    EXPECT_EQ(dt->AsString(), "29.12.1899 06:00:00");
    t->SetAsDateTime(45000.999988425926);  // 23:59:59, the date dropped
    EXPECT_EQ(t->AsString(), "23:59:59");
    EXPECT_LT(t->AsDateTime(), 1.0);
    for (TField* f : std::initializer_list<TField*>{d, t, dt}) {
        EXPECT_THROW(f->SetAsDateTime(2958466.0), EConvertError);
        EXPECT_THROW(f->SetAsDateTime(-693594.0), EConvertError);
        EXPECT_THROW(f->SetValue(Variant::FromDate(kNaN)), EConvertError);
        EXPECT_THROW(f->SetAsString("32.01.2020"), EConvertError);
    }
    EXPECT_EQ(d->AsString(), "31.12.9999");
    EXPECT_EQ(dt->AsDateTime(), -1.25);
    d->SetAsString("");
    EXPECT_TRUE(d->IsNull());
    EXPECT_EQ(d->AsString(), "");
}

TEST(FieldLimits, TextFieldsCutToTheirSize) {
    OneRow r;
    auto* s = r.ds->Add<TStringField>("S", 30);
    auto* one = r.ds->Add<TStringField>("One", 1);
    r.Edit();
    s->SetAsString(std::string(31, 'x') + "y");
    EXPECT_EQ(s->AsString(), std::string(30, 'x'));
    one->SetAsString("äb");  // one byte per character in the record
    EXPECT_EQ(one->AsString(), "ä");
    one->SetAsInteger(-5);  // a number that does not fit is cut like any text
    EXPECT_EQ(one->AsString(), "-");
    EXPECT_THROW((void)one->AsInteger(), EConvertError);
    s->SetAsString("");
    EXPECT_EQ(s->AsString(), "");
    s->Clear();
    EXPECT_TRUE(s->IsNull());
    EXPECT_EQ(s->DisplayWidth(), 30);
}
