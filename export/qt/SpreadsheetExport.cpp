#include "SpreadsheetExport.h"

#include "RowSource.h"
#include "Yielder.h"

#include <QString>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace pellorin {

namespace {

// One write of the ticked rows among this many list rows takes a few tens of
// milliseconds, so the window still gets its turns a few times a second.
constexpr std::size_t kRowsPerWrite = 16384;

} // namespace

SpreadsheetExport::SpreadsheetExport(
    const RowSource& rows, Spreadsheet& spreadsheet, Yielder& yielder)
    : m_rows(rows)
    , m_spreadsheet(spreadsheet)
    , m_yielder(yielder)
{
}

SpreadsheetExport::~SpreadsheetExport() = default;

void SpreadsheetExport::createApplication()
{
    m_application = m_spreadsheet.createApplication(QStringLiteral("Excel.Application"));
}

void SpreadsheetExport::addWorkbook()
{
    m_workbook = m_application->addWorkbook();
}

void SpreadsheetExport::showApplication()
{
    m_application->setVisible(true);
}

void SpreadsheetExport::writeHeading()
{
    m_workbook->setActiveSheetCell(1, 1, QStringLiteral("Results"));
}

void SpreadsheetExport::startRows()
{
    m_sheetRows = m_workbook->sheetRowCount();
    m_rowCount = m_rows.rowCount();
    const std::size_t belowHeading = m_sheetRows > 1 ? std::size_t(m_sheetRows) - 1 : 0;
    m_fittingRows = std::min(m_rowCount, belowHeading);
    m_next = 0;
    m_ticks = std::make_unique<bool[]>(kRowsPerWrite);
}

bool SpreadsheetExport::rowsLeft() const
{
    return m_next < m_fittingRows;
}

void SpreadsheetExport::yield()
{
    m_yielder.poll();
}

void SpreadsheetExport::checkNextRow() const
{
    if (m_next >= m_rows.rowCount())
        throw std::runtime_error(QStringLiteral("The results list changed during the export: row "
                                                "%1 is no longer there")
                                     .arg(m_next + 1)
                                     .toStdString());
}

void SpreadsheetExport::writeNextRows()
{
    const std::size_t first = m_next;
    const std::size_t end
        = std::max(first, std::min({ m_fittingRows, first + kRowsPerWrite, m_rows.rowCount() }));
    m_rows.ticks(first, end - first, m_ticks.get());
    std::vector<SpreadsheetColumnRun> runs;
    std::size_t ticked = 0;
    std::string scratch;
    for (std::size_t k = first; k < end; ++k) {
        if (!m_ticks[k - first])
            continue;
        const int sheetRow = int(k) + 2;
        if (runs.empty() || runs.back().firstRow + int(runs.back().texts.size()) != sheetRow)
            runs.push_back({ sheetRow, {} });
        runs.back().texts.emplace_back(m_rows.cell(k, 0, scratch));
        ++ticked;
    }
    m_rowsWritten += ticked;
    if (!runs.empty())
        m_workbook->setActiveSheetColumn(1, runs);
    m_next = end;
}

void SpreadsheetExport::checkEveryRowFitted() const
{
    std::size_t leftOut = 0;
    for (std::size_t row = m_fittingRows; row < m_rowCount && row < m_rows.rowCount(); ++row)
        leftOut += m_rows.isTicked(row) ? 1 : 0;
    if (leftOut > 0)
        throw std::runtime_error(
            QStringLiteral("%1 ticked rows did not fit on the sheet, which ends at row %2")
                .arg(leftOut)
                .arg(m_sheetRows)
                .toStdString());
}

void SpreadsheetExport::fitColumn()
{
    m_workbook->fitActiveSheetColumn(1);
}

void SpreadsheetExport::fitColumnQuietly() noexcept
{
    try {
        fitColumn();
    } catch (...) {
        // The office has most likely gone; the report has told so.
    }
}

} // namespace pellorin
