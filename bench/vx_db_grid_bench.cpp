// The DB grid over a memory table of 100,000 records of five fields (integer, two texts,
// Boolean, float) in a 1024 x 768 window: from activating the data source to the end of the
// first paint, once with every record loaded as a row and once as a window onto the records
// on screen.
//
// Rows that grow with their wrapped texts (a memo of one to three lines per record), at
// 100,000 and 200,000 records, each against the same grid and table with rows of one height:
// a page scrolled and painted, and a record changed (which reloads every row when all are
// loaded).
// Scrolling costs what the page costs, whatever the table's size; a change costs what the
// reload costs, twice as much for twice the records.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "grid/columns/vx_db_grid_column.h"
#include "grid/columns/vx_db_grid_columns.h"
#include "grid/core/vx_db_grid.h"
#include "memdata/vx_mem_data.h"
#include "platform/db/db.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/win/paint.h"

namespace {

constexpr int kRecords = 100000;

struct GridOnTable {
    TForm* form;
    TvxMemData* table;
    TDataSource* source;
    TvxDBGrid* grid;

    // With notes: a memo column of one to three lines a record, its rows growing with
    // their texts when autoHeight.
    explicit GridOnTable(bool loadAll, int records = kRecords, bool notes = false, bool autoHeight = false) {
        form = new TForm(EnsureApplication());
        form->SetBounds(0, 0, 1024, 768);
        EnsureApplication()->FormCreated(form);
        table = new TvxMemData(form);
        Field<TIntegerField>("ID");
        Field<TStringField>("Name", 20);
        Field<TStringField>("Place", 20);
        Field<TBooleanField>("Active");
        Field<TFloatField>("Amount");
        if (notes) Field<TMemoField>("Note");
        table->Open();
        table->DisableControls();
        for (int i = 1; i <= records; ++i) {
            table->Append();
            table->FieldByName("ID")->SetAsInteger(i);
            table->FieldByName("Name")->SetAsString("Name " + std::to_string(i));
            table->FieldByName("Place")->SetAsString("Place " + std::to_string(i % 97));
            table->FieldByName("Active")->SetAsBoolean(i % 3 == 0);
            table->FieldByName("Amount")->SetAsFloat(i * 0.25);
            if (notes) table->FieldByName("Note")->SetAsString(Note(i, i % 3 + 1));
            table->Post();
        }
        table->EnableControls();
        table->First();
        source = new TDataSource(form);
        source->SetEnabled(false);
        source->SetDataSet(table);
        grid = new TvxDBGrid(form);
        grid->SetParent(form);
        grid->SetAlign(alClient);
        grid->SetKeyField("RecId");
        if (loadAll) {
            TvxDBGridOptionsDB db = grid->OptionsDB();
            db.Include(edgoLoadAllRecords);
            grid->SetOptionsDB(db);
        }
        for (const char* name : {"ID", "Name", "Place", "Active", "Amount"}) {
            auto* column = grid->CreateColumn<TvxDBGridColumn>();
            column->SetFieldName(name);
        }
        if (notes) {
            auto* note = grid->CreateColumn<TvxDBGridMemoColumn>();
            note->SetFieldName("Note");
            note->SetWidth(200);
        }
        if (autoHeight) grid->SetOptionsView(grid->OptionsView().Include(edgoRowAutoHeight));
        grid->SetDataSource(source);
        form->Show();
        UpdateAllWindows();
    }
    ~GridOnTable() { ResetApplication(); }
    static std::string Note(int record, int lines) {
        std::string text = "Hinweis zum Datensatz " + std::to_string(record);
        for (int i = 2; i <= lines; ++i) text += "\nZeile " + std::to_string(i);
        return text;
    }
    template <class F>
    void Field(const std::string& name, int size = 0) {
        auto* f = new F(form);
        f->SetFieldName(name);
        if (size > 0) f->SetSize(size);
        f->SetDataSet(table);
    }
    void Activate() {
        source->SetEnabled(true);
        UpdateAllWindows();
    }
    void Deactivate() {
        source->SetEnabled(false);
        UpdateAllWindows();
    }
};

void BM_LoadAllFirstPaint(benchmark::State& state) {
    GridOnTable g(true);
    for (auto _ : state) {
        g.Activate();
        state.PauseTiming();
        if (g.grid->GetCount() != kRecords) state.SkipWithError("not every record became a row");
        g.Deactivate();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadAllFirstPaint)->Unit(benchmark::kMillisecond);

void BM_RecordWindowFirstPaint(benchmark::State& state) {
    GridOnTable g(false);
    for (auto _ : state) {
        g.Activate();
        state.PauseTiming();
        if (g.grid->GetCount() >= kRecords) state.SkipWithError("the window loaded every record");
        g.Deactivate();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RecordWindowFirstPaint)->Unit(benchmark::kMillisecond);

// Args: records, rows growing with their texts (1) or of one height (0); a memo column in both.
void BM_LoadAllScrollPage(benchmark::State& state) {
    GridOnTable g(true, static_cast<int>(state.range(0)), true, state.range(1) != 0);
    g.Activate();
    if (g.grid->GetCount() != state.range(0)) state.SkipWithError("not every record became a row");
    for (auto _ : state) {
        const int page = std::max(1, g.grid->WhollyVisibleRows());
        int top = g.grid->GetTopIndex() + page;
        if (top + page >= g.grid->GetAbsoluteCount()) top = 0;
        g.grid->SetTopIndex(top);
        UpdateAllWindows();
    }
    state.counters["rows_a_page"] = g.grid->WhollyVisibleRows();
}
BENCHMARK(BM_LoadAllScrollPage)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({200000, 0})
    ->Args({200000, 1})
    ->Unit(benchmark::kMicrosecond);

void BM_LoadAllRecordChange(benchmark::State& state) {
    GridOnTable g(true, static_cast<int>(state.range(0)), true, state.range(1) != 0);
    g.Activate();
    g.table->MoveBy(12);
    int lines = 1;
    for (auto _ : state) {
        lines = lines % 3 + 1;
        g.table->Edit();
        g.table->FieldByName("Amount")->SetAsFloat(lines);
        g.table->FieldByName("Note")->SetAsString(GridOnTable::Note(13, lines));
        g.table->Post();
        UpdateAllWindows();
    }
    if (g.grid->GetCount() != state.range(0)) state.SkipWithError("rows were lost");
}
BENCHMARK(BM_LoadAllRecordChange)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({200000, 0})
    ->Args({200000, 1})
    ->Unit(benchmark::kMillisecond);

void BM_RecordWindowScrollPage(benchmark::State& state) {
    GridOnTable g(false, static_cast<int>(state.range(0)), true, state.range(1) != 0);
    g.Activate();
    for (auto _ : state) {
        const int page = std::max(1, g.grid->PartlyVisibleRows());
        if (g.table->MoveBy(page) < page) g.table->First();
        UpdateAllWindows();
    }
    state.counters["rows_a_page"] = g.grid->PartlyVisibleRows();
}
BENCHMARK(BM_RecordWindowScrollPage)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({200000, 0})
    ->Args({200000, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
