#include "AtNextYield.h"

#include <QTest>

namespace pellorin::test {

AtNextYield::AtNextYield(std::function<void()> action)
{
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this, action = std::move(action)] {
        m_ran = true;
        action();
    });
    m_timer.start(0);
}

AtNextYield::~AtNextYield()
{
    m_timer.stop();
    if (!m_ran && !QTest::currentTestFailed())
        QTest::qFail(
            "the code under test never yielded, so the action meant for its yield did not run",
            __FILE__, __LINE__);
}

} // namespace pellorin::test
