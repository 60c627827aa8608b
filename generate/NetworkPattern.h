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

// Numbers of `network` with `length` digits over its published ranges,
// breaking `rule`. For Length, `length` is one of wrongLengths(); otherwise
// one the network issues.
NumberPattern networkPattern(const Network& network, int length, InvalidRule rule);

// The six-digit prefixes no network claims, without a leading 0.
std::vector<NumberPattern::PrefixSpan> unclaimedPrefixes();

} // namespace pellorin
