// pellorin-cli's table format against the window's own "Save Results As Text
// File" for the same numbers, byte for byte.

#include "CommandLineRun.h"
#include "MainWindowUnderTest.h"
#include "ResultsModel.h"
#include "RunProgram.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace pellorin;

class TestCommandLineTable : public QObject {
    Q_OBJECT

private slots:
    void tableIsTheWindowsTextFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addRow("visa, several blocks") << QStringList { "--count", "40000" };
        QTest::addRow("amex") << QStringList { "--brand", "amex", "--count", "500" };
        QTest::addRow("no numbers") << QStringList { "--count", "0" };
        QTest::addRow("custom 12 digits, narrower than the caption")
            << QStringList { "--prefix", "60", "--length", "12", "--count", "300", "--unique" };
    }

    void tableIsTheWindowsTextFile()
    {
        QFETCH(QStringList, arguments);
        std::vector<std::string> common { "generate", "--seed", "99", "--threads", "2" };
        for (const QString& a : arguments)
            common.push_back(a.toStdString());
        auto withFormat = [&](const char* format) {
            std::vector<std::string> all = common;
            all.insert(all.end(), { "--format", format });
            const test::ProgramRun run = test::runProgram(test::cliProgram(), all);
            if (run.status != 0)
                qWarning("%s", run.err.c_str());
            return run.out;
        };
        const std::string numbers = withFormat("text");
        const std::string table = withFormat("table");

        test::FakeServices services;
        const auto window = test::showMainWindow(services);
        QVERIFY(window);
        {
            ResultsModel::Appender appender(window->results());
            std::size_t start = 0;
            for (std::size_t end; (end = numbers.find('\n', start)) != std::string::npos;
                 start = end + 1)
                appender.append(std::string_view(numbers).substr(start, end - start));
        }
        QTemporaryDir folder;
        test::saveAs(*window, services, folder.filePath(QStringLiteral("results.txt")));
        QFile file(services.saveDialog.nextFileName);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray saved = file.readAll();
        QCOMPARE(saved.size(), qsizetype(table.size()));
        QVERIFY(saved == QByteArray::fromStdString(table));
    }
};

PELLORIN_TEST_MAIN(TestCommandLineTable)
#include "TestCommandLineTable.moc"
