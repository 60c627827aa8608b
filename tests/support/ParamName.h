#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace pellorin::test {

// A GoogleTest case name for a parameter text, readable and the same in every
// build: letters and digits stay, other characters are spelled out ("-1.5"
// gives "Minus1Dot5", "1 8" gives "1_8"), and the empty text is "Empty".
inline std::string spelledName(std::string_view text)
{
    constexpr std::string_view kSpelled[][2] = { { " ", "_" }, { "\t", "Tab" }, { ".", "Dot" },
        { ",", "Comma" }, { "+", "Plus" }, { "-", "Minus" }, { "&", "Amp" }, { "$", "Dollar" } };
    std::string name = text.empty() ? "Empty" : "";
    for (const char c : text) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            name += c;
            continue;
        }
        std::string word(5, '\0');
        word.resize(
            std::size_t(std::snprintf(word.data(), word.size(), "X%02X", unsigned(c & 0xff))));
        for (const auto& [character, spelled] : kSpelled) {
            if (character.front() == c)
                word = spelled;
        }
        name += word;
    }
    return name;
}

} // namespace pellorin::test
