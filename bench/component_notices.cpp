// Insert and removal notices of components on one owner: how many Notification calls the
// making and freeing of 100, 1,000 and 10,000 components cause, one in twenty keeping a
// reference to another as controls keep their pop-up menus. The count should grow with the
// number of components, not with its square.

#include <benchmark/benchmark.h>

#include <memory>

#include "platform/classes/component.h"

namespace {

int64_t g_notices = 0;

class TCounted : public TComponent {
public:
    using TComponent::TComponent;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        ++g_notices;
        TComponent::Notification(AComponent, Operation);
    }
};

void BM_ComponentNotices(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    int64_t notices = 0;
    for (auto _ : state) {
        g_notices = 0;
        {
            auto form = std::make_unique<TCounted>(nullptr);
            TComponent* previous = nullptr;
            for (int i = 0; i < count; ++i) {
                auto* c = new TCounted(form.get());
                c->SetName("C" + std::to_string(i));
                if (i % 20 == 19) c->FreeNotification(previous);
                previous = c;
            }
            benchmark::DoNotOptimize(form->FindComponent("C" + std::to_string(count / 2)));
        }
        notices = g_notices;
    }
    state.counters["notices"] = static_cast<double>(notices);
    state.counters["notices_per_component"] = static_cast<double>(notices) / count;
    // What telling every owned component of every insert costs (the owner frees its own
    // components without notices).
    state.counters["all_owned_notices"] = static_cast<double>(count) + static_cast<double>(count) * (count + 1) / 2;
}
BENCHMARK(BM_ComponentNotices)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
