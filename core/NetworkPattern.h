#pragma once

#include "Network.h"
#include "NumberPattern.h"

#include <optional>
#include <string_view>
#include <vector>

namespace pellorin {

// The one rule a deliberately invalid record breaks; it passes every other.
enum class InvalidRule {
    None,
    Luhn, // right prefix and length, a wrong check digit
    Length, // right prefix and check digit, a length the network does not issue
    Prefix, // right length and check digit, a prefix no network claims
    // A valid number with its extras, one of them wrong:
    Expiry, // an expiry month that has passed
    Month, // an expiry month 00 or 13
    Code, // a security code of a length the network does not use
};

// The rules, in the order help lists them.
inline constexpr InvalidRule kInvalidRules[] = { InvalidRule::Luhn, InvalidRule::Length,
    InvalidRule::Prefix, InvalidRule::Expiry, InvalidRule::Month, InvalidRule::Code };

// The rule named `name` on the command line ("luhn", "length", "prefix",
// "expiry", "month", "code").
std::optional<InvalidRule> invalidRuleNamed(std::string_view name) noexcept;
std::string_view invalidRuleName(InvalidRule rule) noexcept;

// The rule the number itself breaks: None for a rule of the extras.
constexpr InvalidRule numberRule(InvalidRule rule) noexcept
{
    return rule == InvalidRule::Luhn || rule == InvalidRule::Length || rule == InvalidRule::Prefix
        ? rule
        : InvalidRule::None;
}

// The lengths an --invalid length number of `network` may have: lengths
// the network does not issue, no network sharing one of its prefixes issues
// either, and other card validators (validatorLengths()) do not take for
// some of the prefixes it draws from; nearest the common length first (the
// shorter of two as near). 11 digits, which no validator takes, where every
// length from 12 to 19 is taken.
std::vector<int> wrongLengths(const Network& network);

// Whether other card validators take `length` digits for every prefix an
// --invalid length number of `network` could have.
bool validatorsTake(const Network& network, int length);

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
// `length` is one of wrongLengths(), and the prefixes where another
// validator takes that length are left out; otherwise one the network
// issues.
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
