#include <gtest/gtest.h>

#include <random>

#include "memdata/vx_mem_data.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exception.h"
#include "tests/memdata/mem_test_util.h"

namespace {
struct TextTable {
    TestForm form;
    TvxMemData* m = form.Table();
    TIntegerField* n = form.Add<TIntegerField>(m, "N");
    TStringField* s = form.Add<TStringField>(m, "S", 10);

    TextTable() { m->Open(); }
    void Add(int num, const std::string& text) {
        m->Append();
        n->SetAsInteger(num);
        if (!text.empty()) s->SetAsString(text);
        m->Post();
    }
    // "value/RecId" per record in table order.
    std::vector<std::string> Order(TField* f) {
        std::vector<std::string> out;
        m->First();
        while (!m->Eof()) {
            out.push_back(f->AsString() + "/" + m->RecIdField()->AsString());
            m->Next();
        }
        return out;
    }
};
}  // namespace

TEST(MemSort, AscendingDescendingAndRecIdTieBreak) {
    TextTable t;
    t.Add(3, "c");
    t.Add(1, "a");
    t.Add(2, "b");
    t.Add(1, "d");
    t.m->SetSortedField("N");
    EXPECT_EQ(t.Order(t.n), (std::vector<std::string>{"1/2", "1/4", "2/3", "3/1"}));
    t.m->SetSortOptions(TvxSortOptions{soDesc});
    EXPECT_EQ(t.Order(t.n), (std::vector<std::string>{"3/1", "2/3", "1/4", "1/2"}));
    // A new record goes to its sorted place at once.
    t.Add(2, "e");
    EXPECT_EQ(t.Order(t.n), (std::vector<std::string>{"3/1", "2/5", "2/3", "1/4", "1/2"}));
}

TEST(MemSort, CaseInsensitiveAndEditedRecordsMove) {
    TextTable t;
    t.Add(1, "C");
    t.Add(2, "b");
    t.Add(3, "A");
    t.m->SetSortedField("S");
    EXPECT_EQ(t.Order(t.s), (std::vector<std::string>{"A/3", "C/1", "b/2"}));
    t.m->SetSortOptions(TvxSortOptions{soCaseInsensitive});
    EXPECT_EQ(t.Order(t.s), (std::vector<std::string>{"A/3", "b/2", "C/1"}));
    // Editing the sort value moves the record; its bookmark still finds it.
    t.m->First();
    TBookmark b = t.m->Bookmark();
    t.m->Edit();
    t.s->SetAsString("z");
    t.m->Post();
    EXPECT_EQ(t.s->AsString(), "z");
    EXPECT_EQ(t.m->RecNo(), 3);
    EXPECT_EQ(t.Order(t.s), (std::vector<std::string>{"b/2", "C/1", "z/3"}));
    t.m->GotoBookmark(b);
    EXPECT_EQ(t.s->AsString(), "z");
}

TEST(MemSort, PlacingTerminatesForValuesBetweenNeighbours) {
    TextTable t;
    t.m->SetSortedField("N");
    for (int v : {10, 20, 30, 40, 50, 60, 70, 80}) t.Add(v, "");
    // Values that fall strictly between two neighbours, at every depth of the search.
    for (int v : {15, 25, 35, 45, 55, 65, 75, 5, 85}) t.Add(v, "");
    std::vector<std::string> order = t.Order(t.n);
    std::vector<int> values;
    for (const auto& o : order) values.push_back(std::stoi(o));
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_EQ(values.size(), 17u);
    // Locate on the sort key uses the binary search too.
    EXPECT_TRUE(t.m->Locate("N", 45, {}));
    EXPECT_EQ(t.n->AsInteger(), 45);
    EXPECT_FALSE(t.m->Locate("N", 46, {}));
    EXPECT_FALSE(t.m->Locate("N", 1, {}));
    EXPECT_FALSE(t.m->Locate("N", 99, {}));
    EXPECT_EQ(t.m->GetRecNoByFieldValue(45, "N"), 9);
    EXPECT_EQ(t.m->GetRecNoByFieldValue(46, "N"), -1);
    EXPECT_EQ(t.m->GetRecNoByFieldValue(45, "Nix"), -1);
}

// Texts alike in their first eight bytes are told apart by the rest, duplicates are found
// from the first of them, and an empty key never finds an empty record.
TEST(MemSearch, SortedTextsSharingLongPrefixesSortAndLocateExactly) {
    TextTable t;
    t.Add(1, "Abcdefghiz");
    t.Add(2, "Abcdefghia");
    t.Add(3, "");
    t.Add(4, "Abcdefghia");
    t.Add(5, "Abcdefgh");
    for (bool desc : {false, true}) {
        SCOPED_TRACE(desc);
        t.m->SetSortOptions(desc ? TvxSortOptions{soDesc} : TvxSortOptions{});
        t.m->SetSortedField("S");
        std::vector<std::string> ascending{"/3", "Abcdefgh/5", "Abcdefghia/2", "Abcdefghia/4", "Abcdefghiz/1"};
        std::vector<std::string> expected = ascending;
        if (desc) expected = {"Abcdefghiz/1", "Abcdefghia/4", "Abcdefghia/2", "Abcdefgh/5", "/3"};
        EXPECT_EQ(t.Order(t.s), expected);
        ASSERT_TRUE(t.m->Locate("S", "Abcdefghia", {}));
        EXPECT_EQ(t.n->AsInteger(), desc ? 4 : 2);
        ASSERT_TRUE(t.m->Locate("S", "Abcdefgh", {}));
        EXPECT_EQ(t.n->AsInteger(), 5);
        EXPECT_FALSE(t.m->Locate("S", "Abcdefghi", {}));
        EXPECT_FALSE(t.m->Locate("S", "Abcdefghzz", {}));
        EXPECT_FALSE(t.m->Locate("S", "", {}));
        t.m->SetSortedField("");
    }
}

// Many texts alike in their first eight bytes (and bytes above 0x7F, and duplicates): the
// sorted locate must land on the same record as a walk from the top, both ways round;
// numbers searched in an unsorted field likewise.
TEST(MemSearch, SortedAndScannedLocateAgreeWithAWalkFromTheTop) {
    TextTable t;
    std::mt19937 rng(7);
    const std::vector<std::string> stems{"", "A", "Abcdefgh", "Abcdefgh\xFF", "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", "zz"};
    std::vector<std::string> texts;
    for (int i = 0; i < 300; ++i) {
        std::string text = stems[rng() % stems.size()];
        text += std::string(rng() % 3, static_cast<char>('a' + rng() % 3));
        texts.push_back(Cp1252ToUtf8(text.substr(0, 10)));
        t.Add(static_cast<int>(rng() % 50), texts.back());
    }
    texts.push_back(Cp1252ToUtf8("Abcdefgh\xFFz"));  // absent
    texts.push_back("B");
    auto walk = [&](TField* f, const Variant& v) {
        t.m->First();
        for (int rec = 1; !t.m->Eof(); ++rec, t.m->Next())
            if (!f->IsNull() && f->Value() == v) return rec;
        return -1;
    };
    for (bool desc : {false, true}) {
        SCOPED_TRACE(desc);
        t.m->SetSortOptions(desc ? TvxSortOptions{soDesc} : TvxSortOptions{});
        t.m->SetSortedField("S");
        for (size_t i = 0; i < texts.size(); ++i) {
            const std::string& text = texts[i];
            if (text.empty()) continue;
            if (i % 3 == 0) t.m->Store().Touch();  // a search right after a change
            int expected = walk(t.s, Variant(text));
            bool found = t.m->Locate("S", Variant(text), {});
            EXPECT_EQ(found ? t.m->RecNo() : -1, expected) << text;
        }
        for (int n = -1; n <= 50; ++n) {
            int expected = walk(t.n, Variant(n));
            bool found = t.m->Locate("N", n, {});
            EXPECT_EQ(found ? t.m->RecNo() : -1, expected) << n;
        }
        t.m->SetSortedField("");
    }
}

TEST(MemSearch, LocatePartialCaseInsensitiveAndErrors) {
    TextTable t;
    t.Add(1, "Abc");
    t.Add(2, "abd");
    t.Add(3, "");
    t.Add(4, "Xyz");
    for (bool sorted : {false, true}) {
        SCOPED_TRACE(sorted);
        if (sorted) t.m->SetSortedField("S");
        EXPECT_FALSE(t.m->Locate("S", "Ab", {}));
        EXPECT_TRUE(t.m->Locate("S", "Ab", {loPartialKey}));
        EXPECT_EQ(t.n->AsInteger(), 1);
        EXPECT_FALSE(t.m->Locate("S", "ABD", {}));
        EXPECT_TRUE(t.m->Locate("S", "ABD", {loCaseInsensitive}));
        EXPECT_EQ(t.n->AsInteger(), 2);
        EXPECT_TRUE(t.m->Locate("S", Variant::Null(), {}));
        EXPECT_EQ(t.n->AsInteger(), 3);
        EXPECT_TRUE(t.m->Locate("N;S", VarArrayOf({4, "Xyz"}), {}));
        EXPECT_EQ(t.n->AsInteger(), 4);
        EXPECT_FALSE(t.m->Locate("N;S", VarArrayOf({1, "Xyz"}), {}));
        EXPECT_FALSE(t.m->Locate("N", VarArrayOf({1}), {}));
    }
    // After a change the sorted search sees the new text.
    ASSERT_TRUE(t.m->Locate("S", "Xyz", {}));
    t.m->Edit();
    t.s->SetAsString("Abcdefghij");
    t.m->Post();
    EXPECT_FALSE(t.m->Locate("S", "Xyz", {}));
    EXPECT_TRUE(t.m->Locate("S", "Abcdefghij", {}));
    EXPECT_EQ(t.n->AsInteger(), 4);
    EXPECT_TRUE(t.m->Locate("S", "Abc", {}));
    EXPECT_EQ(t.n->AsInteger(), 1);
    try {
        t.m->Locate("N;Nix", VarArrayOf({1, 2}), {});
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Das Feld 'N;Nix' wurde nicht gefunden");
    }
}

TEST(MemSearch, LookupAnswersTheValueOrNull) {
    TextTable t;
    t.Add(1, "eins");
    t.Add(2, "zwei");
    t.m->First();
    EXPECT_EQ(t.m->Lookup("N", 2, "S").AsString(), "zwei");
    EXPECT_EQ(t.n->AsInteger(), 1);  // the cursor stays
    EXPECT_TRUE(VarIsNull(t.m->Lookup("N", 3, "S")));
    EXPECT_TRUE(VarIsNull(t.m->Lookup("N", 1, "Nix")));
    EXPECT_EQ(t.m->Lookup("S", "zwei", "RecId").AsInteger(), 2);
}

TEST(MemSearch, IndexesFindRecordsAndGoStaleOnDelete) {
    TextTable t;
    TvxMemIndex* idx = t.m->Indexes().Add();
    idx->SetFieldName("n");
    EXPECT_EQ(idx->FieldName(), "N");
    for (int v : {5, 3, 9, 1}) t.Add(v, "");
    EXPECT_TRUE(t.m->Locate("N", 9, {}));
    EXPECT_EQ(t.m->RecNo(), 3);
    t.m->First();
    t.m->Delete();  // record numbers behind it move
    EXPECT_TRUE(idx->IsDirty());
    EXPECT_TRUE(t.m->Locate("N", 9, {}));
    EXPECT_EQ(t.n->AsInteger(), 9);
    EXPECT_EQ(t.m->RecNo(), 2);
    EXPECT_TRUE(t.m->Locate("N", 1, {}));
    EXPECT_EQ(t.m->RecNo(), 3);
}

TEST(MemFilter, OnFilterRecordKeepsPassingRecords) {
    TextTable t;
    for (int v = 1; v <= 6; ++v) t.Add(v, "");
    t.m->SetOnFilterRecord([&](TDataSet*, bool& accept) { accept = t.n->AsInteger() % 2 == 0; });
    t.m->SetFiltered(true);
    EXPECT_EQ(t.m->RecordCount(), 3);
    EXPECT_EQ(t.Order(t.n), (std::vector<std::string>{"2/2", "4/4", "6/6"}));
    EXPECT_EQ(t.m->FilterList(), (std::vector<int>{2, 4, 6}));
    // Numbers are 1-based positions among the passing records.
    t.m->SetRecNo(2);
    EXPECT_EQ(t.n->AsInteger(), 4);
    t.m->SetRecNo(5);  // beyond the filtered count: nothing moves
    EXPECT_EQ(t.n->AsInteger(), 4);
    // Deleting removes the right record and renumbers the rest.
    t.m->Delete();
    EXPECT_EQ(t.n->AsInteger(), 6);
    EXPECT_EQ(t.m->FilterList(), (std::vector<int>{2, 5}));
    t.m->Last();
    t.m->Insert();
    t.n->SetAsInteger(8);
    t.m->Post();
    EXPECT_EQ(t.m->FilterList(), (std::vector<int>{2, 5, 6}));
    EXPECT_EQ(t.Order(t.n), (std::vector<std::string>{"2/2", "8/7", "6/6"}));
    t.m->Append();
    t.n->SetAsInteger(9);  // refused
    t.m->Post();
    EXPECT_EQ(t.m->RecordCount(), 3);
    EXPECT_TRUE(std::is_sorted(t.m->FilterList().begin(), t.m->FilterList().end()));
    t.m->SetFiltered(false);
    EXPECT_EQ(t.m->RecordCount(), 7);
    t.m->SetOnFilterRecord([](TDataSet*, bool& accept) { accept = false; });
    t.m->SetFiltered(true);
    EXPECT_EQ(t.m->RecordCount(), 0);
    EXPECT_TRUE(t.m->IsEmpty());
}
