#pragma once

#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <vector>

namespace pellorin::test {

// A headless LibreOffice of our own with a throwaway profile, for tests and
// benchmarks: started on construction, ended by its process id on
// destruction. The program never uses this; it drives the user's office.
class HeadlessOffice {
public:
    // Starts the office and waits until it accepts connections. Throws
    // std::runtime_error with the reason when it cannot.
    explicit HeadlessOffice(std::chrono::milliseconds startLimit = std::chrono::seconds(60));
    ~HeadlessOffice();
    HeadlessOffice(const HeadlessOffice&) = delete;
    HeadlessOffice& operator=(const HeadlessOffice&) = delete;

    QString pipeName() const { return m_pipeName; }
    qint64 pid() const { return m_process.processId(); }
    css::uno::Reference<css::uno::XComponentContext> context() const { return m_context; }

    // The spreadsheet documents open in the office.
    std::vector<css::uno::Reference<css::sheet::XSpreadsheetDocument>> spreadsheets() const;

    // Closes every open document without saving.
    void closeDocuments();

    struct Cell {
        css::table::CellContentType type;
        QString text;
        bool operator==(const Cell&) const = default;
    };

    // Column `column` (from 1) of the active sheet, rows 1 to `rows`.
    static std::vector<Cell> readColumn(
        const css::uno::Reference<css::sheet::XSpreadsheetDocument>& document, int column,
        int rows);

    // The width of column `column` (from 1) of the active sheet, in 1/100 mm.
    static int columnWidth(
        const css::uno::Reference<css::sheet::XSpreadsheetDocument>& document, int column);

private:
    QTemporaryDir m_profile;
    QString m_pipeName;
    QProcess m_process;
    css::uno::Reference<css::uno::XComponentContext> m_context;
};

// Asks the office that accepts on `pipeName` to end, as closing its last
// window would, so that it leaves no pipe or lock behind. Waits at most about
// `limit` for each step; returns whether the office took the request.
bool endOffice(const QString& pipeName, std::chrono::milliseconds limit);

// The socket that the office's UNO pipe `pipeName` is.
QString officePipePath(const QString& pipeName);

// The calls to the office that this process has running, answered or not:
// its threads named after them.
int officeCallsRunning();

} // namespace pellorin::test
