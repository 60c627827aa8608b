#include "app/Form1.h"
#include "results/ResultsModel.h"
#include "results/ResultsView.h"
#include "results/ResultsViewAccessible.h"
#include "tests/support/FakeServices.h"
#include "tests/support/MainWindowUnderTest.h"
#include "tests/support/TestEnvironment.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtGui/private/qguiapplication_p.h>
#include <QtTest>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <map>
#include <memory>
#include <string>

using namespace pellorin;

namespace {

// What assistive technology heard from the watched object, one line per event.
QObject* g_watched = nullptr;
QStringList g_heard;

void recordEvent(QAccessibleEvent* event)
{
    if (event->object() != g_watched)
        return;
    switch (event->type()) {
    case QAccessible::TableModelChanged: {
        const auto* change = static_cast<QAccessibleTableModelChangeEvent*>(event);
        static const std::map<int, QString> kinds {
            { QAccessibleTableModelChangeEvent::RowsInserted, QStringLiteral("rows inserted") },
            { QAccessibleTableModelChangeEvent::DataChanged, QStringLiteral("data changed") },
            { QAccessibleTableModelChangeEvent::ModelReset, QStringLiteral("reset") },
        };
        const auto kind = kinds.find(change->modelChangeType());
        g_heard << (kind == kinds.end() ? QStringLiteral("other change") : kind->second)
                + (change->modelChangeType() == QAccessibleTableModelChangeEvent::ModelReset
                        ? QString()
                        : QStringLiteral(" %1-%2").arg(change->firstRow()).arg(change->lastRow()));
        break;
    }
    case QAccessible::StateChanged:
        if (static_cast<QAccessibleStateChangeEvent*>(event)->changedStates().checked)
            g_heard << QStringLiteral("checked changed, child %1").arg(event->child());
        break;
    case QAccessible::Focus:
        g_heard << QStringLiteral("focus, child %1").arg(event->child());
        break;
    case QAccessible::ValueChanged:
        g_heard << QStringLiteral("value %1")
                       .arg(static_cast<QAccessibleValueChangeEvent*>(event)->value().toInt());
        break;
    default:
        break;
    }
}

QStringList heardSince(qsizetype start)
{
    return g_heard.mid(start);
}

QAccessibleInterface* accessibleOf(QWidget& window, const char* name)
{
    return QAccessible::queryAccessibleInterface(window.objectName() == QLatin1String(name)
            ? &window
            : test::control<QWidget>(window, name));
}

} // namespace

class TestAccessibility : public test::MainWindowTest {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QAccessible::installUpdateHandler(&recordEvent);
        // Qt's widgets and the list tell assistive technology of changes
        // only while some is listening; a platform without it (offscreen)
        // is switched on by hand, as Qt's own tests do.
        QPlatformAccessibility* platform
            = QGuiApplicationPrivate::platformIntegration()->accessibility();
        QVERIFY(platform);
        platform->setActive(true);
        QVERIFY(QAccessible::isActive());
    }

    void init()
    {
        MainWindowTest::init();
        g_heard.clear();
    }

    void cleanup()
    {
        g_watched = nullptr;
        MainWindowTest::cleanup();
    }

    void controlsHaveTheirRolesAndNames_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::addRow("Form1") << "Form1" << int(QAccessible::Window) << "Pellorin";
        const int button = QAccessible::Button;
        QTest::addRow("PushButton1") << "PushButton1" << button << "Start Generating";
        QTest::addRow("PushButton2") << "PushButton2" << button << "Copy Results To Clipboard";
        QTest::addRow("PushButton3") << "PushButton3" << button << "Clear Results";
        QTest::addRow("PushButton4") << "PushButton4" << button << "Save Results As Text File";
        QTest::addRow("PushButton13") << "PushButton13" << button << "Save Results As Excel File";
        const int radio = QAccessible::RadioButton;
        QTest::addRow("Option1") << "Option1" << radio << "Visa";
        QTest::addRow("Option2") << "Option2" << radio << "Mastercard";
        QTest::addRow("Option3") << "Option3" << radio << "American Express";
        QTest::addRow("Option4") << "Option4" << radio << "Discover";
        QTest::addRow("Text1") << "Text1" << int(QAccessible::EditableText)
                               << "How many credit cards would you like to generate?";
        QTest::addRow("ListView1") << "ListView1" << int(QAccessible::List) << "Result(s)";
    }

    void controlsHaveTheirRolesAndNames()
    {
        QFETCH(QString, control);
        QFETCH(int, role);
        QFETCH(QString, name);
        QAccessibleInterface* iface = accessibleOf(*m_form, qPrintable(control));
        QVERIFY(iface && iface->isValid());
        QCOMPARE(int(iface->role()), role);
        QCOMPARE(iface->text(QAccessible::Name), name);
    }

    void optionsTellWhichIsChecked()
    {
        for (int selected = 0; selected < 4; ++selected) {
            m_form->setOptionSelected(selected, true);
            for (int i = 0; i < 4; ++i) {
                const QAccessible::State state
                    = accessibleOf(*m_form, qPrintable(QStringLiteral("Option%1").arg(i + 1)))
                          ->state();
                QVERIFY(state.checkable);
                QCOMPARE(bool(state.checked), i == selected);
            }
        }
    }

    void quantityBoxIsLabelledByItsFrame()
    {
        QAccessibleInterface* box = accessibleOf(*m_form, "Text1");
        QVERIFY(box->editableTextInterface());
        QCOMPARE(box->textInterface()->text(0, box->textInterface()->characterCount()),
            QStringLiteral("50"));
        const auto labels = box->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first().first->object(), control<QGroupBox>("Frame2"));
    }

    void progressBarReportsItsValueDuringARun()
    {
        auto* bar = control<QProgressBar>("ProgressBar1");
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(bar);
        QCOMPARE(int(iface->role()), int(QAccessible::ProgressBar));
        QVERIFY(iface->valueInterface());
        QCOMPARE(iface->valueInterface()->maximumValue().toInt(), 100);
        g_watched = bar;
        control<QLineEdit>("Text1")->setText(QStringLiteral("4"));
        m_form->PushButton1_Click();
        QCOMPARE(heardSince(0),
            QStringList({ "value 25", "value 50", "value 75", "value 100", "value 0" }));
        bar->setValue(40);
        QCOMPARE(iface->valueInterface()->currentValue().toInt(), 40);
    }

    void listTellsOfAddedRowsTicksFocusAndClearing()
    {
        auto* list = control<ResultsView>("ListView1");
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list);
        g_watched = list;
        control<QLineEdit>("Text1")->setText(QStringLiteral("3"));
        control<QPushButton>("PushButton1")->click();
        // The run hands its rows over as the progress bar moves: here each one.
        QCOMPARE(heardSince(0),
            QStringList({ "rows inserted 0-0", "rows inserted 1-1", "rows inserted 2-2" }));
        QCOMPARE(iface->childCount(), 1 + 3);

        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        control<QPushButton>("PushButton1")->setFocus();
        list->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(heardSince(3), QStringList({ "focus, child -1", "focus, child 1" }));
        QVERIFY(iface->child(1)->state().focused);
        QVERIFY(!iface->child(2)->state().focused);

        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(heardSince(5),
            QStringList({ "focus, child 2", "data changed 1-1", "checked changed, child 2" }));
        QVERIFY(!iface->child(2)->state().checked);
        QVERIFY(iface->child(1)->state().checked);

        control<QPushButton>("PushButton3")->click();
        QCOMPARE(heardSince(8), QStringList({ "reset" }));
        QCOMPARE(iface->childCount(), 1);
        QCOMPARE(iface->tableInterface()->rowCount(), 0);
    }

    void farRowsAreNamedByTheirNumberAndTick()
    {
        constexpr int kRows = 1'000'000;
        ResultsModel model;
        model.setColumnCaption(QStringLiteral("Result(s)"));
        {
            ResultsModel::Appender appender(model);
            for (int i = 0; i + 1 < kRows; ++i)
                appender.append("4111111111111111");
            appender.append("378282246310005");
        }
        model.setTicked(kRows - 1, false);
        ResultsView view;
        view.setModel(&model);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&view);
        QCOMPARE(iface->tableInterface()->rowCount(), kRows);
        QCOMPARE(iface->tableInterface()->columnCount(), 1);
        QCOMPARE(iface->tableInterface()->columnDescription(0), QStringLiteral("Result(s)"));
        QCOMPARE(iface->childCount(), 1 + kRows);
        QCOMPARE(int(iface->child(0)->role()), int(QAccessible::ColumnHeader));
        QCOMPARE(iface->child(0)->text(QAccessible::Name), QStringLiteral("Result(s)"));

        QAccessibleInterface* far = iface->tableInterface()->cellAt(kRows - 1, 0);
        QVERIFY(far && far->isValid());
        QCOMPARE(iface->child(kRows), far);
        QCOMPARE(iface->indexOfChild(far), kRows);
        QCOMPARE(far->parent(), iface);
        QCOMPARE(int(far->role()), int(QAccessible::ListItem));
        QCOMPARE(far->text(QAccessible::Name), QStringLiteral("378282246310005"));
        QVERIFY(far->state().checkable);
        QVERIFY(!far->state().checked);
        QVERIFY(iface->child(1)->state().checked);
        QCOMPARE(far->tableCellInterface()->rowIndex(), kRows - 1);
        const QList<QAccessibleInterface*> header { iface->child(0) };
        QCOMPARE(far->tableCellInterface()->columnHeaderCells(), header);

        far->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(model.isTicked(kRows - 1));
        QVERIFY(far->state().checked);
    }

    void onlyRecentlyAskedRowsKeepAnInterface()
    {
        ResultsModel model;
        {
            ResultsModel::Appender appender(model);
            for (int i = 0; i < 3 * ResultsViewAccessible::kKeptRows; ++i)
                appender.append(std::to_string(i));
        }
        ResultsView view;
        view.setModel(&model);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&view);
        QAccessibleInterface* first = iface->child(1);
        QCOMPARE(iface->child(1), first);
        const QAccessible::Id firstId = QAccessible::uniqueId(first);
        for (int row = 1; row <= ResultsViewAccessible::kKeptRows; ++row)
            QVERIFY(iface->child(1 + row));
        QVERIFY(!QAccessible::accessibleInterface(firstId));
        QCOMPARE(iface->child(1)->text(QAccessible::Name), QStringLiteral("0"));
    }
};

PELLORIN_TEST_MAIN(TestAccessibility)
#include "TestAccessibility.moc"
