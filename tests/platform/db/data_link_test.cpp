// The data link's window over the dataset's ring as a grid uses it: rows drawn by moving the
// link's active record, the window kept around the current row whatever the buffer counts
// do, and the events that DisableControls holds back.

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <stdexcept>

#include "tests/platform/db/row_dataset.h"

namespace {
class GridLink : public TDataLink {
public:
    std::vector<std::string> log;
    int scrolled = 0;

    // The values of the rows in the window, top to bottom, read the way a grid draws them.
    std::vector<int> Rows(TField* f) {
        std::vector<int> out;
        int keep = ActiveRecord();
        for (int i = 0; i < RecordCount(); ++i) {
            SetActiveRecord(i);
            out.push_back(f->AsInteger());
        }
        SetActiveRecord(keep);
        return out;
    }

protected:
    void ActiveChanged() override { log.push_back(Active() ? "active" : "inactive"); }
    void DataSetChanged() override { log.push_back("change"); }
    void DataSetScrolled(int n) override {
        scrolled += n;
        log.push_back("scroll " + std::to_string(n));
    }
    void RecordChanged(TField*) override { log.push_back("record"); }
    void EditingChanged() override { log.push_back(Editing() ? "editing" : "not editing"); }
    void LayoutChanged() override { log.push_back("layout"); }
};

struct Rows {
    TComponent owner{nullptr};
    TRowDataSet* ds = new TRowDataSet(&owner);
    TIntegerField* v = ds->Add<TIntegerField>("V");
    TDataSource* src = new TDataSource(&owner);
    explicit Rows(int n) {
        ds->Open();
        for (int i = 1; i <= n; ++i) ds->AddRow({Variant(i)});
        ds->First();
        src->SetDataSet(ds);
    }
};

// What a grid relies on after any change: the active row lies inside the window, the window
// holds consecutive rows, and the link's active row is the dataset's current row.
void ExpectWindowAround(Rows& r, GridLink& link) {
    ASSERT_GE(link.ActiveRecord(), 0);
    ASSERT_LT(link.ActiveRecord(), link.BufferCount());
    ASSERT_GE(link.FirstRecord(), 0);
    int expected = std::min(r.ds->BufferedRecordCount() - link.FirstRecord(), link.BufferCount());
    ASSERT_EQ(link.RecordCount(), expected);
    std::vector<int> rows = link.Rows(r.v);
    ASSERT_LT(link.ActiveRecord(), static_cast<int>(rows.size()));
    EXPECT_EQ(rows[link.ActiveRecord()], r.v->AsInteger());
    for (size_t i = 1; i < rows.size(); ++i) ASSERT_EQ(rows[i], rows[i - 1] + 1);
}
}  // namespace

TEST(DataLinkRange, ShrinkingAndGrowingKeepTheCurrentRowInTheWindow) {
    Rows r(20);
    GridLink link;
    link.SetBufferCount(5);
    link.SetDataSource(r.src);
    r.ds->MoveBy(11);  // row 12, at the bottom of the window
    ASSERT_EQ(r.v->AsInteger(), 12);
    EXPECT_EQ(link.ActiveRecord(), 4);
    link.SetBufferCount(2);
    EXPECT_EQ(r.ds->BufferCount(), 2);
    EXPECT_EQ(r.v->AsInteger(), 12);
    ExpectWindowAround(r, link);
    EXPECT_EQ(link.Rows(r.v), (std::vector<int>{11, 12}));
    link.SetBufferCount(8);  // the ring fills below the row first, then above
    EXPECT_EQ(r.v->AsInteger(), 12);
    ExpectWindowAround(r, link);
    EXPECT_EQ(link.RecordCount(), 8);
    r.ds->Last();
    link.SetBufferCount(12);  // at the end only rows above are left to fill with
    ExpectWindowAround(r, link);
    EXPECT_EQ(link.Rows(r.v).back(), 20);
    EXPECT_EQ(link.ActiveRecord(), 11);
    link.SetBufferCount(40);  // more rows than the dataset has
    ExpectWindowAround(r, link);
    EXPECT_EQ(link.RecordCount(), 20);
    EXPECT_EQ(link.ActiveRecord(), 19);
    link.SetBufferCount(0);  // taken as one row
    EXPECT_EQ(link.BufferCount(), 1);
    ExpectWindowAround(r, link);
}

TEST(DataLinkRange, TwoLinksOfDifferentSizesUnderRandomMoves) {
    Rows r(30);
    GridLink small, big;
    small.SetBufferCount(3);
    small.SetDataSource(r.src);
    big.SetBufferCount(7);
    big.SetDataSource(r.src);
    std::mt19937 rng(99);
    for (int step = 0; step < 400; ++step) {
        switch (rng() % 6) {
            case 0: r.ds->MoveBy(static_cast<int>(rng() % 15) - 7); break;
            case 1: small.SetBufferCount(1 + rng() % 9); break;
            case 2: big.SetBufferCount(1 + rng() % 12); break;
            case 3:
                r.ds->SetRecNo(1 + rng() % 30);
                r.ds->Resync(true, rng() % 2 == 0);
                break;
            case 4: (rng() % 2 ? r.ds->First() : r.ds->Last()); break;
            case 5: r.ds->Locate("V", Variant(static_cast<int>(1 + rng() % 30)), {}); break;
        }
        SCOPED_TRACE("step " + std::to_string(step));
        EXPECT_EQ(r.ds->BufferCount(), std::max(small.BufferCount(), big.BufferCount()));
        ExpectWindowAround(r, small);
        ExpectWindowAround(r, big);
        if (HasFailure()) return;
    }
}

TEST(DataLinkRange, ScrollDistanceIsHowFarTheTopRowMoved) {
    Rows r(50);
    GridLink link;
    link.SetBufferCount(10);
    link.SetDataSource(r.src);
    int top = link.Rows(r.v).front();
    for (int d : {3, 9, 1, 20, -4, -30, 7, 100, -100, 0}) {
        link.scrolled = 0;
        r.ds->MoveBy(d);
        int newTop = link.Rows(r.v).front();
        // A grid scrolls its picture by this distance instead of repainting every row.
        EXPECT_EQ(newTop - top, link.scrolled) << d;
        top = newTop;
        ExpectWindowAround(r, link);
    }
}

TEST(DataLinkControls, NestedDisableHoldsEveryEventUntilTheLastEnable) {
    Rows r(10);
    GridLink link;
    link.SetBufferCount(3);
    link.SetDataSource(r.src);
    std::vector<std::string> source;
    r.src->OnDataChange = [&](TObject*, TField*) { source.push_back("data"); };
    r.src->OnStateChange = [&](TObject*) { source.push_back("state"); };
    link.log.clear();

    r.ds->DisableControls();
    r.ds->DisableControls();
    r.ds->DisableControls();
    EXPECT_TRUE(r.ds->ControlsDisabled());
    r.ds->MoveBy(5);
    r.ds->Edit();
    r.v->SetAsInteger(6);  // rewritten with the same value: the rows stay consecutive
    r.ds->Post();
    r.ds->Edit();  // the state differs from when controls went off
    r.ds->EnableControls();
    r.ds->EnableControls();
    EXPECT_TRUE(link.log.empty());
    EXPECT_TRUE(source.empty());
    r.ds->EnableControls();
    EXPECT_FALSE(r.ds->ControlsDisabled());
    EXPECT_EQ(link.log, (std::vector<std::string>{"editing", "change"}));
    EXPECT_EQ(source, (std::vector<std::string>{"state", "data"}));
    ExpectWindowAround(r, link);
    EXPECT_EQ(r.ds->State(), dsEdit);
    r.ds->Cancel();

    // An extra EnableControls does not let the count go below zero.
    link.log.clear();
    r.ds->EnableControls();
    r.ds->DisableControls();
    r.ds->Next();
    EXPECT_TRUE(link.log.empty());
    r.ds->EnableControls();
    EXPECT_EQ(link.log, (std::vector<std::string>{"change"}));

    // Closed while disabled: the links hear the state, but no data change of a closed set.
    link.log.clear();
    r.ds->DisableControls();
    r.ds->Close();
    r.ds->EnableControls();
    EXPECT_EQ(link.log, (std::vector<std::string>{"inactive"}));
    EXPECT_FALSE(link.Active());
}

TEST(DataLinkControls, ALayoutChangeWhileDisabledArrivesAsOne) {
    Rows r(4);
    GridLink link;
    link.SetDataSource(r.src);
    link.log.clear();
    r.ds->DisableControls();
    r.v->SetDisplayWidth(30);
    r.ds->Next();
    r.v->SetVisible(false);
    r.ds->EnableControls();
    EXPECT_EQ(link.log, (std::vector<std::string>{"layout"}));
}

namespace {
// A link that counts the changes it hears and may act on each.
class ListeningLink : public TDataLink {
public:
    int changes = 0;
    std::function<void()> onChange;

protected:
    void DataSetChanged() override {
        ++changes;
        if (onChange) onChange();
    }
};
}  // namespace

// A change reaches every listener of a dataset, a control or not, also when listeners raise:
// the first exception reaches the caller. A source or a link that an earlier listener removed
// (freed, or moved to another dataset) hears nothing more of it.
TEST(DataLinkControls, EveryListenerHearsAChangeButNoneRemovedMeanwhile) {
    Rows r(3);
    TRowDataSet* elsewhere = new TRowDataSet(&r.owner);
    elsewhere->Add<TIntegerField>("V");
    elsewhere->Open();
    ListeningLink detail, control, raising;
    control.SetVisualControl(true);
    raising.SetVisualControl(true);
    raising.SetDataSource(r.src);
    control.SetDataSource(r.src);
    detail.SetDataSource(r.src);
    // Links that are not controls hear first, each kind the last added first.
    detail.onChange = [] { throw std::runtime_error("detail"); };
    raising.onChange = [] { throw std::runtime_error("control"); };
    auto change = [&r] {
        r.ds->DisableControls();
        r.ds->EnableControls();
    };
    try {
        change();
        ADD_FAILURE() << "the listeners' exception was lost";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ("detail", e.what());
    }
    EXPECT_EQ(1, detail.changes);
    EXPECT_EQ(1, control.changes);
    EXPECT_EQ(1, raising.changes);

    detail.onChange = nullptr;
    raising.onChange = nullptr;
    auto* freed = new TDataSource(&r.owner);
    auto* moved = new TDataSource(&r.owner);
    freed->SetDataSet(r.ds);
    moved->SetDataSet(r.ds);
    ListeningLink onFreed, onMoved;
    onFreed.SetDataSource(freed);
    onMoved.SetDataSource(moved);
    control.onChange = [&] {
        delete freed;
        moved->SetDataSet(elsewhere);
        raising.SetDataSource(nullptr);
    };
    change();
    EXPECT_EQ(2, control.changes);
    EXPECT_EQ(1, raising.changes);
    EXPECT_EQ(0, onFreed.changes);
    EXPECT_EQ(0, onMoved.changes);
}
