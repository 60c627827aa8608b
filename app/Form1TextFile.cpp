#include "Announcement.h"
#include "ErrorTrap.h"
#include "Form1.h"
#include "ResultCount.h"
#include "ResultsModel.h"
#include "SaveDialog.h"
#include "TextFileSave.h"

namespace pellorin {

void Form1::PushButton4_Click()
{
    ErrorTrap trap(m_services.messages, handlerLocation("PushButton4_Click"));
    // [106] to [110] configure the dialog; the platform dialog takes its
    // title and file types with the question itself.
    QString fileName;
    trap.step(112, [&] {
        fileName = m_services.saveDialog.askSaveFileName(QStringLiteral("Save"),
            { QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)") });
    });
    if (fileName.isEmpty())
        return;
    // A save started while another one yields keeps the outer save's
    // hourglass when it ends.
    const bool nested = mousePointer() == kPointerBusy;
    trap.step(118, [&] { setMousePointer(kPointerBusy); });
    const bool saved = trap.step(120, [&] { SaveListToTextFile(*m_results, fileName); });
    trap.step(122, [&] { setMousePointer(nested ? kPointerBusy : kPointerDefault); });
    if (saved)
        m_announcement->say(resultCount(m_results->rowCount()) + QStringLiteral(" saved"));
}

} // namespace pellorin
