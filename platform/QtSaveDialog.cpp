#include "platform/QtSaveDialog.h"

#include <QApplication>
#include <QFileDialog>

namespace pellorin {

QString QtSaveDialog::askSaveFileName(const QString& title, const QStringList& filters)
{
    QFileDialog dialog(QApplication::activeWindow(), title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    // No default suffix, and the replace question stays on (Qt's default).
    dialog.setDefaultSuffix(QString());
    if (!m_lastChoice.isEmpty())
        dialog.selectFile(m_lastChoice);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return {};
    m_lastChoice = chosen.first();
    return m_lastChoice;
}

} // namespace pellorin
