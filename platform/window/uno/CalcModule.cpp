// The entry point of the spreadsheet module, which the program loads on the
// first spreadsheet export (SpreadsheetModule).

#include "LibreOfficeSpreadsheet.h"
#include "SpreadsheetModuleEntry.h"

#include <QtGlobal>

#include <string_view>

static_assert(
    std::string_view(pellorin::kSpreadsheetModuleEntryPoint) == "pellorin_create_spreadsheet");

extern "C" Q_DECL_EXPORT pellorin::Spreadsheet* pellorin_create_spreadsheet()
{
    return new pellorin::LibreOfficeSpreadsheet();
}
