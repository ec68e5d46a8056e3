// What a table's notice costs on its way to the listeners: one data source with 1 to 8 links,
// every other one a control, each hearing a change (the end of DisableControls) and doing
// nothing with it, so that the figure is the notice's own way. Instruction counts
// (valgrind --tool=callgrind) are the steadier figure.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "memdata/vx_mem_data.h"
#include "platform/db/db.h"

namespace {

class CountingLink : public TDataLink {
public:
    int changes = 0;

protected:
    void DataSetChanged() override { ++changes; }
};

void BM_TableNotice(benchmark::State& state) {
    TComponent owner(nullptr);
    auto* table = new TvxMemData(&owner);
    auto* id = new TIntegerField(table);
    id->SetFieldName("ID");
    id->SetDataSet(table);
    table->Open();
    table->Append();
    id->SetAsInteger(1);
    table->Post();
    auto* source = new TDataSource(&owner);
    source->SetDataSet(table);
    std::vector<std::unique_ptr<CountingLink>> links;
    for (int i = 0; i < state.range(0); ++i) {
        links.push_back(std::make_unique<CountingLink>());
        links.back()->SetVisualControl(i % 2 == 0);
        links.back()->SetDataSource(source);
    }
    for (auto _ : state) {
        table->DisableControls();
        table->EnableControls();
    }
    benchmark::DoNotOptimize(links.front()->changes);
    links.clear();
}
BENCHMARK(BM_TableNotice)->Arg(1)->Arg(2)->Arg(4)->Arg(8);

}  // namespace
