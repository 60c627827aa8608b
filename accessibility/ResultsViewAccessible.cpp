#include "ResultsViewAccessible.h"

#include "CompactRows.h"
#include "ResultsModel.h"
#include "ResultsView.h"

#include <QHeaderView>
#include <QPointer>
#include <QWindow>

#include <array>

namespace pellorin {

namespace {

QRect globalRect(const QWidget* widget, const QRect& local)
{
    return QRect(widget->mapToGlobal(local.topLeft()), local.size());
}

// A part of the list with no object or children of its own (a row, the
// column header), which reads everything from the view.
class ViewPartAccessible : public QAccessibleInterface {
public:
    explicit ViewPartAccessible(ResultsView* view)
        : m_view(view)
    {
    }

    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_view);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }

protected:
    QPointer<ResultsView> m_view;
};

// A row: a check box named by its number. It holds only its row
// number and reads everything else from the view and its model.
class RowAccessible final : public ViewPartAccessible,
                            public QAccessibleActionInterface,
                            public QAccessibleTableCellInterface {
public:
    RowAccessible(ResultsView* view, int row)
        : ViewPartAccessible(view)
        , m_row(row)
    {
    }

    bool isValid() const override
    {
        return m_view && m_view->model() && m_row < m_view->model()->rowCount();
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid())
            return {};
        std::array<char, CompactRows::kMaxDigits> digits {};
        const auto length = m_view->model()->text(std::size_t(m_row), digits.data());
        return QString::fromLatin1(digits.data(), qsizetype(length));
    }
    void setText(QAccessible::Text, const QString&) override { }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect row = m_view->rowRect(m_row);
        if (!m_view->viewport()->rect().intersects(row))
            return {};
        return globalRect(m_view->viewport(), row);
    }
    QAccessible::Role role() const override { return QAccessible::CheckBox; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.checkable = true;
        state.checked = m_view->model()->isTicked(std::size_t(m_row));
        state.focusable = true;
        state.focused = m_view->hasFocus() && m_view->currentRow() == m_row;
        state.disabled = !m_view->isEnabled();
        if (rect().isEmpty()) {
            state.offscreen = true;
            state.invisible = true;
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        switch (type) {
        case QAccessible::ActionInterface:
            return static_cast<QAccessibleActionInterface*>(this);
        case QAccessible::TableCellInterface:
            return static_cast<QAccessibleTableCellInterface*>(this);
        default:
            return nullptr;
        }
    }

    QStringList actionNames() const override { return { toggleAction(), setFocusAction() }; }
    void doAction(const QString& name) override
    {
        if (!isValid())
            return;
        if (name == toggleAction()) {
            const auto row = std::size_t(m_row);
            m_view->model()->setTicked(row, !m_view->model()->isTicked(row));
        } else if (name == setFocusAction()) {
            m_view->setFocus(Qt::OtherFocusReason);
            m_view->setCurrentRow(m_row);
        }
    }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        if (name == toggleAction())
            return { QStringLiteral("Space") };
        return {};
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override
    {
        auto* list = dynamic_cast<ResultsViewAccessible*>(parent());
        if (!list)
            return {};
        return { list->header() };
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return 0; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    const ResultsView* view() const { return m_view; }
    int row() const { return m_row; }

private:
    int m_row;
};

// The column header, "Result(s)".
class HeaderAccessible final : public ViewPartAccessible {
public:
    explicit HeaderAccessible(ResultsView* view)
        : ViewPartAccessible(view)
    {
    }

    bool isValid() const override { return m_view != nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !m_view || !m_view->model())
            return {};
        return m_view->model()->columnCaption();
    }
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override
    {
        if (!m_view)
            return {};
        const QHeaderView* header = m_view->header();
        const QRect section(
            header->sectionViewportPosition(0), 0, m_view->columnWidth(), header->height());
        return globalRect(header->viewport(), section.intersected(header->viewport()->rect()));
    }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invalid = !isValid();
        return state;
    }
};

} // namespace

ResultsViewAccessible::ResultsViewAccessible(ResultsView* view)
    : QAccessibleWidget(view, QAccessible::Table)
{
}

ResultsViewAccessible::~ResultsViewAccessible()
{
    forgetRows();
    if (m_header)
        QAccessible::deleteAccessibleInterface(m_header);
}

QAccessibleInterface* ResultsViewAccessible::create(const QString& className, QObject* object)
{
    if (className != QLatin1String(ResultsView::staticMetaObject.className()))
        return nullptr;
    auto* view = qobject_cast<ResultsView*>(object);
    return view ? new ResultsViewAccessible(view) : nullptr;
}

ResultsView* ResultsViewAccessible::view() const
{
    return static_cast<ResultsView*>(widget());
}

QAccessible::Role ResultsViewAccessible::role() const
{
    return QAccessible::Table;
}

QString ResultsViewAccessible::text(QAccessible::Text t) const
{
    // Unnamed, the list goes by its column's caption.
    if (t == QAccessible::Name && view()->accessibleName().isEmpty())
        return columnDescription(0);
    return QAccessibleWidget::text(t);
}

QAccessible::State ResultsViewAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.focusable = true;
    return state;
}

int ResultsViewAccessible::rowCount() const
{
    return view()->model() ? view()->model()->rowCount() : 0;
}

int ResultsViewAccessible::childCount() const
{
    return 1 + rowCount();
}

QAccessibleInterface* ResultsViewAccessible::child(int index) const
{
    if (index == 0)
        return header();
    return rowInterface(index - 1);
}

int ResultsViewAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (!child)
        return -1;
    if (m_header && QAccessible::accessibleInterface(m_header) == child)
        return 0;
    const auto* row = dynamic_cast<const RowAccessible*>(child);
    if (!row || row->view() != view() || row->row() >= rowCount())
        return -1;
    return childIndexOfRow(row->row());
}

QAccessibleInterface* ResultsViewAccessible::childAt(int x, int y) const
{
    const QPoint global(x, y);
    const QWidget* header = view()->header();
    if (header->rect().contains(header->mapFromGlobal(global)))
        return this->header();
    const QPoint inViewport = view()->viewport()->mapFromGlobal(global);
    if (!view()->viewport()->rect().contains(inViewport))
        return nullptr;
    const int row = view()->rowAt(inViewport.y());
    return row < 0 ? nullptr : rowInterface(row);
}

QAccessibleInterface* ResultsViewAccessible::focusChild() const
{
    if (!view()->hasFocus() || view()->currentRow() < 0)
        return nullptr;
    return rowInterface(view()->currentRow());
}

void* ResultsViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface* ResultsViewAccessible::cellAt(int row, int column) const
{
    return column == 0 ? rowInterface(row) : nullptr;
}

QString ResultsViewAccessible::columnDescription(int column) const
{
    if (column != 0 || !view()->model())
        return {};
    return view()->model()->columnCaption();
}

void ResultsViewAccessible::modelChange(QAccessibleTableModelChangeEvent* event)
{
    // Appended rows leave the others where they were; anything else moves or
    // removes rows, so no kept interface may go on speaking for a row.
    if (event->modelChangeType() != QAccessibleTableModelChangeEvent::RowsInserted
        && event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged)
        forgetRows();
}

QAccessibleInterface* ResultsViewAccessible::header() const
{
    if (!m_header)
        m_header = QAccessible::registerAccessibleInterface(new HeaderAccessible(view()));
    return QAccessible::accessibleInterface(m_header);
}

QAccessibleInterface* ResultsViewAccessible::rowInterface(int row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    // A screen reader that asks for every child must still find the focused
    // row's interface alive afterwards, the one it was told of.
    m_rows.hold(view()->currentRow());
    if (const auto kept = m_rows.use(row))
        return QAccessible::accessibleInterface(*kept);
    const QAccessible::Id id
        = QAccessible::registerAccessibleInterface(new RowAccessible(view(), row));
    if (const auto dropped = m_rows.add(row, id))
        QAccessible::deleteAccessibleInterface(*dropped);
    return QAccessible::accessibleInterface(id);
}

void ResultsViewAccessible::forgetRows()
{
    for (const QAccessible::Id id : m_rows.clear())
        QAccessible::deleteAccessibleInterface(id);
}

} // namespace pellorin
