// The spreadsheet export into a headless LibreOffice that each benchmark
// starts itself (outside the timed part) and ends by its process id. Wall
// time: the work happens in the office's process, not ours.

#include "EventLoopYielder.h"
#include "HeadlessOffice.h"
#include "LibreOfficeSpreadsheet.h"
#include "MessageBoxes.h"
#include "ResultsModel.h"
#include "ResultsRowSource.h"
#include "SpreadsheetExport.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace pellorin;
using test::HeadlessOffice;

struct CountingBoxes final : MessageBoxes {
    void show(const QString& text, const QString&, MessageIcon) override
    {
        ++shown;
        last = text;
    }
    int shown = 0;
    QString last;
};

std::unique_ptr<HeadlessOffice> startOffice(benchmark::State& state)
{
    try {
        return std::make_unique<HeadlessOffice>();
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return nullptr;
    }
}

LibreOfficeSpreadsheet::Options optionsFor(const HeadlessOffice& office)
{
    LibreOfficeSpreadsheet::Options options;
    options.pipeName = office.pipeName();
    options.officeProgram = QStringLiteral("/nonexistent/soffice"); // use only the one started here
    return options;
}

// `rows` numbers; with `everyOther`, only every other row is ticked, so every
// block holds a single row: the worst case for block writes.
void fill(ResultsModel& results, std::size_t rows, bool everyOther)
{
    {
        ResultsModel::Appender appender(results);
        for (std::size_t k = 0; k < rows; ++k)
            appender.append(std::to_string(4539000000000000ULL + k));
    }
    for (std::size_t k = 1; everyOther && k < rows; k += 2)
        results.setTicked(k, false);
}

// The steps of "Save Results As Excel File", in the handler's order.
void exportRows(const ResultsModel& results, Spreadsheet& spreadsheet, CountingBoxes& boxes)
{
    const ResultsRowSource rows(results);
    EventLoopYielder yielder;
    SpreadsheetExport sheet(rows, spreadsheet, yielder);
    try {
        sheet.createApplication();
        sheet.addWorkbook();
        sheet.showApplication();
        sheet.writeHeading();
        sheet.startRows();
        while (sheet.rowsLeft()) {
            sheet.yield();
            sheet.checkNextRow();
            sheet.writeNextRows();
        }
        sheet.checkEveryRowFitted();
        sheet.fitColumn();
    } catch (const std::exception& e) {
        boxes.show(QString::fromUtf8(e.what()), {}, MessageIcon::Warning);
    }
}

void finish(benchmark::State& state, const CountingBoxes& boxes, std::size_t rows)
{
    if (boxes.shown > 0)
        state.SkipWithError(boxes.last.toStdString().c_str());
    state.counters["rows/s"] = benchmark::Counter(
        double(state.iterations()) * double(rows), benchmark::Counter::kIsRate);
}

// The export as "Save Results As Excel File" runs it.
void BM_SpreadsheetExport(benchmark::State& state)
{
    const auto rows = std::size_t(state.range(0));
    const auto office = startOffice(state);
    if (!office)
        return;
    LibreOfficeSpreadsheet spreadsheet(optionsFor(*office));
    ResultsModel results;
    fill(results, rows, state.range(1) != 0);
    CountingBoxes boxes;
    for ([[maybe_unused]] auto _ : state) {
        exportRows(results, spreadsheet, boxes);
        state.PauseTiming();
        office->closeDocuments();
        state.ResumeTiming();
    }
    finish(state, boxes, rows);
}
BENCHMARK(BM_SpreadsheetExport)
    ->ArgNames({ "rows", "everyOther" })
    ->Args({ 100000, 0 })
    ->Args({ 10000, 1 })
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// For comparison: the same sheet one cell at a time, the active sheet fetched
// anew for every cell, yielding once per list row.
void BM_SpreadsheetOneCellAtATime(benchmark::State& state)
{
    const auto rows = std::size_t(state.range(0));
    const auto office = startOffice(state);
    if (!office)
        return;
    LibreOfficeSpreadsheet spreadsheet(optionsFor(*office));
    ResultsModel results;
    fill(results, rows, false);
    CountingBoxes boxes;
    for ([[maybe_unused]] auto _ : state) {
        try {
            const auto application
                = spreadsheet.createApplication(QStringLiteral("Excel.Application"));
            const auto workbook = application->addWorkbook();
            application->setVisible(true);
            workbook->setActiveSheetCell(1, 1, QStringLiteral("Results"));
            for (std::size_t k = 0; k < rows; ++k) {
                QCoreApplication::processEvents();
                if (results.isTicked(k))
                    workbook->setActiveSheetCell(
                        int(k) + 2, 1, results.data(results.index(int(k))).toString());
            }
        } catch (const SpreadsheetError& e) {
            boxes.show(QString::fromUtf8(e.what()), {}, MessageIcon::Warning);
        }
        state.PauseTiming();
        office->closeDocuments();
        state.ResumeTiming();
    }
    finish(state, boxes, rows);
}
BENCHMARK(BM_SpreadsheetOneCellAtATime)
    ->ArgName("rows")
    ->Arg(5000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
