// Faults found by testing the table from outside: each case below once crashed, looped,
// leaked or answered wrongly.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>

#include "memdata/vx_mem_data.h"
#include "platform/rtl/exception.h"
#include "tests/memdata/mem_test_util.h"
#include "tests/support/temp_folder.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define TOVAK_LEAK_CHECK 1
#endif

namespace {
// Under the leak checker: whether anything unreachable is left on the heap now.
bool Leaks() {
#ifdef TOVAK_LEAK_CHECK
    return __lsan_do_recoverable_leak_check() != 0;
#else
    return false;
#endif
}

std::vector<std::string> Column(TvxMemData* m, TField* f) {
    std::vector<std::string> out;
    m->First();
    while (!m->Eof()) {
        out.push_back(f->IsNull() ? "<null>" : f->AsString());
        m->Next();
    }
    return out;
}
}  // namespace

TEST(MemStreamFaults, ZeroSizeFieldsAndEmptyRecordsEndTheLoad) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* n = form.Add<TIntegerField>(m, "N");
    m->Open();
    // No signature, one fixed field of size 0: every record would read nothing.
    const std::string bytes("\x01\0\0\0\0\0\0\0\x03\0\x01\0N*", 14);
    try {
        Load(m, bytes);
        FAIL() << "a zero-size field was accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "The data is incorrect");
    }
    EXPECT_TRUE(m->Active());
    EXPECT_EQ(m->RecordCount(), 0);
    // Kept as the component's data, it is refused each time the table opens.
    TStringStream stored(bytes);
    m->Persistent().ReadData(&stored);
    m->Close();
    EXPECT_THROW(m->Open(), Exception);
    EXPECT_TRUE(m->Active());
    EXPECT_EQ(m->RecordCount(), 0);
    m->Persistent().SetOption(poNone);
    // A size-0 entry of a field the table lacks is refused the same way.
    StreamWriter w;
    w.Num<int32_t>(2).Field("Other", 3, 0).Field("N", 3, 4).Num<int32_t>(7);
    EXPECT_THROW(Load(m, w.bytes), Exception);
    // A null wide string whose length exceeds the rest of the stream keeps its record.
    auto* ws = form.Add<TWideStringField>(m, "W", 10);
    m->Close();
    m->Open();
    StreamWriter x;
    x.Signature().Num<int32_t>(2).Field("W", 20, 0).Field("N", 3, 4);
    x.Num<int32_t>(1000).Num<uint8_t>(0).Num<uint8_t>(1).Num<int32_t>(5);
    Load(m, x.bytes);
    ASSERT_EQ(m->RecordCount(), 1);
    EXPECT_TRUE(ws->IsNull());
    EXPECT_EQ(n->AsInteger(), 5);
}

TEST(MemStreamFaults, DatesOutsideTheCalendarAreRefused) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* d = form.Add<TDateField>(m, "D");
    auto* dt = form.Add<TDateTimeField>(m, "DT");
    auto* t = form.Add<TTimeField>(m, "T");
    m->Open();
    m->Append();
    d->SetAsDateTime(45000);
    dt->SetAsDateTime(45000.5);
    t->SetAsDateTime(0.25);
    for (double bad : {1e12, -1e12, std::nan(""), std::numeric_limits<double>::infinity(), 2958466.0, -693594.5}) {
        for (TField* f : std::initializer_list<TField*>{d, dt, t})
            EXPECT_THROW(f->SetAsDateTime(bad), EConvertError) << bad;
    }
    EXPECT_EQ(d->AsDateTime(), 45000);
    EXPECT_EQ(dt->AsDateTime(), 45000.5);
    EXPECT_EQ(t->AsDateTime(), 0.25);
    d->SetAsDateTime(2958465.0);  // 9999-12-31, the last day
    d->SetAsDateTime(-693593.0);  // 0001-01-01, the first
    m->Post();

    auto load = [&](int32_t date, double ms, int32_t time) {
        StreamWriter w;
        w.Signature().Num<int32_t>(3).Field("D", 9, 4).Field("DT", 11, 8).Field("T", 10, 4);
        w.Num<uint8_t>(1).Num<int32_t>(700000).Num<uint8_t>(1).Num<double>(700000.0 * 86400000).Num<uint8_t>(1);
        w.Num<int32_t>(0);
        w.Num<uint8_t>(1).Num<int32_t>(date).Num<uint8_t>(1).Num<double>(ms).Num<uint8_t>(1).Num<int32_t>(time);
        Load(m, w.bytes);
    };
    load(700001, 700001.0 * 86400000, 1000);
    EXPECT_EQ(m->RecordCount(), 2);
    const double good = 700001.0 * 86400000;
    EXPECT_THROW(load(std::numeric_limits<int32_t>::max(), good, 0), EConvertError);
    EXPECT_EQ(m->RecordCount(), 0);
    EXPECT_THROW(load(0, good, 0), EConvertError);
    EXPECT_THROW(load(700001, 1e300, 0), EConvertError);
    EXPECT_THROW(load(700001, std::nan(""), 0), EConvertError);
    EXPECT_THROW(load(700001, good, 86400000), EConvertError);
    EXPECT_THROW(load(700001, good, -1), EConvertError);
    EXPECT_TRUE(m->Active());
    EXPECT_EQ(m->RecordCount(), 0);
}

TEST(MemSortFaults, NullWideStringsCompareAsEmptyText) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* n = form.Add<TIntegerField>(m, "N");
    auto* w = form.Add<TWideStringField>(m, "W", 10);
    m->Open();
    auto add = [&](int v, const char* text) {
        m->Append();
        n->SetAsInteger(v);
        if (text) w->SetAsString(text);
        m->Post();
    };
    add(1, "b");
    add(2, nullptr);
    add(3, "a");
    TvxMemIndex* idx = m->Indexes().Add();
    idx->SetFieldName("W");
    // Scan, index, sort, partial keys and placing a posted record all read the null slot.
    EXPECT_TRUE(m->Locate("W", Variant("a"), {}));
    EXPECT_EQ(n->AsInteger(), 3);
    EXPECT_TRUE(m->Locate("N;W", Variant::Array({Variant(3), Variant("a")}), TLocateOptions{loPartialKey}));
    EXPECT_EQ(m->GetRecNoByFieldValue(Variant("a"), "W"), 3);
    m->SetSortedField("W");
    EXPECT_EQ(Column(m, w), (std::vector<std::string>{"<null>", "a", "b"}));
    EXPECT_TRUE(m->Locate("W", Variant("b"), {}));
    EXPECT_TRUE(m->Locate("W", Variant("a"), TLocateOptions{loPartialKey}));
    EXPECT_EQ(n->AsInteger(), 3);
    add(4, nullptr);
    add(5, "");
    m->SetSortOptions(TvxSortOptions{soDesc, soCaseInsensitive});
    EXPECT_EQ(Column(m, w).front(), "b");
    EXPECT_TRUE(m->Locate("W", Variant("A"), TLocateOptions{loCaseInsensitive}));
    EXPECT_EQ(n->AsInteger(), 3);
}

TEST(MemScratchFaults, LookupAfterTheLayoutGrew) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* n = form.Add<TIntegerField>(m, "N");
    m->Open();
    m->Append();
    n->SetAsInteger(1);
    m->Post();
    EXPECT_EQ(m->Lookup("N", Variant(1), "N").AsInteger(), 1);
    m->Close();
    auto* s = form.Add<TStringField>(m, "S", 250);
    m->Open();
    m->Append();
    n->SetAsInteger(2);
    s->SetAsString(std::string(250, 'x'));
    m->Post();
    EXPECT_EQ(m->Lookup("N", Variant(2), "S").AsString(), std::string(250, 'x'));
    // A field added while open grows the record too.
    auto* t = form.Add<TStringField>(m, "T", 200);
    m->Edit();
    t->SetAsString(std::string(200, 'y'));
    m->Post();
    EXPECT_EQ(m->Lookup("N", Variant(2), "T").AsString(), std::string(200, 'y'));
}

TEST(MemScratchFaults, ScratchBufferStringsAreFreedOnce) {
    {
        TestForm form;
        TvxMemData* m = form.Table();
        auto* n = form.Add<TIntegerField>(m, "N");
        auto* w = form.Add<TWideStringField>(m, "W", 10);
        auto* memo = form.Add<TMemoField>(m, "Memo");
        m->Open();
        m->Append();
        n->SetAsInteger(1);
        w->SetAsString("wide");
        memo->SetAsString(std::string(100, 'm'));
        m->Post();
        EXPECT_EQ(m->Lookup("N", Variant(1), "W").AsString(), "wide");
        m->SetOnFilterRecord([](TDataSet*, bool& accept) { accept = true; });
        m->SetFiltered(true);
        m->Close();  // closing first, then freeing
    }
    EXPECT_FALSE(Leaks());
    {
        TestForm form;
        TvxMemData* m = form.Table();
        auto* n = form.Add<TIntegerField>(m, "N");
        auto* memo = form.Add<TMemoField>(m, "Memo");
        m->Open();
        m->Append();
        n->SetAsInteger(1);
        memo->SetAsString(std::string(100, 'm'));
        m->Post();
        m->SetOnFilterRecord([](TDataSet*, bool& accept) { accept = true; });
        m->SetFiltered(true);
        EXPECT_EQ(m->Lookup("N", Variant(1), "N").AsInteger(), 1);
    }  // freed while open
    EXPECT_FALSE(Leaks());
}

TEST(MemFilterFaults, FilterReadsTheMemoOfEachRecord) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* n = form.Add<TIntegerField>(m, "N");
    auto* memo = form.Add<TMemoField>(m, "Memo");
    m->Open();
    for (int i = 1; i <= 3; ++i) {
        m->Append();
        n->SetAsInteger(i);
        memo->SetAsString(std::string(1, static_cast<char>('a' + i - 1)));
        m->Post();
    }
    std::vector<std::string> seen;
    m->SetOnFilterRecord([&](TDataSet*, bool& accept) {
        seen.push_back(memo->AsString());
        accept = memo->AsString() == "b";
    });
    m->SetFiltered(true);
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "c"}));
    ASSERT_EQ(m->RecordCount(), 1);
    EXPECT_EQ(n->AsInteger(), 2);
}

TEST(MemIndexFaults, IndexFollowsTheStoreOrderAndCaseRule) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* n = form.Add<TIntegerField>(m, "N");
    auto* code = form.Add<TStringField>(m, "Code", 10);
    m->Open();
    auto add = [&](int v, const char* c) {
        m->Append();
        n->SetAsInteger(v);
        code->SetAsString(c);
        m->Post();
    };
    add(3, "C");
    add(1, "b");
    add(2, "A");
    TvxMemIndex* idx = m->Indexes().Add();
    idx->SetFieldName("Code");
    auto find = [&](const char* c, TLocateOptions o = {}) {
        return m->Locate("Code", Variant(c), o) ? n->AsInteger() : -1;
    };
    EXPECT_EQ(find("b"), 1);  // builds the index
    // A re-sort by another field moves every record under the index.
    m->SetSortedField("N");
    EXPECT_EQ(find("b"), 1);
    EXPECT_EQ(find("C"), 3);
    // A posted record moves to its sorted place.
    m->First();
    m->Edit();
    n->SetAsInteger(9);  // "b" goes from the first place to the last
    m->Post();
    EXPECT_EQ(find("A"), 2);
    EXPECT_EQ(find("b"), 9);
    // The index was built case-sensitively ("b" after "C"); the search now folds case.
    m->SetSortedField("");
    EXPECT_EQ(find("A"), 2);
    m->SetSortOptions(TvxSortOptions{soCaseInsensitive});
    EXPECT_EQ(find("B", TLocateOptions{loCaseInsensitive}), 9);
    EXPECT_EQ(find("c", TLocateOptions{loCaseInsensitive}), 3);
    EXPECT_EQ(find("a", TLocateOptions{loCaseInsensitive}), 2);
}

TEST(MemNumberingFaults, NoNumberAfterTheLargest) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* n = form.Add<TIntegerField>(m, "N");
    auto* ai = form.Add<TAutoIncField>(m, "AI");
    m->Open();
    m->Append();
    m->RecIdField()->SetAsInteger(std::numeric_limits<int32_t>::max() - 1);
    m->Post();
    m->Append();  // takes the largest RecId
    m->Post();
    EXPECT_EQ(m->RecIdField()->AsInteger(), std::numeric_limits<int32_t>::max());
    m->Append();
    n->SetAsInteger(3);
    EXPECT_THROW(m->Post(), EDatabaseError);
    EXPECT_EQ(m->State(), dsInsert);
    m->Cancel();
    EXPECT_EQ(m->RecordCount(), 2);
    // An auto-increment field set to the largest number: the next record is refused too.
    m->Close();
    m->Open();
    m->Append();
    ai->SetAsInteger(std::numeric_limits<int32_t>::max());
    m->Post();
    m->Append();
    EXPECT_THROW(m->Post(), EDatabaseError);
    m->Cancel();
    ASSERT_EQ(m->RecordCount(), 1);
    EXPECT_EQ(ai->AsInteger(), std::numeric_limits<int32_t>::max());
    // The same from a stream.
    StreamWriter w;
    w.Signature().Num<int32_t>(1).Field("AI", 12, 4);
    w.Num<uint8_t>(1).Num<int32_t>(std::numeric_limits<int32_t>::max()).Num<uint8_t>(0).Num<int32_t>(0);
    EXPECT_THROW(Load(m, w.bytes), EDatabaseError);
    EXPECT_EQ(m->RecordCount(), 0);
}

TEST(MemLocateFaults, PartialKeysUnderADescendingSort) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* n = form.Add<TIntegerField>(m, "N");
    auto* s = form.Add<TStringField>(m, "S", 10);
    auto* w = form.Add<TWideStringField>(m, "W", 10);
    m->Open();
    int i = 0;
    for (const char* text : {"Abc", "Xyz", "Aaa", "Abd", "B", "Ab"}) {
        m->Append();
        n->SetAsInteger(++i);
        s->SetAsString(text);
        w->SetAsString(text);
        m->Post();
    }
    for (const char* field : {"S", "W"}) {
        m->SetSortedField(field);
        for (bool desc : {false, true}) {
            m->SetSortOptions(desc ? TvxSortOptions{soDesc} : TvxSortOptions{});
            SCOPED_TRACE(std::string(field) + (desc ? " desc" : " asc"));
            // The first match in table order: "Ab" ascending, "Abd" descending.
            ASSERT_TRUE(m->Locate(field, Variant("Ab"), TLocateOptions{loPartialKey}));
            EXPECT_EQ(s->AsString(), desc ? "Abd" : "Ab");
            ASSERT_TRUE(m->Locate(field, Variant("Abc"), TLocateOptions{loPartialKey}));
            EXPECT_EQ(s->AsString(), "Abc");
            EXPECT_FALSE(m->Locate(field, Variant("Ac"), TLocateOptions{loPartialKey}));
            EXPECT_TRUE(m->Locate(field, Variant("X"), TLocateOptions{loPartialKey}));
            EXPECT_EQ(n->AsInteger(), 2);
            // Two key fields take the scan that starts at the search position.
            ASSERT_TRUE(m->Locate(std::string(field) + ";N", Variant::Array({Variant("Ab"), Variant(1)}),
                                  TLocateOptions{loPartialKey}));
            EXPECT_EQ(s->AsString(), "Abc");
        }
    }
}

TEST(MemTextFileFaults, AFailedLoadLeavesAnEmptySortedTable) {
    TestForm form;
    TvxMemData* m = form.Table();
    auto* n = form.Add<TIntegerField>(m, "N");
    m->SetSortedField("N");
    m->Open();
    const TempFolder folder("tovak-memdata");
    const std::string path = folder.File("failed");
    {
        std::ofstream out(path, std::ios::binary);
        out << "N\r\n3\r\n1\r\nzwei\r\n";
    }
    EXPECT_THROW(m->LoadFromTextFile(path), EConvertError);
    EXPECT_EQ(m->RecordCount(), 0);
    EXPECT_FALSE(m->Loading());
    ASSERT_EQ(m->SortField(), n);
    for (int v : {5, 2, 8}) {
        m->Append();
        n->SetAsInteger(v);
        m->Post();
    }
    EXPECT_EQ(Column(m, n), (std::vector<std::string>{"2", "5", "8"}));
}
