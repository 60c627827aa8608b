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
#include <QHeaderView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace pellorin;

class TestPointerFeedback : public test::MainWindowTest {
    Q_OBJECT

    QTemporaryDir m_programFolder;
    QPoint m_last { -1, -1 }; // where the pointer is, across tests

    // Moves the pointer onto the middle of `name` ("Form1" for a bare spot of
    // the background, "ListView1/header" for the list's column header).
    void moveOnto(const QString& name)
    {
        QPoint target;
        if (name == QLatin1String("Form1"))
            target = QPoint(3, 3);
        else if (name == QLatin1String("ListView1/header")) {
            auto* list = static_cast<ResultsView*>(control(QStringLiteral("ListView1")));
            QHeaderView* header = list->header();
            target = header->mapTo(m_form.get(), header->rect().center());
        } else if (name.startsWith(QLatin1String("Frame"))) {
            // The frame's own surface, right of the options and the text box.
            QWidget* frame = control(name);
            target = frame->mapTo(m_form.get(), QPoint(frame->width() - 8, frame->height() / 2));
        } else {
            QWidget* w = control(name);
            target = w->mapTo(m_form.get(), w->rect().center());
        }
        // A move to where the pointer already is would be no move at all.
        if (target == m_last)
            target += QPoint(1, 0);
        QTest::mouseMove(m_form.get(), target);
        m_last = target;
    }

    int shapeAfter(const QStringList& path)
    {
        for (const QString& name : path)
            moveOnto(name);
        return m_form->mousePointer();
    }

    void makeForm(bool withHand)
    {
        m_form.reset();
        if (withHand) {
            QFile::remove(m_programFolder.filePath(QStringLiteral("HAND-M.CUR")));
            QVERIFY(QFile::copy(QStringLiteral(PELLORIN_ASSETS_DIR "/beside-exe/HAND-M.CUR"),
                m_programFolder.filePath(QStringLiteral("HAND-M.CUR"))));
        }
        m_form = std::make_unique<Form1>(
            m_services->services(), withHand ? m_programFolder.path() : QString());
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

private slots:
    void init()
    {
        test::removeSettingsFile();
        m_services = std::make_unique<test::FakeServices>();
        makeForm(true);
    }

    void startsOrdinary()
    {
        QCOMPARE(m_form->mousePointer(), 0);
        QCOMPARE(m_form->cursor().shape(), Qt::ArrowCursor);
    }

    void movesAcrossTheWindow_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<int>("shape");
        const QStringList buttons { "PushButton1", "PushButton2", "PushButton3", "PushButton4",
            "PushButton13" };
        for (const QString& button : buttons)
            QTest::addRow("background to %s", qPrintable(button))
                << QStringList { "Form1", button } << 99;
        for (const char* area : { "Form1", "Frame1", "Frame2", "ListView1", "ListView1/header" })
            QTest::addRow("button to %s", area) << QStringList { "PushButton1", area } << 0;
        // Controls without a pointer-move handler leave the shape as it was.
        for (const char* plain : { "Text1", "Option1", "Option3", "ProgressBar1" }) {
            QTest::addRow("button to %s", plain) << QStringList { "PushButton4", plain } << 99;
            QTest::addRow("background to %s", plain) << QStringList { "Form1", plain } << 0;
        }
        QTest::addRow("button, text box, then list")
            << QStringList { "PushButton13", "Text1", "ListView1" } << 0;
        QTest::addRow("button to button") << QStringList { "PushButton1", "PushButton3" } << 99;
    }

    void movesAcrossTheWindow()
    {
        QFETCH(QStringList, path);
        QFETCH(int, shape);
        QCOMPARE(shapeAfter(path), shape);
    }

    void handShowsTheCursorImage()
    {
        moveOnto(QStringLiteral("PushButton1"));
        const QCursor cursor = control(QStringLiteral("PushButton1"))->cursor();
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.hotSpot(), QPoint(11, 1));
        // Controls without a pointer of their own show it too.
        QCOMPARE(control(QStringLiteral("Option2"))->cursor().shape(), Qt::BitmapCursor);
        moveOnto(QStringLiteral("Frame2"));
        QCOMPARE(control(QStringLiteral("PushButton1"))->cursor().shape(), Qt::ArrowCursor);
    }

    void leavingFromAButtonAndComingBackOverTheList()
    {
        moveOnto(QStringLiteral("PushButton2"));
        QTest::mouseMove(m_form.get(), QPoint(-50, -50));
        m_last = QPoint(-50, -50);
        QCOMPARE(m_form->mousePointer(), 99);
        moveOnto(QStringLiteral("ListView1"));
        QCOMPARE(m_form->mousePointer(), 0);
    }

    // A window manager that moves the frame after mapping without telling
    // the program (Weston under XWayland) leaves Qt's idea of the window's
    // place stale: the pointer's screen position is then off by the move.
    // Only its place in the window counts.
    void handFollowsThePlaceInTheWindowNotOnTheScreen_data()
    {
        QTest::addColumn<int>("below");
        QTest::addColumn<int>("shape");
        // Start Generating's top edge: 3 pixels above it the background.
        QTest::newRow("just inside the top edge") << 1 << 99;
        QTest::newRow("above the top edge") << -3 << 0;
    }

    void handFollowsThePlaceInTheWindowNotOnTheScreen()
    {
        QFETCH(int, below);
        QFETCH(int, shape);
        moveOnto(QStringLiteral("Frame2")); // the ordinary pointer to begin with
        QWindow* window = m_form->windowHandle();
        const QPoint movedBy(6, 27);
        QWidget* button = control(QStringLiteral("PushButton1"));
        const QPoint place = button->mapTo(m_form.get(), QPoint(button->width() / 2, below));
        QTest::lastMouseTimestamp += 10;
        qt_handleMouseEvent(window, place, window->mapToGlobal(place) + movedBy, Qt::NoButton,
            Qt::NoButton, QEvent::MouseMove, Qt::NoModifier, QTest::lastMouseTimestamp);
        QCoreApplication::processEvents();
        QCOMPARE(m_form->mousePointer(), shape);
    }

    void busyIsLeftAlone()
    {
        m_form->setMousePointer(Form1::kPointerBusy);
        QCOMPARE(m_form->cursor().shape(), Qt::WaitCursor);
        for (const char* name : { "PushButton1", "Form1", "Frame1", "Frame2", "ListView1",
                 "PushButton13", "ListView1/header", "Text1" }) {
            moveOnto(QLatin1String(name));
            QCOMPARE(m_form->mousePointer(), Form1::kPointerBusy);
            QCOMPARE(m_form->cursor().shape(), Qt::WaitCursor);
        }
        m_form->setMousePointer(Form1::kPointerDefault);
        QCOMPARE(m_form->cursor().shape(), Qt::ArrowCursor);
        moveOnto(QStringLiteral("PushButton1"));
        QCOMPARE(m_form->mousePointer(), Form1::kPointerHand);
    }

    void handWithoutImageLooksOrdinary()
    {
        makeForm(false);
        moveOnto(QStringLiteral("PushButton1"));
        QCOMPARE(m_form->mousePointer(), 99);
        QCOMPARE(control(QStringLiteral("PushButton1"))->cursor().shape(), Qt::ArrowCursor);
    }

    void setMousePointerShowsEachShape()
    {
        m_form->setMousePointer(Form1::kPointerHand);
        QCOMPARE(m_form->cursor().shape(), Qt::BitmapCursor);
        m_form->setMousePointer(Form1::kPointerBusy);
        QCOMPARE(m_form->cursor().shape(), Qt::WaitCursor);
        m_form->setMousePointer(Form1::kPointerDefault);
        QCOMPARE(m_form->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(m_form->mousePointer(), 0);
    }
};

PELLORIN_TEST_MAIN(TestPointerFeedback)
#include "TestPointerFeedback.moc"
