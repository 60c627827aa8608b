#include "NetworkPattern.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace pellorin {

namespace {

constexpr int kWidestPrefix = 6;

std::uint32_t tenTo(int exponent) noexcept
{
    std::uint32_t result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= 10;
    return result;
}

std::uint32_t valueOf(std::string_view digits) noexcept
{
    std::uint32_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

// A range's prefixes as `width`-digit ones.
NumberPattern::PrefixSpan spanOf(const PrefixRange& range, int width) noexcept
{
    const std::uint32_t scale = tenTo(width - int(range.first.size()));
    const std::uint32_t first = valueOf(range.first) * scale;
    return { first, (valueOf(range.last) + 1) * scale - first };
}

bool overlap(const PrefixRange& a, const PrefixRange& b) noexcept
{
    const NumberPattern::PrefixSpan x = spanOf(a, kWidestPrefix);
    const NumberPattern::PrefixSpan y = spanOf(b, kWidestPrefix);
    return x.first < y.first + y.count && y.first < x.first + x.count;
}

// Whether another network sharing a prefix with `network` issues `length`.
bool takenElsewhere(const Network& network, int length) noexcept
{
    for (const Network& other : networkTable()) {
        if (&other == &network)
            continue;
        for (const PrefixRange& theirs : other.ranges) {
            if (!holdsLength(theirs.lengths, length))
                continue;
            for (const PrefixRange& ours : network.ranges) {
                if (overlap(ours, theirs))
                    return true;
            }
        }
    }
    return false;
}

NumberPattern spanPattern(
    const std::vector<const PrefixRange*>& ranges, int length, bool wrongCheck)
{
    int width = 1;
    for (const PrefixRange* range : ranges)
        width = std::max(width, int(range->first.size()));
    std::vector<NumberPattern::PrefixSpan> spans;
    spans.reserve(ranges.size());
    for (const PrefixRange* range : ranges)
        spans.push_back(spanOf(*range, width));
    return NumberPattern::forSpans(spans, width, length, wrongCheck);
}

} // namespace

std::optional<InvalidRule> invalidRuleNamed(std::string_view name) noexcept
{
    for (const InvalidRule rule : { InvalidRule::Luhn, InvalidRule::Length, InvalidRule::Prefix }) {
        if (invalidRuleName(rule) == name)
            return rule;
    }
    return std::nullopt;
}

std::string_view invalidRuleName(InvalidRule rule) noexcept
{
    switch (rule) {
    case InvalidRule::Luhn:
        return "luhn";
    case InvalidRule::Length:
        return "length";
    case InvalidRule::Prefix:
        return "prefix";
    case InvalidRule::None:
        break;
    }
    return {};
}

std::vector<int> wrongLengths(const Network& network)
{
    const LengthSet issued = lengthsOf(network);
    std::vector<int> lengths;
    for (int length = kShortestCard; length <= kMaxCardLength; ++length) {
        if (!holdsLength(issued, length) && !takenElsewhere(network, length))
            lengths.push_back(length);
    }
    if (lengths.empty())
        lengths.push_back(kShortestCard - 1);
    std::stable_sort(lengths.begin(), lengths.end(), [&](int a, int b) {
        return std::abs(a - network.commonLength) < std::abs(b - network.commonLength);
    });
    return lengths;
}

NumberPattern networkPattern(const Network& network, int length, InvalidRule rule)
{
    if (rule == InvalidRule::Prefix)
        return NumberPattern::forSpans(unclaimedPrefixes(), kWidestPrefix, length);
    std::vector<const PrefixRange*> ranges;
    for (const PrefixRange& range : network.ranges) {
        if (rule == InvalidRule::Length || holdsLength(range.lengths, length))
            ranges.push_back(&range);
    }
    return spanPattern(ranges, length, rule == InvalidRule::Luhn);
}

std::vector<NumberPattern::PrefixSpan> unclaimedPrefixes()
{
    std::vector<NumberPattern::PrefixSpan> claimed;
    for (const Network& network : networkTable()) {
        for (const PrefixRange& range : network.ranges)
            claimed.push_back(spanOf(range, kWidestPrefix));
    }
    std::sort(claimed.begin(), claimed.end(),
        [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<NumberPattern::PrefixSpan> unclaimed;
    // A leading 0 is left out: spreadsheets and number fields drop it.
    std::uint32_t next = tenTo(kWidestPrefix - 1);
    for (const auto& span : claimed) {
        if (span.first > next)
            unclaimed.push_back({ next, span.first - next });
        next = std::max(next, span.first + span.count);
    }
    if (next < tenTo(kWidestPrefix))
        unclaimed.push_back({ next, tenTo(kWidestPrefix) - next });
    return unclaimed;
}

} // namespace pellorin
