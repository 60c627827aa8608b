#include "AtNextYield.h"
#include "ErrorTrap.h"
#include "FakeServices.h"
#include "FaultInjection.h"
#include "Form1.h"
#include "MainWindowUnderTest.h"
#include "ResultsModel.h"
#include "ResultsRows.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>

#include <memory>
#include <optional>

using namespace pellorin;

namespace {

const QString kCopied = QStringLiteral(
    "Results have been copied to the clipboard.\r\rClick a text area where you normally type "
    "and press Ctrl+V to paste the clipboard.");

QString report(const QString& description)
{
    return description
        + QStringLiteral("\r\nin Tavimbrel5/20/2014.Form1.PushButton2_Click at line 106\r\r"
                         "Please email screenshot of this message to ")
        + ErrorTrap::supportAddress();
}

// The child: a copy of half a million rows, some 17 MB of text, with 8 MB
// more address space than is in use.
int runOutOfMemoryChild()
{
    test::FakeServices services;
    Form1 form(services.services());
    {
        ResultsModel::Appender appender(form.results());
        for (int i = 0; i < 500000; ++i)
            appender.append("4539148803436467");
    }
    test::limitAddressSpace(std::size_t { 8 } << 20);
    form.PushButton2_Click();
    test::printChildValue(QStringLiteral("clipboard set"),
        services.clipboard.text.has_value() ? QStringLiteral("yes") : QStringLiteral("no"));
    test::printChildValue(
        QStringLiteral("reports"), QString::number(services.messages.shown.size()));
    for (const auto& shown : services.messages.shown)
        test::printChildValue(QStringLiteral("report"), shown.text);
    return 0;
}

int runChildRole(const QStringList& arguments)
{
    return arguments.value(0) == QStringLiteral("out-of-memory") ? runOutOfMemoryChild() : 2;
}

} // namespace

class TestClipboardCopy : public test::MainWindowTest {
    Q_OBJECT

    void fill(const QStringList& rows) { test::fillResults(m_form->results(), rows); }

    void click()
    {
        QTest::mouseClick(
            m_form->findChild<QPushButton*>(QStringLiteral("PushButton2")), Qt::LeftButton);
    }

private slots:
    void copiesTickedRows_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("clears");
        QTest::addColumn<QString>("clipboard"); // null: never touched

        QTest::addRow("empty list leaves the clipboard alone") << QStringList {} << 0 << QString();
        QTest::addRow("none ticked empties it")
            << QStringList { "-4539148803436467", "-378282246310005" } << 1 << QStringLiteral("");
        QTest::addRow("16 and 15 digits") << QStringList { "4539148803436467",
            "378282246310005" } << 1 << QStringLiteral("4539148803436467\r\n378282246310005\r\n");
        QTest::addRow("unticked rows left out") << QStringList { "-5108131111111111",
            "378282246310005", "-4", "12" } << 1 << QStringLiteral("378282246310005\r\n12\r\n");
    }

    void copiesTickedRows()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, clears);
        QFETCH(QString, clipboard);
        fill(rows);
        click();

        QCOMPARE(m_services->clipboard.clears, clears);
        QCOMPARE(m_services->clipboard.text.has_value(), !clipboard.isNull());
        if (!clipboard.isNull())
            QCOMPARE(*m_services->clipboard.text, clipboard);
        QCOMPARE(m_services->messages.shown.size(), 1);
        const auto& shown = m_services->messages.shown.first();
        QCOMPARE(shown.text, kCopied);
        QCOMPARE(shown.caption, QStringLiteral("Pellorin"));
        QCOMPARE(shown.icon, MessageIcon::None);
    }

    // "Clear Results" pressed while the copy yields: the report, and no claim
    // that the copy worked.
    void clearedDuringCopyIsReportedNotAnnounced()
    {
        fill({ "4539148803436467", "378282246310005" });
        test::AtNextYield clear(
            [this] { m_form->findChild<QPushButton*>(QStringLiteral("PushButton3"))->click(); });
        m_form->PushButton2_Click();

        QCOMPARE(m_form->results().size(), std::size_t(0));
        QVERIFY(!m_services->clipboard.text.has_value());
        QCOMPARE(m_services->messages.shown.size(), 1);
        const auto& shown = m_services->messages.shown.first();
        QCOMPARE(shown.text,
            report(
                QStringLiteral("The results list changed during the export: rows were removed")));
        QCOMPARE(shown.caption, QStringLiteral("Application Error"));
        QCOMPARE(shown.icon, MessageIcon::Warning);
    }

    void clearedAndRefilledDuringCopyIsReported()
    {
        fill({ "4539148803436467", "378282246310005" });
        test::AtNextYield refill([this] {
            m_form->results().clear();
            fill({ "1", "2", "3" });
        });
        m_form->PushButton2_Click();

        QVERIFY(!m_services->clipboard.text.has_value());
        QCOMPARE(m_services->messages.shown.size(), 1);
        QCOMPARE(m_services->messages.shown.first().caption, QStringLiteral("Application Error"));
    }

    void rowsAppendedDuringCopyWaitForTheNextCopy()
    {
        fill({ "4539148803436467" });
        test::AtNextYield append([this] { fill({ "378282246310005" }); });
        m_form->PushButton2_Click();

        QCOMPARE(m_form->results().size(), std::size_t(2));
        QCOMPARE(*m_services->clipboard.text, QStringLiteral("4539148803436467\r\n"));
        QCOMPARE(m_services->messages.shown.size(), 1);
        QCOMPARE(m_services->messages.shown.first().text, kCopied);
    }

    // A copy after a copy drops our first text before building the next, so
    // both never need memory at once; should the second fail, the clipboard
    // is left empty.
    void nextCopyReleasesOurTextFirst()
    {
        fill({ "4539148803436467", "378282246310005" });
        click();
        QCOMPARE(
            *m_services->clipboard.text, QStringLiteral("4539148803436467\r\n378282246310005\r\n"));
        std::optional<QString> duringSecond;
        test::AtNextYield clear([this, &duringSecond] {
            duringSecond = m_services->clipboard.text;
            m_form->findChild<QPushButton*>(QStringLiteral("PushButton3"))->click();
        });
        m_form->PushButton2_Click();

        QCOMPARE(m_services->clipboard.releases, 1);
        QCOMPARE(duringSecond, std::optional<QString>(QString()));
        QCOMPARE(m_services->clipboard.text, std::optional<QString>(QString()));
        QCOMPARE(m_services->messages.shown.size(), 2);
        QCOMPARE(m_services->messages.shown.last().caption, QStringLiteral("Application Error"));
    }

    void outOfMemoryIsOneReport()
    {
        if (test::kAddressSanitizer)
            QSKIP("AddressSanitizer reserves more address space than the limit allows");
        const test::ChildResult child
            = test::runChild({ QStringLiteral("out-of-memory") }, 120 * 1000);
        QVERIFY2(child.finished, child.errorOutput.constData());
        QCOMPARE(child.exitCode, 0);
        QCOMPARE(child.values.value(QStringLiteral("clipboard set")), QStringLiteral("no"));
        QCOMPARE(child.values.value(QStringLiteral("reports")), QStringLiteral("1"));
        QCOMPARE(
            child.values.value(QStringLiteral("report")), report(QStringLiteral("Out of memory")));
    }
};

PELLORIN_TEST_MAIN_WITH_CHILD(TestClipboardCopy, runChildRole)
#include "TestClipboardCopy.moc"
