#include "AccessibleFactories.h"
#include "FakeServices.h"
#include "Form1.h"
#include "MainWindowUnderTest.h"
#include "ResultsModel.h"
#include "ResultsView.h"
#include "ResultsViewAccessible.h"
#include "TestEnvironment.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtGui/private/qguiapplication_p.h>
#include <QtTest>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

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
    case QAccessible::ObjectShow:
        g_heard << QStringLiteral("shown: %1")
                       .arg(event->accessibleInterface()->text(QAccessible::Name));
        break;
    case QAccessible::ValueChanged:
        // Qt's platform bridges pass a value change on only from an object
        // that offers its value at that moment.
        if (event->accessibleInterface()->valueInterface())
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
        installAccessibleFactories(Form1::staticMetaObject.className());
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
        QTest::addRow("ListView1") << "ListView1" << int(QAccessible::Table) << "Result(s)";
        QTest::addRow("ProgressBar1")
            << "ProgressBar1" << int(QAccessible::ProgressBar) << "Progress";
        QTest::addRow("Frame1") << "Frame1" << int(QAccessible::Grouping)
                                << "Card Type To Generate";
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

    void quantityBoxTellsItsWholeTextSelected_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addRow("one digit") << "7";
        QTest::addRow("five digits") << "10000";
        QTest::addRow("ten digits") << "2147483647";
    }

    // A screen reader speaks the selected stretch of text split at the runs
    // of text attributes; a run that ends short of the text cuts it short.
    void quantityBoxTellsItsWholeTextSelected()
    {
        QFETCH(QString, text);
        auto* box = control<QLineEdit>("Text1");
        box->setText(text);
        box->selectAll();
        QAccessibleTextInterface* iface = accessibleOf(*m_form, "Text1")->textInterface();
        int start = -1;
        int end = -1;
        QCOMPARE(iface->selectionCount(), 1);
        iface->selection(0, &start, &end);
        QCOMPARE(iface->text(start, end), text);
        for (int offset = 0; offset < text.size(); ++offset) {
            iface->attributes(offset, &start, &end);
            QCOMPARE(std::pair(start, end), std::pair(0, int(text.size())));
        }
    }

    void progressBarStaysSilentDuringARun()
    {
        auto* bar = control<QProgressBar>("ProgressBar1");
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(bar);
        QCOMPARE(int(iface->role()), int(QAccessible::ProgressBar));
        QVERIFY(iface->valueInterface());
        QCOMPARE(iface->valueInterface()->maximumValue().toInt(), 100);
        g_watched = bar;
        QList<int> values;
        connect(bar, &QProgressBar::valueChanged, this, [&](int v) { values << v; });
        // A run holds the event loop: a screen reader could read the value
        // only after it, at 0, and would speak that.
        control<QLineEdit>("Text1")->setText(QStringLiteral("200"));
        m_form->PushButton1_Click();
        QCOMPARE(heardSince(0), QStringList());
        QCOMPARE(iface->valueInterface()->currentValue().toInt(), 0);
        // Its value stays where it was: a change told during the run would
        // reach a bridge that cannot pass it on.
        QCOMPARE(values, QList<int> {});
        bar->setValue(40);
        QCOMPARE(heardSince(0), QStringList({ "value 40" }));
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
        // Qt 6.4's AT-SPI bridge drops "checkable"; a check box is read with
        // its state, ticked or not.
        QCOMPARE(int(far->role()), int(QAccessible::CheckBox));
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

    void onlyRecentlyAskedRowsAndTheCurrentOneKeepAnInterface()
    {
        ResultsModel model;
        {
            ResultsModel::Appender appender(model);
            for (int i = 0; i < 3 * ResultsViewAccessible::kKeptRows; ++i)
                appender.append(std::to_string(i));
        }
        ResultsView view;
        view.setModel(&model);
        view.setCurrentRow(5);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&view);
        QAccessibleInterface* first = iface->child(1);
        QCOMPARE(iface->child(1), first);
        const QAccessible::Id firstId = QAccessible::uniqueId(first);
        const QAccessible::Id currentId = QAccessible::uniqueId(iface->child(1 + 5));
        // A screen reader asking for every child, as Orca does for a list.
        for (int index = 0; index < iface->childCount(); ++index)
            QVERIFY(iface->child(index));
        QVERIFY(!QAccessible::accessibleInterface(firstId));
        QCOMPARE(iface->child(1)->text(QAccessible::Name), QStringLiteral("0"));
        QAccessibleInterface* current = QAccessible::accessibleInterface(currentId);
        QVERIFY(current);
        QCOMPARE(current, iface->child(1 + 5));
        QCOMPARE(current->text(QAccessible::Name), QStringLiteral("5"));
    }

    void treeFollowsTheScreen()
    {
        // Top to bottom, then left to right; the tab order is another matter.
        auto names = [](QAccessibleInterface* parent) {
            QStringList names;
            for (int i = 0; i < parent->childCount(); ++i) {
                QAccessibleInterface* child = parent->child(i);
                const bool indexed = parent->indexOfChild(child) == i;
                names << child->object()->objectName() + (indexed ? "" : " (index differs)");
            }
            return names;
        };
        QCOMPARE(names(accessibleOf(*m_form, "Form1")),
            (QStringList { "Frame1", "Frame2", "PushButton1", "ListView1", "PushButton4",
                "PushButton13", "PushButton2", "PushButton3", "ProgressBar1", "Announcement" }));
        QCOMPARE(names(accessibleOf(*m_form, "Frame1")),
            (QStringList { "Option1", "Option2", "Option3", "Option4" }));
    }

    void listDescribesItsKeys()
    {
        auto* list = control<ResultsView>("ListView1");
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list);
        QCOMPARE(iface->text(QAccessible::Description),
            QStringLiteral("Up, Down, Page Up, Page Down, Home and End move between the "
                           "results; Space ticks or unticks the current one."));
        QCOMPARE(list->toolTip(),
            QStringLiteral("Double-click item to remove it. Move bar to right and out of window "
                           "to reveal full names."));
    }

    void actionsAnnounceTheRowCount_data()
    {
        // After a run of `quantity`, the button pressed (none: only the run).
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("then");
        QTest::addColumn<QStringList>("said");
        QTest::addRow("run of 3") << "3"
                                  << "" << QStringList { "3 results in the list" };
        QTest::addRow("run of 1") << "1"
                                  << "" << QStringList { "1 result in the list" };
        QTest::addRow("clearing") << "3"
                                  << "PushButton3" << QStringList { "No results in the list" };
        QTest::addRow("text file saved") << "3"
                                         << "PushButton4" << QStringList { "3 results saved" };
        QTest::addRow("save cancelled") << "3"
                                        << "cancelled PushButton4" << QStringList {};
        QTest::addRow("spreadsheet written")
            << "2"
            << "PushButton13" << QStringList { "2 results written to the spreadsheet" };
    }

    void actionsAnnounceTheRowCount()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, then);
        QFETCH(QStringList, said);
        auto* announcement = control<QWidget>("Announcement");
        QVERIFY(!announcement->isVisibleTo(m_form.get()));
        QCOMPARE(int(QAccessible::queryAccessibleInterface(announcement)->role()),
            int(QAccessible::Notification));
        g_watched = announcement;
        control<QLineEdit>("Text1")->setText(quantity);
        control<QPushButton>("PushButton1")->click();
        if (then.isEmpty()) {
            QCOMPARE(heardSince(0), QStringList { "shown: " + said.value(0) });
            return;
        }
        const QTemporaryDir folder;
        if (!then.startsWith(QStringLiteral("cancelled")))
            m_services->saveDialog.nextFileName = folder.filePath(QStringLiteral("cards.txt"));
        g_heard.clear();
        control<QPushButton>(then.section(QLatin1Char(' '), -1))->click();
        QStringList expected;
        for (const QString& words : said)
            expected << "shown: " + words;
        QCOMPARE(heardSince(0), expected);
    }

    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("rows");
        QTest::addRow("Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << 2;
        QTest::addRow("keypad Enter")
            << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 2;
        QTest::addRow("Space") << int(Qt::Key_Space) << Qt::KeyboardModifiers() << 2;
        QTest::addRow("Ctrl+Enter")
            << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ControlModifier) << 0;
    }

    void enterPressesTheFocusedButton()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, rows);
        control<QLineEdit>("Text1")->setText(QStringLiteral("2"));
        auto* start = control<QPushButton>("PushButton1");
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        start->setFocus();
        QTest::keyClick(start, Qt::Key(key), modifiers);
        QCOMPARE(m_form->results().rowCount(), rows);
    }
};

PELLORIN_TEST_MAIN(TestAccessibility)
#include "TestAccessibility.moc"
