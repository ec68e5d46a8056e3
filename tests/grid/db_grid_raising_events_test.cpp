// A table or grid event that raises inside one of the grid's operations, in the middle of it or
// in what ends it (a group rebuild's reload, a selection batch's count change, the reload that
// the table's controls set off when they come back, a walk's way back): the exception reaches
// the caller and the program goes on; the table's controls are back on, the grid agrees with
// its table, and an edit and an append by code afterwards show on the focused row. Each case
// runs in a child process of its own, so that one which ends the program shows as its failure
// alone, also when the test program runs by hand; the child frees everything and leaves
// nothing behind, and where LeakSanitizer is built in, a leak on the raising path fails it.

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "grid/columns/vx_db_grid_column.h"
#include "platform/classes/string_list.h"
#include "platform/rtl/exception.h"
#include "platform/win/exception_report.h"
#include "tests/grid/grid_table_check.h"
#include "tests/grid/grid_test_form.h"
#include "tests/support/child_process_case.h"
#include "tests/support/temp_folder.h"

namespace {

// The event that raises, once, the first time it comes after the case arms it.
enum class Raising : uint8_t {
    AfterScroll,
    BeforeScroll,
    // The table's move back to where a walk started: the first BeforeScroll with the table's
    // controls off and the table past its last record.
    WayBack,
    SelectedCountChange,
    Deletion,
    // The second grid's rows freed, or its load's moves, while its rows reload.
    OtherGridsReload,
};

class DBGridRaisingEvents;

// Where the exception goes: to the code that called, or, from a key or a click, to the message
// loop, which reports it.
enum class Reaching : uint8_t { Caller, MessageLoop };

struct RaisingCase {
    const char* name;
    Raising event;
    std::function<void(DBGridRaisingEvents&)> arrange;
    std::function<void(DBGridRaisingEvents&)> act;
    Reaching reaching = Reaching::Caller;
};

class DBGridRaisingEvents : public GridOnForm, public ::testing::WithParamInterface<RaisingCase> {
public:
    using GridOnForm::ClickRow;
    using GridOnForm::driver;
    using GridOnForm::grid;
    using GridOnForm::table;

    void SetUp() override {
        GridOnForm::SetUp();
        Col("ID");
        name = Col("Name");
        active = Col("Active");
        Col("Amount");
        table->Open();
        table->DisableControls();
        for (int i = 1; i <= 40; ++i) Add(i, "n" + std::to_string(i));
        table->EnableControls();
        table->First();
        LoadAll();
        Options(egoMultiSelect, true);
        grid->FullExpand();
    }

    // Every third record Active, Amount its number.
    void Add(int id, const std::string& text) {
        table->Append();
        table->FieldByName("ID")->SetAsInteger(id);
        table->FieldByName("Name")->SetAsString(text);
        table->FieldByName("Active")->SetAsBoolean(id % 3 == 0);
        table->FieldByName("Amount")->SetAsFloat(id);
        table->Post();
    }
    void Options(TvxDBGridOption option, bool on) {
        TvxDBGridOptions options = grid->GridOptions();
        on ? options.Include(option) : options.Exclude(option);
        grid->SetGridOptions(options);
    }
    void RecordWindow() {
        TvxDBGridOptionsDB db = grid->OptionsDB();
        db.Exclude(edgoLoadAllRecords);
        grid->SetOptionsDB(db);
    }
    // A run of about ten records around the current one.
    void LoadedRun() {
        RecordWindow();
        grid->SetHeight(120);
        grid->SetUseBookmarks(true);
        grid->SetPartialLoadBufferCount(5);
        grid->SetPartialLoad(true);
    }
    TvxTreeListNode* Row(int id) {
        for (TvxTreeListNode* n = grid->GetFirstNode(); n; n = n->GetNext())
            if (n->Count() == 0 && NodeAs<TvxDBGridNode>(n)->KeyValue.AsInteger() == id) return n;
        return nullptr;
    }
    int CurrentId() { return table->FieldByName("ID")->AsInteger(); }
    // A second grid over the same table, every record loaded and grouped.
    void SecondGrid() {
        second = new TvxDBGrid(form);
        second->SetName("DBGrid2");
        second->SetBounds(8, 310, 660, 80);
        second->SetParent(form);
        auto* id = second->CreateColumn<TvxDBGridColumn>();
        id->SetName("col2ID");
        id->SetFieldName("ID");
        auto* act = second->CreateColumn<TvxDBGridColumn>();
        act->SetName("col2Active");
        act->SetFieldName("Active");
        second->SetKeyField("ID");
        second->SetDataSource(source);
        TvxDBGridOptionsDB db = second->OptionsDB();
        db.Include(edgoLoadAllRecords);
        second->SetOptionsDB(db);
        act->SetGroupIndex(0);
        second->FullExpand();
    }

    void Arm(Raising event) {
        auto raise = [this](const char* what) {
            if (!armed) return;
            armed = false;
            throw Exception(std::string(what) + " refused");
        };
        switch (event) {
            case Raising::AfterScroll: table->AfterScroll = [raise](TDataSet*) { raise("scroll"); }; break;
            case Raising::BeforeScroll: table->BeforeScroll = [raise](TDataSet*) { raise("scroll"); }; break;
            case Raising::WayBack:
                table->BeforeScroll = [this, raise](TDataSet*) {
                    if (table->ControlsDisabled() && table->Eof()) raise("way back");
                };
                break;
            case Raising::SelectedCountChange:
                grid->OnSelectedCountChange = [raise](TObject*) { raise("count"); };
                break;
            case Raising::Deletion:
                grid->OnDeletion = [raise](TObject*, TvxTreeListNode*) { raise("deletion"); };
                break;
            case Raising::OtherGridsReload:
                second->OnDeletion = [raise](TObject*, TvxTreeListNode*) { raise("deletion"); };
                break;
        }
        armed = true;
    }
    void Disarm() {
        armed = false;
        table->AfterScroll = nullptr;
        table->BeforeScroll = nullptr;
        grid->OnSelectedCountChange = nullptr;
        grid->OnDeletion = nullptr;
        if (second) second->OnDeletion = nullptr;
    }

    // The case, in the child process: what the test expects after the raise.
    void Run(const RaisingCase& c) {
        if (c.arrange) c.arrange(*this);
        ExpectAgreement("before");
        std::string reported;
        const ExceptionReporter previous = SetExceptionReporter(
            [&reported](const std::exception& e) { reported = e.what(); });
        Arm(c.event);
        if (c.reaching == Reaching::Caller) {
            EXPECT_THROW(c.act(*this), Exception);
        } else {
            c.act(*this);
            EXPECT_NE(reported.find("refused"), std::string::npos) << "the message loop reported nothing";
        }
        EXPECT_FALSE(armed) << "no event raised";
        SetExceptionReporter(previous);
        Disarm();
        EXPECT_FALSE(table->ControlsDisabled());
        EXPECT_EQ(table->State(), dsBrowse);
        ExpectAgreement("after the raise");
        // A record edited and one appended by code show on the focused row's record, the
        // current one (a group row's is its first data row).
        auto shown = [this] {
            TvxTreeListNode* row = TvxDBGridCursor::RecordRowOf(grid->GetFocusedNode());
            return row ? grid->GetNodeString(row, name->Index()) : "(no row)";
        };
        const int current = CurrentId();
        table->Edit();
        table->FieldByName("Name")->SetAsString("edited");
        table->Post();
        EXPECT_EQ(CurrentId(), current);
        EXPECT_EQ(shown(), "edited");
        Add(41, "new 41");
        EXPECT_EQ(shown(), "new 41");
        ExpectAgreement("after an edit and an append");
    }
    void ExpectAgreement(const char* when) {
        SCOPED_TRACE(when);
        ExpectGridAgreesWithTable(grid, table);
        if (second) ExpectGridAgreesWithTable(second, table);
    }

    TvxDBGridColumn* name = nullptr;
    TvxDBGridColumn* active = nullptr;
    TvxDBGrid* second = nullptr;
    std::optional<TempFolder> folder{std::in_place, "tovak-grid-raising"};
    bool armed = false;
};

void PrintTo(const RaisingCase& c, std::ostream* out) { *out << c.name; }

void Grouped(DBGridRaisingEvents& t) {
    t.active->SetGroupIndex(0);
    t.grid->FullExpand();
}

// clang-format off
const RaisingCase kCases[] = {
    // Group changes: the rebuild's end reloads the rows, walking the table.
    {"GroupLevelRemoved", Raising::AfterScroll, Grouped,
     [](DBGridRaisingEvents& t) { t.active->SetGroupIndex(-1); }},
    {"GroupLevelAdded", Raising::BeforeScroll, nullptr,
     [](DBGridRaisingEvents& t) { t.active->SetGroupIndex(0); }},
    {"GroupLevelAddedWayBackRefused", Raising::WayBack, nullptr,
     [](DBGridRaisingEvents& t) { t.active->SetGroupIndex(0); }},
    {"GroupLevelRemovedSmartReload", Raising::Deletion,
     [](DBGridRaisingEvents& t) { t.Options(egoSmartReload, true); Grouped(t); },
     [](DBGridRaisingEvents& t) { t.active->SetGroupIndex(-1); }},
    {"LayoutWithOtherGrouping", Raising::AfterScroll,
     [](DBGridRaisingEvents& t) {
         Grouped(t);
         t.grid->SaveToIniFile(t.folder->File("layout.ini"));
         t.active->SetGroupIndex(-1);
     },
     [](DBGridRaisingEvents& t) { t.grid->LoadFromIniFile(t.folder->File("layout.ini")); }},
    // Selection batches: their end tells of the count's change.
    {"RangeSelected", Raising::SelectedCountChange, nullptr,
     [](DBGridRaisingEvents& t) { t.grid->SelectRange(t.Row(3), t.Row(9)); }},
    {"RangeSelectedGrouped", Raising::SelectedCountChange, Grouped,
     [](DBGridRaisingEvents& t) { t.grid->SelectRange(t.grid->GetItem(0), t.Row(9)); }},
    {"RangeByShiftClick", Raising::SelectedCountChange,
     [](DBGridRaisingEvents& t) { t.ClickRow(t.Row(3)); },
     [](DBGridRaisingEvents& t) { t.ClickRow(t.Row(7), {ssShift}); }, Reaching::MessageLoop},
    {"RowByCtrlClick", Raising::SelectedCountChange,
     [](DBGridRaisingEvents& t) { t.ClickRow(t.Row(3)); },
     [](DBGridRaisingEvents& t) { t.ClickRow(t.Row(7), {ssCtrl}); }, Reaching::MessageLoop},
    {"RangeByShiftDown", Raising::SelectedCountChange,
     [](DBGridRaisingEvents& t) { t.ClickRow(t.Row(3)); },
     [](DBGridRaisingEvents& t) { t.driver->PressKey(VK_DOWN, {ssShift}); }, Reaching::MessageLoop},
    {"RangeOfRecords", Raising::SelectedCountChange,
     [](DBGridRaisingEvents& t) { t.RecordWindow(); t.table->Locate("ID", Variant(12), {}); },
     [](DBGridRaisingEvents& t) { t.grid->SelectRange(t.grid->GetItem(0), t.grid->GetItem(3)); }},
    // Deleting the selection: the controls coming back reload the rows.
    {"SelectionDeleted", Raising::Deletion,
     [](DBGridRaisingEvents& t) { t.Row(5)->SetSelected(true); t.Row(9)->SetSelected(true); },
     [](DBGridRaisingEvents& t) { t.grid->DeleteSelection(); }},
    {"SelectionDeletedGrouped", Raising::Deletion,
     [](DBGridRaisingEvents& t) { Grouped(t); t.Row(5)->SetSelected(true); t.Row(9)->SetSelected(true); },
     [](DBGridRaisingEvents& t) { t.grid->DeleteSelection(); }},
    {"SelectionDeletedScrollRefused", Raising::AfterScroll,
     [](DBGridRaisingEvents& t) { t.Row(5)->SetSelected(true); t.Row(9)->SetSelected(true); },
     [](DBGridRaisingEvents& t) { t.grid->DeleteSelection(); }},
    // A loaded run: a range reads the run again, a scroll near its end reads the next buffer.
    {"RangeInALoadedRun", Raising::AfterScroll,
     [](DBGridRaisingEvents& t) { t.table->Locate("ID", Variant(20), {}); t.LoadedRun(); },
     [](DBGridRaisingEvents& t) { t.grid->SelectRange(t.Row(18), t.Row(22)); }},
    {"RangeInALoadedRunWayBackRefused", Raising::BeforeScroll,
     [](DBGridRaisingEvents& t) { t.table->Locate("ID", Variant(20), {}); t.LoadedRun(); },
     [](DBGridRaisingEvents& t) { t.grid->SelectRange(t.Row(18), t.Row(22)); }},
    {"LoadedRunReadsOn", Raising::AfterScroll,
     [](DBGridRaisingEvents& t) { t.table->Locate("ID", Variant(20), {}); t.LoadedRun(); },
     [](DBGridRaisingEvents& t) { t.grid->SetTopIndex(t.grid->GetAbsoluteCount() - 2); }},
    // Walks that come back: the search of the record window, every record copied.
    {"SearchInTheRecordWindow", Raising::AfterScroll, [](DBGridRaisingEvents& t) { t.RecordWindow(); },
     [](DBGridRaisingEvents& t) { t.grid->StartSearch(t.name->Index(), "n3"); }},
    {"EveryRecordCopied", Raising::AfterScroll, [](DBGridRaisingEvents& t) { t.RecordWindow(); },
     [](DBGridRaisingEvents& t) { TStringList lines; t.grid->SaveAllToStrings(&lines); }},
    {"EveryRecordCopiedWayBackRefused", Raising::WayBack, [](DBGridRaisingEvents& t) { t.RecordWindow(); },
     [](DBGridRaisingEvents& t) { TStringList lines; t.grid->SaveAllToStrings(&lines); }},
    // Another grid's walk brings the controls back: this grid's reload raises.
    {"AnotherGridsReload", Raising::OtherGridsReload, [](DBGridRaisingEvents& t) { t.SecondGrid(); },
     [](DBGridRaisingEvents& t) { t.Row(5)->SetSelected(true); t.Row(9)->SetSelected(true); t.grid->DeleteSelection(); }},
};
// clang-format on

TEST_P(DBGridRaisingEvents, TheExceptionReachesTheCallerAndTheGridStillFollowsItsTable) {
    ExpectCaseInChildProcess([this] { Run(GetParam()); },
                             [this] {
                                 TearDown();
                                 folder.reset();
                             });
}

INSTANTIATE_TEST_SUITE_P(Cases, DBGridRaisingEvents, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<RaisingCase>& info) { return info.param.name; });

}  // namespace
