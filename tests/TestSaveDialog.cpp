#include "platform/QtSaveDialog.h"
#include "tests/support/TestEnvironment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace pellorin;

class TestSaveDialog : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    const QStringList m_filters{"Text Files (*.txt)", "All Files (*.*)"};

    // Runs `script` on the dialog once it is open, as the user would.
    QString ask(QtSaveDialog& saveDialog, std::function<void(QFileDialog&)> script)
    {
        bool ran = false;
        QTimer soon;
        soon.setSingleShot(true);
        connect(&soon, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            ran = true;
            script(*dialog);
        });
        soon.start(0);
        QString answer = saveDialog.askSaveFileName(QStringLiteral("Save"), m_filters);
        if (!ran)
            qFatal("the dialog never opened");
        return answer;
    }

    // Types `name` into the dialog's name box and presses Save; answers a
    // replace question with `replace`. Returns the question's text.
    QString typeAndSave(QFileDialog& dialog, const QString& name,
                        QMessageBox::StandardButton replace = QMessageBox::NoButton)
    {
        QString question;
        QTimer soon;
        soon.setSingleShot(true);
        connect(&soon, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            question = box->text();
            box->button(replace)->click();
        });
        if (replace != QMessageBox::NoButton)
            soon.start(0);
        dialog.setDirectory(m_dir.path());
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!edit)
            qFatal("no file name box");
        edit->setText(name);
        // Through the base class: QFileDialog hides its override of the public slot.
        static_cast<QDialog&>(dialog).accept();
        return question;
    }

private slots:
    void showsTitleAndFileTypesWithoutDefaultSuffix()
    {
        QtSaveDialog saveDialog;
        const QString chosen = ask(saveDialog, [&](QFileDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Save"));
            QCOMPARE(dialog.nameFilters(), m_filters);
            QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
            QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
            typeAndSave(dialog, QStringLiteral("results"));
        });
        QCOMPARE(chosen, m_dir.filePath(QStringLiteral("results")));
    }

    void existingFileAsksBeforeReplacing_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("chosen");
        QTest::addRow("yes") << int(QMessageBox::Yes) << true;
        QTest::addRow("no, then cancel") << int(QMessageBox::No) << false;
    }

    void existingFileAsksBeforeReplacing()
    {
        QFETCH(int, answer);
        QFETCH(bool, chosen);
        const QString existing = m_dir.filePath(QStringLiteral("old.txt"));
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        QtSaveDialog saveDialog;
        QString question;
        bool openAfterNo = false;
        const QString result = ask(saveDialog, [&](QFileDialog& dialog) {
            question = typeAndSave(dialog, QStringLiteral("old.txt"),
                                   QMessageBox::StandardButton(answer));
            openAfterNo = dialog.isVisible();
            if (openAfterNo)
                dialog.reject();
        });
        QCOMPARE(question, QStringLiteral("old.txt already exists.\nDo you want to replace it?"));
        QCOMPARE(result, chosen ? existing : QString());
        QCOMPARE(openAfterNo, !chosen);
    }

    // A cancel must not hand back the previous choice, or a cancelled save
    // would write over the file saved before.
    void cancelAfterAChoiceGivesNoName()
    {
        QtSaveDialog saveDialog;
        QCOMPARE(ask(saveDialog, [&](QFileDialog& d) { typeAndSave(d, QStringLiteral("a.txt")); }),
                 m_dir.filePath(QStringLiteral("a.txt")));
        QStringList offered;
        QCOMPARE(ask(saveDialog,
                     [&](QFileDialog& d) {
                         offered = d.selectedFiles();
                         d.reject();
                     }),
                 QString());
        QCOMPARE(offered, QStringList{m_dir.filePath(QStringLiteral("a.txt"))});
    }
};

PELLORIN_TEST_MAIN(TestSaveDialog)
#include "TestSaveDialog.moc"
