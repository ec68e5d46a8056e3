#include "platform/rtl/encoding.h"

#include <gtest/gtest.h>

TEST(Encoding, Cp1252MapsEveryByteAndRoundTrips) {
    EXPECT_EQ(Cp1252ToUtf8("Gr\xFC\xDF"
                           "e \x80 \x84\x93\x94 \x99"),
              "Grüße € „“” ™");
    EXPECT_EQ(Cp1252ToUtf8("\x8A\x9F\x83"), "ŠŸƒ");
    // The five bytes Windows leaves undefined become their C1 code points.
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");

    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
}

TEST(Encoding, CharactersWithoutAWindows1252FormBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("Ä€Ω😀x"), "\xC4\x80??x");
    EXPECT_EQ(Utf8ToCp1252("\u0080"), "?");  // a C1 control Windows maps to €
    // Malformed input: each bad byte becomes one "?", the rest survives.
    EXPECT_EQ(Utf8ToCp1252("a\xFF"
                           "b\xC3"),
              "a?b?");
}

TEST(Encoding, IsValidUtf8IsStrict) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("Türöffner 😀"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut short
    EXPECT_FALSE(IsValidUtf8("T\xFCr"));            // Windows-1252 text
}

TEST(Encoding, DecodeTextBytesFallsBackToWindows1252) {
    EXPECT_EQ(DecodeTextBytes("\xEF\xBB\xBFT\xC3\xBCr"), "Tür");
    EXPECT_EQ(DecodeTextBytes("T\xC3\xBCr"), "Tür");
    EXPECT_EQ(DecodeTextBytes("T\xFCr \x80"), "Tür €");
    EXPECT_EQ(DecodeTextBytes(""), "");
    EXPECT_EQ(DecodeTextBytes("\xEF\xBB\xBF\xEF\xBB\xBFT\xC3\xBCr"), "Tür") << "every leading mark goes";
    EXPECT_EQ(DecodeTextBytes("\xEF\xBB"), "\xC3\xAF\xC2\xBB") << "half a mark is text";
    EXPECT_EQ(DecodeTextBytes("\xEF\xBB\xBF\xEF\xBB"), "") << "behind a whole one, a character cut";
}

TEST(Encoding, DecodeTextBytesKeepsAUtf8FileCutInsideItsLastCharacter) {
    EXPECT_EQ(DecodeTextBytes("T\xC3\xBCr \xC3"), "Tür ");
    EXPECT_EQ(DecodeTextBytes("T\xC3\xBCr \xE2\x82"), "Tür ");
    EXPECT_EQ(DecodeTextBytes("Caf\xE9"), "Café") << "an older file ending in an accented letter";
    EXPECT_EQ(DecodeTextBytes("T\xFCr \xC3"), "Tür Ã") << "Windows-1252 before the end";
    // Readers that must refuse a cut file learn of the dropped character.
    EXPECT_TRUE(EndsInsideCharacter("\xEF\xBB\xBFT\xC3\xBCr\r\n\xE2\x82"));
    EXPECT_FALSE(EndsInsideCharacter("T\xC3\xBCr\r\n\xE2\x82\xAC"));
    EXPECT_FALSE(EndsInsideCharacter("Caf\xE9"));
    EXPECT_FALSE(EndsInsideCharacter("T\xFCr \xC3"));
}

// A byte-order mark says the file is UTF-8: a lone lead byte at its end is a character cut,
// even where it is the file's only byte above ASCII. Without a mark such a file is an older
// one in Windows-1252.
TEST(Encoding, AByteOrderMarkMakesALoneLeadByteAtTheEndACutCharacter) {
    for (const char* cut : {"\xC3", "\xE2", "\xE2\x82", "\xF0\x9F\x98"}) {
        const std::string text = std::string("[NOTIZ]\r\nText=Gr") + cut;
        EXPECT_TRUE(EndsInsideCharacter("\xEF\xBB\xBF" + text)) << text;
        EXPECT_EQ(DecodeTextBytes("\xEF\xBB\xBF" + text), "[NOTIZ]\r\nText=Gr") << text;
        EXPECT_TRUE(EndsInsideCharacter("\xEF\xBB\xBF\xEF\xBB\xBF" + text)) << "several marks: " << text;
    }
    EXPECT_FALSE(EndsInsideCharacter("[NOTIZ]\r\nText=Gr\xC3"));
    EXPECT_EQ(DecodeTextBytes("[NOTIZ]\r\nText=Gr\xC3"), "[NOTIZ]\r\nText=Gr\xC3\x83");
    // Not UTF-8 before the end, with a mark or without: Windows-1252 (the mark dropped).
    EXPECT_FALSE(EndsInsideCharacter("\xEF\xBB\xBFT\xFCr \xC3"));
    EXPECT_EQ(DecodeTextBytes("\xEF\xBB\xBFT\xFCr \xC3"), "Tür Ã");
}

// A UTF-16 file read and written again gives back every byte; one that does not decode is
// not guessed at.
TEST(Encoding, Utf16RoundTripsEveryByteOrSaysWhyItIsNoText) {
    using namespace std::string_literals;
    EXPECT_EQ(Utf16ByteOrder("\xFF\xFE[\0"s), TUtf16Order::LittleEndian);
    EXPECT_EQ(Utf16ByteOrder("\xFE\xFF\0["s), TUtf16Order::BigEndian);
    EXPECT_EQ(Utf16ByteOrder("\xEF\xBB\xBF["), std::nullopt);
    const std::string text = "[T\xC3\xBCr]\r\n\xE2\x82\xAC=\xF0\x9F\x98\x80\xEF\xBB\xBF";  // [Tür] € = 😀 U+FEFF
    for (const TUtf16Order order : {TUtf16Order::LittleEndian, TUtf16Order::BigEndian}) {
        TTextFault fault = TTextFault::NulCharacter;
        const std::string units = Utf8ToUtf16(text, order);
        EXPECT_EQ(units.size(), 2u * 12);
        EXPECT_EQ(Utf16ToUtf8(units, order, fault), text);
        EXPECT_EQ(fault, TTextFault::Readable);
        EXPECT_EQ(Utf8ToUtf16(*Utf16ToUtf8(units, order, fault), order), units);
    }
    EXPECT_EQ(Utf8ToUtf16("a\xFF", TUtf16Order::BigEndian), "\0a\xFF\xFD"s) << "a malformed byte";
    const struct {
        std::string units;
        TTextFault fault;
    } broken[] = {
        {"[\0A"s, TTextFault::Utf16OddLength},
        {"A\0\x3D\xD8"s, TTextFault::Utf16UnpairedSurrogate},  // a high half at the end
        {"\x3D\xD8"
         "A\0"s,
         TTextFault::Utf16UnpairedSurrogate},  // a high half before a letter
        {"\x00\xDE"
         "A\0"s,
         TTextFault::Utf16UnpairedSurrogate},                               // a low half alone
        {"\x3D\xD8\x3D\xD8\x00\xDE"s, TTextFault::Utf16UnpairedSurrogate},  // two high halves
    };
    for (const auto& b : broken) {
        TTextFault fault = TTextFault::Readable;
        EXPECT_EQ(Utf16ToUtf8(b.units, TUtf16Order::LittleEndian, fault), std::nullopt);
        EXPECT_EQ(fault, b.fault);
    }
}
