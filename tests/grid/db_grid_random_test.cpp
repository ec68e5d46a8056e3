// A grid used at random, through keys, mouse clicks and its column, filter, selection and table
// calls, and held against its table after every step (grid_table_check.h). Each sequence is one
// seed: its variation (every record loaded, the record window or a loaded run; smart refresh and
// smart reload on or off; selection by bookmarks or by keys; multi- or single-select, group rows
// and data rows selected together or not; several columns sorting at once or one; grouping with
// or without case; locating records by key or by position; row footers shown or not; the table
// sorted by a field or not), its records and its steps. Some steps hold the grid to a rule of
// their own as well: a header click sorts as the multi-sort rule says, Ctrl+Del deletes the
// records of selected data rows only, a selected group row stays selected through a reload while
// its group exists (unless another selected group row came to begin with the same record: the
// selection names each record once, a group row by its first record), a row Ctrl+clicked or
// selected by code takes the selection from the selected row that stands for the same record (a
// group row and its first data row), a row deselected by code acts on itself alone (one not
// selected changes nothing, though another row of its record is selected), a footer cell tells
// what its records add up to. At random steps a table or grid event raises (a scroll, the
// selected count's change, a row's deletion, a row opened, a sort's comparison): the step runner
// or the message loop catches it, and the grid still agrees with its table after the step, its
// columns' sort marks with its list of sorted columns and its rows' order, and again once the
// rows such a step left owed come back with the next paint. A sequence that breaks the
// agreement or a rule is played again on fresh grids with fewer steps and records until none
// can go, and reported with its seed, variation, records and those steps.
//
// Every run plays seeds 1-400 of 30 steps, in eight shards of consecutive seeds that ctest runs
// side by side. TOVAK_GRID_RANDOM_SEQUENCES (all shards' together), TOVAK_GRID_RANDOM_FIRST_SEED
// and TOVAK_GRID_RANDOM_STEPS play others, for a long run;
// TOVAK_GRID_RANDOM_PARTS switches parts on and off ("+partial,-footers", or "all");
// TOVAK_GRID_RANDOM_SHRINK=0 reports the first sequence of each fault as it failed;
// TOVAK_GRID_RANDOM_TRACE=1 writes each sequence and step to the error output as it is played.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "grid/columns/vx_db_grid_column.h"
#include "grid/core/vx_db_grid.h"
#include "grid/filter/vx_criteria_operators.h"
#include "grid/summaries/vx_summary.h"
#include "grid/summaries/vx_summary_groups.h"
#include "memdata/vx_mem_data.h"
#include "platform/db/db.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/gdi/system_metrics.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/scope_exit.h"
#include "platform/rtl/str_utils.h"
#include "platform/sync/clock.h"
#include "platform/win/exception_report.h"
#include "platform/win/input.h"
#include "platform/win/message_queue.h"
#include "platform/win/virtual_keys.h"
#include "tests/grid/grid_table_check.h"
#include "tests/support/ui_driver.h"

namespace {

// Two names in two spellings: grouping without case puts them together.
const char* const kNames[] = {"Anna", "Bert", "Carl", "Dora", "anna", "BERT"};
const char* const kPlaces[] = {"Aurich", "Celle", "Essen", "Hanau"};
const char* const kKinds[] = {"Door", "Gate"};
constexpr int kNameCount = 6;

struct FooterItem {
    TvxSummaryType type;
    const char* column;
    // The field added up; empty: the column's.
    const char* field;
};
// Under each group, in every level's row footer (the default summary group), and under the grid.
constexpr FooterItem kRowFooters[] = {{cstSum, "colAmount", ""},
                                      {cstCount, "colName", ""},
                                      {cstMax, "colKind", "Amount"},
                                      {cstAvg, "colPlace", "Amount"}};
constexpr FooterItem kGridFooters[] = {
    {cstSum, "colAmount", "Amount"}, {cstCount, "colName", "Name"}, {cstMin, "colID", "Amount"}};

// The parts of the random use that a run may leave out, each on by default;
// TOVAK_GRID_RANDOM_PARTS switches them, to look at one part alone in a long run.
enum class Part : uint8_t {
    // Loaded runs beside every record loaded and the record window.
    PartialLoad,
    SmartReload,
    CaseInsensitive,
    ThreeLevels,
    // Ctrl+Del deletes the records of selected data rows only.
    DeleteRule,
    // A selected group row stays selected through a reload while its group exists.
    ReloadRule,
    SortClickRule,
    FooterRule,
    // The footer under the rows read with smart refresh as well.
    SmartRefreshFooter,
    // Group rows and data rows selected together; a row Ctrl+clicked takes the selection from
    // the row that shares its record. A row deselected by code acts on itself alone (in every
    // multi-select variation).
    ExtSelect,
    // A table or grid event raises at random steps.
    Raising,
    Count
};

constexpr const char* kParts[] = {"partial",      "smartreload", "caseinsensitive", "threelevels",
                                  "deleterule",   "reloadrule",  "sortclicks",      "footers",
                                  "smartfooters", "extselect",   "raising"};
static_assert(std::size(kParts) == static_cast<size_t>(Part::Count));

struct Parts {
    bool on[static_cast<size_t>(Part::Count)] = {};
    bool operator()(Part p) const { return on[static_cast<size_t>(p)]; }

    // Every part, changed by a list of names each led by "+" (on) or "-" (off), or "all".
    static Parts From(const char* text) {
        Parts parts;
        for (bool& on : parts.on) on = true;
        std::string list = text ? text : "";
        size_t start = 0;
        while (start < list.size()) {
            const size_t end = std::min(list.find(',', start), list.size());
            const std::string item = list.substr(start, end - start);
            start = end + 1;
            if (item == "all") {
                for (bool& on : parts.on) on = true;
                continue;
            }
            if (item.size() < 2 || (item[0] != '+' && item[0] != '-')) {
                ADD_FAILURE() << "TOVAK_GRID_RANDOM_PARTS: \"" << item << "\" is neither +name, -name nor all";
                continue;
            }
            const auto known = std::find_if(std::begin(kParts), std::end(kParts),
                                            [&](const char* name) { return item.substr(1) == name; });
            if (known == std::end(kParts)) {
                ADD_FAILURE() << "TOVAK_GRID_RANDOM_PARTS: no part is called \"" << item.substr(1) << "\"";
                continue;
            }
            parts.on[static_cast<size_t>(known - std::begin(kParts))] = item[0] == '+';
        }
        return parts;
    }
    std::string Text() const {
        std::string text;
        for (size_t i = 0; i < std::size(kParts); ++i)
            text += std::string(text.empty() ? "" : ",") + (on[i] ? "+" : "-") + kParts[i];
        return text;
    }
};

enum class Load : uint8_t { All, Window, Run };

struct Variation {
    bool smartRefresh = false;
    bool smartReload = false;
    bool bookmarks = true;
    Load load = Load::All;
    // A loaded run's PartialLoadBufferCount (the run is at least five visible rows' worth).
    int bufferCount = 5;
    bool multiSelect = true;
    // Group rows and data rows may be selected together.
    bool extMultiSelect = false;
    // The table sorted by no field, by Name or by Amount.
    int tableSort = 0;
    // Several columns may sort at once.
    bool multiSort = false;
    bool caseInsensitive = false;
    bool useLocate = false;
    bool rowFooters = false;

    std::string Text() const {
        static const char* const sorts[] = {"table unsorted", "table sorted by Name", "table sorted by Amount"};
        static const char* const loads[] = {"every record loaded", "record window", "loaded run of "};
        return std::string(smartRefresh ? "smart refresh" : "no smart refresh") +
               (smartReload ? ", smart reload" : "") + (bookmarks ? ", bookmarks" : ", keys") + ", " +
               loads[static_cast<int>(load)] + (load == Load::Run ? std::to_string(bufferCount) : "") +
               (multiSelect ? extMultiSelect ? ", extended multi-select" : ", multi-select" : ", single-select") +
               (multiSort ? ", multi-sort" : "") + (caseInsensitive ? ", without case" : "") +
               (useLocate ? ", locating by key" : "") + (rowFooters ? ", row footers" : "") + ", " + sorts[tableSort];
    }
};

enum class Op : uint8_t {
    HeaderClick,
    Group,
    Ungroup,
    SetFilter,
    AddFilter,
    ClearFilter,
    Key,
    ClickRow,
    ClickButton,
    ExpandCall,
    CtrlDelete,
    TypeEdit,
    TableEdit,
    GridAppend,
    TableAppend,
    TableDelete,
    Locate,
    SortColumns,
    SelectByCode,
    ReadFooters,
};

const char* const kOps[] = {"header click",   "group",  "ungroup",    "filter set",     "filter added",
                            "filter cleared", "key",    "row click",  "button click",   "expand call",
                            "Ctrl+Del",       "typing", "table edit", "grid append",    "table append",
                            "table delete",   "locate", "sort call",  "select by code", "footers read"};
static_assert(std::size(kOps) == static_cast<size_t>(Op::ReadFooters) + 1);

// The event that raises in a step, at its raiseAt-th time in the step.
enum class Raiser : uint8_t {
    None,
    AfterScroll,
    BeforeScroll,
    SelectedCountChange,
    Deletion,
    Expanded,
    Compare,
    Count
};
const char* const kRaisers[] = {"",           "AfterScroll", "BeforeScroll", "OnSelectedCountChange",
                                "OnDeletion", "OnExpanded",  "OnCompare"};
static_assert(std::size(kRaisers) == static_cast<size_t>(Raiser::Count));
// The words of every exception a planned raise throws.
constexpr const char* kPlannedRaise = "a planned raise of ";

// What each step does is decided when it runs, from its numbers and the grid it meets: a
// step played without the ones before it still does something of its kind.
struct Step {
    Op op;
    int a = 0, b = 0, c = 0;
    Raiser raiser = Raiser::None;
    int raiseAt = 1;
};

struct Record {
    int id;
    std::string name, place;
    double amount;
    std::string kind;
};

struct Sequence {
    uint32_t seed = 0;
    Variation variation;
    std::vector<Record> records;
    std::vector<Step> steps;
};

// A part switched off leaves the draws as they are: a seed plays the same with and without it,
// only what the part adds left out.
// Without compareRaises no OnCompare raises: a seed found before it came plays as it was found.
Sequence Generate(uint32_t seed, int stepCount, const Parts& parts, bool compareRaises = true) {
    std::mt19937 rng(seed);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };
    Sequence s;
    s.seed = seed;
    Variation& v = s.variation;
    v.smartRefresh = pick(2) == 0;
    v.bookmarks = pick(2) == 0;
    const int load = pick(6);
    v.load = load < 3 ? Load::All : load == 3 ? Load::Window : Load::Run;
    v.multiSelect = pick(4) != 0;
    v.tableSort = pick(3);
    v.multiSort = pick(2) == 0;
    v.smartReload = pick(2) == 0;
    v.caseInsensitive = pick(2) == 0;
    v.useLocate = pick(3) == 0;
    v.rowFooters = pick(3) == 0;
    v.bufferCount = 5 + pick(16);
    if (!parts(Part::PartialLoad) && v.load == Load::Run) v.load = Load::All;
    if (!parts(Part::SmartReload)) v.smartReload = false;
    if (!parts(Part::CaseInsensitive)) v.caseInsensitive = false;
    // A run needs more records than it loads at once to be a run.
    const int few = 10 + pick(31), many = 30 + pick(51);
    const int records = v.load == Load::Run ? many : few;
    for (int id = 1; id <= records; ++id)
        s.records.push_back(
            {id, kNames[pick(kNameCount)], kPlaces[pick(4)], static_cast<double>(1 + pick(6)), kKinds[pick(2)]});
    // Weights of the steps, in Op's order.
    static const int weights[] = {8, 5, 3, 4, 2, 3, 22, 14, 3, 4, 4, 4, 4, 2, 2, 3, 3, 3, 4, 3};
    static_assert(std::size(weights) == static_cast<size_t>(Op::ReadFooters) + 1);
    int total = 0;
    for (int w : weights) total += w;
    for (int i = 0; i < stepCount; ++i) {
        int roll = pick(total), op = 0;
        while (roll >= weights[op]) roll -= weights[op++];
        s.steps.push_back({static_cast<Op>(op), pick(1000), pick(1000), pick(1000)});
    }
    // Drawn last, so that the seeds play as they did before it came.
    v.extMultiSelect = pick(3) == 0 && parts(Part::ExtSelect);
    // The raises from a generator of their own: the steps are the same without them. OnCompare's
    // from one more, in steps where no other raises: the raises before it came are drawn as they
    // were.
    if (parts(Part::Raising)) {
        std::mt19937 raising(seed * 2654435761u + 17);
        const auto kinds = static_cast<uint32_t>(Raiser::Compare) - 1;
        for (Step& step : s.steps)
            if (raising() % 4 == 0) {
                step.raiser = static_cast<Raiser>(1 + raising() % kinds);
                step.raiseAt = 1 + static_cast<int>(raising() % 3);
            }
        std::mt19937 comparing(seed * 2246822519u + 29);
        if (compareRaises)
            for (Step& step : s.steps)
                if (comparing() % 6 == 0 && step.raiser == Raiser::None) {
                    step.raiser = Raiser::Compare;
                    step.raiseAt = 1 + static_cast<int>(comparing() % 3);
                }
    }
    return s;
}

int EnvInt(const char* name, int fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    return static_cast<int>(std::strtol(text, nullptr, 10));
}

// The first message's shape, numbers and group values left out: the fault it names.
std::string Signature(const std::string& message) {
    std::string shape;
    int depth = 0;
    for (char ch : message.substr(0, std::min(message.find('\n'), message.find('"')))) {
        if (ch == '[') ++depth;
        if (depth == 0 && !(ch >= '0' && ch <= '9')) shape += ch;
        if (ch == ']' && depth > 0) --depth;
    }
    return shape;
}

struct Outcome {
    bool failed = false;
    // The number of steps played when the check failed (0: before the first).
    size_t at = 0;
    std::vector<std::string> said;
    std::vector<std::string> done;
    bool Has(const std::string& signature) const {
        for (const std::string& s : said)
            if (Signature(s) == signature) return true;
        return false;
    }
};

// Every run plays this many seeds, split over the shards, which ctest runs side by side.
constexpr int kSequences = 400;
constexpr int kShards = 8;
// Seeds of faults that long runs found (30 steps, every part), played by every run as well,
// each by one shard: a reload broken off that kept a selection in the table's former order;
// an edit typed into a row while the table stood on a record the filter hides; a selection
// batch's end broken off before the table followed its focus; record window rows left behind
// their buffer by a selection notice that raised; a new record's row broken off, leaving its
// group row the key of its former first record; a grouping whose sort raised, leaving its
// column marked sorted but not listed; a group column moved to another level whose sort's
// comparison raised, leaving it or the other group column without a sort mark (twice); the
// record window come back by an ungrouping whose deletion handler raised, saying its rows owed.
constexpr uint32_t kFoundSeeds[] = {41847, 45066, 245555, 104568, 368335, 402587, 71925, 67382, 457};
// The first of them were found before OnCompare raised, and play without it.
constexpr size_t kFoundBeforeCompare = 6;

// The grid of the random use, which knows the sort it is making: an OnCompare handler set to
// raise answers as the grid's own comparison would (tree_list_sort.cpp), until it raises.
class RandomGrid : public TvxDBGrid {
public:
    using TvxDBGrid::TvxDBGrid;
    // Every sorted column's sort key in turn where several sort at once, else the sorted
    // column's; equal keys by the rows' keys.
    int CompareAsTheGrid(TvxTreeListNode* A, TvxTreeListNode* B) {
        const bool multi = CanSort() && GetSortedColumnCount() >= 2;
        for (int j = 0; j < (multi ? GetSortedColumnCount() : 1); ++j) {
            const int column = multi ? GetSortedColumnIndex(j) : sortColumn_;
            const Variant a = GetNodeSortValue(A, column), b = GetNodeSortValue(B, column);
            const TVariantRelationship relation = VarCompareValue(a, b);
            if (relation == vrEqual) continue;
            const int result = IsAnsiSort() && a.IsString() ? AnsiCompareStr(VarToStr(a), VarToStr(b))
                                                            : (relation == vrGreaterThan ? 1 : -1);
            return (multi ? IsSortedColumnDescending(j) : sortDescending_) ? -result : result;
        }
        return CompareValues(A, B);
    }
    void SortNodes(int Level, int ColumnIndex, bool Descending) override {
        sortColumn_ = ColumnIndex;
        sortDescending_ = Descending;
        TvxDBGrid::SortNodes(Level, ColumnIndex, Descending);
    }

private:
    int sortColumn_ = 0;
    bool sortDescending_ = false;
};

class DBGridRandom : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        driver = std::make_unique<UiDriver>();
        form = new TForm(EnsureApplication());
        form->SetName("RandomGridForm");
        form->SetBounds(50, 50, 700, 400);
        EnsureApplication()->FormCreated(form);
        form->Show();
        driver->Pump();
        // A box nobody expects is answered with Cancel and reported.
        auto answer = EnsureApplication()->OnModalBegin;
        EnsureApplication()->OnModalBegin = [this, answer](TCustomForm* box) {
            if (driver->PendingModalScripts() > 0 && answer) {
                answer(box);
                return;
            }
            trouble.push_back("box: an unexpected box \"" + box->Caption() + "\" came up");
            box->SetModalResult(mrCancel);
        };
        previousReporter = SetExceptionReporter([this](const std::exception& e) {
            // A planned raise reaches the message loop from a key or a click.
            if (Planned(e)) {
                raised = true;
                return;
            }
            trouble.push_back(std::string("exception: a handler let through \"") + e.what() + "\"");
        });
    }
    void TearDown() override {
        Dismantle();
        SetExceptionReporter(std::move(previousReporter));
        ResetApplication();
        driver.reset();
    }

    // ---- A grid for a sequence ----

    template <class F>
    void Field(const std::string& name, int size = 0) {
        auto* f = new F(table);
        f->SetFieldName(name);
        if (size > 0) f->SetSize(size);
        f->SetDataSet(table);
    }
    TvxDBGridColumn* Col(const std::string& field) {
        auto* c = grid->CreateColumn<TvxDBGridColumn>();
        c->SetName("col" + field);
        c->SetFieldName(field);
        c->SetWidth(60);
        return c;
    }
    // The table filled and the grid set up before they meet: one load.
    void Build(const Sequence& s, const std::vector<Record>& records) {
        variation = s.variation;
        // The table, the grid and the source belong to one owner for the sequence, so that
        // letting it go frees them together; the grid is shown on the form.
        owner = std::make_unique<TComponent>(nullptr);
        table = new TvxMemData(owner.get());
        Field<TIntegerField>("ID");
        Field<TStringField>("Name", 20);
        Field<TStringField>("Place", 20);
        Field<TFloatField>("Amount");
        Field<TStringField>("Kind", 10);
        table->Open();
        nextId = 1;
        for (const Record& r : records) {
            table->Append();
            table->FieldByName("ID")->SetAsInteger(r.id);
            table->FieldByName("Name")->SetAsString(r.name);
            table->FieldByName("Place")->SetAsString(r.place);
            table->FieldByName("Amount")->SetAsFloat(r.amount);
            table->FieldByName("Kind")->SetAsString(r.kind);
            table->Post();
            nextId = std::max(nextId, r.id + 1);
        }
        if (variation.tableSort > 0) table->SetSortedField(variation.tableSort == 1 ? "Name" : "Amount");
        table->First();
        grid = new RandomGrid(owner.get());
        // Small: every step paints it.
        grid->SetBounds(8, 8, 300, 96);
        grid->SetParent(form);
        grid->BeginUpdate();
        columns = {Col("ID"), Col("Name"), Col("Place"), Col("Amount"), Col("Kind")};
        // Every step paints the grid: the key's column (which reads the record window's rows)
        // and Place (which groups and filters as well hidden) are not shown.
        columns[0]->SetVisible(false);
        columns[2]->SetVisible(false);
        grid->SetKeyField("ID");
        // Footers under four columns, from every group row and under the grid.
        TvxDBGridSummaryGroup* footers = grid->SummaryGroups()->Add();
        footers->SetName("Footers");
        footers->SetDefaultGroup(true);
        for (const auto& [type, column, field] : kRowFooters) {
            TvxDBGridSummaryItem* item = footers->SummaryItems()->Add();
            item->SetSummaryType(type);
            item->SetColumnName(column);
            item->SetSummaryField(field);
        }
        for (const auto& [type, column, field] : kGridFooters) {
            TvxDBGridColumn* c = Column(std::string(column).substr(3));
            c->SetSummaryFooterType(type);
            c->SetSummaryFooterField(field);
        }
        grid->SetShowRowFooter(variation.rowFooters);
        grid->SetShowSummaryFooter(variation.rowFooters);
        TvxDBGridOptions options = grid->GridOptions();
        // Editors open only in the steps that type: elsewhere a click would open one after the
        // double-click time, and the keys after it would go to the editor.
        options.Exclude(egoEditing);
        options.Exclude(egoImmediateEditor);
        options.Exclude(egoConfirmDelete);
        options.Include(egoCanAppend);
        if (variation.multiSelect) options.Include(egoMultiSelect);
        if (variation.extMultiSelect) options.Include(egoExtMultiSelect);
        if (variation.smartRefresh) options.Include(egoSmartRefresh);
        if (variation.smartReload) options.Include(egoSmartReload);
        if (variation.useLocate) options.Include(egoUseLocate);
        grid->SetGridOptions(options);
        grid->SetUseBookmarks(variation.bookmarks);
        TvxDBGridOptionsBehavior behavior = grid->OptionsBehavior();
        if (variation.multiSort) behavior.Include(edgoMultiSort);
        if (variation.caseInsensitive) behavior.Include(edgoCaseInsensitive);
        grid->SetOptionsBehavior(behavior);
        TvxDBGridOptionsDB db = grid->OptionsDB();
        if (variation.load == Load::All) db.Include(edgoLoadAllRecords);
        if (variation.load == Load::Run) db.Include(edgoPartialLoad);
        grid->SetOptionsDB(db);
        grid->SetPartialLoadBufferCount(variation.bufferCount);
        grid->EndUpdate();
        source = new TDataSource(owner.get());
        source->SetDataSet(table);
        grid->SetDataSource(source);
        grid->SetFocus();
        driver->Pump();
        check = std::make_unique<GridTableCheck>(grid, table);
    }
    void Dismantle() {
        check.reset();
        owner.reset();
        grid = nullptr;
        source = nullptr;
        table = nullptr;
        driver->Pump();
    }

    // ---- Steps ----

    TvxDBGridColumn* Column(const std::string& field) {
        for (TvxDBGridColumn* c : columns)
            if (c->FieldName() == field) return c;
        return nullptr;
    }
    static std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
    std::string RowName(TvxTreeListNode* n) {
        auto* row = NodeAs<TvxDBGridNode>(n);
        if (!row) return "a row";
        if (!grid->IsCursorMode() && n->Level() < grid->GroupColumnCount())
            return "group row [" + VarToStr(row->GroupValue) + "]";
        if (grid->IsCursorMode()) return "the row of record " + grid->GetNodeString(n, 0);
        return "the row of record " + VarToStr(row->KeyValue);
    }
    void Focus() {
        if (grid->Focused()) return;
        grid->SetFocus();
        driver->Pump();
    }
    // Injected keys held around a mouse press and release at a client point of the grid; never
    // half of a double click.
    void Click(TPoint p, TShiftState shift) {
        clock->Advance(GetDoubleClickTime() + 1);
        driver->Click(grid, p, shift);
    }
    static std::string Mods(TShiftState shift) {
        std::string text;
        if (shift.Contains(ssCtrl)) text += "Ctrl+";
        if (shift.Contains(ssShift)) text += "Shift+";
        return text;
    }
    // What the grid shows: the rows wholly shown, from the top, and the headers of the
    // columns shown; laid out once.
    struct ShownRow {
        TvxTreeListNode* node;
        TRect rect;
        TRect button;
    };
    struct Shown {
        std::vector<ShownRow> rows;
        std::vector<std::pair<TvxDBGridColumn*, TRect>> headers;
    };
    Shown Look() {
        Shown shown;
        TvxTreeListLayout layout;
        grid->CalcLayout(layout);
        const int bottom = grid->GetRectInfo().Rows.Bottom;
        for (const TvxTreeListRowEntry& e : layout.RowEntries) {
            if (!e.Node || e.Top + e.Height > bottom) continue;
            const TRect rect{layout.Client.Left, e.Top, layout.Client.Right, e.Top + e.Height};
            shown.rows.push_back({e.Node, rect, grid->GetNodeParts(layout, e.Node, e.Top, e.Top + e.Height).Button});
        }
        for (TvxDBGridColumn* c : columns)
            if (const TvxTreeListHeaderCellEntry* cell = layout.FindCell(c->Index());
                cell && cell->Rect.Right > cell->Rect.Left)
                shown.headers.emplace_back(c, cell->Rect);
        TCustomvxTreeList::FreeLayout(layout);
        return shown;
    }
    static TPoint Mid(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
    // In the first shown column's cell of the row: past a group row's button.
    static TPoint CellPoint(const Shown& shown, const TRect& row) {
        if (shown.headers.empty()) return Mid(row);
        const TRect& header = shown.headers.front().second;
        return TPoint{(header.Left + header.Right) / 2 + 10, (row.Top + row.Bottom) / 2};
    }
    void SetEditing(bool on) {
        TvxDBGridOptions options = grid->GridOptions();
        on ? options.Include(egoEditing) : options.Exclude(egoEditing);
        grid->SetGridOptions(options);
    }
    // The records the table holds now, found without moving it.
    std::vector<int> ExistingIds() {
        std::vector<int> ids;
        for (int id = 1; id < nextId; ++id)
            if (!table->Lookup("ID", Variant(id), "ID").IsNull()) ids.push_back(id);
        return ids;
    }
    void Fill(int id, const Step& s) {
        table->FieldByName("ID")->SetAsInteger(id);
        table->FieldByName("Name")->SetAsString(kNames[s.b % kNameCount]);
        table->FieldByName("Place")->SetAsString(kPlaces[s.c % 4]);
        table->FieldByName("Amount")->SetAsFloat(1 + (s.a + s.b) % 6);
        table->FieldByName("Kind")->SetAsString(kKinds[s.c / 4 % 2]);
    }
    std::string NewRecordText(int id, const Step& s) {
        return "record " + std::to_string(id) + " (" + kNames[s.b % kNameCount] + ", " + kPlaces[s.c % 4] + ", " +
               std::to_string(1 + (s.a + s.b) % 6) + ", " + kKinds[s.c / 4 % 2] + ")";
    }
    // A filter condition: Place = v, not Place = v, Amount > x, Name = v, Amount < x.
    std::string AddCondition(const Step& s) {
        TvxDBGridCriteria* criteria = grid->Filter()->Criteria();
        const std::string place = kPlaces[s.b % 4], name = kNames[s.b % kNameCount];
        const double amount = s.b % 6 + 0.5;
        switch (s.a % 5) {
            case 0:
                criteria->AddItem(nullptr, Column("Place"), vxoEqual, Variant(place), place);
                return "Place = " + place;
            case 1:
                criteria->AddItem(nullptr, Column("Place"), vxoEqual, Variant(place), place)->SetNot(true);
                return "not Place = " + place;
            case 2:
                criteria->AddItem(nullptr, Column("Amount"), vxoGreater, Variant(amount), std::to_string(amount));
                return "Amount > " + std::to_string(amount);
            case 3: criteria->AddItem(nullptr, Column("Name"), vxoEqual, Variant(name), name); return "Name = " + name;
            default:
                criteria->AddItem(nullptr, Column("Amount"), vxoLess, Variant(amount), std::to_string(amount));
                return "Amount < " + std::to_string(amount);
        }
    }

    // Down on the last row starts a new record and waits for it to be typed: the step types it
    // (by the table) and posts it, or drops it with Up.
    std::string Settle(const Step& s, std::string done) {
        if (table->State() != dsInsert || table->Modified()) return done;
        if (s.c / 2 % 2 == 0) {
            driver->PressKey(VK_UP);
            return done + ", Up dropping the new record";
        }
        const int id = nextId++;
        Fill(id, s);
        table->Post();
        return done + " appending " + NewRecordText(id, s) + " posted by the table";
    }

    // A step that reloads the grid and leaves the selection alone: a selected group row stays
    // selected through it while its group is there.
    static bool Reloads(Op op) {
        switch (op) {
            case Op::TableEdit:
            case Op::TableAppend:
            case Op::TableDelete:
            case Op::SetFilter:
            case Op::AddFilter:
            case Op::ClearFilter:
            case Op::SortColumns:
            case Op::ReadFooters: return true;
            default: return false;
        }
    }

    std::string Apply(const Step& s) {
        const bool reloadRule = parts(Part::ReloadRule) && Reloads(s.op) && grid->IsMultiSelect();
        std::vector<std::vector<Variant>> selectedGroups;
        if (reloadRule)
            for (TvxTreeListNode* n : TreeRows())
                if (IsGroupRow(n) && n->Selected()) selectedGroups.push_back(GroupPath(n));
        std::string done = Settle(s, Do(s));
        for (const std::vector<Variant>& path : selectedGroups)
            if (TvxTreeListNode* g = GroupRowAt(path); g && !g->Selected() && !RecordSelectedElsewhere(g))
                trouble.push_back("reload: " + RowName(g) + " was selected and is no more after " + done);
        return done;
    }

    // ---- What the grid shows, read for the rules of single steps ----

    // Another row shown selected stands for the first record of group row G. The selection
    // names each record once, a group row by its first record: where a sort or a change
    // makes two selected group rows of different levels begin with one record, one of them
    // keeps it.
    bool RecordSelectedElsewhere(TvxTreeListNode* g) {
        const Variant first = Key(FirstRow(g));
        for (TvxTreeListNode* n : TreeRows())
            if (n != g && n->Selected() && TCustomvxDBTreeListControl::CompareVariants(Key(FirstRow(n)), first) == 0)
                return true;
        return false;
    }
    // With group rows and data rows selected together, a row selected (Ctrl+click, or by code)
    // whose record another row stands for selected (a group row and its first data row, group
    // rows of two levels) takes the selection from it.
    bool TakeRule() {
        return parts(Part::ExtSelect) && variation.extMultiSelect && grid->IsMultiSelect() && !grid->IsCursorMode();
    }
    bool TakesSelection(TvxTreeListNode* n) { return !n->Selected() && !SelectedSharingRecord(n).empty(); }
    void CheckTaken(TvxTreeListNode* n, const std::string& done) {
        if (n->Selected() && SelectedSharingRecord(n).empty()) return;
        trouble.push_back("take: " + done + " leaves " +
                          (n->Selected() ? std::string("another row of its record selected as well")
                                         : "it unselected, another row of its record selected"));
    }
    // The rows other than N shown selected that stand for N's record (a group row's is its first).
    std::vector<TvxTreeListNode*> SelectedSharingRecord(TvxTreeListNode* n) {
        std::vector<TvxTreeListNode*> rows;
        const Variant record = Key(FirstRow(n));
        for (TvxTreeListNode* other : TreeRows())
            if (other != n && other->Selected() &&
                TCustomvxDBTreeListControl::CompareVariants(Key(FirstRow(other)), record) == 0)
                rows.push_back(other);
        return rows;
    }
    // A row deselected by code acts on itself alone: a selected one leaves the selection, one
    // not selected changes nothing (the other row of its record, selected, keeps the entry),
    // and the handlers hear of a change only when there is one.
    bool DeselectRule() { return parts(Part::ExtSelect) && grid->IsMultiSelect(); }
    struct SelectionSeen {
        std::vector<TvxTreeListNode*> entries;
        std::vector<std::pair<TvxTreeListNode*, bool>> rows;
    };
    SelectionSeen SeeSelection() {
        SelectionSeen seen;
        for (int i = 0; i < grid->GetSelectedCount(); ++i) seen.entries.push_back(grid->GetSelectedItem(i));
        for (TvxTreeListNode* n : TreeRows()) seen.rows.emplace_back(n, n->Selected());
        return seen;
    }
    void CheckDeselected(TvxTreeListNode* n, bool wasSelected, const SelectionSeen& before, int changes,
                         const std::string& done) {
        const SelectionSeen after = SeeSelection();
        const std::string what = "deselect: " + done + (wasSelected ? " (selected)" : " (not selected)");
        if (n->Selected()) trouble.push_back(what + " leaves it selected");
        // The entries as they were, but for one when the row was selected.
        bool kept = after.entries == before.entries && !wasSelected;
        for (size_t k = 0; wasSelected && !kept && k < before.entries.size(); ++k) {
            std::vector<TvxTreeListNode*> left = before.entries;
            left.erase(left.begin() + static_cast<std::ptrdiff_t>(k));
            kept = after.entries == left;
        }
        if (!kept)
            trouble.push_back(what + " leaves " + std::to_string(after.entries.size()) + " of the " +
                              std::to_string(before.entries.size()) + " entries, not " +
                              (wasSelected ? "all but its own" : "all"));
        if (after.rows.size() != before.rows.size()) {
            trouble.push_back(what + " changes the rows");
        } else {
            for (size_t i = 0; i < after.rows.size(); ++i)
                if (after.rows[i].first != n && after.rows[i] != before.rows[i])
                    trouble.push_back(what + " leaves " + RowName(after.rows[i].first) +
                                      (after.rows[i].second ? " selected" : " unselected"));
        }
        if (changes != (wasSelected ? 1 : 0))
            trouble.push_back(what + " tells of " + std::to_string(changes) + " selection changes");
    }
    static TvxTreeListNode* FirstRow(TvxTreeListNode* n) {
        while (n && n->Count() > 0) n = n->Items(0);
        return n;
    }

    bool IsGroupRow(TvxTreeListNode* n) { return !grid->IsCursorMode() && n->Level() < grid->GroupColumnCount(); }
    // Every row of the tree, collapsed ones included, in display order.
    std::vector<TvxTreeListNode*> TreeRows() {
        std::vector<TvxTreeListNode*> rows, stack;
        for (int i = grid->GetCount() - 1; i >= 0; --i) stack.push_back(grid->GetItem(i));
        while (!stack.empty()) {
            TvxTreeListNode* n = stack.back();
            stack.pop_back();
            rows.push_back(n);
            for (int i = n->Count() - 1; i >= 0; --i) stack.push_back(n->Items(i));
        }
        return rows;
    }
    static Variant Key(TvxTreeListNode* n) {
        auto* row = NodeAs<TvxDBGridNode>(n);
        return row ? row->KeyValue : Variant();
    }
    // The group values from the top level down to the group row's own.
    static std::vector<Variant> GroupPath(TvxTreeListNode* n) {
        std::vector<Variant> path;
        for (; n; n = n->Parent())
            if (auto* row = NodeAs<TvxDBGridNode>(n)) path.insert(path.begin(), row->GroupValue);
        return path;
    }
    bool SameGroupValue(const Variant& a, const Variant& b) {
        if (a.IsString() && b.IsString() && grid->IsCaseInsensitive())
            return AnsiUpperCase(VarToStr(a)) == AnsiUpperCase(VarToStr(b));
        return TCustomvxDBTreeListControl::CompareVariants(a, b) == 0 && a.IsNull() == b.IsNull();
    }
    TvxTreeListNode* GroupRowAt(const std::vector<Variant>& path) {
        for (TvxTreeListNode* n : TreeRows()) {
            if (!IsGroupRow(n) || static_cast<size_t>(n->Level()) + 1 != path.size()) continue;
            const std::vector<Variant> at = GroupPath(n);
            if (std::equal(at.begin(), at.end(), path.begin(),
                           [this](const Variant& a, const Variant& b) { return SameGroupValue(a, b); }))
                return n;
        }
        return nullptr;
    }

    // ---- Header clicks ----

    using SortState = std::vector<std::pair<std::string, TvxTreeListColumnSort>>;
    // The columns that sort the data rows, in the order they sort.
    SortState Sorting() {
        SortState state;
        for (int i = 0; i < grid->SortedColumnCount(); ++i)
            if (auto* c = dynamic_cast<TvxDBTreeListColumn*>(grid->SortedColumns(i));
                c && c->GroupIndex() < 0 && c->Sorted() != csNone)
                state.emplace_back(c->FieldName(), c->Sorted());
        return state;
    }
    static std::string Text(const SortState& state) {
        if (state.empty()) return "no column";
        std::string text;
        for (const auto& [field, way] : state)
            text += (text.empty() ? "" : ", ") + field + (way == csDown ? " down" : " up");
        return text;
    }
    // With multi-sort, Shift+click adds the column after those sorted or turns it where it is;
    // a plain click sorts by the column alone (turned when it sorted); Ctrl+click takes its
    // sort away; without multi-sort Shift changes nothing; without sorting by header nothing.
    static SortState ExpectedSorting(SortState before, const std::string& field, TShiftState shift, bool sorting,
                                     bool multiSort) {
        if (!sorting) return before;
        auto at = std::find_if(before.begin(), before.end(), [&](const auto& e) { return e.first == field; });
        if (shift.Contains(ssCtrl)) {
            if (at != before.end()) before.erase(at);
            return before;
        }
        const TvxTreeListColumnSort turned = at != before.end() && at->second == csUp ? csDown : csUp;
        if (!(multiSort && shift.Contains(ssShift))) return {{field, turned}};
        if (at != before.end())
            at->second = turned;
        else
            before.emplace_back(field, csUp);
        return before;
    }

    // ---- Ctrl+Del ----

    // What Ctrl+Del may delete, read before it: the records of the selected data rows, or the
    // focused data row's without a selection (a group row's none); records without a row as well
    // where the selection reaches beyond the rows.
    struct Deleting {
        std::vector<int> before, allowed, loaded;
        bool beyondRows = false;
        bool groupsOnly = false;
        int selected = 0;
    };
    Deleting BeforeDelete() {
        Deleting d;
        d.before = ExistingIds();
        d.selected = grid->GetSelectedCount();
        if (grid->IsCursorMode()) {
            if (d.selected > 0)
                d.beyondRows = true;
            else if (!table->IsEmpty())
                d.allowed.push_back(table->FieldByName("ID")->AsInteger());
            return d;
        }
        int groups = 0, data = 0;
        for (TvxTreeListNode* n : TreeRows()) {
            const bool group = IsGroupRow(n);
            if (!group) d.loaded.push_back(Key(n).AsInteger());
            if (!n->Selected()) continue;
            ++(group ? groups : data);
            if (!group) d.allowed.push_back(Key(n).AsInteger());
        }
        if (d.selected == 0) {
            d.allowed.clear();
            if (TvxTreeListNode* f = grid->GetFocusedNode(); f && !IsGroupRow(f))
                d.allowed.push_back(Key(f).AsInteger());
        }
        d.beyondRows = d.selected > 0 && grid->IsPartialLoadMode();
        d.groupsOnly = data == 0 && groups > 0 && groups == d.selected;
        return d;
    }
    void AfterDelete(const Deleting& d) {
        const std::vector<int> after = ExistingIds();
        auto has = [](const std::vector<int>& ids, int id) {
            return std::find(ids.begin(), ids.end(), id) != ids.end();
        };
        for (int id : d.before) {
            if (has(after, id) || has(d.allowed, id) || (d.beyondRows && !has(d.loaded, id))) continue;
            trouble.push_back("delete: Ctrl+Del deleted record " + std::to_string(id) +
                              (d.groupsOnly     ? ", with only group rows selected"
                               : d.selected > 0 ? ", which no selected data row shows"
                                                : ", which the focused row does not show"));
        }
        if (d.groupsOnly && grid->GetSelectedCount() != d.selected)
            trouble.push_back("delete: with only group rows selected, Ctrl+Del left " +
                              std::to_string(grid->GetSelectedCount()) + " of the " + std::to_string(d.selected) +
                              " selected");
    }

    // ---- Footers ----

    // What the records below a row add up to, as the footer shows it: the data rows below the
    // group row of the level (none: not a group level, or the row lies above it), their
    // records' values read from the table; under the grid (level -1), every row the filter lets
    // through. Empty where the column has no footer there.
    std::string ExpectedFooter(TvxTreeListNode* row, int level, const std::string& columnName) {
        const FooterItem* item = nullptr;
        const FooterItem* first = level < 0 ? std::begin(kGridFooters) : std::begin(kRowFooters);
        const FooterItem* last = level < 0 ? std::end(kGridFooters) : std::end(kRowFooters);
        for (const FooterItem* f = first; f != last; ++f)
            if (columnName == f->column) item = f;
        if (!item) return "";
        std::vector<TvxTreeListNode*> below;
        if (level < 0) {
            for (TvxTreeListNode* n : TreeRows())
                if (!IsGroupRow(n)) below.push_back(n);
        } else {
            if (level >= grid->GroupColumnCount() || !row || row->Level() < level) return "";
            TvxTreeListNode* group = row;
            while (group->Level() > level) group = group->Parent();
            std::vector<TvxTreeListNode*> stack{group};
            while (!stack.empty()) {
                TvxTreeListNode* n = stack.back();
                stack.pop_back();
                if (!IsGroupRow(n)) below.push_back(n);
                for (int i = n->Count() - 1; i >= 0; --i) stack.push_back(n->Items(i));
            }
        }
        const std::string field = *item->field ? item->field : std::string(item->column).substr(3);
        Extended value = 0;
        for (size_t i = 0; i < below.size(); ++i) {
            const Variant v = table->Lookup("ID", Key(below[i]), field);
            const Extended x = item->type == cstCount || v.IsNull() ? 0 : v.AsDouble();
            if (i == 0 || item->type == cstSum || item->type == cstAvg)
                value = i == 0 ? x : value + x;
            else if (item->type == cstMin)
                value = std::min(value, x);
            else if (item->type == cstMax)
                value = std::max(value, x);
        }
        if (item->type == cstCount) value = static_cast<Extended>(below.size());
        if (item->type == cstAvg && !below.empty()) value /= static_cast<Extended>(below.size());
        std::string text;
        FormatSummaryText(item->type, "", 0, true, value, text);
        return text;
    }

    std::string Do(const Step& s) {
        switch (s.op) {
            case Op::SortColumns: {
                // One column, or with multi-sort two, sorted through the columns.
                static const char* const fields[] = {"Name", "Place", "Amount"};
                TvxDBGridColumn* first = Column(fields[s.a % 3]);
                TvxDBGridColumn* second = Column(fields[(s.a + 1 + s.a / 3 % 2) % 3]);
                const TvxTreeListColumnSort firstWay = s.b % 2 ? csDown : csUp;
                const TvxTreeListColumnSort secondWay = s.b / 2 % 2 ? csDown : csUp;
                if (!variation.multiSort) {
                    first->SetSorted(firstWay);
                    return "sorted by " + first->FieldName() + (firstWay == csDown ? " downwards" : "");
                }
                {
                    // A raise on the way ends the batch all the same, as a program's would.
                    grid->BeginSorting();
                    TScopeExit sorted([this] { grid->EndSorting(); });
                    first->SetSorted(firstWay);
                    second->SetSorted(secondWay);
                }
                return "sorted by " + first->FieldName() + (firstWay == csDown ? " downwards" : "") + ", then " +
                       second->FieldName() + (secondWay == csDown ? " downwards" : "");
            }
            case Op::HeaderClick: {
                const Shown shown = Look();
                if (shown.headers.empty()) return "a header click (no header shown)";
                const auto& [c, rect] = shown.headers[static_cast<size_t>(s.a) % shown.headers.size()];
                TShiftState shift;
                if (s.b % 4 == 0) shift.Include(ssCtrl);
                if (s.b % 4 == 1) shift.Include(ssShift);
                const SortState before = Sorting();
                const SortState expected = ExpectedSorting(before, c->FieldName(), shift, grid->IsAutoSort(),
                                                           grid->IsMultiSort());
                Click(Mid(rect), shift);
                const std::string done = Mods(shift) + "click on the header of " + c->FieldName();
                if (const SortState after = Sorting(); parts(Part::SortClickRule) && after != expected)
                    trouble.push_back("sort: " + done + " with " + Text(before) + " sorting leaves " + Text(after) +
                                      " sorting, not " + Text(expected));
                return done;
            }
            case Op::Group: {
                static const char* const fields[] = {"Name", "Place", "Amount", "Kind"};
                TvxDBGridColumn* c = Column(fields[s.a % 4]);
                const int count = grid->GroupColumnCount();
                const int most = parts(Part::ThreeLevels) ? 3 : 2;
                if (c->GroupIndex() < 0 && count >= most)
                    return "grouping (" + std::to_string(most) + " levels already)";
                const int level = s.b % (std::min(count, most - 1) + 1);
                c->SetGroupIndex(level);
                if (c->GroupIndex() < 0) return "grouping by " + c->FieldName() + " (refused: the last column shown)";
                return "grouping by " + c->FieldName() + " on level " + std::to_string(level);
            }
            case Op::Ungroup: {
                const int count = grid->GroupColumnCount();
                if (count == 0) return "ungrouping (nothing grouped)";
                TvxDBTreeListColumn* c = grid->GroupColumns()[static_cast<size_t>(s.a % count)];
                const std::string field = c->FieldName();
                c->SetGroupIndex(-1);
                return "ungrouping " + field;
            }
            case Op::SetFilter: {
                grid->Filter()->SetActive(true);
                grid->Filter()->Criteria()->Clear();
                const std::string condition = AddCondition(s);
                grid->FilterChanged();
                return "the filter set to " + condition;
            }
            case Op::AddFilter: {
                grid->Filter()->SetActive(true);
                const std::string condition = AddCondition(s);
                grid->FilterChanged();
                return "the filter given " + condition + " as well";
            }
            case Op::ClearFilter: grid->ClearFilter(); return "the filter cleared";
            case Op::Key: {
                static const uint16_t keys[] = {VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_HOME, VK_END, VK_LEFT, VK_RIGHT};
                static const char* const names[] = {"Up", "Down", "PgUp", "PgDn", "Home", "End", "Left", "Right"};
                const int k = s.a % 8;
                TShiftState shift;
                if (k == 4 || k == 5) shift.Include(ssCtrl);
                if (k < 6 && s.b % 3 == 0) shift.Include(ssShift);
                Focus();
                driver->PressKey(keys[k], shift);
                return Mods(shift) + names[k];
            }
            case Op::ClickRow: {
                const Shown shown = Look();
                if (shown.rows.empty()) return "a click on a row (none shown)";
                const ShownRow* picked = &shown.rows[static_cast<size_t>(s.a) % shown.rows.size()];
                TShiftState shift;
                if (s.b % 6 == 0) shift.Include(ssShift);
                // With group rows and data rows selected together, Ctrl is held twice as often,
                // and half of the Ctrl+clicks go to a row that takes the selection, where one is
                // shown.
                if (s.b % 6 == 1 || (s.b % 6 == 2 && variation.extMultiSelect)) shift.Include(ssCtrl);
                const bool takeRule = TakeRule() && shift.Contains(ssCtrl) && !shift.Contains(ssShift);
                if (takeRule && s.c % 2 == 0)
                    for (const ShownRow& r : shown.rows)
                        if (TakesSelection(r.node)) {
                            picked = &r;
                            break;
                        }
                const ShownRow& row = *picked;
                const std::string name = RowName(row.node);
                const bool takes = takeRule && TakesSelection(row.node);
                Click(CellPoint(shown, row.rect), shift);
                const std::string done = Mods(shift) + "click on " + name;
                if (takes && grid->GetFocusedNode() == row.node) CheckTaken(row.node, done);
                return done;
            }
            case Op::ClickButton: {
                std::vector<ShownRow> groups;
                for (const ShownRow& row : Look().rows)
                    if (row.node->Count() > 0 && row.button.Right > row.button.Left) groups.push_back(row);
                if (groups.empty()) return "a click on an expand button (none shown)";
                const ShownRow& row = groups[static_cast<size_t>(s.a) % groups.size()];
                const std::string name = RowName(row.node);
                const bool expanded = row.node->Expanded();
                Click(Mid(row.button), {});
                return std::string("a click on the ") + (expanded ? "collapse" : "expand") + " button of " + name;
            }
            case Op::ExpandCall: {
                if (s.a % 5 < 2) {
                    grid->FullExpand();
                    return "every group row expanded";
                }
                if (s.a % 5 == 2) {
                    grid->FullCollapse();
                    return "every group row collapsed";
                }
                std::vector<TvxTreeListNode*> groups;
                for (const ShownRow& row : Look().rows)
                    if (row.node->Count() > 0) groups.push_back(row.node);
                if (groups.empty()) return "expanding a group row (none shown)";
                TvxTreeListNode* g = groups[static_cast<size_t>(s.b) % groups.size()];
                const std::string name = RowName(g);
                if (s.a % 5 == 3) {
                    g->Expand(false);
                    return name + " expanded";
                }
                g->Collapse(false);
                return name + " collapsed";
            }
            case Op::CtrlDelete: {
                Focus();
                const Deleting deleting = BeforeDelete();
                driver->PressKey(VK_DELETE, {ssCtrl});
                if (parts(Part::DeleteRule)) AfterDelete(deleting);
                return "Ctrl+Del";
            }
            case Op::SelectByCode: {
                if (!variation.multiSelect) return "selecting by code (single-select)";
                std::vector<TvxTreeListNode*> rows, groups;
                for (const ShownRow& row : Look().rows) {
                    rows.push_back(row.node);
                    if (IsGroupRow(row.node)) groups.push_back(row.node);
                }
                if (rows.empty()) return "selecting by code (no row shown)";
                TvxTreeListNode* a = rows[static_cast<size_t>(s.b) % rows.size()];
                switch (s.a % 4) {
                    case 0: {
                        if (!groups.empty()) a = groups[static_cast<size_t>(s.b) % groups.size()];
                        // With group rows and data rows selected together, every other time a
                        // row that takes the selection, shown or not, where there is one.
                        if (TakeRule() && s.c % 2 == 0)
                            for (TvxTreeListNode* n : TreeRows())
                                if (TakesSelection(n)) {
                                    a = n;
                                    break;
                                }
                        const bool takes = TakeRule() && TakesSelection(a);
                        const std::string done = RowName(a) + " selected by code";
                        a->SetSelected(true);
                        if (takes) CheckTaken(a, done);
                        return done;
                    }
                    case 1: {
                        TvxTreeListNode* b = rows[static_cast<size_t>(s.c) % rows.size()];
                        const std::string text = "the rows from " + RowName(a) + " to " + RowName(b) +
                                                 " selected by code";
                        grid->BeginSelection();
                        TScopeExit end([this] { grid->EndSelection(); });
                        grid->SelectRange(a, b);
                        return text;
                    }
                    case 2: {
                        // With group rows and data rows selected together, every other time a
                        // row not selected whose record another row stands for selected.
                        if (TakeRule() && s.c % 2 == 0)
                            for (TvxTreeListNode* n : TreeRows())
                                if (TakesSelection(n)) {
                                    a = n;
                                    break;
                                }
                        const std::string done = RowName(a) + " deselected by code";
                        if (!DeselectRule()) {
                            a->SetSelected(false);
                            return done;
                        }
                        const SelectionSeen before = SeeSelection();
                        const bool selected = a->Selected();
                        int changes = 0;
                        grid->OnSelectedCountChange = [&changes](TObject*) { ++changes; };
                        a->SetSelected(false);
                        grid->OnSelectedCountChange = nullptr;
                        CheckDeselected(a, selected, before, changes, done);
                        return done;
                    }
                    default: grid->ClearSelection(); return "the selection cleared by code";
                }
            }
            case Op::ReadFooters: {
                if (!grid->IsLoadAllMode()) return "reading footers (not every record loaded)";
                // An operation a raise broke off owes the rows and their summaries to the next change.
                if (!grid->IsAllRecordsLoaded()) return "reading footers (the rows owed to the next change)";
                static const char* const names[] = {"colAmount", "colName", "colKind", "colPlace", "colID"};
                const std::vector<TvxTreeListNode*> rows = TreeRows();
                std::string done = "footers read:";
                for (int k = 0; k < 3; ++k) {
                    const std::string name = names[(s.a + k) % 5];
                    // No row: the footer under the rows, whatever the level.
                    TvxTreeListNode* row = rows.empty() || (s.c + k) % 5 == 0
                                               ? nullptr
                                               : rows[static_cast<size_t>(s.b + 13 * k) % rows.size()];
                    const int level = row ? (s.c + 7 * k) % (grid->GroupColumnCount() + 2) - 1 : -1;
                    std::string text;
                    grid->GetFooterCellText(row, Column(name.substr(3))->GetIndex(), text, level);
                    const std::string what = name.substr(3) + " on level " + std::to_string(level) + " from " +
                                             (row ? RowName(row) : "no row");
                    done += (k ? ", " : " ") + what;
                    const bool known = !parts(Part::SmartRefreshFooter) && variation.smartRefresh && level < 0;
                    if (const std::string expected = ExpectedFooter(row, level, name);
                        parts(Part::FooterRule) && !known && text != expected)
                        trouble.push_back("footer: the footer of " + what + " reads \"" + text +
                                          "\", its records give \"" + expected + "\"");
                }
                return done;
            }
            case Op::TypeEdit: {
                TvxDBGridColumn* c = Column(s.a % 2 ? "Place" : "Name");
                if (!c->Visible()) c = Column(s.a % 2 ? "Name" : "Place");
                if (!c->Visible()) return "typing (no text column shown)";
                const std::string text = c->FieldName() == "Name" ? kNames[s.b % kNameCount] : kPlaces[s.b % 4];
                const std::string row = RowName(grid->GetFocusedNode());
                SetEditing(true);
                Focus();
                grid->SetFocusedColumn(grid->GetVisibleColumnIndex(c->Index()));
                grid->ShowEditor();
                if (!grid->Editor()) {
                    SetEditing(false);
                    return "typing into " + row + " (no editor)";
                }
                driver->Type(text);
                std::string how;
                if (s.c % 2 == 0) {
                    driver->PressKey(VK_RETURN);
                    if (table->State() == dsEdit) table->Post();
                    how = ", Enter and a post";
                } else {
                    driver->PressKey(VK_DOWN);
                    how = ", Down";
                }
                grid->CloseEditor();
                SetEditing(false);
                return Quoted(text) + " typed into " + c->FieldName() + " of " + row + how;
            }
            case Op::TableEdit: {
                if (table->IsEmpty()) return "an edit by the table (no record)";
                const std::string record = table->FieldByName("ID")->AsString();
                table->Edit();
                std::string what;
                switch (s.a % 4) {
                    case 0:
                        what = std::string("Name ") + kNames[s.b % kNameCount];
                        table->FieldByName("Name")->SetAsString(kNames[s.b % kNameCount]);
                        break;
                    case 3:
                        what = std::string("Kind ") + kKinds[s.b % 2];
                        table->FieldByName("Kind")->SetAsString(kKinds[s.b % 2]);
                        break;
                    case 1:
                        what = std::string("Place ") + kPlaces[s.b % 4];
                        table->FieldByName("Place")->SetAsString(kPlaces[s.b % 4]);
                        break;
                    default:
                        what = "Amount " + std::to_string(1 + s.b % 6);
                        table->FieldByName("Amount")->SetAsFloat(1 + s.b % 6);
                        break;
                }
                table->Post();
                return "the current record " + record + " given " + what + " by the table";
            }
            case Op::GridAppend: {
                SetEditing(true);
                Focus();
                driver->PressKey(VK_END, {ssCtrl});
                driver->PressKey(VK_DOWN);
                std::string text;
                if (table->State() == dsInsert) {
                    const int id = nextId++;
                    Fill(id, s);
                    table->Post();
                    text = "Ctrl+End, Down appending " + NewRecordText(id, s) + " posted by the table";
                } else {
                    text = "Ctrl+End, Down (nothing appended)";
                }
                grid->CloseEditor();
                SetEditing(false);
                return text;
            }
            case Op::TableAppend: {
                const int id = nextId++;
                table->Append();
                Fill(id, s);
                table->Post();
                return NewRecordText(id, s) + " appended by the table";
            }
            case Op::TableDelete:
            case Op::Locate: {
                const std::vector<int> ids = ExistingIds();
                if (ids.empty()) return "the table empty";
                const int id = ids[static_cast<size_t>(s.a) % ids.size()];
                table->Locate("ID", Variant(id), {});
                if (s.op == Op::Locate) return "record " + std::to_string(id) + " made current by Locate";
                table->Delete();
                return "record " + std::to_string(id) + " deleted by the table";
            }
        }
        return "?";
    }

    // ---- Planned raises ----

    static bool Planned(const std::exception& e) { return std::string(e.what()).rfind(kPlannedRaise, 0) == 0; }
    static std::string Raised(const Step& s) {
        return std::string(" (") + kRaisers[static_cast<int>(s.raiser)] + " raised, its " + std::to_string(s.raiseAt) +
               ". time in the step)";
    }
    // The step's event raises at its raiseAt-th time in the step, once.
    void Arm(const Step& s) {
        raised = false;
        if (s.raiser == Raiser::None) return;
        countdown = s.raiseAt;
        const std::string what = std::string(kPlannedRaise) + kRaisers[static_cast<int>(s.raiser)];
        auto raise = [this, what] {
            if (countdown <= 0 || --countdown > 0) return;
            raised = true;
            throw Exception(what);
        };
        switch (s.raiser) {
            case Raiser::AfterScroll: table->AfterScroll = [raise](TDataSet*) { raise(); }; break;
            case Raiser::BeforeScroll: table->BeforeScroll = [raise](TDataSet*) { raise(); }; break;
            case Raiser::SelectedCountChange: grid->OnSelectedCountChange = [raise](TObject*) { raise(); }; break;
            case Raiser::Deletion: grid->OnDeletion = [raise](TObject*, TvxTreeListNode*) { raise(); }; break;
            case Raiser::Expanded: grid->OnExpanded = [raise](TObject*, TvxTreeListNode*) { raise(); }; break;
            case Raiser::Compare:
                // As the grid compares without it, until it raises.
                grid->OnCompare = [this, raise](TObject*, TvxTreeListNode* a, TvxTreeListNode* b, int& compare) {
                    raise();
                    compare = grid->CompareAsTheGrid(a, b);
                };
                break;
            default: break;
        }
    }
    void Disarm() {
        countdown = 0;
        table->AfterScroll = nullptr;
        table->BeforeScroll = nullptr;
        grid->OnSelectedCountChange = nullptr;
        grid->OnDeletion = nullptr;
        grid->OnExpanded = nullptr;
        grid->OnCompare = nullptr;
    }

    // ---- Playing ----

    Outcome Play(const Sequence& s, const std::vector<Record>& records, const std::vector<Step>& steps) {
        Outcome outcome;
        trouble.clear();
        Build(s, records);
        auto failed = [&] {
            std::vector<std::string> said = trouble;
            trouble.clear();
            // Whatever a step left open is closed before the grid is held against the table.
            if (table->State() == dsEdit || table->State() == dsInsert) {
                said.push_back("state: a step left the table in state " + std::to_string(table->State()));
                table->Cancel();
            }
            for (std::string& line : check->Disagreements()) said.push_back(std::move(line));
            // A column's sort mark and the grid's list of sorted columns say the same, also
            // after a step broken off: a header click acts on the list.
            for (TvxDBGridColumn* c : columns) {
                bool listed = false;
                for (int i = 0; i < grid->SortedColumnCount(); ++i) listed = listed || grid->SortedColumns(i) == c;
                if (listed != (c->Sorted() != csNone))
                    said.push_back(
                        "sort: " + c->FieldName() +
                        (listed ? " is listed as sorted without its mark" : " is marked sorted but not listed"));
            }
            if (said.empty()) return false;
            outcome.failed = true;
            outcome.said = std::move(said);
            return true;
        };
        if (!failed()) {
            for (const Step& step : steps) {
                const size_t troubleBefore = trouble.size();
                Arm(step);
                try {
                    outcome.done.push_back(Apply(step));
                    if (raised) outcome.done.back() += Raised(step);
                    if (trace) std::fprintf(stderr, "  %zu. %s\n", outcome.done.size(), outcome.done.back().c_str());
                } catch (const std::exception& e) {
                    if (Planned(e)) {
                        outcome.done.push_back(std::string("a step (") + kOps[static_cast<int>(step.op)] +
                                               ") broken off" + Raised(step));
                    } else {
                        outcome.done.push_back(std::string("a step that raised \"") + e.what() + "\"");
                        trouble.push_back(std::string("exception: a step raised \"") + e.what() + "\"");
                    }
                    if (table->State() == dsEdit || table->State() == dsInsert) table->Cancel();
                }
                // A step's own rule does not hold for a step broken off: the grid's agreement
                // with its table does.
                if (raised) trouble.resize(troubleBefore);
                Disarm();
                // What a step left queued is handled before the check; the painting waits for the
                // next input, and paints once for the steps by code before it.
                if (MSG pending; PeekMessage(pending, nullptr, 0, 0, PM_NOREMOVE)) driver->Pump();
                if (table->ControlsDisabled()) trouble.push_back("batch: the table's controls stay disabled");
                if (grid->LockUpdate() > 0 || grid->SelectionBatchCount() > 0 || grid->GroupRebuildLock() > 0)
                    trouble.push_back("batch: the grid stays in an update (" + std::to_string(grid->LockUpdate()) +
                                      "), a selection batch (" + std::to_string(grid->SelectionBatchCount()) +
                                      ") or a group rebuild (" + std::to_string(grid->GroupRebuildLock()) + ")");
                outcome.at = outcome.done.size();
                if (failed()) break;
                // Rows a step left owed come back with the grid's next paint: the check then
                // holds them, every record loaded again.
                if (grid->RowsOwed()) {
                    grid->Invalidate();
                    grid->Update();
                    if (grid->RowsOwed())
                        trouble.push_back("owed: the rows a step left owed are not back after a paint");
                    if (failed()) {
                        outcome.done.back() += ", then a paint";
                        break;
                    }
                }
            }
        }
        Dismantle();
        return outcome;
    }

    // Fewer steps, then fewer records, while the same fault shows: chunks of them left out
    // (delta debugging), then one at a time until none can go.
    template <class T, class Fails>
    static std::vector<T> Shrink(std::vector<T> items, Fails fails) {
        size_t parts = 2;
        while (items.size() >= 2) {
            const size_t chunk = (items.size() + parts - 1) / parts;
            bool smaller = false;
            for (size_t start = 0; start < items.size(); start += chunk) {
                std::vector<T> rest(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(start));
                rest.insert(rest.end(),
                            items.begin() + static_cast<std::ptrdiff_t>(std::min(items.size(), start + chunk)),
                            items.end());
                if (fails(rest)) {
                    items = std::move(rest);
                    parts = std::max<size_t>(parts - 1, 2);
                    smaller = true;
                    break;
                }
            }
            if (smaller) continue;
            if (parts >= items.size()) break;
            parts = std::min(items.size(), parts * 2);
        }
        for (bool again = true; again;) {
            again = false;
            for (size_t i = 0; i < items.size(); ++i) {
                std::vector<T> rest = items;
                rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(i));
                if (fails(rest)) {
                    items = std::move(rest);
                    again = true;
                    break;
                }
            }
        }
        return items;
    }

    struct Finding {
        std::string signature;
        int sequences = 0;
        uint32_t seed = 0;
        std::string variation;
        std::vector<Record> records;
        std::vector<std::string> done;
        std::vector<std::string> said;
        bool shrunk = false;
    };

    void Report(const Sequence& s, Outcome outcome, std::map<std::string, Finding>& findings, bool shrink) {
        const std::string signature = Signature(outcome.said.front());
        Finding& f = findings[signature];
        ++f.sequences;
        if (!shrink) {
            if (f.sequences > 1) return;
            f.signature = signature;
            f.seed = s.seed;
            f.variation = s.variation.Text();
            f.records = s.records;
            f.done = outcome.done;
            f.said = outcome.said;
            return;
        }
        // Each fault is shrunk a few times at most, the shortest kept.
        if (f.shrunk && (f.done.size() <= 3 || f.sequences > 3)) return;
        std::vector<Step> steps(s.steps.begin(), s.steps.begin() + static_cast<std::ptrdiff_t>(outcome.at));
        std::vector<Record> records = s.records;
        auto fails = [&](const std::vector<Step>& st, const std::vector<Record>& rs) {
            Outcome o = Play(s, rs, st);
            return o.failed && o.Has(signature);
        };
        steps = Shrink(steps, [&](const std::vector<Step>& st) { return fails(st, records); });
        records = Shrink(records, [&](const std::vector<Record>& rs) { return fails(steps, rs); });
        Outcome last = Play(s, records, steps);
        if (!last.failed || !last.Has(signature)) last = outcome;
        if (f.shrunk && last.done.size() >= f.done.size()) return;
        f.signature = signature;
        f.seed = s.seed;
        f.variation = s.variation.Text();
        f.records = records;
        f.done = last.done;
        f.said = last.said;
        f.shrunk = true;
    }

    static std::string Text(const Finding& f) {
        std::string text = "seed " + std::to_string(f.seed) + " (" + std::to_string(f.sequences) +
                           " sequences fail so), " + f.variation + "\n  records:";
        for (const Record& r : f.records)
            text += " " + std::to_string(r.id) + " " + r.name + " " + r.place + " " +
                    std::to_string(static_cast<int>(r.amount)) + " " + r.kind + ";";
        text += "\n  steps:";
        for (size_t i = 0; i < f.done.size(); ++i) text += "\n    " + std::to_string(i + 1) + ". " + f.done[i];
        text += "\n  then:";
        for (const std::string& line : f.said) text += "\n    " + line;
        return text;
    }

    ScopedManualClock clock;
    std::unique_ptr<UiDriver> driver;
    TForm* form = nullptr;
    std::unique_ptr<TComponent> owner;
    TvxMemData* table = nullptr;
    TDataSource* source = nullptr;
    RandomGrid* grid = nullptr;
    std::unique_ptr<GridTableCheck> check;
    std::vector<TvxDBGridColumn*> columns;
    Variation variation;
    Parts parts = Parts::From(std::getenv("TOVAK_GRID_RANDOM_PARTS"));
    int nextId = 1;
    std::vector<std::string> trouble;
    ExceptionReporter previousReporter;
    // The planned raise of the step being played: its events to come before it, and whether
    // it came.
    int countdown = 0;
    bool raised = false;
    // Each step written out as it is played: a step that crashes the program leaves its
    // sequence behind.
    bool trace = false;
};

// Shard k plays its share of the sequences: the k-th run of consecutive seeds.
TEST_P(DBGridRandom, RandomUseKeepsTheGridAgreeingWithItsTable) {
    const int sequences = EnvInt("TOVAK_GRID_RANDOM_SEQUENCES", kSequences);
    const auto first = static_cast<uint32_t>(EnvInt("TOVAK_GRID_RANDOM_FIRST_SEED", 1));
    const int steps = EnvInt("TOVAK_GRID_RANDOM_STEPS", 30);
    const bool shrink = EnvInt("TOVAK_GRID_RANDOM_SHRINK", 1) != 0;
    trace = EnvInt("TOVAK_GRID_RANDOM_TRACE", 0) != 0;
    const int share = (sequences + kShards - 1) / kShards;
    const int begin = GetParam() * share, end = std::min(sequences, begin + share);
    struct Seed {
        uint32_t seed;
        int length;
        bool compareRaises;
    };
    std::vector<Seed> seeds;
    for (int i = begin; i < end; ++i) seeds.push_back({first + static_cast<uint32_t>(i), steps, true});
    for (size_t i = 0; i < std::size(kFoundSeeds); ++i)
        if (static_cast<int>(i % kShards) == GetParam())
            seeds.push_back({kFoundSeeds[i], 30, i >= kFoundBeforeCompare});
    std::map<std::string, Finding> findings;
    for (const auto& [seed, length, compareRaises] : seeds) {
        const Sequence s = Generate(seed, length, parts, compareRaises);
        if (trace) std::fprintf(stderr, "seed %u, %s\n", s.seed, s.variation.Text().c_str());
        Outcome outcome = Play(s, s.records, s.steps);
        if (trace && outcome.failed)
            for (const std::string& line : outcome.said) std::fprintf(stderr, "  failed: %s\n", line.c_str());
        if (outcome.failed) Report(s, std::move(outcome), findings, shrink);
    }
    for (const auto& [signature, finding] : findings) ADD_FAILURE() << Text(finding);
}

INSTANTIATE_TEST_SUITE_P(Shards, DBGridRandom, ::testing::Range(0, kShards));

}  // namespace
