// The input/output configuration on its own: function catalogue, row numbering, block
// text both ways for every device type, the standard configurations and odd block texts.

#include <gtest/gtest.h>

#include "app/config/function_catalogue.h"
#include "app/config/io_config.h"
#include "app/config/io_functions.h"

namespace {

class IoCodec : public ::testing::Test {
protected:
    void SetUp() override { RestoreBuiltInFunctions(); }
    void TearDown() override { RestoreBuiltInFunctions(); }
};

int CountGroups(const std::string& text) { return text.empty() ? 0 : static_cast<int>((text.size() + 1) / 12); }

}  // namespace

TEST_F(IoCodec, CatalogueHoldsTheBuiltInEntries) {
    int named = 0;
    for (const auto& e : BuiltInFunctionCatalogue()) named += e.empty() ? 0 : 1;
    EXPECT_EQ(116, named);
    EXPECT_EQ("003 Entriegeln mit Verzögerung", FunctionItemText(0x03, 0));
    EXPECT_EQ("128 Statisch \"Aus\"", FunctionItemText(0x80, 1));
    EXPECT_EQ("", FunctionItemText(0x0F, 0));
    EXPECT_EQ("", FunctionItemText(300, 0));
    // The bus codes count the other way round on the Belvar device.
    EXPECT_EQ("096 Digital-Input 01", FunctionItemText(0x60, 1));
    EXPECT_EQ("127 Digital-Output 32", FunctionItemText(0x7F, 2));
    EXPECT_EQ("224 Digital-Input 01", FunctionItemText(0xE0, 2));
    EXPECT_EQ("255 Digital-Output 32", FunctionItemText(0xFF, 0));
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(code == 0x03 || code == 0x08 || code == 0x0A, FunctionUsesParam(code)) << code;
    // Output entries carry kind "A", input entries "E".
    EXPECT_EQ("A", SplitFunctionEntry(FunctionCatalogue()[0xC1]).Kind);
    EXPECT_EQ("E", SplitFunctionEntry(FunctionCatalogue()[0x44]).Kind);
}

TEST_F(IoCodec, VariantsFallBackToTheFirstAndEntriesFromTheFileApply) {
    FunctionCatalogue()[0x10] = "E| Erste ; Zweite |1";
    EXPECT_EQ("016 Erste", FunctionItemText(0x10, 0));
    EXPECT_EQ("016 Zweite", FunctionItemText(0x10, 1));
    EXPECT_EQ("016 Erste", FunctionItemText(0x10, 2));
    EXPECT_TRUE(FunctionUsesParam(0x10));
    // An entry with an empty name offers no choice; an entry without flag uses no parameter.
    FunctionCatalogue()[0x11] = "E|  |1";
    FunctionCatalogue()[0x12] = "E|Ohne Flag";
    EXPECT_EQ("", FunctionItemText(0x11, 0));
    EXPECT_FALSE(FunctionUsesParam(0x12));
    EXPECT_EQ("018 Ohne Flag", FunctionItemText(0x12, 0));
    const auto v = SplitVariants("A;;C");
    EXPECT_EQ("A", v[1]);
    EXPECT_EQ("C", v[2]);
}

TEST(IoRows, NumberingCountsAndCaptions) {
    EXPECT_TRUE(IsInputRow(1) && IsInputRow(16) && IsInputRow(41) && IsInputRow(56));
    EXPECT_TRUE(IsOutputRow(21) && IsOutputRow(36) && IsOutputRow(61) && IsOutputRow(76));
    for (int r : {0, 17, 20, 37, 40, 57, 60, 77, 300}) EXPECT_FALSE(IsConfigRow(r)) << r;
    EXPECT_EQ(9, InputCountOf(0, 1));
    EXPECT_EQ(8, OutputCountOf(0, 1));
    EXPECT_EQ(6, InputCountOf(1, 1));
    EXPECT_EQ(16, OutputCountOf(2, 2));
    EXPECT_EQ(0, InputCountOf(0, 2));
    EXPECT_EQ(-1, InputCountOf(3, 1));
    EXPECT_EQ(-1, OutputCountOf(0, 3));
    EXPECT_EQ("17.", RowCaption(41));
    EXPECT_EQ("32.", RowCaption(76));
    EXPECT_EQ("1.", RowCaption(21));
    EXPECT_EQ("", RowCaption(17));
    TIoConfig c;
    c.Row(17).Function = 5;  // not a row: ignored
    EXPECT_EQ(0, c.Row(17).Function);
    EXPECT_EQ(0x80, c.Row(61).Function);
}

TEST(IoBlocks, EveryDeviceTypeEncodesItsRowsAndDecodesBack) {
    const int inputs[3] = {9, 6, 32}, outputs[3] = {8, 6, 32};
    for (int type = 0; type < 3; ++type) {
        TIoConfig c;
        c.DeviceType = type;
        int k = 0;
        for (int r : AllInputRows()) {
            c.Row(r) = TIoRow{static_cast<uint8_t>(k), k % 2 == 1, static_cast<uint8_t>(k + 100), 0};
            ++k;
        }
        for (int r : AllOutputRows()) c.Row(r) = TIoRow{0xB0, false, 7, 0x42};
        c.Row(22).Function = 0xC1;
        const std::string in = EncodeInputBlock(c), out = EncodeOutputBlock(c);
        EXPECT_EQ(inputs[type], CountGroups(in)) << type;
        EXPECT_EQ(outputs[type], CountGroups(out)) << type;
        EXPECT_EQ(static_cast<size_t>(inputs[type] * 12 - 1), in.size());
        EXPECT_EQ("00,00,64,00,01,01,65,00", in.substr(0, 23));
        EXPECT_EQ("B0,00,07,00,C1,00,00,42", out.substr(0, 23));
        TIoConfig d;
        d.DeviceType = 2;
        DecodeInputBlock(in, d);
        DecodeOutputBlock(out, d);
        EXPECT_EQ(type, d.DeviceType);
        for (int r : InputRowsOf(type)) {
            EXPECT_EQ(c.Row(r).Function, d.Row(r).Function) << r;
            EXPECT_EQ(c.Row(r).Inverted, d.Row(r).Inverted) << r;
            EXPECT_EQ(c.Row(r).Param, d.Row(r).Param) << r;
        }
        EXPECT_EQ(in, EncodeInputBlock(d));
        EXPECT_EQ(out, EncodeOutputBlock(d));
    }
}

TEST(IoBlocks, OddBlockTexts) {
    TIoConfig c;
    c.DeviceType = 2;
    for (int r : AllInputRows()) c.Row(r).Function = 9;
    // Empty: type 0, every input row blank.
    DecodeInputBlock("", c);
    EXPECT_EQ(0, c.DeviceType);
    for (int r : AllInputRows()) EXPECT_EQ(0, c.Row(r).Function);
    // 16 groups select type 2, 5 groups type 1, 7 groups type 2.
    std::string g16;
    for (int k = 0; k < 16; ++k) g16 += (k ? "," : "") + std::string("01,00,00,00");
    DecodeInputBlock(g16, c);
    EXPECT_EQ(2, c.DeviceType);
    DecodeInputBlock(g16.substr(0, 5 * 12 - 1), c);
    EXPECT_EQ(1, c.DeviceType);
    DecodeInputBlock(g16.substr(0, 7 * 12 - 1), c);
    EXPECT_EQ(2, c.DeviceType);
    // A short block: the rows it names are set, the cut group and the rest read 0; one
    // complete group is no device's size.
    DecodeInputBlock("03,01,05,00,04,01", c);
    EXPECT_EQ(2, c.DeviceType);
    EXPECT_EQ(3, c.Row(1).Function);
    EXPECT_EQ(5, c.Row(1).Param);
    EXPECT_EQ(4, c.Row(2).Function);
    EXPECT_TRUE(c.Row(2).Inverted);
    EXPECT_EQ(0, c.Row(2).Param);
    EXPECT_EQ(0, c.Row(3).Function);
    // Lower-case digits are not hex digits for the device's text: "0a" reads as 0, "1f" as 1.
    DecodeInputBlock("0a,00,1f,00", c);
    EXPECT_EQ(0, c.Row(1).Function);
    EXPECT_EQ(1, c.Row(1).Param);
    // An input code in the output block is taken as 0x80; parameter and mask are kept
    // though hidden, and left out again on encoding.
    c.DeviceType = 0;
    DecodeOutputBlock("12,01,05,07", c);
    EXPECT_EQ(0x80, c.Row(21).Function);
    EXPECT_TRUE(c.Row(21).Inverted);
    EXPECT_EQ(5, c.Row(21).Param);
    EXPECT_EQ(7, c.Row(21).Mask);
    EXPECT_EQ(0x80, c.Row(22).Function);
    EXPECT_EQ("80,01,00,00", EncodeOutputBlock(c).substr(0, 11));
    // Unknown codes travel unchanged.
    DecodeInputBlock("7E,00,00,00,1F,00,09,00", c);
    DecodeOutputBlock("DD,00,00,00", c);
    EXPECT_EQ("7E,00,00,00,1F,00,09,00", EncodeInputBlock(c).substr(0, 23));
    EXPECT_EQ("DD,00,00,00", EncodeOutputBlock(c).substr(0, 11));
}

TEST(IoBlocks, StandardConfigurationsReadAsTheirRows) {
    TIoConfig c;
    DecodeInputBlock(StandardInputText(0), c);
    DecodeOutputBlock(StandardOutputText(0), c);
    EXPECT_EQ(0, c.DeviceType);
    const int in0[] = {0x04, 0x20, 0x03, 0x05, 0x08, 0x09, 0x0A, 0x26, 0x21};
    for (int k = 0; k < 9; ++k) EXPECT_EQ(in0[k], c.Row(k + 1).Function);
    EXPECT_EQ(5, c.Row(3).Param);
    const int out0[] = {0x82, 0xA1, 0xA2, 0xA4, 0xA5, 0x86, 0xB8, 0xC1};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(out0[k], c.Row(21 + k).Function);
    EXPECT_EQ(0xFF, c.Row(28).Mask);
    EXPECT_EQ(StandardInputText(0), EncodeInputBlock(c));
    EXPECT_EQ(StandardOutputText(0), EncodeOutputBlock(c));
    EXPECT_EQ(107u, EncodeInputBlock(c).size());
    EXPECT_EQ(95u, EncodeOutputBlock(c).size());

    DecodeInputBlock(StandardInputText(1), c);
    DecodeOutputBlock(StandardOutputText(1), c);
    EXPECT_EQ(1, c.DeviceType);
    EXPECT_EQ(1, c.Row(3).Param);
    EXPECT_EQ(0x0A, c.Row(4).Function);
    EXPECT_TRUE(c.Row(6).Inverted);
    EXPECT_EQ(0x40, c.Row(6).Function);
    EXPECT_EQ(0xC1, c.Row(22).Function);
    EXPECT_EQ(StandardOutputText(1), EncodeOutputBlock(c));

    DecodeInputBlock(StandardInputText(2), c);
    DecodeOutputBlock(StandardOutputText(2), c);
    EXPECT_EQ(2, c.DeviceType);
    EXPECT_EQ(383u, EncodeInputBlock(c).size());
    EXPECT_EQ(StandardOutputText(2), EncodeOutputBlock(c));
    EXPECT_EQ("", StandardInputText(3));
}

TEST(IoBlocks, MaskText) {
    EXPECT_EQ("X______X", MaskToText(0x81));
    EXPECT_EQ(0x05, MaskFromText("X_X_____"));
    EXPECT_EQ(0x01, MaskFromText("Xx-?"));
    EXPECT_EQ(0xFF, MaskFromText("XXXXXXXXX"));
}
