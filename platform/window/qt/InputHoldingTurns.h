#pragma once

#include <QElapsedTimer>
#include <QPointer>

#include <chrono>
#include <memory>

class QWidget;

namespace pellorin {

// Turns of the event loop for work that holds the window's input until it
// ends, as the generation run does, which still let a close request through:
// the window system's events are handled (the window repaints, assistive
// technology gets its answers), user input waits, in its order, until the
// object goes, and a close request for `window` is passed on at once as
// `window.close()`. Qt counts a close request as user input, so
// QEventLoop::ExcludeUserInputEvents would hold it too. Timers wait as well.
class InputHoldingTurns {
public:
    InputHoldingTurns(QWidget& window, std::chrono::milliseconds interval);
    // Hands the held input back, ahead of what came after it.
    ~InputHoldingTurns();
    InputHoldingTurns(const InputHoldingTurns&) = delete;
    InputHoldingTurns& operator=(const InputHoldingTurns&) = delete;

    // Takes a turn when `interval` has passed since the last one.
    void poll();

private:
    class Handler;
    std::unique_ptr<Handler> m_handler;
    std::chrono::milliseconds m_interval;
    QElapsedTimer m_sinceTurn;
};

} // namespace pellorin
