// Quantities the run cannot use and a run that runs out of memory: a report,
// never a crash, and the rows already in the list stay.

#include "ErrorTrap.h"
#include "FakeServices.h"
#include "FaultInjection.h"
#include "Form1.h"
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
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

using namespace pellorin;

namespace {

const QString kLocation = QStringLiteral("in Tavimbrel5/20/2014.Form1.PushButton1_Click ");

using test::control;

void generate(Form1& form, const char* option, const QString& quantity)
{
    QTest::mouseClick(control<QRadioButton>(form, option), Qt::LeftButton, {}, QPoint(8, 8));
    control<QLineEdit>(form, "Text1")->setText(quantity);
    QTest::mouseClick(control<QPushButton>(form, "PushButton1"), Qt::LeftButton);
}

bool isVisaNumber(const std::string& number)
{
    static const char* const kPrefixes[] = { "4032", "4128", "4250", "4312", "4421", "4539", "4556",
        "4673", "4722", "4800", "4833" };
    if (number.size() != 16 || !LuhnCheck(number)
        || number.find_first_not_of("123456789", 4) != std::string::npos)
        return false;
    for (const char* prefix : kPrefixes) {
        if (number.starts_with(prefix))
            return true;
    }
    return false;
}

// The child: a run of the largest quantity under an address-space limit.
int runOutOfMemoryChild()
{
    test::FakeServices services;
    Form1 form(services.services());
    form.show();
    generate(form, "Option2", QStringLiteral("3"));
    test::limitAddressSpace(std::size_t { 64 } << 20);
    generate(form, "Option1", QStringLiteral("2147483647"));

    ResultsModel& results = form.results();
    test::printChildValue(QStringLiteral("rows"), QString::number(results.size()));
    std::size_t wrong = 0;
    for (std::size_t r = 0; r < results.size(); ++r) {
        const std::string number = test::resultText(results, r);
        const bool valid
            = r < 3 ? number.starts_with("510813") && LuhnCheck(number) : isVisaNumber(number);
        wrong += valid ? 0 : 1;
    }
    test::printChildValue(QStringLiteral("wrong rows"), QString::number(wrong));
    test::printChildValue(
        QStringLiteral("reports"), QString::number(services.messages.shown.size()));
    for (const auto& shown : services.messages.shown) {
        test::printChildValue(QStringLiteral("report"), shown.text);
        test::printChildValue(QStringLiteral("caption"), shown.caption);
    }
    test::printChildValue(QStringLiteral("progress"),
        QString::number(control<QProgressBar>(form, "ProgressBar1")->value()));

    // The window goes on working once the user frees the memory.
    QTest::mouseClick(control<QPushButton>(form, "PushButton3"), Qt::LeftButton);
    generate(form, "Option1", QStringLiteral("5"));
    test::printChildValue(QStringLiteral("rows after clear"), QString::number(results.size()));
    test::printChildValue(
        QStringLiteral("reports after clear"), QString::number(services.messages.shown.size()));
    return 0;
}

int runChildRole(const QStringList& arguments)
{
    return arguments.value(0) == QStringLiteral("out-of-memory") ? runOutOfMemoryChild() : 2;
}

} // namespace

class TestFaultInjectionGeneration : public test::MainWindowTest {
    Q_OBJECT

private slots:
    void unusableQuantities_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addRow("one beyond the 32-bit range") << "2147483648";
        QTest::addRow("empty") << "";
    }

    void unusableQuantities()
    {
        QFETCH(QString, quantity);
        generate(*m_form, "Option2", QStringLiteral("3"));
        ResultsModel& results = m_form->results();
        QCOMPARE(results.size(), std::size_t(3));
        std::vector<std::string> before;
        for (std::size_t r = 0; r < 3; ++r)
            before.push_back(test::resultText(results, r));

        generate(*m_form, "Option1", quantity);

        QCOMPARE(results.size(), std::size_t(3));
        for (std::size_t r = 0; r < 3; ++r)
            QCOMPARE(test::resultText(results, r), before[r]);
        QCOMPARE(control<QProgressBar>("ProgressBar1")->value(), 0);
        const auto& shown = m_services->messages.shown;
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].caption, QStringLiteral("Application Error"));
        QCOMPARE(shown[0].icon, MessageIcon::Warning);
        // The description names what was typed; the rest is the report's frame.
        const QString tail = QStringLiteral("\r\n") + kLocation + QStringLiteral("at line 100\r\r")
            + QStringLiteral("Please email screenshot of this message to ")
            + ErrorTrap::supportAddress();
        QVERIFY2(shown[0].text.endsWith(tail), qPrintable(shown[0].text));
        const QString description = shown[0].text.chopped(tail.size());
        QVERIFY2(description.contains(QLatin1Char('"') + quantity + QLatin1Char('"')),
            qPrintable(description));
    }

    void runOutOfMemoryKeepsTheRowsAndReportsOnce()
    {
        if (test::kAddressSanitizer)
            QSKIP("AddressSanitizer ends the process on an allocation failure instead of "
                  "throwing std::bad_alloc; this case runs in the ordinary build");
        const test::ChildResult child
            = test::runChild({ QStringLiteral("out-of-memory") }, 240 * 1000);
        QVERIFY2(child.finished, child.errorOutput.constData());
        QCOMPARE(child.exitCode, 0);
        const qulonglong rows = child.values.value(QStringLiteral("rows")).toULongLong();
        // 64 MB hold about eight million rows; the limit stopped the run long
        // before the two billion asked for.
        QVERIFY2(rows > 1000000 && rows < 20000000, qPrintable(QString::number(rows)));
        QCOMPARE(child.values.value(QStringLiteral("wrong rows")), QStringLiteral("0"));
        QCOMPARE(child.values.value(QStringLiteral("reports")), QStringLiteral("1"));
        QCOMPARE(child.values.value(QStringLiteral("report")),
            ErrorTrap::composeReport(QStringLiteral("Out of memory"), kLocation, 204));
        QCOMPARE(
            child.values.value(QStringLiteral("caption")), QStringLiteral("Application Error"));
        QCOMPARE(child.values.value(QStringLiteral("progress")), QStringLiteral("0"));
        QCOMPARE(child.values.value(QStringLiteral("rows after clear")), QStringLiteral("5"));
        QCOMPARE(child.values.value(QStringLiteral("reports after clear")), QStringLiteral("1"));
    }
};

PELLORIN_TEST_MAIN_WITH_CHILD(TestFaultInjectionGeneration, runChildRole)

#include "TestFaultInjectionGeneration.moc"
