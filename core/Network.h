#pragma once

#include "Brand.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pellorin {

// A set of card lengths: bit n stands for n digits.
using LengthSet = std::uint32_t;

constexpr LengthSet lengthRange(int shortest, int longest) noexcept
{
    LengthSet set = 0;
    for (int n = shortest; n <= longest; ++n)
        set |= LengthSet { 1 } << n;
    return set;
}

constexpr bool holdsLength(LengthSet set, int length) noexcept
{
    return length >= 0 && length < 32 && (set >> length & 1U) != 0;
}

// Lengths every number of any network must have; outside them a number is
// refused by its length alone.
inline constexpr int kShortestCard = 12;

// The issuer prefixes `first` to `last` (as many digits each), issued with
// the lengths in `lengths`.
struct PrefixRange {
    std::string_view first;
    std::string_view last;
    LengthSet lengths;
};

// How a network prints numbers of one length, groups of digits written as
// "4-6-5". Lengths a network does not list here print as kDefaultGroups says.
struct GroupRule {
    int length;
    std::string_view groups;
};

struct Network {
    std::string_view name; // as shown to users: "JCB"
    std::string_view id; // as typed on the command line: "jcb"
    std::span<const PrefixRange> ranges;
    int commonLength;
    int codeLength; // digits of the security code
    std::span<const GroupRule> groups;
    // The window's brand of the same network, whose numbers pellorin-cli
    // makes by default for compatibility.
    std::optional<BrandId> windowBrand;
};

std::span<const Network> networkTable() noexcept;

// Prefixes that card validators give to some network beyond the ranges of
// the table (Maestro's 50 and 56-69, UnionPay's 81 ...): a number meant to
// belong to no network keeps clear of them too.
std::span<const PrefixRange> wideClaims() noexcept;

// The lengths other card validators take for numbers of some prefixes,
// beyond the table's: of the ranges that hold a prefix, the one with the
// longest prefix (or those as long) decides.
std::span<const PrefixRange> validatorLengths() noexcept;

// A rule other validators skip for `network` by design, as a sentence
// without its full stop; empty for most networks.
std::string_view validatorNote(const Network& network) noexcept;

// The network with command-line id `id`, or none.
const Network* findNetwork(std::string_view id) noexcept;

// Every length the network issues, in any of its ranges.
LengthSet lengthsOf(const Network& network) noexcept;

// The lengths of a set, shortest first.
std::vector<int> lengthList(LengthSet lengths);

// "13, 16, 19", "16-19" or "16, 18-19".
std::string lengthsText(LengthSet lengths);

// The network's ranges as people write them: "51-55, 2221-2720", and with
// the lengths of each where they differ: "3528-3589 (16-19), 2131 (15)".
std::string rangesText(const Network& network);

// The groups numbers of `length` digits print in, as "4-4-4-4".
std::string_view groupsOf(const Network& network, int length) noexcept;

// The groups of any number of `length` digits (11 to 19) that no network
// prints otherwise.
std::string_view defaultGroups(int length) noexcept;

// Writes `digits` at `out` in the groups "4-6-5" spells, `separator` between
// groups, and returns the end. Digits beyond the groups go into the last one.
char* writeGrouped(std::string_view digits, std::string_view groups, char separator, char* out);

// Room for every network of the table in one list.
inline constexpr std::size_t kMaxNetworks = 24;

// The networks that claim a number, the most specific (longest matching
// prefix) first, networks as specific as each other in table order.
struct NetworkMatches {
    std::array<const Network*, kMaxNetworks> networks {};
    std::size_t count = 0;

    bool empty() const noexcept { return count == 0; }
    const Network* primary() const noexcept { return count == 0 ? nullptr : networks[0]; }
    std::span<const Network* const> all() const noexcept { return { networks.data(), count }; }
    // Their names, in the same order.
    std::array<std::string_view, kMaxNetworks> networkNames {};
    std::span<const std::string_view> names() const noexcept
    {
        return { networkNames.data(), count };
    }
};

// What the table says of a number (digits only).
struct NumberVerdict {
    // The networks whose ranges hold the number's prefix and issue its
    // length; when none does, those whose ranges hold the prefix alone.
    NetworkMatches networks;
    bool wrongLength = false; // no network issues it, or outside 12 to 19
    bool wrongCheckDigit = false; // fails the Luhn test

    bool valid() const noexcept { return !wrongLength && !wrongCheckDigit; }
};

NumberVerdict judgeNumber(std::string_view digits) noexcept;

// The networks whose ranges hold every number that starts with `prefix`
// and issue `length`, the most specific first: the networks a custom prefix
// falls inside.
NetworkMatches networksOfPrefix(std::string_view prefix, int length) noexcept;

} // namespace pellorin
