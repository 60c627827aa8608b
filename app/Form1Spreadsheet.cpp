#include "Announcement.h"
#include "ErrorTrap.h"
#include "EventLoopYielder.h"
#include "Form1.h"
#include "ResultCount.h"
#include "ResultsModel.h"
#include "ResultsRowSource.h"
#include "SpreadsheetExport.h"

namespace pellorin {

namespace {

// The lines the handler's error report quotes for its steps. Lines 106 (an
// empty list ends the handler), 118 (a block of list rows at a time, up to
// kFitColumn) and 120 (the window's turn between blocks) cannot fail, so no
// report quotes them.
enum PushButton13Line : int {
    kCreateApplication = 108,
    kAddWorkbook = 110,
    kShowApplication = 112,
    kWriteHeading = 114,
    kStartRows = 116, // list row k goes to sheet row k + 1, ticked or not
    kCheckNextRow = 122,
    kWriteRows = 124,
    kFitColumn = 128,
};

} // namespace

// Any failure is reported once and ends the export: after a failure every
// further call would most likely fail as well, one message box per row.
void Form1::PushButton13_Click()
{
    ErrorTrap trap(m_services.messages, handlerLocation("PushButton13_Click"));
    if (m_results->size() == 0)
        return;
    const ResultsRowSource rows(*m_results);
    // Every block of rows is a round trip to the office, much longer than a
    // turn of the event loop: the window gets a turn between any two blocks.
    EventLoopYielder yielder(std::chrono::milliseconds::zero());
    SpreadsheetExport sheet(rows, m_services.spreadsheet, yielder);
    if (!trap.step(kCreateApplication, [&] { sheet.createApplication(); })
        || !trap.step(kAddWorkbook, [&] { sheet.addWorkbook(); })
        || !trap.step(kShowApplication, [&] { sheet.showApplication(); })
        || !trap.step(kWriteHeading, [&] { sheet.writeHeading(); })
        || !trap.step(kStartRows, [&] { sheet.startRows(); }))
        return;

    bool failed = false;
    bool widened = false;
    bool widthFailed = false;
    while (!failed && sheet.rowsLeft()) {
        sheet.yield();
        failed = !trap.step(kCheckNextRow, [&] { sheet.checkNextRow(); })
            || !trap.step(kWriteRows, [&] { sheet.writeNextRows(); });
        // Each number within its own cell rather than running over into
        // column B: widened as soon as the first numbers are in, since the
        // program may be closed before the export ends, and again at the end.
        if (!failed && !widened && sheet.rowsLeft()) {
            widened = true;
            failed = widthFailed = !trap.step(kFitColumn, [&] { sheet.fitColumn(); });
        }
    }
    if (!failed)
        failed = !trap.step(kWriteRows, [&] { sheet.checkEveryRowFitted(); });
    // A widening that failed has been reported and is not tried again.
    if (!failed) {
        if (trap.step(kFitColumn, [&] { sheet.fitColumn(); }))
            m_announcement->say(
                resultCount(m_results->rowCount()) + QStringLiteral(" written to the spreadsheet"));
    } else if (!widthFailed && sheet.anyRowWritten()) {
        sheet.fitColumnQuietly();
    }
}

} // namespace pellorin
