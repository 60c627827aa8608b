#include "ResultsModel.h"
#include "ResultsRows.h"
#include "ResultsView.h"
#include "TestEnvironment.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

#include <vector>

using namespace pellorin;

namespace {

void appendRows(ResultsModel& model, int count)
{
    ResultsModel::Appender appender(model);
    for (int i = 0; i < count; ++i)
        appender.append(std::to_string(1000 + i));
}

} // namespace

class TestResultsModel : public QObject {
    Q_OBJECT
private slots:
    void rowsKeepTheirTextLeadingZerosAndTicks_data()
    {
        QTest::addColumn<QString>("digits");
        QTest::addRow("visa") << QStringLiteral("4539148803436467");
        QTest::addRow("amex") << QStringLiteral("378282246310005");
        QTest::addRow("leading zeros") << QStringLiteral("0000000000000001");
        QTest::addRow("all nines") << QStringLiteral("9999999999999999");
        QTest::addRow("one digit") << QStringLiteral("0");
    }

    void rowsKeepTheirTextLeadingZerosAndTicks()
    {
        QFETCH(QString, digits);
        ResultsModel model;
        QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        ResultsModel::Appender(model, 1).append(digits.toStdString());
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.index(0).data().toString(), digits);
        QCOMPARE(model.index(0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
        QVERIFY(model.setData(model.index(0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(!model.isTicked(0));
        QCOMPARE(test::resultText(model, 0), digits.toStdString());
    }

    void rejectsRowsThatAreNotDigits()
    {
        ResultsModel model;
        {
            ResultsModel::Appender appender(model);
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, appender.append(""));
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, appender.append("12a4"));
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, appender.append("12345678901234567"));
            // The characters just before '0' and after '9', in each half of
            // the sixteen places and in a fifteen-digit row.
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, appender.append("4539/48803436467"));
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, appender.append("45391488034364:7"));
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, appender.append(":78282246310005"));
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, appender.append("3782822463100\xb5"));
        }
        QCOMPARE(model.rowCount(), 0);
    }

    void appenderAnnouncesBatchesInOrder()
    {
        ResultsModel model;
        QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        ResultsModel::Appender(model, 1).append("1111");
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        {
            ResultsModel::Appender appender(model, 3);
            for (int i = 2; i <= 8; ++i)
                appender.append(std::string(4, char('0' + i)));
        }
        QCOMPARE(model.rowCount(), 8);
        QCOMPARE(inserted.size(), 3); // 3 + 3 + the final 1
        for (int i = 0; i < 8; ++i)
            QCOMPARE(test::resultText(model, std::size_t(i)), std::string(4, char('1' + i)));
    }

    void clearRemovesEveryRowAndKeepsTheColumn()
    {
        ResultsModel model;
        model.setColumnCaption(QStringLiteral("Result(s)"));
        {
            ResultsModel::Appender appender(model);
            for (int i = 0; i < 70000; ++i) // spans two storage blocks
                appender.append("4111111111111111");
        }
        QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.clear();
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
            QStringLiteral("Result(s)"));
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.clear(); // clearing an empty list does nothing
        QCOMPARE(reset.size(), 0);
        ResultsModel::Appender(model, 1).append("42");
        QCOMPARE(test::resultText(model, 0), std::string("42"));
    }

    void viewTicksWithAClickOnTheBoxAndWithSpace()
    {
        ResultsModel model;
        {
            ResultsModel::Appender appender(model);
            for (int i = 0; i < 3; ++i)
                appender.append("4111111111111111");
        }
        ResultsView view;
        view.resize(520, 151);
        view.setModel(&model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        const QRect box = view.checkBoxRect(1);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, box.center());
        QVERIFY(!model.isTicked(1));
        QVERIFY(model.isTicked(0));

        // A click on the text beside the box ticks nothing.
        QTest::mouseClick(
            view.viewport(), Qt::LeftButton, {}, QPoint(box.right() + 60, box.center().y()));
        QVERIFY(!model.isTicked(1));

        view.setCurrentRow(2);
        QTest::keyClick(&view, Qt::Key_Space);
        QVERIFY(!model.isTicked(2));
        QTest::keyClick(&view, Qt::Key_Space);
        QVERIFY(model.isTicked(2));

        // A double-click removes nothing.
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, QPoint(200, box.center().y()));
        QCOMPARE(model.rowCount(), 3);
    }

    void keysMoveTheCurrentRowAndScrollItIntoView_data()
    {
        // 100 rows, 10 of them visible at a time.
        QTest::addColumn<int>("firstBefore");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("firstAfter");
        QTest::addRow("Down") << 0 << 0 << int(Qt::Key_Down) << 1 << 0;
        QTest::addRow("Down past the bottom edge") << 0 << 9 << int(Qt::Key_Down) << 10 << 1;
        QTest::addRow("Down on the last row") << 90 << 99 << int(Qt::Key_Down) << 99 << 90;
        QTest::addRow("Down with no current row") << 20 << -1 << int(Qt::Key_Down) << 20 << 20;
        QTest::addRow("Up past the top edge") << 50 << 50 << int(Qt::Key_Up) << 49 << 49;
        QTest::addRow("Up on the first row") << 0 << 0 << int(Qt::Key_Up) << 0 << 0;
        QTest::addRow("Page Down") << 0 << 0 << int(Qt::Key_PageDown) << 10 << 1;
        QTest::addRow("Page Down near the end") << 90 << 95 << int(Qt::Key_PageDown) << 99 << 90;
        QTest::addRow("Page Up") << 50 << 55 << int(Qt::Key_PageUp) << 45 << 45;
        QTest::addRow("Page Up near the start") << 0 << 5 << int(Qt::Key_PageUp) << 0 << 0;
        QTest::addRow("Home") << 50 << 55 << int(Qt::Key_Home) << 0 << 0;
        QTest::addRow("End") << 0 << 3 << int(Qt::Key_End) << 99 << 90;
    }

    void keysMoveTheCurrentRowAndScrollItIntoView()
    {
        QFETCH(int, firstBefore);
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(int, current);
        QFETCH(int, firstAfter);
        ResultsModel model;
        appendRows(model, 100);
        ResultsView view;
        view.setModel(&model);
        view.resize(520, 151);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.resize(520, view.height() - view.viewport()->height() + 10 * view.rowHeight());
        QCOMPARE(view.viewport()->height() / view.rowHeight(), 10);

        if (start < 0) { // a list refilled after a clear has no current row
            model.clear();
            appendRows(model, 100);
        }
        view.verticalScrollBar()->setValue(firstBefore);
        if (start >= 0)
            view.setCurrentRow(start);
        QCOMPARE(view.firstVisibleRow(), firstBefore);
        QTest::keyClick(&view, Qt::Key(key));
        QCOMPARE(view.currentRow(), current);
        QCOMPARE(view.firstVisibleRow(), firstAfter);
        QCOMPARE(model.rowCount(), 100);
        QVERIFY(model.isTicked(std::size_t(current)));
    }

    void keyboardFocusMakesTheFirstRowCurrentAndShowsItsFocus()
    {
        ResultsModel model;
        appendRows(model, 5);
        QWidget window;
        auto* edit = new QLineEdit(&window);
        auto* view = new ResultsView(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(edit);
        layout->addWidget(view);
        view->setModel(&model);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        QCOMPARE(view->currentRow(), -1);

        // The top edge of every row drawn with the focus box, read from the
        // picture: the box's left bar crosses the middle of the row at x 0.
        auto focusedRowsPainted = [&] {
            const QImage picture = view->viewport()->grab().toImage();
            const QColor box = view->palette().color(QPalette::Text);
            const int height = view->rowHeight();
            std::vector<int> tops;
            for (int top = 0; top + height <= picture.height(); top += height)
                if (picture.pixelColor(0, top + height / 2) == box)
                    tops.push_back(top);
            return tops;
        };
        QVERIFY(focusedRowsPainted().empty());
        QTest::keyClick(edit, Qt::Key_Tab);
        QVERIFY(view->hasFocus());
        QCOMPARE(view->currentRow(), 0);
        QCOMPARE(focusedRowsPainted(), std::vector<int> { 0 });
        QTest::keyClick(view, Qt::Key_Space);
        QVERIFY(!model.isTicked(0));
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(focusedRowsPainted(), std::vector<int> { view->rowHeight() });

        // Without the focus the current row stays but shows no rectangle.
        edit->setFocus();
        QCOMPARE(view->currentRow(), 1);
        QVERIFY(focusedRowsPainted().empty());

        // A click gives the focus to the row clicked, not to the first one.
        model.clear();
        appendRows(model, 5);
        edit->setFocus();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
            QPoint(200, 2 * view->rowHeight() + view->rowHeight() / 2));
        QVERIFY(view->hasFocus());
        QCOMPARE(view->currentRow(), 2);
    }

    void tickBoxHitAreaFollowsTheHorizontalScroll_data()
    {
        QTest::addColumn<int>("scroll");
        QTest::addRow("unscrolled") << 0;
        QTest::addRow("scrolled by 4") << 4;
        QTest::addRow("scrolled by 9") << 9;
    }

    void tickBoxHitAreaFollowsTheHorizontalScroll()
    {
        QFETCH(int, scroll);
        ResultsModel model;
        appendRows(model, 1);
        ResultsView view;
        view.resize(520, 151);
        view.setModel(&model);
        view.setColumnWidth(1000);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QRect unscrolled = view.checkBoxRect(0);
        view.horizontalScrollBar()->setValue(scroll);
        QCOMPARE(view.horizontalScrollBar()->value(), scroll);

        // The box's last column of pixels, moved left by the scroll, ticks;
        // the column after it does not.
        const int y = unscrolled.center().y();
        QTest::mouseClick(
            view.viewport(), Qt::LeftButton, {}, QPoint(unscrolled.right() - scroll + 1, y));
        QVERIFY(model.isTicked(0));
        QTest::mouseClick(
            view.viewport(), Qt::LeftButton, {}, QPoint(unscrolled.right() - scroll, y));
        QVERIFY(!model.isTicked(0));
        QTest::mouseClick(
            view.viewport(), Qt::LeftButton, {}, QPoint(unscrolled.left() - scroll, y));
        QVERIFY(model.isTicked(0));
    }

    void viewScrollsOverMillionsOfRowsWithoutPerRowState()
    {
        ResultsModel model;
        {
            ResultsModel::Appender appender(model);
            for (int i = 0; i < 2'000'000; ++i)
                appender.append("4111111111111111");
        }
        ResultsView view;
        view.resize(520, 151);
        view.setModel(&model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTest::keyClick(&view, Qt::Key_End);
        QCOMPARE(view.currentRow(), 1'999'999);
        QVERIFY(view.verticalScrollBar()->value() > 1'999'990);
        QCOMPARE(view.rowAt(view.checkBoxRect(1'999'999).center().y()), 1'999'999);
    }
};

PELLORIN_TEST_MAIN(TestResultsModel)
#include "TestResultsModel.moc"
