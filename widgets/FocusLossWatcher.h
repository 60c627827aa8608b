#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace pellorin {

// Runs a handler when a control loses the keyboard focus to another control
// of the program (a click or Tab elsewhere), once the focus has arrived there
// and before the click or key that moved it goes any further. When the
// handler takes the focus back to the control, that click or key is dropped:
// a check that refuses to let the focus go also refuses what the user aimed
// at elsewhere.
//
// Focus that leaves only because the whole window went inactive (another
// program, or a message box of our own) or a pop-up menu opened does not
// count: the control still holds the window's focus. That is also what keeps
// a handler that shows a message box and puts the focus back from running
// itself again.
class FocusLossWatcher final : public QObject {
    Q_OBJECT
public:
    FocusLossWatcher(QWidget* control, std::function<void()> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs the handler if it is still due; true when it took the focus back.
    bool run();

    QPointer<QWidget> m_control;
    std::function<void()> m_handler;
    bool m_pending = false;
    bool m_running = false;
};

} // namespace pellorin
