#pragma once

#include "Spreadsheet.h"

#include <cstddef>
#include <memory>

namespace pellorin {

class RowSource;
class Yielder;

// "Save Results As Excel File": the ticked rows of a list go to a new,
// unsaved, visible workbook, "Results" in the first cell of column A and list
// row k (from 1) in sheet row k + 1, ticked or not. The handler calls the
// steps in order and reports the one that throws.
//
// Instead of three automation calls per ticked row, the ticked rows among the
// next few thousand list rows go to the sheet in one write, as runs of
// consecutive rows; the sheet comes out the same.
class SpreadsheetExport {
public:
    SpreadsheetExport(const RowSource& rows, Spreadsheet& spreadsheet, Yielder& yielder);
    ~SpreadsheetExport();
    SpreadsheetExport(const SpreadsheetExport&) = delete;
    SpreadsheetExport& operator=(const SpreadsheetExport&) = delete;

    void createApplication();
    void addWorkbook();
    void showApplication();
    void writeHeading();

    // Takes the number of list rows and the size of the sheet.
    void startRows();
    // Whether list rows that fit on the sheet are still to be written.
    bool rowsLeft() const;
    // Lets other work run, which may clear the list.
    void yield();
    // Throws when the next list row has gone.
    void checkNextRow() const;
    // Writes the ticked rows among the next block of list rows.
    void writeNextRows();
    // Throws when ticked rows lay beyond the sheet's last row.
    void checkEveryRowFitted() const;
    // Whether any list row has gone to the sheet, if perhaps in a write that
    // failed part-way.
    bool anyRowWritten() const { return m_rowsWritten > 0; }

    // Widens column A, so that each number stays within its cell.
    void fitColumn();
    // The same after the export has ended early; a failure here would only
    // repeat the one already reported.
    void fitColumnQuietly() noexcept;

private:
    const RowSource& m_rows;
    Spreadsheet& m_spreadsheet;
    Yielder& m_yielder;
    std::unique_ptr<SpreadsheetApplication> m_application;
    std::unique_ptr<SpreadsheetWorkbook> m_workbook;
    int m_sheetRows = 0;
    std::size_t m_rowCount = 0;
    std::size_t m_fittingRows = 0;
    std::size_t m_next = 0;
    std::size_t m_rowsWritten = 0;
    std::unique_ptr<bool[]> m_ticks;
};

} // namespace pellorin
