#pragma once

#include <string>

namespace pellorin::cli {

// Shell completion for pellorin-cli, made from the command table: every
// command, every option, and the values an option takes.
std::string bashCompletion();
std::string zshCompletion(); // an autoloaded _pellorin-cli
std::string fishCompletion();

} // namespace pellorin::cli
