#include "NumberText.h"

#include <algorithm>
#include <limits>

namespace pellorin {

namespace {

bool isBlank(char c) noexcept
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c) noexcept
{
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text) noexcept
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) noexcept
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

} // namespace

std::optional<DecimalReading> readDecimal(std::string_view text, char decimalSeparator) noexcept
{
    text = trimBlanks(text);
    DecimalReading reading;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        reading.negative = text.front() == '-';
        text.remove_prefix(1);
    }

    std::string_view whole = text;
    std::string_view fraction;
    if (const auto sep = text.find(decimalSeparator); sep != std::string_view::npos) {
        whole = text.substr(0, sep);
        fraction = text.substr(sep + 1);
    }
    if (whole.empty() && fraction.empty())
        return std::nullopt;
    if (!std::all_of(whole.begin(), whole.end(), isDigit)
        || !std::all_of(fraction.begin(), fraction.end(), isDigit))
        return std::nullopt;

    std::int64_t value = 0;
    for (char c : whole) {
        const int digit = c - '0';
        // Compare before multiplying: the product itself may not fit.
        if (value > (kSaturated - digit) / 10) {
            value = kSaturated;
            break;
        }
        value = value * 10 + digit;
    }

    // Half to even: above one half rounds up, exactly one half rounds to the
    // even neighbour. Deciding on the digits avoids binary fractions.
    const bool wholeNonZero
        = std::any_of(whole.begin(), whole.end(), [](char c) { return c != '0'; });
    const bool fractionNonZero
        = std::any_of(fraction.begin(), fraction.end(), [](char c) { return c != '0'; });
    if (!fraction.empty() && value < kSaturated) {
        const char first = fraction.front();
        const bool restNonZero
            = std::any_of(fraction.begin() + 1, fraction.end(), [](char c) { return c != '0'; });
        if (first > '5' || (first == '5' && (restNonZero || value % 2 == 1)))
            ++value;
    }
    reading.nonZero = wholeNonZero || fractionNonZero;
    reading.rounded = reading.negative ? -value : value;
    return reading;
}

Quantity readQuantity(std::string_view text, char decimalSeparator) noexcept
{
    const auto reading = readDecimal(text, decimalSeparator);
    if (!reading)
        return {};
    return { Quantity::Kind::Whole, reading->rounded };
}

std::optional<std::int32_t> readQuantity32(std::string_view text, char decimalSeparator) noexcept
{
    const Quantity q = readQuantity(text, decimalSeparator);
    if (q.kind != Quantity::Kind::Whole || q.value < std::numeric_limits<std::int32_t>::min()
        || q.value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(q.value);
}

namespace {

bool isHexDigit(char c) noexcept
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// "&H1F" or "&O17": digits of the base after the marker, in either letter
// case. nullopt when the text is not of that form.
std::optional<bool> readRadixNonZero(std::string_view text) noexcept
{
    if (text.size() < 3 || text[0] != '&')
        return std::nullopt;
    const char marker = text[1];
    const std::string_view digits = text.substr(2);
    const bool hex = marker == 'H' || marker == 'h';
    const bool octal = marker == 'O' || marker == 'o';
    const bool valid = (hex && std::all_of(digits.begin(), digits.end(), isHexDigit))
        || (octal && std::all_of(digits.begin(), digits.end(), [](char c) {
               return c >= '0' && c <= '7';
           }));
    if (!valid)
        return std::nullopt;
    return std::any_of(digits.begin(), digits.end(), [](char c) { return c != '0'; });
}

// A decimal number with an optional exponent ("1E2", "-2.5e-3"). Only zero-ness
// matters for a truth value, and an exponent never changes it, so "1e400"
// reads as the nonzero number it is rather than overflowing.
std::optional<bool> readScientificNonZero(std::string_view text, char decimalSeparator) noexcept
{
    std::string_view mantissa = text;
    if (const auto e = text.find_first_of("Ee"); e != std::string_view::npos) {
        mantissa = text.substr(0, e);
        std::string_view exponent = text.substr(e + 1);
        if (!exponent.empty() && (exponent.front() == '+' || exponent.front() == '-'))
            exponent.remove_prefix(1);
        // No blank may sit next to the marker: "1 E2" is no number.
        if (mantissa.empty() || isBlank(mantissa.back()) || exponent.empty()
            || !std::all_of(exponent.begin(), exponent.end(), isDigit))
            return std::nullopt;
    }
    const auto reading = readDecimal(mantissa, decimalSeparator);
    if (!reading)
        return std::nullopt;
    return reading->nonZero;
}

} // namespace

bool readTruthValue(std::string_view text, char decimalSeparator) noexcept
{
    const std::string_view trimmed = trimBlanks(text);
    if (equalsIgnoringCase(trimmed, "True"))
        return true;
    if (equalsIgnoringCase(trimmed, "False"))
        return false;
    if (const auto radix = readRadixNonZero(trimmed))
        return *radix;
    return readScientificNonZero(trimmed, decimalSeparator).value_or(false);
}

} // namespace pellorin
