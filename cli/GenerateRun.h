#pragma once

#include "CommandLine.h"
#include "RecordFormat.h"

#include <cstdint>

namespace pellorin {
class Output;
}

namespace pellorin::cli {

// Writes the numbers `request` asks for, seeded with `seed`, to `output` in
// order, block by block. Returns false when the reader went away before the
// end. Throws OutputError, or std::bad_alloc for --unique.
bool runGenerate(
    const GenerateRequest& request, std::uint64_t seed, MonthIndex now, Output& output);

} // namespace pellorin::cli
