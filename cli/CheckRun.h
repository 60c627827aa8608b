#pragma once

#include "CommandLine.h"

#include <cstddef>

namespace pellorin {
class Output;
}

namespace pellorin::cli {

// With --threads, each thread judges a file this many bytes at a time.
inline constexpr std::size_t kCheckPiece = std::size_t { 256 } << 10;

// Checks every line of the command's files (standard input when none) and
// writes a verdict line per number to `output`; reports unreadable lines
// and the summary on standard error. Returns the exit status: 0 all valid,
// 1 any invalid, 2 any line or file that could not be read. Throws
// OutputError.
int runCheck(const CheckCommand& command, Output& output);

} // namespace pellorin::cli
