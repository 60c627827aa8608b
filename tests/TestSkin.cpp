#include "ApplySkin.h"
#include "FakeServices.h"
#include "Form1.h"
#include "MainWindowUnderTest.h"
#include "StyleSheetSkinEngine.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <stdexcept>

using namespace pellorin;
using Call = test::RecordingSkinEngine::Call;
using Kind = test::RecordingSkinEngine::Kind;

namespace {

const QString kSampleSkin = QStringLiteral(PELLORIN_ASSETS_DIR "/skins/o.cjs");

// ApplyWindow's arguments for `window`.
QVariantList theWindow(QWidget& window)
{
    return { QVariant::fromValue<QObject*>(&window) };
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An engine whose every call fails, as a broken installation's would.
class FailingSkinEngine final : public SkinEngine {
public:
    QVariant invoke(int, const QVariantList&) override { throw std::runtime_error("no engine"); }
    QVariant getProperty(int) override { throw std::runtime_error("no engine"); }
    void putProperty(int, const QVariant&) override { throw std::runtime_error("no engine"); }
};

const char* const kColouredByTheSkin[]
    = { "Frame1", "Frame2", "Option1", "Option2", "Option3", "Option4" };
const char* const kLeftAlone[] = { "Text1", "ListView1", "PushButton1", "PushButton2",
    "PushButton3", "PushButton4", "PushButton13", "ProgressBar1" };

} // namespace

class TestSkin : public test::MainWindowTest {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_programFolder;

    QString folder() const { return m_programFolder->path(); }

    void placeSkin(const QByteArray& contents)
    {
        QVERIFY(QDir(folder()).mkpath(QStringLiteral("x")));
        QFile file(folder() + QStringLiteral("/x/o.cjs"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    void start(SkinEngine& engine)
    {
        Services s = m_services->services();
        m_form = std::make_unique<Form1>(
            Services { s.settings, s.messages, s.clipboard, s.saveDialog, s.spreadsheet, engine },
            folder());
    }

    void start() { start(m_services->skin); }

private slots:
    void init()
    {
        test::removeSettingsFile();
        m_programFolder = std::make_unique<QTemporaryDir>();
        m_services = std::make_unique<test::FakeServices>();
    }

    void cleanup()
    {
        MainWindowTest::cleanup();
        m_programFolder.reset();
        qApp->setStyleSheet(QString());
    }

    void skinFileLocation()
    {
        QCOMPARE(
            skinFilePath(QStringLiteral("/opt/pellorin")), QStringLiteral("/opt/pellorin/x/o.cjs"));
    }

    void skinFileFoundInItsPlaces_data()
    {
        QTest::addColumn<bool>("besideProgram");
        QTest::addColumn<bool>("systemWide");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("found");
        QTest::addRow("build tree, beside the program") << true << false << false << "beside";
        QTest::addRow("build tree ignores the system's") << false << true << false << "";
        QTest::addRow("installed, beside wins") << true << true << true << "beside";
        QTest::addRow("installed, system-wide") << false << true << true << "system";
        QTest::addRow("installed, none") << false << false << true << "";
    }

    void skinFileFoundInItsPlaces()
    {
        QFETCH(bool, besideProgram);
        QFETCH(bool, systemWide);
        QFETCH(bool, installed);
        QFETCH(QString, found);
        const QTemporaryDir system;
        const QString places[] = { folder(), system.path() };
        for (const QString& place : places) {
            if (place == folder() ? !besideProgram : !systemWide)
                continue;
            QVERIFY(QDir(place).mkpath(QStringLiteral("x")));
            QFile file(skinFilePath(place));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const SkinPlaces skinPlaces { installed ? folder() + QStringLiteral("/")
                                                : QStringLiteral("/usr/lib/pellorin"),
            system.path() };
        const QString expected = found.isEmpty()
            ? QString()
            : skinFilePath(found == QLatin1String("beside") ? folder() : system.path());
        QCOMPARE(findSkinFile(folder(), skinPlaces), expected);
    }

    void withoutASkinFileNothingHappens_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addRow("no folder x") << "";
        QTest::addRow("empty folder x") << "x/";
        QTest::addRow("a folder named o.cjs") << "x/o.cjs/";
        QTest::addRow("only a hidden file") << "x/.o.cjs";
        QTest::addRow("a file named x") << "x";
    }

    void withoutASkinFileNothingHappens()
    {
        QFETCH(QString, setup);
        if (setup.endsWith(QLatin1Char('/')))
            QVERIFY(QDir(folder()).mkpath(setup));
        else if (!setup.isEmpty()) {
            QVERIFY(QDir(folder()).mkpath(QFileInfo(setup).path()));
            QFile file(folder() + QLatin1Char('/') + setup);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        start();
        QVERIFY(m_services->skin.calls.isEmpty());
        QCOMPARE(test::backColor(*m_form), QColor(Qt::white));
        for (const char* name : kColouredByTheSkin)
            QCOMPARE(test::backColor(*test::control(*m_form, name)), QColor(Qt::white));
    }

    void hiddenFilesDoNotCount()
    {
        QVERIFY(QDir(folder()).mkpath(QStringLiteral("x")));
        QFile hidden(folder() + QStringLiteral("/x/.hidden.cjs"));
        QVERIFY(hidden.open(QIODevice::WriteOnly));
        hidden.close();
        QVERIFY(!isOrdinaryFile(hidden.fileName()));
        placeSkin("QWidget {}");
        QVERIFY(isOrdinaryFile(skinFilePath(folder())));
    }

    void engineGetsTheCallsInOrder()
    {
        placeSkin("QWidget {}");
        start();
        const QList<Call>& calls = m_services->skin.calls;
        QCOMPARE(calls.size(), 6);

        QCOMPARE(calls[0].kind, Kind::Invoke);
        QCOMPARE(calls[0].id, 2);
        QCOMPARE(calls[0].arguments,
            (QVariantList { folder() + QStringLiteral("/x/o.cjs"), QString() }));
        QCOMPARE(calls[0].arguments[1].typeId(), QMetaType::QString);

        QCOMPARE(calls[1].kind, Kind::Get);
        QCOMPARE(calls[1].id, 1);

        QCOMPARE(calls[2].kind, Kind::Put);
        QCOMPARE(calls[2].id, 1);
        QCOMPARE(calls[2].arguments[0].typeId(), QMetaType::Int);
        QCOMPARE(calls[2].arguments[0].toInt(), 1);

        QCOMPARE(calls[3].kind, Kind::Put);
        QCOMPARE(calls[3].id, 5);
        QCOMPARE(calls[3].arguments, QVariantList { true });

        QCOMPARE(calls[4].kind, Kind::Put);
        QCOMPARE(calls[4].id, 10);
        QCOMPARE(calls[4].arguments, QVariantList { true });

        QCOMPARE(calls[5].kind, Kind::Invoke);
        QCOMPARE(calls[5].id, 3);
        QCOMPARE(calls[5].arguments.size(), 1);
        QCOMPARE(calls[5].arguments[0].value<QObject*>(), m_form.get());
    }

    void applyOptionsGainBitZero_data()
    {
        QTest::addColumn<QVariant>("before");
        QTest::addColumn<int>("after");
        QTest::addRow("unset") << QVariant() << 1;
        QTest::addRow("other bits kept") << QVariant(6) << 7;
        QTest::addRow("bit 0 already set: unchanged") << QVariant(5) << 5;
        QTest::addRow("all bits but 0") << QVariant(-2) << -1;
        QTest::addRow("read as text") << QVariant(QStringLiteral("8")) << 9;
    }

    void applyOptionsGainBitZero()
    {
        QFETCH(QVariant, before);
        QFETCH(int, after);
        placeSkin("QWidget {}");
        if (before.isValid())
            m_services->skin.properties[1] = before;
        start();
        QCOMPARE(m_services->skin.calls[2].arguments, QVariantList { after });
    }

    void coloursChangeBeforeTheEngineIsCalled()
    {
        // The colours of a window without a skin, to compare with.
        Form1 plain(m_services->services(), folder());

        placeSkin("QWidget {}");
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);
        QVERIFY(buttonFace != QColor(Qt::white));
        bool looked = false;
        m_services->skin.onCall = [&](const Call&) {
            if (looked)
                return;
            looked = true;
            Form1* form = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w != &plain && qobject_cast<Form1*>(w))
                    form = static_cast<Form1*>(w);
            if (form == nullptr)
                QFAIL("no main window among the top-level widgets");
            QCOMPARE(test::backColor(*form), buttonFace);
            for (const char* name : kColouredByTheSkin)
                QCOMPARE(test::backColor(*test::control(*form, name)), buttonFace);
            for (const char* name : kLeftAlone) {
                const QPalette mine = test::control(*form, name)->palette();
                const QPalette theirs = test::control(plain, name)->palette();
                for (auto role : { QPalette::Base, QPalette::Text, QPalette::Button,
                         QPalette::ButtonText, QPalette::Highlight })
                    QCOMPARE(mine.color(role), theirs.color(role));
            }
        };
        start();
        QVERIFY(looked);
    }

    void aFailingEngineLeavesTheLayoutsLook()
    {
        placeSkin("QWidget {}");
        FailingSkinEngine engine;
        start(engine);
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Pellorin"));
        QCOMPARE(
            m_form->findChild<QLineEdit*>(QStringLiteral("Text1"))->text(), QStringLiteral("50"));
    }

    void sampleSkinDressesTheWindowAndLaterWindows()
    {
        const QByteArray sample = readAll(kSampleSkin);
        QVERIFY(!sample.isEmpty());
        placeSkin(sample);
        StyleSheetSkinEngine engine;
        start(engine);
        QCOMPARE(m_form->styleSheet(), QString::fromUtf8(sample));
        QCOMPARE(qApp->styleSheet(), QString::fromUtf8(sample));
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        // The gradient background at the top left, and a button face in the
        // skin's blue rather than the layout's white.
        const QImage image = m_form->grab().toImage();
        const QColor corner = image.pixelColor(2, 2);
        QVERIFY2(corner.blue() > corner.red() && corner.red() > 0xe0, qPrintable(corner.name()));
        QWidget* button = control("PushButton1");
        const QColor face
            = image.pixelColor(button->geometry().left() + 6, button->geometry().center().y());
        QVERIFY2(face.blue() > 0xb0 && face.red() < 0x70, qPrintable(face.name()));
    }
};

class TestStyleSheetSkinEngine : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& contents)
    {
        QFile file(m_dir.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(contents);
        return file.fileName();
    }

    // The style sheet LoadSkin read, as ApplyWindow hands it to a window.
    static QString loadedSheet(StyleSheetSkinEngine& engine)
    {
        QWidget window;
        engine.invoke(SkinEngine::ApplyWindow, theWindow(window));
        return window.styleSheet();
    }

private slots:
    void cleanup() { qApp->setStyleSheet(QString()); }

    void loadsUtf8WithOrWithoutMark()
    {
        StyleSheetSkinEngine engine;
        const QByteArray sheet = "/* caf\xc3\xa9 */ QWidget { color: red; }";
        QCOMPARE(engine.invoke(SkinEngine::LoadSkin, { write("a.cjs", sheet), QString() }),
            QVariant(true));
        QCOMPARE(loadedSheet(engine), QString::fromUtf8(sheet));
        QCOMPARE(engine.invoke(
                     SkinEngine::LoadSkin, { write("b.cjs", "\xef\xbb\xbf" + sheet), QString() }),
            QVariant(true));
        QCOMPARE(loadedSheet(engine), QString::fromUtf8(sheet));
    }

    void missingFileLoadsNothing()
    {
        StyleSheetSkinEngine engine;
        QCOMPARE(engine.invoke(SkinEngine::LoadSkin, { m_dir.filePath("absent.cjs"), QString() }),
            QVariant(false));
        QWidget window;
        QCOMPARE(engine.invoke(SkinEngine::ApplyWindow, theWindow(window)), QVariant(false));
        QVERIFY(window.styleSheet().isEmpty());
    }

    void appliesToTheWindowItIsGiven()
    {
        StyleSheetSkinEngine engine;
        engine.invoke(
            SkinEngine::LoadSkin, { write("c.cjs", "QWidget { color: red; }"), QString() });
        QWidget window;
        QWidget other;
        QCOMPARE(engine.invoke(SkinEngine::ApplyWindow, theWindow(window)), QVariant(true));
        QCOMPARE(window.styleSheet(), QStringLiteral("QWidget { color: red; }"));
        QVERIFY(other.styleSheet().isEmpty());
        QVERIFY(qApp->styleSheet().isEmpty());
        // Anything but a widget is no window.
        QObject notAWidget;
        QCOMPARE(engine.invoke(SkinEngine::ApplyWindow, { QVariant::fromValue(&notAWidget) }),
            QVariant(false));
        QCOMPARE(engine.invoke(SkinEngine::ApplyWindow, { qint32(-12345) }), QVariant(false));
    }

    void autoApplyNewWindowsDressesTheApplication()
    {
        StyleSheetSkinEngine engine;
        engine.invoke(
            SkinEngine::LoadSkin, { write("d.cjs", "QWidget { color: blue; }"), QString() });
        engine.putProperty(SkinEngine::AutoApplyNewWindows, true);
        QWidget window;
        engine.invoke(SkinEngine::ApplyWindow, theWindow(window));
        QCOMPARE(qApp->styleSheet(), QStringLiteral("QWidget { color: blue; }"));
    }

    void properties()
    {
        StyleSheetSkinEngine engine;
        QCOMPARE(engine.getProperty(SkinEngine::ApplyOptions), QVariant(0));
        engine.putProperty(SkinEngine::ApplyOptions, 5);
        QCOMPARE(engine.getProperty(SkinEngine::ApplyOptions), QVariant(5));
        QCOMPARE(engine.getProperty(SkinEngine::AutoApplyNewWindows), QVariant(false));
        engine.putProperty(SkinEngine::AutoApplyNewThreads, true);
        QCOMPARE(engine.getProperty(SkinEngine::AutoApplyNewThreads), QVariant(true));
        QVERIFY(!engine.getProperty(42).isValid());
        engine.putProperty(42, 1);
        QVERIFY(!engine.invoke(42, {}).isValid());
    }
};

int main(int argc, char** argv)
{
    pellorin::test::isolateUserFolders();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestSkin skin;
    TestStyleSheetSkinEngine engine;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&skin, argc, argv) | QTest::qExec(&engine, argc, argv);
}

#include "TestSkin.moc"
