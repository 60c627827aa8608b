#pragma once

#include <cstdint>

namespace pellorin {

// A monotonic timer that is cheap to read: nanoseconds of the system's
// coarse monotonic clock, which moves in ticks of a few milliseconds.
// Generation re-seeds from a timer before every attempt; the re-seed keeps
// numbers drawn within one tick apart by itself, so a coarse clock does as
// well as a fine one at a fraction of the cost of reading it.
std::uint64_t coarseTimer() noexcept;

} // namespace pellorin
