#pragma once

#include "CommandTable.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace pellorin::cli {

// What `pellorin-cli [COMMAND] --help` prints: the command's summary,
// usage, options, rules, exit statuses and examples, in lines of at most
// 80 columns.
std::string helpText(const Command& command);

// `text` as lines of at most 79 columns, each after `indent` blanks.
std::string wrapped(std::string_view text, std::size_t indent = 0);

// `text`'s paragraphs (parted by an empty line) wrapped as wrapped() does;
// a paragraph that starts with a blank, an example, is kept as it is.
std::string paragraphs(std::string_view text);

// "-b,--brand BRAND", as help and the manual page name an option.
std::string optionSynopsis(const Option& option, std::string_view between = ",");

} // namespace pellorin::cli
