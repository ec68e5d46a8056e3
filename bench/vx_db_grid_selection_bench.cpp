// The DB grid's operations with records selected, at 100,000 and 200,000 rows of the table of
// vx_db_grid_rows_bench (see grid_rows_fixture.h), each with none, 1 % and every data row
// selected (the third argument: 0, 1, 100), each with its repaint:
// - a reload (the table refreshed: the grid reads its records again and keeps the selection);
// - editing one record;
// - deleting the selection with Ctrl+Delete (with none selected, the focused record);
// - editing one record of a grid grouped by Name, a column with as many values as rows;
// - grouping by Place and then by Name (grouping starts the selection over), the second step
//   alone, and both in one columns update;
// - a filter on one Place and clearing it, in a grid grouped by Name;
// - exporting every row as HTML;
// - adding 250 columns one by one to the loaded grid, and the same inside one update;
// - making the selection: a range over every row (Ctrl+Home, then Shift+Ctrl+End) of a grid
//   in the table's order, of one sorted by Name and of one grouped by Name, whose rows show
//   in another order than their records; one row in a hundred selected by code, one call at a
//   time, away from the focused row (these four at both sizes only, starting with nothing
//   selected).
// The selected rows are spread over the table: one in a hundred, in record order. Beside them
// in the same run, the scan of vx_db_grid_rows_bench. After the runs it prints each figure at
// 200,000 rows against 100,000 and at 100,000 rows against the scan, and the columns one by
// one against one update.
//
// The whole run takes about twenty minutes. TOVAK_GRID_BENCH_SHORT=1 runs a short form in a
// few minutes, to check a change before it lands: one size (100,000 rows, or
// TOVAK_GRID_BENCH_ROWS), the ten filter-and-clear cycles once, and only the figures the grid's
// costs are watched by (a filter given on the command line replaces that choice): the scan, the
// three ranges, grouping by Name, both group columns in one update, the grouped edit, and the
// ten cycles on one and two levels.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/grid_rows_fixture.h"
#include "platform/win/virtual_keys.h"
#include "tests/support/ui_driver.h"

namespace {

using namespace grid_rows;

constexpr int kSelectedShares[] = {0, 1, 100};

bool ShortForm() {
    const char* given = std::getenv("TOVAK_GRID_BENCH_SHORT");
    return given && std::atoi(given) > 0;
}

// 100,000 and 200,000 rows (TOVAK_GRID_BENCH_ROWS=N: N and 2N); the short form the first only.
std::vector<int64_t> RowCounts() {
    const char* rows = std::getenv("TOVAK_GRID_BENCH_ROWS");
    const int64_t n = rows && std::atoi(rows) > 0 ? std::atoi(rows) : 100000;
    if (ShortForm()) return {n};
    return {n, 2 * n};
}

// Every size with every share.
void RowsAndShares(benchmark::internal::Benchmark* b) {
    for (int64_t size : RowCounts())
        for (int share : kSelectedShares) b->Args({size, share});
    // Three repetitions of 66 cases that each build a grid of up to 200,000 rows keep the
    // whole run near twenty minutes.
    b->Repetitions(3)->Unit(benchmark::kMillisecond);
}

// Taking 250 columns away again walks every row once a column, outside the clock and much
// longer than adding them: a few rounds, not as many as fit in the minimum time.
void RowsAndSharesFewRounds(benchmark::internal::Benchmark* b) {
    RowsAndShares(b);
    b->Iterations(2);
}

std::string TempFile(const std::string& Name) {
    return (std::filesystem::temp_directory_path() / ("tovak_grid_selection_" + Name)).string();
}

// A focused grid selecting rows by records, without a question before a delete; grouped by
// the given columns (every group expanded), with a share of its data rows selected.
struct SelectingGrid : GridOnTable {
    UiDriver driver;
    int share;
    SelectingGrid(int Records, int Share, std::vector<TvxDBGridColumn*> (*GroupBy)(GridOnTable&) = nullptr)
        : GridOnTable(Records), share(Share) {
        TvxDBGridOptionsBehavior behavior = grid->OptionsBehavior();
        behavior.Include(edgoMultiSelect);
        grid->SetOptionsBehavior(behavior);
        TvxDBGridOptionsDB db = grid->OptionsDB();
        db.Exclude(edgoConfirmDelete);
        grid->SetOptionsDB(db);
        if (GroupBy) {
            int level = 0;
            for (TvxDBGridColumn* column : GroupBy(*this)) column->SetGroupIndex(level++);
            grid->FullExpand();
        }
        grid->SetFocus();
        UpdateAllWindows();
        Select();
    }
    // The data rows in record order.
    std::vector<TvxTreeListNode*> DataRows() const {
        std::vector<TvxTreeListNode*> rows;
        for (TvxTreeListNode* n = grid->GetFirstNode(); n; n = n->GetNext())
            if (n->Count() == 0) rows.push_back(n);
        std::sort(rows.begin(), rows.end(), [](TvxTreeListNode* a, TvxTreeListNode* b) {
            return NodeAs<TvxDBGridNode>(a)->RecordIndex < NodeAs<TvxDBGridNode>(b)->RecordIndex;
        });
        return rows;
    }
    int Wanted() const { return share == 100 ? table->RecordCount() : share == 1 ? table->RecordCount() / 100 : 0; }
    // Every data row with one range; one in a hundred by focusing each and selecting it, in
    // record order so that the table moves forward only. Then the middle record is current.
    void Select() {
        grid->ClearSelection();
        if (share == 100) {
            TvxTreeListNode* first = grid->GetFirstNode();
            while (first && first->Count() > 0) first = first->Items(0);
            grid->SelectRange(first, grid->GetLastVisibleNode());
        } else if (share == 1) {
            const std::vector<TvxTreeListNode*> rows = DataRows();
            grid->BeginSelection();
            for (size_t i = 50; i < rows.size(); i += 100) {
                rows[i]->SetFocused(true);
                rows[i]->SetSelected(true);
            }
            grid->EndSelection();
        }
        GoToMiddle();
        UpdateAllWindows();
    }
    bool SelectionKept() const { return grid->GetSelectedCount() == Wanted(); }
    void Key(uint16_t Vk, TShiftState Shift = {}) { driver.PressKey(Vk, Shift); }
};

std::vector<TvxDBGridColumn*> ByName(GridOnTable& g) { return {g.name}; }

int Records(benchmark::State& state) { return static_cast<int>(state.range(0)); }
int Share(benchmark::State& state) { return static_cast<int>(state.range(1)); }

void BM_ScanWithDisplayTexts(benchmark::State& state) {
    GridOnTable g(Records(state), false);
    ScanDisplayTexts(g);
    for (auto _ : state) benchmark::DoNotOptimize(ScanDisplayTexts(g));
}
// Making the selection, starting from none, and the scan: every size, three repetitions.
void Sizes(benchmark::internal::Benchmark* b) {
    for (int64_t size : RowCounts()) b->Arg(size);
    b->Repetitions(3)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_ScanWithDisplayTexts)->Apply(Sizes);

void BM_Reload(benchmark::State& state) {
    SelectingGrid g(Records(state), Share(state));
    auto reload = [&g] {
        g.table->Refresh();
        UpdateAllWindows();
    };
    reload();
    for (auto _ : state) {
        reload();
        if (!g.SelectionKept()) {
            state.SkipWithError("the selection changed");
            break;
        }
    }
}
BENCHMARK(BM_Reload)->Apply(RowsAndShares);

void EditCurrent(GridOnTable& g, double& Amount) {
    g.table->Edit();
    g.table->FieldByName("Amount")->SetAsFloat(Amount += 1);
    g.table->Post();
    UpdateAllWindows();
}

template <std::vector<TvxDBGridColumn*> (*GroupBy)(GridOnTable&)>
void EditSelected(benchmark::State& state) {
    SelectingGrid g(Records(state), Share(state), GroupBy);
    double amount = 0;
    EditCurrent(g, amount);
    for (auto _ : state) {
        EditCurrent(g, amount);
        if (!g.SelectionKept() || !g.AllRowsShown()) {
            state.SkipWithError("the selection or the rows changed");
            break;
        }
    }
}
void BM_Edit(benchmark::State& state) { EditSelected<nullptr>(state); }
BENCHMARK(BM_Edit)->Apply(RowsAndShares);
void BM_EditGroupedByName(benchmark::State& state) { EditSelected<ByName>(state); }
BENCHMARK(BM_EditGroupedByName)->Apply(RowsAndShares);

// The records come back outside the clock, and the share is selected again.
void BM_DeleteSelection(benchmark::State& state) {
    SelectingGrid g(Records(state), Share(state));
    int next = g.records;
    for (auto _ : state) {
        const int deleting = std::max(1, g.grid->GetSelectedCount());
        g.Key(VK_DELETE, TShiftState{ssCtrl});
        UpdateAllWindows();
        state.PauseTiming();
        if (g.table->RecordCount() != g.records - deleting || g.grid->GetSelectedCount() != 0 ||
            g.grid->GetCount() != g.table->RecordCount()) {
            state.SkipWithError("the records or their rows stayed");
            break;
        }
        g.table->DisableControls();
        for (int i = 0; i < deleting; ++i) g.Append(++next);
        g.table->EnableControls();
        UpdateAllWindows();
        g.Select();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteSelection)->Apply(RowsAndShares);

// Grouping by Name, a column with as many values as rows, and by two columns: by Place, then
// by Name below it. Grouping starts the selection over: it is made again outside the clock.
enum class Grouping {
    NameAlone,         // the one level, the table read again
    OneAfterTheOther,  // as a user drags one column, then the other
    SecondStepAlone,   // the same, with the clock running for the second step only
    InOneUpdate,       // both in one columns update, as a program groups a grid or a saved layout
                       // comes back: one load builds both levels
};
template <Grouping How>
void GroupBy(benchmark::State& state) {
    SelectingGrid g(Records(state), Share(state));
    const int groups = How == Grouping::NameAlone ? g.records : kPlaces;
    for (auto _ : state) {
        if (How == Grouping::InOneUpdate) g.grid->BeginColumnsUpdate();
        if (How == Grouping::SecondStepAlone) state.PauseTiming();
        if (How != Grouping::NameAlone) g.place->SetGroupIndex(0);
        if (How != Grouping::InOneUpdate) UpdateAllWindows();
        if (How == Grouping::SecondStepAlone) {
            g.Select();
            state.ResumeTiming();
        }
        g.name->SetGroupIndex(How == Grouping::NameAlone ? 0 : 1);
        if (How == Grouping::InOneUpdate) g.grid->EndColumnsUpdate();
        UpdateAllWindows();
        state.PauseTiming();
        if (g.grid->GetCount() != groups) {
            state.SkipWithError("not one group row per value");
            break;
        }
        g.grid->ClearGrouping();
        UpdateAllWindows();
        g.Select();
        state.ResumeTiming();
    }
}
void BM_GroupByName(benchmark::State& state) { GroupBy<Grouping::NameAlone>(state); }
BENCHMARK(BM_GroupByName)->Apply(RowsAndShares);
void BM_GroupByTwoColumns(benchmark::State& state) { GroupBy<Grouping::OneAfterTheOther>(state); }
BENCHMARK(BM_GroupByTwoColumns)->Apply(RowsAndShares);
void BM_GroupBySecondColumn(benchmark::State& state) { GroupBy<Grouping::SecondStepAlone>(state); }
BENCHMARK(BM_GroupBySecondColumn)->Apply(RowsAndShares);
void BM_GroupByTwoColumnsInOneUpdate(benchmark::State& state) { GroupBy<Grouping::InOneUpdate>(state); }
BENCHMARK(BM_GroupByTwoColumnsInOneUpdate)->Apply(RowsAndShares);

void BM_FilterAndClearGroupedByName(benchmark::State& state) {
    SelectingGrid g(Records(state), Share(state), ByName);
    const int selected = g.grid->GetSelectedCount();
    g.FilterOnePlaceAndClear();
    for (auto _ : state) {
        state.PauseTiming();
        if (g.grid->GetSelectedCount() != selected) g.Select();
        state.ResumeTiming();
        g.FilterOnePlaceAndClear();
        if (g.grid->GetCount() != g.records) {
            state.SkipWithError("group rows went missing");
            break;
        }
    }
}
BENCHMARK(BM_FilterAndClearGroupedByName)->Apply(RowsAndShares);

std::vector<TvxDBGridColumn*> ByPlaceThenName(GridOnTable& g) { return {g.place, g.name}; }

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Ten filter-and-clear cycles on one grid, grouped by Name (fourth argument 1) or by Place
// then Name (2); before each, outside the clock, every group expanded and the share selected
// again, so that every cycle starts where the first did. The clock runs for the ten cycles;
// the counters give the first cycle, the tenth, and the mean of the second to the tenth
// (CPU ms): a grid that got slower with every cycle it ran shows here, not in a figure of
// cycles averaged from a fresh grid.
void BM_FilterAndClearTenCycles(benchmark::State& state) {
    constexpr int kCycles = 10;
    const bool twoLevels = state.range(2) == 2;
    double first = 0, tenth = 0, later = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto g = std::make_unique<SelectingGrid>(Records(state), Share(state), twoLevels ? ByPlaceThenName : ByName);
        const int groups = g->grid->GetCount();
        state.ResumeTiming();
        for (int cycle = 1; cycle <= kCycles; ++cycle) {
            if (cycle > 1) {
                state.PauseTiming();
                g->grid->FullExpand();
                if (g->share == 1) {
                    // The same rows as Select picks, selected by code: focusing each on the way
                    // would scroll the grid a thousand times a cycle.
                    g->grid->ClearSelection();
                    const std::vector<TvxTreeListNode*> rows = g->DataRows();
                    g->grid->BeginSelection();
                    for (size_t i = 50; i < rows.size(); i += 100) rows[i]->SetSelected(true);
                    g->grid->EndSelection();
                    g->GoToMiddle();
                    UpdateAllWindows();
                } else {
                    g->Select();
                }
                state.ResumeTiming();
                if (!g->SelectionKept()) {
                    state.SkipWithError("the share was not selected again");
                    break;
                }
            }
            const double start = ThreadCpuMs();
            g->FilterOnePlaceAndClear();
            const double spent = ThreadCpuMs() - start;
            if (cycle == 1) first = spent;
            if (cycle == kCycles) tenth = spent;
            if (cycle > 1) later += spent / (kCycles - 1);
            if (g->grid->GetCount() != groups || !g->AllRowsShown()) {
                state.SkipWithError("group rows or rows went missing");
                break;
            }
        }
        state.PauseTiming();
        g.reset();
        state.ResumeTiming();
    }
    state.counters["first_ms"] = first;
    state.counters["tenth_ms"] = tenth;
    state.counters["later_ms"] = later;
}
BENCHMARK(BM_FilterAndClearTenCycles)->Apply([](benchmark::internal::Benchmark* b) {
    for (int64_t size : RowCounts())
        for (int levels : {1, 2})
            for (int share : kSelectedShares) b->Args({size, share, levels});
    // Ten cycles are ten samples already: the short form runs them once.
    b->Repetitions(ShortForm() ? 1 : 3)->Iterations(1)->Unit(benchmark::kMillisecond);
});

void BM_ExportHTML(benchmark::State& state) {
    SelectingGrid g(Records(state), Share(state));
    const std::string file = TempFile("export.html");
    g.grid->SaveToHTML(file, true);
    for (auto _ : state) g.grid->SaveToHTML(file, true);
    std::filesystem::remove(file);
}
BENCHMARK(BM_ExportHTML)->Apply(RowsAndShares);

template <bool OneUpdate>
void AddColumnsToLoadedGrid(benchmark::State& state) {
    SelectingGrid g(Records(state), Share(state));
    // The columns added belong to an owner of their own, which takes them away again.
    std::unique_ptr<TComponent> owner;
    auto add = [&] {
        owner = std::make_unique<TComponent>(nullptr);
        if (OneUpdate) g.grid->BeginUpdate();
        for (int i = 0; i < 250; ++i)
            g.grid->CreateColumn<TvxDBGridColumn>(owner.get())->SetCaption("C" + std::to_string(i));
        if (OneUpdate) g.grid->EndUpdate();
        UpdateAllWindows();
    };
    auto remove = [&] {
        g.grid->BeginUpdate();
        owner.reset();
        g.grid->EndUpdate();
        UpdateAllWindows();
    };
    add();
    remove();
    for (auto _ : state) {
        add();
        state.PauseTiming();
        if (!g.SelectionKept() || g.grid->ColumnCount() != 255) {
            state.SkipWithError("the selection or the columns changed");
            break;
        }
        remove();
        state.ResumeTiming();
    }
}
void BM_AddColumnsOneByOne(benchmark::State& state) { AddColumnsToLoadedGrid<false>(state); }
BENCHMARK(BM_AddColumnsOneByOne)->Apply(RowsAndSharesFewRounds);
void BM_AddColumnsInOneUpdate(benchmark::State& state) { AddColumnsToLoadedGrid<true>(state); }
BENCHMARK(BM_AddColumnsInOneUpdate)->Apply(RowsAndSharesFewRounds);

// The process's resident memory in KiB, now (VmRSS) or at its peak (VmHWM).
long ResidentKiB(const char* Which) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(Which, 0) == 0) return std::atol(line.c_str() + std::strlen(Which) + 1);
    return 0;
}
// The peak starts again from what the process holds now.
void ResetResidentPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Every row by a range from the first row to the last, as a user selects them; the selection
// is cleared outside the clock. The first range, before the clock, gives how much the
// process's peak memory rose for it (peak_MiB).
enum class Shown { InRecordOrder, SortedByName, GroupedByName };
template <Shown How>
void SelectEveryRowShown(benchmark::State& state) {
    SelectingGrid g(Records(state), 0, How == Shown::GroupedByName ? ByName : nullptr);
    if (How == Shown::SortedByName) g.name->SetSorted(csUp);
    UpdateAllWindows();
    auto select = [&g] { SelectEveryRowByKeys(g.driver); };
    ResetResidentPeak();
    const long before = ResidentKiB("VmRSS:");
    select();
    state.counters["peak_MiB"] = static_cast<double>(ResidentKiB("VmHWM:") - before) / 1024;
    for (auto _ : state) {
        state.PauseTiming();
        if (g.grid->GetSelectedCount() != g.records) {
            state.SkipWithError("not every data row selected");
            break;
        }
        g.grid->ClearSelection();
        UpdateAllWindows();
        state.ResumeTiming();
        select();
    }
}
void BM_SelectRangeInRecordOrder(benchmark::State& state) { SelectEveryRowShown<Shown::InRecordOrder>(state); }
BENCHMARK(BM_SelectRangeInRecordOrder)->Apply(Sizes);
void BM_SelectRangeSortedByName(benchmark::State& state) { SelectEveryRowShown<Shown::SortedByName>(state); }
BENCHMARK(BM_SelectRangeSortedByName)->Apply(Sizes);
void BM_SelectRangeGroupedByName(benchmark::State& state) { SelectEveryRowShown<Shown::GroupedByName>(state); }
BENCHMARK(BM_SelectRangeGroupedByName)->Apply(Sizes);

// One data row in a hundred, in record order, each selected on its own (no selection batch)
// while the focus stays on the middle row; then the repaint.
void BM_SelectOnePercentByCode(benchmark::State& state) {
    SelectingGrid g(Records(state), 0);
    const std::vector<TvxTreeListNode*> rows = g.DataRows();
    TvxTreeListNode* focused = rows[rows.size() / 2];
    focused->SetFocused(true);
    UpdateAllWindows();
    auto select = [&] {
        for (size_t i = 50; i < rows.size(); i += 100)
            if (rows[i] != focused) rows[i]->SetSelected(true);
        UpdateAllWindows();
    };
    select();
    for (auto _ : state) {
        state.PauseTiming();
        if (g.grid->GetSelectedCount() != g.records / 100 || g.grid->GetFocusedNode() != focused) {
            state.SkipWithError("not one row in a hundred selected, or the focus moved");
            break;
        }
        g.grid->ClearSelection();
        UpdateAllWindows();
        state.ResumeTiming();
        select();
    }
}
BENCHMARK(BM_SelectOnePercentByCode)->Apply(Sizes);

// The figures the short form runs, unless a filter is given.
constexpr const char* kShortFormFilter =
    "--benchmark_filter=^BM_(ScanWithDisplayTexts|SelectRange[A-Za-z]+|GroupByName/[0-9]+/0|"
    "GroupByTwoColumnsInOneUpdate/[0-9]+/0|EditGroupedByName/[0-9]+/(0|100)|FilterAndClearTenCycles)/";

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    std::string filter = kShortFormFilter;
    const bool filterGiven = std::any_of(
        args.begin() + 1, args.end(), [](const char* a) { return std::string(a).rfind("--benchmark_filter", 0) == 0; });
    if (ShortForm() && !filterGiven) args.push_back(filter.data());
    const std::vector<int64_t> sizes = RowCounts();
    const std::string small = std::to_string(sizes.front());
    const std::string large = sizes.size() > 1 ? std::to_string(sizes.back()) : "";
    return RunWithRatios(static_cast<int>(args.size()), args.data(), [&](const RatioReporter& reporter) {
        // Growth: at the larger size against the smaller, "-" where only one size ran.
        auto growth = [&](const std::string& Name, const std::string& Tail) {
            const double a = reporter.Time(Name + "/" + small + Tail);
            const double b = large.empty() ? 0 : reporter.Time(Name + "/" + large + Tail);
            char text[16] = "    -";
            if (a > 0 && b > 0) std::snprintf(text, sizeof text, "%5.2f", b / a);
            return std::string(text);
        };
        const double scan = reporter.Time("BM_ScanWithDisplayTexts/" + small);
        for (const char* what : {"Reload", "Edit", "DeleteSelection", "EditGroupedByName", "GroupByName",
                                 "GroupByTwoColumns", "GroupBySecondColumn", "GroupByTwoColumnsInOneUpdate",
                                 "FilterAndClearGroupedByName", "ExportHTML", "AddColumnsOneByOne"})
            for (int share : kSelectedShares) {
                const std::string name = std::string("BM_") + what, tail = "/" + std::to_string(share);
                const double time = reporter.Time(name + "/" + small + tail);
                if (time <= 0) continue;
                std::printf("ratio %-28s %3d %% selected  growth = %s   %s rows / scan = %5.2f\n", what, share,
                            growth(name, tail).c_str(), small.c_str(), scan > 0 ? time / scan : 0);
            }
        // Each size against the scan at that size.
        for (int levels : {1, 2})
            for (int share : kSelectedShares)
                for (int64_t rows : sizes) {
                    const std::string size = std::to_string(rows);
                    const std::string name = "BM_FilterAndClearTenCycles/" + size + "/" + std::to_string(share) + "/" +
                                             std::to_string(levels);
                    const double base = reporter.Time("BM_ScanWithDisplayTexts/" + size);
                    const double first = reporter.Counter(name, "first_ms");
                    const double tenth = reporter.Counter(name, "tenth_ms");
                    const double later = reporter.Counter(name, "later_ms");
                    if (first <= 0 || base <= 0) continue;
                    std::printf(
                        "ratio filter and clear, %d level(s), %3d %% selected, %s rows: first / scan = %5.2f   "
                        "tenth / scan = %5.2f   2nd-10th / scan = %5.2f\n",
                        levels, share, size.c_str(), first / base, tenth / base, later / base);
                }
        for (const char* what : {"SelectRangeInRecordOrder", "SelectRangeSortedByName", "SelectRangeGroupedByName",
                                 "SelectOnePercentByCode"}) {
            const std::string name = std::string("BM_") + what;
            const double time = reporter.Time(name + "/" + small);
            if (time <= 0) continue;
            std::printf("ratio %-28s growth = %s   %s rows / scan = %5.2f\n", what, growth(name, "").c_str(),
                        small.c_str(), scan > 0 ? time / scan : 0);
        }
        for (int share : kSelectedShares)
            for (int64_t rows : sizes) {
                const std::string tail = "/" + std::to_string(rows) + "/" + std::to_string(share);
                const double one = reporter.Time("BM_AddColumnsOneByOne" + tail),
                             batch = reporter.Time("BM_AddColumnsInOneUpdate" + tail);
                if (one > 0 && batch > 0)
                    std::printf("ratio 250 columns on %lld rows, %3d %% selected: one by one / in one update = %.2f\n",
                                static_cast<long long>(rows), share, one / batch);
            }
    });
}
