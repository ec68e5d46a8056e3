// How the DB grid's operations grow with its rows. A grid loading every record of a memory
// table of 100,000 or 200,000 records (ID in record order, a unique Name whose text order is
// not the record order, a Place with 100 values, Active, Amount with a footer sum), shown in
// a 1024 x 768 window; each figure includes the repaint that follows the operation:
// - a filter on one Place (it hides 99 % of the rows), and clearing it;
// - grouping by Name, a column with as many values as rows, by reading the table again and
//   (with the smart reload) by regrouping the loaded rows;
// - editing, appending and deleting one record while the grid is grouped by Place;
// - moving the first of 100,000 rows to the end, without an update lock.
// Beside them, in the same run: a plain scan of the same table reading every field's
// display text, and adding 250 columns to an empty grid inside one update.
// Each size runs five times, the repetitions of all benchmarks interleaved (see
// grid_rows_fixture.h). After the runs it prints, from the median CPU times, each figure at
// 200,000 rows against 100,000, each figure at 100,000 rows against the scan, 250 columns one
// by one against one update, and the time of one move.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/grid_rows_fixture.h"

namespace {

using namespace grid_rows;

constexpr int kMoves = 10;

void BM_ScanWithDisplayTexts(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)), false);
    ScanDisplayTexts(g);
    for (auto _ : state) benchmark::DoNotOptimize(ScanDisplayTexts(g));
}
BENCHMARK(BM_ScanWithDisplayTexts)->Apply(Rows);

void BM_FilterHiding99Percent(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    g.FilterOnePlaceAndClear();
    for (auto _ : state) {
        g.FilterOnePlace();
        UpdateAllWindows();
        state.PauseTiming();
        if (g.grid->GetCount() != g.records / kPlaces) {
            state.SkipWithError("the filter kept other rows");
            break;
        }
        g.grid->ClearFilter();
        UpdateAllWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FilterHiding99Percent)->Apply(Rows);

void BM_ClearFilter(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    g.FilterOnePlaceAndClear();
    for (auto _ : state) {
        state.PauseTiming();
        g.FilterOnePlace();
        UpdateAllWindows();
        state.ResumeTiming();
        g.grid->ClearFilter();
        UpdateAllWindows();
        state.PauseTiming();
        if (g.grid->GetCount() != g.records) {
            state.SkipWithError("rows stayed hidden");
            break;
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ClearFilter)->Apply(Rows);

void GroupAndUngroup(GridOnTable& g) {
    g.name->SetGroupIndex(0);
    UpdateAllWindows();
    g.name->SetGroupIndex(-1);
    UpdateAllWindows();
}

void BM_GroupByUniqueColumn(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    GroupAndUngroup(g);
    for (auto _ : state) {
        g.name->SetGroupIndex(0);
        UpdateAllWindows();
        state.PauseTiming();
        if (g.grid->GetCount() != g.records) {
            state.SkipWithError("not one group row per record");
            break;
        }
        g.name->SetGroupIndex(-1);
        UpdateAllWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_GroupByUniqueColumn)->Apply(Rows);

// The same with the smart reload: the loaded rows are regrouped without reading the table.
void BM_SmartGroupByUniqueColumn(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    TvxDBGridOptions options = g.grid->GridOptions();
    options.Include(egoSmartReload);
    g.grid->SetGridOptions(options);
    GroupAndUngroup(g);
    for (auto _ : state) {
        g.name->SetGroupIndex(0);
        UpdateAllWindows();
        state.PauseTiming();
        if (g.grid->GetCount() != g.records) {
            state.SkipWithError("not one group row per record");
            break;
        }
        g.name->SetGroupIndex(-1);
        UpdateAllWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SmartGroupByUniqueColumn)->Apply(Rows);

void EditMiddle(GroupedGrid& g, double Amount) {
    g.table->Edit();
    g.table->FieldByName("Amount")->SetAsFloat(Amount);
    g.table->Post();
    UpdateAllWindows();
}

void BM_EditInGroupedGrid(benchmark::State& state) {
    GroupedGrid g(static_cast<int>(state.range(0)));
    double amount = 0;
    g.GoToMiddle();
    EditMiddle(g, amount += 1);
    for (auto _ : state) {
        state.PauseTiming();
        g.GoToMiddle();
        UpdateAllWindows();
        state.ResumeTiming();
        EditMiddle(g, amount += 1);
    }
    if (!g.AllRowsShown()) state.SkipWithError("rows went missing");
}
BENCHMARK(BM_EditInGroupedGrid)->Apply(Rows);

void DeleteLast(GroupedGrid& g) {
    g.table->Last();
    g.table->Delete();
    UpdateAllWindows();
}

void BM_AppendInGroupedGrid(benchmark::State& state) {
    GroupedGrid g(static_cast<int>(state.range(0)));
    g.Append(g.records + 1);
    UpdateAllWindows();
    DeleteLast(g);
    for (auto _ : state) {
        g.Append(g.records + 1);
        UpdateAllWindows();
        state.PauseTiming();
        if (g.grid->FooterRecordCount() != g.records + 1) {
            state.SkipWithError("the new record has no row");
            break;
        }
        DeleteLast(g);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AppendInGroupedGrid)->Apply(Rows);

void BM_DeleteInGroupedGrid(benchmark::State& state) {
    GroupedGrid g(static_cast<int>(state.range(0)));
    auto deleteMiddle = [&g] {
        g.table->Delete();
        UpdateAllWindows();
    };
    auto putBack = [&g] {
        g.Append(g.records / 2);
        UpdateAllWindows();
    };
    g.GoToMiddle();
    deleteMiddle();
    putBack();
    for (auto _ : state) {
        state.PauseTiming();
        g.GoToMiddle();
        UpdateAllWindows();
        state.ResumeTiming();
        deleteMiddle();
        state.PauseTiming();
        if (g.grid->FooterRecordCount() != g.records - 1) {
            state.SkipWithError("the row stayed");
            break;
        }
        putBack();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteInGroupedGrid)->Apply(Rows);

void MoveFirstRowsToTheEnd(GridOnTable& g) {
    for (int m = 0; m < kMoves; ++m) {
        g.grid->GetFirstNode()->MoveTo(g.grid->GetItem(g.grid->GetCount() - 1), nmAdd);
        UpdateAllWindows();
    }
}

// kMoves moves a run.
void BM_MoveFirstRowToTheEnd(benchmark::State& state) {
    GridOnTable g(100000);
    MoveFirstRowsToTheEnd(g);
    for (auto _ : state) MoveFirstRowsToTheEnd(g);
}
BENCHMARK(BM_MoveFirstRowToTheEnd)->Unit(benchmark::kMillisecond);

void AddColumns(TvxDBGrid* Grid) {
    for (int i = 0; i < 250; ++i) Grid->CreateColumn<TvxDBGridColumn>()->SetCaption("C" + std::to_string(i));
}

void AddColumnsOneByOne(GridOnTable& g) {
    AddColumns(g.grid);
    UpdateAllWindows();
}

void AddColumnsInOneUpdate(GridOnTable& g) {
    g.grid->BeginUpdate();
    AddColumns(g.grid);
    g.grid->EndUpdate();
    UpdateAllWindows();
}

template <void (*Add)(GridOnTable&)>
void BM_AddColumns(benchmark::State& state) {
    GridOnTable g(0, false);
    auto destroy = [&g] {
        g.grid->DestroyColumns();
        UpdateAllWindows();
    };
    Add(g);
    destroy();
    for (auto _ : state) {
        Add(g);
        state.PauseTiming();
        destroy();
        state.ResumeTiming();
    }
}
void BM_AddColumnsOneByOne(benchmark::State& state) { BM_AddColumns<AddColumnsOneByOne>(state); }
BENCHMARK(BM_AddColumnsOneByOne)->Unit(benchmark::kMillisecond);
void BM_AddColumnsInOneUpdate(benchmark::State& state) { BM_AddColumns<AddColumnsInOneUpdate>(state); }
BENCHMARK(BM_AddColumnsInOneUpdate)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunWithRatios(argc, argv, [](const RatioReporter& reporter) {
        reporter.PrintRowRatios(
            {"FilterHiding99Percent", "ClearFilter", "GroupByUniqueColumn", "SmartGroupByUniqueColumn",
             "EditInGroupedGrid", "AppendInGroupedGrid", "DeleteInGroupedGrid"},
            "BM_ScanWithDisplayTexts");
        const double one = reporter.Time("BM_AddColumnsOneByOne"), batch = reporter.Time("BM_AddColumnsInOneUpdate");
        if (one > 0 && batch > 0) std::printf("ratio 250 columns one by one / in one update = %.2f\n", one / batch);
        if (const double moves = reporter.Time("BM_MoveFirstRowToTheEnd"); moves > 0)
            std::printf("one move of the first of 100,000 rows to the end: %.2f ms\n", moves / kMoves);
    });
}
