#include "Brand.h"
#include "CardGenerator.h"
#include "CoarseTimer.h"
#include "ErrorTrap.h"
#include "GenerationRun.h"
#include "LuhnCheck.h"
#include "MessageBoxes.h"
#include "Network.h"
#include "NetworkPattern.h"
#include "NumberPattern.h"
#include "ResidentMemory.h"
#include "ResultsModel.h"
#include "ResultsView.h"

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

// The window's generator as the window runs it: re-seeded from its timer
// before every attempt.
void BM_GenerateWindow(benchmark::State& state, BrandId id)
{
    RandomSource random(42, &coarseTimer);
    CardGenerator generator(brand(id), random);
    for (auto _ : state)
        benchmark::DoNotOptimize(generator.next());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(BM_GenerateWindow, Visa, BrandId::Visa);
BENCHMARK_CAPTURE(BM_GenerateWindow, Mastercard, BrandId::Mastercard);
BENCHMARK_CAPTURE(BM_GenerateWindow, AmericanExpress, BrandId::AmericanExpress);
BENCHMARK_CAPTURE(BM_GenerateWindow, Discover, BrandId::Discover);

// A seeded stream's numbers, without re-seeding, as pellorin-cli makes them:
// a draw, then the number's digits.
void drawNumbers(benchmark::State& state, const NumberPattern& pattern)
{
    std::uint64_t counter = 42;
    CardNumber number;
    for (auto _ : state) {
        while (pattern.write(splitMixNext(counter), number.digits.data()) == NumberPattern::kNone) {
        }
        benchmark::DoNotOptimize(number);
    }
    state.SetItemsProcessed(state.iterations());
}

// The window brands' numbers from a seeded stream.
void BM_GenerateSeeded(benchmark::State& state, BrandId id)
{
    const NumberPattern pattern = NumberPattern::forBrand(brand(id));
    drawNumbers(state, pattern);
}
BENCHMARK_CAPTURE(BM_GenerateSeeded, Visa, BrandId::Visa);
BENCHMARK_CAPTURE(BM_GenerateSeeded, Mastercard, BrandId::Mastercard);
BENCHMARK_CAPTURE(BM_GenerateSeeded, AmericanExpress, BrandId::AmericanExpress);
BENCHMARK_CAPTURE(BM_GenerateSeeded, Discover, BrandId::Discover);

// Every network's numbers over its published ranges at its common length,
// as pellorin-cli makes them; to be read against BM_GenerateSeeded.
void BM_Generate(benchmark::State& state, const Network* network)
{
    const NumberPattern pattern
        = networkPattern(*network, network->commonLength, InvalidRule::None);
    drawNumbers(state, pattern);
}

const bool g_networkBenchmarks = [] {
    for (const Network& network : networkTable()) {
        std::string name = "BM_Generate/";
        for (const char c : network.name) {
            if (c != ' ')
                name += c;
        }
        benchmark::RegisterBenchmark(name.c_str(), BM_Generate, &network);
    }
    return true;
}();

struct SilentBoxes final : MessageBoxes {
    void show(const QString&, const QString&, MessageIcon) override { }
};

// A whole run into the results model, as "Start Generating" does it: with
// the window's timer.
void BM_RunIntoModel(benchmark::State& state)
{
    const auto quantity = static_cast<std::int32_t>(state.range(0));
    SilentBoxes boxes;
    RandomSource random(7, &coarseTimer);
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
// counter gives the memory the rows cost beyond the empty list. One run is
// long enough to time alone, but a shared machine spreads single runs widely:
// the median of several is the figure to read.
void BM_RunIntoVisibleList(benchmark::State& state)
{
    const auto quantity = static_cast<std::int32_t>(state.range(0));
    SilentBoxes boxes;
    RandomSource random(7, &coarseTimer);
    // The largest over the repetitions: later ones reuse the memory the first
    // one freed, and would show none.
    static double rowMegabytes = 0;
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
BENCHMARK(BM_RunIntoVisibleList)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace
