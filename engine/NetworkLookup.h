#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pellorin::engine {

// What the network table says of a number of a card's length (12 to 19
// digits), apart from its check digit: the same as judgeNumber, looked up.
struct PrefixVerdict {
    std::string networks; // "JCB|RuPay", the most specific first, or "unknown"
    bool noNetwork = false; // no network claims the prefix at any length
    bool wrongLength = false; // networks claim the prefix, none at this length
};

// The table's verdicts by prefix and length, worked out once: a network's
// claim depends only on a number's first few digits (as many as the longest
// prefix of the table), so the space of those prefixes falls into stretches
// that every network either claims whole or not at all, and a verdict per
// stretch and length answers for every number in it.
class NetworkLookup {
public:
    NetworkLookup();

    // `digits` holds 12 to 19 digits and nothing else.
    const PrefixVerdict& find(std::string_view digits) const noexcept;

    // Built on first use, shared by every thread.
    static const NetworkLookup& instance();

private:
    static constexpr int kFirstLength = 12;
    static constexpr int kLengths = 8; // 12 to 19

    std::size_t m_width = 0; // digits of the longest prefix, at least 3
    std::uint32_t m_headDivisor = 1; // from a prefix to its first 3 digits
    std::vector<std::uint32_t> m_starts; // each stretch's first prefix, ascending
    // Per 3-digit head, the stretch that holds its first prefix, and whether
    // another stretch starts within the head.
    std::vector<std::uint16_t> m_byHead;
    std::vector<bool> m_headCut;
    std::vector<PrefixVerdict> m_verdicts; // stretch by stretch, 8 lengths each
};

} // namespace pellorin::engine
