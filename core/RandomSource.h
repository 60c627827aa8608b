#pragma once

#include <cstdint>

namespace pellorin {

// SplitMix64's increment and output mix: a stream is mix64 of a counter
// stepped by kGolden.
inline constexpr std::uint64_t kGolden = 0x9e3779b97f4a7c15ULL;

constexpr std::uint64_t mix64(std::uint64_t z) noexcept
{
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// One SplitMix64 step: the counter moves on by kGolden and its mix is the
// draw.
constexpr std::uint64_t splitMixNext(std::uint64_t& counter) noexcept
{
    counter += kGolden;
    return mix64(counter);
}

// Uniform random source for card generation, re-seeded before every attempt.
//
// A re-seed mixes the timer, a per-source counter and a base seed taken once
// from the operating system, so two re-seeds within one timer tick still give
// unrelated streams. Between re-seeds it is a SplitMix64 stream: tiny state,
// one multiply-xorshift per draw, and it passes BigCrush.
class RandomSource {
public:
    using Timer = std::uint64_t (*)() noexcept;

    explicit RandomSource(std::uint64_t baseSeed, Timer timer = &systemTimer) noexcept;

    // A source seeded with unpredictableSeed(), re-seeded from `timer`.
    static RandomSource fromSystem(Timer timer = &systemTimer);

    // A seed no run can foresee: std::random_device, where it may be a
    // pseudo-random generator, mixed with the system timer.
    static std::uint64_t unpredictableSeed();

    // Nanoseconds of the monotonic system clock.
    static std::uint64_t systemTimer() noexcept;

    void reseed() noexcept;

    std::uint64_t next() noexcept;

    // floor(r * n) for r uniform in [0, 1) with 32 bits: a uniform index
    // below n (bias under n / 2^32).
    std::uint32_t below(std::uint32_t n) noexcept
    {
        return static_cast<std::uint32_t>(((next() >> 32) * n) >> 32);
    }

private:
    std::uint64_t m_base;
    std::uint64_t m_counter = 0;
    std::uint64_t m_state;
    Timer m_timer;
};

} // namespace pellorin
