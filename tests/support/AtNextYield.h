#pragma once

#include <QTimer>

#include <functional>

namespace pellorin::test {

// Runs an action at the next turn of the event loop, that is inside the
// handler under test when it yields. Going out of scope cancels an action
// that has not run and fails the test: a handler that never yields then
// fails cleanly instead of leaving the action to touch the test's locals
// after they are gone. Declare it after the locals its action uses.
class AtNextYield {
public:
    explicit AtNextYield(std::function<void()> action);
    ~AtNextYield();
    AtNextYield(const AtNextYield&) = delete;
    AtNextYield& operator=(const AtNextYield&) = delete;

    bool ran() const { return m_ran; }

private:
    QTimer m_timer;
    bool m_ran = false;
};

} // namespace pellorin::test
