#include "CoarseTimer.h"

#include <chrono>
#include <ctime>

namespace pellorin {

std::uint64_t coarseTimer() noexcept
{
#ifdef CLOCK_MONOTONIC_COARSE
    timespec now {};
    if (clock_gettime(CLOCK_MONOTONIC_COARSE, &now) == 0)
        return std::uint64_t(now.tv_sec) * 1000000000U + std::uint64_t(now.tv_nsec);
#endif
    return std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
}

} // namespace pellorin
