#include "Announcement.h"
#include "ErrorTrap.h"
#include "EventLoopYielder.h"
#include "Form1.h"
#include "ResultCount.h"
#include "ResultsModel.h"
#include "ResultsRowSource.h"
#include "SpreadsheetExport.h"

namespace pellorin {

// Any failure is reported once and ends the export: after a failure every
// further call would most likely fail as well, one message box per row.
void Form1::PushButton13_Click()
{
    ErrorTrap trap(m_services.messages, handlerLocation("PushButton13_Click"));
    // [106]
    if (m_results->size() == 0)
        return;
    const ResultsRowSource rows(*m_results);
    // Every block of rows is a round trip to the office, much longer than a
    // turn of the event loop: the window gets a turn between any two blocks.
    EventLoopYielder yielder(std::chrono::milliseconds::zero());
    SpreadsheetExport sheet(rows, m_services.spreadsheet, yielder);
    if (!trap.step(108, [&] { sheet.createApplication(); })
        || !trap.step(110, [&] { sheet.addWorkbook(); })
        || !trap.step(112, [&] { sheet.showApplication(); })
        || !trap.step(114, [&] { sheet.writeHeading(); })
        // [116] List row k goes to sheet row k + 1, ticked or not.
        || !trap.step(116, [&] { sheet.startRows(); }))
        return;

    // [118] to [128], a block of list rows at a time.
    bool failed = false;
    bool widened = false;
    bool widthFailed = false;
    while (!failed && sheet.rowsLeft()) {
        sheet.yield(); // [120]
        failed = !trap.step(122, [&] { sheet.checkNextRow(); })
            || !trap.step(124, [&] { sheet.writeNextRows(); });
        // Each number within its own cell rather than running over into
        // column B: widened as soon as the first numbers are in, since the
        // program may be closed before the export ends, and again at the end.
        if (!failed && !widened && sheet.rowsLeft()) {
            widened = true;
            failed = widthFailed = !trap.step(128, [&] { sheet.fitColumn(); });
        }
    }
    if (!failed)
        failed = !trap.step(124, [&] { sheet.checkEveryRowFitted(); });
    // A widening that failed has been reported and is not tried again.
    if (!failed) {
        if (trap.step(128, [&] { sheet.fitColumn(); }))
            m_announcement->say(
                resultCount(m_results->rowCount()) + QStringLiteral(" written to the spreadsheet"));
    } else if (!widthFailed && sheet.anyRowWritten()) {
        sheet.fitColumnQuietly();
    }
}

} // namespace pellorin
