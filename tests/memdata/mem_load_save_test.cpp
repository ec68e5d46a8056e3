#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "memdata/vx_mem_data.h"
#include "platform/classes/memory_stream.h"
#include "platform/rtl/exception.h"
#include "tests/memdata/mem_test_util.h"
#include "tests/support/temp_folder.h"

namespace {
std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// The device overview table of the main window.
struct DeviceOverview {
    TestForm form;
    TvxMemData* m = form.Table("Mem1");
    DeviceOverview() {
        form.Add<TIntegerField>(m, "NodeID");
        form.Add<TStringField>(m, "SerNumber", 10);
        form.Add<TStringField>(m, "DevType", 15);
        for (const char* n : {"AppVers", "BLVers", "XanVers", "HWVers", "ProdCode", "VendorID"})
            form.Add<TStringField>(m, n, 10);
        form.Add<TStringField>(m, "Group", 5);
        form.Add<TIntegerField>(m, "UsageCount");
    }
};

// The network list table of the main window.
struct NetworkList {
    TestForm form;
    TvxMemData* m = form.Table("Mem2");
    NetworkList() {
        form.Add<TIntegerField>(m, "NODE");
        form.Add<TIntegerField>(m, "HOST");
        form.Add<TStringField>(m, "DEV", 1);
        for (const char* n : {"APPVERS", "HWVERS", "XANVERS"}) form.Add<TStringField>(m, n, 10);
        form.Add<TStringField>(m, "XANBDATE", 20);
        form.Add<TStringField>(m, "BLVERS", 10);
        form.Add<TStringField>(m, "PRODCLASS", 4);
        form.Add<TStringField>(m, "VENDOR", 10);
        form.Add<TStringField>(m, "PRODCODE", 10);
        form.Add<TStringField>(m, "PRODNAME", 20);
        form.Add<TStringField>(m, "SERIALNO", 10);
        form.Add<TStringField>(m, "GRPBITS", 2);
        form.Add<TIntegerField>(m, "USAGE");
    }
};

// The control-text catalogue.
struct Catalogue {
    TestForm form;
    TvxMemData* m = form.Table("Mem1");
    Catalogue() {
        form.Add<TStringField>(m, "FORM", 30);
        form.Add<TStringField>(m, "CONTROL", 50);
        form.Add<TStringField>(m, "TYPE", 30);
        form.Add<TStringField>(m, "CAPTION", 200);
        form.Add<TBooleanField>(m, "CHANGE");
        for (const char* n : {"LEFT", "TOP", "WIDTH", "HEIGHT"}) form.Add<TIntegerField>(m, n);
        form.Add<TStringField>(m, "HINT", 50);
        for (const char* n : {"SHOWHINT", "VISIBLE", "ENABLED"}) form.Add<TBooleanField>(m, n);
        form.Add<TIntegerField>(m, "TAG");
        form.Add<TStringField>(m, "FCAPTION", 200);
        form.Add<TStringField>(m, "FHINT", 50);
    }
};
}  // namespace

TEST(MemTextFile, DeviceOverviewRoundTrip) {
    DeviceOverview t;
    t.m->Open();
    for (int i = 1; i <= 3; ++i) {
        t.m->Append();
        t.m->FieldByName("NodeID")->SetAsInteger(i);
        t.m->FieldByName("SerNumber")->SetAsString("SN" + std::to_string(i));
        t.m->FieldByName("DevType")->SetAsString("Türsteuerung");
        t.m->FieldByName("Group")->SetAsString("G1");
        t.m->FieldByName("UsageCount")->SetAsInteger(i * 10);
        t.m->Post();
    }
    t.m->SetRecNo(2);
    const TempFolder folder("tovak-memdata");
    const std::string path = folder.File("dev");
    t.m->SaveToTextFile(path);
    EXPECT_EQ(t.m->FieldByName("NodeID")->AsInteger(), 2);  // the position is kept
    std::string text = ReadFile(path);
    EXPECT_EQ(text.substr(0, text.find("\r\n")),
              "NodeID\tSerNumber\tDevType\tAppVers\tBLVers\tXanVers\tHWVers\tProdCode\tVendorID\tGroup\tUsage"
              "Count");
    EXPECT_NE(text.find("1\tSN1\tTürsteuerung\t\t\t\t\t\t\tG1\t10\r\n"), std::string::npos);

    DeviceOverview u;
    u.m->Open();
    u.m->LoadFromTextFile(path);
    EXPECT_EQ(u.m->RecordCount(), 3);
    u.m->Last();
    EXPECT_EQ(u.m->FieldByName("SerNumber")->AsString(), "SN3");
    EXPECT_EQ(u.m->FieldByName("DevType")->AsString(), "Türsteuerung");
    EXPECT_TRUE(u.m->FieldByName("AppVers")->IsNull());
    EXPECT_EQ(u.m->RecIdField()->AsInteger(), 3);
}

TEST(MemTextFile, NetworkListRoundTrip) {
    NetworkList t;
    t.m->Open();
    t.m->Append();
    t.m->FieldByName("NODE")->SetAsInteger(17);
    t.m->FieldByName("HOST")->SetAsInteger(1);
    t.m->FieldByName("DEV")->SetAsString("AB");  // cut to 1
    t.m->FieldByName("XANBDATE")->SetAsString("12.03.2019 10:11");
    t.m->FieldByName("PRODNAME")->SetAsString("Drehkreuz mit Anzeige");  // 21 characters, cut to 20
    t.m->FieldByName("USAGE")->SetAsInteger(3);
    t.m->Post();
    const TempFolder folder("tovak-memdata");
    const std::string path = folder.File("net");
    t.m->SaveToTextFile(path);
    NetworkList u;
    u.m->Open();
    u.m->LoadFromTextFile(path);
    ASSERT_EQ(u.m->RecordCount(), 1);
    EXPECT_EQ(u.m->FieldByName("DEV")->AsString(), "A");
    EXPECT_EQ(u.m->FieldByName("XANBDATE")->AsString(), "12.03.2019 10:11");
    EXPECT_EQ(u.m->FieldByName("PRODNAME")->AsString(), "Drehkreuz mit Anzeig");
    EXPECT_EQ(u.m->FieldByName("NODE")->AsInteger(), 17);
}

TEST(MemTextFile, CatalogueBooleansAsWahrAndFalsch) {
    Catalogue t;
    t.m->Open();
    t.m->Append();
    t.m->FieldByName("FORM")->SetAsString("Form1");
    t.m->FieldByName("CONTROL")->SetAsString("===");
    t.m->FieldByName("TYPE")->SetAsString("TFORM");
    t.m->FieldByName("CAPTION")->SetAsString("Türsteuerung");
    t.m->FieldByName("CHANGE")->SetAsBoolean(true);
    t.m->FieldByName("VISIBLE")->SetAsBoolean(false);
    t.m->FieldByName("TAG")->SetAsInteger(-1);
    t.m->Post();
    const TempFolder folder("tovak-memdata");
    const std::string path = folder.File("comp");
    t.m->SaveToTextFile(path);
    std::string text = ReadFile(path);
    EXPECT_NE(text.find("Form1\t===\tTFORM\tTürsteuerung\tWahr\t\t\t\t\t\t\tFalsch\t\t-1\t\t\r\n"), std::string::npos);

    // Columns in another order, an unknown column, and "Wahr"/"Falsch" read back.
    WriteFile(path, "CONTROL\tX\tCHANGE\tVISIBLE\tRecId\r\nButton1\tzz\tWahr\tFalsch\t99\r\nLabel1\t\tfalsch\tw\t\r\n");
    t.m->LoadFromTextFile(path);
    ASSERT_EQ(t.m->RecordCount(), 2);
    t.m->First();
    EXPECT_EQ(t.m->FieldByName("CONTROL")->AsString(), "Button1");
    EXPECT_TRUE(t.m->FieldByName("CHANGE")->AsBoolean());
    EXPECT_FALSE(t.m->FieldByName("VISIBLE")->AsBoolean());
    EXPECT_EQ(t.m->RecIdField()->AsInteger(), 1);
    t.m->Next();
    EXPECT_FALSE(t.m->FieldByName("CHANGE")->AsBoolean());
    EXPECT_TRUE(t.m->FieldByName("VISIBLE")->AsBoolean());

    // A piece the field cannot take: the error reaches the caller and no part of the file
    // is kept.
    WriteFile(path, "CONTROL\tCHANGE\r\nA\tWahr\r\nB\tvielleicht\r\n");
    EXPECT_THROW(t.m->LoadFromTextFile(path), EConvertError);
    EXPECT_EQ(t.m->RecordCount(), 0);
    // A header alone empties the table.
    WriteFile(path, "CONTROL\tCHANGE\r\n");
    t.m->LoadFromTextFile(path);
    EXPECT_EQ(t.m->RecordCount(), 0);
}

TEST(MemTextFile, LongLinesAreCutAfterTheirFirstDelimiter) {
    TestForm form;
    TvxMemData* m = form.Table();
    form.Add<TStringField>(m, "A", 10);
    auto* b = form.Add<TMemoField>(m, "Memo");  // blob fields are neither written nor read
    auto* c = form.Add<TStringField>(m, "C", 250);
    (void)b;
    m->Open();
    const TempFolder folder("tovak-memdata");
    const std::string path = folder.File("long");
    WriteFile(path, "A\tC\tMemo\r\nx\t" + std::string(1200, 'y') + "\r\n");
    m->LoadFromTextFile(path);
    EXPECT_EQ(c->AsString(), std::string(250, 'y'));
    m->SaveToTextFile(path);
    EXPECT_EQ(ReadFile(path).substr(0, 6), "A\tC\r\nx");
}

TEST(MemStream, WithAndWithoutSignature) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* n = form.Add<TIntegerField>(m, "N");
    auto* s = form.Add<TStringField>(m, "S", 5);
    auto* f = form.Add<TBooleanField>(m, "F");
    m->Open();
    StreamWriter w;
    w.Signature(0.5).Num<int32_t>(4);
    w.Field("RecId", 3, 4).Field("N", 3, 4).Field("S", 1, 6).Field("F", 5, 2);
    w.Num<uint8_t>(1)
        .Num<int32_t>(77)
        .Num<uint8_t>(1)
        .Num<int32_t>(5)
        .Str("abcdefgh")
        .Num<uint8_t>(1)
        .Num<uint16_t>(0xFFFF);
    w.Num<uint8_t>(1).Num<int32_t>(78).Num<uint8_t>(0).Num<int32_t>(0).Str("").Num<uint8_t>(0).Num<uint16_t>(0);
    w.Num<uint8_t>(1).Num<int32_t>(79).Num<uint8_t>(1).Num<int32_t>(7).Str("x").Num<uint8_t>(1).Num<uint16_t>(0);
    w.Num<uint8_t>(1).Num<int32_t>(80).Num<uint8_t>(1);  // cut short: dropped
    Load(m, w.bytes);
    ASSERT_EQ(m->RecordCount(), 3);
    m->First();
    EXPECT_EQ(m->RecIdField()->AsInteger(), 1);  // stored numbers are not used
    EXPECT_EQ(n->AsInteger(), 5);
    EXPECT_EQ(s->AsString(), "abcde");
    EXPECT_TRUE(f->AsBoolean());
    m->Next();
    EXPECT_EQ(m->RecIdField()->AsInteger(), 2);
    EXPECT_TRUE(n->IsNull());
    EXPECT_FALSE(s->IsNull());  // strings carry no has-value byte
    EXPECT_TRUE(f->IsNull());
    m->Last();
    EXPECT_EQ(m->RecIdField()->AsInteger(), 3);
    EXPECT_EQ(n->AsInteger(), 7);
    m->Append();
    m->Post();
    EXPECT_EQ(m->RecIdField()->AsInteger(), 4);

    // Without the signature: read from the start, every fixed value present.
    StreamWriter v;
    v.Num<int32_t>(2).Field("N", 3, 4).Field("Unknown", 6, 8);
    v.Num<int32_t>(-3).Num<double>(1.5).Num<int32_t>(4).Num<double>(2.5);
    Load(m, v.bytes);
    ASSERT_EQ(m->RecordCount(), 2);
    m->First();
    EXPECT_EQ(n->AsInteger(), -3);
    EXPECT_TRUE(s->IsNull());
}

TEST(MemStream, FieldEntriesAndLengthChecks) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* n = form.Add<TIntegerField>(m, "N");
    auto* big = form.Add<TLargeintField>(m, "Big");
    auto* ws = form.Add<TWideStringField>(m, "W", 10);
    auto* memo = form.Add<TMemoField>(m, "Memo");
    m->Open();
    // Only an unknown field: an empty table.
    StreamWriter a;
    a.Signature().Num<int32_t>(1).Field("Other", 3, 4).Num<uint8_t>(1).Num<int32_t>(1);
    Load(m, a.bytes);
    EXPECT_EQ(m->RecordCount(), 0);
    // A name longer than 255 is refused; the table stays open and empty.
    StreamWriter b;
    b.Signature().Num<int32_t>(1).Num<int32_t>(4).Num<int16_t>(3).Num<int16_t>(300).Raw(std::string(300, 'x'));
    try {
        Load(m, b.bytes);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "The data is incorrect");
    }
    EXPECT_TRUE(m->Active());
    EXPECT_EQ(m->RecordCount(), 0);
    // A smaller stored size fills the rest of the value with zeros; wide strings, blobs and
    // skipped unknown kinds; a negative length ends the load with what was read.
    StreamWriter c;
    c.Signature()
        .Num<int32_t>(5)
        .Field("Big", 21, 4)
        .Field("W", 20, 0)
        .Field("Memo", 14, 0)
        .Field("Junk", 1, 0)
        .Field("N", 3, 4);
    std::u16string text = u"Grüße";
    auto wide = [&](StreamWriter& w) {
        w.Num<int32_t>(static_cast<int32_t>(text.size())).Num<uint8_t>(1);
        for (char16_t ch : text) w.Num<uint16_t>(ch);
    };
    c.Num<uint8_t>(1).Num<int32_t>(-1);
    wide(c);
    c.Str("memo").Str("junk").Num<uint8_t>(1).Num<int32_t>(9);
    c.Num<uint8_t>(1).Num<int32_t>(2).Num<int32_t>(0).Num<uint8_t>(0).Str("").Num<int32_t>(-5);
    Load(m, c.bytes);
    ASSERT_EQ(m->RecordCount(), 1);
    EXPECT_EQ(big->AsLargeInt(), 0xFFFFFFFFLL);  // four bytes given, four zero-filled
    EXPECT_EQ(ws->AsString(), "Grüße");
    EXPECT_EQ(memo->AsBytes(), "memo");
    EXPECT_EQ(n->AsInteger(), 9);
}

TEST(MemStream, PersistentDataLoadsWhenTheTableOpens) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* n = form.Add<TIntegerField>(m, "N");
    StreamWriter w;
    w.Signature().Num<int32_t>(1).Field("N", 3, 4).Num<uint8_t>(1).Num<int32_t>(11).Num<uint8_t>(1).Num<int32_t>(12);
    TStringStream src(w.bytes);
    m->Persistent().ReadData(&src);
    m->Open();
    EXPECT_EQ(m->RecordCount(), 2);
    m->Last();
    EXPECT_EQ(n->AsInteger(), 12);
    m->Close();
    m->Persistent().SetOption(poNone);
    m->Open();
    EXPECT_EQ(m->RecordCount(), 0);
}
