// The tree list's node bookkeeping on 100,000 nodes (1,000 roots with 99 children each):
// building them in one update lock, expanding and collapsing everything, and display-index
// lookups on the expanded tree, which the visible-node list answers by binary search; and
// moving the first of 100,000 roots to the end, which shifts every other root by one.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "treelist/custom_tree_list.h"

namespace {

constexpr int kRoots = 1000;
constexpr int kChildren = 99;

class BenchTreeList : public TCustomvxTreeList {
public:
    BenchTreeList() : TCustomvxTreeList(nullptr) {}
    TvxTreeListNode* CreateNode() override { return new TvxTreeListTextNode(this); }
};

void Build(BenchTreeList& tl) {
    tl.BeginUpdate();
    for (int r = 0; r < kRoots; ++r) {
        TvxTreeListNode* root = tl.Add();
        for (int c = 0; c < kChildren; ++c) root->AddChild();
    }
    tl.EndUpdate();
}

void BM_BuildAndFullExpand(benchmark::State& state) {
    for (auto _ : state) {
        auto tl = std::make_unique<BenchTreeList>();
        Build(*tl);
        tl->FullExpand();
        benchmark::DoNotOptimize(tl->GetAbsoluteCount());
        state.PauseTiming();
        tl.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BuildAndFullExpand)->Unit(benchmark::kMillisecond);

void BM_FullCollapse(benchmark::State& state) {
    BenchTreeList tl;
    Build(tl);
    for (auto _ : state) {
        state.PauseTiming();
        tl.FullExpand();
        state.ResumeTiming();
        tl.FullCollapse();
    }
}
BENCHMARK(BM_FullCollapse)->Unit(benchmark::kMillisecond);

void BM_AbsoluteIndexLookup(benchmark::State& state) {
    BenchTreeList tl;
    Build(tl);
    tl.FullExpand();
    std::vector<TvxTreeListNode*> nodes;
    for (TvxTreeListNode* n = tl.GetFirstNode(); n; n = n->GetNext()) nodes.push_back(n);
    std::shuffle(nodes.begin(), nodes.end(), std::mt19937(11));
    for (auto _ : state) {
        long sum = 0;
        for (TvxTreeListNode* n : nodes) sum += tl.GetAbsoluteIndex(n);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(nodes.size()));
}
BENCHMARK(BM_AbsoluteIndexLookup)->Unit(benchmark::kMillisecond);

// 100 moves a run; the aim is under 50 ms for all of them.
void BM_MoveFirstRootToTheEnd(benchmark::State& state) {
    BenchTreeList tl;
    tl.BeginUpdate();
    for (int r = 0; r < 100000; ++r) tl.Add();
    tl.EndUpdate();
    for (auto _ : state) {
        for (int m = 0; m < 100; ++m) tl.GetFirstNode()->MoveTo(tl.GetItem(tl.GetCount() - 1), nmAdd);
    }
    benchmark::DoNotOptimize(tl.GetFirstNode());
}
BENCHMARK(BM_MoveFirstRootToTheEnd)->Unit(benchmark::kMillisecond);

}  // namespace
