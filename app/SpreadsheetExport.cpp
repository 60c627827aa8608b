#include "app/SpreadsheetExport.h"

#include "app/ErrorTrap.h"
#include "platform/Spreadsheet.h"
#include "results/ResultsModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <string>
#include <vector>

namespace pellorin {

namespace {

// One write of the ticked rows among this many list rows takes a few tens of
// milliseconds, so the window still gets its turns a few times a second.
constexpr std::size_t kRowsPerWrite = 16384;
constexpr qint64 kYieldIntervalMs = 150;

} // namespace

// Instead of three automation calls per ticked row, the ticked rows among the
// next few thousand list rows go to the sheet in one write, as runs of
// consecutive rows; the sheet comes out the same.
// Any failure is reported once and ends the export: after a failure every
// further call would most likely fail as well, one message box per row.
void exportToSpreadsheet(ResultsModel& results, Spreadsheet& spreadsheet, ErrorTrap& trap)
{
    // [106]
    if (results.size() == 0)
        return;

    std::unique_ptr<SpreadsheetApplication> application;
    if (!trap.step(108, [&] {
            application = spreadsheet.createApplication(QStringLiteral("Excel.Application"));
        }))
        return;
    std::unique_ptr<SpreadsheetWorkbook> workbook;
    if (!trap.step(110, [&] { workbook = application->addWorkbook(); }))
        return;
    if (!trap.step(112, [&] { application->setVisible(true); }))
        return;
    if (!trap.step(114, [&] { workbook->setActiveSheetCell(1, 1, QStringLiteral("Results")); }))
        return;

    // [116] List row k (from 0) goes to sheet row k + 2, ticked or not.
    int sheetRows = 0;
    if (!trap.step(116, [&] { sheetRows = workbook->sheetRowCount(); }))
        return;
    const std::size_t fittingRows = sheetRows > 1 ? std::size_t(sheetRows) - 1 : 0;

    // [118]
    const std::size_t rowCount = results.size();
    const std::size_t writtenRows = std::min(rowCount, fittingRows);
    std::vector<SpreadsheetColumnRun> runs;
    QElapsedTimer sinceYield;
    sinceYield.start();
    std::size_t k = 0;
    while (k < writtenRows) {
        // [120]
        if (sinceYield.elapsed() >= kYieldIntervalMs) {
            QCoreApplication::processEvents();
            sinceYield.restart();
        }
        // [122] The yield may have cleared the list.
        if (k >= results.size()) {
            trap.report(122,
                QStringLiteral("The results list changed during the export: row %1 "
                               "is no longer there")
                    .arg(k + 1));
            return;
        }
        // [124] to [128] for the next list rows at once.
        runs.clear();
        const std::size_t end = std::min({ writtenRows, k + kRowsPerWrite, results.size() });
        for (; k < end; ++k) {
            if (!results.isTicked(k))
                continue;
            const int sheetRow = int(k) + 2;
            if (runs.empty() || runs.back().firstRow + int(runs.back().texts.size()) != sheetRow)
                runs.push_back({ sheetRow, {} });
            runs.back().texts.push_back(results.textString(k));
        }
        if (!runs.empty() && !trap.step(124, [&] { workbook->setActiveSheetColumn(1, runs); }))
            return;
    }

    std::size_t leftOut = 0;
    for (std::size_t row = writtenRows; row < rowCount && row < results.size(); ++row)
        leftOut += results.isTicked(row) ? 1 : 0;
    if (leftOut > 0)
        trap.report(124,
            QStringLiteral("%1 ticked rows did not fit on the sheet, which ends at row %2")
                .arg(leftOut)
                .arg(sheetRows));

    // Each number within its own cell rather than running over into column B.
    trap.step(128, [&] { workbook->fitActiveSheetColumn(1); });
}

} // namespace pellorin
