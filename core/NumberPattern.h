#pragma once

#include "BoundedDraw.h"
#include "Brand.h"
#include "CardNumber.h"

#include <cstdint>
#include <span>
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
    static NumberPattern custom(std::string_view prefix, int length, bool wrongCheck = false);

    // Issuer prefixes of `width` digits, `count` of them from `first` on.
    struct PrefixSpan {
        std::uint32_t first;
        std::uint32_t count;
    };

    // Numbers of `length` digits whose first `width` (1 to 6) digits lie in
    // one of `spans`, digits 0 to 9 after them and the Luhn check digit
    // last: every such Luhn-valid number equally likely, so a span weighs
    // as much as the prefixes it holds. The spans must not overlap.
    // With `wrongCheck` the last digit is instead one of the nine that fail
    // the Luhn test, each equally likely.
    static NumberPattern forSpans(
        std::span<const PrefixSpan> spans, int width, int length, bool wrongCheck = false);

    int length() const noexcept { return m_length; }

    // Writes the number a draw gives at `out` (length() digits; it may also
    // overwrite the kCardNumberRoom - length() bytes after them) and returns
    // its key, or kNone when the draw gives no number. Keys tell numbers
    // apart: two draws give the same number exactly when their keys match.
    // Keys lie below keyCount().
    std::uint64_t write(std::uint64_t draw, char* out) const noexcept;

    std::uint64_t keyCount() const noexcept { return m_keys.count(); }

    // The key of the number `draw` gives, when it gives one: floor(N × r).
    std::uint64_t key(std::uint64_t draw) const noexcept { return m_keys.valueOf(draw); }

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

    // Where a span's prefixes start among all the pattern's prefixes.
    struct SpanStart {
        std::uint64_t index;
        std::uint32_t first;
    };

    NumberPattern(std::vector<Prefix> prefixes, std::vector<SpanStart> spans,
        std::uint64_t prefixCount, int prefixLength, int length, bool zeroDigits, bool wrongCheck);

    // Writes the prefix numbered `index` of a span pattern and returns its
    // Luhn sum.
    unsigned writeSpanPrefix(std::uint64_t index, char* out) const noexcept;

    std::vector<Prefix> m_prefixes; // empty for a span pattern
    std::vector<SpanStart> m_spans;
    std::uint64_t m_prefixCount = 0;
    std::uint64_t m_bodyCount = 0; // b^k: the digits between prefix and check digit
    BoundedDraw m_keys;
    std::array<Step, 6> m_steps {};
    int m_stepCount = 0;
    std::uint64_t m_numberCount = 0;
    int m_prefixLength = 0;
    int m_bodyDigits = 0;
    int m_length = 0;
    bool m_zeroDigits = false;
    bool m_wrongCheck = false;
    // Of a span prefix's last three digits and of the ones before them.
    std::uint8_t m_lowParity = 0;
    std::uint8_t m_highParity = 0;
};

} // namespace pellorin
