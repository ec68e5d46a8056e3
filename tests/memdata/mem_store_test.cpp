#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

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
    const uint8_t first[22] = {0x0F,                                                       // all four hold values
                               1,    0,    0,    0,                                        // RecId 1
                               0xFE, 0xFF, 0xFF, 0xFF,                                     // -2
                               'S',  't',  'r',  'a',  0xDF, 'e', ' ', 0xFC, 'b', 'e', 0,  // 10 chars + zero
                               1,    0};                                                   // true is 1
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

namespace {
// Seventeen stored fields of every type (three flag bytes), a memo beside them, and per
// record a different set of nulls. Each setter writes the record's own value; the expected
// text is what reading it back must give.
struct EveryTypeTable {
    TestForm form;
    TvxMemData* m = form.Table();
    TIntegerField* id = form.Add<TIntegerField>(m, "Id");
    std::vector<TField*> fields;
    std::vector<std::function<void(TField*, int)>> setters;
    TMemoField* memo = form.Add<TMemoField>(m, "Memo");

    template <typename F>
    void Field(const std::string& name, int size, std::function<void(TField*, int)> set) {
        fields.push_back(form.Add<F>(m, name, size));
        setters.push_back(std::move(set));
    }
    EveryTypeTable() {
        Field<TSmallintField>("Small", 0, [](TField* f, int k) { f->SetAsInteger(-100 * k - 1); });
        Field<TWordField>("Word", 0, [](TField* f, int k) { f->SetAsInteger(65535 - k); });
        Field<TBooleanField>("Bool", 0, [](TField* f, int k) { f->SetAsBoolean(k % 2 == 0); });
        Field<TFloatField>("Float", 0, [](TField* f, int k) { f->SetAsFloat(k + 0.125); });
        Field<TCurrencyField>("Cur", 0, [](TField* f, int k) { f->SetAsFloat(-k - 0.5); });
        Field<TBCDField>("Bcd", 0, [](TField* f, int k) { f->SetAsFloat(k * 1.0001); });
        Field<TDateField>("Date", 0, [](TField* f, int k) { f->SetAsDateTime(40000 + k); });
        Field<TTimeField>("Time", 0, [](TField* f, int k) { f->SetAsDateTime(0.25 + k / 100.0); });
        Field<TDateTimeField>("Stamp", 0, [](TField* f, int k) { f->SetAsDateTime(45000.5 + k); });
        Field<TLargeintField>("Large", 0, [](TField* f, int k) { f->SetAsLargeInt(-5000000000LL * (k + 1)); });
        Field<TWideStringField>("Wide", 5, [](TField* f, int k) { f->SetAsString(std::string(k % 7, 'w') + "äöü"); });
        // Texts of no, one less than, exactly and one more than the field's size.
        Field<TStringField>("One", 1, [](TField* f, int k) { f->SetAsString(std::string(k % 3, 'a' + k % 26)); });
        Field<TStringField>("Eight", 8, [](TField* f, int k) { f->SetAsString(std::string(6 + k % 4, 'A' + k % 26)); });
        Field<TStringField>("Nine", 9, [](TField* f, int k) { f->SetAsString("ß" + std::to_string(k * 1234567)); });
        Field<TIntegerField>("Int", 0, [](TField* f, int k) { f->SetAsInteger(k * 7 - 50); });
        m->Open();
    }
    // Record k leaves field j null when (j + k) % 3 == 0; record 0 sets none, record 1 all.
    static bool Sets(int k, size_t j) { return k == 1 || (k != 0 && (j + k) % 3 != 0); }
    void Add(int k) {
        m->Append();
        id->SetAsInteger(k);
        for (size_t j = 0; j < fields.size(); ++j)
            if (Sets(k, j)) setters[j](fields[j], k);
        if (k % 2) memo->SetAsString("Notiz " + std::to_string(k));
        m->Post();
    }
    // What each field reads for record k: the value set and read back on a second table's
    // edit buffer, never stored, so only the storage is under test.
    std::vector<std::string> Expected(int k) {
        std::vector<std::string> out;
        for (size_t j = 0; j < fields.size(); ++j) out.push_back(Sets(k, j) ? Reference(j, k) : "<null>");
        out.push_back(k % 2 ? "Notiz " + std::to_string(k) : "");
        return out;
    }
    std::vector<std::string> Current() {
        std::vector<std::string> out;
        for (TField* f : fields) out.push_back(f->IsNull() ? "<null>" : f->AsString());
        out.push_back(memo->AsString());
        return out;
    }
    std::string Reference(size_t j, int k) {
        if (!reference_) reference_ = std::make_unique<EveryTypeTable>();
        TvxMemData* r = reference_->m;
        r->Append();
        reference_->setters[j](reference_->fields[j], k);
        std::string text = reference_->fields[j]->AsString();
        r->Cancel();
        return text;
    }
    // Checks every record by its id, wherever sorting put it.
    void CheckAll(const std::set<int>& ids) {
        EXPECT_EQ(m->RecordCount(), static_cast<int>(ids.size()));
        m->First();
        std::set<int> seen;
        while (!m->Eof()) {
            int k = id->AsInteger();
            seen.insert(k);
            EXPECT_EQ(Current(), Expected(k)) << "record " << k;
            m->Next();
        }
        EXPECT_EQ(seen, ids);
    }

private:
    std::unique_ptr<EveryTypeTable> reference_;
};
}  // namespace

TEST(MemStore, EveryTypeKeepsItsValueAndNullThroughSortEditDeleteAndGrowth) {
    EveryTypeTable t;
    EXPECT_EQ(t.m->Store().FieldCount(), 17);
    std::set<int> ids;
    for (int k = 0; k < 40; ++k) {
        t.Add(k);
        ids.insert(k);
    }
    t.CheckAll(ids);
    for (const char* sorted : {"Eight", "Nine", "Wide", "Float", "Int"}) {
        SCOPED_TRACE(sorted);
        t.m->SetSortOptions(TvxSortOptions{soDesc});
        t.m->SetSortedField(sorted);
        t.CheckAll(ids);
        t.m->SetSortOptions(TvxSortOptions{});
        t.CheckAll(ids);
    }
    // Locate lands on the record that holds the value, by a text at its size and by a number.
    ASSERT_TRUE(t.m->Locate("Eight", Variant(std::string(8, 'A' + 14 % 26)), {}));
    EXPECT_EQ(t.Current(), t.Expected(t.id->AsInteger()));
    ASSERT_TRUE(t.m->Locate("Id", 17, {}));
    EXPECT_EQ(t.Current(), t.Expected(17));
    // Edits swap which fields are null: record 17 takes record 18's values and nulls.
    t.m->Edit();
    for (size_t j = 0; j < t.fields.size(); ++j) {
        if (EveryTypeTable::Sets(18, j))
            t.setters[j](t.fields[j], 18);
        else
            t.fields[j]->Clear();
    }
    t.memo->Clear();
    t.id->SetAsInteger(1018);
    t.m->Post();
    ids.erase(17);
    ids.insert(1018);
    ASSERT_TRUE(t.m->Locate("Id", 1018, {}));
    std::vector<std::string> edited = t.Expected(18);
    edited.back() = "";
    EXPECT_EQ(t.Current(), edited);
    t.m->Edit();
    t.id->SetAsInteger(18);
    t.m->Post();  // two records of id 18 now: delete the edited one
    t.m->Delete();
    ids.erase(1018);
    ASSERT_TRUE(t.m->Locate("Id", 5, {}));
    t.m->Delete();
    ids.erase(5);
    t.CheckAll(ids);
    // A field added while records exist starts null everywhere and leaves the others alone.
    auto* extra = t.form.Add<TFloatField>(t.m, "Extra");
    t.m->First();
    while (!t.m->Eof()) {
        EXPECT_TRUE(extra->IsNull());
        t.m->Next();
    }
    t.CheckAll(ids);
}
