#include <gtest/gtest.h>

#include <algorithm>

#include "memdata/vx_mem_data.h"
#include "platform/rtl/exception.h"
#include "tests/memdata/mem_test_util.h"

namespace {
struct NumTable {
    TestForm form;
    TvxMemData* m = form.Table();
    TIntegerField* v = form.Add<TIntegerField>(m, "V");

    void AppendValues(int from, int to) {
        for (int i = from; i <= to; ++i) {
            m->Append();
            v->SetAsInteger(i);
            m->Post();
        }
    }
    std::vector<int> Values() {
        std::vector<int> out;
        TBookmark here = m->Bookmark();
        m->First();
        while (!m->Eof()) {
            out.push_back(v->AsInteger());
            m->Next();
        }
        if (!here.empty()) m->GotoBookmark(here);
        return out;
    }
};

std::string Msg(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "(no error)";
}
}  // namespace

TEST(MemDataSet, StateErrorTexts) {
    NumTable t;
    t.m->Open();
    EXPECT_EQ(Msg([&] { t.v->SetAsInteger(1); }), "Datenmenge weder im Editier- noch im Einfügemodus");
    EXPECT_EQ(Msg([&] { t.m->Post(); }), "Datenmenge weder im Editier- noch im Einfügemodus");
    EXPECT_EQ(Msg([&] { t.m->Delete(); }), "Operation bei leerer Datenmenge nicht ausführbar");
    EXPECT_EQ(Msg([&] { t.m->FieldByName("Nix"); }), "Das Feld 'Nix' wurde nicht gefunden");
    t.m->Close();
    EXPECT_EQ(Msg([&] { t.m->Append(); }), "Operation bei geschlossener Datenmenge nicht ausführbar");
    t.m->SetReadOnly(true);
    t.m->Open();
    EXPECT_EQ(Msg([&] { t.m->Append(); }), "Schreibgeschützte Datenmenge kann nicht geändert werden");
    EXPECT_EQ(Msg([&] { t.m->Edit(); }), "Schreibgeschützte Datenmenge kann nicht geändert werden");
}

TEST(MemDataSet, EventOrderOfTheEditCycle) {
    NumTable t;
    std::vector<std::string> log;
    auto rec = [&](const char* name) { return [&log, name](TDataSet*) { log.push_back(name); }; };
    TvxMemData* m = t.m;
    m->BeforeOpen = rec("BeforeOpen");
    m->AfterOpen = rec("AfterOpen");
    m->BeforeClose = rec("BeforeClose");
    m->AfterClose = rec("AfterClose");
    m->BeforeInsert = rec("BeforeInsert");
    m->AfterInsert = rec("AfterInsert");
    m->OnNewRecord = rec("OnNewRecord");
    m->BeforeEdit = rec("BeforeEdit");
    m->AfterEdit = rec("AfterEdit");
    m->BeforePost = rec("BeforePost");
    m->AfterPost = rec("AfterPost");
    m->BeforeCancel = rec("BeforeCancel");
    m->AfterCancel = rec("AfterCancel");
    m->BeforeDelete = rec("BeforeDelete");
    m->AfterDelete = rec("AfterDelete");
    m->BeforeScroll = rec("BeforeScroll");
    m->AfterScroll = rec("AfterScroll");
    m->Open();
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeOpen", "AfterOpen"}));
    log.clear();
    m->Append();
    EXPECT_EQ(log,
              (std::vector<std::string>{"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll"}));
    log.clear();
    t.v->SetAsInteger(1);
    m->Post();
    EXPECT_EQ(log, (std::vector<std::string>{"BeforePost", "AfterPost"}));
    log.clear();
    m->Edit();
    t.v->SetAsInteger(2);
    m->Cancel();
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeEdit", "AfterEdit", "BeforeCancel", "AfterCancel"}));
    EXPECT_EQ(t.v->AsInteger(), 1);
    log.clear();
    m->Delete();
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"}));
    log.clear();
    m->Close();
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeClose", "AfterClose"}));
}

class AppendLanding : public ::testing::TestWithParam<int> {};

TEST_P(AppendLanding, AppendedRecordsGoLastInsertedBeforeTheCurrent) {
    NumTable t;
    TDataSource src(t.form.owner.get());
    RecordingLink link;
    link.SetBufferCount(GetParam());
    src.SetDataSet(t.m);
    link.SetDataSource(&src);
    t.m->Open();
    EXPECT_TRUE(link.Active());
    t.AppendValues(1, 15);
    EXPECT_EQ(t.m->BufferCount(), GetParam());
    EXPECT_EQ(t.m->RecNo(), 15);
    EXPECT_EQ(t.v->AsInteger(), 15);
    t.m->First();
    t.m->MoveBy(5);
    EXPECT_EQ(t.v->AsInteger(), 6);
    t.m->Insert();
    t.v->SetAsInteger(100);
    t.m->Post();
    EXPECT_EQ(t.v->AsInteger(), 100);
    EXPECT_EQ(t.m->RecNo(), 6);
    t.m->Last();
    t.m->Insert();
    t.v->SetAsInteger(200);
    t.m->Post();
    std::vector<int> expected{1, 2, 3, 4, 5, 100, 6, 7, 8, 9, 10, 11, 12, 13, 14, 200, 15};
    EXPECT_EQ(t.Values(), expected);
    // The link's window always holds the active row.
    EXPECT_GE(link.ActiveRecord(), 0);
    EXPECT_LT(link.ActiveRecord(), GetParam());
    EXPECT_EQ(link.RecordCount(), std::min(GetParam(), 17));
    // Into an empty table, Insert and Append both make the first record.
    t.m->Close();
    t.m->Open();
    t.m->Insert();
    t.v->SetAsInteger(7);
    t.m->Post();
    EXPECT_EQ(t.Values(), std::vector<int>{7});
}

INSTANTIATE_TEST_SUITE_P(BufferCounts, AppendLanding, ::testing::Values(1, 10));

TEST(MemDataSet, LinkWindowFollowsScrolling) {
    NumTable t;
    TDataSource src(t.form.owner.get());
    RecordingLink link;
    link.SetBufferCount(4);
    src.SetDataSet(t.m);
    link.SetDataSource(&src);
    t.m->Open();
    t.AppendValues(1, 10);
    t.m->First();
    EXPECT_EQ(link.ActiveRecord(), 0);
    EXPECT_EQ(link.RecordCount(), 4);
    link.scrolled = 0;
    t.m->MoveBy(3);
    EXPECT_EQ(link.ActiveRecord(), 3);
    EXPECT_EQ(link.scrolled, 0);
    t.m->Next();
    EXPECT_EQ(link.ActiveRecord(), 3);
    EXPECT_EQ(link.scrolled, 1);
    EXPECT_EQ(t.v->AsInteger(), 5);
    t.m->Prior();
    t.m->Prior();
    t.m->Prior();
    t.m->Prior();
    EXPECT_EQ(t.v->AsInteger(), 1);
    EXPECT_EQ(link.ActiveRecord(), 0);
    EXPECT_FALSE(t.m->Bof());
    EXPECT_EQ(t.m->MoveBy(-1), 0);
    EXPECT_TRUE(t.m->Bof());
    EXPECT_EQ(t.v->AsInteger(), 1);
    // Drawing rows moves the active row without events.
    link.SetActiveRecord(2);
    EXPECT_EQ(t.v->AsInteger(), 3);
    link.SetActiveRecord(0);
    // DisableControls holds events back; the last EnableControls sends one change.
    link.log.clear();
    t.m->DisableControls();
    t.m->Next();
    t.m->Next();
    EXPECT_TRUE(link.log.empty());
    t.m->EnableControls();
    EXPECT_EQ(link.log, std::vector<std::string>{"DataSetChanged"});
}

TEST(MemDataSet, BookmarksAndTheirErrors) {
    NumTable t;
    t.m->Open();
    t.AppendValues(1, 3);
    EXPECT_EQ(t.m->RecNo(), 3);
    t.m->First();
    EXPECT_EQ(t.m->RecNo(), 1);
    t.m->Next();
    TBookmark b = t.m->GetBookmark();
    ASSERT_EQ(b.size(), 4u);
    EXPECT_TRUE(t.m->BookmarkValid(b));
    t.m->Last();
    t.m->GotoBookmark(b);
    EXPECT_EQ(t.v->AsInteger(), 2);
    t.m->SetSortOptions(TvxSortOptions{soDesc});
    t.m->SetSortedField("V");
    EXPECT_EQ(t.Values(), (std::vector<int>{3, 2, 1}));
    t.m->GotoBookmark(b);
    EXPECT_EQ(t.v->AsInteger(), 2);
    EXPECT_EQ(t.m->RecNo(), 2);
    t.m->Delete();
    EXPECT_FALSE(t.m->BookmarkValid(b));
    EXPECT_EQ(Msg([&] { t.m->GotoBookmark(b); }), "Bookmark not found");
    t.m->FreeBookmark(b);
    EXPECT_TRUE(b.empty());
}

// Records 1..20 with 101..103 inserted amid them (their ids out of the records' order),
// then re-sorted, filtered to the even values, or both; every bookmark, whether it finds a
// record or not.
struct TableWithBookmarks : NumTable {
    std::vector<TBookmark> bookmarks;
    explicit TableWithBookmarks(int Variant) {
        m->Open();
        AppendValues(1, 20);
        for (int at : {3, 9, 15}) {
            m->SetRecNo(at);
            m->Insert();
            v->SetAsInteger(100 + at / 6 + 1);
            m->Post();
        }
        if (Variant & 1) {
            m->SetSortOptions(TvxSortOptions{soDesc});
            m->SetSortedField("V");
        }
        for (m->First(); !m->Eof(); m->Next()) bookmarks.push_back(m->Bookmark());
        if (Variant & 2) {
            m->SetFiltered(true);
            m->SetOnFilterRecord([this](TDataSet*, bool& Accept) { Accept = v->AsInteger() % 2 == 0; });
        }
    }
    // What each bookmark finds now (0: nothing).
    std::vector<int> Found() {
        std::vector<int> found;
        for (const TBookmark& b : bookmarks) {
            if (!m->BookmarkValid(b)) {
                found.push_back(0);
                continue;
            }
            m->GotoBookmark(b);
            found.push_back(v->AsInteger());
        }
        return found;
    }
};

// The same call ends on the same record whether the table takes the records out in one pass,
// or one by one because a handler watches, and the list of records need not be in order.
TEST(MemDataSet, ManyRecordsDeletedTogetherEndAsDeletedOneByOne) {
    enum { kInOrder, kReversed, kMiddleLast };
    for (int variant = 0; variant < 4; ++variant)
        for (int order : {kInOrder, kReversed, kMiddleLast}) {
            SCOPED_TRACE(testing::Message() << "variant " << variant << ", order " << order);
            TableWithBookmarks together(variant), watched(variant), alone(variant);
            watched.m->AfterScroll = [](TDataSet*) {};
            // Every third bookmark but near the end, one twice, and one of a record deleted before.
            std::vector<TBookmark> going;
            for (size_t i = 1; i + 3 < together.bookmarks.size(); i += 3) going.push_back(together.bookmarks[i]);
            if (order == kReversed) std::reverse(going.begin(), going.end());
            if (order == kMiddleLast) std::rotate(going.begin(), going.begin() + going.size() / 2 + 1, going.end());
            going.push_back(going.front());
            for (TableWithBookmarks* t : {&together, &watched, &alone}) {
                t->m->GotoBookmark(t->bookmarks[0]);
                t->m->Delete();
            }
            going.push_back(together.bookmarks[0]);
            together.m->SetChanged(false);

            const int deleted = together.m->DeleteRecords(going);
            EXPECT_EQ(deleted, alone.m->TDataSet::DeleteRecords(going));
            EXPECT_EQ(deleted, watched.m->DeleteRecords(going));
            EXPECT_GT(deleted, 0);
            EXPECT_TRUE(together.m->Changed());
            for (TableWithBookmarks* t : {&together, &watched}) {
                EXPECT_EQ(t->v->AsInteger(), alone.v->AsInteger());
                EXPECT_EQ(t->m->RecNo(), alone.m->RecNo());
                EXPECT_EQ(t->m->Bof(), alone.m->Bof());
                EXPECT_EQ(t->m->Eof(), alone.m->Eof());
            }
            EXPECT_EQ(together.m->RecordCount(), alone.m->RecordCount());
            EXPECT_EQ(together.Values(), alone.Values());
            EXPECT_EQ(together.Found(), alone.Found());
            if (order != kInOrder) continue;
            // The table goes on as before: a record inserted finds its place and its bookmark.
            together.m->SetRecNo(2);
            together.m->Insert();
            together.v->SetAsInteger(50);
            together.m->Post();
            const TBookmark inserted = together.m->Bookmark();
            together.m->First();
            together.m->GotoBookmark(inserted);
            EXPECT_EQ(together.v->AsInteger(), 50);
            // Deleting all that is left empties it.
            std::vector<TBookmark> rest;
            for (together.m->First(); !together.m->Eof(); together.m->Next()) rest.push_back(together.m->Bookmark());
            EXPECT_EQ(together.m->DeleteRecords(rest), static_cast<int>(rest.size()));
            EXPECT_TRUE(together.m->IsEmpty());
            EXPECT_EQ(together.m->DeleteRecords(together.bookmarks), 0);
        }
}

// A handler of the one-by-one deletion sees each record current, as when deleted one by one.
TEST(MemDataSet, DeleteHandlersSeeEveryRecordOfAGroupDeleted) {
    NumTable t;
    t.m->Open();
    t.AppendValues(1, 5);
    std::vector<TBookmark> going;
    for (int at : {2, 4}) {
        t.m->SetRecNo(at);
        going.push_back(t.m->Bookmark());
    }
    std::vector<int> seen;
    t.m->BeforeDelete = [&](TDataSet*) { seen.push_back(t.v->AsInteger()); };
    EXPECT_EQ(t.m->DeleteRecords(going), 2);
    EXPECT_EQ(seen, (std::vector<int>{2, 4}));
    EXPECT_EQ(t.Values(), (std::vector<int>{1, 3, 5}));
}

TEST(MemDataSet, DeletingTheLastRecordMovesToTheNewLast) {
    NumTable t;
    t.m->Open();
    EXPECT_EQ(t.m->RecNo(), 0);
    t.AppendValues(1, 3);
    t.m->Last();
    t.m->Delete();
    EXPECT_EQ(t.v->AsInteger(), 2);
    EXPECT_EQ(t.m->RecNo(), 2);
    EXPECT_EQ(t.m->RecordCount(), 2);
    t.m->SetRecNo(1);
    EXPECT_EQ(t.v->AsInteger(), 1);
    t.m->Close();
    t.m->Open();
    EXPECT_EQ(t.m->RecordCount(), 0);
    EXPECT_TRUE(t.m->IsEmpty());
}

TEST(MemDataSet, ReadOnlyTableIsStillFilledByItsLoader) {
    NumTable t;
    t.m->SetReadOnly(true);
    t.m->Open();
    TStringStream s;
    int32_t count = 1;
    s.WriteBuffer(&count, 4);
    int32_t size = 4;
    int16_t type = 3, len = 1;
    s.WriteBuffer(&size, 4);
    s.WriteBuffer(&type, 2);
    s.WriteBuffer(&len, 2);
    s.WriteBuffer("V", 1);
    int32_t value = 42;
    s.WriteBuffer(&value, 4);
    s.SetPosition(0);
    t.m->LoadFromStream(&s);
    EXPECT_EQ(t.m->RecordCount(), 1);
    EXPECT_EQ(t.v->AsInteger(), 42);
}

TEST(MemDataSet, CalculatedFieldsAreStoredByRefresh) {
    NumTable t;
    auto* twice = t.form.Add<TIntegerField>(t.m, "Twice");
    twice->SetFieldKind(fkCalculated);
    t.m->OnCalcFields = [&](TDataSet*) { twice->SetAsInteger(t.v->AsInteger() * 2); };
    t.m->Open();
    t.AppendValues(1, 3);
    t.m->Refresh();
    t.m->First();
    EXPECT_EQ(twice->AsInteger(), 2);
    t.m->Last();
    EXPECT_EQ(twice->AsInteger(), 6);
}

// A lookup field shows the text for its key as soon as the key is set, keeps it through
// the post and follows an edit of the key; a refresh looks every record up again.
TEST(MemDataSet, LookupFieldTakesItsValueFromTheOtherTable) {
    TestForm form;
    TvxMemData* names = form.Table("Names");
    auto* key = form.Add<TIntegerField>(names, "Key");
    auto* text = form.Add<TStringField>(names, "Text", 10);
    names->Open();
    for (int i = 1; i <= 2; ++i) {
        names->Append();
        key->SetAsInteger(i);
        text->SetAsString(i == 1 ? "eins" : "zwei");
        names->Post();
    }
    TvxMemData* m = form.Table("Main");
    auto* ref = form.Add<TIntegerField>(m, "Ref");
    auto* look = form.Add<TStringField>(m, "Name", 10);
    look->SetFieldKind(fkLookup);
    look->SetLookupDataSet(names);
    look->SetKeyFields("Ref");
    look->SetLookupKeyFields("Key");
    look->SetLookupResultField("Text");
    m->Open();
    m->Append();
    ref->SetAsInteger(2);
    EXPECT_EQ(look->AsString(), "zwei");
    m->Post();
    EXPECT_EQ(look->AsString(), "zwei");
    m->Append();
    ref->SetAsInteger(1);
    m->Post();
    m->First();
    EXPECT_EQ(look->AsString(), "zwei");
    m->Next();
    EXPECT_EQ(look->AsString(), "eins");

    m->Edit();
    ref->SetAsInteger(2);
    EXPECT_EQ(look->AsString(), "zwei");
    m->Cancel();
    EXPECT_EQ(look->AsString(), "eins");
    m->Edit();
    ref->SetAsInteger(3);  // no such key
    EXPECT_EQ(look->AsString(), "");
    m->Post();
    m->First();
    m->Last();
    EXPECT_EQ(look->AsString(), "");

    names->Append();
    key->SetAsInteger(3);
    text->SetAsString("drei");
    names->Post();
    m->Refresh();
    EXPECT_EQ(look->AsString(), "drei");
}
