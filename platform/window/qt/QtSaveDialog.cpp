#include "QtSaveDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>

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
    QFileDialog dialog(m_parent ? m_parent.data() : QApplication::activeWindow(), title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    listEveryFileUnderStarDotStar(dialog);
    // Qt's own dialog also puts a chosen type's extension on the name typed,
    // which makes "results.txt" "results.*"; "*" is no extension, so that
    // name goes back to what it was. The index changes before the dialog
    // applies the type, and filterSelected follows after.
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QString nameBefore;
    if (name && types)
        QObject::connect(
            types, &QComboBox::currentIndexChanged, &dialog, [&] { nameBefore = name->text(); });
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&] {
        listEveryFileUnderStarDotStar(dialog);
        if (name && name->text() != nameBefore && name->text().endsWith(QStringLiteral(".*")))
            name->setText(nameBefore);
    });
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
