#include "OfficeWait.h"

#include <QCoreApplication>

#include <algorithm>
#include <thread>

namespace pellorin::office {

namespace {

constexpr std::chrono::milliseconds kSlice { 10 };

} // namespace

bool waitServingEvents(
    std::chrono::milliseconds limit, const std::function<bool(std::chrono::milliseconds)>& ready)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + limit;
    for (;;) {
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (ready(std::clamp(left, std::chrono::milliseconds(0), kSlice)))
            return true;
        if (Clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, int(kSlice.count()));
    }
}

void pauseServingEvents(std::chrono::milliseconds duration)
{
    waitServingEvents(duration, [](std::chrono::milliseconds slice) {
        std::this_thread::sleep_for(slice);
        return false;
    });
}

} // namespace pellorin::office
