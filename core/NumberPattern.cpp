#include "NumberPattern.h"

#include "IntegerPower.h"
#include "WideProduct.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace pellorin {

namespace {

constexpr int luhnValue(int digit, bool doubled) noexcept
{
    if (!doubled)
        return digit;
    return digit * 2 > 9 ? digit * 2 - 9 : digit * 2;
}

// The digits after the prefix go out three at a time: their characters
// from one 4-byte table entry, their share of the Luhn sum from another
// table. Base 9 stands for the digits 1 to 9, base 10 for 0 to 9.
template <unsigned Base> struct ChunkTables {
    static constexpr unsigned kChunk = Base * Base * Base;
    // Entry v holds the three digits of v, most significant first, and one
    // spare byte; a chunk of d < 3 digits is read from the entry's last d.
    std::array<char, kChunk * 4 + 4> chars {};
    // luhn[d - 1][parity][v]: the Luhn sum of the last d digits of v, where
    // parity 0 means the chunk's last digit is doubled, mod 10.
    std::array<std::array<std::array<std::uint8_t, kChunk>, 2>, 3> luhn {};

    constexpr ChunkTables()
    {
        constexpr int first = Base == 9 ? 1 : 0;
        for (unsigned v = 0; v < kChunk; ++v) {
            const int digits[3] = { int(v / (Base * Base)) + first, int(v / Base % Base) + first,
                int(v % Base) + first };
            for (int i = 0; i < 3; ++i)
                chars[v * 4 + unsigned(i)] = char('0' + digits[i]);
            for (int parity = 0; parity < 2; ++parity) {
                int sum = 0;
                for (int d = 1; d <= 3; ++d) {
                    // the d-th digit from the right of the chunk, t = d - 1
                    sum += luhnValue(digits[3 - d], (parity + d - 1) % 2 == 0);
                    luhn[std::size_t(d - 1)][std::size_t(parity)][v] = std::uint8_t(sum % 10);
                }
            }
        }
    }
};

// Span patterns with at most this many prefixes write them from a table.
constexpr std::uint64_t kWrittenOutPrefixes = 4096;

constexpr ChunkTables<9> kOneToNine;
constexpr ChunkTables<10> kZeroToNine;

// Writes the steps' digits at `out` (and up to three bytes after them),
// taking each step's value from the high half of the fraction times its
// multiplier and keeping the low half as the fraction for the next. Adds
// their Luhn sum to `sum` and returns the fraction left at the end.
template <unsigned Base, class Step>
std::uint64_t writeDigits(std::uint64_t fraction, const Step* step, const Step* end, char* out,
    unsigned& sum, const ChunkTables<Base>& tables) noexcept
{
    for (; step != end; ++step) {
        const WideProduct product = multiplyWide(fraction, step->multiplier);
        const auto value = unsigned(product.high);
        fraction = product.low;
        std::memcpy(out, &tables.chars[value * 4 + 3U - step->digits], 4);
        sum += tables.luhn[step->digits - 1U][step->parity][value];
        out += step->digits;
    }
    return fraction;
}

// The check digit for a Luhn sum of the other digits, for every sum a number
// of up to 19 digits can reach.
constexpr std::array<char, 9 * 19 + 1> kCheckDigit = [] {
    std::array<char, 9 * 19 + 1> table {};
    for (std::size_t sum = 0; sum < table.size(); ++sum)
        table[sum] = char('0' + (10 - sum % 10) % 10);
    return table;
}();

} // namespace

NumberPattern::NumberPattern(std::vector<Prefix> prefixes, std::vector<SpanStart> spans,
    std::uint64_t prefixCount, int prefixLength, int length, bool zeroDigits, bool wrongCheck)
    : m_prefixes(std::move(prefixes))
    , m_spans(std::move(spans))
    , m_prefixCount(prefixCount)
    , m_prefixLength(prefixLength)
    , m_bodyDigits(length - prefixLength - 1)
    , m_length(length)
    , m_zeroDigits(zeroDigits)
    , m_wrongCheck(wrongCheck)
    // The prefix's last digit sits m_bodyDigits places before the check
    // digit's neighbour, its fourth-last three places further.
    , m_lowParity(std::uint8_t(m_bodyDigits % 2))
    , m_highParity(std::uint8_t((m_bodyDigits + 3) % 2))
{
    m_bodyCount = power(zeroDigits ? 10 : 9, m_bodyDigits);
    // A wrong check digit is one more value of the draw: which of the nine.
    m_keys = BoundedDraw(m_prefixCount * m_bodyCount * (wrongCheck ? 9 : 1));

    // The digits after the prefix in steps of three, a shorter one first.
    const int steps = (m_bodyDigits + 2) / 3;
    for (int i = 0, at = 0; i < steps; ++i) {
        const int digits = i == 0 ? m_bodyDigits - 3 * (steps - 1) : 3;
        const int lastPlace = m_bodyDigits - at - digits; // from the check digit, 0 = next to it
        m_steps[std::size_t(i)] = { std::uint32_t(power(zeroDigits ? 10 : 9, digits)),
            std::uint8_t(digits), std::uint8_t(lastPlace % 2) };
        at += digits;
    }
    m_stepCount = steps;

    for (Prefix& prefix : m_prefixes) {
        int sum = 0;
        for (int i = 0; i < prefixLength; ++i)
            sum += luhnValue(prefix.text[std::size_t(i)] - '0', (length - i) % 2 == 0);
        prefix.luhnSum = std::uint8_t(sum % 10);
    }

    if (zeroDigits) {
        m_numberCount = m_keys.count();
        return;
    }
    // How many bodies have each Luhn sum mod 10; a prefix keeps those whose
    // check digit is not 0.
    std::array<std::uint64_t, 10> bodies {};
    bodies[0] = 1;
    for (int j = 0; j < m_bodyDigits; ++j) {
        std::array<std::uint64_t, 10> next {};
        for (int s = 0; s < 10; ++s)
            for (int digit = 1; digit <= 9; ++digit)
                next[std::size_t((s + luhnValue(digit, j % 2 == 0)) % 10)]
                    += bodies[std::size_t(s)];
        bodies = next;
    }
    for (const Prefix& prefix : m_prefixes)
        for (int s = 0; s < 10; ++s)
            if ((prefix.luhnSum + s) % 10 != 0)
                m_numberCount += bodies[std::size_t(s)];
}

NumberPattern NumberPattern::forBrand(const Brand& brand)
{
    std::vector<Prefix> prefixes(brand.prefixes.size());
    for (std::size_t i = 0; i < prefixes.size(); ++i)
        std::memcpy(prefixes[i].text.data(), brand.prefixes[i].data(), brand.prefixes[i].size());
    const int prefixLength = brand.prefixes.empty() ? 0 : int(brand.prefixes[0].size());
    const std::uint64_t count = prefixes.size();
    return NumberPattern(std::move(prefixes), {}, count, prefixLength, brand.length, false, false);
}

NumberPattern NumberPattern::custom(std::string_view prefix, int length, bool wrongCheck)
{
    std::vector<Prefix> prefixes(1);
    std::memcpy(prefixes[0].text.data(), prefix.data(), prefix.size());
    return NumberPattern(std::move(prefixes), {}, 1, int(prefix.size()), length, true, wrongCheck);
}

NumberPattern NumberPattern::forSpans(
    std::span<const PrefixSpan> spans, int width, int length, bool wrongCheck)
{
    std::uint64_t count = 0;
    for (const PrefixSpan& span : spans)
        count += span.count;
    // A few thousand prefixes are written out, as a brand's are: a table
    // that stays in the cache is quicker than finding a prefix's span.
    if (count <= kWrittenOutPrefixes) {
        std::vector<Prefix> prefixes;
        prefixes.reserve(count);
        for (const PrefixSpan& span : spans) {
            for (std::uint32_t value = span.first; value < span.first + span.count; ++value) {
                Prefix& prefix = prefixes.emplace_back();
                auto rest = value;
                for (int i = width - 1; i >= 0; --i, rest /= 10)
                    prefix.text[std::size_t(i)] = char('0' + rest % 10);
            }
        }
        return NumberPattern(std::move(prefixes), {}, count, width, length, true, wrongCheck);
    }
    std::vector<SpanStart> starts;
    std::uint64_t start = 0;
    for (const PrefixSpan& span : spans) {
        if (span.count == 0)
            continue;
        starts.push_back({ start, span.first });
        start += span.count;
    }
    return NumberPattern({}, std::move(starts), count, width, length, true, wrongCheck);
}

unsigned NumberPattern::writeSpanPrefix(std::uint64_t index, char* out) const noexcept
{
    // The last span starting at or before the index.
    const auto after = std::upper_bound(m_spans.begin(), m_spans.end(), index,
        [](std::uint64_t i, const SpanStart& span) { return i < span.index; });
    const SpanStart& span = *(after - 1);
    const auto value = unsigned(span.first + (index - span.index));
    // More prefixes than are written out need four digits or more.
    const auto& tables = kZeroToNine;
    const auto highDigits = unsigned(m_prefixLength - 3);
    const unsigned high = value / 1000;
    const unsigned low = value % 1000;
    std::memcpy(out, &tables.chars[std::size_t { high } * 4 + 3 - highDigits], 4);
    std::memcpy(out + highDigits, &tables.chars[std::size_t { low } * 4], 4);
    return unsigned(tables.luhn[highDigits - 1][m_highParity][high])
        + tables.luhn[2][m_lowParity][low];
}

std::uint64_t NumberPattern::write(std::uint64_t draw, char* out) const noexcept
{
    const WideProduct byPrefix = multiplyWide(draw, m_prefixCount);
    unsigned sum = 0;
    if (m_spans.empty()) {
        const Prefix& prefix = m_prefixes[std::size_t(byPrefix.high)];
        std::memcpy(out, prefix.text.data(), kCardNumberRoom);
        sum = prefix.luhnSum;
    } else {
        sum = writeSpanPrefix(byPrefix.high, out);
    }
    const Step* first = m_steps.data();
    const Step* last = first + m_stepCount;
    char* digits = out + m_prefixLength;
    std::uint64_t rest = m_zeroDigits
        ? writeDigits(byPrefix.low, first, last, digits, sum, kZeroToNine)
        : writeDigits(byPrefix.low, first, last, digits, sum, kOneToNine);
    unsigned wrong = 0;
    if (m_wrongCheck) {
        const WideProduct byWrong = multiplyWide(rest, 9);
        wrong = 1 + unsigned(byWrong.high);
        rest = byWrong.low;
    }
    // What is left of the draw is the low half of N × r.
    if (m_keys.refuses(rest)) [[unlikely]]
        return kNone;
    char check = kCheckDigit[sum];
    if (check == '0' && !m_zeroDigits)
        return kNone;
    if (wrong != 0)
        check = char('0' + (unsigned(check - '0') + wrong) % 10);
    out[m_length - 1] = check;
    // The prefix index and the digits read as one number.
    return key(draw);
}

} // namespace pellorin
