#include "FakeServices.h"
#include "Form1.h"
#include "MainWindowUnderTest.h"
#include "QtMessageBoxes.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace pellorin;

class TestQuantityBox : public test::MainWindowTest {
    Q_OBJECT

    QTemporaryDir m_programFolder;

    QLineEdit* text1() { return control<QLineEdit>("Text1"); }

    QVariant stored(const QString& key)
    {
        QSettings file(test::settingsFilePath(), QSettings::IniFormat);
        return file.value(QStringLiteral("Pellorin/") + key);
    }

    void makeForm(Services services)
    {
        m_form = std::make_unique<Form1>(services, m_programFolder.path());
        m_form->show();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }

    // Types `text` into the box from scratch, leaving the focus in it.
    void enter(const QString& text)
    {
        text1()->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), text1());
        text1()->selectAll();
        QTest::keyClick(text1(), Qt::Key_Backspace);
        QTest::keyClicks(text1(), text);
    }

private slots:
    void init()
    {
        test::removeSettingsFile();
        m_services = std::make_unique<test::FakeServices>();
        makeForm(m_services->services());
    }

    void everyChangeIsStored()
    {
        QCOMPARE(stored(QStringLiteral("Text1")).toString(), QStringLiteral("50"));
        QStringList writes;
        connect(text1(), &QLineEdit::textChanged, this,
            [&] { writes << stored(QStringLiteral("Text1")).toString(); });
        text1()->setFocus();
        text1()->selectAll();
        QTest::keyClick(text1(), Qt::Key_Backspace);
        QVERIFY(stored(QStringLiteral("Text1")).isValid());
        QCOMPARE(stored(QStringLiteral("Text1")).toString(), QString());
        QTest::keyClicks(text1(), QStringLiteral("7"));
        QCOMPARE(stored(QStringLiteral("Text1")).toString(), QStringLiteral("7"));
        QCOMPARE(writes, (QStringList { "", "7" }));
    }

    void wrongEntriesAreToldAndKeepTheFocus_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addRow("empty") << ""
                               << "Must be numeric entry.";
        QTest::addRow("abc") << "abc"
                             << "Must be numeric entry.";
        QTest::addRow("zero") << "0"
                              << "Must be greater than 0.";
        QTest::addRow("negative") << "-3"
                                  << "Must be greater than 0.";
        QTest::addRow("0.4") << "0.4"
                             << "Must be greater than 0.";
        QTest::addRow("0.5") << "0.5"
                             << "Must be greater than 0.";
        QTest::addRow("too many") << "3000000000"
                                  << "Must be 2147483647 or less.";
        QTest::addRow("rounds up past the largest") << "2147483647.5"
                                                    << "Must be 2147483647 or less.";
    }

    void wrongEntriesAreToldAndKeepTheFocus()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        enter(text);
        QTest::keyClick(text1(), Qt::Key_Tab);
        QTRY_COMPARE(m_services->messages.shown.size(), 1);
        const auto& shown = m_services->messages.shown[0];
        QCOMPARE(shown.text, message);
        QCOMPARE(shown.caption, QStringLiteral("Pellorin"));
        QCOMPARE(shown.icon, MessageIcon::Warning);
        QTRY_COMPARE(QApplication::focusWidget(), text1());
        QCOMPARE(text1()->text(), text);
        QCOMPARE(stored(QStringLiteral("Text1")).toString(), text);
        // Settling down shows nothing more.
        QVERIFY(test::drainEvents());
        QCOMPARE(m_services->messages.shown.size(), 1);
    }

    void goodEntriesPassSilently_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addRow("25") << "25";
        QTest::addRow("0.6") << "0.6";
        QTest::addRow("1.5") << "1.5";
        QTest::addRow("40000") << "40000";
        QTest::addRow("2147483647") << "2147483647";
        QTest::addRow("rounds down to the largest") << "2147483647.4";
    }

    void goodEntriesPassSilently()
    {
        QFETCH(QString, text);
        enter(text);
        QTest::keyClick(text1(), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), control("Option1"));
        QVERIFY(test::drainEvents());
        QVERIFY(m_services->messages.shown.isEmpty());
    }

    // The check comes before the click that took the focus, which then
    // does nothing: no run, no error report after the check's message.
    void clickingElsewhereRunsTheCheck_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addRow("Clear Results") << "PushButton3";
        QTest::addRow("Start Generating") << "PushButton1";
    }

    void clickingElsewhereRunsTheCheck()
    {
        QFETCH(QString, button);
        enter(QStringLiteral("abc"));
        QTest::mouseClick(control(button.toLatin1().constData()), Qt::LeftButton);
        QTRY_COMPARE(QApplication::focusWidget(), text1());
        QVERIFY(test::drainEvents());
        QCOMPARE(m_services->messages.shown.size(), 1);
        QCOMPARE(m_services->messages.shown[0].text, QStringLiteral("Must be numeric entry."));
    }

    void switchingWindowsIsNoFocusLoss()
    {
        enter(QStringLiteral("abc"));
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        QVERIFY(test::drainEvents());
        QVERIFY(m_services->messages.shown.isEmpty());
        QCOMPARE(QApplication::focusWidget(), text1());
    }

    // With real message boxes: the box takes the focus and gives it back, and
    // the check must not run again because of that.
    void aRealMessageBoxDoesNotRetriggerTheCheck()
    {
        m_form.reset();
        QtMessageBoxes boxes;
        Services services = m_services->services();
        Services withRealBoxes { services.settings, boxes, services.clipboard, services.saveDialog,
            services.spreadsheet, services.skin };
        makeForm(withRealBoxes);
        boxes.setParentWindow(m_form.get());

        QStringList seen;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                seen << box->text() + QLatin1Char('|') + box->windowTitle();
                QCOMPARE(box->icon(), QMessageBox::Warning);
                box->button(QMessageBox::Ok)->click();
            }
        });
        closer.start(20);

        enter(QStringLiteral("0"));
        QTest::keyClick(text1(), Qt::Key_Tab);
        QTRY_COMPARE(seen.size(), 1);
        // Without a window manager nothing activates the window again when
        // the box closes; the focus it will get back is the box's.
        QTRY_COMPARE(m_form->focusWidget(), text1());
        QVERIFY(test::drainEvents());
        QCOMPARE(seen, QStringList { "Must be greater than 0.|Pellorin" });
        QCOMPARE(m_form->focusWidget(), text1());

        // Coming back to the window is no focus loss; a second wrong exit is
        // told again, once.
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        QCOMPARE(QApplication::focusWidget(), text1());
        QVERIFY(test::drainEvents());
        QCOMPARE(seen.size(), 1);
        QTest::keyClick(text1(), Qt::Key_Tab);
        QTRY_COMPARE(seen.size(), 2);
        QVERIFY(test::drainEvents());
        QCOMPARE(seen.size(), 2);
        m_form.reset();
    }

    void aWrongEntryIsWhatTheNextStartShows()
    {
        enter(QStringLiteral("abc"));
        m_form.reset();
        makeForm(m_services->services());
        QCOMPARE(text1()->text(), QStringLiteral("abc"));
        QVERIFY(m_services->messages.shown.isEmpty());
    }
};

PELLORIN_TEST_MAIN(TestQuantityBox)
#include "TestQuantityBox.moc"
