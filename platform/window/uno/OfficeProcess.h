#pragma once

#include "OfficeCall.h"

#include <com/sun/star/uno/XComponentContext.hpp>

#include <QString>
#include <QStringList>

namespace pellorin::office {

// The office process, apart from what is asked of it once connected: which
// program to start, starting it, and waiting for it to accept.

// `configured` when given; else `soffice` on PATH; else LibreOffice's own.
QString officeProgram(const QString& configured);

// Starts `program` detached with the user's own profile, so that it outlives
// our program and stays the user's, accepting UNO connections on `pipeName`.
// Returns its process id. Throws SpreadsheetError when it cannot be run.
qint64 startOffice(
    const QString& program, const QString& pipeName, const QStringList& extraArguments);

// Connects to the office just started as `pid`, waiting for it to accept
// until `deadline`. Throws SpreadsheetError when it ends without accepting,
// or does not accept in time.
css::uno::Reference<css::uno::XComponentContext> waitForStartedOffice(
    const QString& pipeName, qint64 pid, const QString& program, const Deadline& deadline);

} // namespace pellorin::office
