#include "NetworkLookup.h"

#include "Network.h"

#include <algorithm>
#include <set>

namespace pellorin::engine {

namespace {

constexpr std::size_t kHead = 3; // digits of a head

std::uint32_t powerOfTen(std::size_t exponent) noexcept
{
    std::uint32_t power = 1;
    for (std::size_t i = 0; i < exponent; ++i)
        power *= 10;
    return power;
}

std::uint32_t valueOf(std::string_view digits) noexcept
{
    std::uint32_t value = 0;
    for (const char c : digits)
        value = value * 10 + std::uint32_t(c - '0');
    return value;
}

} // namespace

NetworkLookup::NetworkLookup()
{
    m_width = kHead;
    for (const Network& network : networkTable()) {
        for (const PrefixRange& range : network.ranges)
            m_width = std::max(m_width, range.first.size());
    }
    m_headDivisor = powerOfTen(m_width - kHead);
    const std::uint32_t end = powerOfTen(m_width);
    // Where a range begins, and just past where it ends, a stretch begins.
    std::set<std::uint32_t> starts { 0 };
    for (const Network& network : networkTable()) {
        for (const PrefixRange& range : network.ranges) {
            const std::uint32_t scale = powerOfTen(m_width - range.first.size());
            starts.insert(valueOf(range.first) * scale);
            const std::uint32_t after = (valueOf(range.last) + 1) * scale;
            if (after < end)
                starts.insert(after);
        }
    }
    m_starts.assign(starts.begin(), starts.end());
    // The verdict on the stretch's first number, padded with zeros, is the
    // verdict on all of its numbers.
    m_verdicts.reserve(m_starts.size() * kLengths);
    for (const std::uint32_t start : m_starts) {
        std::string digits = std::to_string(start);
        digits.insert(0, m_width - digits.size(), '0');
        for (int length = kFirstLength; length < kFirstLength + kLengths; ++length) {
            digits.resize(std::size_t(length), '0');
            const NumberVerdict verdict = judgeNumber(digits);
            PrefixVerdict& found = m_verdicts.emplace_back();
            found.noNetwork = verdict.networks.empty();
            found.wrongLength = verdict.wrongLength;
            for (const std::string_view name : verdict.networks.names()) {
                if (!found.networks.empty())
                    found.networks += '|';
                found.networks += name;
            }
            if (found.noNetwork)
                found.networks = "unknown";
        }
    }
    m_byHead.resize(end / m_headDivisor);
    m_headCut.resize(m_byHead.size());
    for (std::size_t head = 0; head < m_byHead.size(); ++head) {
        const auto first = std::uint32_t(head) * m_headDivisor;
        const auto stretch
            = std::upper_bound(m_starts.begin(), m_starts.end(), first) - m_starts.begin() - 1;
        m_byHead[head] = std::uint16_t(stretch);
        m_headCut[head] = std::size_t(stretch) + 1 < m_starts.size()
            && m_starts[std::size_t(stretch) + 1] < first + m_headDivisor;
    }
}

const PrefixVerdict& NetworkLookup::find(std::string_view digits) const noexcept
{
    const std::size_t head = valueOf(digits.substr(0, kHead));
    std::size_t stretch = m_byHead[head];
    // Most heads lie in one stretch; the few that ranges cut are walked.
    if (m_headCut[head]) {
        const std::uint32_t prefix = valueOf(digits.substr(0, m_width));
        while (stretch + 1 < m_starts.size() && m_starts[stretch + 1] <= prefix)
            ++stretch;
    }
    return m_verdicts[stretch * kLengths + (digits.size() - kFirstLength)];
}

const NetworkLookup& NetworkLookup::instance()
{
    static const NetworkLookup lookup;
    return lookup;
}

} // namespace pellorin::engine
