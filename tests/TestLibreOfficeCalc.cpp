// The spreadsheet export against a real LibreOffice. The test starts its own
// headless office with a throwaway profile and ends it by process id; when no
// office can be started, the tests fail rather than skip.

#include "AtNextYield.h"
#include "ErrorTrap.h"
#include "FakeServices.h"
#include "Form1.h"
#include "HeadlessOffice.h"
#include "LibreOfficeSpreadsheet.h"
#include "OfficeCall.h"
#include "ResultsModel.h"
#include "TestEnvironment.h"

#include <com/sun/star/table/CellContentType.hpp>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include <functional>
#include <memory>
#include <span>
#include <thread>
#include <utility>

using namespace pellorin;
using css::table::CellContentType_EMPTY;
using css::table::CellContentType_TEXT;
using test::HeadlessOffice;

namespace {

const QString kNotStarted
    = QStringLiteral("LibreOffice Calc is not installed or could not be started: ");

HeadlessOffice::Cell text(const char* digits)
{
    return { CellContentType_TEXT, QString::fromLatin1(digits) };
}

const HeadlessOffice::Cell kEmpty { CellContentType_EMPTY, QString() };

// The parent process id of `pid`, from /proc.
qint64 parentOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() : -1;
}

// Runs a test body that talks to the office, turning its exceptions into a
// failure that gives the reason.
template <class Body> void guarded(Body body)
{
    try {
        body();
    } catch (const std::exception& e) {
        QFAIL(e.what());
    }
}

// Takes connections on an office's pipe, as a hung office would, and never
// answers them.
class SilentOffice {
public:
    explicit SilentOffice(const QString& pipeName)
        : m_path(test::officePipePath(pipeName).toStdString())
    {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, m_path.c_str(), sizeof address.sun_path - 1);
        m_socket = socket(AF_UNIX, SOCK_STREAM, 0);
        if (m_socket < 0
            || bind(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
            || listen(m_socket, 8) != 0)
            qFatal("cannot listen on %s", m_path.c_str());
    }
    ~SilentOffice() { close(); }
    SilentOffice(const SilentOffice&) = delete;
    SilentOffice& operator=(const SilentOffice&) = delete;

    // Ends the connections it took without a word.
    void close()
    {
        if (m_socket < 0)
            return;
        ::close(m_socket);
        m_socket = -1;
        unlink(m_path.c_str());
    }

private:
    std::string m_path;
    int m_socket = -1;
};

// The real office, with `interrupt` run once after the first block write: a
// way to take the document away in the middle of an export.
class InterruptedSpreadsheet final : public Spreadsheet {
public:
    InterruptedSpreadsheet(Spreadsheet& real, std::function<void()> interrupt)
        : m_real(real)
        , m_interrupt(std::move(interrupt))
    {
    }

    std::unique_ptr<SpreadsheetApplication> createApplication(const QString& id) override
    {
        return std::make_unique<Application>(m_real.createApplication(id), m_interrupt);
    }

private:
    class Workbook final : public SpreadsheetWorkbook {
    public:
        Workbook(std::unique_ptr<SpreadsheetWorkbook> real, std::function<void()>& interrupt)
            : m_real(std::move(real))
            , m_interrupt(interrupt)
        {
        }
        int sheetRowCount() override { return m_real->sheetRowCount(); }
        void setActiveSheetCell(int row, int column, const QString& text) override
        {
            m_real->setActiveSheetCell(row, column, text);
        }
        void setActiveSheetColumn(int column, std::span<const SpreadsheetColumnRun> runs) override
        {
            m_real->setActiveSheetColumn(column, runs);
            if (m_interrupt)
                std::exchange(m_interrupt, nullptr)();
        }
        void fitActiveSheetColumn(int column) override { m_real->fitActiveSheetColumn(column); }

    private:
        std::unique_ptr<SpreadsheetWorkbook> m_real;
        std::function<void()>& m_interrupt;
    };

    class Application final : public SpreadsheetApplication {
    public:
        Application(std::unique_ptr<SpreadsheetApplication> real, std::function<void()>& interrupt)
            : m_real(std::move(real))
            , m_interrupt(interrupt)
        {
        }
        std::unique_ptr<SpreadsheetWorkbook> addWorkbook() override
        {
            return std::make_unique<Workbook>(m_real->addWorkbook(), m_interrupt);
        }
        void setVisible(bool visible) override { m_real->setVisible(visible); }

    private:
        std::unique_ptr<SpreadsheetApplication> m_real;
        std::function<void()>& m_interrupt;
    };

    Spreadsheet& m_real;
    std::function<void()> m_interrupt;
};

} // namespace

Q_DECLARE_METATYPE(std::vector<HeadlessOffice::Cell>)

class TestLibreOfficeCalc : public QObject {
    Q_OBJECT

    std::unique_ptr<HeadlessOffice> m_office;
    std::unique_ptr<LibreOfficeSpreadsheet> m_spreadsheet;
    std::unique_ptr<test::FakeServices> m_fakes;
    std::unique_ptr<Form1> m_form;

    // A window whose spreadsheet is `spreadsheet`, everything else recorded.
    void makeForm(Spreadsheet& spreadsheet)
    {
        m_fakes = std::make_unique<test::FakeServices>();
        Services services = m_fakes->services();
        m_form = std::make_unique<Form1>(Services { services.settings, services.messages,
            services.clipboard, services.saveDialog, spreadsheet, services.skin });
    }

    // Fills the list: 'x' a ticked row, '.' an unticked one, with `numbers` in turn.
    void fillList(const QString& ticks, const QStringList& numbers)
    {
        for (qsizetype k = 0; k < ticks.size(); ++k) {
            ResultsModel::Appender(m_form->results(), 1).append(numbers[k].toStdString());
            m_form->results().setTicked(std::size_t(k), ticks[k] == QLatin1Char('x'));
        }
    }

    // More ticked rows than one write takes, so that a second write follows.
    void fillMoreThanOneWrite()
    {
        const int rows = 16384 + 3;
        QStringList numbers;
        for (int k = 0; k < rows; ++k)
            numbers << QString::number(4539000000000000LL + k);
        fillList(QString(rows, QLatin1Char('x')), numbers);
    }

    QStringList reports() const
    {
        QStringList texts;
        for (const auto& shown : m_fakes->messages.shown)
            texts << shown.text;
        return texts;
    }

    // An office program in `dir` that runs the shell commands `body`.
    static QString writeOfficeScript(const QTemporaryDir& dir, const QString& body)
    {
        QString path = dir.filePath(QStringLiteral("soffice"));
        QFile script(path);
        if (!script.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        script.write((QStringLiteral("#!/bin/sh\n") + body).toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    // A stand-in for `soffice` that notes that it ran and exits at once.
    static QString writeFakeOffice(const QTemporaryDir& dir)
    {
        return writeOfficeScript(
            dir, QStringLiteral("touch '%1'\nexit 1\n").arg(dir.filePath(QStringLiteral("ran"))));
    }

private slots:
    void initTestCase()
    {
        try {
            m_office = std::make_unique<HeadlessOffice>();
        } catch (const std::exception& e) {
            QFAIL(qPrintable(QStringLiteral("No LibreOffice to test against: ") + e.what()));
        }
        LibreOfficeSpreadsheet::Options options;
        options.pipeName = m_office->pipeName();
        // Never start an office of its own: this one must be found.
        options.officeProgram = QStringLiteral("/nonexistent/soffice");
        m_spreadsheet = std::make_unique<LibreOfficeSpreadsheet>(options);
    }

    void cleanupTestCase() { m_office.reset(); }

    void init() { makeForm(*m_spreadsheet); }

    void cleanup()
    {
        guarded([&] {
            m_form.reset();
            m_fakes.reset();
            if (m_office)
                m_office->closeDocuments();
        });
    }

    void theSheetHoldsTheTickedNumbersAsText_data()
    {
        QTest::addColumn<QString>("ticks");
        QTest::addColumn<std::vector<HeadlessOffice::Cell>>("column");
        const HeadlessOffice::Cell heading = text("Results");
        QTest::addRow("all ticked")
            << "xxx"
            << std::vector { heading, text("4539148803436467"), text("6011000990139424"),
                   text("378282246310005"), kEmpty };
        QTest::addRow("middle unticked") << "x.x"
                                         << std::vector { heading, text("4539148803436467"), kEmpty,
                                                text("378282246310005"), kEmpty };
    }

    void theSheetHoldsTheTickedNumbersAsText()
    {
        guarded([&] {
            QFETCH(QString, ticks);
            QFETCH(std::vector<HeadlessOffice::Cell>, column);
            fillList(ticks, { "4539148803436467", "6011000990139424", "378282246310005" });
            m_form->PushButton13_Click();

            QCOMPARE(reports(), QStringList());
            const auto documents = m_office->spreadsheets();
            QCOMPARE(documents.size(), std::size_t(1));
            QVERIFY(HeadlessOffice::readColumn(documents[0], 1, 5) == column);
            QVERIFY(HeadlessOffice::readColumn(documents[0], 2, 5)
                == std::vector<HeadlessOffice::Cell>(5, kEmpty));
            // A default Calc column is 2258 (1/100 mm) wide, too narrow for 16 digits.
            QVERIFY2(HeadlessOffice::columnWidth(documents[0], 1) > 2258,
                qPrintable(QString::number(HeadlessOffice::columnWidth(documents[0], 1))));
        });
    }

    // Where the program is closed during an export, the document keeps what
    // it had at that moment: column A must be wide from the first block on.
    void columnAIsWideOnceTheFirstBlockIsIn()
    {
        guarded([&] {
            int widthAtSecondBlock = 0;
            std::unique_ptr<test::AtNextYield> atNextYield;
            InterruptedSpreadsheet firstBlockIn(*m_spreadsheet, [&] {
                atNextYield = std::make_unique<test::AtNextYield>([&] {
                    widthAtSecondBlock
                        = HeadlessOffice::columnWidth(m_office->spreadsheets().at(0), 1);
                });
            });
            makeForm(firstBlockIn);
            fillMoreThanOneWrite();
            m_form->PushButton13_Click();
            QVERIFY(atNextYield && atNextYield->ran());
            QVERIFY2(widthAtSecondBlock > 2258, qPrintable(QString::number(widthAtSecondBlock)));
            QCOMPARE(reports(), QStringList());
        });
    }

    void twoClicksGiveTwoDocuments()
    {
        guarded([&] {
            fillList(QStringLiteral("x.x"),
                { "5108131234567897", "5108139999999999", "5108130000000008" });
            m_form->PushButton13_Click();
            m_form->PushButton13_Click();

            QCOMPARE(reports(), QStringList());
            const auto documents = m_office->spreadsheets();
            QCOMPARE(documents.size(), std::size_t(2));
            QVERIFY(documents[0] != documents[1]);
            for (const auto& document : documents)
                QVERIFY(HeadlessOffice::readColumn(document, 1, 4)
                    == std::vector({ text("Results"), text("5108131234567897"), kEmpty,
                        text("5108130000000008") }));
        });
    }

    // The block write must leave exactly what one cell at a time leaves,
    // including for texts Calc might otherwise read as something else.
    void blockWriteMatchesOneCellAtATime()
    {
        guarded([&] {
            const std::vector<SpreadsheetColumnRun> runs {
                { 2, { "4539148803436467", "", "0000000000000001", "9999999999999999" } },
                { 7, { "=1+1" } },
                { 9, { "1e5", "'7", " 8 " } },
            };
            const int rows = 12;
            std::vector<std::vector<HeadlessOffice::Cell>> columns;
            css::uno::Reference<css::sheet::XSpreadsheetDocument> first;
            for (const bool blocks : { false, true }) {
                auto application
                    = m_spreadsheet->createApplication(QStringLiteral("Excel.Application"));
                auto workbook = application->addWorkbook();
                if (blocks) {
                    workbook->setActiveSheetColumn(1, runs);
                } else {
                    for (const SpreadsheetColumnRun& run : runs) {
                        for (std::size_t i = 0; i < run.texts.size(); ++i)
                            workbook->setActiveSheetCell(
                                run.firstRow + int(i), 1, QString::fromStdString(run.texts[i]));
                    }
                }
                const auto documents = m_office->spreadsheets();
                QCOMPARE(documents.size(), std::size_t(blocks ? 2 : 1));
                QCOMPARE(workbook->sheetRowCount(), 1048576);
                const auto written = blocks && documents[0] == first ? documents[1] : documents[0];
                first = written;
                columns.push_back(HeadlessOffice::readColumn(written, 1, rows));
            }
            QVERIFY(columns[0] == columns[1]);
            QCOMPARE(columns[0][1], text("4539148803436467"));
            QCOMPARE(columns[0][3], text("0000000000000001"));
            QCOMPARE(columns[0][5], kEmpty);
            QCOMPARE(columns[0][7], kEmpty);
            QCOMPARE(columns[0][11], kEmpty);
        });
    }

    void theLastRowOfTheSheetIsWritable()
    {
        guarded([&] {
            auto application
                = m_spreadsheet->createApplication(QStringLiteral("Excel.Application"));
            auto workbook = application->addWorkbook();
            const int last = workbook->sheetRowCount();
            const std::vector<SpreadsheetColumnRun> fits { { last - 1, { "1", "2" } } };
            const std::vector<SpreadsheetColumnRun> beyond { { last, { "1", "2" } } };
            workbook->setActiveSheetColumn(1, fits);
            QVERIFY_THROWS_EXCEPTION(SpreadsheetError, workbook->setActiveSheetColumn(1, beyond));
        });
    }

    // The user closes the new document while the export is under way, or
    // the office stops answering: one report, and the export ends instead of
    // failing once per write or leaving a call blocked per write.
    void anExportCutShortIsReportedOnce_data()
    {
        QTest::addColumn<bool>("stopOffice");
        QTest::addColumn<QString>("reason");
        QTest::addRow("document closed")
            << false << "the document or LibreOffice itself has been closed";
        QTest::addRow("office stops answering") << true << "LibreOffice did not answer within 3 s";
    }

    void anExportCutShortIsReportedOnce()
    {
        guarded([&] {
            QFETCH(bool, stopOffice);
            QFETCH(QString, reason);
            LibreOfficeSpreadsheet::Options options;
            options.pipeName = m_office->pipeName();
            options.officeProgram = QStringLiteral("/nonexistent/soffice");
            if (stopOffice)
                options.callLimit = std::chrono::seconds(3);
            LibreOfficeSpreadsheet spreadsheet(options);
            const auto office = pid_t(m_office->pid());
            const auto resume = qScopeGuard([office] { kill(office, SIGCONT); });
            InterruptedSpreadsheet interrupted(spreadsheet, [&] {
                if (stopOffice)
                    kill(office, SIGSTOP);
                else
                    m_office->closeDocuments();
            });
            makeForm(interrupted);
            fillMoreThanOneWrite();
            m_form->PushButton13_Click();

            // The first call after the interruption widens column A.
            QCOMPARE(reports(),
                QStringList { ErrorTrap::composeReport(
                    QStringLiteral("LibreOffice Calc could not widen the column: ") + reason,
                    QStringLiteral("in Tavimbrel5/20/2014.Form1.PushButton13_Click "), 128) });
            // Answered calls end their threads at once; the one left behind
            // waits until the office answers again.
            QTRY_COMPARE(test::officeCallsRunning(), stopOffice ? 1 : 0);
            kill(office, SIGCONT);
            QTRY_COMPARE(test::officeCallsRunning(), 0);
            if (!stopOffice)
                QCOMPARE(m_office->spreadsheets().size(), std::size_t(0));
        });
    }

    void anOfficeThatCannotStartIsReportedOnce_data()
    {
        QTest::addColumn<bool>("fake");
        QTest::addColumn<QString>("reason");
        QTest::addRow("program missing") << false << "%1 does not exist";
        QTest::addRow("exits at once") << true << "%1 ended without accepting connections";
    }

    void anOfficeThatCannotStartIsReportedOnce()
    {
        QFETCH(bool, fake);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        LibreOfficeSpreadsheet::Options options;
        options.officeProgram
            = fake ? writeFakeOffice(dir) : QStringLiteral("/nonexistent/soffice");
        options.pipeName = QStringLiteral("pellorin_test_nobody_%1").arg(getpid());
        LibreOfficeSpreadsheet missing(options);
        makeForm(missing);
        fillList(QStringLiteral("xx.x"), { "4539148803436467", "4539148803436467", "1", "2" });

        m_form->PushButton13_Click();

        QCOMPARE(reports(),
            QStringList { ErrorTrap::composeReport(kNotStarted + reason.arg(options.officeProgram),
                QStringLiteral("in Tavimbrel5/20/2014.Form1.PushButton13_Click "), 108) });
        QCOMPARE(QFile::exists(dir.filePath(QStringLiteral("ran"))), fake);
    }

    // One limit from the click to the report, which names it: the one call
    // that got no answer is left behind, and no second try follows.
    void anOfficeThatNeverAnswersIsGivenUpOnce()
    {
        LibreOfficeSpreadsheet::Options options;
        options.officeProgram = QStringLiteral("/nonexistent/soffice");
        options.pipeName = QStringLiteral("pellorin_test_silent_%1").arg(getpid());
        options.startLimit = std::chrono::milliseconds(1500);
        SilentOffice silent(options.pipeName);
        LibreOfficeSpreadsheet hung(options);
        makeForm(hung);
        fillList(QStringLiteral("xx"), { "4539148803436467", "4539148803436467" });

        m_form->PushButton13_Click();

        QCOMPARE(reports(),
            QStringList { ErrorTrap::composeReport(kNotStarted
                    + QStringLiteral(
                        "connecting to LibreOffice: LibreOffice did not answer within 1.5 s"),
                QStringLiteral("in Tavimbrel5/20/2014.Form1.PushButton13_Click "), 108) });
        QTRY_COMPARE(test::officeCallsRunning(), 1);
        silent.close();
        QTRY_COMPARE(test::officeCallsRunning(), 0);
    }

    void anEmptyListStartsNoOffice()
    {
        QTemporaryDir dir;
        LibreOfficeSpreadsheet::Options options;
        options.officeProgram = writeFakeOffice(dir);
        options.pipeName = QStringLiteral("pellorin_test_nobody_%1").arg(getpid());
        LibreOfficeSpreadsheet spreadsheet(options);
        makeForm(spreadsheet);
        m_form->PushButton13_Click();

        QCOMPARE(reports(), QStringList());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("ran"))));
    }

    // When nothing answers on the pipe, the office is started detached, so
    // that it outlives us, and a second spreadsheet object reuses it.
    void startsAnOfficeThatOutlivesUsAndReusesIt()
    {
        guarded([&] {
            QTemporaryDir profile;
            // The real office, started through a script that leaves its
            // process id, which the office then keeps (exec).
            QTemporaryDir bin;
            const QString pidFile = bin.filePath(QStringLiteral("pid"));
            LibreOfficeSpreadsheet::Options options;
            options.officeProgram = writeOfficeScript(bin,
                QStringLiteral(
                    "echo $$ >'%1'\nexec '" PELLORIN_OFFICE_PROGRAM_DIR "/soffice' \"$@\"\n")
                    .arg(pidFile));
            options.pipeName = QStringLiteral("pellorin_test_started_%1").arg(getpid());
            options.extraArguments = { QStringLiteral("--headless"), QStringLiteral("--invisible"),
                QStringLiteral("--norestore"),
                QStringLiteral("-env:UserInstallation=")
                    + QUrl::fromLocalFile(profile.path()).toString() };
            options.startLimit = std::chrono::seconds(60);
            LibreOfficeSpreadsheet starter(options);
            std::unique_ptr<SpreadsheetApplication> application;
            QString failure;
            try {
                application = starter.createApplication(QStringLiteral("Excel.Application"));
            } catch (const SpreadsheetError& e) {
                failure = QString::fromUtf8(e.what());
            }
            QFile started(pidFile);
            const qint64 pid
                = started.open(QIODevice::ReadOnly) ? started.readAll().trimmed().toLongLong() : 0;
            started.close();
            started.remove();
            // The office is in a session of its own: ask it to end, then end what is
            // left of that session by its group id.
            const pid_t group = pid > 0 ? getpgid(pid_t(pid)) : -1;
            auto endOffice = qScopeGuard([group, pipe = options.pipeName] {
                if (group <= 1 || group == getpgrp())
                    return;
                test::endOffice(pipe, std::chrono::seconds(10));
                for (int i = 0; i < 100 && kill(-group, 0) == 0; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                kill(-group, SIGKILL);
            });
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
            QVERIFY(pid > 0);
            QVERIFY(parentOf(pid) != getpid());
            QVERIFY(group != getpgrp());
            QCOMPARE(application->addWorkbook()->sheetRowCount(), 1048576);

            LibreOfficeSpreadsheet reuser(options);
            QCOMPARE(reuser.createApplication(QStringLiteral("Excel.Application"))
                         ->addWorkbook()
                         ->sheetRowCount(),
                1048576);
            QVERIFY(!QFile::exists(pidFile));
        });
    }
};

PELLORIN_TEST_MAIN(TestLibreOfficeCalc)
#include "TestLibreOfficeCalc.moc"
