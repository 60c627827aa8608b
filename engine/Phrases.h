#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellorin::engine {

// "3 numbers", "1 number".
std::string plural(std::uint64_t n, std::string_view one, std::string_view many);

// "a, b or c"; `last` goes before the last word.
std::string listed(const std::vector<std::string>& words, std::string_view last = " or ");

// "; did you mean 'x'?" for the nearest of `known`, when one is near
// enough to be what was meant; otherwise nothing.
std::string suggestion(std::string_view word, const std::vector<std::string>& known);

// Plain decimal digits up to `max`: no sign, no base prefix, no blanks.
std::optional<std::uint64_t> readWhole(std::string_view text, std::uint64_t max);

} // namespace pellorin::engine
