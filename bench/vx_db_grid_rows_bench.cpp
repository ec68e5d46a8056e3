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
// Each size runs three times. After the runs it prints, from the median CPU times, each
// figure at 200,000 rows against 100,000, each figure at 100,000 rows against the scan, 250
// columns one by one against one update, and the time of one move.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "grid/core/vx_db_grid.h"
#include "grid/columns/vx_db_grid_column.h"
#include "grid/filter/vx_db_grid_filter.h"
#include "memdata/vx_mem_data.h"
#include "platform/db/db.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/win/paint.h"

namespace {

constexpr int kPlaces = 100;
constexpr int kMoves = 10;

std::string PlaceOf(int Id) {
    return "Place " + std::to_string(Id % kPlaces);
}

struct GridOnTable {
    TForm* form;
    TvxMemData* table;
    TDataSource* source;
    TvxDBGrid* grid;
    TvxDBGridColumn* name = nullptr;
    TvxDBGridColumn* place = nullptr;
    int records;

    explicit GridOnTable(int Records, bool Bound = true) : records(Records) {
        form = new TForm(EnsureApplication());
        form->SetBounds(0, 0, 1024, 768);
        EnsureApplication()->FormCreated(form);
        table = new TvxMemData(form);
        Field<TIntegerField>("ID");
        Field<TStringField>("Name", 20);
        Field<TStringField>("Place", 20);
        Field<TBooleanField>("Active");
        Field<TFloatField>("Amount");
        table->Open();
        table->DisableControls();
        for (int i = 1; i <= Records; ++i) Append(i);
        table->EnableControls();
        table->First();
        source = new TDataSource(form);
        source->SetDataSet(table);
        grid = new TvxDBGrid(form);
        grid->SetParent(form);
        grid->SetAlign(alClient);
        if (Bound) {
            grid->SetKeyField("ID");
            TvxDBGridOptionsDB db = grid->OptionsDB();
            db.Include(edgoLoadAllRecords);
            grid->SetOptionsDB(db);
            for (const char* field : {"ID", "Name", "Place", "Active", "Amount"}) {
                auto* column = grid->CreateColumn<TvxDBGridColumn>();
                column->SetFieldName(field);
                if (std::string(field) == "Name") name = column;
                if (std::string(field) == "Place") place = column;
                if (std::string(field) == "Amount") column->SetSummaryFooterType(cstSum);
            }
            grid->Filter()->SetActive(true);
            grid->SetDataSource(source);
        }
        form->Show();
        UpdateAllWindows();
    }
    ~GridOnTable() { ResetApplication(); }
    template <class F>
    void Field(const std::string& Name, int Size = 0) {
        auto* f = new F(form);
        f->SetFieldName(Name);
        if (Size > 0) f->SetSize(Size);
        f->SetDataSet(table);
    }
    void Append(int Id) {
        table->Append();
        table->FieldByName("ID")->SetAsInteger(Id);
        table->FieldByName("Name")->SetAsString("Name " + std::to_string(Id));
        table->FieldByName("Place")->SetAsString(PlaceOf(Id));
        table->FieldByName("Active")->SetAsBoolean(Id % 3 == 0);
        table->FieldByName("Amount")->SetAsFloat(Id * 0.25);
        table->Post();
    }
    // A record in the middle of the table, made current.
    void GoToMiddle() { table->Locate("ID", Variant(records / 2), {}); }
    bool AllRowsShown() const { return grid->FooterRecordCount() == table->RecordCount(); }
};

// Each size three times: the ratios take the middle run.
void Rows(benchmark::internal::Benchmark* b) {
    b->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond)->Repetitions(3)->DisplayAggregatesOnly(true);
}

void BM_ScanWithDisplayTexts(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)), false);
    for (auto _ : state) {
        size_t length = 0;
        g.table->DisableControls();
        for (g.table->First(); !g.table->Eof(); g.table->Next())
            for (int f = 0; f < g.table->FieldCount(); ++f) length += g.table->Fields().Fields(f)->DisplayText().size();
        g.table->EnableControls();
        benchmark::DoNotOptimize(length);
    }
}
BENCHMARK(BM_ScanWithDisplayTexts)->Apply(Rows);

void BM_FilterHiding99Percent(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        g.grid->Filter()->SetFilterValue(g.place, Variant(PlaceOf(7)), PlaceOf(7));
        UpdateAllWindows();
        state.PauseTiming();
        if (g.grid->GetCount() != g.records / kPlaces) state.SkipWithError("the filter kept other rows");
        g.grid->ClearFilter();
        UpdateAllWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FilterHiding99Percent)->Apply(Rows);

void BM_ClearFilter(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        g.grid->Filter()->SetFilterValue(g.place, Variant(PlaceOf(7)), PlaceOf(7));
        UpdateAllWindows();
        state.ResumeTiming();
        g.grid->ClearFilter();
        UpdateAllWindows();
        state.PauseTiming();
        if (g.grid->GetCount() != g.records) state.SkipWithError("rows stayed hidden");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ClearFilter)->Apply(Rows);

void BM_GroupByUniqueColumn(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        g.name->SetGroupIndex(0);
        UpdateAllWindows();
        state.PauseTiming();
        if (g.grid->GetCount() != g.records) state.SkipWithError("not one group row per record");
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
    for (auto _ : state) {
        g.name->SetGroupIndex(0);
        UpdateAllWindows();
        state.PauseTiming();
        if (g.grid->GetCount() != g.records) state.SkipWithError("not one group row per record");
        g.name->SetGroupIndex(-1);
        UpdateAllWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SmartGroupByUniqueColumn)->Apply(Rows);

struct GroupedGrid : GridOnTable {
    explicit GroupedGrid(int Records) : GridOnTable(Records) {
        place->SetGroupIndex(0);
        grid->FullExpand();
        UpdateAllWindows();
    }
};

void BM_EditInGroupedGrid(benchmark::State& state) {
    GroupedGrid g(static_cast<int>(state.range(0)));
    double amount = 0;
    for (auto _ : state) {
        state.PauseTiming();
        g.GoToMiddle();
        UpdateAllWindows();
        state.ResumeTiming();
        g.table->Edit();
        g.table->FieldByName("Amount")->SetAsFloat(amount += 1);
        g.table->Post();
        UpdateAllWindows();
    }
    if (!g.AllRowsShown()) state.SkipWithError("rows went missing");
}
BENCHMARK(BM_EditInGroupedGrid)->Apply(Rows);

void BM_AppendInGroupedGrid(benchmark::State& state) {
    GroupedGrid g(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        g.Append(g.records + 1);
        UpdateAllWindows();
        state.PauseTiming();
        if (g.grid->FooterRecordCount() != g.records + 1) state.SkipWithError("the new record has no row");
        g.table->Last();
        g.table->Delete();
        UpdateAllWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AppendInGroupedGrid)->Apply(Rows);

void BM_DeleteInGroupedGrid(benchmark::State& state) {
    GroupedGrid g(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        g.GoToMiddle();
        UpdateAllWindows();
        state.ResumeTiming();
        g.table->Delete();
        UpdateAllWindows();
        state.PauseTiming();
        if (g.grid->FooterRecordCount() != g.records - 1) state.SkipWithError("the row stayed");
        g.Append(g.records / 2);
        UpdateAllWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteInGroupedGrid)->Apply(Rows);

// kMoves moves a run.
void BM_MoveFirstRowToTheEnd(benchmark::State& state) {
    GridOnTable g(100000);
    for (auto _ : state) {
        for (int m = 0; m < kMoves; ++m) {
            g.grid->GetFirstNode()->MoveTo(g.grid->GetItem(g.grid->GetCount() - 1), nmAdd);
            UpdateAllWindows();
        }
    }
}
BENCHMARK(BM_MoveFirstRowToTheEnd)->Unit(benchmark::kMillisecond);

void AddColumns(TvxDBGrid* Grid) {
    for (int i = 0; i < 250; ++i) Grid->CreateColumn<TvxDBGridColumn>()->SetCaption("C" + std::to_string(i));
}

void BM_AddColumnsOneByOne(benchmark::State& state) {
    GridOnTable g(0, false);
    for (auto _ : state) {
        AddColumns(g.grid);
        UpdateAllWindows();
        state.PauseTiming();
        g.grid->DestroyColumns();
        UpdateAllWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddColumnsOneByOne)->Unit(benchmark::kMillisecond);

void BM_AddColumnsInOneUpdate(benchmark::State& state) {
    GridOnTable g(0, false);
    for (auto _ : state) {
        g.grid->BeginUpdate();
        AddColumns(g.grid);
        g.grid->EndUpdate();
        UpdateAllWindows();
        state.PauseTiming();
        g.grid->DestroyColumns();
        UpdateAllWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddColumnsInOneUpdate)->Unit(benchmark::kMillisecond);

// Keeps the CPU time of every run (the median of repeated ones), to set the runs against
// each other at the end: on a shared machine CPU time moves less than wall time.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            if (r.run_type == Run::RT_Iteration || r.aggregate_name == "median") {
                const std::string args = r.run_name.args.empty() ? "" : "/" + r.run_name.args;
                times_[r.run_name.function_name + args] = r.GetAdjustedCPUTime();
            }
        }
    }
    void PrintRatios() const {
        const double scan = Time("BM_ScanWithDisplayTexts/100000");
        for (const char* what : {"FilterHiding99Percent", "ClearFilter", "GroupByUniqueColumn", "SmartGroupByUniqueColumn",
                                 "EditInGroupedGrid", "AppendInGroupedGrid", "DeleteInGroupedGrid"}) {
            const std::string name = std::string("BM_") + what;
            const double small = Time(name + "/100000"), large = Time(name + "/200000");
            if (small <= 0) continue;
            std::printf("ratio %-24s 200k / 100k = %5.2f   100k / scan = %5.2f\n", what, large > 0 ? large / small : 0,
                        scan > 0 ? small / scan : 0);
        }
        const double one = Time("BM_AddColumnsOneByOne"), batch = Time("BM_AddColumnsInOneUpdate");
        if (one > 0 && batch > 0) std::printf("ratio 250 columns one by one / in one update = %.2f\n", one / batch);
        if (const double moves = Time("BM_MoveFirstRowToTheEnd"); moves > 0)
            std::printf("one move of the first of 100,000 rows to the end: %.2f ms\n", moves / kMoves);
    }

  private:
    double Time(const std::string& Name) const {
        auto it = times_.find(Name);
        return it == times_.end() ? 0 : it->second;
    }
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
