#pragma once

#include "SaveDialog.h"

namespace pellorin {

// The platform's own save dialog where there is one, Qt's otherwise. It opens
// on the previous choice, as a dialog that is kept for the whole run would.
class QtSaveDialog final : public SaveDialog {
public:
    QString askSaveFileName(const QString& title, const QStringList& filters) override;

private:
    QString m_lastChoice;
};

} // namespace pellorin
