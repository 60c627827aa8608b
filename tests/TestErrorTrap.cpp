#include "ErrorTrap.h"
#include "FakeServices.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QtTest>

#include <new>
#include <system_error>

using namespace pellorin;

class TestErrorTrap : public QObject {
    Q_OBJECT
private slots:
    void composesTheReportByteForByte()
    {
        const QString text = ErrorTrap::composeReport(QStringLiteral("Out of memory"),
            QStringLiteral("in Tavimbrel5/20/2014.Form1.PushButton1_Click "), 204);
        QCOMPARE(text,
            QStringLiteral("Out of memory\r\nin Tavimbrel5/20/2014.Form1.PushButton1_Click "
                           "at line 204\r\rPlease email screenshot of this message to ")
                + ErrorTrap::supportAddress());
        QVERIFY(ErrorTrap::supportAddress().contains(QLatin1Char('@')));
    }

    void describesFailuresPlainly_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("description");
        QTest::addRow("allocation") << 0 << QStringLiteral("Out of memory");
        QTest::addRow("system error") << 1 << QStringLiteral("Permission denied");
        QTest::addRow("our own") << 2 << QStringLiteral("The list changed");
        QTest::addRow("not an exception") << 3 << QStringLiteral("Unexpected failure");
    }

    void describesFailuresPlainly()
    {
        QFETCH(int, kind);
        QFETCH(QString, description);
        test::RecordingMessageBoxes boxes;
        ErrorTrap trap(boxes, QStringLiteral("in X "));
        const bool ok = trap.step(110, [kind] {
            switch (kind) {
            case 0:
                throw std::bad_alloc();
            case 1:
                throw std::system_error(EACCES, std::generic_category());
            case 2:
                throw StepFailure(QStringLiteral("The list changed"));
            default:
                throw 42;
            }
        });
        QVERIFY(!ok);
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY2(boxes.shown[0].text.startsWith(
                     description + QStringLiteral("\r\nin X at line 110\r\r")),
            qPrintable(boxes.shown[0].text));
        QCOMPARE(boxes.shown[0].caption, QStringLiteral("Application Error"));
        QCOMPARE(boxes.shown[0].icon, MessageIcon::Warning);
    }

    void carriesOnAfterAFailureAndStaysArmed()
    {
        test::RecordingMessageBoxes boxes;
        ErrorTrap trap(boxes, QStringLiteral("in X "));
        QStringList ran;
        QVERIFY(!trap.step(100, [&] {
            ran << "100";
            throw StepFailure(QStringLiteral("first"));
        }));
        QVERIFY(trap.step(102, [&] { ran << "102"; }));
        QVERIFY(!trap.step(104, [&] {
            ran << "104";
            throw StepFailure(QStringLiteral("second"));
        }));
        QCOMPARE(ran, (QStringList { "100", "102", "104" }));
        QCOMPARE(boxes.shown.size(), 2);
        QVERIFY(boxes.shown[0].text.contains(QStringLiteral("at line 100\r\r")));
        QVERIFY(boxes.shown[1].text.startsWith(QStringLiteral("second\r\n")));
        QVERIFY(boxes.shown[1].text.contains(QStringLiteral("at line 104\r\r")));
    }
};

PELLORIN_TEST_MAIN(TestErrorTrap)
#include "TestErrorTrap.moc"
