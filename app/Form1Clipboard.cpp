#include "ClipboardCopy.h"
#include "ErrorTrap.h"
#include "Form1.h"
#include "MessageBoxes.h"
#include "ResultsModel.h"

namespace pellorin {

void Form1::PushButton2_Click()
{
    ErrorTrap trap(m_services.messages, handlerLocation("PushButton2_Click"));
    // After a failed copy the message would tell the user it worked.
    if (!trap.step(106, [&] { CopyListToClipboard(*m_results, m_services.clipboard); }))
        return;
    trap.step(108, [&] {
        m_services.messages.show(
            QStringLiteral("Results have been copied to the clipboard.\r\r"
                           "Click a text area where you normally type and press Ctrl+V to paste "
                           "the clipboard."),
            QStringLiteral("Pellorin"), MessageIcon::None);
    });
}

} // namespace pellorin
