#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pellorin {

// A decimal number as the user typed it.
struct DecimalReading {
    bool negative = false;
    bool nonZero = false;
    // The value rounded to a whole number, half to even; saturates at
    // +/- kSaturated when the digits go beyond it.
    std::int64_t rounded = 0;
};

inline constexpr std::int64_t kSaturated = std::int64_t { 1 } << 62;

// Reads plain decimal text: blanks (space, tab) around, an optional sign, then
// digits with at most one decimal separator and at least one digit. Nothing
// else counts as a number: no thousands separators, exponents or currency.
std::optional<DecimalReading> readDecimal(std::string_view text, char decimalSeparator) noexcept;

// The shared quantity conversion, used by the generation run and the quantity
// box alike so that both accept the same forms.
struct Quantity {
    enum class Kind { NotNumeric, Whole };
    Kind kind = Kind::NotNumeric;
    std::int64_t value = 0; // rounded, saturated; meaningful when kind == Whole
};

Quantity readQuantity(std::string_view text, char decimalSeparator) noexcept;

// The quantity as the generation run needs it: a signed 32-bit count, or
// nothing when the text is not a number or beyond the 32-bit range.
std::optional<std::int32_t> readQuantity32(std::string_view text, char decimalSeparator) noexcept;

// A stored truth value: "True"/"False" in any letter case, or a number (0 is
// false, any other number true). Numbers may be decimal with an optional
// exponent ("1E2"), hexadecimal ("&H1F") or octal ("&O17"), as a hand-edited
// store may hold them. Anything else reads as false.
bool readTruthValue(std::string_view text, char decimalSeparator) noexcept;

} // namespace pellorin
