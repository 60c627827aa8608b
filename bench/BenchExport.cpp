#include "Clipboard.h"
#include "ClipboardCopy.h"
#include "EventLoopYielder.h"
#include "QtClipboard.h"
#include "ResidentMemory.h"
#include "ResultsModel.h"
#include "ResultsRowSource.h"
#include "TableText.h"
#include "TextFileSave.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QSaveFile>
#include <QString>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

namespace {

using namespace pellorin;

// One list per size, kept for the whole run: filling ten million rows costs
// more than rendering them. Every seventh row is a 15-digit number and every
// fifth is unticked, so padding and skipping are both exercised.
ResultsModel& listOf(std::size_t rows)
{
    static std::map<std::size_t, std::unique_ptr<ResultsModel>> lists;
    auto& list = lists[rows];
    if (!list) {
        list = std::make_unique<ResultsModel>();
        list->setColumnCaption(QStringLiteral("Result(s)"));
        {
            ResultsModel::Appender appender(*list);
            for (std::size_t r = 0; r < rows; ++r)
                appender.append(r % 7 == 0 ? "378282246310005" : "4539148803436467");
        }
        for (std::size_t r = 0; r < rows; r += 5)
            list->setTicked(r, false);
    }
    return *list;
}

QString benchFile(const char* name)
{
    return QDir::tempPath() + QStringLiteral("/pellorin-bench-") + QLatin1String(name);
}

void BM_RenderTableText(benchmark::State& state)
{
    const auto layout = TableLayout(state.range(1));
    ResultsModel& list = listOf(std::size_t(state.range(0)));
    ResultsRowSource rows(list);
    EventLoopYielder yielder;
    std::uint64_t bytes = 0;
    for ([[maybe_unused]] auto _ : state) {
        TableText table(rows, layout, yielder);
        table.measure();
        table.render([&](std::string_view block) {
            benchmark::DoNotOptimize(block.data());
            bytes += block.size();
        });
    }
    state.SetBytesProcessed(std::int64_t(bytes));
    state.SetLabel(layout == TableLayout::File ? "file layout" : "clipboard layout");
}
BENCHMARK(BM_RenderTableText)
    ->ArgsProduct(
        { { 1'000'000, 10'000'000 }, { int(TableLayout::Clipboard), int(TableLayout::File) } })
    ->Unit(benchmark::kMillisecond);

class DiscardingClipboard final : public Clipboard {
public:
    void clear() override { }
    void setText(const QByteArray& text) override { benchmark::DoNotOptimize(text.size()); }
    void releaseOwnText() override { }
};

// The whole copy: widths, text in memory, conversion to the clipboard's text.
void BM_CopyListToClipboard(benchmark::State& state)
{
    ResultsModel& list = listOf(std::size_t(state.range(0)));
    DiscardingClipboard clipboard;
    for ([[maybe_unused]] auto _ : state)
        CopyListToClipboard(list, clipboard);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CopyListToClipboard)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// Memory of a copy of ten million rows on the real clipboard, in multiples
// of the text's size: held once the copy is done ("held", goal at most 1.2),
// at the copy's peak ("peak", at most 2.2), and at the peak of two more
// copies in a row ("peak_next_two", no higher than "peak").
void BM_ClipboardMemory(benchmark::State& state)
{
    ResultsModel& list = listOf(std::size_t(state.range(0)));
    QtClipboard clipboard;
    for ([[maybe_unused]] auto _ : state) {
        clipboard.clear();
        const double before = bench::residentMegabytes();
        if (!bench::resetResidentPeak()) {
            state.SkipWithError("cannot reset the peak resident size");
            break;
        }
        CopyListToClipboard(list, clipboard);
        const double held = bench::residentMegabytes() - before;
        const double peak = bench::residentPeakMegabytes() - before;
        const double size = double(QGuiApplication::clipboard()
                                       ->mimeData()
                                       ->data(QStringLiteral("text/plain"))
                                       .size())
            / (1024.0 * 1024.0);
        bench::resetResidentPeak();
        CopyListToClipboard(list, clipboard);
        CopyListToClipboard(list, clipboard);
        const double peakNextTwo = bench::residentPeakMegabytes() - before;
        state.counters["text_MiB"] = size;
        state.counters["held"] = held / size;
        state.counters["peak"] = peak / size;
        state.counters["peak_next_two"] = peakNextTwo / size;
    }
    clipboard.releaseOwnText();
}
BENCHMARK(BM_ClipboardMemory)->Arg(10'000'000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The whole save, and beside it the same number of bytes written straight
// to a file in the same folder: the limit the save can approach.
void BM_SaveListToTextFile(benchmark::State& state)
{
    ResultsModel& list = listOf(std::size_t(state.range(0)));
    const QString fileName = benchFile("save.txt");
    for ([[maybe_unused]] auto _ : state)
        SaveListToTextFile(list, fileName);
    state.SetBytesProcessed(state.iterations() * QFileInfo(fileName).size());
    QFile::remove(fileName);
}
// Wall-clock rates: the disk's time is part of the save.
BENCHMARK(BM_SaveListToTextFile)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The size the save produces for a list of `rows`, computed without saving.
std::uint64_t savedSize(std::size_t rows)
{
    ResultsRowSource source(listOf(rows));
    NeverYield never;
    TableText table(source, TableLayout::File, never);
    table.measure();
    return table.sizeHint();
}

// `size` bytes in the save's default block size; false where a write fails.
bool writeBytes(QIODevice& file, std::uint64_t size)
{
    static const QByteArray block(int(TableText::kDefaultBlockSize), '7');
    for (std::uint64_t left = size; left > 0;) {
        const auto n = qint64(std::min<std::uint64_t>(left, std::uint64_t(block.size())));
        if (file.write(block.constData(), n) != n)
            return false;
        left -= std::uint64_t(n);
    }
    return true;
}

void BM_WriteSameBytes(benchmark::State& state)
{
    const std::uint64_t size = savedSize(std::size_t(state.range(0)));
    const QString fileName = benchFile("raw.txt");
    for ([[maybe_unused]] auto _ : state) {
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly) || !writeBytes(file, size)) {
            state.SkipWithError("cannot write the file");
            break;
        }
        file.close();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * size));
    QFile::remove(fileName);
}
BENCHMARK(BM_WriteSameBytes)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// For context: the same bytes with the save's durability, written to a
// temporary file that is synced and renamed over the old one, in 128 KiB
// writes with nothing started early and the old file freed in the rename.
void BM_CommitSameBytes(benchmark::State& state)
{
    const std::uint64_t size = savedSize(std::size_t(state.range(0)));
    const QString fileName = benchFile("commit.txt");
    for ([[maybe_unused]] auto _ : state) {
        QSaveFile file(fileName);
        if (!file.open(QIODevice::WriteOnly) || !writeBytes(file, size) || !file.commit()) {
            state.SkipWithError("cannot write the file");
            break;
        }
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * size));
    QFile::remove(fileName);
}
BENCHMARK(BM_CommitSameBytes)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
