#include "OfficeProcess.h"

#include "OfficeConnection.h"
#include "OfficeWait.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

namespace pellorin::office {

namespace {

using std::chrono::milliseconds;

// An `soffice` that hands its arguments to an office already running exits at
// once, and that office then starts accepting; give it this long.
constexpr milliseconds kHandOverGrace { 5000 };

bool processRunning(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    // The state follows the parenthesised command name; a zombie has ended.
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && close + 2 < line.size() && line[close + 2] != 'Z';
}

} // namespace

QString officeProgram(const QString& configured)
{
    if (!configured.isEmpty())
        return configured;
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    return onPath.isEmpty() ? QStringLiteral(PELLORIN_OFFICE_PROGRAM_DIR "/soffice") : onPath;
}

qint64 startOffice(
    const QString& program, const QString& pipeName, const QStringList& extraArguments)
{
    const QFileInfo info(program);
    if (!info.exists())
        throw SpreadsheetError(QStringLiteral("%1 does not exist").arg(program));
    if (!info.isExecutable())
        throw SpreadsheetError(QStringLiteral("%1 is not a program").arg(program));
    QProcess office;
    office.setProgram(program);
    office.setArguments(QStringList { QStringLiteral("--nologo"), QStringLiteral("--nodefault"),
                            QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipeName) }
        + extraArguments);
    office.setStandardInputFile(QProcess::nullDevice());
    office.setStandardOutputFile(QProcess::nullDevice());
    office.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!office.startDetached(&pid))
        throw SpreadsheetError(
            QStringLiteral("%1 could not be run: %2").arg(program, office.errorString()));
    return pid;
}

css::uno::Reference<css::uno::XComponentContext> waitForStartedOffice(
    const QString& pipeName, qint64 pid, const QString& program, const Deadline& deadline)
{
    QElapsedTimer waited;
    waited.start();
    qint64 endedAt = -1;
    for (;;) {
        pauseServingEvents(std::min(milliseconds(100), deadline.left()));
        const css::uno::Reference<css::uno::XComponentContext> context
            = connectOnce(pipeName, deadline);
        if (context.is())
            return context;
        if (endedAt < 0 && !processRunning(pid))
            endedAt = waited.elapsed();
        if (endedAt >= 0 && waited.elapsed() - endedAt > kHandOverGrace.count())
            throw SpreadsheetError(
                QStringLiteral("%1 ended without accepting connections").arg(program));
        if (deadline.passed())
            throw SpreadsheetError(
                QStringLiteral("%1 did not accept connections %2").arg(program, deadline.within()));
    }
}

} // namespace pellorin::office
