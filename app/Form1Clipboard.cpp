#include "ClipboardCopy.h"
#include "ErrorTrap.h"
#include "Form1.h"
#include "MessageBoxes.h"
#include "ResultsModel.h"

namespace pellorin {

namespace {

// The lines the handler's error report quotes for its steps.
enum PushButton2Line : int { kCopyList = 106, kTellCopied = 108 };

} // namespace

void Form1::PushButton2_Click()
{
    ErrorTrap trap(m_services.messages, handlerLocation("PushButton2_Click"));
    // After a failed copy the message would tell the user it worked.
    if (!trap.step(kCopyList, [&] { CopyListToClipboard(*m_results, m_services.clipboard); }))
        return;
    trap.step(kTellCopied, [&] {
        m_services.messages.show(
            QStringLiteral("Results have been copied to the clipboard.\r\r"
                           "Click a text area where you normally type and press Ctrl+V to paste "
                           "the clipboard."),
            QStringLiteral("Pellorin"), MessageIcon::None);
    });
}

} // namespace pellorin
