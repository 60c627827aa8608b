#include "HeadlessOffice.h"

#include "OfficeCall.h"
#include "OfficeConnection.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUrl>

#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>

#include <stdexcept>

using namespace css;

namespace pellorin::test {

using office::callOffice;
using office::connectOnce;
using office::toQString;

namespace {

// A first start with a new profile ends with this code and expects to be
// started again (`soffice`'s launcher would do it for us).
constexpr int kRestartRequested = 81;
constexpr std::chrono::seconds kCallLimit { 60 };

uno::Reference<sheet::XSpreadsheet> activeSheet(
    const uno::Reference<sheet::XSpreadsheetDocument>& document)
{
    const uno::Reference<frame::XModel> model(document, uno::UNO_QUERY_THROW);
    const uno::Reference<sheet::XSpreadsheetView> view(
        model->getCurrentController(), uno::UNO_QUERY_THROW);
    return view->getActiveSheet();
}

// An office on a new profile sets the profile up, may end asking to be
// started again, and then does so on its own. Were the tests already talking
// to it, they would lose it midway; so the profile is made by an office of its
// own that ends once it is ready.
void prepareProfile(
    const QString& program, const QStringList& arguments, std::chrono::milliseconds limit)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        QProcess setup;
        setup.setProgram(program);
        setup.setArguments(arguments + QStringList { QStringLiteral("--terminate_after_init") });
        setup.setProcessChannelMode(QProcess::MergedChannels);
        setup.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        setup.start();
        if (!setup.waitForFinished(int(limit.count()))) {
            setup.kill();
            setup.waitForFinished(5000);
            throw std::runtime_error("the office did not set up its profile in time");
        }
        if (setup.exitStatus() == QProcess::NormalExit && setup.exitCode() != kRestartRequested)
            return;
    }
}

} // namespace

HeadlessOffice::HeadlessOffice(std::chrono::milliseconds startLimit)
{
    static int serial = 0;
    m_pipeName = QStringLiteral("pellorin_test_%1_%2").arg(getpid()).arg(++serial);
    const QString program = QStringLiteral(PELLORIN_OFFICE_PROGRAM_DIR "/soffice.bin");
    if (!QFileInfo(program).isExecutable())
        throw std::runtime_error(
            program.toStdString() + " is missing: install libreoffice-calc (make deps does)");
    if (!m_profile.isValid())
        throw std::runtime_error("no temporary folder for the office profile");
    const QStringList common { QStringLiteral("--headless"), QStringLiteral("--invisible"),
        QStringLiteral("--nologo"), QStringLiteral("--norestore"), QStringLiteral("--nodefault"),
        QStringLiteral("-env:UserInstallation=")
            + QUrl::fromLocalFile(m_profile.path()).toString() };
    prepareProfile(program, common, startLimit);
    m_process.setProgram(program);
    m_process.setArguments(
        common + QStringList { QStringLiteral("--accept=pipe,name=%1;urp;").arg(m_pipeName) });
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // Should the test or benchmark die before ending it, the office goes too.
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });

    QElapsedTimer waited;
    waited.start();
    int restarts = 0;
    m_process.start();
    if (!m_process.waitForStarted(10000))
        throw std::runtime_error("could not run " + program.toStdString() + ": "
            + m_process.errorString().toStdString());
    while (!m_context.is()) {
        if (m_process.state() == QProcess::NotRunning) {
            if (m_process.exitCode() == kRestartRequested && restarts++ < 2) {
                m_process.start();
                m_process.waitForStarted(10000);
                continue;
            }
            throw std::runtime_error(QStringLiteral("%1 ended with code %2: %3")
                                         .arg(program)
                                         .arg(m_process.exitCode())
                                         .arg(QString::fromLocal8Bit(m_process.readAll()))
                                         .toStdString());
        }
        if (waited.elapsed() > startLimit.count()) {
            m_process.kill();
            m_process.waitForFinished(5000);
            throw std::runtime_error("the office did not accept connections in time");
        }
        m_process.waitForFinished(100);
        m_context = connectOnce(m_pipeName, office::Deadline::after(std::chrono::seconds(10)));
    }
}

HeadlessOffice::~HeadlessOffice()
{
    try {
        closeDocuments();
    } catch (const std::exception&) {
        // Ending the process below is what counts.
    }
    m_context.clear();
    endOffice(m_pipeName, std::chrono::seconds(10));
    if (!m_process.waitForFinished(10000)) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    QFile::remove(officePipePath(m_pipeName));
}

QString officePipePath(const QString& pipeName)
{
    return QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(getuid()).arg(pipeName);
}

bool endOffice(const QString& pipeName, std::chrono::milliseconds limit)
{
    try {
        const uno::Reference<uno::XComponentContext> context
            = connectOnce(pipeName, office::Deadline::after(limit));
        if (!context.is())
            return false;
        callOffice(limit, QStringLiteral("ending the office"), [context] {
            try {
                frame::Desktop::create(context)->terminate();
            } catch (const uno::RuntimeException&) {
                // The office may go before it has answered.
            }
        });
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::vector<uno::Reference<sheet::XSpreadsheetDocument>> HeadlessOffice::spreadsheets() const
{
    return callOffice(kCallLimit, QStringLiteral("listing the documents"), [context = m_context] {
        std::vector<uno::Reference<sheet::XSpreadsheetDocument>> documents;
        const uno::Reference<frame::XDesktop2> desktop = frame::Desktop::create(context);
        const uno::Reference<container::XEnumeration> components
            = desktop->getComponents()->createEnumeration();
        while (components->hasMoreElements()) {
            const uno::Reference<sheet::XSpreadsheetDocument> document(
                components->nextElement(), uno::UNO_QUERY);
            if (document.is())
                documents.push_back(document);
        }
        return documents;
    });
}

void HeadlessOffice::closeDocuments()
{
    callOffice(kCallLimit, QStringLiteral("closing the documents"), [context = m_context] {
        const uno::Reference<frame::XDesktop2> desktop = frame::Desktop::create(context);
        const uno::Reference<container::XEnumeration> components
            = desktop->getComponents()->createEnumeration();
        while (components->hasMoreElements()) {
            const uno::Reference<util::XCloseable> document(
                components->nextElement(), uno::UNO_QUERY);
            if (document.is())
                document->close(true);
        }
    });
}

std::vector<HeadlessOffice::Cell> HeadlessOffice::readColumn(
    const uno::Reference<sheet::XSpreadsheetDocument>& document, int column, int rows)
{
    return callOffice(kCallLimit, QStringLiteral("reading the sheet"), [document, column, rows] {
        const uno::Reference<sheet::XSpreadsheet> sheet = activeSheet(document);
        const uno::Reference<sheet::XCellRangeData> range(
            sheet->getCellRangeByPosition(column - 1, 0, column - 1, rows - 1),
            uno::UNO_QUERY_THROW);
        const uno::Sequence<uno::Sequence<uno::Any>> data = range->getDataArray();
        std::vector<Cell> cells;
        for (int row = 0; row < rows; ++row) {
            rtl::OUString text;
            if (!(data[row][0] >>= text)) {
                double value = 0;
                data[row][0] >>= value;
                text = rtl::OUString::number(value);
            }
            cells.push_back(
                { sheet->getCellByPosition(column - 1, row)->getType(), toQString(text) });
        }
        return cells;
    });
}

int HeadlessOffice::columnWidth(
    const uno::Reference<sheet::XSpreadsheetDocument>& document, int column)
{
    return callOffice(kCallLimit, QStringLiteral("reading the column width"), [document, column] {
        const uno::Reference<table::XColumnRowRange> sheet(
            activeSheet(document), uno::UNO_QUERY_THROW);
        const uno::Reference<beans::XPropertySet> properties(
            sheet->getColumns()->getByIndex(column - 1), uno::UNO_QUERY_THROW);
        sal_Int32 width = 0;
        properties->getPropertyValue(rtl::OUString("Width")) >>= width;
        return int(width);
    });
}

int officeCallsRunning()
{
    int running = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        // A thread that ends while we look has no comm left to read.
        if (comm.open(QIODevice::ReadOnly)
            && comm.readAll().trimmed() == QByteArray(office::kCallThreadName))
            ++running;
    }
    return running;
}

} // namespace pellorin::test
