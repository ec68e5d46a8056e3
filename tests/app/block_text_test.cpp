// The test page's byte lists and check bits, and the dialogs' mask and block-text lines.

#include <gtest/gtest.h>

#include "app/config/block_text.h"

TEST(BlockText, HexFieldsAndCommandItems) {
    EXPECT_EQ(std::string("\x20\x10", 2), HexFieldsToBytes("20,10"));
    EXPECT_EQ(std::string("\x00\x50\x01", 3), HexFieldsToBytes(CommandItemData("Entriegeln: 00,50,01")));
    EXPECT_EQ("", CommandItemData("--- Steuern ---:"));
    EXPECT_EQ("", CommandItemData("ohne Doppelpunkt"));
    EXPECT_EQ("", HexFieldsToBytes(""));
    // Odd fields read 0, a trailing comma adds nothing.
    EXPECT_EQ(std::string("\x00\x00\xAB", 3), HexFieldsToBytes("zz,,1AB,"));
}

TEST(BlockText, VirtualInputBits) {
    std::array<bool, 16> boxes{};
    EXPECT_EQ(std::string("\x00\x00", 2), VirtualInputBytesOf(boxes));
    boxes[0] = boxes[15] = true;
    EXPECT_EQ(std::string("\x01\x80", 2), VirtualInputBytesOf(boxes));
    boxes = {};
    boxes[7] = boxes[8] = true;
    EXPECT_EQ(std::string("\x80\x01", 2), VirtualInputBytesOf(boxes));
}

TEST(BlockText, MaskCharacters) {
    std::string m = "X______X";
    EXPECT_TRUE(MaskCharIsSet(m, 1));
    EXPECT_FALSE(MaskCharIsSet(m, 2));
    EXPECT_TRUE(MaskCharIsSet(m, 8));
    EXPECT_FALSE(MaskCharIsSet(m, 9));
    EXPECT_FALSE(MaskCharIsSet(m, 0));
    SetMaskChar(m, 2, true);
    SetMaskChar(m, 8, false);
    EXPECT_EQ("XX______", m);
    std::string shortText;
    SetMaskChar(shortText, 3, true);
    EXPECT_EQ("__X", shortText);
}

TEST(BlockText, LinesOfFourBytes) {
    TConfigLines lines = SplitConfigString("01,02,03,04,AA,BB");
    EXPECT_EQ("01,02,03,04", lines[0]);
    EXPECT_EQ("AA,BB,,", lines[1]);
    EXPECT_EQ("", lines[2]);
    EXPECT_EQ("", lines[20]);
    EXPECT_EQ("01,02,03,04,AA,BB,00,00", JoinConfigString(lines));

    // 21 groups: the 21st goes to the rest line and comes back.
    std::string text;
    for (int k = 0; k < 21; ++k) text += (k ? "," : "") + std::string("0A,0B,0C,0D");
    text += ",EE";
    lines = SplitConfigString(text);
    EXPECT_EQ("0A,0B,0C,0D,EE", lines[20]);
    EXPECT_EQ(text, JoinConfigString(lines));

    // "1,2" fills its group with zeros; an empty line drops everything after it.
    lines = TConfigLines{};
    lines[0] = "1,2";
    lines[1] = "fe,FE,100,";
    lines[2] = "  ";
    lines[3] = "05,05,05,05";
    lines[20] = "07";
    EXPECT_EQ("01,02,00,00,00,FE,00,00", JoinConfigString(lines));
}
