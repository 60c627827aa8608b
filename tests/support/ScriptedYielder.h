#pragma once

#include "Yielder.h"

#include <functional>
#include <utility>

namespace pellorin::test {

// Runs `onPoll` with the number of the poll (from 1) each time it is asked,
// so a test can change the list at a chosen moment of an export.
class ScriptedYielder final : public Yielder {
public:
    explicit ScriptedYielder(std::function<void(int)> onPoll)
        : m_onPoll(std::move(onPoll))
    {
    }
    void poll() override { m_onPoll(++polls); }
    int polls = 0;

private:
    std::function<void(int)> m_onPoll;
};

} // namespace pellorin::test
