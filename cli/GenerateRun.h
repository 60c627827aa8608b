#pragma once

#include "CommandLine.h"

namespace pellorin {
class Output;
}

namespace pellorin::cli {

// Writes the numbers the command asks for to `output` in order, block by
// block on the command's threads. Returns false when the reader went away
// before the end. Throws OutputError, or pellorin::out_of_memory for
// --unique.
bool runGenerate(const GenerateCommand& command, Output& output);

} // namespace pellorin::cli
