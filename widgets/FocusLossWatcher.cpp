#include "FocusLossWatcher.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QMetaObject>
#include <QWidget>

namespace pellorin {

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

} // namespace

FocusLossWatcher::FocusLossWatcher(QWidget* control, std::function<void()> handler)
    : QObject(control)
    , m_control(control)
    , m_handler(std::move(handler))
{
    control->installEventFilter(this);
}

bool FocusLossWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_control && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !m_pending
            && !m_running) {
            // The click or key that moved the focus is still on its way to
            // the control that took it, and the release may be queued right
            // behind it: the handler runs before either goes on. Without
            // further input it runs once the focus change is complete.
            m_pending = true;
            QCoreApplication::instance()->installEventFilter(this);
            QMetaObject::invokeMethod(
                this, [this] { run(); }, Qt::QueuedConnection);
        }
    } else if (m_pending && isUserInput(event->type())) {
        return run();
    }
    return QObject::eventFilter(watched, event);
}

bool FocusLossWatcher::run()
{
    if (!m_pending)
        return false;
    m_pending = false;
    QCoreApplication::instance()->removeEventFilter(this);
    m_running = true;
    m_handler();
    m_running = false;
    return m_control && m_control->window()->focusWidget() == m_control;
}

} // namespace pellorin
