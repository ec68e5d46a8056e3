#include "platform/rtl/variant.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/rtl/exception.h"

TEST(Variant, NullEmptyAndTypes) {
    Variant e;
    EXPECT_TRUE(VarIsEmpty(e));
    EXPECT_FALSE(VarIsNull(e));
    Variant n = Null();
    EXPECT_TRUE(VarIsNull(n));
    EXPECT_EQ(VarToStr(n), "");
    EXPECT_EQ(Variant(3).VarType(), varInteger);
    EXPECT_EQ(Variant(int64_t{3}).VarType(), varInt64);
    EXPECT_EQ(Variant(1.5).VarType(), varDouble);
    EXPECT_EQ(Variant(true).VarType(), varBoolean);
    EXPECT_EQ(Variant("x").VarType(), varString);
    EXPECT_EQ(Variant::FromDate(2.0).VarType(), varDate);
    EXPECT_EQ(Variant::FromCurrency(1.23456).AsDouble(), 1.2346);
}

// A currency value is a count of 0.0001 units, exact where a double is not.
TEST(Variant, CurrencyKeepsItsUnitsExactly) {
    EXPECT_EQ(Variant::FromCurrency(-1.23456).CurrencyUnits(), -12346);
    const int64_t big = (int64_t{1} << 53) + 1;
    EXPECT_EQ(Variant::FromCurrencyUnits(big).CurrencyUnits(), big);
    EXPECT_NE(Variant::FromCurrencyUnits(big), Variant::FromCurrencyUnits(big - 1));
    EXPECT_LT(Variant::FromCurrencyUnits(big - 1), Variant::FromCurrencyUnits(big));
    EXPECT_EQ(Variant::FromCurrencyUnits(INT64_MAX).CurrencyUnits(), INT64_MAX);
    EXPECT_GT(Variant::FromCurrencyUnits(INT64_MAX).AsDouble(), 0);
    EXPECT_EQ(Variant::FromCurrencyUnits(INT64_MIN).CurrencyUnits(), INT64_MIN);
    // Beyond the range a value is held at its end.
    EXPECT_EQ(Variant::FromCurrency(1e300).CurrencyUnits(), INT64_MAX);
    EXPECT_EQ(Variant(2.5).CurrencyUnits(), 25000);
}

TEST(Variant, ConversionsFollowTheLocaleAndRaiseOnFailure) {
    EXPECT_EQ(Variant("42").AsInteger(), 42);
    EXPECT_EQ(Variant(" 7 ").AsInteger(), 7);
    EXPECT_EQ(Variant(2.5).AsInteger(), 2);  // banker's rounding
    EXPECT_EQ(Variant(3.5).AsInteger(), 4);
    EXPECT_EQ(Variant("1,5").AsDouble(), 1.5);
    EXPECT_EQ(Variant(1.5).AsString(), "1,5");
    EXPECT_EQ(Variant(true).AsString(), "True");
    EXPECT_EQ(Variant(true).AsInteger(), -1);
    EXPECT_TRUE(Variant("true").AsBoolean());
    EXPECT_FALSE(Variant(0).AsBoolean());
    EXPECT_EQ(Variant(int64_t{5000000000}).AsString(), "5000000000");
    EXPECT_THROW(Variant(int64_t{5000000000}).AsInteger(), EVariantError);
    EXPECT_THROW(Variant("abc").AsInteger(), EVariantError);
    EXPECT_THROW(Null().AsInteger(), EVariantError);
    EXPECT_THROW(Null().AsString(), EVariantError);
    try {
        Null().AsInteger();
    } catch (const EVariantError& e) {
        EXPECT_EQ(e.Message(), "Variante des Typs (Null) konnte nicht in Typ (Integer) konvertiert werden");
    }
    EXPECT_EQ(Variant().AsInteger(), 0);
    EXPECT_EQ(Variant().AsString(), "");
}

TEST(Variant, ComparisonsAndArrays) {
    EXPECT_EQ(Variant(1), Variant(1.0));
    EXPECT_EQ(Variant(2), Variant("2"));
    EXPECT_NE(Variant("a"), Variant("A"));
    EXPECT_TRUE(Variant(1) < Variant(int64_t{2}));
    EXPECT_TRUE(Variant("a") < Variant("b"));
    EXPECT_EQ(Null(), Null());
    EXPECT_NE(Null(), Variant(0));
    EXPECT_TRUE(Null() < Variant(0));
    Variant a = VarArrayOf({1, "zwei", Null()});
    EXPECT_TRUE(VarIsArray(a));
    EXPECT_EQ(VarArrayHighBound(a), 2);
    EXPECT_EQ(a[1].AsString(), "zwei");
    Variant copy = a;
    copy[0] = 5;
    EXPECT_EQ(a[0].AsInteger(), 1);  // arrays copy deeply
    EXPECT_EQ(a, VarArrayOf({1, "zwei", Null()}));
    EXPECT_THROW(a[3], EVariantError);
    EXPECT_THROW(Variant(1)[0], EVariantError);
}

TEST(Variant, ByteSingleAndWideStringBehaveAsTheirKinds) {
    Variant b = Variant::FromByte(200);
    EXPECT_EQ(b.VarType(), varByte);
    EXPECT_TRUE(b.IsNumeric());
    EXPECT_EQ(b.AsString(), "200");
    EXPECT_EQ(b, Variant(200));
    Variant s = Variant::FromSingle(1.1f);
    EXPECT_EQ(s.VarType(), varSingle);
    EXPECT_EQ(s.AsDouble(), static_cast<double>(1.1f));
    EXPECT_EQ(s.AsString(), "1,1");  // single precision, not the widened double's digits
    Variant w = Variant::FromOleStr("Grüße");
    EXPECT_EQ(w.VarType(), varOleStr);
    EXPECT_TRUE(w.IsString());
    EXPECT_EQ(w, Variant("Grüße"));
    EXPECT_TRUE(Variant("A") < w);
}

TEST(Variant, VarAsTypeConvertsOrRaisesTheConversionError) {
    EXPECT_EQ(VarAsType(Variant("12"), varInteger).VarType(), varInteger);
    EXPECT_EQ(VarAsType(Variant("12"), varInteger).AsInteger(), 12);
    EXPECT_EQ(VarAsType(Variant(7), varString).AsString(), "7");
    EXPECT_EQ(VarAsType(Variant(2.5), varCurrency).VarType(), varCurrency);
    EXPECT_EQ(VarAsType(Variant(255), varByte).AsInteger(), 255);
    EXPECT_EQ(VarAsType(Variant("x"), varOleStr).VarType(), varOleStr);
    EXPECT_TRUE(VarIsNull(VarAsType(Null(), varNull)));
    EXPECT_EQ(VarAsType(Variant(), varInteger).AsInteger(), 0);
    try {
        VarAsType(Variant("abc"), varDouble);
        ADD_FAILURE() << "no error";
    } catch (const EVariantError& e) {
        EXPECT_EQ(e.Message(), "Variante des Typs (String) konnte nicht in Typ (Double) konvertiert werden");
    }
    EXPECT_THROW(VarAsType(Variant(256), varByte), EVariantError);
    EXPECT_THROW(VarAsType(Variant(40000), varSmallint), EVariantError);
    EXPECT_THROW(VarAsType(Null(), varInteger), EVariantError);
    EXPECT_THROW(VarAsType(Variant(1e300), varSingle), EVariantError);
}
