#pragma once

#include "CommandLine.h"

#include <cstdint>

namespace pellorin {
class Output;
}

namespace pellorin::cli {

// The month expiry dates count from: months since year 0 (year × 12 +
// month - 1).
using MonthIndex = std::int64_t;

// Numbers per block. Blocks are the unit of seeding and of threads, so this
// is part of what a seed means: changing it changes every seeded output.
inline constexpr std::uint64_t kBlockNumbers = 16384;

// Writes the numbers `request` asks for, seeded with `seed`, to `output` in
// order, block by block. Returns false when the reader went away before the
// end. Throws OutputError, or std::bad_alloc for --unique.
bool runGenerate(
    const GenerateRequest& request, std::uint64_t seed, MonthIndex now, Output& output);

} // namespace pellorin::cli
