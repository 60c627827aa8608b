#include "app/ErrorTrap.h"
#include "app/GenerationRun.h"
#include "bench/ResidentMemory.h"
#include "generate/Brand.h"
#include "generate/CardGenerator.h"
#include "generate/LuhnCheck.h"
#include "platform/MessageBoxes.h"
#include "results/ResultsModel.h"
#include "results/ResultsView.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

namespace {

using namespace pellorin;
using bench::residentMegabytes;

void BM_LuhnCheck(benchmark::State& state)
{
    const std::string number = "4539148803436467";
    for (auto _ : state)
        benchmark::DoNotOptimize(LuhnCheck(number));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LuhnCheck);

void BM_GenerateBrand(benchmark::State& state)
{
    const Brand& b = brandTable()[std::size_t(state.range(0))];
    RandomSource random(42);
    CardGenerator generator(b, random);
    for (auto _ : state)
        benchmark::DoNotOptimize(generator.next());
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(std::string(b.caption));
}
BENCHMARK(BM_GenerateBrand)->DenseRange(0, 3);

struct SilentBoxes final : MessageBoxes {
    void show(const QString&, const QString&, MessageIcon) override {}
};

// A whole run into the results model, as "Start Generating" does it.
void BM_RunIntoModel(benchmark::State& state)
{
    const auto quantity = static_cast<std::int32_t>(state.range(0));
    SilentBoxes boxes;
    RandomSource random(7);
    for (auto _ : state) {
        ResultsModel model;
        ErrorTrap trap(boxes, QString());
        runGeneration(model, brand(BrandId::Visa), quantity, random, trap, [](int) {});
        benchmark::DoNotOptimize(model.size());
    }
    state.SetItemsProcessed(state.iterations() * quantity);
}
BENCHMARK(BM_RunIntoModel)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// A run into the list as the window shows it, with the view on screen; the
// counter gives the memory the rows cost beyond the empty list.
void BM_RunIntoVisibleList(benchmark::State& state)
{
    const auto quantity = static_cast<std::int32_t>(state.range(0));
    SilentBoxes boxes;
    RandomSource random(7);
    double rowMegabytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<ResultsModel>();
        ResultsView view;
        view.resize(520, 151);
        view.setModel(model.get());
        view.show();
        QApplication::processEvents();
        const double before = residentMegabytes();
        state.ResumeTiming();
        ErrorTrap trap(boxes, QString());
        runGeneration(*model, brand(BrandId::Visa), quantity, random, trap, [](int) {});
        view.repaint();
        QApplication::processEvents();
        state.PauseTiming();
        rowMegabytes = std::max(rowMegabytes, residentMegabytes() - before);
        view.setModel(nullptr);
        model.reset();
        state.ResumeTiming();
    }
    state.counters["MB_for_rows"] = rowMegabytes;
    state.SetItemsProcessed(state.iterations() * quantity);
}
BENCHMARK(BM_RunIntoVisibleList)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
