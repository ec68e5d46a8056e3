// Frame-engine throughput: good polls in, one answer out each, on a port held in memory.

#include <benchmark/benchmark.h>

#include "link/frame_codec.h"
#include "link/link_port.h"
#include "link/sercom_link.h"

namespace {

class MemoryPort : public TLinkPort {
public:
    void Open(uint16_t) override {}
    void Close() override {}
    bool CharReady() override { return pos < input.size(); }
    char GetChar() override { return input[pos++]; }
    void PutString(const std::string& bytes) override { written += bytes.size(); }
    std::string input;
    size_t pos = 0;
    size_t written = 0;
};

void Run(benchmark::State& state, const std::string& frame) {
    MemoryPort port;
    TSercomLink link(&port);
    const int batch = 1000;
    for (int k = 0; k < batch; ++k) port.input += frame;
    for (auto _ : state) {
        port.pos = 0;
        link.Com1TriggerAvail();
        benchmark::DoNotOptimize(port.written);
    }
    state.SetItemsProcessed(state.iterations() * batch);
}

}  // namespace

static void BM_FrameEnginePolls(benchmark::State& state) { Run(state, BuildWireFrame(0, 1, "")); }
BENCHMARK(BM_FrameEnginePolls);

static void BM_FrameEngineDoorStateRecords(benchmark::State& state) {
    std::string rec("\xFB\x02\x09\x0D\x00\x00\x11\x00\x05\x10\x00\x07\x08\x05", 14);
    Run(state, BuildWireFrame(0, 1, rec));
}
BENCHMARK(BM_FrameEngineDoorStateRecords);
