#pragma once

#include "Spreadsheet.h"

#include <QString>

#include <memory>

namespace pellorin {

// The spreadsheet application behind a module that is loaded on first use.
// The office's libraries are then needed only by the spreadsheet export: the
// program starts and works without them, and without the module. Every
// failure to load is a failure to create the application.
class SpreadsheetModule final : public Spreadsheet {
public:
    // The module's file; by default the one beside the program.
    explicit SpreadsheetModule(QString fileName = besideProgram());
    ~SpreadsheetModule() override;
    SpreadsheetModule(const SpreadsheetModule&) = delete;
    SpreadsheetModule& operator=(const SpreadsheetModule&) = delete;

    std::unique_ptr<SpreadsheetApplication> createApplication(
        const QString& programmaticId) override;

    static QString besideProgram();

private:
    Spreadsheet& loaded();

    QString m_fileName;
    std::unique_ptr<Spreadsheet> m_spreadsheet;
};

} // namespace pellorin
