#pragma once

#include "Network.h"
#include "NumberPattern.h"

#include <optional>
#include <string_view>
#include <vector>

namespace pellorin {

// The one rule a deliberately invalid number breaks; it passes every other.
enum class InvalidRule {
    None,
    Luhn, // right prefix and length, a wrong check digit
    Length, // right prefix and check digit, a length the network does not issue
    Prefix, // right length and check digit, a prefix no network claims
};

// The rule named `name` on the command line ("luhn", "length", "prefix").
std::optional<InvalidRule> invalidRuleNamed(std::string_view name) noexcept;
std::string_view invalidRuleName(InvalidRule rule) noexcept;

// The lengths an --invalid length number of `network` may have: lengths
// the network does not issue and no network sharing one of its prefixes
// issues either, nearest the common length first (the shorter of two as
// near). 11 digits where every length from 12 to 19 is taken.
std::vector<int> wrongLengths(const Network& network);

// Which of a network's ranges its numbers come from.
enum class RangeChoice {
    // The prefixes no other network claims for numbers of the same length
    // (of any length for --invalid length), so that a number is known by its
    // network alone; every published range when the network has no such
    // prefix.
    Own,
    Published, // every published range
};

// Numbers of `network` with `length` digits, breaking `rule`. For Length,
// `length` is one of wrongLengths(); otherwise one the network issues.
NumberPattern networkPattern(const Network& network, int length, InvalidRule rule,
    RangeChoice choice = RangeChoice::Published);

// The six-digit prefixes of `network`'s ranges that issue `length` (0: any
// length) and that no other network's range issuing `length` claims.
std::vector<NumberPattern::PrefixSpan> ownPrefixes(const Network& network, int length);

// The other networks with a range that overlaps `range` of `network`.
std::vector<const Network*> networksSharing(const Network& network, const PrefixRange& range);

// The six-digit prefixes that neither a network of the table nor the wider
// ranges other card validators give (kWideClaims) claim, without a leading
// 0: a number with one of them belongs to no card network anyone knows.
std::vector<NumberPattern::PrefixSpan> unclaimedPrefixes();

} // namespace pellorin
