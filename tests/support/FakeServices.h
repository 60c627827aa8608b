#pragma once

#include "app/Services.h"
#include "platform/Clipboard.h"
#include "platform/MessageBoxes.h"
#include "platform/QtSettingsStore.h"
#include "platform/SaveDialog.h"
#include "platform/SkinEngine.h"
#include "platform/Spreadsheet.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

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
    void setText(const QString& text) override;

    std::optional<QString> text; // nullopt: never touched
    int clears = 0;
};

// Answers the save dialog with the next name set by the test.
class ScriptedSaveDialog final : public SaveDialog {
public:
    QString askSaveFileName(const QString& title, const QStringList& filters) override;

    QString nextFileName;
    QString lastTitle;
    QStringList lastFilters;
    int asked = 0;
};

// A full set of services for a window under test: recording boxes,
// clipboard and dialog, and the real settings store in the isolated folders.
struct FakeServices {
    QtSettingsStore settings;
    RecordingMessageBoxes messages;
    RecordingClipboard clipboard;
    ScriptedSaveDialog saveDialog;
    Spreadsheet spreadsheet;
    SkinEngine skin;

    Services services()
    {
        return {settings, messages, clipboard, saveDialog, spreadsheet, skin};
    }
};

} // namespace pellorin::test
