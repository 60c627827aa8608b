#include "RandomSource.h"

#include <chrono>
#include <random>

namespace pellorin {

RandomSource::RandomSource(std::uint64_t baseSeed, Timer timer) noexcept
    : m_base(mix64(baseSeed))
    , m_state(m_base)
    , m_timer(timer)
{
}

RandomSource RandomSource::fromSystem(Timer timer)
{
    return RandomSource(unpredictableSeed(), timer);
}

std::uint64_t RandomSource::unpredictableSeed()
{
    std::random_device device;
    return ((std::uint64_t { device() } << 32) ^ device()) ^ systemTimer();
}

std::uint64_t RandomSource::systemTimer() noexcept
{
    return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

void RandomSource::reseed() noexcept
{
    // The counter keeps re-seeds within one timer tick apart; mixing twice
    // decorrelates the timer's low-entropy high bits from the result.
    ++m_counter;
    m_state = mix64(mix64(m_timer() ^ m_base) + m_counter * kGolden);
}

std::uint64_t RandomSource::next() noexcept
{
    return splitMixNext(m_state);
}

} // namespace pellorin
