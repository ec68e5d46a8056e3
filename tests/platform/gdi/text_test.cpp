#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/gdi/right_to_left_order.h"
#include "platform/rtl/str_utils.h"
#include "surface_fixture.h"

namespace {

// Pixels of DrawText equal those of TextOut with the text we expect it to show.
void ExpectShows(const std::string& text, unsigned format, TRect r, const std::string& shown, int x, int y) {
    TestSurface a(200, 40), b(200, 40);
    SetBkMode(a.dc, TRANSPARENT);
    SetBkMode(b.dc, TRANSPARENT);
    DrawText(a.dc, text, r, format);
    TextOut(b.dc, x, y, shown);
    EXPECT_EQ(a.bitmap->pixels, b.bitmap->pixels) << text << " should show as " << shown;
}

}  // namespace

TEST(Text, DefaultFontMetrics) {
    TestSurface s(10, 10);
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(s.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmAscent, 11);
    EXPECT_EQ(tm.tmDescent, 2);
    EXPECT_EQ(tm.tmInternalLeading, 2);
    EXPECT_EQ(tm.tmExternalLeading, 0);
    EXPECT_EQ(tm.tmAveCharWidth, 5);
    EXPECT_GE(tm.tmMaxCharWidth, 8);
    TSize size;
    GetTextExtentPoint32(s.dc, "xx", &size);
    EXPECT_EQ(size, (TSize{10, 13}));
    GetTextExtentPoint32(s.dc, "", &size);
    EXPECT_EQ(size, (TSize{0, 13}));
    // Umlauts are as wide as their base letter; a malformed byte still takes room.
    EXPECT_EQ(TextPixelWidth(s.dc, "Ä"), TextPixelWidth(s.dc, "A"));
    EXPECT_EQ(TextPixelWidth(s.dc, "\xE4"), TextPixelWidth(s.dc, "ä"));
    EXPECT_GT(TextPixelWidth(s.dc, "€"), 0);
}

TEST(Text, BoldIsWiderAndLargerSizesScale) {
    TestSurface s(10, 10);
    LOGFONT lf;
    lf.lfHeight = -11;
    lf.lfWeight = FW_BOLD;
    HFONT bold = CreateFontIndirect(lf);
    int regular = TextPixelWidth(s.dc, "Gerät");
    HGDIOBJ old = SelectObject(s.dc, bold);
    EXPECT_EQ(TextPixelWidth(s.dc, "Gerät"), regular + 5);
    TEXTMETRIC tm;
    GetTextMetrics(s.dc, &tm);
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    lf.lfWeight = FW_NORMAL;
    lf.lfHeight = -22;
    HFONT big = CreateFontIndirect(lf);
    SelectObject(s.dc, big);
    GetTextMetrics(s.dc, &tm);
    EXPECT_EQ(tm.tmHeight, 26);
    EXPECT_EQ(tm.tmAscent, 22);
    SelectObject(s.dc, old);
    DeleteObject(bold);
    DeleteObject(big);
}

TEST(Text, TextOutOpaqueFillsTheCellAndUnderlineIsDrawn) {
    TestSurface s(40, 20, RGB(0, 255, 0));
    SetBkColor(s.dc, RGB(255, 0, 0));
    TextOut(s.dc, 2, 3, "Hi");
    TSize ext;
    GetTextExtentPoint32(s.dc, "Hi", &ext);
    EXPECT_EQ(s.At(2 + ext.cx - 1, 3), RGB(255, 0, 0));
    EXPECT_EQ(s.At(2 + ext.cx, 3), RGB(0, 255, 0));
    EXPECT_EQ(s.At(2, 3 + 12), RGB(255, 0, 0));
    EXPECT_EQ(s.At(2, 3 + 13), RGB(0, 255, 0));
    EXPECT_EQ(s.At(2, 3 + 3), kBlack);  // H's stem starts at the cap line (row 3)
    LOGFONT lf;
    lf.lfUnderline = 1;
    HFONT ul = CreateFontIndirect(lf);
    TestSurface u(40, 20);
    HGDIOBJ old = SelectObject(u.dc, ul);
    TextOut(u.dc, 0, 0, "ab");
    EXPECT_EQ(u.Count(TRect{0, 12, 40, 13}, kBlack), TextPixelWidth(u.dc, "ab"));
    SelectObject(u.dc, old);
    DeleteObject(ul);
}

TEST(Text, ExtTextOutClipsAndFillsItsRectangle) {
    TestSurface s(40, 20, RGB(0, 255, 0));
    SetBkMode(s.dc, TRANSPARENT);
    SetBkColor(s.dc, RGB(0, 0, 255));
    TRect r{0, 0, 6, 20};
    ExtTextOut(s.dc, 0, 0, ETO_CLIPPED | ETO_OPAQUE, &r, "WWWW");
    EXPECT_EQ(s.InkBox(RGB(0, 255, 0)), (TRect{0, 0, 6, 20}));
    EXPECT_GT(s.Count(TRect{0, 0, 6, 20}, kBlack), 5);
}

TEST(Text, DrawTextPlacesEachAlignmentWhereTheMetricsSay) {
    const std::string text = "HIH";
    TestSurface probe(10, 10);
    int w = TextPixelWidth(probe.dc, text);
    struct Case {
        unsigned format;
        int x, y;  // where the text cell should start
    };
    TRect r{10, 5, 110, 35};
    const Case cases[] = {
        {DT_LEFT | DT_TOP, 10, 5},
        {DT_CENTER, 10 + (100 - w) / 2, 5},
        {DT_RIGHT, 110 - w, 5},
        {DT_SINGLELINE | DT_VCENTER, 10, 5 + (30 - 13) / 2},
        {DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, 110 - w, 35 - 13},
        {DT_VCENTER, 10, 5},  // vertical centring needs a single line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << c.format);
        ExpectShows(text, c.format, r, text, c.x, c.y);
    }
    TestSurface s(200, 40);
    TRect calc{10, 5, 11, 6};
    EXPECT_EQ(DrawText(s.dc, text, calc, DT_CALCRECT | DT_SINGLELINE), 13);
    EXPECT_EQ(calc, (TRect{10, 5, 10 + w, 18}));
    EXPECT_EQ(s.Count(TRect{0, 0, 200, 40}, kBlack), 0);
    TRect vc = r;
    EXPECT_EQ(DrawText(s.dc, text, vc, DT_SINGLELINE | DT_VCENTER), (30 - 13) / 2 + 13);
    TRect empty = r;
    EXPECT_EQ(DrawText(s.dc, "", empty, DT_CALCRECT), 0);
}

TEST(Text, DrawTextBreaksWordsAndLines) {
    TestSurface s(10, 10);
    int wordW = TextPixelWidth(s.dc, "aaa");
    int twoW = TextPixelWidth(s.dc, "aaa aaa");
    TRect r{0, 0, twoW, 100};
    EXPECT_EQ(DrawText(s.dc, "aaa aaa aaa aaa aaa", r, DT_CALCRECT | DT_WORDBREAK), 3 * 13);
    EXPECT_EQ(r.Right, twoW);
    TRect narrow{0, 0, 3, 100};
    // A word wider than the rectangle stays whole on its own line.
    EXPECT_EQ(DrawText(s.dc, "aaa aaa", narrow, DT_CALCRECT | DT_WORDBREAK), 2 * 13);
    EXPECT_EQ(narrow.Right, wordW);
    TRect lines{0, 0, 200, 100};
    EXPECT_EQ(DrawText(s.dc, "a\r\nb\nc\rd", lines, DT_CALCRECT), 4 * 13);
    TRect single{0, 0, 200, 100};
    EXPECT_EQ(DrawText(s.dc, "a\r\nb", single, DT_CALCRECT | DT_SINGLELINE), 13);
    // The second line falls outside a one-line rectangle and is clipped away.
    ExpectShows("ab cd", DT_WORDBREAK, TRect{0, 0, TextPixelWidth(s.dc, "ab c"), 13}, "ab", 0, 0);

    // As an edit control shows it, a word wider than a line breaks too: after the last folder
    // of a path that fits, behind other words only there, else where the line ends; each case
    // shows as its lines drawn one under the other.
    const struct {
        const char* text;
        const char* fitting;  // the rectangle's width is this text's
        std::vector<std::string> lines;
    } breaks[] = {
        {"Datei /home/techniker/Konfigurationen/DOOR.CFG fehlt",
         "Datei /home/techniker/Konfig",
         {"Datei /home/techniker/", "Konfigurationen/DOOR.CFG", "fehlt"}},
        {"C:\\Daten\\Anlage.cfg", "C:\\Daten\\An", {"C:\\Daten\\", "Anlage.cfg"}},
        {"abcdefghij", "abcd", {"abcd", "efgh", "ij"}},
        {"xy abcdefghij", "abcd", {"xy", "abcd", "efgh", "ij"}},
        {"  abcdefgh ab", "  abcd", {"  abcd", "efgh", "ab"}},
        {"ab\rxy abcdefghij", "abcd", {"ab", "xy", "abcd", "efgh", "ij"}},
    };
    for (const auto& c : breaks) {
        const TRect box{0, 0, TextPixelWidth(s.dc, c.fitting), 100};
        TestSurface wrapped(200, 100), stacked(200, 100);
        TRect r = box;
        EXPECT_EQ(DrawText(wrapped.dc, c.text, r, DT_WORDBREAK | DT_EDITCONTROL), static_cast<int>(c.lines.size()) * 13)
            << c.text;
        for (size_t k = 0; k < c.lines.size(); ++k) {
            TextOut(stacked.dc, 0, static_cast<int>(k) * 13, c.lines[k]);
            EXPECT_LE(TextPixelWidth(s.dc, c.lines[k]), box.Width()) << c.lines[k];
        }
        EXPECT_EQ(wrapped.bitmap->pixels, stacked.bitmap->pixels) << c.text;
    }
    // A line narrower than one character still shows every character, one a line.
    TRect thin{0, 0, 3, 100};
    EXPECT_EQ(DrawText(s.dc, "ab cd", thin, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL), 4 * 13);
}

TEST(Text, DrawTextTabsAndPrefixes) {
    TestSurface s(10, 10);
    TRect r{0, 0, 200, 20};
    EXPECT_EQ(DrawText(s.dc, "a\tb", r, DT_CALCRECT | DT_EXPANDTABS), 13);
    EXPECT_EQ(r.Right, 40 + TextPixelWidth(s.dc, "b"));
    r = {0, 0, 200, 20};
    DrawText(s.dc, "&Datei", r, DT_CALCRECT);
    EXPECT_EQ(r.Right, TextPixelWidth(s.dc, "Datei"));
    r = {0, 0, 200, 20};
    DrawText(s.dc, "&Datei", r, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(r.Right, TextPixelWidth(s.dc, "&Datei"));
    r = {0, 0, 200, 20};
    DrawText(s.dc, "a&&b", r, DT_CALCRECT);
    EXPECT_EQ(r.Right, TextPixelWidth(s.dc, "a&b"));
    // The accelerator's underline: only under D, on the underline row.
    TestSurface u(60, 20);
    TRect ur{0, 0, 60, 20};
    SetBkMode(u.dc, TRANSPARENT);
    DrawText(u.dc, "&Datei", ur, DT_SINGLELINE);
    int dWidth = TextPixelWidth(u.dc, "D");
    EXPECT_EQ(u.Count(TRect{0, 12, 60, 13}, kBlack), dWidth - 1);
}

TEST(Text, DrawTextClipsUnlessNoClip) {
    TestSurface s(100, 20), t(100, 20);
    TRect r{0, 0, 8, 13};
    DrawText(s.dc, "WWWWWW", r, DT_SINGLELINE);
    EXPECT_LE(s.InkBox(kWhite).Right, 8);
    DrawText(t.dc, "WWWWWW", r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(t.InkBox(kWhite).Right, 8);
}

TEST(Text, EllipsesCutTheText) {
    TestSurface s(10, 10);
    int width = TextPixelWidth(s.dc, "Konfig...");
    ExpectShows("Konfiguration", DT_SINGLELINE | DT_END_ELLIPSIS, TRect{0, 0, width, 20}, "Konfig...", 0, 0);
    ExpectShows("Konfiguration", DT_SINGLELINE | DT_END_ELLIPSIS, TRect{0, 0, width + 2, 20}, "Konfig...", 0, 0);
    ExpectShows("Kurz", DT_SINGLELINE | DT_END_ELLIPSIS, TRect{0, 0, 100, 20}, "Kurz", 0, 0);
    int pathW = TextPixelWidth(s.dc, "C:\\Da...\\datei.txt");
    ExpectShows("C:\\Daten\\Ordner\\datei.txt", DT_SINGLELINE | DT_PATH_ELLIPSIS, TRect{0, 0, pathW, 20},
                "C:\\Da...\\datei.txt", 0, 0);
    // Too narrow even for the file name: its front goes.
    int tailW = TextPixelWidth(s.dc, "...ei.txt");
    ExpectShows("C:\\Daten\\datei.txt", DT_SINGLELINE | DT_PATH_ELLIPSIS, TRect{0, 0, tailW, 20}, "...ei.txt", 0, 0);
    TRect calc{0, 0, width, 20};
    DrawText(s.dc, "Konfiguration", calc, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(calc.Right, width);
}

namespace {

// The text as it shows read right to left, each character in the order it is laid out.
std::string ShownRightToLeft(const std::string& text) {
    std::vector<uint32_t> cps;
    size_t pos = 0;
    while (pos < text.size()) cps.push_back(NextCodePoint(text, pos));
    std::string out;
    for (const TShownChar& c : RightToLeftOrder(cps)) AppendUtf8(out, c.cp);
    return out;
}

}  // namespace

TEST(Text, RightToLeftReadingKeepsWordsAndMovesWhatReadsWithTheLine) {
    const std::vector<std::pair<std::string, std::string>> table{
        {"", ""},
        {"Abbrechen", "Abbrechen"},
        {"Tür öffnen", "Tür öffnen"},  // the blank between two words goes with them
        {"Weiter >", "< Weiter"},      // a neutral at the end reads with the line, mirrored
        {"Hilfe?", "?Hilfe"},
        {"(Test)", "(Test)"},      // brackets at both ends, each mirrored into place
        {"Tür 12", "Tür 12"},      // a number after words reads with them
        {"12 Türen", "Türen 12"},  // before them, it is a run of its own
        {"-5", "5-"},
        {"1.5 kg", "kg 1.5"},  // one separator joins the number
        {"50% von 2", "von 2 50%"},
        {"a\tb", "b\ta"},                                      // a tab goes with the line
        {"OK  ", "  OK"},                                      // trailing blanks too
        {"abc \u05D0\u05D1\u05D2", "\u05D2\u05D1\u05D0 abc"},  // right-to-left letters reverse
    };
    for (const auto& [text, shown] : table) EXPECT_EQ(ShownRightToLeft(text), shown) << text;
}
