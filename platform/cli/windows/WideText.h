#pragma once

// UTF-8 in the program, UTF-16 at the Windows API: converted at the edge.

#include <string>
#include <string_view>

namespace pellorin {

// Malformed sequences become U+FFFD in both directions.
std::wstring wideText(std::string_view utf8);
std::string utf8Text(std::wstring_view wide);

} // namespace pellorin
