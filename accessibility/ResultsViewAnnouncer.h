#pragma once

#include <QAccessibleEvent>
#include <QMetaObject>
#include <QObject>

namespace pellorin {

class ResultsModel;
class ResultsView;

// Tells assistive technology of the list's changes, as Qt's own item views
// do: rows added, ticked or cleared, and the current row as the focused one.
// It follows the view it is made for, and the model the view shows, from the
// moment it is made; it goes with the view.
class ResultsViewAnnouncer final : public QObject {
    Q_OBJECT
public:
    explicit ResultsViewAnnouncer(ResultsView* view);

private:
    void follow(ResultsModel* model);
    void announceFocusedRow();
    void announceRowChange(
        QAccessibleTableModelChangeEvent::ModelChangeType type, int first, int last);
    void announceReset();
    void announceTicks(int first, int last, const QList<int>& roles);

    ResultsView* m_view;
    QList<QMetaObject::Connection> m_modelConnections;
    // The row last announced as focused.
    int m_announced = -1;
};

} // namespace pellorin
