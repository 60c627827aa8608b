#include "FakeServices.h"
#include "Form1.h"
#include "MainWindowUnderTest.h"
#include "ResultsModel.h"
#include "ResultsView.h"
#include "TestEnvironment.h"
#include "WindowColors.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

#include <memory>

using namespace pellorin;

class TestMainWindowLayout : public test::MainWindowTest {
    Q_OBJECT

    QTemporaryDir m_programFolder;

    QWidget* focused() { return QApplication::focusWidget(); }

    void pressTab() { QTest::keyClick(focused(), Qt::Key_Tab); }

    QStringList tabWalk(int steps)
    {
        QStringList names;
        for (int i = 0; i < steps; ++i) {
            pressTab();
            names << (focused() ? focused()->objectName() : QStringLiteral("(none)"));
        }
        return names;
    }

    void showAndActivate()
    {
        m_form->show();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }

private slots:
    void init()
    {
        test::removeSettingsFile();
        m_services = std::make_unique<test::FakeServices>();
        m_form = std::make_unique<Form1>(m_services->services(), m_programFolder.path());
    }

    void clientAreaAndBorder()
    {
        QCOMPARE(m_form->size(), QSize(536, 484));
        QCOMPARE(m_form->minimumSize(), QSize(536, 484));
        QCOMPARE(m_form->maximumSize(), QSize(536, 484));
        QVERIFY(m_form->isWindow());
        const Qt::WindowFlags flags = m_form->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Window);
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
        QVERIFY(!flags.testFlag(Qt::Tool));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Pellorin"));
    }

    void minimisingKeepsEveryControlInPlace()
    {
        showAndActivate();
        QList<QRect> before;
        const auto children = m_form->findChildren<QWidget*>();
        for (QWidget* w : children)
            before << w->geometry();
        m_form->showMinimized();
        m_form->showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QCOMPARE(m_form->size(), QSize(536, 484));
        for (qsizetype i = 0; i < children.size(); ++i)
            QCOMPARE(children[i]->geometry(), before[i]);
    }

    void controlGeometry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("pixels");
        QTest::addColumn<QString>("caption");
        QTest::addRow("Frame1") << "Frame1"
                                << "Form1" << QRect(8, 8, 520, 118) << "Card Type To Generate";
        QTest::addRow("Option4") << "Option4"
                                 << "Frame1" << QRect(16, 90, 129, 19) << "Discover";
        QTest::addRow("Option3") << "Option3"
                                 << "Frame1" << QRect(16, 67, 129, 19) << "American Express";
        QTest::addRow("Option2") << "Option2"
                                 << "Frame1" << QRect(16, 43, 129, 19) << "Mastercard";
        QTest::addRow("Option1") << "Option1"
                                 << "Frame1" << QRect(16, 20, 129, 19) << " Visa";
        QTest::addRow("Frame2") << "Frame2"
                                << "Form1" << QRect(8, 130, 520, 52)
                                << "How many credit cards would you like to generate?";
        QTest::addRow("Text1") << "Text1"
                               << "Frame2" << QRect(16, 20, 487, 23) << QString();
        QTest::addRow("ListView1") << "ListView1"
                                   << "Form1" << QRect(8, 223, 520, 151) << QString();
        QTest::addRow("PushButton1") << "PushButton1"
                                     << "Form1" << QRect(8, 189, 520, 27) << "Start Generating";
        QTest::addRow("PushButton4")
            << "PushButton4"
            << "Form1" << QRect(8, 380, 256, 27) << "Save Results As Text File";
        QTest::addRow("PushButton13")
            << "PushButton13"
            << "Form1" << QRect(272, 380, 256, 27) << "Save Results As Excel File";
        QTest::addRow("PushButton3") << "PushButton3"
                                     << "Form1" << QRect(272, 414, 256, 27) << "Clear Results";
        QTest::addRow("ProgressBar1") << "ProgressBar1"
                                      << "Form1" << QRect(8, 449, 520, 27) << QString();
        QTest::addRow("PushButton2")
            << "PushButton2"
            << "Form1" << QRect(8, 414, 256, 27) << "Copy Results To Clipboard";
    }

    void controlGeometry()
    {
        QFETCH(QString, name);
        QFETCH(QString, container);
        QFETCH(QRect, pixels);
        QFETCH(QString, caption);
        QWidget* w = control(name);
        QCOMPARE(w->parentWidget()->objectName(), container);
        QCOMPARE(w->geometry(), pixels);
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            QCOMPARE(button->text(), caption);
        if (auto* frame = qobject_cast<QGroupBox*>(w))
            QCOMPARE(frame->title(), caption);
        QVERIFY(w->isVisibleTo(m_form.get()));
        QVERIFY(w->isEnabled());
    }

    void marginsAroundTheControls()
    {
        // 120 twips to the left and right edges; the progress bar ends 120 twips above the bottom.
        for (const char* name :
            { "Frame1", "Frame2", "PushButton1", "ListView1", "ProgressBar1" }) {
            const QRect g = control(QLatin1String(name))->geometry();
            QCOMPARE(g.left(), 8);
            QCOMPARE(m_form->width() - (g.right() + 1), 8);
        }
        QCOMPARE(
            m_form->height() - (control(QStringLiteral("ProgressBar1"))->geometry().bottom() + 1),
            8);
    }

    void controlsAreCreatedInLayoutOrder()
    {
        QStringList names;
        for (QWidget* w : m_form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            names << w->objectName();
        QCOMPARE(names,
            (QStringList { "Frame1", "Frame2", "ListView1", "PushButton1", "PushButton4",
                "PushButton13", "PushButton3", "ProgressBar1", "PushButton2",
                // Never shown: it speaks to screen readers only.
                "Announcement" }));
        QStringList options;
        for (QWidget* w : control(QStringLiteral("Frame1"))->findChildren<QWidget*>())
            options << w->objectName();
        QCOMPARE(options, (QStringList { "Option4", "Option3", "Option2", "Option1" }));
    }

    void fonts()
    {
        const QFont window = m_form->font();
        QCOMPARE(window.family(), QStringLiteral("Arial"));
        QCOMPARE(window.pointSizeF(), 9.0);
        QVERIFY(window.bold());
        for (const char* name : { "Frame1", "Frame2", "Option1", "Option2", "Option3", "Option4",
                 "Text1", "ListView1" })
            QCOMPARE(control(QLatin1String(name))->font(), window);
        for (const char* name :
            { "PushButton1", "PushButton2", "PushButton3", "PushButton4", "PushButton13" }) {
            const QFont font = control(QLatin1String(name))->font();
            QCOMPARE(font.family(), QStringLiteral("Arial"));
            QCOMPARE(font.pointSizeF(), 11.25);
            QVERIFY(font.bold());
        }
    }

    void colours()
    {
        const QPalette system = QApplication::palette();
        const QColor white(Qt::white);
        for (const char* name :
            { "Form1", "Frame1", "Frame2", "Option1", "Option2", "Option3", "Option4" }) {
            QWidget* w = QLatin1String(name) == QLatin1String("Form1")
                ? m_form.get()
                : control(QLatin1String(name));
            QCOMPARE(test::backColor(*w), white);
            QVERIFY(w->autoFillBackground());
        }
        QWidget* text = control(QStringLiteral("Text1"));
        QCOMPARE(text->palette().color(QPalette::Base), system.color(QPalette::Base));
        QCOMPARE(text->palette().color(QPalette::Text), system.color(QPalette::Text));
        QWidget* list = control(QStringLiteral("ListView1"));
        QCOMPARE(list->palette().color(QPalette::Base), system.color(QPalette::Base));
        QCOMPARE(list->palette().color(QPalette::Text), system.color(QPalette::Text));
        for (const char* name :
            { "PushButton1", "PushButton2", "PushButton3", "PushButton4", "PushButton13" }) {
            const QPalette p = control(QLatin1String(name))->palette();
            QCOMPARE(p.color(QPalette::Button), white);
            QCOMPARE(p.color(QPalette::ButtonText), system.color(QPalette::ButtonText));
        }
        const QPalette bar = control(QStringLiteral("ProgressBar1"))->palette();
        QCOMPARE(bar.color(QPalette::Base), white);
        QCOMPARE(bar.color(QPalette::Window), white);
        QCOMPARE(bar.color(QPalette::Text), system.color(QPalette::ButtonText));
        QCOMPARE(bar.color(QPalette::Highlight), system.color(QPalette::Highlight));
    }

    void systemColourValues()
    {
        const QPalette system = QApplication::palette();
        QCOMPARE(resolveColor(0x8000000F), system.color(QPalette::Button));
        QCOMPARE(resolveColor(kWindowBackground), system.color(QPalette::Base));
        QCOMPARE(resolveColor(kWindowText), system.color(QPalette::Text));
        QCOMPARE(resolveColor(kButtonText), system.color(QPalette::ButtonText));
        QCOMPARE(resolveColor(kHighlight), system.color(QPalette::Highlight));
        QCOMPARE(resolveColor(0x00FFFFFF), QColor(255, 255, 255));
        QCOMPARE(resolveColor(0x00336699), QColor(0x99, 0x66, 0x33)); // BGR order
    }

    void controlSettings()
    {
        auto* text = qobject_cast<QLineEdit*>(control(QStringLiteral("Text1")));
        QCOMPARE(text->maxLength(), std::numeric_limits<int>::max());
        QVERIFY(text->alignment().testFlag(Qt::AlignLeft));
        auto* bar = qobject_cast<QProgressBar*>(control(QStringLiteral("ProgressBar1")));
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 100);
        QCOMPARE(bar->value(), 0);
        for (const char* name :
            { "PushButton1", "PushButton2", "PushButton3", "PushButton4", "PushButton13" })
            QVERIFY(control(QLatin1String(name))->toolTip().isEmpty());
        auto* list = qobject_cast<ResultsView*>(control(QStringLiteral("ListView1")));
        QCOMPARE(list->columnWidth(), 400);
        QVERIFY(list->header()->defaultAlignment().testFlag(Qt::AlignLeft));
    }

    void listTooltipShowsWhateverTheListHolds()
    {
        const QString tip = QStringLiteral("Double-click item to remove it. Move bar to right and "
                                           "out of window to reveal full names.");
        QWidget* list = control(QStringLiteral("ListView1"));
        QCOMPARE(list->toolTip(), tip);
        showAndActivate();
        QTest::mouseMove(list, QPoint(200, 80));
        QHelpEvent help(QEvent::ToolTip, QPoint(200, 80), list->mapToGlobal(QPoint(200, 80)));
        QApplication::sendEvent(list, &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), tip);
        QToolTip::hideText();
    }

    void firstFocusIsTheList()
    {
        showAndActivate();
        QCOMPARE(focused(), control(QStringLiteral("ListView1")));
    }

    void tabOrderVisitsTheSelectedCardType()
    {
        showAndActivate();
        QCOMPARE(tabWalk(8),
            (QStringList { "PushButton1", "PushButton4", "PushButton13", "PushButton3",
                "PushButton2", "Text1", "Option1", "ListView1" }));
        m_form->setOptionSelected(2, true);
        QCOMPARE(tabWalk(8),
            (QStringList { "PushButton1", "PushButton4", "PushButton13", "PushButton3",
                "PushButton2", "Text1", "Option3", "ListView1" }));
    }

    void shiftTabWalksBack()
    {
        showAndActivate();
        QStringList names;
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(focused(), Qt::Key_Backtab, Qt::ShiftModifier);
            names << focused()->objectName();
        }
        QCOMPARE(names,
            (QStringList { "Option1", "Text1", "PushButton2", "PushButton3", "PushButton13",
                "PushButton4", "PushButton1", "ListView1" }));
    }

    void arrowKeysMoveBetweenCardTypes()
    {
        showAndActivate();
        control(QStringLiteral("Option1"))->setFocus();
        QTest::keyClick(focused(), Qt::Key_Down);
        QCOMPARE(focused(), control(QStringLiteral("Option2")));
        QVERIFY(qobject_cast<QRadioButton*>(control(QStringLiteral("Option2")))->isChecked());
        QCOMPARE(tabWalk(1), QStringList { "ListView1" });
        QCOMPARE(tabWalk(7).last(), QStringLiteral("Option2"));
    }

    void tabWithNoCardTypeSelectedEntersAtTheFirst()
    {
        for (int i = 0; i < 4; ++i)
            m_form->setOptionSelected(i, false);
        showAndActivate();
        QCOMPARE(tabWalk(7).last(), QStringLiteral("Option1"));
    }
};

PELLORIN_TEST_MAIN(TestMainWindowLayout)
#include "TestMainWindowLayout.moc"
