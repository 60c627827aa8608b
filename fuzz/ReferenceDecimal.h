#pragma once

// An independent reading of plain decimal text for the fuzz targets: it
// splits the text with a different method (first and last non-blank, a
// count of separators) and decides the rounding by comparing the fraction
// with "5" as text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellorin::fuzz {

struct ReferenceDecimal {
    bool negative = false;
    bool nonZero = false;
    std::int64_t rounded = 0;
};

inline bool referenceIsDigit(char c)
{
    return c >= '0' && c <= '9';
}

inline std::optional<ReferenceDecimal> referenceReadDecimal(std::string_view text, char separator)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::nullopt;
    const auto last = text.find_last_not_of(" \t");
    std::string body(text.substr(first, last - first + 1));

    ReferenceDecimal result;
    if (body[0] == '+' || body[0] == '-') {
        result.negative = body[0] == '-';
        body.erase(0, 1);
    }
    std::string whole;
    std::string fraction;
    int separators = 0;
    int digits = 0;
    for (char c : body) {
        if (c == separator) {
            ++separators;
        } else if (referenceIsDigit(c)) {
            ++digits;
            (separators == 0 ? whole : fraction).push_back(c);
        } else {
            return std::nullopt;
        }
    }
    if (separators > 1 || digits == 0)
        return std::nullopt;

    const auto significant = whole.find_first_not_of('0');
    whole = significant == std::string::npos ? std::string() : whole.substr(significant);
    const auto fractionEnd = fraction.find_last_not_of('0');
    fraction
        = fractionEnd == std::string::npos ? std::string() : fraction.substr(0, fractionEnd + 1);
    result.nonZero = !whole.empty() || !fraction.empty();

    constexpr std::int64_t kCap = std::int64_t { 1 } << 62; // 4611686018427387904, 19 digits
    const std::string capText = "4611686018427387904";
    bool saturated
        = whole.size() > capText.size() || (whole.size() == capText.size() && whole >= capText);
    std::int64_t value = 0;
    if (!saturated) {
        for (char c : whole)
            value = value * 10 + (c - '0');
        // "5" alone is the half; any longer fraction starting with 5, or a
        // larger first digit, is above it.
        const bool tie = fraction == "5";
        const bool above = !tie && !fraction.empty() && fraction >= "5";
        if (above || (tie && value % 2 == 1))
            ++value;
    } else {
        value = kCap;
    }
    result.rounded = result.negative ? -value : value;
    return result;
}

} // namespace pellorin::fuzz
