#pragma once
// What the benchmarks of the DB grid against its rows share: a grid loading every record of a
// memory table of N records (ID in record order, a unique Name whose text order is not the
// record order, a Place with 100 values, Active, Amount with a footer sum) in a 1024 x 768
// window; the run's defaults; and the reporter that sets the median CPU times against each
// other after the runs.
//
// The defaults make the figures steadier on a shared machine without changing what is
// measured: five repetitions of each size, reported by their median; the repetitions of all
// benchmarks in a random interleaving, so that a change in the machine's load falls on both
// sizes alike; every grid built on a heap given back to the system first, so that both sizes
// start from the same memory state. Each benchmark runs its operation once before it starts
// the clock (warm-up). A flag given on the command line overrides its default.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "grid/columns/vx_db_grid_column.h"
#include "grid/core/vx_db_grid.h"
#include "grid/filter/vx_db_grid_filter.h"
#include "memdata/vx_mem_data.h"
#include "platform/db/db.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/win/paint.h"
#include "platform/win/virtual_keys.h"
#include "tests/support/ui_driver.h"

namespace grid_rows {

constexpr int kPlaces = 100;

inline std::string PlaceOf(int Id) { return "Place " + std::to_string(Id % kPlaces); }

struct GridOnTable {
    TForm* form;
    TvxMemData* table;
    TDataSource* source;
    TvxDBGrid* grid;
    TvxDBGridColumn* id = nullptr;
    TvxDBGridColumn* name = nullptr;
    TvxDBGridColumn* place = nullptr;
    TvxDBGridColumn* amount = nullptr;
    int records;

    explicit GridOnTable(int Records, bool Bound = true) : records(Records) {
        // Whatever the benchmark before left in the heap goes back to the system.
        malloc_trim(0);
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
                if (std::string(field) == "ID") id = column;
                if (std::string(field) == "Name") name = column;
                if (std::string(field) == "Place") place = column;
                if (std::string(field) == "Amount") {
                    amount = column;
                    column->SetSummaryFooterType(cstSum);
                }
            }
            grid->Filter()->SetActive(true);
            grid->SetDataSource(source);
        }
        form->Show();
        UpdateAllWindows();
    }
    ~GridOnTable() {
        ResetApplication();
        malloc_trim(0);
    }
    GridOnTable(const GridOnTable&) = delete;
    GridOnTable& operator=(const GridOnTable&) = delete;

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
    void FilterOnePlace() { grid->Filter()->SetFilterValue(place, Variant(PlaceOf(7)), PlaceOf(7)); }
    // The filter on one Place and its clearing, each with its repaint.
    void FilterOnePlaceAndClear() {
        FilterOnePlace();
        UpdateAllWindows();
        grid->ClearFilter();
        UpdateAllWindows();
    }
    // The rows shown, group rows included (the visible-node list).
    int ShownRows() const { return grid->GetAbsoluteCount(); }
};

// The plain scan every grid figure is set against: each record's every field's display text,
// as a grid reads it to show a row.
inline size_t ScanDisplayTexts(GridOnTable& g) {
    size_t length = 0;
    g.table->DisableControls();
    for (g.table->First(); !g.table->Eof(); g.table->Next())
        for (int f = 0; f < g.table->FieldCount(); ++f) length += g.table->Fields().Fields(f)->DisplayText().size();
    g.table->EnableControls();
    return length;
}

// A grid grouped by Place, every group expanded.
struct GroupedGrid : GridOnTable {
    explicit GroupedGrid(int Records) : GridOnTable(Records) {
        place->SetGroupIndex(0);
        grid->FullExpand();
        UpdateAllWindows();
    }
};

// Ctrl+Home, then Shift+Ctrl+End on the focused grid: every row shown selected as a user
// selects them; then the repaint.
inline void SelectEveryRowByKeys(UiDriver& Driver) {
    Driver.PressKey(VK_HOME, TShiftState{ssCtrl});
    Driver.PressKey(VK_END, TShiftState{ssCtrl, ssShift});
    UpdateAllWindows();
}

// 100,000 and 200,000 rows; TOVAK_GRID_BENCH_ROWS=N runs N and 2N instead (a quick look,
// or a run under valgrind). The ratios are printed for the default sizes only.
inline void Rows(benchmark::internal::Benchmark* b) {
    const char* rows = std::getenv("TOVAK_GRID_BENCH_ROWS");
    const int64_t n = rows && std::atoi(rows) > 0 ? std::atoi(rows) : 100000;
    b->Arg(n)->Arg(2 * n)->Unit(benchmark::kMillisecond);
}

// Keeps the median CPU time of every benchmark (on a shared machine CPU time moves less than
// wall time), to set the runs against each other at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            // Without repetitions the one run stands for its median.
            if (r.aggregate_name == "median" || (r.run_type == Run::RT_Iteration && r.repetitions <= 1)) {
                const std::string args = r.run_name.args.empty() ? "" : "/" + r.run_name.args;
                times_[r.run_name.function_name + args] = r.GetAdjustedCPUTime();
                for (const auto& [name, counter] : r.counters)
                    counters_[r.run_name.function_name + args + "|" + name] = counter.value;
            }
        }
    }
    double Time(const std::string& Name) const {
        auto it = times_.find(Name);
        return it == times_.end() ? 0 : it->second;
    }
    // The median of a counter of Name; 0 when there is none.
    double Counter(const std::string& Name, const std::string& CounterName) const {
        auto it = counters_.find(Name + "|" + CounterName);
        return it == counters_.end() ? 0 : it->second;
    }
    // Each figure at 200,000 rows against 100,000 and at 100,000 against the baseline.
    void PrintRowRatios(const std::vector<std::string>& Names, const std::string& Baseline) const {
        const double base = Time(Baseline + "/100000");
        for (const std::string& what : Names) {
            const std::string name = "BM_" + what;
            const double small = Time(name + "/100000"), large = Time(name + "/200000");
            if (small <= 0) continue;
            std::printf("ratio %-28s 200k / 100k = %5.2f   100k / scan = %5.2f\n", what.c_str(),
                        large > 0 ? large / small : 0, base > 0 ? small / base : 0);
        }
    }

private:
    std::map<std::string, double> times_;
    std::map<std::string, double> counters_;
};

// Runs the benchmarks with the defaults above (a flag given overrides its default), then
// Print with the reporter.
template <class F>
int RunWithRatios(int argc, char** argv, F Print) {
    std::vector<char*> args(argv, argv + argc);
    std::vector<std::string> defaults;
    auto given = [&](const char* flag) {
        for (int i = 1; i < argc; ++i)
            if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0) return true;
        return false;
    };
    if (!given("--benchmark_repetitions")) defaults.push_back("--benchmark_repetitions=5");
    if (!given("--benchmark_enable_random_interleaving"))
        defaults.push_back("--benchmark_enable_random_interleaving=true");
    if (!given("--benchmark_display_aggregates_only")) defaults.push_back("--benchmark_display_aggregates_only=true");
    for (std::string& d : defaults) args.push_back(d.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    Print(reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace grid_rows
