#pragma once

#include "RandomSource.h"

#include <cstdint>

namespace pellorin::engine {

// What a seed means; every seeded output depends on it, so it changes only
// with a note in the changelog.
//
// Blocks draw from SplitMix64 streams keyed by --seed, 2^20 draws apart:
// block b's stream is the counter (key + b × 2^20) × golden ratio, mixed.
// Card numbers are drawn from streams keyed by --seed itself, expiry dates
// and card codes from streams keyed by --seed ^ kExtrasKey, so that asking for
// expiry dates or codes leaves every card number as it was.
inline constexpr std::uint64_t kExtrasKey = 0x6a09e667f3bcc909ULL;
inline constexpr int kBlockSpacingBits = 20;

// Numbers per block. Blocks are the unit of seeding and of threads.
inline constexpr std::uint64_t kBlockNumbers = 16384;

struct Stream {
    std::uint64_t state;
    std::uint64_t next() noexcept { return splitMixNext(state); }
};

inline Stream blockStream(std::uint64_t key, std::uint64_t block) noexcept
{
    return { mix64(key) + (block << kBlockSpacingBits) * kGolden };
}

} // namespace pellorin::engine
