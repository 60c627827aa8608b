#include "app/ErrorTrap.h"
#include "app/Form1.h"
#include "app/SpreadsheetExport.h"

namespace pellorin {

void Form1::PushButton13_Click()
{
    ErrorTrap trap(
        m_services.messages, handlerLocation("PushButton13_Click"));
    exportToSpreadsheet(*m_results, m_services.spreadsheet, trap);
}

} // namespace pellorin
