#include "AtNextYield.h"
#include "ErrorTrap.h"
#include "FakeServices.h"
#include "Form1.h"
#include "MainWindowUnderTest.h"
#include "ResultsModel.h"
#include "ResultsRowSource.h"
#include "ResultsRows.h"
#include "ScriptedYielder.h"
#include "TableText.h"
#include "TestEnvironment.h"
#include "TextFileSave.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace pellorin;

namespace {

QString report(const QString& description)
{
    return description
        + QStringLiteral("\r\nin Tavimbrel5/20/2014.Form1.PushButton4_Click at line 120\r\r"
                         "Please email screenshot of this message to ")
        + ErrorTrap::supportAddress();
}

} // namespace

class TestTextFileSave : public test::MainWindowTest {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    void fill(const QStringList& rows) { test::fillResults(m_form->results(), rows); }

    QString path(const QString& name) const { return m_dir->filePath(name); }

    QStringList filesInDir() const
    {
        return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        MainWindowTest::init();
    }

    void cleanup()
    {
        MainWindowTest::cleanup();
        m_dir.reset();
    }

    void writesExactBytes_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("expected");

        QTest::addRow("empty list, 14 bytes")
            << QStringList {} << "a.txt" << QByteArray("Result(s)\t\r\n\r\n");
        QTest::addRow("16 and 15 digits, 59 bytes")
            << QStringList { "4539148803436467", "378282246310005" } << "b.txt"
            << QByteArray("Result(s)       \t\r\n4539148803436467\t\r\n378282246310005 \t\r\n\r\n");
        QTest::addRow("unticked row counts for the width only")
            << QStringList { "378282246310005", "-4539148803436467" } << "c.txt"
            << QByteArray("Result(s)       \t\r\n378282246310005 \t\r\n\r\n");
        QTest::addRow("name without extension used as typed")
            << QStringList { "1" } << "results" << QByteArray("Result(s)\t\r\n1        \t\r\n\r\n");
    }

    void writesExactBytes()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, name);
        QFETCH(QByteArray, expected);
        fill(rows);
        saveAs(path(name));

        QCOMPARE(test::fileContents(path(name)), expected);
        QCOMPARE(filesInDir(), QStringList { name });
        QVERIFY(m_services->messages.shown.isEmpty());
        QCOMPARE(m_form->mousePointer(), Form1::kPointerDefault);
        QCOMPARE(m_services->saveDialog.lastTitle, QStringLiteral("Save"));
        QCOMPARE(m_services->saveDialog.lastFilters,
            (QStringList { "Text Files (*.txt)", "All Files (*.*)" }));
    }

    void cancelWritesNothing()
    {
        fill({ "4539148803436467" });
        m_form->setMousePointer(Form1::kPointerHand);
        saveAs(QString());

        QCOMPARE(m_services->saveDialog.asked, 1);
        QVERIFY(filesInDir().isEmpty());
        QVERIFY(m_services->messages.shown.isEmpty());
        QCOMPARE(m_form->mousePointer(), Form1::kPointerHand);
    }

    // The real dialog's replace question is shown in TestSaveDialog; once it
    // is answered yes, the old file gives way to the new one.
    void replacesAnExistingFile()
    {
        QVERIFY(test::writeFile(path("old.txt"), "old contents"));
        fill({ "1" });
        saveAs(path("old.txt"));

        QCOMPARE(
            test::fileContents(path("old.txt")), QByteArray("Result(s)\t\r\n1        \t\r\n\r\n"));
        QCOMPARE(filesInDir(), QStringList { "old.txt" });
        QVERIFY(m_services->messages.shown.isEmpty());
    }

    void failuresAreReportedAndTouchNothing_data()
    {
        QTest::addColumn<QString>("target"); // "@" stands for the test folder
        QTest::addColumn<QString>("reason");

        QTest::addRow("missing folder") << "@/none/out.txt"
                                        << "No such file or directory";
        QTest::addRow("read-only file") << "@/old.txt"
                                        << "The file is read-only";
        QTest::addRow("folder") << "@/sub"
                                << "It is a folder";
        QTest::addRow("full device") << "/dev/full"
                                     << "No space left on device";
    }

    void failuresAreReportedAndTouchNothing()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        target.replace(u'@', m_dir->path());
        QVERIFY(test::writeFile(path("old.txt"), "old contents"));
        QVERIFY(QFile::setPermissions(
            path("old.txt"), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        QVERIFY(QDir(m_dir->path()).mkdir("sub"));
        // Enough rows to fill more than one block.
        {
            ResultsModel::Appender appender(m_form->results());
            for (int i = 0; i < 100000; ++i)
                appender.append("4539148803436467");
        }
        saveAs(target);

        QCOMPARE(m_services->messages.shown.size(), 1);
        const auto& shown = m_services->messages.shown.first();
        QCOMPARE(shown.text, report(QStringLiteral("Cannot save \"%1\": %2").arg(target, reason)));
        QCOMPARE(shown.caption, QStringLiteral("Application Error"));
        QCOMPARE(m_form->mousePointer(), Form1::kPointerDefault);
        QCOMPARE(m_form->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(test::fileContents(path("old.txt")), QByteArray("old contents"));
        QCOMPARE(filesInDir(), QStringList { "old.txt" });
    }

    void busyPointerWhileSaving()
    {
        fill({ "1" });
        int pointerDuringSave = -1;
        Qt::CursorShape cursorDuringSave = Qt::ArrowCursor;
        test::AtNextYield during([&] {
            pointerDuringSave = m_form->mousePointer();
            cursorDuringSave = m_form->cursor().shape();
        });
        saveAs(path("busy.txt"));

        QCOMPARE(pointerDuringSave, Form1::kPointerBusy);
        QCOMPARE(cursorDuringSave, Qt::WaitCursor);
        QCOMPARE(m_form->mousePointer(), Form1::kPointerDefault);
        QCOMPARE(
            test::fileContents(path("busy.txt")), QByteArray("Result(s)\t\r\n1        \t\r\n\r\n"));
    }

    void clearedDuringSaveKeepsTheOldFile()
    {
        QVERIFY(test::writeFile(path("old.txt"), "old contents"));
        fill({ "4539148803436467", "378282246310005" });
        test::AtNextYield clear(
            [this] { m_form->findChild<QPushButton*>(QStringLiteral("PushButton3"))->click(); });
        saveAs(path("old.txt"));

        QCOMPARE(m_services->messages.shown.size(), 1);
        QCOMPARE(m_services->messages.shown.first().text,
            report(
                QStringLiteral("The results list changed during the export: rows were removed")));
        QCOMPARE(test::fileContents(path("old.txt")), QByteArray("old contents"));
        QCOMPARE(filesInDir(), QStringList { "old.txt" });
        QCOMPARE(m_form->mousePointer(), Form1::kPointerDefault);
    }

    // A second save started while the first one yields must not take the
    // first one's hourglass away when it ends.
    void nestedSaveKeepsTheOuterHourglass()
    {
        fill({ "1" });
        int pointerAfterInner = -1;
        test::AtNextYield inner([&] {
            m_services->saveDialog.nextFileName = path("inner.txt");
            m_form->PushButton4_Click();
            pointerAfterInner = m_form->mousePointer();
        });
        saveAs(path("outer.txt"));

        QCOMPARE(pointerAfterInner, Form1::kPointerBusy);
        QCOMPARE(m_form->mousePointer(), Form1::kPointerDefault);
        QCOMPARE(test::fileContents(path("inner.txt")), test::fileContents(path("outer.txt")));
        QVERIFY(m_services->messages.shown.isEmpty());
    }
    // A long list over an old file: the text goes out in large blocks, the
    // disk's writeback started on the way, and the old file gives way only
    // to the whole text. Rows that go away late in the output pass, with
    // megabytes written, leave the old file as it was and no temporary.
    void longSaveOverAnOldFile_data()
    {
        QTest::addColumn<int>("clearAtPoll");
        QTest::addRow("complete") << 0;
        QTest::addRow("rows removed after ten megabytes") << 380;
    }

    void longSaveOverAnOldFile()
    {
        QFETCH(int, clearAtPoll);
        QVERIFY(test::writeFile(path("old.txt"), "old contents"));
        ResultsModel list;
        list.setColumnCaption(QStringLiteral("Result(s)"));
        {
            ResultsModel::Appender appender(list);
            for (int i = 0; i < 800000; ++i)
                appender.append(i % 7 == 0 ? "378282246310005" : "4539148803436467");
        }
        for (std::size_t r = 0; r < list.size(); r += 5)
            list.setTicked(r, false);
        ResultsRowSource rows(list);
        NeverYield never;
        TableText table(rows, TableLayout::File, never);
        table.measure();
        QByteArray expected;
        table.render([&](std::string_view block) { expected.append(block); });

        // The output pass polls once for the header and then every 2,048
        // rows, 392 times for 800,000 rows.
        test::ScriptedYielder yielder([&](int poll) {
            if (poll == clearAtPoll)
                list.clear();
        });
        if (clearAtPoll == 0) {
            SaveListToTextFile(rows, path("old.txt"), yielder);
            QCOMPARE(test::fileContents(path("old.txt")), expected);
        } else {
            try {
                SaveListToTextFile(rows, path("old.txt"), yielder);
                QFAIL("the save went through");
            } catch (const TableTextError& e) {
                QCOMPARE(e.what(), "The results list changed during the export: rows were removed");
            }
            QCOMPARE(yielder.polls, clearAtPoll);
            QCOMPARE(test::fileContents(path("old.txt")), QByteArray("old contents"));
        }
        QCOMPARE(filesInDir(), QStringList { "old.txt" });
    }
};

PELLORIN_TEST_MAIN(TestTextFileSave)
#include "TestTextFileSave.moc"
