#include "Announcement.h"
#include "ErrorTrap.h"
#include "Form1.h"
#include "ResultCount.h"
#include "ResultsModel.h"
#include "SaveDialog.h"
#include "TextFileSave.h"

namespace pellorin {

namespace {

// The lines the handler's error report quotes for its steps. Lines 106 up to
// kAskFileName configure the dialog, which the platform's dialog takes with
// the question itself, so a failure there is quoted as kAskFileName's.
enum PushButton4Line : int {
    kAskFileName = 112,
    kBusyPointer = 118,
    kSaveList = 120,
    kRestorePointer = 122,
};

} // namespace

void Form1::PushButton4_Click()
{
    ErrorTrap trap(m_services.messages, handlerLocation("PushButton4_Click"));
    QString fileName;
    trap.step(kAskFileName, [&] {
        fileName = m_services.saveDialog.askSaveFileName(QStringLiteral("Save"),
            { QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)") });
    });
    if (fileName.isEmpty())
        return;
    // A save started while another one yields keeps the outer save's
    // hourglass when it ends.
    const bool nested = mousePointer() == kPointerBusy;
    trap.step(kBusyPointer, [&] { setMousePointer(kPointerBusy); });
    const bool saved = trap.step(kSaveList, [&] { SaveListToTextFile(*m_results, fileName); });
    trap.step(kRestorePointer, [&] { setMousePointer(nested ? kPointerBusy : kPointerDefault); });
    if (saved)
        m_announcement->say(resultCount(m_results->rowCount()) + QStringLiteral(" saved"));
}

} // namespace pellorin
