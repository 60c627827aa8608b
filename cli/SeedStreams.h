#pragma once

#include "RandomSource.h"

#include <cstdint>

namespace pellorin::cli {

// What a seed means; every seeded output depends on it, so it changes only
// with a note in the changelog.
//
// Blocks draw from SplitMix64 streams keyed by --seed, 2^20 draws apart:
// block b's stream is the counter (key + b × 2^20) × golden ratio, mixed.
// The numbers come from the seed's own streams and the extras (expiry date
// and card code) from streams of seed ^ kExtrasKey: asking for extras then
// changes no number.
inline constexpr std::uint64_t kExtrasKey = 0x6a09e667f3bcc909ULL;
inline constexpr int kBlockSpacingBits = 20;

// Numbers per block. Blocks are the unit of seeding and of threads.
inline constexpr std::uint64_t kBlockNumbers = 16384;

struct Stream {
    std::uint64_t state;
    std::uint64_t next() noexcept
    {
        state += kGolden;
        return mix64(state);
    }
};

inline Stream blockStream(std::uint64_t key, std::uint64_t block) noexcept
{
    return { mix64(key) + (block << kBlockSpacingBits) * kGolden };
}

} // namespace pellorin::cli
