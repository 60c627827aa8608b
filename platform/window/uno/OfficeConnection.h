#pragma once

#include "OfficeCall.h"

#include <com/sun/star/uno/XComponentContext.hpp>

#include <QString>

namespace pellorin::office {

// Our own UNO runtime, made on first use. Throws SpreadsheetError when
// LibreOffice's UNO runtime cannot be set up.
css::uno::Reference<css::uno::XComponentContext> localContext();

// The office's component context over the pipe `pipeName`, or an empty
// reference when nothing accepts connections there (yet). Throws
// SpreadsheetError when the connection fails, OfficeTimeout when the office
// does not answer by `deadline`.
css::uno::Reference<css::uno::XComponentContext> connectOnce(
    const QString& pipeName, Deadline deadline);

// Converts between Qt's and UNO's strings, both UTF-16.
rtl::OUString toOUString(const QString& text);
QString toQString(const rtl::OUString& text);

} // namespace pellorin::office
