#include "SpreadsheetModule.h"
#include "SpreadsheetModuleEntry.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

namespace pellorin {

SpreadsheetModule::SpreadsheetModule(QString fileName)
    : m_fileName(std::move(fileName))
{
}

SpreadsheetModule::~SpreadsheetModule() = default;

QString SpreadsheetModule::besideProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/" PELLORIN_CALC_MODULE_FILE);
}

std::unique_ptr<SpreadsheetApplication> SpreadsheetModule::createApplication(
    const QString& programmaticId)
{
    return loaded().createApplication(programmaticId);
}

// A module that failed to load is tried again on the next click: the user
// may have installed the office meanwhile. One that loaded stays loaded, as
// the office runtime it brings keeps threads of its own.
Spreadsheet& SpreadsheetModule::loaded()
{
    if (m_spreadsheet)
        return *m_spreadsheet;
    const QString failure
        = QStringLiteral("LibreOffice Calc is not installed or could not be started: ");
    if (!QFileInfo::exists(m_fileName))
        throw SpreadsheetError(failure
            + QStringLiteral("this Pellorin has no spreadsheet module: install the package "
                             "pellorin-calc (%1 is missing)")
                  .arg(m_fileName));
    QLibrary module(m_fileName);
    module.setLoadHints(QLibrary::PreventUnloadHint);
    if (!module.load())
        throw SpreadsheetError(failure + module.errorString());
    const auto create
        = reinterpret_cast<CreateSpreadsheet>(module.resolve(kSpreadsheetModuleEntryPoint));
    if (create == nullptr)
        throw SpreadsheetError(
            failure + QStringLiteral("%1 is not a spreadsheet module of Pellorin").arg(m_fileName));
    m_spreadsheet.reset(create());
    return *m_spreadsheet;
}

} // namespace pellorin
