#pragma once

#include "CommandTable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellorin::cli {

// The refusals of what the command table does not know, each with the
// nearest word it does know when one is near ("did you mean"), so a typing
// slip costs one look.

// "unknown option '--formt'; did you mean '--format'?"
std::string unknownOption(const Command& command, std::string_view word);

// "unknown command 'genrate'; did you mean 'generate'?"
std::string unknownCommand(std::string_view word);

// "--format: unknown format 'JSON'; did you mean 'json'?", or the list of
// what the option takes.
std::string unknownWord(const Option& option, std::string_view value);

// The words a command was given that no option took, as CLI11 leaves them
// (those after "--" are arguments, never options): an unknown option, or
// arguments the command takes none of. Nothing when there are none.
std::optional<std::string> leftOver(const Command& command, const std::vector<std::string>& words);

} // namespace pellorin::cli
