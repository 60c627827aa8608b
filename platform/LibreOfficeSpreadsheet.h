#pragma once

#include "platform/Spreadsheet.h"

namespace pellorin {

// The spreadsheet application on Linux: LibreOffice Calc through UNO.
class LibreOfficeSpreadsheet final : public Spreadsheet {
};

} // namespace pellorin
