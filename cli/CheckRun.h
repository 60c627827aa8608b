#pragma once

#include "CommandLine.h"

namespace pellorin {
class Output;
}

namespace pellorin::cli {

// Checks every line of the command's files (standard input when none) and
// writes a verdict line per number to `output`; reports unreadable lines
// and the summary on standard error. Returns the exit status: 0 all valid,
// 1 any invalid, 2 any line or file that could not be read. Throws
// OutputError.
int runCheck(const CheckCommand& command, Output& output);

} // namespace pellorin::cli
