#include "InputHoldingTurns.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QWidget>
#include <qpa/qwindowsysteminterface_p.h>

#include <vector>

namespace pellorin {

namespace {

using Events = QWindowSystemInterfacePrivate;

// A copy of a user input event that can wait in the queue; nullptr for a
// kind this program never gets, which then goes through as usual.
Events::WindowSystemEvent* copyOfInput(const Events::WindowSystemEvent& event)
{
    switch (event.type) {
    case Events::Mouse:
        return new Events::MouseEvent(static_cast<const Events::MouseEvent&>(event));
    case Events::Wheel:
        return new Events::WheelEvent(static_cast<const Events::WheelEvent&>(event));
    case Events::Key:
        return new Events::KeyEvent(static_cast<const Events::KeyEvent&>(event));
    case Events::Touch:
        return new Events::TouchEvent(static_cast<const Events::TouchEvent&>(event));
    case Events::Enter:
        return new Events::EnterEvent(static_cast<const Events::EnterEvent&>(event));
    case Events::Leave:
        return new Events::LeaveEvent(static_cast<const Events::LeaveEvent&>(event));
    case Events::Tablet:
        return new Events::TabletEvent(static_cast<const Events::TabletEvent&>(event));
    case Events::ContextMenu:
        return new Events::ContextMenuEvent(static_cast<const Events::ContextMenuEvent&>(event));
    default:
        return nullptr;
    }
}

} // namespace

// Sees each window system event as Qt hands it on (the one handler Qt keeps
// is put back afterwards). Only while a turn is taken is input held, so a
// message box that the work shows takes its clicks as usual.
class InputHoldingTurns::Handler final : public QWindowSystemEventHandler {
public:
    explicit Handler(QWidget& window)
        : m_window(&window)
        , m_previous(Events::eventHandler)
    {
        Events::installWindowSystemEventHandler(this);
    }

    ~Handler() override
    {
        Events::removeWindowSystemEventhandler(this);
        if (m_previous != nullptr)
            Events::installWindowSystemEventHandler(m_previous);
        for (auto it = m_held.rbegin(); it != m_held.rend(); ++it)
            Events::windowSystemEventQueue.prepend(*it);
        if (!m_held.empty())
            if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
                dispatcher->wakeUp();
    }

    Handler(const Handler&) = delete;
    Handler& operator=(const Handler&) = delete;

    bool sendEvent(Events::WindowSystemEvent* event) override
    {
        if (m_turning && (event->type & Events::UserInputEvent) != 0) {
            if (event->type == Events::Close) {
                const auto* request = static_cast<Events::CloseEvent*>(event);
                if (m_window && request->window && request->window == m_window->windowHandle()) {
                    event->eventAccepted = m_window->close();
                    return true;
                }
            }
            if (Events::WindowSystemEvent* copy = copyOfInput(*event)) {
                m_held.push_back(copy);
                return true;
            }
        }
        return m_previous != nullptr ? m_previous->sendEvent(event)
                                     : QWindowSystemEventHandler::sendEvent(event);
    }

    void turn()
    {
        m_turning = true;
        QCoreApplication::processEvents(QEventLoop::X11ExcludeTimers);
        m_turning = false;
    }

private:
    QPointer<QWidget> m_window;
    QWindowSystemEventHandler* m_previous;
    std::vector<Events::WindowSystemEvent*> m_held;
    bool m_turning = false;
};

InputHoldingTurns::InputHoldingTurns(QWidget& window, std::chrono::milliseconds interval)
    : m_handler(std::make_unique<Handler>(window))
    , m_interval(interval)
{
}

InputHoldingTurns::~InputHoldingTurns() = default;

void InputHoldingTurns::poll()
{
    if (m_sinceTurn.isValid() && m_sinceTurn.elapsed() < m_interval.count())
        return;
    m_handler->turn();
    m_sinceTurn.start();
}

} // namespace pellorin
