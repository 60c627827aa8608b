#pragma once

#include <string>
#include <string_view>

namespace pellorin::test {

// ASCII text as UTF-16, with its byte order mark or without: what Windows
// PowerShell writes.
inline std::string utf16(std::string_view ascii, bool bigEndian, bool mark = true)
{
    std::string bytes = mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (const char c : ascii)
        bytes += bigEndian ? std::string { '\0', c } : std::string { c, '\0' };
    return bytes;
}

} // namespace pellorin::test
