#include "CursorFile.h"
#include "ProgramIcon.h"
#include "TestEnvironment.h"
#include "WindowManagerRequests.h"
#include "WindowUtilities.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

#include <memory>

using namespace pellorin;

namespace {

const QString kHandCursor = QStringLiteral(PELLORIN_ASSETS_DIR "/beside-exe/HAND-M.CUR");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class TestWindowUtilities : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void centeredEdge_data()
    {
        QTest::addColumn<float>("screen");
        QTest::addColumn<float>("window");
        QTest::addColumn<float>("edge");
        QTest::addRow("main window on 1280 pixels") << 19200.f << 8040.f << 5580.f;
        QTest::addRow("odd difference keeps the half") << 19200.f << 8055.f << 5572.5f;
        QTest::addRow("wider than the screen") << 9000.f << 12000.f << -1500.f;
        QTest::addRow("same size") << 8040.f << 8040.f << 0.f;
    }

    void centeredEdge()
    {
        QFETCH(float, screen);
        QFETCH(float, window);
        QFETCH(float, edge);
        QCOMPARE(pellorin::centeredEdge(screen, window), edge);
    }

    void centerOnScreenMovesWithoutResizing_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addRow("main window") << QSize(536, 484);
        QTest::addRow("odd sizes") << QSize(301, 77);
        QTest::addRow("larger than the screen") << QSize(3000, 2000);
    }

    void centerOnScreenMovesWithoutResizing()
    {
        QFETCH(QSize, size);
        QWidget window;
        window.setFixedSize(size);
        window.move(3, 5);
        CenterOnScreen(window);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        auto expected = [](int screenPixels, int windowPixels) {
            return int(std::lround(float(screenPixels * 15 - windowPixels * 15) / 2.0f / 15.f));
        };
        QCOMPARE(window.pos(),
            QPoint(screen.left() + expected(screen.width(), size.width()),
                screen.top() + expected(screen.height(), size.height())));
        QCOMPARE(window.size(), size);
        if (size.width() > screen.width())
            QVERIFY(window.x() < 0);
    }

    void fileExists()
    {
        QVERIFY(m_dir.isValid());
        const QString empty = m_dir.filePath(QStringLiteral("empty.txt"));
        writeFile(empty, {});
        QVERIFY(FileExists(empty));
        QVERIFY(!FileExists(QString()));
        QVERIFY(!FileExists(m_dir.filePath(QStringLiteral("absent.txt"))));
        QVERIFY(!FileExists(m_dir.filePath(QStringLiteral("absent/deeper/file"))));
        QVERIFY(!FileExists(empty + QStringLiteral("/below-a-file")));
        QVERIFY(!FileExists(QStringLiteral("\n\t")));
        // A folder is not a file.
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder")));
        QVERIFY(!FileExists(m_dir.filePath(QStringLiteral("folder"))));
    }

    // An installed tree keeps the pointer in share/pellorin, a build tree
    // beside the program; a build tree never reads a share/pellorin near it.
    void handCursorFile_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("found");
        const QString installed = QStringLiteral("usr/lib/arch/pellorin");
        const QString shared = QStringLiteral("usr/share/pellorin/HAND-M.CUR");
        const QString beside = installed + QStringLiteral("/HAND-M.CUR");
        QTest::addRow("installed, shared first")
            << installed << QStringList { shared, beside } << shared;
        QTest::addRow("installed, shared only") << installed << QStringList { shared } << shared;
        QTest::addRow("installed, beside only") << installed << QStringList { beside } << beside;
        QTest::addRow("installed, neither") << installed << QStringList {} << QString();
        QTest::addRow("build tree") << QStringLiteral("build/bin")
                                    << QStringList { QStringLiteral("share/pellorin/HAND-M.CUR"),
                                           QStringLiteral("build/bin/HAND-M.CUR") }
                                    << QStringLiteral("build/bin/HAND-M.CUR");
        QTest::addRow("folder ending like the installed one")
            << QStringLiteral("usr/xlib/arch/pellorin")
            << QStringList { QStringLiteral("usr/x/share/pellorin/HAND-M.CUR") } << QString();
    }

    void handCursorFile()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, present);
        QFETCH(QString, found);
        const QTemporaryDir root;
        QVERIFY(root.isValid());
        QVERIFY(QDir(root.path()).mkpath(program));
        for (const QString& file : present) {
            QVERIFY(QDir(root.path()).mkpath(QFileInfo(file).path()));
            writeFile(root.filePath(file), "cursor");
        }
        QCOMPARE(pellorin::handCursorFile(root.filePath(program),
                     QStringLiteral("lib/arch/pellorin"), QStringLiteral("share/pellorin")),
            found.isEmpty() ? QString() : root.filePath(found));
    }

    void programFolderIsTheExecutablesFolder()
    {
        QCOMPARE(programFolder(), QCoreApplication::applicationDirPath());
        QVERIFY(!programFolder().endsWith(QLatin1Char('/')));
    }

    void handCursorHasItsHotspot()
    {
        const auto cursor = readCursorFile(kHandCursor);
        QVERIFY(cursor.has_value());
        QCOMPARE(cursor->shape(), Qt::BitmapCursor);
        QCOMPARE(cursor->hotSpot(), QPoint(11, 1));
        const QImage image = cursor->pixmap().toImage();
        QCOMPARE(image.size(), QSize(32, 32));
        // The fingertip under the hotspot is drawn; the corner is clear.
        QVERIFY(qAlpha(image.pixel(11, 2)) == 255);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    }

    void handCursorForTheScreenDensity_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<bool>("onlyFirstImage");
        QTest::addColumn<int>("side");
        QTest::addColumn<QPoint>("hotspot");
        QTest::addRow("1x") << 1.0 << false << 32 << QPoint(11, 1);
        QTest::addRow("2x, its own image") << 2.0 << false << 64 << QPoint(22, 2);
        QTest::addRow("1.5x, the 64 scaled down") << 1.5 << false << 48 << QPoint(17, 2);
        QTest::addRow("3x, the 64 scaled up") << 3.0 << false << 96 << QPoint(33, 3);
        QTest::addRow("2x, a file of one image") << 2.0 << true << 64 << QPoint(22, 2);
    }

    void handCursorForTheScreenDensity()
    {
        QFETCH(qreal, ratio);
        QFETCH(bool, onlyFirstImage);
        QFETCH(int, side);
        QFETCH(QPoint, hotspot);
        QByteArray bytes = readAll(kHandCursor);
        if (onlyFirstImage)
            bytes[4] = 1; // the image count
        const QString path = m_dir.filePath(QStringLiteral("hand.cur"));
        writeFile(path, bytes);
        const auto cursor = readCursorFile(path, ratio);
        QVERIFY(cursor.has_value());
        QCOMPARE(cursor->pixmap().size(), QSize(side, side));
        QCOMPARE(cursor->hotSpot(), hotspot);
        // The fingertip lies just below the hotspot; the corner stays clear.
        const QImage image = cursor->pixmap().toImage();
        QCOMPARE(qAlpha(image.pixel(hotspot + QPoint(0, side / 16))), 255);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    }

    void unusableCursorFilesGiveNothing_data()
    {
        const QByteArray good = readAll(kHandCursor);
        QTest::addColumn<QByteArray>("bytes");
        QTest::addRow("empty") << QByteArray();
        QTest::addRow("text") << QByteArray("not a cursor at all, just some text here");
        QTest::addRow("header only") << good.left(22);
        QTest::addRow("truncated image") << good.left(200);
        QByteArray icon = good;
        icon[2] = 1; // an icon, not a cursor
        QTest::addRow("icon") << icon;
        QByteArray noImages = good;
        noImages[4] = 0;
        QTest::addRow("no images") << noImages;
        QByteArray garbage = good;
        for (int i = 22; i < garbage.size(); ++i)
            garbage[i] = char(0xA5);
        QTest::addRow("garbage image") << garbage;
    }

    void unusableCursorFilesGiveNothing()
    {
        QFETCH(QByteArray, bytes);
        const QString path = m_dir.filePath(QStringLiteral("bad.cur"));
        writeFile(path, bytes);
        QVERIFY(!readCursorFile(path).has_value());
        QVERIFY(!readCursorFile(m_dir.filePath(QStringLiteral("absent.cur"))).has_value());
    }

    void hotspotOutsideTheImageIsKeptInside()
    {
        QByteArray bytes = readAll(kHandCursor);
        bytes[10] = char(200);
        bytes[12] = char(40);
        const QString path = m_dir.filePath(QStringLiteral("far.cur"));
        writeFile(path, bytes);
        const auto cursor = readCursorFile(path);
        QVERIFY(cursor.has_value());
        QCOMPARE(cursor->hotSpot(), QPoint(31, 31));
    }

    // A close request as every window system plugin hands it to Qt (X11's
    // WM_DELETE_WINDOW, a Wayland compositor's close, the close button of
    // the frame Qt draws on Wayland), while a box of the window is open.
    void closeRequestReachesTheWindowWhileABoxIsOpen_data()
    {
        QTest::addColumn<Qt::WindowModality>("modality");
        QTest::addColumn<bool>("forwarded");
        QTest::addColumn<bool>("closed");
        QTest::newRow("no box") << Qt::NonModal << false << true;
        QTest::newRow("application-modal box, as Qt does it")
            << Qt::ApplicationModal << false << false;
        QTest::newRow("application-modal box, forwarded") << Qt::ApplicationModal << true << true;
        QTest::newRow("window-modal box, forwarded") << Qt::WindowModal << true << true;
    }

    void closeRequestReachesTheWindowWhileABoxIsOpen()
    {
        QFETCH(Qt::WindowModality, modality);
        QFETCH(bool, forwarded);
        QFETCH(bool, closed);
        auto window = std::make_unique<QWidget>();
        window->resize(200, 100);
        if (forwarded)
            acceptCloseRequestsWhileBlocked(*window);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        std::unique_ptr<QWidget> box;
        if (modality != Qt::NonModal) {
            box = std::make_unique<QWidget>(window.get(), Qt::Dialog);
            box->setWindowModality(modality);
            box->show();
            QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        }
        QWindowSystemInterface::handleCloseEvent(window->windowHandle());
        QWindowSystemInterface::flushWindowSystemEvents();
        QCOMPARE(window->isVisible(), !closed);
    }

    void programIconHasEverySize()
    {
        const QList<QSize> sizes = programIcon().availableSizes();
        for (int side : { 16, 24, 32, 48, 64, 128, 256 })
            QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
    }
};

PELLORIN_TEST_MAIN(TestWindowUtilities)
#include "TestWindowUtilities.moc"
