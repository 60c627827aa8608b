#pragma once

#include "generate/Brand.h"
#include "generate/CardNumber.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace pellorin {

// The numbers one kind of card can have, and how one uniform 64-bit draw
// becomes one of them.
//
// A draw r (read as a fraction of 2^64) picks the prefix index floor(P × r)
// and then the digits after the prefix as floor(b × r') for the remaining
// fraction r' each time, b being 9 (digits 1 to 9) or 10 (digits 0 to 9):
// the digits a draw per digit would give, taken from more bits of one draw.
// All of them together are floor(N × r) for N = P × b^k, read in mixed
// radix; the few draws that would favour some values of it over others are
// refused, so every (prefix, digits) pair is exactly equally likely.
class NumberPattern {
public:
    // Returned by write() when a draw gives no number.
    static constexpr std::uint64_t kNone = ~std::uint64_t { 0 };

    // The window's numbers of `brand`: a prefix from its table, then digits
    // 1 to 9, then the Luhn check digit. A draw whose check digit would be 0
    // gives no number, as the literal procedure (every digit drawn 1 to 9,
    // kept only when the Luhn test passes) would never keep it.
    static NumberPattern forBrand(const Brand& brand);

    // Numbers of `length` digits starting with `prefix`, digits 0 to 9 after
    // it and the Luhn check digit last: every Luhn-valid number with that
    // prefix and length equally likely. Needs 1 <= prefix digits < length
    // <= kMaxCardLength and digits only.
    static NumberPattern custom(std::string_view prefix, int length);

    int length() const noexcept { return m_length; }

    // Writes the number a draw gives at `out` (length() digits; it may also
    // overwrite the kCardNumberRoom - length() bytes after them) and returns
    // its key, or kNone when the draw gives no number. Keys tell numbers
    // apart: two draws give the same number exactly when their keys match.
    // Keys lie below keyCount().
    std::uint64_t write(std::uint64_t draw, char* out) const noexcept;

    std::uint64_t keyCount() const noexcept { return m_keyCount; }

    // The key of the number `draw` gives, when it gives one: floor(N × r).
    std::uint64_t key(std::uint64_t draw) const noexcept
    {
        __extension__ using Wide = unsigned __int128;
        return std::uint64_t((Wide { draw } * m_keyCount) >> 64);
    }

    // How many different numbers write() can give.
    std::uint64_t numberCount() const noexcept { return m_numberCount; }

private:
    struct Prefix {
        std::array<char, kCardNumberRoom> text {};
        std::uint8_t luhnSum = 0; // of the prefix's digits at their places
    };

    // Up to three digits after the prefix, taken at once from the draw.
    struct Step {
        std::uint32_t multiplier; // base^digits
        std::uint8_t digits;
        std::uint8_t parity; // 0 when the step's last digit is doubled
    };

    NumberPattern(std::vector<Prefix> prefixes, int prefixLength, int length, bool zeroDigits);

    std::vector<Prefix> m_prefixes;
    std::uint64_t m_prefixCount = 0;
    std::uint64_t m_bodyCount = 0; // b^k: the digits between prefix and check digit
    std::uint64_t m_keyCount = 0;
    std::array<Step, 6> m_steps {};
    int m_stepCount = 0;
    std::uint64_t m_refuseBelow = 0;
    std::uint64_t m_numberCount = 0;
    int m_prefixLength = 0;
    int m_bodyDigits = 0;
    int m_length = 0;
    bool m_zeroDigits = false;
};

} // namespace pellorin
