#pragma once

#include <QString>
#include <QStringList>

namespace pellorin {

// The platform's modal save dialog.
class SaveDialog {
public:
    virtual ~SaveDialog() = default;

    // Asks for a file name to save to. `filters` are file types such as
    // "Text Files (*.txt)"; a name typed without an extension is returned as
    // typed. Choosing an existing file asks the user whether to replace it.
    // Returns the full path, or an empty text when the user cancels, also
    // after an earlier choice.
    virtual QString askSaveFileName(const QString& title, const QStringList& filters) = 0;
};

} // namespace pellorin
