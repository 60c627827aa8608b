#pragma once

#include "CommandLine.h"
#include "RecordFormat.h"

#include <cstdint>

namespace pellorin {
class Output;
}

namespace pellorin::cli {

// Writes the numbers the command asks for, seeded with `seed`, to `output`
// in order, block by block on the command's threads. Returns false when the
// reader went away before the end. Throws OutputError, or std::bad_alloc
// for --unique.
bool runGenerate(
    const GenerateCommand& command, std::uint64_t seed, engine::MonthIndex now, Output& output);

} // namespace pellorin::cli
