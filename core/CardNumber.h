#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace pellorin {

inline constexpr int kMaxCardLength = 19;

// Bytes a number may be written over: its digits and the few bytes after
// them that whole-word writes touch on the way (see NumberPattern::write).
inline constexpr int kCardNumberRoom = 24;

struct CardNumber {
    std::array<char, kCardNumberRoom> digits {};
    std::uint8_t length = 0;

    std::string_view text() const noexcept { return { digits.data(), length }; }
};

} // namespace pellorin
