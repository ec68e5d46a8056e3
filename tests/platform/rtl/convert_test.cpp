#include "platform/rtl/convert.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/exception.h"
#include "platform/rtl/locale.h"

namespace {

class ConvertTest : public ::testing::Test {
protected:
    void TearDown() override { ResetFormatSettings(); }
};

TEST_F(ConvertTest, IntToHexPadsAndShowsNegativesAsPattern) {
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(0x12345, 2), "12345");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(int64_t{-2}, 1), "FFFFFFFFFFFFFFFE");
    EXPECT_EQ(IntToHex(uint64_t{0}, 0), "0");
    EXPECT_EQ(IntToStr(int64_t{-9223372036854775807LL - 1}), "-9223372036854775808");
}

TEST_F(ConvertTest, StrToIntReadsDecimalAndHex) {
    EXPECT_EQ(StrToInt("  -42"), -42);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToInt("0x1f"), 31);
    EXPECT_EQ(StrToInt("-$10"), -16);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToIntDef("", 7), 7);
    int32_t v = 5;
    EXPECT_FALSE(TryStrToInt("12a", v));
    EXPECT_EQ(v, 5);
}

TEST_F(ConvertTest, StrToIntRejectsWithTheClassLibraryMessage) {
    for (const char* bad : {"", "abc", "12 ", "1.5", "2147483648", "-2147483649", "$", "0x", "$100000000", "--1"}) {
        SCOPED_TRACE(bad);
        try {
            StrToInt(bad);
            FAIL() << "accepted";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
}

TEST_F(ConvertTest, FloatToStrIsShortestGeneralForm) {
    EXPECT_EQ(FloatToStr(1.5), "1,5");
    EXPECT_EQ(FloatToStr(-0.1), "-0,1");
    EXPECT_EQ(FloatToStr(100), "100");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(0.00001), "0,00001");
    EXPECT_EQ(FloatToStr(0.000001), "1E-6");
    EXPECT_EQ(FloatToStr(1.0 / 3), "0,333333333333333");
    EXPECT_EQ(FloatToStr(0), "0");
    EXPECT_EQ(FloatToStrF(1234.5678, ffFixed, 15, 2), "1234,57");
    EXPECT_EQ(FloatToStrF(1234.5678, ffNumber, 15, 1), "1.234,6");
    EXPECT_EQ(FloatToStrF(12.5, ffCurrency, 15, 2), "12,50 €");
    EXPECT_EQ(FloatToStrF(std::nan(""), ffGeneral, 15, 0), "NAN");
}

TEST_F(ConvertTest, FormatFloatPatterns) {
    EXPECT_EQ(FormatFloat("0.00", 2.675), "2,68");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1.234.567,89");
    EXPECT_EQ(FormatFloat("#,##0.00", -0.5), "-0,50");
    EXPECT_EQ(FormatFloat("0.##", 1.5), "1,5");
    EXPECT_EQ(FormatFloat("0.##", 1), "1");
    EXPECT_EQ(FormatFloat("#.##", 0.25), ",25");
    EXPECT_EQ(FormatFloat("000", 7), "007");
    EXPECT_EQ(FormatFloat("0", 12345), "12345");
    EXPECT_EQ(FormatFloat("0.00;(0.00)", -3.5), "(3,50)");
    EXPECT_EQ(FormatFloat("0.00;-0.00;'zero'", 0.001), "zero");
    EXPECT_EQ(FormatFloat("0.00", -0.001), "0,00");
    EXPECT_EQ(FormatFloat("0.00E+00", 12345), "1,23E+04");
    EXPECT_EQ(FormatFloat("0.0\" kg\"", 3), "3,0 kg");
    EXPECT_EQ(FormatFloat(",0.00 EUR;-,0.00 EUR", -1234.5), "-1.234,50 EUR");
}

TEST_F(ConvertTest, LocaleChangeAffectsFloatTextBothWays) {
    EXPECT_EQ(StrToFloat(" 3,25 "), 3.25L);
    EXPECT_THROW(StrToFloat("3.25"), EConvertError);
    FormatSettings().DecimalSeparator = '.';
    FormatSettings().ThousandSeparator = ',';
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1,234.50");
    EXPECT_EQ(FloatToStr(0.5), "0.5");
    EXPECT_EQ(StrToFloat("3.25"), 3.25L);
    EXPECT_EQ(StrToFloat("-1.5e3"), -1500.0L);
    double d = 0;
    EXPECT_FALSE(TryStrToFloat("3,25", d));
    EXPECT_FALSE(TryStrToFloat("", d));
    EXPECT_FALSE(TryStrToFloat("1e", d));
    EXPECT_FALSE(TryStrToFloat("1e999", d));
    try {
        StrToFloat("x");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x' is not a valid floating point value");
    }
}

TEST_F(ConvertTest, Booleans) {
    EXPECT_EQ(BoolToStr(true), "-1");
    EXPECT_EQ(BoolToStr(false, true), "False");
    EXPECT_TRUE(StrToBool("true"));
    EXPECT_TRUE(StrToBool("-1"));
    EXPECT_FALSE(StrToBool("0"));
    EXPECT_THROW(StrToBool("yes"), EConvertError);
}

}  // namespace
