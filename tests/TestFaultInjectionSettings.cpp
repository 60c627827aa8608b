// Damaged, unwritable and absurd settings at start-up: the window comes up
// with the stored values that survive or the defaults, never crashes and
// shows no message; a write that fails is silent and leaves the file alone.
//
// Each start runs in a child process, as a real start does: Qt keeps one
// cache per settings file for the whole process, which would carry one
// case's values (and a failed write's pending ones) into the next.

#include "FakeServices.h"
#include "FaultInjection.h"
#include "Form1.h"
#include "ResultsModel.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QtTest>

#include <optional>

using namespace pellorin;

namespace {

QByteArray fileContents(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

QString configFolder()
{
    return QFileInfo(test::settingsFilePath()).absolutePath();
}

// The child: start the window on whatever the settings hold and tell what it
// shows. With "generate", press Start Generating once as well.
int runStartUpChild(const QStringList& arguments)
{
    std::optional<test::EnforcedFilePermissions> enforced;
    if (arguments.contains(QStringLiteral("enforce-permissions"))) {
        enforced.emplace();
        if (!test::EnforcedFilePermissions::permissionsBind())
            return 3; // kPermissionsDoNotBind
    }
    test::FakeServices services;
    Form1 form(services.services());
    form.show();
    const auto* text1 = form.findChild<QLineEdit*>(QStringLiteral("Text1"));
    test::printChildValue(QStringLiteral("quantity"), text1->text());
    int selected = -1;
    for (int i = 0; i < 4; ++i) {
        if (form.findChild<QRadioButton*>(QStringLiteral("Option%1").arg(i + 1))->isChecked())
            selected = i;
    }
    test::printChildValue(QStringLiteral("option"), QString::number(selected));
    test::printChildValue(
        QStringLiteral("messages"), QString::number(services.messages.shown.size()));
    if (arguments.contains(QStringLiteral("edit"))) {
        // What a user does next: each change is stored at once.
        form.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("7"));
        QTest::mouseClick(form.findChild<QRadioButton*>(QStringLiteral("Option2")), Qt::LeftButton,
            {}, QPoint(8, 8));
        test::printChildValue(
            QStringLiteral("edited messages"), QString::number(services.messages.shown.size()));
    }
    if (arguments.contains(QStringLiteral("generate"))) {
        QTest::mouseClick(
            form.findChild<QPushButton*>(QStringLiteral("PushButton1")), Qt::LeftButton);
        test::printChildValue(QStringLiteral("rows"), QString::number(form.results().size()));
        // The last line of each message: a report's location and line, or
        // a plain message whole.
        QStringList lines;
        for (const auto& shown : services.messages.shown)
            lines << shown.caption + QStringLiteral(": ")
                    + shown.text.section(QStringLiteral("\r\n"), -1);
        test::printChildValue(QStringLiteral("run messages"), lines.join(QLatin1Char('|')));
    }
    return 0;
}

int runChildRole(const QStringList& arguments)
{
    return arguments.value(0) == QStringLiteral("start-up") ? runStartUpChild(arguments) : 2;
}

} // namespace

class TestFaultInjectionSettings : public QObject {
    Q_OBJECT

    static void expectStart(const test::ChildResult& child, const QString& quantity, int option)
    {
        QVERIFY2(child.finished, child.errorOutput.constData());
        QCOMPARE(child.exitCode, 0);
        QCOMPARE(child.values.value(QStringLiteral("quantity")), quantity);
        QCOMPARE(child.values.value(QStringLiteral("option")), QString::number(option));
        QCOMPARE(child.values.value(QStringLiteral("messages")), QStringLiteral("0"));
    }

    // The child's exit code when dropping the override did not make the
    // folder's mode bind.
    static constexpr int kPermissionsDoNotBind = 3;

    static test::ChildResult start(const QStringList& arguments = {})
    {
        return test::runChild(QStringList { QStringLiteral("start-up") } + arguments, 120 * 1000);
    }

private slots:
    void init()
    {
        QDir().mkpath(configFolder());
        QFile::setPermissions(
            configFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (QFileInfo(test::settingsFilePath()).isDir())
            QDir(test::settingsFilePath()).removeRecursively();
        test::removeSettingsFile();
    }

    void cleanup()
    {
        QFile::setPermissions(
            configFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void damagedFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<int>("option");
        QTest::addRow("binary garbage")
            << QByteArray("\x00\xff\xfe[[[=\n\x01\x7f\x80garbage\xc3\x28", 20) << "50" << 0;
        QTest::addRow("empty file") << QByteArray() << "50" << 0;
        QTest::addRow("cut inside the section name") << QByteArray("[Pello") << "50" << 0;
        QTest::addRow("cut inside a key") << QByteArray("[Pellorin]\nText1=25\nOpti") << "25" << 0;
        QTest::addRow("cut inside a value")
            << QByteArray("[Pellorin]\nOption1=False\nText1=25\nOption3=Tr") << "25" << -1;
        QTest::addRow("cut after a line")
            << QByteArray("[Pellorin]\nOption1=False\nOption4=True\n") << "50" << 3;
        QTest::addRow("unbalanced quote")
            << QByteArray("[Pellorin]\nText1=\"12\nOption2=True\n") << "12\nOption2=True\n"
            << 0;
        QTest::addRow("other section only") << QByteArray("[Other]\nText1=7\n") << "50" << 0;
        QTest::addRow("UTF-16 with byte-order mark")
            << QByteArray("\xff\xfe[\0P\0]\0\n\0", 10) << "50" << 0;
    }

    void damagedFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, quantity);
        QFETCH(int, option);
        test::writeSettingsFile(contents);
        expectStart(start(), quantity, option);
        if (QTest::currentTestFailed())
            return;
        // Start-up stores the box's text again, which rewrites the file in
        // good order for the next start.
        expectStart(start(), quantity, option);
    }

    void folderInPlaceOfTheFile()
    {
        QVERIFY(QDir().mkpath(test::settingsFilePath() + QStringLiteral("/inside")));
        const test::ChildResult child = start({ QStringLiteral("edit") });
        expectStart(child, QStringLiteral("50"), 0);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(child.values.value(QStringLiteral("edited messages")), QStringLiteral("0"));
        QVERIFY(QFileInfo(test::settingsFilePath() + QStringLiteral("/inside")).isDir());
    }

    void readOnlyConfigFolder()
    {
        const QByteArray stored("[Pellorin]\nText1=25\nOption1=False\nOption3=True\n");
        test::writeSettingsFile(stored);
        QVERIFY(QFile::setPermissions(configFolder(), QFile::ReadOwner | QFile::ExeOwner));
        const test::ChildResult child
            = start({ QStringLiteral("enforce-permissions"), QStringLiteral("edit") });
        if (child.exitCode == kPermissionsDoNotBind)
            QSKIP("file permissions do not bind here (root without a way to drop the override)");
        expectStart(child, QStringLiteral("25"), 2);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(child.values.value(QStringLiteral("edited messages")), QStringLiteral("0"));
        QCOMPARE(fileContents(test::settingsFilePath()), stored);
        QCOMPARE(
            QDir(configFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList { QStringLiteral("Pellorin.ini") });
    }

    void readOnlyConfigFolderWithoutAFile()
    {
        QVERIFY(QFile::setPermissions(configFolder(), QFile::ReadOwner | QFile::ExeOwner));
        const test::ChildResult child
            = start({ QStringLiteral("enforce-permissions"), QStringLiteral("edit") });
        if (child.exitCode == kPermissionsDoNotBind)
            QSKIP("file permissions do not bind here (root without a way to drop the override)");
        expectStart(child, QStringLiteral("50"), 0);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(child.values.value(QStringLiteral("edited messages")), QStringLiteral("0"));
        QVERIFY(
            QDir(configFolder()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }

    void absurdValues_data()
    {
        QTest::addColumn<QByteArray>("text1");
        QTest::addColumn<QByteArray>("option1");
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("runMessages");
        const QString report = QStringLiteral(
            "Application Error: in Tavimbrel5/20/2014.Form1.PushButton1_Click at line 100\r\r"
            "Please email screenshot of this message to support@quillmere.example");
        const QString askForBrand = QStringLiteral("Pellorin: Select a card type first.");
        QTest::addRow("1 MB of letters")
            << QByteArray(1 << 20, 'x') << QByteArray("True") << 0 << "0" << report;
        QTest::addRow("1 MB of digits")
            << QByteArray(1 << 20, '9') << QByteArray("True") << 0 << "0" << report;
        QTest::addRow("5x inside 1 MB of blanks") << QByteArray(qsizetype { 512 } * 1024, ' ')
                + "5x" + QByteArray(qsizetype { 512 } * 1024, ' ')
                                                  << QByteArray("1") << 0 << "0" << report;
        // Not a truth value: reads as false, as "False" would, so no card
        // type is selected and the run asks for one.
        QTest::addRow("Option1 maybe")
            << QByteArray("3") << QByteArray("maybe") << -1 << "0" << askForBrand;
        // A number in exponent notation is a number: not 0, so true.
        QTest::addRow("Option1 1e3")
            << QByteArray("3") << QByteArray("1e3") << 0 << "3" << QString();
        QTest::addRow("Option1 of 1 MB")
            << QByteArray("3") << QByteArray(1 << 20, '1') << 0 << "3" << QString();
    }

    void absurdValues()
    {
        QFETCH(QByteArray, text1);
        QFETCH(QByteArray, option1);
        QFETCH(int, option);
        QFETCH(QString, rows);
        QFETCH(QString, runMessages);
        test::writeSettingsFile("[Pellorin]\nText1=" + text1 + "\nOption1=" + option1 + "\n");
        const test::ChildResult child = start({ QStringLiteral("generate") });
        // Blanks around an INI value are not part of it.
        expectStart(child, QString::fromLatin1(text1.trimmed()), option);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(child.values.value(QStringLiteral("rows")), rows);
        QCOMPARE(child.values.value(QStringLiteral("run messages")), runMessages);
        // The huge text was stored back whole by the start-up.
        QSettings file(test::settingsFilePath(), QSettings::IniFormat);
        QCOMPARE(file.value(QStringLiteral("Pellorin/Text1")).toString(),
            QString::fromLatin1(text1.trimmed()));
    }
};

PELLORIN_TEST_MAIN_WITH_CHILD(TestFaultInjectionSettings, runChildRole)

#include "TestFaultInjectionSettings.moc"
