#include "results/ResultsModel.h"
#include "results/ResultsView.h"
#include "tests/support/TestEnvironment.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using namespace pellorin;

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
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.append(digits.toStdString());
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.index(0).data().toString(), digits);
        QCOMPARE(model.index(0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
        QVERIFY(model.setData(model.index(0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(!model.isTicked(0));
        QCOMPARE(model.textString(0), digits.toStdString());
    }

    void rejectsRowsThatAreNotDigits()
    {
        ResultsModel model;
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, model.append(""));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, model.append("12a4"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, model.append("12345678901234567"));
        QCOMPARE(model.rowCount(), 0);
    }

    void appenderAnnouncesBatchesInOrder()
    {
        ResultsModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.append("1111");
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        {
            ResultsModel::Appender appender(model, 3);
            for (int i = 2; i <= 8; ++i)
                appender.append(std::string(4, char('0' + i)));
        }
        QCOMPARE(model.rowCount(), 8);
        QCOMPARE(inserted.size(), 3); // 3 + 3 + the final 1
        for (int i = 0; i < 8; ++i)
            QCOMPARE(model.textString(std::size_t(i)), std::string(4, char('1' + i)));
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
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.clear();
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Result(s)"));
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.clear(); // clearing an empty list does nothing
        QCOMPARE(reset.size(), 0);
        model.append("42");
        QCOMPARE(model.textString(0), std::string("42"));
    }

    void viewTicksWithAClickOnTheBoxAndWithSpace()
    {
        ResultsModel model;
        for (int i = 0; i < 3; ++i)
            model.append("4111111111111111");
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
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(box.right() + 60, box.center().y()));
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
