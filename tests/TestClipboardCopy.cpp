#include "AtNextYield.h"
#include "ErrorTrap.h"
#include "FakeServices.h"
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

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PELLORIN_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define PELLORIN_ASAN 1
#endif

#ifndef PELLORIN_ASAN
#include <sys/resource.h>
#endif

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
#ifdef PELLORIN_ASAN
        QSKIP("AddressSanitizer reserves more address space than the limit allows");
#else
        // Half a million rows need some 17 MB of text; allow 8 MB more than
        // is in use now.
        ResultsModel& results = m_form->results();
        {
            ResultsModel::Appender appender(results);
            for (int i = 0; i < 500000; ++i)
                appender.append("4539148803436467");
        }
        rlimit old {};
        QCOMPARE(getrlimit(RLIMIT_AS, &old), 0);
        QFile status(QStringLiteral("/proc/self/statm"));
        QVERIFY(status.open(QIODevice::ReadOnly));
        const rlim_t pages = status.readAll().split(' ').first().toULongLong();
        rlimit tight = old;
        tight.rlim_cur = pages * rlim_t(getpagesize()) + (8 << 20);
        QCOMPARE(setrlimit(RLIMIT_AS, &tight), 0);
        m_form->PushButton2_Click();
        QCOMPARE(setrlimit(RLIMIT_AS, &old), 0);

        QVERIFY(!m_services->clipboard.text.has_value());
        QCOMPARE(m_services->messages.shown.size(), 1);
        QCOMPARE(m_services->messages.shown.first().text, report(QStringLiteral("Out of memory")));
#endif
    }
};

PELLORIN_TEST_MAIN(TestClipboardCopy)
#include "TestClipboardCopy.moc"
