#include "ResultsViewAnnouncer.h"

#include "ResultsModel.h"
#include "ResultsView.h"
#include "ResultsViewAccessible.h"

#include <QAccessible>

namespace pellorin {

ResultsViewAnnouncer::ResultsViewAnnouncer(ResultsView* view)
    : QObject(view)
    , m_view(view)
{
    connect(view, &ResultsView::modelChanged, this, &ResultsViewAnnouncer::follow);
    connect(view, &ResultsView::currentRowChanged, this, [this] { announceFocusedRow(); });
    connect(view, &ResultsView::focusEntered, this, [this] {
        // Qt announces the list itself as focused after the view's handler;
        // the row follows, so a screen reader ends on the row.
        m_announced = -1;
        QMetaObject::invokeMethod(
            this, &ResultsViewAnnouncer::announceFocusedRow, Qt::QueuedConnection);
    });
    follow(view->model());
}

void ResultsViewAnnouncer::follow(ResultsModel* model)
{
    for (const auto& connection : m_modelConnections)
        disconnect(connection);
    m_modelConnections.clear();
    m_announced = -1;
    if (model) {
        // Made after the view's own connections, so the view has taken in a
        // change before it is told of.
        m_modelConnections
            = { connect(model, &QAbstractItemModel::rowsInserted, this,
                    [this](const QModelIndex&, int first, int last) {
                        if (QAccessible::isActive())
                            announceRowChange(
                                QAccessibleTableModelChangeEvent::RowsInserted, first, last);
                    }),
                  connect(model, &QAbstractItemModel::modelReset, this,
                      [this] {
                          m_announced = -1;
                          announceReset();
                      }),
                  connect(model, &QAbstractItemModel::dataChanged, this,
                      [this](const QModelIndex& topLeft, const QModelIndex& bottomRight,
                          const QList<int>& roles) {
                          announceTicks(topLeft.row(), bottomRight.row(), roles);
                      }) };
    }
    announceReset();
}

void ResultsViewAnnouncer::announceFocusedRow()
{
    const int current = m_view->currentRow();
    if (!QAccessible::isActive() || !m_view->hasFocus() || current < 0 || current == m_announced)
        return;
    m_announced = current;
    QAccessibleEvent event(m_view, QAccessible::Focus);
    event.setChild(ResultsViewAccessible::childIndexOfRow(current));
    QAccessible::updateAccessibility(&event);
}

void ResultsViewAnnouncer::announceRowChange(
    QAccessibleTableModelChangeEvent::ModelChangeType type, int first, int last)
{
    QAccessibleTableModelChangeEvent event(m_view, type);
    event.setFirstRow(first);
    event.setLastRow(last);
    event.setFirstColumn(0);
    event.setLastColumn(0);
    QAccessible::updateAccessibility(&event);
}

void ResultsViewAnnouncer::announceReset()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent event(m_view, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&event);
}

void ResultsViewAnnouncer::announceTicks(int first, int last, const QList<int>& roles)
{
    if (!QAccessible::isActive())
        return;
    announceRowChange(QAccessibleTableModelChangeEvent::DataChanged, first, last);
    // One row's tick is what a user toggles: say it of that row. A wider
    // change would cost an event per row.
    if (first == last && (roles.isEmpty() || roles.contains(Qt::CheckStateRole))) {
        QAccessible::State checked;
        checked.checked = true;
        QAccessibleStateChangeEvent toggled(m_view, checked);
        toggled.setChild(ResultsViewAccessible::childIndexOfRow(first));
        QAccessible::updateAccessibility(&toggled);
    }
}

} // namespace pellorin
