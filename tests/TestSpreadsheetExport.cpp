#include "AtNextYield.h"
#include "ErrorTrap.h"
#include "FakeServices.h"
#include "Form1.h"
#include "MainWindowUnderTest.h"
#include "ResultsModel.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QtTest>

#include <memory>
#include <optional>

using namespace pellorin;

namespace {

const QString kLocation = QStringLiteral("in Tavimbrel5/20/2014.Form1.PushButton13_Click ");

// Row k of the list gets a 16-digit text that ends in k, so cells name their row.
std::string numberOfRow(std::size_t k)
{
    return std::to_string(4539000000000000ULL + k);
}

} // namespace

class TestSpreadsheetExport : public test::MainWindowTest {
    Q_OBJECT

    // Fills the list from a pattern of ticks: 'x' ticked, '.' unticked.
    void fillList(const QString& ticks)
    {
        for (qsizetype k = 0; k < ticks.size(); ++k) {
            ResultsModel::Appender(m_form->results(), 1).append(numberOfRow(std::size_t(k)));
            m_form->results().setTicked(std::size_t(k), ticks[k] == QLatin1Char('x'));
        }
    }

    test::ScriptedSpreadsheet& spreadsheet() { return m_services->spreadsheet; }
    QList<test::RecordingMessageBoxes::Shown>& shown() { return m_services->messages.shown; }

private slots:
    void emptyListStartsNothing()
    {
        m_form->PushButton13_Click();
        QCOMPARE(spreadsheet().calls, QStringList());
        QCOMPARE(shown().size(), 0);
    }

    void ticksDecideTheCellsAndTheRuns_data()
    {
        QTest::addColumn<QString>("ticks");
        QTest::addColumn<QStringList>("writes"); // one line per run
        QTest::addRow("three ticked") << "xxx" << QStringList { "column 2 1 3" };
        QTest::addRow("middle unticked") << "x.x" << QStringList { "column 2 1 1", "column 4 1 1" };
        QTest::addRow("none ticked") << "..." << QStringList {};
        QTest::addRow("runs and gaps")
            << ".xx..xxx." << QStringList { "column 3 1 2", "column 7 1 3" };
    }

    void ticksDecideTheCellsAndTheRuns()
    {
        QFETCH(QString, ticks);
        QFETCH(QStringList, writes);
        fillList(ticks);
        int requests = 0;
        spreadsheet().afterColumnWrite = [&] { ++requests; };
        m_form->PushButton13_Click();

        // All runs of a short list go to the application in one request.
        QCOMPARE(requests, writes.isEmpty() ? 0 : 1);

        QCOMPARE(spreadsheet().calls,
            QStringList({ "create Excel.Application", "add", "visible 1", "cell 1 1 Results" })
                + writes + QStringList { "fit 1" });
        test::ScriptedSpreadsheet::Cells expected { { { 1, 1 }, QStringLiteral("Results") } };
        for (qsizetype k = 0; k < ticks.size(); ++k) {
            if (ticks[k] == QLatin1Char('x'))
                expected[{ int(k) + 2, 1 }] = QString::fromStdString(numberOfRow(std::size_t(k)));
        }
        QCOMPARE(spreadsheet().workbooks.size(), std::size_t(1));
        QVERIFY(spreadsheet().workbooks[0] == expected);
        QCOMPARE(shown().size(), 0);
    }

    void longListsAreWrittenInBoundedParts()
    {
        fillList(QString(16384 + 3, QLatin1Char('x')));
        m_form->PushButton13_Click();
        QCOMPARE(spreadsheet().calls.mid(4),
            QStringList({ "column 2 1 16384", "fit 1", "column 16386 1 3", "fit 1" }));
        QCOMPARE(spreadsheet().workbooks[0].size(), std::size_t(16384 + 3 + 1));
        QCOMPARE(spreadsheet().workbooks[0].at({ 16388, 1 }),
            QString::fromStdString(numberOfRow(16386)));
    }

    void twoClicksGiveTwoWorkbooks()
    {
        fillList(QStringLiteral("x.x"));
        m_form->PushButton13_Click();
        m_form->PushButton13_Click();
        QCOMPARE(spreadsheet().calls.count(QStringLiteral("create Excel.Application")), 2);
        QCOMPARE(spreadsheet().workbooks.size(), std::size_t(2));
        QVERIFY(spreadsheet().workbooks[0] == spreadsheet().workbooks[1]);
        QCOMPARE(spreadsheet().workbooks[1].size(), std::size_t(3));
    }

    // Whatever fails is reported once, with its own line, and ends the
    // export; once rows have gone to the sheet, column A is widened still.
    void aFailureIsReportedOnceAndEndsTheExport_data()
    {
        QTest::addColumn<QString>("failOn");
        QTest::addColumn<int>("failAfter");
        QTest::addColumn<bool>("staysFailed");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("failedCall");
        QTest::addColumn<bool>("widened");
        QTest::addRow("application")
            << "create" << 0 << false << 108 << "create Excel.Application" << false;
        QTest::addRow("workbook") << "add" << 0 << false << 110 << "add" << false;
        QTest::addRow("visible") << "visible" << 0 << false << 112 << "visible 1" << false;
        QTest::addRow("heading") << "cell" << 0 << false << 114 << "cell 1 1 Results" << false;
        QTest::addRow("first run") << "column" << 0 << false << 124 << "column 2 1 2" << true;
        QTest::addRow("later run") << "column" << 1 << false << 124 << "column 5 1 1" << true;
        QTest::addRow("later run, office gone")
            << "column" << 1 << true << 124 << "column 5 1 1" << true;
        QTest::addRow("widening") << "fit" << 0 << false << 128 << "fit 1" << true;
    }

    void aFailureIsReportedOnceAndEndsTheExport()
    {
        QFETCH(QString, failOn);
        QFETCH(int, failAfter);
        QFETCH(bool, staysFailed);
        QFETCH(int, line);
        QFETCH(QString, failedCall);
        QFETCH(bool, widened);
        fillList(QStringLiteral("xx.x.x"));
        spreadsheet().failOn = failOn;
        spreadsheet().failAfter = failAfter;
        spreadsheet().staysFailed = staysFailed;
        m_form->PushButton13_Click();

        QCOMPARE(spreadsheet().calls.last(), widened ? QStringLiteral("fit 1") : failedCall);
        QCOMPARE(spreadsheet().calls.count(failedCall), 1);
        QCOMPARE(shown().size(), 1);
        QCOMPARE(shown()[0].text,
            ErrorTrap::composeReport(
                QStringLiteral("Scripted failure of \"%1\"").arg(failedCall), kLocation, line));
        QCOMPARE(shown()[0].caption, QStringLiteral("Application Error"));
        QCOMPARE(shown()[0].icon, MessageIcon::Warning);
    }

    void rowsBeyondTheSheetAreReportedOnce_data()
    {
        QTest::addColumn<QString>("ticks");
        QTest::addColumn<QString>("lastWrite");
        QTest::addColumn<int>("leftOut");
        // A sheet of 5 rows: the heading and list rows 1 to 4.
        QTest::addRow("two ticked beyond") << "xx.xx.x."
                                           << "column 5 1 1" << 2;
        QTest::addRow("run across the end") << "x.xxxxx"
                                            << "column 4 1 2" << 3;
        QTest::addRow("only unticked beyond") << "xxxx..."
                                              << "column 2 1 4" << 0;
    }

    void rowsBeyondTheSheetAreReportedOnce()
    {
        QFETCH(QString, ticks);
        QFETCH(QString, lastWrite);
        QFETCH(int, leftOut);
        spreadsheet().sheetRows = 5;
        fillList(ticks);
        m_form->PushButton13_Click();

        QCOMPARE(spreadsheet().calls.last(), QStringLiteral("fit 1"));
        QCOMPARE(spreadsheet().calls[spreadsheet().calls.size() - 2], lastWrite);
        if (leftOut == 0) {
            QCOMPARE(shown().size(), 0);
            return;
        }
        QCOMPARE(shown().size(), 1);
        QCOMPARE(shown()[0].text,
            ErrorTrap::composeReport(
                QStringLiteral("%1 ticked rows did not fit on the sheet, which ends at row 5")
                    .arg(leftOut),
                kLocation, 124));
    }

    // The export yields between blocks; a "Clear Results" handled then must
    // end it with one report, without reading rows that are gone, and leave
    // the rows written so far readable.
    void aListClearedDuringAYieldEndsTheExport()
    {
        // More rows than one write takes, so that a yield comes before the next.
        fillList(QString(16384 + 2, QLatin1Char('x')));
        // As if the user clicked "Clear Results" while the export yields
        // after the first block.
        std::optional<test::AtNextYield> clear;
        spreadsheet().afterColumnWrite = [&] {
            if (!clear)
                clear.emplace([this] { m_form->results().clear(); });
        };
        m_form->PushButton13_Click();
        QVERIFY(clear && clear->ran());

        QCOMPARE(m_form->results().size(), std::size_t(0));
        QCOMPARE(spreadsheet().calls.mid(4), QStringList({ "column 2 1 16384", "fit 1", "fit 1" }));
        QCOMPARE(shown().size(), 1);
        QCOMPARE(shown()[0].text,
            ErrorTrap::composeReport(QStringLiteral("The results list changed during the "
                                                    "export: row 16385 is no longer there"),
                kLocation, 122));
    }
};

PELLORIN_TEST_MAIN(TestSpreadsheetExport)
#include "TestSpreadsheetExport.moc"
