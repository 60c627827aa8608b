#pragma once

#include <chrono>
#include <functional>

namespace pellorin::office {

// Waits on the office, another process, while the window stays alive: until
// `ready` says so or `limit` has passed, handing the event queue a turn every
// few milliseconds. `ready` may itself block for up to the time it is given.
// Returns whether `ready` said so.
bool waitServingEvents(
    std::chrono::milliseconds limit, const std::function<bool(std::chrono::milliseconds)>& ready);

// Lets `duration` pass while the window stays alive.
void pauseServingEvents(std::chrono::milliseconds duration);

} // namespace pellorin::office
