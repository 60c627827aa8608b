#pragma once

#include "Yielder.h"

#include <QElapsedTimer>

#include <chrono>

namespace pellorin {

// Hands the event loop a turn at the first poll, so the window shows what
// the handler has just changed (the busy pointer), and then whenever
// `interval` has passed since the last turn: a few turns a second keep the
// window alive at a negligible cost to the export.
class EventLoopYielder final : public Yielder {
public:
    explicit EventLoopYielder(std::chrono::milliseconds interval = std::chrono::milliseconds(150));

    void poll() override;

private:
    std::chrono::milliseconds m_interval;
    QElapsedTimer m_sinceTurn;
};

} // namespace pellorin
