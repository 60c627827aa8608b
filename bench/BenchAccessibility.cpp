#include "ResidentMemory.h"
#include "ResultsModel.h"
#include "ResultsView.h"
#include "ResultsViewAccessible.h"

#include <QAccessible>
#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace pellorin;
using bench::residentMegabytes;

constexpr int kRows = 10'000'000;
// More rows than the list keeps interfaces for, so every ask makes one.
constexpr int kCycle = 100'000;

// Ten million rows on a shown view, made once for the whole run, and the
// memory they took.
struct TenMillionRows {
    ResultsModel model;
    ResultsView view;
    double megabytes = 0;

    TenMillionRows()
    {
        const double before = residentMegabytes();
        {
            ResultsModel::Appender appender(model);
            for (int i = 0; i < kRows; ++i)
                appender.append(i % 7 == 0 ? "378282246310005" : "4539148803436467");
        }
        QAccessible::installFactory(&ResultsViewAccessible::create);
        view.resize(520, 151);
        view.setModel(&model);
        view.show();
        QApplication::processEvents();
        megabytes = residentMegabytes() - before;
    }
};

TenMillionRows& tenMillionRows()
{
    static const auto rows = std::make_unique<TenMillionRows>();
    return *rows;
}

// A row's name and tick as a screen reader asks for them, near the first row
// and near the last: the cost must not grow with the row's place.
void BM_AccessibleRow(benchmark::State& state)
{
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&tenMillionRows().view);
    const int first = int(state.range(0));
    int k = 0;
    for ([[maybe_unused]] auto _ : state) {
        const int row = first + k++ % kCycle;
        QAccessibleInterface* item = list->child(ResultsViewAccessible::childIndexOfRow(row));
        benchmark::DoNotOptimize(item->text(QAccessible::Name));
        benchmark::DoNotOptimize(item->state());
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(first == 0 ? "rows from 0" : "rows up to 9,999,999");
}
BENCHMARK(BM_AccessibleRow)->Arg(0)->Arg(kRows - kCycle);

// Memory: the ten million rows with their view and its accessible interface,
// and what asking for a million rows' interfaces adds on top. Memory freed by
// benchmarks run before is reused, so MB_for_rows holds when run alone
// (--benchmark_filter=Accessible).
void BM_AccessibleTenMillionRows(benchmark::State& state)
{
    TenMillionRows& rows = tenMillionRows();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&rows.view);
    double askedMegabytes = 0;
    for ([[maybe_unused]] auto _ : state) {
        const double before = residentMegabytes();
        for (int row = 0; row < kRows; row += kRows / 1'000'000)
            benchmark::DoNotOptimize(
                list->child(ResultsViewAccessible::childIndexOfRow(row))->text(QAccessible::Name));
        askedMegabytes = residentMegabytes() - before;
    }
    state.counters["MB_for_rows"] = rows.megabytes;
    state.counters["MB_for_asked_rows"] = askedMegabytes;
    state.counters["rows"] = list->tableInterface()->rowCount();
}
BENCHMARK(BM_AccessibleTenMillionRows)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
