#include "FakeServices.h"
#include "Form1.h"
#include "MainWindowUnderTest.h"
#include "QtSaveDialog.h"
#include "ResultsModel.h"
#include "TestEnvironment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace pellorin;

class TestSaveDialog : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    const QStringList m_filters { "Text Files (*.txt)", "All Files (*.*)" };

    // Runs `script` on the dialog once `open` has opened it, as the user would.
    void whileOpen(const std::function<void()>& open, std::function<void(QFileDialog&)> script)
    {
        bool ran = false;
        QTimer soon;
        soon.setSingleShot(true);
        connect(&soon, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            ran = true;
            script(*dialog);
            // A script that failed half-way must not leave the dialog waiting.
            if (dialog->isVisible())
                dialog->reject();
        });
        soon.start(0);
        open();
        if (!ran)
            qFatal("the dialog never opened");
    }

    QString ask(QtSaveDialog& saveDialog, std::function<void(QFileDialog&)> script)
    {
        QString answer;
        whileOpen([&] { answer = saveDialog.askSaveFileName(QStringLiteral("Save"), m_filters); },
            std::move(script));
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

    // The names the dialog's file list shows, sorted.
    static QStringList listedNames(QFileDialog& dialog)
    {
        auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
        if (!view)
            qFatal("no file list");
        QStringList names;
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row)
            names << view->model()->index(row, 0, root).data().toString();
        names.sort();
        return names;
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

    // The file type is chosen in the dialog's own list with the arrow keys;
    // "v" moves down a type, "^" up.
    void listsTheFilesOfTheChosenType_data()
    {
        QTest::addColumn<QString>("moves");
        QTest::addColumn<QString>("shownType");
        QTest::addColumn<QStringList>("listed");
        QTest::addRow("text files") << ""
                                    << "Text Files (*.txt)" << QStringList { "other.txt" };
        QTest::addRow("all files, also without a dot")
            << "v"
            << "All Files (*.*)" << QStringList { "mixed", "noext", "other.txt" };
        QTest::addRow("all files, then text files again")
            << "v^"
            << "Text Files (*.txt)" << QStringList { "other.txt" };
    }

    void listsTheFilesOfTheChosenType()
    {
        QFETCH(QString, moves);
        QFETCH(QString, shownType);
        QFETCH(QStringList, listed);
        const QString folder = m_dir.filePath(QStringLiteral("listing"));
        QVERIFY(QDir().mkpath(folder));
        for (const char* name : { "noext", "mixed", "other.txt" }) {
            QFile file(folder + u'/' + QLatin1String(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }

        QtSaveDialog saveDialog;
        ask(saveDialog, [&](QFileDialog& dialog) {
            dialog.setDirectory(folder);
            auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QVERIFY(name && types);
            QTest::keyClicks(name, QStringLiteral("results.txt"));
            for (QChar move : moves)
                QTest::keyClick(types, move == u'v' ? Qt::Key_Down : Qt::Key_Up);
            QCOMPARE(types->currentText(), shownType);
            QTRY_COMPARE(listedNames(dialog), listed);
            // The type shown never rewrites the name typed.
            QCOMPARE(name->text(), QStringLiteral("results.txt"));
        });
    }

    // Through the program's own save button, so the answer decides what
    // becomes of the file.
    void existingFileAsksBeforeReplacing_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QByteArray>("expected");
        QTest::addRow("yes replaces")
            << int(QMessageBox::Yes) << QByteArray("Result(s)\t\r\n1        \t\r\n\r\n");
        QTest::addRow("no, then cancel, keeps the old file")
            << int(QMessageBox::No) << QByteArray("old contents");
    }

    void existingFileAsksBeforeReplacing()
    {
        QFETCH(int, answer);
        QFETCH(QByteArray, expected);
        QFile file(m_dir.filePath(QStringLiteral("old.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old contents");
        file.close();

        test::FakeServices fakes;
        QtSaveDialog saveDialog;
        const Services s = fakes.services();
        Form1 form({ s.settings, s.messages, s.clipboard, saveDialog, s.spreadsheet, s.skin });
        form.show();
        ResultsModel::Appender(form.results(), 1).append("1");
        QString question;
        bool openAfterNo = false;
        whileOpen(
            [&] {
                QTest::mouseClick(test::control<QPushButton>(form, "PushButton4"), Qt::LeftButton);
            },
            [&](QFileDialog& dialog) {
                question = typeAndSave(
                    dialog, QStringLiteral("old.txt"), QMessageBox::StandardButton(answer));
                openAfterNo = dialog.isVisible();
            });
        QCOMPARE(question, QStringLiteral("old.txt already exists.\nDo you want to replace it?"));
        QCOMPARE(openAfterNo, answer == QMessageBox::No);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), expected);
        QVERIFY(fakes.messages.shown.isEmpty());
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
        QCOMPARE(offered, QStringList { m_dir.filePath(QStringLiteral("a.txt")) });
    }
};

PELLORIN_TEST_MAIN(TestSaveDialog)
#include "TestSaveDialog.moc"
