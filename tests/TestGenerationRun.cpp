#include "CardGenerator.h"
#include "ErrorTrap.h"
#include "FakeServices.h"
#include "Form1.h"
#include "GenerationRun.h"
#include "LuhnCheck.h"
#include "MainWindowUnderTest.h"
#include "ResultsModel.h"
#include "ResultsRows.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QtTest>

#include <memory>

using namespace pellorin;

class TestGenerationRun : public test::MainWindowTest {
    Q_OBJECT

    void generate(int optionIndex, const QString& quantity)
    {
        QTest::mouseClick(
            control<QRadioButton>(kOptions[optionIndex]), Qt::LeftButton, {}, QPoint(8, 8));
        control<QLineEdit>("Text1")->setText(quantity);
        QTest::mouseClick(control<QPushButton>("PushButton1"), Qt::LeftButton);
    }

    static constexpr const char* kOptions[] = { "Option1", "Option2", "Option3", "Option4" };

    QString storedValue(const QString& key)
    {
        QSettings file(test::settingsFilePath(), QSettings::IniFormat);
        return file.value(QStringLiteral("Pellorin/") + key).toString();
    }

private slots:
    void mastercardThreeRows()
    {
        generate(1, QStringLiteral("3"));
        ResultsModel& results = m_form->results();
        QCOMPARE(results.rowCount(), 3);
        for (std::size_t r = 0; r < 3; ++r) {
            const std::string number = test::resultText(results, r);
            QCOMPARE(number.size(), std::size_t(16));
            QVERIFY(number.starts_with("510813"));
            QCOMPARE(number.find_first_not_of("123456789", 6), std::string::npos);
            QVERIFY(LuhnCheck(number));
            QVERIFY(results.isTicked(r));
        }
        QCOMPARE(control<QProgressBar>("ProgressBar1")->value(), 0);
        QCOMPARE(storedValue(QStringLiteral("Option2")), QStringLiteral("True"));
        QVERIFY(m_services->messages.shown.isEmpty());
    }

    void eachBrandGivesItsNumbers_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("length");
        QTest::addColumn<QStringList>("prefixes");
        QTest::addRow("visa") << 0 << 16
                              << QStringList { "4032", "4128", "4250", "4312", "4421", "4539",
                                     "4556", "4673", "4722", "4800", "4833" };
        QTest::addRow("amex") << 2 << 15 << QStringList { "372034", "372407", "372861", "373227" };
        QTest::addRow("discover") << 3 << 16 << QStringList { "601100" };
    }

    void eachBrandGivesItsNumbers()
    {
        QFETCH(int, option);
        QFETCH(int, length);
        QFETCH(QStringList, prefixes);
        generate(option, QStringLiteral("400"));
        ResultsModel& results = m_form->results();
        QCOMPARE(results.rowCount(), 400);
        QSet<QString> seen;
        for (int r = 0; r < 400; ++r) {
            const QString number = results.index(r).data().toString();
            QCOMPARE(number.size(), length);
            const auto it = std::find_if(prefixes.begin(), prefixes.end(),
                [&](const QString& p) { return number.startsWith(p); });
            QVERIFY2(it != prefixes.end(), qPrintable(number));
            seen.insert(*it);
        }
        QCOMPARE(seen.size(), prefixes.size());
    }

    void newRowsFollowExistingOnesAndClearEmptiesTheList()
    {
        generate(3, QStringLiteral("5"));
        const std::string first = test::resultText(m_form->results(), 0);
        generate(1, QStringLiteral("5"));
        ResultsModel& results = m_form->results();
        QCOMPARE(results.rowCount(), 10);
        QCOMPARE(test::resultText(results, 0), first);
        QVERIFY(test::resultText(results, 4).starts_with("601100"));
        QVERIFY(test::resultText(results, 5).starts_with("510813"));

        QTest::mouseClick(control<QPushButton>("PushButton3"), Qt::LeftButton);
        QCOMPARE(results.rowCount(), 0);
        QCOMPARE(results.columnCaption(), QStringLiteral("Result(s)"));
        QTest::mouseClick(control<QPushButton>("PushButton3"), Qt::LeftButton);
        QVERIFY(m_services->messages.shown.isEmpty());
    }

    void quantitiesThatAppendNothing_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("report");
        QTest::addRow("zero") << "0" << QString();
        QTest::addRow("negative") << "-3" << QString();
        QTest::addRow("text") << "abc"
                              << "at line 100\r\r";
    }

    void quantitiesThatAppendNothing()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, report);
        generate(0, QStringLiteral("2"));
        generate(0, quantity);
        QCOMPARE(m_form->results().rowCount(), 2);
        QCOMPARE(control<QProgressBar>("ProgressBar1")->value(), 0);
        if (report.isEmpty()) {
            QVERIFY(m_services->messages.shown.isEmpty());
        } else {
            QCOMPARE(m_services->messages.shown.size(), 1);
            const auto& shown = m_services->messages.shown[0];
            QCOMPARE(shown.caption, QStringLiteral("Application Error"));
            QVERIFY2(shown.text.contains(
                         QStringLiteral("in Tavimbrel5/20/2014.Form1.PushButton1_Click ") + report),
                qPrintable(shown.text));
        }
    }

    // The end of a run of the largest quantity: the count must not step past
    // its range after the last number (the sanitizer build reports that), and
    // the run ends as any other.
    void largestQuantityEndsCleanly()
    {
        ResultsModel results;
        RandomSource random(1);
        ErrorTrap trap(m_services->messages, handlerLocation("PushButton1_Click"));
        QList<int> progress;
        runGeneration(
            results, brand(BrandId::Discover), INT32_MAX, random, trap,
            [&](int percent) { progress << percent; }, INT32_MAX - 2);
        QCOMPARE(results.size(), std::size_t(3));
        QVERIFY(test::resultText(results, 2).starts_with("601100"));
        QCOMPARE(progress, (QList<int> { 99, 100, 0 }));
        QVERIFY(m_services->messages.shown.isEmpty());
    }

    // The window's numbers come through the engine as its generator makes
    // them from the same draws, and the bar shows every whole percentage the
    // run reaches, once and in order, then 0.
    void runGivesTheGeneratorsNumbersAndEachPercentage_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("quantity");
        QTest::addRow("visa 3") << int(BrandId::Visa) << 3;
        QTest::addRow("mastercard 7") << int(BrandId::Mastercard) << 7;
        QTest::addRow("amex 250") << int(BrandId::AmericanExpress) << 250;
        QTest::addRow("discover 100003") << int(BrandId::Discover) << 100003;
    }

    void runGivesTheGeneratorsNumbersAndEachPercentage()
    {
        QFETCH(int, id);
        QFETCH(int, quantity);
        const Brand& b = brandTable()[std::size_t(id)];
        constexpr RandomSource::Timer sameTick = []() noexcept -> std::uint64_t { return 77; };
        RandomSource random(5, sameTick), reference(5, sameTick);
        ResultsModel results;
        ErrorTrap trap(m_services->messages, handlerLocation("PushButton1_Click"));
        QList<int> progress;
        runGeneration(
            results, b, quantity, random, trap, [&](int percent) { progress << percent; });
        QCOMPARE(results.size(), std::size_t(quantity));
        CardGenerator generator(b, reference);
        for (std::size_t r = 0; r < results.size(); ++r)
            QCOMPARE(test::resultText(results, r), std::string(generator.next().text()));
        QList<int> percentages;
        for (std::int64_t k = 1; k <= quantity; ++k) {
            const int percent = static_cast<int>(double(k) / quantity * 100.0);
            if (percent != (percentages.isEmpty() ? 0 : percentages.back()))
                percentages << percent;
        }
        percentages << 0;
        QCOMPARE(progress, percentages);
        QVERIFY(m_services->messages.shown.isEmpty());
    }

    void noBrandSelectedRefusesTheRun()
    {
        for (int i = 0; i < 4; ++i)
            m_form->setOptionSelected(i, false);
        control<QLineEdit>("Text1")->setText(QStringLiteral("3"));
        QTest::mouseClick(control<QPushButton>("PushButton1"), Qt::LeftButton);
        QCOMPARE(m_form->results().rowCount(), 0);
        QCOMPARE(m_services->messages.shown.size(), 1);
        QCOMPARE(m_services->messages.shown[0].text, QStringLiteral("Select a card type first."));
        QCOMPARE(m_services->messages.shown[0].caption, QStringLiteral("Pellorin"));
        QCOMPARE(m_services->messages.shown[0].icon, MessageIcon::Warning);
    }

    // The run's turns of the event loop hand on events such as a press from
    // assistive technology; a click that arrives so waits for the run.
    void aClickDuringARunWaitsForIt()
    {
        control<QLineEdit>("Text1")->setText(QStringLiteral("10000"));
        QMetaObject::invokeMethod(
            control<QPushButton>("PushButton3"), &QPushButton::click, Qt::QueuedConnection);
        control<QPushButton>("PushButton1")->click();
        QCOMPARE(m_form->results().rowCount(), 10000);
        QTRY_COMPARE(m_form->results().rowCount(), 0);
    }

    void optionClickStoresAllFourOptions()
    {
        QTest::mouseClick(control<QRadioButton>("Option3"), Qt::LeftButton, {}, QPoint(8, 8));
        QTest::mouseClick(control<QRadioButton>("Option2"), Qt::LeftButton, {}, QPoint(8, 8));
        QStringList stored;
        for (const char* key : kOptions)
            stored << storedValue(QLatin1String(key));
        QCOMPARE(stored, (QStringList { "False", "True", "False", "False" }));
    }
};

PELLORIN_TEST_MAIN(TestGenerationRun)
#include "TestGenerationRun.moc"
