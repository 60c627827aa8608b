#include "NetworkPattern.h"

#include "IntegerPower.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <span>

namespace pellorin {

namespace {

constexpr int kWidestPrefix = 6;

std::uint32_t valueOf(std::string_view digits) noexcept
{
    std::uint32_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

// A range's prefixes as `width`-digit ones.
NumberPattern::PrefixSpan spanOf(const PrefixRange& range, int width) noexcept
{
    const auto scale = std::uint32_t(power(10, width - int(range.first.size())));
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

// The prefixes of `spans` that none of `taken` holds, in order.
std::vector<NumberPattern::PrefixSpan> without(
    std::span<const NumberPattern::PrefixSpan> spans, std::vector<NumberPattern::PrefixSpan> taken)
{
    std::sort(
        taken.begin(), taken.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<NumberPattern::PrefixSpan> sorted(spans.begin(), spans.end());
    std::sort(sorted.begin(), sorted.end(),
        [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<NumberPattern::PrefixSpan> left;
    for (const auto& span : sorted) {
        std::uint64_t next = span.first;
        const std::uint64_t end = std::uint64_t { span.first } + span.count;
        for (const auto& gap : taken) {
            const std::uint64_t gapEnd = std::uint64_t { gap.first } + gap.count;
            if (gapEnd <= next || gap.first >= end)
                continue;
            if (gap.first > next)
                left.push_back({ std::uint32_t(next), std::uint32_t(gap.first - next) });
            next = std::max(next, gapEnd);
        }
        if (next < end)
            left.push_back({ std::uint32_t(next), std::uint32_t(end - next) });
    }
    return left;
}

// The six-digit prefixes where another card validator takes `length`
// digits: at each prefix the most specific of its ranges decide.
std::vector<NumberPattern::PrefixSpan> validatorsTaking(int length)
{
    const auto claims = validatorLengths();
    std::vector<NumberPattern::PrefixSpan> taking;
    for (const PrefixRange& claim : claims) {
        if (!holdsLength(claim.lengths, length))
            continue;
        std::vector<NumberPattern::PrefixSpan> narrower;
        for (const PrefixRange& other : claims) {
            if (other.first.size() > claim.first.size())
                narrower.push_back(spanOf(other, kWidestPrefix));
        }
        const NumberPattern::PrefixSpan span[] = { spanOf(claim, kWidestPrefix) };
        for (const auto& decided : without(span, std::move(narrower)))
            taking.push_back(decided);
    }
    return taking;
}

std::uint64_t prefixCount(const std::vector<NumberPattern::PrefixSpan>& spans) noexcept
{
    std::uint64_t count = 0;
    for (const auto& span : spans)
        count += span.count;
    return count;
}

std::vector<NumberPattern::PrefixSpan> rangeSpans(const Network& network)
{
    std::vector<NumberPattern::PrefixSpan> spans;
    for (const PrefixRange& range : network.ranges)
        spans.push_back(spanOf(range, kWidestPrefix));
    return spans;
}

// The prefixes an --invalid length number of `network` draws from before
// the validators' lengths are left out: those it alone claims at any
// length, or all of its own where it has none.
std::vector<NumberPattern::PrefixSpan> wrongLengthPrefixes(
    const Network& network, RangeChoice choice)
{
    std::vector<NumberPattern::PrefixSpan> own;
    if (choice == RangeChoice::Own)
        own = ownPrefixes(network, 0);
    return own.empty() ? rangeSpans(network) : own;
}

} // namespace

std::optional<InvalidRule> invalidRuleNamed(std::string_view name) noexcept
{
    for (const InvalidRule rule : kInvalidRules) {
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
    case InvalidRule::Expiry:
        return "expiry";
    case InvalidRule::Month:
        return "month";
    case InvalidRule::Code:
        return "code";
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
        if (!holdsLength(issued, length) && !takenElsewhere(network, length)
            && !validatorsTake(network, length))
            lengths.push_back(length);
    }
    if (lengths.empty())
        lengths.push_back(kShortestCard - 1);
    std::stable_sort(lengths.begin(), lengths.end(), [&](int a, int b) {
        return std::abs(a - network.commonLength) < std::abs(b - network.commonLength);
    });
    return lengths;
}

bool validatorsTake(const Network& network, int length)
{
    return without(wrongLengthPrefixes(network, RangeChoice::Own), validatorsTaking(length))
        .empty();
}

NumberPattern networkPattern(
    const Network& network, int length, InvalidRule rule, RangeChoice choice)
{
    if (rule == InvalidRule::Prefix)
        return NumberPattern::forSpans(unclaimedPrefixes(), kWidestPrefix, length);
    const bool wrongLength = rule == InvalidRule::Length;
    if (wrongLength) {
        // Where another validator takes the length for some of the
        // prefixes, those are left out; otherwise the numbers are drawn as
        // before validators were heeded, so seeded output stays the same.
        const std::vector<NumberPattern::PrefixSpan> from = wrongLengthPrefixes(network, choice);
        const std::vector<NumberPattern::PrefixSpan> kept = without(from, validatorsTaking(length));
        if (prefixCount(kept) < prefixCount(from))
            return NumberPattern::forSpans(kept, kWidestPrefix, length);
    }
    const bool wrongCheck = rule == InvalidRule::Luhn;
    if (choice == RangeChoice::Own) {
        // A number of the wrong length is judged by its prefix alone, so
        // its prefix must be the network's at every length.
        const std::vector<NumberPattern::PrefixSpan> own
            = ownPrefixes(network, wrongLength ? 0 : length);
        if (!own.empty())
            return NumberPattern::forSpans(own, kWidestPrefix, length, wrongCheck);
    }
    std::vector<const PrefixRange*> ranges;
    for (const PrefixRange& range : network.ranges) {
        if (wrongLength || holdsLength(range.lengths, length))
            ranges.push_back(&range);
    }
    return spanPattern(ranges, length, wrongCheck);
}

std::vector<NumberPattern::PrefixSpan> ownPrefixes(const Network& network, int length)
{
    std::vector<NumberPattern::PrefixSpan> ours;
    std::vector<NumberPattern::PrefixSpan> theirs;
    for (const Network& other : networkTable()) {
        for (const PrefixRange& range : other.ranges) {
            if (length != 0 && !holdsLength(range.lengths, length))
                continue;
            (&other == &network ? ours : theirs).push_back(spanOf(range, kWidestPrefix));
        }
    }
    return without(ours, theirs);
}

std::vector<const Network*> networksSharing(const Network& network, const PrefixRange& range)
{
    std::vector<const Network*> sharing;
    for (const Network& other : networkTable()) {
        if (&other == &network)
            continue;
        if (std::any_of(other.ranges.begin(), other.ranges.end(),
                [&](const PrefixRange& theirs) { return overlap(range, theirs); }))
            sharing.push_back(&other);
    }
    return sharing;
}

std::vector<NumberPattern::PrefixSpan> unclaimedPrefixes()
{
    std::vector<NumberPattern::PrefixSpan> claimed;
    for (const Network& network : networkTable()) {
        for (const PrefixRange& range : network.ranges)
            claimed.push_back(spanOf(range, kWidestPrefix));
    }
    for (const PrefixRange& range : wideClaims())
        claimed.push_back(spanOf(range, kWidestPrefix));
    // A leading 0 is left out: spreadsheets and number fields drop it.
    const std::uint32_t first = std::uint32_t(power(10, kWidestPrefix - 1));
    const NumberPattern::PrefixSpan all[]
        = { { first, std::uint32_t(power(10, kWidestPrefix)) - first } };
    return without(all, claimed);
}

} // namespace pellorin
