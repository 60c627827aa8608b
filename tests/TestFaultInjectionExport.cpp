// The text save and the clipboard copy against an unwritable folder, a full
// disk and a very long list: one report with the save's line, the old file
// as it was, no file left half-written, the pointer back to normal.

#include "ErrorTrap.h"
#include "FakeServices.h"
#include "FaultInjection.h"
#include "Form1.h"
#include "MainWindowUnderTest.h"
#include "ResultsModel.h"
#include "TestEnvironment.h"

#include <sys/mount.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

using namespace pellorin;

namespace {

const QByteArray kOldContents("old contents\r\n");

QString saveReport(const QString& description)
{
    return ErrorTrap::composeReport(
        description, QStringLiteral("in Tavimbrel5/20/2014.Form1.PushButton4_Click "), 120);
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Row i as a 16-digit number that tells its own index.
std::string numberedRow(std::size_t i)
{
    const std::string digits = std::to_string(i);
    std::string row(16, '0');
    row.front() = '4';
    row.replace(16 - digits.size(), digits.size(), digits);
    return row;
}

void fillNumbered(ResultsModel& results, std::size_t rows)
{
    ResultsModel::Appender appender(results);
    for (std::size_t i = 0; i < rows; ++i)
        appender.append(numberedRow(i));
}

// The child: a save to `target` in a folder whose mode forbids writing,
// with the permission override dropped before the save starts any thread,
// so a writer thread is bound by the mode too.
int runReadOnlyFolderChild(const QString& target)
{
    test::EnforcedFilePermissions enforced;
    if (!test::EnforcedFilePermissions::permissionsBind())
        return 3;
    test::FakeServices services;
    Form1 form(services.services());
    form.show();
    fillNumbered(form.results(), 100000);
    test::saveAs(form, services, target);
    test::printChildValue(
        QStringLiteral("messages"), QString::number(services.messages.shown.size()));
    for (const auto& shown : services.messages.shown)
        test::printChildValue(QStringLiteral("message"), shown.text);
    test::printChildValue(QStringLiteral("pointer"), QString::number(form.mousePointer()));
    test::printChildValue(QStringLiteral("cursor"), QString::number(int(form.cursor().shape())));
    return 0;
}

int runChildRole(const QStringList& arguments)
{
    if (arguments.value(0) == QStringLiteral("save-read-only-folder"))
        return runReadOnlyFolderChild(arguments.value(1));
    return 2;
}

} // namespace

class TestFaultInjectionExport : public test::MainWindowTest {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_mounted;

    void expectOneSaveReport(const QString& fileName, const QString& reason)
    {
        QCOMPARE(m_services->messages.shown.size(), 1);
        const auto& shown = m_services->messages.shown.first();
        QCOMPARE(
            shown.text, saveReport(QStringLiteral("Cannot save \"%1\": %2").arg(fileName, reason)));
        QCOMPARE(shown.caption, QStringLiteral("Application Error"));
        QCOMPARE(shown.icon, MessageIcon::Warning);
        QCOMPARE(m_form->mousePointer(), Form1::kPointerDefault);
        QCOMPARE(m_form->cursor().shape(), Qt::ArrowCursor);
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
        if (!m_mounted.isEmpty()) {
            umount2(m_mounted.toLocal8Bit().constData(), MNT_DETACH);
            m_mounted.clear();
        }
        m_dir.reset();
    }

    // The folder refuses the temporary file the save is written to. A file
    // the user may write is then written in place; a new one cannot be made.
    void saveIntoReadOnlyFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason"); // empty: saved
        QTest::addRow("writable file is written in place") << "old.txt"
                                                           << "";
        QTest::addRow("new file is refused") << "new.txt"
                                             << "Permission denied";
    }

    void saveIntoReadOnlyFolder()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        const QString folder = m_dir->filePath(QStringLiteral("ro"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(test::writeFile(folder + QStringLiteral("/old.txt"), kOldContents));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        const test::ChildResult child = test::runChild(
            { QStringLiteral("save-read-only-folder"), folder + u'/' + name }, 120 * 1000);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(child.finished, child.errorOutput.constData());
        if (child.exitCode == 3)
            QSKIP("file permissions do not bind here (root without a way to drop the override)");
        QCOMPARE(child.exitCode, 0);
        QCOMPARE(
            child.values.value(QStringLiteral("pointer")), QString::number(Form1::kPointerDefault));
        QCOMPARE(
            child.values.value(QStringLiteral("cursor")), QString::number(int(Qt::ArrowCursor)));
        QCOMPARE(entries(folder), QStringList { QStringLiteral("old.txt") });
        if (!reason.isEmpty()) {
            QCOMPARE(child.values.value(QStringLiteral("messages")), QStringLiteral("1"));
            QCOMPARE(child.values.value(QStringLiteral("message")),
                saveReport(QStringLiteral("Cannot save \"%1/%2\": %3").arg(folder, name, reason)));
            QCOMPARE(test::fileContents(folder + QStringLiteral("/old.txt")), kOldContents);
            return;
        }
        QCOMPARE(child.values.value(QStringLiteral("messages")), QStringLiteral("0"));
        const QByteArray saved = test::fileContents(folder + QStringLiteral("/old.txt"));
        QCOMPARE(saved.size(), qsizetype(19) * 100001 + 2);
        QVERIFY(saved.startsWith("Result(s)       \t\r\n4000000000000000\t\r\n"));
        QVERIFY(saved.endsWith("4000000000099999\t\r\n\r\n"));
    }

    // The disk fills up after the first 64 KB of the new file.
    void diskFullWhileWriting()
    {
        const QString target = m_dir->filePath(QStringLiteral("old.txt"));
        QVERIFY(test::writeFile(target, kOldContents));
        fillNumbered(m_form->results(), 100000);
        {
            test::FileSizeLimit limit(rlim_t { 64 } * 1024);
            saveAs(target);
        }
        expectOneSaveReport(target, QStringLiteral("File too large"));
        QCOMPARE(test::fileContents(target), kOldContents);
        QCOMPARE(entries(m_dir->path()), QStringList { QStringLiteral("old.txt") });
    }

    // A real file system with 64 KB of room, where one is allowed to make one.
    void tinyFileSystem()
    {
        const QString mountPoint = m_dir->filePath(QStringLiteral("tiny"));
        QVERIFY(QDir().mkpath(mountPoint));
        if (mount("tmpfs", mountPoint.toLocal8Bit().constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                "size=64k,mode=0700")
            != 0)
            QSKIP(qPrintable(QStringLiteral("cannot mount a small tmpfs here: ")
                + QString::fromLocal8Bit(std::strerror(errno))));
        m_mounted = mountPoint;
        const QString target = mountPoint + QStringLiteral("/old.txt");
        QVERIFY(test::writeFile(target, kOldContents));
        fillNumbered(m_form->results(), 100000);
        saveAs(target);
        expectOneSaveReport(target, QStringLiteral("No space left on device"));
        QCOMPARE(test::fileContents(target), kOldContents);
        QCOMPARE(entries(mountPoint), QStringList { QStringLiteral("old.txt") });

        // Once there is room again, the same save goes through.
        m_form->results().clear();
        fillNumbered(m_form->results(), 3);
        saveAs(target);
        QCOMPARE(m_services->messages.shown.size(), 1);
        QCOMPARE(test::fileContents(target),
            QByteArray("Result(s)       \t\r\n"
                       "4000000000000000\t\r\n"
                       "4000000000000001\t\r\n"
                       "4000000000000002\t\r\n"
                       "\r\n"));
    }

    void copyTenMillionRows()
    {
        constexpr std::size_t kRows = 10000000;
        fillNumbered(m_form->results(), kRows);
        m_form->results().setTicked(1, false);
        QTest::mouseClick(
            m_form->findChild<QPushButton*>(QStringLiteral("PushButton2")), Qt::LeftButton);

        QCOMPARE(m_services->messages.shown.size(), 1);
        QCOMPARE(m_services->messages.shown.first().caption, QStringLiteral("Pellorin"));
        QVERIFY(m_services->clipboard.text.has_value());
        const QString& text = *m_services->clipboard.text;
        QCOMPARE(text.size(), qsizetype(kRows - 1) * 18);
        QCOMPARE(text.first(36), QStringLiteral("4000000000000000\r\n4000000000000002\r\n"));
        QCOMPARE(text.last(18), QStringLiteral("4000000009999999\r\n"));
        // Every line in its place: line k holds row k + 1 from the third on.
        for (std::size_t row :
            { std::size_t(2), std::size_t(12345), std::size_t(5000000), kRows - 2 }) {
            const qsizetype at = qsizetype(row - 1) * 18;
            QCOMPARE(text.mid(at, 18),
                QString::fromStdString(numberedRow(row)) + QStringLiteral("\r\n"));
        }
    }
};

PELLORIN_TEST_MAIN_WITH_CHILD(TestFaultInjectionExport, runChildRole)

#include "TestFaultInjectionExport.moc"
