#pragma once

#include <string_view>

namespace pellorin {

// Luhn mod-10 test (ISO/IEC 7812-1). A character that is not a decimal digit
// counts as 0 but keeps its place, so "1 8" is judged like "108".
// The empty text passes.
bool LuhnCheck(std::string_view text) noexcept;

} // namespace pellorin
