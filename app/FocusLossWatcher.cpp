#include "app/FocusLossWatcher.h"

#include <QFocusEvent>
#include <QMetaObject>
#include <QWidget>

namespace pellorin {

FocusLossWatcher::FocusLossWatcher(QWidget* control, std::function<void()> handler)
    : QObject(control)
    , m_handler(std::move(handler))
{
    control->installEventFilter(this);
}

bool FocusLossWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !m_pending
            && !m_running) {
            // Queued, so the focus change and the click or key that caused
            // it finish before the handler shows anything.
            m_pending = true;
            QMetaObject::invokeMethod(this, &FocusLossWatcher::run, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}

void FocusLossWatcher::run()
{
    m_pending = false;
    m_running = true;
    m_handler();
    m_running = false;
}

} // namespace pellorin
