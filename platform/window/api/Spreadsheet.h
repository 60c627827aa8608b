#pragma once

#include <QString>

#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace pellorin {

// A failure of the spreadsheet application, with a plain description for the
// user (what() is UTF-8).
class SpreadsheetError : public std::runtime_error {
public:
    explicit SpreadsheetError(const QString& description)
        : std::runtime_error(description.toStdString())
    {
    }
};

// Texts for consecutive cells of a column, from `firstRow` down.
struct SpreadsheetColumnRun {
    int firstRow = 1;
    std::vector<std::string> texts;
};

// A workbook opened in the spreadsheet application. Rows and columns count
// from 1, as the application's own cell indices do. Every call that fails
// throws SpreadsheetError. Releasing the object leaves the workbook open.
class SpreadsheetWorkbook {
public:
    virtual ~SpreadsheetWorkbook() = default;

    // The number of rows a sheet of this workbook has.
    virtual int sheetRowCount() = 0;

    // Puts `text` into one cell of the workbook's active sheet, as text: a
    // long digit string keeps every digit.
    virtual void setActiveSheetCell(int row, int column, const QString& text) = 0;

    // Puts the texts of `runs` into `column` of the active sheet, as text,
    // in one go; the cells between the runs are left alone. The sheet comes
    // out as if each text had been put in with setActiveSheetCell(), only
    // much faster.
    virtual void setActiveSheetColumn(int column, std::span<const SpreadsheetColumnRun> runs) = 0;

    // Widens `column` of the active sheet so that its content is readable.
    virtual void fitActiveSheetColumn(int column) = 0;
};

// The running spreadsheet application.
class SpreadsheetApplication {
public:
    virtual ~SpreadsheetApplication() = default;

    // Adds a new, empty, unsaved workbook.
    virtual std::unique_ptr<SpreadsheetWorkbook> addWorkbook() = 0;

    // Shows the application (and its workbooks) to the user.
    virtual void setVisible(bool visible) = 0;
};

// The spreadsheet application, driven through its automation interface.
// Tests substitute a scripted one.
class Spreadsheet {
public:
    virtual ~Spreadsheet() = default;

    // Creates the application object registered under `programmaticId`
    // ("Excel.Application"), starting the application or reusing a running
    // one. The application outlives the returned object and our program.
    virtual std::unique_ptr<SpreadsheetApplication> createApplication(const QString& programmaticId)
        = 0;
};

} // namespace pellorin
