// The DB grid over a memory table of 100,000 records of five fields (integer, two texts,
// Boolean, float) in a 1024 x 768 window: from activating the data source to the end of the
// first paint, once with every record loaded as a row and once as a window onto the records
// on screen.

#include <benchmark/benchmark.h>

#include <string>

#include "grid/vx_db_grid.h"
#include "grid/vx_db_grid_column.h"
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

    explicit GridOnTable(bool loadAll) {
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
        for (int i = 1; i <= kRecords; ++i) {
            table->Append();
            table->FieldByName("ID")->SetAsInteger(i);
            table->FieldByName("Name")->SetAsString("Name " + std::to_string(i));
            table->FieldByName("Place")->SetAsString("Place " + std::to_string(i % 97));
            table->FieldByName("Active")->SetAsBoolean(i % 3 == 0);
            table->FieldByName("Amount")->SetAsFloat(i * 0.25);
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
        grid->SetDataSource(source);
        form->Show();
        UpdateAllWindows();
    }
    ~GridOnTable() { ResetApplication(); }
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

}  // namespace
