#include "platform/rtl/format.h"

#include <gtest/gtest.h>

#include "platform/rtl/exception.h"
#include "platform/rtl/locale.h"

namespace {

class FormatTest : public ::testing::Test {
protected:
    void TearDown() override { ResetFormatSettings(); }
};

TEST_F(FormatTest, IntegersUsePrecisionAsZeroPadding) {
    EXPECT_EQ(Format("%07.7d", 1234), "0001234");
    EXPECT_EQ(Format("%.5d", -12), "-00012");
    EXPECT_EQ(Format("%8.3d|", 5), "     005|");
    // No "0" flag in this Format: the zero belongs to the width.
    EXPECT_EQ(Format("%05d", 3), "    3");
    EXPECT_EQ(Format("%d %u", int64_t{-9000000000}, 7u), "-9000000000 7");
    EXPECT_EQ(Format("%u", -1), "4294967295");
}

TEST_F(FormatTest, HexShowsBitPatternOfArgumentSize) {
    EXPECT_EQ(Format("%08.8x", 0xBEEF), "0000BEEF");
    EXPECT_EQ(Format("%x", -1), "FFFFFFFF");
    EXPECT_EQ(Format("%X", int64_t{-1}), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Format("%4x|", 10), "   A|");
}

TEST_F(FormatTest, StringsWidthPrecisionAndLeftJustify) {
    EXPECT_EQ(Format("%-12s|", "Tür"), "Tür         |");
    EXPECT_EQ(Format("%8s|", std::string("abc")), "     abc|");
    EXPECT_EQ(Format("%.3s", "Übermaß"), "Übe");
    EXPECT_EQ(Format("%s%s", 'x', std::string_view("yz")), "xyz");
    EXPECT_EQ(Format("%8s  %-8s  %-12s  %08.8x  ", "1.234", "Event", "Sub", 255),
              "   1.234  Event     Sub           000000FF  ");
}

TEST_F(FormatTest, IndexAndStarTakeArguments) {
    EXPECT_EQ(Format("%1:s %0:s %s", "a", "b"), "b a b");
    EXPECT_EQ(Format("%*d|%-*s|", 5, 42, 4, "x"), "   42|x   |");
    EXPECT_EQ(Format("%.*f", 1, 2.25), "2,3");
    EXPECT_EQ(Format("100%%"), "100%");
}

TEST_F(FormatTest, FloatsFollowTheLocale) {
    EXPECT_EQ(Format("%.2f", 3.14159), "3,14");
    EXPECT_EQ(Format("%f", -0.5), "-0,50");
    EXPECT_EQ(Format("%.0f", 2.5), "3");  // half away from zero, unlike Round
    EXPECT_EQ(Format("%n", 1234567.891), "1.234.567,89");
    EXPECT_EQ(Format("%m", -1234.5), "-1.234,50 €");
    EXPECT_EQ(Format("%e", 1234.5), "1,23450000000000E+003");
    EXPECT_EQ(Format("%g", 0.5), "0,5");
    FormatSettings().DecimalSeparator = '.';
    FormatSettings().ThousandSeparator = ',';
    EXPECT_EQ(Format("%.2f", 3.14159), "3.14");
    EXPECT_EQ(Format("%.1n", 1234567.0), "1,234,567.0");
}

TEST_F(FormatTest, WrongOrMissingArgumentRaisesConvertError) {
    try {
        Format("%d", "text");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Format '%d' invalid or incompatible with argument");
    }
    EXPECT_THROW(Format("%f", 1), EConvertError);
    EXPECT_THROW(Format("%s", 1.5), EConvertError);
    EXPECT_THROW(Format("%d", true), EConvertError);
    EXPECT_THROW(Format("%q", 1), EConvertError);
    EXPECT_THROW(Format("abc %"), EConvertError);
    try {
        Format("%d %d", 1);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "No argument for format '%d %d'");
    }
}

TEST_F(FormatTest, ArgumentsCollectedAtRunTime) {
    std::vector<FormatArg> args{FormatArg("Tor"), FormatArg(3)};
    EXPECT_EQ(FormatArgs("%s %d", args), "Tor 3");
}

}  // namespace
