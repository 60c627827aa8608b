#pragma once

#include "SaveDialog.h"

#include <QPointer>
#include <QWidget>

namespace pellorin {

// The platform's own save dialog where there is one, Qt's otherwise. It opens
// on the previous choice, as a dialog that is kept for the whole run would.
class QtSaveDialog final : public SaveDialog {
public:
    // The window the dialog belongs to: it opens over it, also where the
    // window system places windows itself (Wayland), and without one it
    // takes the active window.
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    QString askSaveFileName(const QString& title, const QStringList& filters) override;

private:
    QPointer<QWidget> m_parent;
    QString m_lastChoice;
};

} // namespace pellorin
