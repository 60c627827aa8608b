#pragma once

#include "Spreadsheet.h"

#include <QString>
#include <QStringList>

#include <chrono>

namespace pellorin {

// The spreadsheet application on Linux: LibreOffice Calc through UNO. The
// office is reached over a named pipe; when nothing answers there, `soffice`
// is started detached with the user's own profile, so that it outlives our
// program and stays the user's. Every wait on the office is bounded.
class LibreOfficeSpreadsheet final : public Spreadsheet {
public:
    struct Options {
        // The office program; empty: `soffice` on PATH, else LibreOffice's own folder.
        QString officeProgram;
        // The pipe the office accepts UNO connections on; empty: one per user.
        QString pipeName;
        // Added to the office's command line, e.g. "--headless".
        QStringList extraArguments;
        // How long reaching the office may take, from the request to a
        // connection, starting the office included.
        std::chrono::milliseconds startLimit { 20000 };
        // How long one request to the connected office may take.
        std::chrono::milliseconds callLimit { 20000 };
    };

    LibreOfficeSpreadsheet();
    explicit LibreOfficeSpreadsheet(Options options);

    std::unique_ptr<SpreadsheetApplication> createApplication(
        const QString& programmaticId) override;

    // The per-user pipe name the program uses.
    static QString defaultPipeName();

private:
    Options m_options;
};

} // namespace pellorin
