#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "memdata/vx_mem_data.h"
#include "platform/rtl/exception.h"
#include "tests/memdata/mem_test_util.h"

namespace {
int32_t I32(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
}  // namespace

TEST(MemStore, BlockLayoutAndBytesPerFieldType) {
    TestForm form;
    TvxMemData* m = form.Table();
    form.Add<TIntegerField>(m, "Num");
    form.Add<TStringField>(m, "Name", 10);
    form.Add<TBooleanField>(m, "Flag");
    m->Open();
    // One flag byte, then RecId 4, Num 4, Name 10 + zero, Flag 2.
    EXPECT_EQ(m->Store().TotalSize(), 22);
    EXPECT_EQ(m->RecordDataSize(), 22);
    ASSERT_EQ(m->Store().FieldCount(), 4);
    EXPECT_TRUE(m->Store().Items(0)->IsRecId);
    const int dataOffsets[] = {1, 5, 9, 20};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(m->Store().Items(i)->DataOffset, dataOffsets[i]);
        EXPECT_EQ(m->Store().Items(i)->FlagOffset, 0);
        EXPECT_EQ(m->Store().Items(i)->FlagMask, 1 << i);
    }

    m->Append();
    m->FieldByName("Num")->SetAsInteger(-2);
    m->FieldByName("Name")->SetAsString("Straße über zehn Zeichen");  // cut to 10, Windows-1252
    m->FieldByName("Flag")->SetAsBoolean(true);
    m->Post();
    m->Append();
    m->FieldByName("Num")->SetAsInteger(7);  // Name and Flag stay null
    m->Post();
    const uint8_t first[22] = {0x0F,                                          // all four hold values
                               1,    0,    0,    0,                           // RecId 1
                               0xFE, 0xFF, 0xFF, 0xFF,                        // -2
                               'S',  't',  'r',  'a',  0xDF, 'e', ' ', 0xFC, 'b', 'e', 0,  // 10 chars + zero
                               1,    0};                                      // true is 1
    EXPECT_EQ(0, std::memcmp(m->Store().Block(0), first, 22));
    const uint8_t second[22] = {0x03, 2, 0, 0, 0, 7, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(m->Store().Block(1), second, 22));
    m->First();
    EXPECT_EQ(m->FieldByName("Name")->AsString(), "Straße übe");
    EXPECT_EQ(m->FieldByName("Flag")->AsString(), "Wahr");
    m->Next();
    EXPECT_TRUE(m->FieldByName("Name")->IsNull());
    EXPECT_TRUE(m->FieldByName("Flag")->IsNull());
}

TEST(MemStore, ByteFormsOfTheOtherTypes) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* sm = form.Add<TSmallintField>(m, "S");
    auto* w = form.Add<TWordField>(m, "W");
    auto* fl = form.Add<TFloatField>(m, "F");
    auto* bcd = form.Add<TBCDField>(m, "B");
    auto* d = form.Add<TDateField>(m, "D");
    auto* t = form.Add<TTimeField>(m, "T");
    auto* dt = form.Add<TDateTimeField>(m, "DT");
    auto* li = form.Add<TLargeintField>(m, "L");
    auto* ws = form.Add<TWideStringField>(m, "WS", 3);
    m->Open();
    m->Append();
    sm->SetAsInteger(-3);
    w->SetAsInteger(65535);
    fl->SetAsFloat(1.5);
    bcd->SetAsFloat(12.3456);
    d->SetAsDateTime(2.0);  // 1900-01-01
    t->SetAsDateTime(0.5);  // noon
    dt->SetAsDateTime(1.25);
    li->SetAsLargeInt(-5000000000LL);
    ws->SetAsString("αβγδ");  // cut to 3 characters
    m->Post();
    const uint8_t* b = m->Store().Block(0);
    auto off = [&](TField* f) { return m->Store().FindField(f)->DataOffset; };
    int16_t s16;
    std::memcpy(&s16, b + off(sm), 2);
    EXPECT_EQ(s16, -3);
    uint16_t u16;
    std::memcpy(&u16, b + off(w), 2);
    EXPECT_EQ(u16, 65535);
    double f64;
    std::memcpy(&f64, b + off(fl), 8);
    EXPECT_EQ(f64, 1.5);
    int64_t i64;
    std::memcpy(&i64, b + off(bcd), 8);
    EXPECT_EQ(i64, 123456);
    EXPECT_EQ(I32(b + off(d)), 693596);
    EXPECT_EQ(I32(b + off(t)), 43200000);
    std::memcpy(&f64, b + off(dt), 8);
    EXPECT_EQ(f64, 693595.0 * 86400000.0 + 21600000.0);
    std::memcpy(&i64, b + off(li), 8);
    EXPECT_EQ(i64, -5000000000LL);
    EXPECT_EQ(m->Store().FindField(ws)->DataSize, static_cast<int>(sizeof(void*)));
    EXPECT_EQ(ws->AsString(), "αβγ");
    EXPECT_EQ(d->AsDateTime(), 2.0);
    EXPECT_EQ(t->AsDateTime(), 0.5);
    EXPECT_EQ(dt->AsDateTime(), 1.25);
    EXPECT_NEAR(bcd->AsFloat(), 12.3456, 1e-9);
    EXPECT_EQ(bcd->Value().VarType(), varCurrency);
}

TEST(MemStore, RecIdNumbering) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* v = form.Add<TIntegerField>(m, "V");
    m->Open();
    for (int i = 0; i < 2; ++i) {
        m->Append();
        v->SetAsInteger(i);
        m->Post();
    }
    m->First();
    EXPECT_EQ(m->RecIdField()->AsInteger(), 1);
    m->Next();
    EXPECT_EQ(m->RecIdField()->AsInteger(), 2);
    // A record arriving with a larger number moves the counter up; a smaller one is renumbered.
    m->Append();
    m->RecIdField()->SetAsInteger(10);
    m->Post();
    EXPECT_EQ(m->RecIdField()->AsInteger(), 10);
    m->Append();
    EXPECT_EQ(m->RecIdField()->AsInteger(), 11);  // proposed before posting
    m->Post();
    m->Append();
    m->RecIdField()->SetAsInteger(5);
    m->Post();
    EXPECT_EQ(m->RecIdField()->AsInteger(), 12);
    // Null fields have has-value 0.
    EXPECT_TRUE(v->IsNull());
    EXPECT_EQ(v->AsString(), "");
}

TEST(MemStore, NullWideStringReadsEmptyAndCopiesAreIndependent) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* ws = form.Add<TWideStringField>(m, "WS", 20);
    m->Open();
    m->Append();
    m->Post();
    EXPECT_TRUE(ws->IsNull());
    EXPECT_EQ(ws->AsString(), "");
    m->Edit();
    ws->SetAsString("eins");
    m->Post();
    m->Append();
    ws->SetAsString("zwei");
    m->Post();
    m->First();
    EXPECT_EQ(ws->AsString(), "eins");
    m->Edit();
    ws->SetAsString("geändert");
    m->Cancel();  // the stored string must not have followed the buffer
    EXPECT_EQ(ws->AsString(), "eins");
    m->Edit();
    ws->Clear();
    m->Post();
    EXPECT_TRUE(ws->IsNull());
    m->Last();
    EXPECT_EQ(ws->AsString(), "zwei");
    m->Delete();
    m->Close();  // everything released exactly once (sanitizers watch)
}

TEST(MemStore, UnsupportedFieldTypeRefusesToOpen) {
    TestForm form;
    TvxMemData* m = form.Table();
    class TBytesField : public TField {
      public:
        explicit TBytesField(TComponent* o) : TField(o) { SetDataType(ftBytes); }
        int DataSize() const override { return 4; }
    };
    form.Add<TBytesField>(m, "Raw");
    try {
        m->Open();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Unsupported field type: Raw");
    }
    EXPECT_FALSE(m->Active());
    EXPECT_EQ(m->Store().FieldCount(), 0);
}

TEST(MemStore, FieldAddedToOpenTableGivesEveryRecordAnEmptySlot) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* a = form.Add<TIntegerField>(m, "A");
    m->Open();
    for (int i = 1; i <= 3; ++i) {
        m->Append();
        a->SetAsInteger(i);
        m->Post();
    }
    auto* s = form.Add<TStringField>(m, "S", 30);
    EXPECT_EQ(m->Store().TotalSize(), 1 + 4 + 4 + 31);  // its has-value bit joins the flag byte
    m->First();
    EXPECT_TRUE(s->IsNull());
    m->Edit();
    s->SetAsString(std::string(30, 'x'));
    m->Post();
    EXPECT_EQ(s->AsString(), std::string(30, 'x'));
    EXPECT_EQ(a->AsInteger(), 1);
    m->Append();
    a->SetAsInteger(4);
    s->SetAsString("neu");
    m->Post();
    EXPECT_EQ(m->RecordCount(), 4);
    EXPECT_EQ(s->AsString(), "neu");
}

// The bytes of a removed field still hold its values: a field added after it must not read
// them (a text read as a wide-string reference would be followed).
TEST(MemStore, FieldAddedAfterARemovedOneStartsNullInEveryRecord) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* a = form.Add<TIntegerField>(m, "A");
    auto owned = std::make_unique<TStringField>(form.owner.get());
    owned->SetFieldName("S");
    owned->SetSize(20);
    owned->SetDataSet(m);
    m->Open();
    for (int i = 1; i <= 3; ++i) {
        m->Append();
        a->SetAsInteger(i);
        owned->SetAsString("Text mit zwanzig Zei");
        m->Post();
    }
    owned.reset();
    auto* w = form.Add<TWideStringField>(m, "W", 10);
    auto* n = form.Add<TIntegerField>(m, "N");
    m->First();
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(a->AsInteger(), i);
        EXPECT_TRUE(w->IsNull());
        EXPECT_EQ(w->AsString(), "");
        EXPECT_TRUE(n->IsNull());
        m->Next();
    }
    m->First();
    m->Edit();
    w->SetAsString("größer");
    n->SetAsInteger(-9);
    m->Post();
    m->Next();
    EXPECT_TRUE(w->IsNull());
    m->First();
    EXPECT_EQ(w->AsString(), "größer");
    EXPECT_EQ(n->AsInteger(), -9);
    EXPECT_EQ(a->AsInteger(), 1);
}

TEST(MemStore, FieldRemovedFromOpenTableReleasesItsStrings) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* a = form.Add<TIntegerField>(m, "A");
    auto* w = form.Add<TWideStringField>(m, "W", 10);
    m->Open();
    for (int i = 1; i <= 3; ++i) {
        m->Append();
        a->SetAsInteger(i);
        w->SetAsString("wert " + std::to_string(i));
        m->Post();
    }
    delete w;  // leaves the dataset while it is open
    EXPECT_EQ(m->FieldCount(), 2);
    EXPECT_EQ(a->AsInteger(), 1);
    m->Last();
    EXPECT_EQ(a->AsInteger(), 3);
    m->Append();
    a->SetAsInteger(4);
    m->Post();
    EXPECT_EQ(m->RecordCount(), 4);
}
