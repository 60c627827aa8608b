#include "EventLoopYielder.h"

#include <QCoreApplication>

namespace pellorin {

EventLoopYielder::EventLoopYielder(std::chrono::milliseconds interval)
    : m_interval(interval)
{
}

void EventLoopYielder::poll()
{
    if (m_sinceTurn.isValid() && m_sinceTurn.elapsed() < m_interval.count())
        return;
    QCoreApplication::processEvents();
    m_sinceTurn.start();
}

} // namespace pellorin
