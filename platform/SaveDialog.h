#pragma once

#include <QString>
#include <QStringList>

namespace pellorin {

// The platform's modal save dialog.
class SaveDialog {
public:
    virtual ~SaveDialog() = default;

    // Asks for a file name to save to. `filters` are file types such as
    // "Text Files (*.txt)". Returns the full path, or an empty text when the
    // user cancels.
    virtual QString askSaveFileName(const QString& title, const QStringList& filters) = 0;
};

} // namespace pellorin
