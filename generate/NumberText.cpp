#include "generate/NumberText.h"

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
    const bool wholeNonZero = std::any_of(whole.begin(), whole.end(), [](char c) { return c != '0'; });
    const bool fractionNonZero =
        std::any_of(fraction.begin(), fraction.end(), [](char c) { return c != '0'; });
    if (!fraction.empty() && value < kSaturated) {
        const char first = fraction.front();
        const bool restNonZero =
            std::any_of(fraction.begin() + 1, fraction.end(), [](char c) { return c != '0'; });
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
    return {Quantity::Kind::Whole, reading->rounded};
}

std::optional<std::int32_t> readQuantity32(std::string_view text, char decimalSeparator) noexcept
{
    const Quantity q = readQuantity(text, decimalSeparator);
    if (q.kind != Quantity::Kind::Whole || q.value < std::numeric_limits<std::int32_t>::min()
        || q.value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(q.value);
}

bool readTruthValue(std::string_view text, char decimalSeparator) noexcept
{
    const std::string_view trimmed = trimBlanks(text);
    if (equalsIgnoringCase(trimmed, "True"))
        return true;
    if (equalsIgnoringCase(trimmed, "False"))
        return false;
    const auto reading = readDecimal(trimmed, decimalSeparator);
    return reading && reading->nonZero;
}

} // namespace pellorin
