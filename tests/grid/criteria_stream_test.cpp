// The "Criteria" stream byte for byte: each value code and its boundaries, the tree's layout,
// refused codes keeping what was read, and damaged lengths and counts refused before use.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "grid/filter/vx_criteria.h"
#include "grid/filter/vx_criteria_operators.h"
#include "grid/filter/vx_criteria_stream.h"
#include "platform/classes/memory_stream.h"
#include "platform/rtl/exception.h"

namespace {

std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string ValueBytes(const Variant& v) {
    TStringStream s;
    WriteCriteriaValue(&s, v);
    return s.DataString();
}

Variant ValueOf(const std::string& bytes) {
    TStringStream s(bytes);
    return ReadCriteriaValue(&s);
}

std::string Le32(int32_t v) {
    std::string out;
    for (int i = 0; i < 4; ++i) out += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    return out;
}

// One condition entry as bytes: flags, display value, field name, operator, value bytes.
std::string Condition(const std::string& field, uint8_t op, const std::string& value, bool isNot = false) {
    return std::string{0, static_cast<char>(isNot)} + Le32(1) + "v" + Le32(static_cast<int32_t>(field.size())) + field +
           static_cast<char>(op) + value;
}

TEST(CriteriaStream, IntegersTakeTheSmallestCodeThatHoldsThem) {
    EXPECT_EQ(Hex(ValueBytes(Variant(127))), "02 7F");
    EXPECT_EQ(Hex(ValueBytes(Variant(-128))), "02 80");
    EXPECT_EQ(Hex(ValueBytes(Variant(128))), "03 80 00");
    EXPECT_EQ(Hex(ValueBytes(Variant(-129))), "03 7F FF");
    EXPECT_EQ(Hex(ValueBytes(Variant(int16_t{32767}))), "03 FF 7F");
    EXPECT_EQ(Hex(ValueBytes(Variant(32768))), "04 00 80 00 00");
    EXPECT_EQ(Hex(ValueBytes(Variant(-32769))), "04 FF 7F FF FF");
    EXPECT_EQ(Hex(ValueBytes(Variant::FromByte(200))), "03 C8 00");

    EXPECT_EQ(ValueOf("\x02\x05").VarType(), varByte);
    EXPECT_EQ(ValueOf("\x02\x05").AsInteger(), 5);
    // A negative 8-bit value comes back negative, not as 128..255.
    EXPECT_EQ(ValueOf("\x02\x80").AsInteger(), -128);
    EXPECT_EQ(ValueOf(std::string("\x03\x7F\xFF", 3)).VarType(), varSmallint);
    EXPECT_EQ(ValueOf(std::string("\x03\x7F\xFF", 3)).AsInteger(), -129);
    EXPECT_EQ(ValueOf(std::string("\x04\x00\x80\x00\x00", 5)).VarType(), varInteger);
    EXPECT_EQ(ValueOf(std::string("\x04\x00\x80\x00\x00", 5)).AsInteger(), 32768);
}

TEST(CriteriaStream, EveryOtherValueCodeRoundTripsByteExact) {
    EXPECT_EQ(Hex(ValueBytes(Null())), "00");
    EXPECT_EQ(Hex(ValueBytes(Unassigned())), "0D");
    EXPECT_EQ(Hex(ValueBytes(Variant(false))), "08");
    EXPECT_EQ(Hex(ValueBytes(Variant(true))), "09");
    EXPECT_EQ(Hex(ValueBytes(Variant::FromSingle(1.5f))), "0F 00 00 C0 3F");
    EXPECT_EQ(Hex(ValueBytes(Variant(1.0))), "05 00 00 00 00 00 00 00 80 FF 3F");
    EXPECT_EQ(Hex(ValueBytes(Variant::FromCurrency(1.2345))), "10 39 30 00 00 00 00 00 00");
    EXPECT_EQ(Hex(ValueBytes(Variant::FromDate(2.5))), "11 00 00 00 00 00 00 04 40");
    EXPECT_EQ(Hex(ValueBytes(Variant::FromOleStr("Ä€"))), "12 02 00 00 00 C4 00 AC 20");
    EXPECT_EQ(Hex(ValueBytes(Variant("Ä"))), "06 01 C4");

    for (const Variant& v : {Null(), Unassigned(), Variant(false), Variant(true), Variant::FromSingle(-0.25f),
                             Variant(-1234.5678), Variant::FromCurrency(-922337203685.4775),
                             Variant::FromDate(45000.75), Variant::FromOleStr("Łódź"), Variant("Grüße")}) {
        Variant back = ValueOf(ValueBytes(v));
        EXPECT_EQ(back.VarType(), v.VarType()) << VarTypeName(v.VarType());
        EXPECT_EQ(VarToStr(back), VarToStr(v)) << VarTypeName(v.VarType());
    }
    // An 80-bit float comes back as a double.
    Variant third = ValueOf(ValueBytes(Variant(1.0 / 3)));
    EXPECT_EQ(third.VarType(), varDouble);
    EXPECT_EQ(third.AsDouble(), 1.0 / 3);
    // An integer wider than 32 bits goes as its text.
    EXPECT_EQ(Hex(ValueBytes(Variant(int64_t{5000000000}))), "06 0A 35 30 30 30 30 30 30 30 30 30");
}

// The scaled integer of a currency value goes in and out as it is, to both ends of its range
// and where a double no longer holds every step of 0.0001.
TEST(CriteriaStream, CurrencyKeepsItsScaledIntegerExactly) {
    for (const char* bytes : {"10 FF FF FF FF FF FF FF 7F", "10 00 00 00 00 00 00 00 80", "10 01 00 00 00 00 00 20 00",
                              "10 FF FF FF FF FF FF DF FF", "10 01 00 00 00 00 00 00 00"}) {
        std::string raw;
        for (const char* p = bytes; *p; p += p[2] ? 3 : 2)
            raw += static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16));
        const Variant value = ValueOf(raw);
        EXPECT_EQ(value.VarType(), varCurrency) << bytes;
        EXPECT_EQ(Hex(ValueBytes(value)), bytes);
    }
    EXPECT_GT(ValueOf(std::string("\x10\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 9)).AsDouble(), 0);
}

TEST(CriteriaStream, StringsUpTo255CharactersAreShortAndLongerOnesLong) {
    std::string s255(255, 'x'), s256(256, 'y');
    std::string b255 = ValueBytes(Variant(s255)), b256 = ValueBytes(Variant(s256));
    EXPECT_EQ(Hex(b255.substr(0, 2)), "06 FF");
    EXPECT_EQ(b255.size(), 257u);
    EXPECT_EQ(Hex(b256.substr(0, 5)), "0C 00 01 00 00");
    EXPECT_EQ(b256.size(), 261u);
    EXPECT_EQ(ValueOf(b255).AsString(), s255);
    EXPECT_EQ(ValueOf(b256).AsString(), s256);
    // Characters count, not UTF-8 bytes: 255 umlauts are one byte each in the stream.
    std::string umlauts;
    for (int i = 0; i < 255; ++i) umlauts += "ü";
    EXPECT_EQ(Hex(ValueBytes(Variant(umlauts)).substr(0, 2)), "06 FF");
    // A text Windows-1252 cannot hold goes as a wide string instead of losing characters.
    EXPECT_EQ(Hex(ValueBytes(Variant("Ł"))), "12 01 00 00 00 41 01");
}

TEST(CriteriaStream, ArraysRaiseTheWriteErrorAndRefusedCodesTheReadError) {
    TStringStream out;
    try {
        WriteCriteriaValue(&out, VarArrayOf({1, 2}));
        ADD_FAILURE() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "Stream-Write-Fehler");
    }
    for (int code : {1, 7, 10, 11, 14, 19, 255}) {
        try {
            ValueOf(std::string(1, static_cast<char>(code)) + std::string(16, '\0'));
            ADD_FAILURE() << "code " << code;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), "Stream-Read-Fehler");
        }
    }
}

TEST(CriteriaStream, TreeLayoutRoundTripsAndAnEmptyCriteriaIsFourZeroBytes) {
    TvxCriteria criteria;
    TStringStream empty;
    criteria.WriteData(&empty);
    EXPECT_EQ(Hex(empty.DataString()), "00 00 00 00");

    criteria.AddItem(nullptr, "colA", vxoEqual, "eins", Variant(1));
    TvxCriteriaItemList* sub = criteria.AddList(nullptr, true);
    sub->SetNot(true);
    criteria.AddItem(sub, "colB", vxoIsNull, "", Null())->SetNot(true);
    criteria.AddItem(sub, "colC", vxoLessEqual, "x'y", Variant("x'y"));
    criteria.Root()->SetOr(true);  // the root's own flags are not stored
    TStringStream s;
    criteria.WriteData(&s);
    EXPECT_EQ(Hex(s.DataString().substr(0, 26)),
              "02 00 00 00 00 00 04 00 00 00 65 69 6E 73 04 00 00 00 63 6F 6C 41 01 02 01 01");
    EXPECT_EQ(Hex(s.DataString().substr(26, 7)), "01 01 02 00 00 00 00");

    TvxCriteria back;
    s.SetPosition(0);
    back.ReadData(&s);
    EXPECT_FALSE(back.Root()->Or());
    back.Root()->SetOr(true);
    EXPECT_EQ(back.GetFilterText(true), criteria.GetFilterText(true));
    ASSERT_EQ(back.Root()->Count(), 2);
    auto* backSub = static_cast<TvxCriteriaItemList*>(back.Root()->Items(1));
    EXPECT_TRUE(backSub->Or());
    EXPECT_TRUE(backSub->Not());
    EXPECT_TRUE(backSub->Items(0)->Not());
    TStringStream again;
    back.WriteData(&again);
    EXPECT_EQ(again.DataString(), s.DataString());
}

TEST(CriteriaStream, AFaultKeepsTheEntriesReadBeforeIt) {
    // Two good conditions, then one whose value has the refused code 7.
    std::string bytes = Le32(3) + Condition("a", vxoEqual, "\x02\x01") + Condition("b", vxoEqual, "\x09") +
                        Condition("c", vxoEqual, "\x07");
    TvxCriteria criteria;
    criteria.AddItem(nullptr, "old", vxoEqual, "", Variant(1));
    TStringStream s(bytes);
    EXPECT_THROW(criteria.ReadData(&s), EReadError);
    ASSERT_EQ(criteria.Root()->Count(), 2);
    EXPECT_EQ(static_cast<TvxCriteriaItem*>(criteria.Root()->Items(1))->FieldName(), "b");
}

TEST(CriteriaStream, LengthsCountsOperatorsAndDepthAreCheckedBeforeUse) {
    auto refused = [](const std::string& bytes) {
        TvxCriteria criteria;
        TStringStream s(bytes);
        try {
            criteria.ReadData(&s);
        } catch (const EReadError& e) {
            return e.Message() == "Stream-Read-Fehler";
        }
        return false;
    };
    EXPECT_TRUE(refused(Le32(-1)));
    EXPECT_TRUE(refused(Le32(0x7FFFFFFF)));  // far more entries than bytes
    EXPECT_TRUE(refused(Le32(1) + std::string{0, 0} + Le32(-5)));
    EXPECT_TRUE(refused(Le32(1) + std::string{0, 0} + Le32(0x7FFFFFF0) + "abc"));
    EXPECT_TRUE(refused(Le32(1) + Condition("a", 6, std::string(1, '\0'))));  // no operator 6
    // A wide string whose byte size overflows 32 bits, and a long string past the end.
    EXPECT_TRUE(refused(Le32(1) + Condition("a", vxoEqual, "\x12" + Le32(0x7FFFFFFF) + "ab")));
    EXPECT_TRUE(refused(Le32(1) + Condition("a", vxoEqual, "\x0C" + Le32(100) + "ab")));
    EXPECT_TRUE(refused(Le32(1) + Condition("a", vxoEqual,
                                            "\x06\x09"
                                            "ab")));
    EXPECT_TRUE(refused(Le32(1) + Condition("a", vxoEqual, std::string("\x05\x00\x00", 3))));  // cut float

    // 32 levels of lists are fine, 33 are not.
    auto nested = [](int levels) {
        std::string bytes = Le32(1);
        for (int i = 1; i < levels; ++i) bytes += std::string{1, 0, 0} + Le32(1);
        return bytes + Condition("a", vxoIsNull, std::string(1, '\0'));
    };
    EXPECT_FALSE(refused(nested(32)));
    EXPECT_TRUE(refused(nested(33)));
}

}  // namespace
