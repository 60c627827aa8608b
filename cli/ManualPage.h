#pragma once

#include <string>
#include <string_view>

namespace pellorin::cli {

// The manual page, in roff, dated `date` (as "2026-01-31"): made from the
// command table, as --help is, so the two cannot drift apart.
std::string manualPage(std::string_view date);

} // namespace pellorin::cli
