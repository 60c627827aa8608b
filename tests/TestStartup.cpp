// Mouse moves through the window system, so they reach controls as a real
// pointer's would: by position, and only where pointer moves are tracked.
#define QTEST_QPA_MOUSE_HANDLING

#include "FakeServices.h"
#include "Form1.h"
#include "MainWindowUnderTest.h"
#include "ResultsModel.h"
#include "ResultsView.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

using namespace pellorin;

namespace {

const QString kHandCursor = QStringLiteral(PELLORIN_ASSETS_DIR "/beside-exe/HAND-M.CUR");

} // namespace

class TestStartup : public test::MainWindowTest {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_programFolder;

    // Made on first use, so that a test can prepare the settings file first.
    test::FakeServices& services()
    {
        if (!m_services)
            m_services = std::make_unique<test::FakeServices>();
        return *m_services;
    }

    void start()
    {
        m_form = std::make_unique<Form1>(services().services(), m_programFolder->path());
    }

    QVariant stored(const QString& key)
    {
        QSettings file(test::settingsFilePath(), QSettings::IniFormat);
        return file.value(QStringLiteral("Pellorin/") + key);
    }

    QList<bool> selection()
    {
        QList<bool> selected;
        for (const char* name : { "Option1", "Option2", "Option3", "Option4" })
            selected << control<QRadioButton>(name)->isChecked();
        return selected;
    }

    void placeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(m_programFolder->filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void hoverOverStartGenerating()
    {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        // From the background, so the pointer really moves.
        QTest::mouseMove(m_form.get(), QPoint(2, 2));
        QCOMPARE(m_form->mousePointer(), Form1::kPointerDefault);
        QTest::mouseMove(control("PushButton1"), QPoint(30, 10));
        QCOMPARE(m_form->mousePointer(), Form1::kPointerHand);
    }

private slots:
    void init()
    {
        test::removeSettingsFile();
        m_programFolder = std::make_unique<QTemporaryDir>();
    }

    void cleanup()
    {
        MainWindowTest::cleanup();
        m_programFolder.reset();
    }

    void freshStore()
    {
        start();
        QCOMPARE(control<QLineEdit>("Text1")->text(), QStringLiteral("50"));
        QCOMPARE(selection(), (QList<bool> { true, false, false, false }));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Pellorin"));
        QCOMPARE(m_form->results().columnCaption(), QStringLiteral("Result(s)"));
        QCOMPARE(m_form->results().rowCount(), 0);
        QCOMPARE(control<ResultsView>("ListView1")->columnWidth(), 400);
        // Filling the box is a change like any edit, and stores its text.
        QCOMPARE(stored(QStringLiteral("Text1")).toString(), QStringLiteral("50"));
        QCOMPARE(m_form->mousePointer(), Form1::kPointerDefault);
        QVERIFY(services().messages.shown.isEmpty());
        QVERIFY(services().skin.calls.isEmpty());
    }

    void programIcon()
    {
        start();
        const QList<QSize> sizes = m_form->windowIcon().availableSizes();
        QVERIFY(sizes.contains(QSize(16, 16)));
        QVERIFY(sizes.contains(QSize(256, 256)));
    }

    void storedChoices_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<bool>>("selected");
        QTest::addRow("Mastercard and Discover both true: the last wins")
            << QByteArray("[Pellorin]\nOption1=False\nOption2=True\nOption3=False\nOption4=True\n")
            << "50" << QList<bool> { false, false, false, true };
        QTest::addRow("all four false: none") << QByteArray(
            "[Pellorin]\nOption1=False\nOption2=False\nOption3=False\nOption4=False\n")
                                              << "50" << QList<bool> { false, false, false, false };
        QTest::addRow("Visa cleared by number, others absent") << QByteArray(
            "[Pellorin]\nOption1=0\n") << "50" << QList<bool> { false, false, false, false };
        QTest::addRow("American Express by number")
            << QByteArray("[Pellorin]\nOption1=False\nOption3=-1\n") << "50"
            << QList<bool> { false, false, true, false };
        QTest::addRow("Visa and American Express true")
            << QByteArray("[Pellorin]\nOption1=True\nOption3=True\n") << "50"
            << QList<bool> { false, false, true, false };
        QTest::addRow("a word that is no truth value reads false")
            << QByteArray("[Pellorin]\nOption1=yes\nOption2=True\n") << "50"
            << QList<bool> { false, true, false, false };
        QTest::addRow("stored text is not checked at start") << QByteArray(
            "[Pellorin]\nText1=abc\n") << "abc" << QList<bool> { true, false, false, false };
        QTest::addRow("empty stored text") << QByteArray("[Pellorin]\nText1=\n") << ""
                                           << QList<bool> { true, false, false, false };
        QTest::addRow("the layout's own text") << QByteArray("[Pellorin]\nText1=10\n") << "10"
                                               << QList<bool> { true, false, false, false };
    }

    void storedChoices()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, text);
        QFETCH(QList<bool>, selected);
        test::writeSettingsFile(settings);
        start();
        QCOMPARE(control<QLineEdit>("Text1")->text(), text);
        QCOMPARE(selection(), selected);
        QVERIFY(services().messages.shown.isEmpty());
    }

    void restoringRunsTheClickHandling()
    {
        // Selecting Mastercard and then Discover stores the state of all four
        // options each time, so only the one selected last is left "True";
        // clearing Visa writes nothing.
        test::writeSettingsFile("[Pellorin]\nOption1=0\nOption2=1\nOption4=-1\n");
        start();
        QStringList keys;
        for (const char* key : { "Option1", "Option2", "Option3", "Option4" })
            keys << stored(QLatin1String(key)).toString();
        QCOMPARE(keys, (QStringList { "False", "False", "False", "True" }));
    }

    void reopensOnTheBrandChosenLast()
    {
        start();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        for (const char* name : { "Option4", "Option1" })
            QTest::mouseClick(control<QRadioButton>(name), Qt::LeftButton, {}, QPoint(8, 8));
        m_form.reset();
        start();
        QCOMPARE(selection(), (QList<bool> { true, false, false, false }));
        QCOMPARE(test::fileContents(test::settingsFilePath()),
            QByteArray("[Pellorin]\nOption1=True\nOption2=False\nOption3=False\nOption4=False\n"
                       "Text1=50\n"));
    }

    void skinComesFirst()
    {
        QVERIFY(QDir(m_programFolder->path()).mkpath(QStringLiteral("x")));
        placeFile(QStringLiteral("x/o.cjs"), "QWidget {}");
        placeFile(QStringLiteral("HAND-M.CUR"), [] {
            QFile f(kHandCursor);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }());
        // Look at the window as the engine gets the skin: nothing of the later
        // start-up steps has happened yet.
        std::optional<QPoint> position;
        QString title = QStringLiteral("unset");
        QString text;
        QString caption;
        bool hasIcon = true;
        bool hasHand = true;
        services().skin.onCall = [&](const test::RecordingSkinEngine::Call& call) {
            if (call.id != SkinEngine::LoadSkin)
                return;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* form = qobject_cast<Form1*>(w)) {
                    position = form->pos();
                    title = form->windowTitle();
                    hasIcon = form->windowIcon().availableSizes().contains(QSize(256, 256));
                    text = form->findChild<QLineEdit*>(QStringLiteral("Text1"))->text();
                    caption = form->results().columnCaption();
                    form->setMousePointer(Form1::kPointerHand);
                    hasHand = form->cursor().shape() == Qt::BitmapCursor;
                    form->setMousePointer(Form1::kPointerDefault);
                }
            }
        };
        start();
        QVERIFY(position.has_value());
        QCOMPARE(position, QPoint(0, 0));
        QCOMPARE(title, QString());
        QVERIFY(!hasIcon);
        QVERIFY(!hasHand);
        QCOMPARE(text, QStringLiteral("10"));
        QCOMPARE(caption, QString());
        QCOMPARE(services().skin.calls.size(), 6);
        QVERIFY(m_form->pos() != QPoint(0, 0));
    }

    void missingHandCursorIsSilent()
    {
        start();
        hoverOverStartGenerating();
        QCOMPARE(control("PushButton1")->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(services().messages.shown.isEmpty());
    }

    void unusableHandCursorIsIgnored_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("folder");
        QTest::addRow("empty file") << QByteArray() << false;
        QTest::addRow("corrupt file") << QByteArray(5000, '\x7f') << false;
        QTest::addRow("a folder of that name") << QByteArray() << true;
    }

    void unusableHandCursorIsIgnored()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, folder);
        if (folder)
            QVERIFY(QDir(m_programFolder->path()).mkdir(QStringLiteral("HAND-M.CUR")));
        else
            placeFile(QStringLiteral("HAND-M.CUR"), bytes);
        start();
        hoverOverStartGenerating();
        QCOMPARE(control("PushButton1")->cursor().shape(), Qt::ArrowCursor);
    }

    void handCursorBesideTheProgram()
    {
        QVERIFY(QFile::copy(kHandCursor, m_programFolder->filePath(QStringLiteral("HAND-M.CUR"))));
        start();
        hoverOverStartGenerating();
        const QCursor cursor = control("PushButton1")->cursor();
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.hotSpot(), QPoint(11, 1));
    }

    void defaultProgramFolderIsTheExecutables()
    {
        // The build puts the hand cursor beside the programs.
        if (!QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/HAND-M.CUR")))
            QSKIP("the program has not been built into this folder");
        m_form = std::make_unique<Form1>(services().services());
        hoverOverStartGenerating();
        QCOMPARE(control("PushButton1")->cursor().shape(), Qt::BitmapCursor);
    }

    void windowIsCentredBeforeItIsShown()
    {
        start();
        QVERIFY(!m_form->isVisible());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(m_form->pos(),
            QPoint(screen.left() + (screen.width() - 536) / 2,
                screen.top() + (screen.height() - 484) / 2));
    }
};

PELLORIN_TEST_MAIN(TestStartup)

#include "TestStartup.moc"
