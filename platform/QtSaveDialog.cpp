#include "platform/QtSaveDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>

namespace pellorin {

namespace {

// Qt reads "*.*" as "a name with a dot", which hides files saved without an
// extension; on the platform the program comes from it means every file.
// The filter text stays as shown, only the list underneath follows it.
void listEveryFileUnderStarDotStar(QFileDialog& dialog)
{
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!model)
        return; // a native dialog reads the filter itself
    QStringList patterns = model->nameFilters();
    if (!patterns.contains(QStringLiteral("*.*")))
        return;
    patterns.replaceInStrings(QStringLiteral("*.*"), QStringLiteral("*"));
    model->setNameFilters(patterns);
}

} // namespace

QString QtSaveDialog::askSaveFileName(const QString& title, const QStringList& filters)
{
    QFileDialog dialog(QApplication::activeWindow(), title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    listEveryFileUnderStarDotStar(dialog);
    // Runs after the dialog has applied the chosen filter's own patterns.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog] { listEveryFileUnderStarDotStar(dialog); });
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
