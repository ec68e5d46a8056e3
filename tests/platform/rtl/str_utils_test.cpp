#include "platform/rtl/str_utils.h"

#include <gtest/gtest.h>

namespace {

TEST(StrUtils, AnsiCasingKnowsUmlautsAndKeepsSharpS) {
    EXPECT_EQ(AnsiUpperCase("äöü straße éñ"), "ÄÖÜ STRAßE ÉÑ");
    EXPECT_EQ(AnsiLowerCase("ÄÖÜ TÜR ÉÑ"), "äöü tür éñ");
    EXPECT_EQ(AnsiUpperCase("ÿ œ š"), "Ÿ Œ Š");
    EXPECT_EQ(UpperCase("äbc"), "äBC");  // plain UpperCase is ASCII only
    EXPECT_EQ(LowerCase("ÄBC"), "Äbc");
    // Malformed bytes pass through unchanged.
    EXPECT_EQ(AnsiUpperCase(std::string("a\xFF"
                                        "b")),
              std::string("A\xFF"
                          "B"));
}

TEST(StrUtils, Comparisons) {
    EXPECT_TRUE(SameText("Door", "dOOR"));
    EXPECT_FALSE(SameText("Tür", "TÜR"));  // ASCII only
    EXPECT_TRUE(AnsiSameText("Tür", "TÜR"));
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_GT(CompareStr("a", "B"), 0);
    EXPECT_EQ(AnsiCompareText("ÄRGER", "ärger"), 0);
    // Locale order: umlauts beside their base letter, lower case before upper case.
    EXPECT_LT(AnsiCompareStr("Äpfel", "Birne"), 0);
    EXPECT_LT(AnsiCompareStr("apfel", "Äpfel"), 0);
    EXPECT_LT(AnsiCompareStr("a", "A"), 0);
    EXPECT_LT(AnsiCompareStr("A", "b"), 0);
    EXPECT_LT(AnsiCompareStr("-x", "1"), 0);
    EXPECT_LT(AnsiCompareStr("9", "a"), 0);
    EXPECT_EQ(AnsiCompareStr("Maß", "Maß"), 0);
    EXPECT_LT(AnsiCompareStr("Masse", "Maßf"), 0);
}

TEST(StrUtils, TrimRemovesControlsAndBlanks) {
    EXPECT_EQ(Trim(" \t\r\n x y \x01"), "x y");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x \n"), "  x");
    EXPECT_EQ(Trim("   "), "");
}

TEST(StrUtils, StringReplaceFlags) {
    EXPECT_EQ(StringReplace("a-b-c", "-", "+"), "a+b-c");
    EXPECT_EQ(StringReplace("a-b-c", "-", "+", rfReplaceAll), "a+b+c");
    EXPECT_EQ(StringReplace("Tür tür", "TÜR", "Tor", rfReplaceAll | rfIgnoreCase), "Tor Tor");
    EXPECT_EQ(StringReplace("aaa", "a", "aa", rfReplaceAll), "aaaaaa");
    EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
}

TEST(StrUtils, PositionsAndCopiesAreOneBasedAndClamped) {
    EXPECT_EQ(Pos("b", "abcb"), 2);
    EXPECT_EQ(Pos("x", "abc"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(PosEx("b", "abcb", 3), 4);
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abcdef", 0, 2), "ab");
    EXPECT_EQ(Copy("abcdef", 5, 100), "ef");
    EXPECT_EQ(Copy("abcdef", 7, 1), "");
    std::string s = "abcdef";
    Delete(s, 2, 2);
    EXPECT_EQ(s, "adef");
    Insert("XY", s, 2);
    EXPECT_EQ(s, "aXYdef");
    Insert("!", s, 100);
    EXPECT_EQ(s, "aXYdef!");
    EXPECT_EQ(LastDelimiter("/.", "dir/file.txt"), 9);
}

TEST(StrUtils, QuotingAndLineBreaks) {
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(AnsiDequotedStr("'it''s' rest", '\''), "it's");
    EXPECT_EQ(AnsiDequotedStr("plain", '\''), "plain");
    EXPECT_EQ(StringOfChar('-', 3), "---");
    EXPECT_EQ(StringOfChar('-', -1), "");
    EXPECT_EQ(AdjustLineBreaks("a\nb\rc\r\nd\n\re"), "a\r\nb\r\nc\r\nd\r\ne");
    EXPECT_EQ(AdjustLineBreaks("a\n\nb"), "a\r\n\r\nb");
}

TEST(StrUtils, Utf8CodePoints) {
    EXPECT_EQ(Utf8Length("Tür€𝄞"), 5);
    EXPECT_EQ(Utf8Copy("Tür€𝄞", 3, 2), "r€");
    EXPECT_EQ(Utf8Copy("Tür", 0, 2), "Tü");
    EXPECT_EQ(Utf8Copy("Tür", 4, 2), "");
    EXPECT_EQ(EncodeUtf8(0xE4), "ä");
    EXPECT_EQ(EncodeUtf8(0x1D11E), "𝄞");
    EXPECT_EQ(EncodeUtf8(0xD800), "\xEF\xBF\xBD");
    std::string s = "a\xC3";  // cut in the middle of a character
    size_t pos = 0;
    uint32_t cp = 0;
    ASSERT_TRUE(Utf8NextCodePoint(s, pos, cp));
    EXPECT_EQ(cp, 'a');
    ASSERT_TRUE(Utf8NextCodePoint(s, pos, cp));
    EXPECT_EQ(cp, 0xFFFDu);
    EXPECT_EQ(pos, 2u);
    EXPECT_FALSE(Utf8NextCodePoint(s, pos, cp));
    EXPECT_EQ(Utf8Length("\xC0\xAF"), 2);  // overlong form: two bad bytes
}

}  // namespace
