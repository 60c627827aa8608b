#pragma once

#include "RecentRows.h"

#include <QAccessibleWidget>

namespace pellorin {

class ResultsView;

// What assistive technology sees of the results list: a table of one column
// under its header, whose rows are check boxes named by their numbers; the
// current row holds the focus while the list has it.
//
// A table, not a list: Orca counts a list's items and looks for its focused
// item by asking every child, which takes minutes for a million rows, while
// a table tells its size through the table interface. Check boxes, not
// checkable list items: Qt 6.4's AT-SPI bridge drops the checkable state, so
// an unticked item would be read without "not checked", while a check box is
// always read with its state.
//
// Child 0 is the column header, child 1 + r is row r. A row's interface is
// made when asked for and reads the row from the model each time, so nothing
// is kept per row and nothing walks the rows. The interfaces of the rows
// asked for last are kept, so the same row keeps its identity while it is in
// use, and the current row's is kept as long as it is current; older ones are
// handed back to Qt's cache for deletion, so a pointer to another row's
// interface lasts until kKeptRows other rows have been asked for.
class ResultsViewAccessible final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    static constexpr int kKeptRows = 1024;

    explicit ResultsViewAccessible(ResultsView* view);
    ~ResultsViewAccessible() override;
    ResultsViewAccessible(const ResultsViewAccessible&) = delete;
    ResultsViewAccessible& operator=(const ResultsViewAccessible&) = delete;

    // A QAccessible factory: this interface for every ResultsView.
    static QAccessibleInterface* create(const QString& className, QObject* object);

    static constexpr int childIndexOfRow(int row) { return row + 1; }

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return 1; }
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    QAccessibleInterface* header() const;

private:
    ResultsView* view() const;
    QAccessibleInterface* rowInterface(int row) const;
    void forgetRows();

    mutable QAccessible::Id m_header = 0;
    mutable RecentRows m_rows { kKeptRows };
};

} // namespace pellorin
