#include "QtSettingsStore.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QFile>
#include <QtTest>

using namespace pellorin;

class TestSettingsStore : public QObject {
    Q_OBJECT
private slots:
    void init() { test::removeSettingsFile(); }

    void writesTheIniFileInTheUserConfigFolder()
    {
        QtSettingsStore store;
        store.write(QStringLiteral("Option2"), QStringLiteral("True"));
        // Flushed at once: the file holds the value without waiting for exit.
        QFile file(test::settingsFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray contents = file.readAll();
        QVERIFY2(contents.contains("[Pellorin]"), contents.constData());
        QVERIFY2(contents.contains("Option2=True"), contents.constData());
    }

    void missingKeyGivesTheDefault()
    {
        QtSettingsStore store;
        QCOMPARE(store.read(QStringLiteral("Text1"), QStringLiteral("50")), QStringLiteral("50"));
    }

    void valuesRoundTripExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addRow("empty") << QString();
        QTest::addRow("blanks") << QStringLiteral("   ");
        QTest::addRow("padded") << QStringLiteral("  12  ");
        QTest::addRow("equals") << QStringLiteral("a=b");
        QTest::addRow("semicolon") << QStringLiteral("1;2");
        QTest::addRow("comma") << QStringLiteral("1,000");
        QTest::addRow("quotes") << QStringLiteral("\"quoted\" 'single'");
        QTest::addRow("backslash") << QStringLiteral("C:\\path\\x");
        QTest::addRow("non-ascii") << QStringLiteral("Zähl €5 数");
        QTest::addRow("brackets") << QStringLiteral("[Pellorin]");
        QTest::addRow("hash") << QStringLiteral("#5");
        QTest::addRow("newline") << QStringLiteral("1\n2");
    }

    void valuesRoundTripExactly()
    {
        QFETCH(QString, value);
        {
            QtSettingsStore store;
            store.write(QStringLiteral("Text1"), value);
        }
        QtSettingsStore reread;
        QCOMPARE(reread.read(QStringLiteral("Text1"), QStringLiteral("50")), value);
    }

    void handEditedListValueReadsAsItsText()
    {
        test::writeSettingsFile("[Pellorin]\nText1=1,000\n");
        QtSettingsStore store;
        QCOMPARE(
            store.read(QStringLiteral("Text1"), QStringLiteral("50")), QStringLiteral("1,000"));
    }

    void corruptFileGivesDefaults()
    {
        test::writeSettingsFile(QByteArray("\x00\xff\xfe[[[=\n\x01", 10));
        QtSettingsStore store;
        QCOMPARE(store.read(QStringLiteral("Option1"), QStringLiteral("1")), QStringLiteral("1"));
    }
};

PELLORIN_TEST_MAIN(TestSettingsStore)
#include "TestSettingsStore.moc"
