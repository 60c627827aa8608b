#pragma once

#include "Clipboard.h"
#include "MessageBoxes.h"
#include "QtSettingsStore.h"
#include "RecordingSkinEngine.h"
#include "SaveDialog.h"
#include "Services.h"
#include "SkinEngine.h"
#include "Spreadsheet.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace pellorin::test {

// Records message boxes instead of showing them. `onShow`, when set, runs
// while the "box" is open, as a user's actions would.
class RecordingMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        QString text;
        QString caption;
        MessageIcon icon;
    };

    void show(const QString& text, const QString& caption, MessageIcon icon) override;

    QList<Shown> shown;
    std::function<void(const Shown&)> onShow;
};

class RecordingClipboard final : public Clipboard {
public:
    void clear() override;
    void setText(const QByteArray& text) override;
    void releaseOwnText() override;

    std::optional<QString> text; // nullopt: never touched
    int clears = 0;
    int releases = 0;

private:
    bool m_ownText = false;
};

// Answers the save dialog with the next name set by the test, as if any
// replace question had been answered yes.
class ScriptedSaveDialog final : public SaveDialog {
public:
    QString askSaveFileName(const QString& title, const QStringList& filters) override;

    QString nextFileName;
    QString lastTitle;
    QStringList lastFilters;
    int asked = 0;
};

// A spreadsheet application in memory. Records every call as a line of text
// ("create Excel.Application", "add", "visible 1", "cell 1 1 Results",
// "column 2 1 3" for a run of three cells from row 2 of column 1, "fit 1")
// and keeps each added workbook's cells. The call whose line starts with
// `failOn` throws once `failAfter` earlier ones have succeeded; with
// `staysFailed`, as an office that has gone, so does every call after it.
class ScriptedSpreadsheet final : public Spreadsheet {
public:
    using Cells = std::map<std::pair<int, int>, QString>; // (row, column) -> text

    std::unique_ptr<SpreadsheetApplication> createApplication(
        const QString& programmaticId) override;

    QStringList calls;
    std::vector<Cells> workbooks;
    int sheetRows = 1048576;
    QString failOn;
    int failAfter = 0;
    bool staysFailed = false;
    // Runs after each write of runs, as other events would during a yield.
    std::function<void()> afterColumnWrite;

    // Records `line`, then throws when it is the scripted failure.
    void record(const QString& line);
};

// A full set of services for a window under test: recording boxes,
// clipboard and dialog, and the real settings store in the isolated folders.
struct FakeServices {
    QtSettingsStore settings;
    RecordingMessageBoxes messages;
    RecordingClipboard clipboard;
    ScriptedSaveDialog saveDialog;
    ScriptedSpreadsheet spreadsheet;
    RecordingSkinEngine skin;

    Services services() { return { settings, messages, clipboard, saveDialog, spreadsheet, skin }; }
};

} // namespace pellorin::test
