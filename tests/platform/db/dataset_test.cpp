#include <gtest/gtest.h>

#include "platform/rtl/exception.h"
#include "tests/platform/db/array_dataset.h"

namespace {
class LogLink : public TDataLink {
public:
    std::vector<std::string> log;

protected:
    void ActiveChanged() override { log.push_back("active"); }
    void DataSetChanged() override { log.push_back("change"); }
    void DataSetScrolled(int n) override { log.push_back("scroll " + std::to_string(n)); }
    void RecordChanged(TField* f) override { log.push_back(f ? "field " + f->FieldName() : "record"); }
    void EditingChanged() override { log.push_back(Editing() ? "editing" : "not editing"); }
    void UpdateData() override { log.push_back("update"); }
};

struct Fixture {
    TComponent owner{nullptr};
    TArrayDataSet* ds = new TArrayDataSet(&owner);
    TDataSource* src = new TDataSource(&owner);
    LogLink link;
    explicit Fixture(int bufferCount, int rows = 10) {
        ds->Fill(rows);
        src->SetDataSet(ds);
        link.SetBufferCount(bufferCount);
        link.SetDataSource(src);
    }
    int Value() { return ds->Fields()[0]->AsInteger(); }
};
}  // namespace

TEST(DataSetRing, DefaultFieldsComeAndGoWithOpenAndClose) {
    Fixture f(1);
    EXPECT_EQ(f.ds->FieldCount(), 0);
    f.ds->Open();
    ASSERT_EQ(f.ds->FieldCount(), 1);
    EXPECT_EQ(f.ds->Fields()[0]->ClassName(), "TIntegerField");
    EXPECT_EQ(f.ds->Fields()[0]->FieldNo(), 1);
    EXPECT_TRUE(f.ds->Bof());
    EXPECT_FALSE(f.ds->Eof());
    EXPECT_EQ(f.Value(), 1);
    f.ds->Close();
    EXPECT_EQ(f.ds->FieldCount(), 0);
}

TEST(DataSetRing, LinkWindowArithmetic) {
    Fixture f(3);
    f.ds->Open();
    EXPECT_EQ(f.ds->BufferCount(), 3);
    EXPECT_EQ(f.link.RecordCount(), 3);
    f.link.log.clear();
    EXPECT_EQ(f.ds->MoveBy(2), 2);  // inside the ring: no shift
    EXPECT_EQ(f.link.log, std::vector<std::string>{"scroll 0"});
    EXPECT_EQ(f.link.ActiveRecord(), 2);
    f.link.log.clear();
    f.ds->Next();  // the ring shifts by one; the window moves one row toward the end
    EXPECT_EQ(f.link.log, std::vector<std::string>{"scroll 1"});
    EXPECT_EQ(f.Value(), 4);
    EXPECT_EQ(f.link.ActiveRecord(), 2);
    f.ds->Last();
    EXPECT_TRUE(f.ds->Eof());
    EXPECT_EQ(f.Value(), 10);
    EXPECT_EQ(f.link.ActiveRecord(), 2);
    EXPECT_EQ(f.ds->MoveBy(-20), -9);
    EXPECT_TRUE(f.ds->Bof());
    EXPECT_EQ(f.link.ActiveRecord(), 0);
    // A second link with a larger window grows the ring; the first keeps its window.
    LogLink wide;
    wide.SetBufferCount(6);
    wide.SetDataSource(f.src);
    EXPECT_EQ(f.ds->BufferCount(), 6);
    EXPECT_EQ(wide.RecordCount(), 6);
    EXPECT_EQ(f.link.ActiveRecord(), 0);
    f.ds->MoveBy(4);
    EXPECT_EQ(wide.ActiveRecord(), 4);
    EXPECT_EQ(f.link.ActiveRecord(), 2);  // its window of 3 ends at the active row
    EXPECT_EQ(f.link.FirstRecord(), 2);
    wide.SetDataSource(nullptr);
    EXPECT_EQ(f.ds->BufferCount(), 3);
    EXPECT_EQ(f.Value(), 5);
    EXPECT_LE(f.link.ActiveRecord(), 2);
}

TEST(DataSetRing, BookmarkResyncCentresTheRow) {
    Fixture f(5);
    f.ds->Open();
    f.ds->MoveBy(6);
    TBookmark b = f.ds->Bookmark();
    f.ds->First();
    f.ds->GotoBookmark(b);
    EXPECT_EQ(f.Value(), 7);
    EXPECT_EQ(f.ds->ActiveRecord(), 2);  // (5 - 1) div 2 rows above it
    f.ds->values.clear();
    f.ds->ids.clear();
    EXPECT_THROW(f.ds->GotoBookmark(b), EDatabaseError);
}

TEST(DataSetEdit, SourceAndLinkFollowTheEditCycle) {
    Fixture f(2, 2);
    std::vector<std::string> src;
    f.src->OnStateChange = [&](TObject*) { src.push_back("state " + std::to_string(f.src->State())); };
    f.src->OnDataChange = [&](TObject*, TField* fld) { src.push_back(fld ? "data field" : "data"); };
    f.ds->Open();
    EXPECT_EQ(src, (std::vector<std::string>{"state 1", "data"}));
    src.clear();
    f.link.log.clear();
    EXPECT_TRUE(f.link.Edit());  // AutoEdit puts the dataset into edit mode
    EXPECT_EQ(f.ds->State(), dsEdit);
    f.ds->Fields()[0]->SetAsInteger(42);
    EXPECT_TRUE(f.ds->Modified());
    f.ds->Post();
    EXPECT_EQ(f.link.log,
              (std::vector<std::string>{"editing", "record", "field V", "update", "not editing", "change"}));
    EXPECT_EQ(f.Value(), 42);
    // Post without changes in CheckBrowseMode becomes Cancel; Insert lands before the row.
    f.ds->Next();
    f.ds->Insert();
    f.ds->Fields()[0]->SetAsInteger(7);
    f.ds->Post();
    EXPECT_EQ(f.ds->values, (std::vector<int>{42, 7, 2}));
    f.ds->Append();
    f.ds->Fields()[0]->SetAsInteger(8);
    f.ds->CheckBrowseMode();
    EXPECT_EQ(f.ds->values, (std::vector<int>{42, 7, 2, 8}));
    f.ds->Edit();
    f.ds->CheckBrowseMode();
    EXPECT_EQ(f.ds->State(), dsBrowse);
    // An OnPostError handler may abort quietly.
    f.ds->Edit();
    f.ds->Fields()[0]->OnValidate = [](TField*) { throw EDatabaseError("bad value"); };
    EXPECT_THROW(f.ds->Fields()[0]->SetAsInteger(1), EDatabaseError);
    EXPECT_EQ(f.Value(), 8);
    f.ds->Cancel();
    // The validator sees the pending value.
    int seen = 0;
    f.ds->Fields()[0]->OnValidate = [&](TField* fld) { seen = fld->AsInteger(); };
    f.ds->Edit();
    f.ds->Fields()[0]->SetAsInteger(99);
    EXPECT_EQ(seen, 99);
    f.ds->Cancel();
}

TEST(DataSetEdit, DisableControlsRemembersALayoutChange) {
    Fixture f(1);
    f.ds->Open();
    f.link.log.clear();
    f.ds->DisableControls();
    f.ds->DisableControls();
    f.ds->Fields()[0]->SetVisible(false);
    f.ds->Next();
    f.ds->EnableControls();
    EXPECT_TRUE(f.link.log.empty());
    f.ds->EnableControls();
    EXPECT_EQ(f.link.log, std::vector<std::string>{"change"});  // LayoutChanged calls DataSetChanged
}

TEST(DataSetLifetime, SourceAndLinkOutliveTheDataSet) {
    LogLink link;
    {
        TComponent owner(nullptr);
        auto* src = new TDataSource(&owner);  // freed after the dataset (last in, first out)
        auto* ds = new TArrayDataSet(&owner);
        ds->Fill(3);
        src->SetDataSet(ds);
        link.SetDataSource(src);
        ds->Open();
        EXPECT_TRUE(link.Active());
        delete ds;
        EXPECT_EQ(src->DataSet(), nullptr);
        EXPECT_FALSE(link.Active());
    }
    EXPECT_EQ(link.DataSource(), nullptr);
}
