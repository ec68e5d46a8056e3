// The data grid over a memory table of 10,000 records of eleven fields (the device overview's
// layout) in a 600 x 400 client: a page down with a full paint after it, a record down with
// a full paint, and a jump from the first record to the last and back. The grid reads only
// the rows on screen, so each step costs the same whatever the table's size.

#include <benchmark/benchmark.h>

#include <string>

#include "memdata/vx_mem_data.h"
#include "platform/db/db.h"
#include "platform/dbctrls/db_grid.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/win/message_queue.h"
#include "platform/win/paint.h"

namespace {

struct GridOnTable {
    TForm* form;
    TvxMemData* table;
    TDBGrid* grid;

    explicit GridOnTable(int records) {
        form = new TForm(EnsureApplication());
        form->SetBounds(0, 0, 640, 460);
        EnsureApplication()->FormCreated(form);
        table = new TvxMemData(form);
        Field<TIntegerField>("NodeID");
        Field<TStringField>("SerNumber", 10);
        Field<TStringField>("DevType", 15);
        for (const char* name : {"AppVers", "BLVers", "XanVers", "HWVers", "ProdCode", "VendorID"})
            Field<TStringField>(name, 10);
        Field<TStringField>("Group", 5);
        Field<TIntegerField>("UsageCount");
        table->Open();
        table->DisableControls();
        for (int i = 1; i <= records; ++i) {
            table->Append();
            table->FieldByName("NodeID")->SetAsInteger(i);
            table->FieldByName("SerNumber")->SetAsString(std::to_string(100000 + i));
            table->FieldByName("DevType")->SetAsString("Leser");
            table->FieldByName("ProdCode")->SetAsString("01A4");
            table->FieldByName("UsageCount")->SetAsInteger(i % 7);
            table->Post();
        }
        table->EnableControls();
        table->First();
        auto* source = new TDataSource(form);
        source->SetDataSet(table);
        grid = new TDBGrid(form);
        grid->SetParent(form);
        grid->SetBounds(0, 0, 604, 404);
        grid->SetOptions(grid->Options() + TDBGridOptions{dgRowSelect, dgAlwaysShowSelection});
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
    void Paint() {
        grid->Invalidate();
        UpdateAllWindows();
    }
};

void BM_PageDownAndPaint(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (g.table->Eof()) g.table->First();
        g.table->MoveBy(g.grid->VisibleRowCount());
        g.Paint();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PageDownAndPaint)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_RecordDownAndPaint(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (g.table->Eof()) g.table->First();
        g.table->Next();
        g.Paint();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecordDownAndPaint)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Dragging the thumb end to end: the grid jumps by record number instead of reading the
// records in between.
void BM_ThumbToEndAndBack(benchmark::State& state) {
    GridOnTable g(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (int pos : {g.table->RecordCount() - 1, 0}) {
            SendMessage(g.grid->Handle(), WM_VSCROLL, static_cast<WPARAM>(SB_THUMBPOSITION | (pos << 16)), 0);
            g.Paint();
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ThumbToEndAndBack)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
