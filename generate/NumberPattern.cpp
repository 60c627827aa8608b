#include "generate/NumberPattern.h"

#include <array>
#include <cstring>

namespace pellorin {

namespace {

__extension__ using Wide = unsigned __int128;

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

constexpr ChunkTables<9> kOneToNine;
constexpr ChunkTables<10> kZeroToNine;

// Writes the k digits of `body` in base `Base` at `out` (and up to three
// bytes after them) and returns their Luhn sum, the last of them sitting
// just before the check digit.
template <unsigned Base>
unsigned writeBody(std::uint64_t body, char* out, int k, const ChunkTables<Base>& tables) noexcept
{
    constexpr std::uint64_t chunk = ChunkTables<Base>::kChunk;
    if (k <= 0)
        return 0;
    const int chunks = (k + 2) / 3;
    const int top = k - 3 * (chunks - 1);
    std::array<unsigned, 6> values {}; // k <= 17
    for (int c = 0; c < chunks - 1; ++c) {
        values[std::size_t(c)] = unsigned(body % chunk);
        body /= chunk;
    }
    values[std::size_t(chunks - 1)] = unsigned(body);

    const int last = chunks - 1;
    unsigned sum
        = tables.luhn[std::size_t(top - 1)][std::size_t(last % 2)][values[std::size_t(last)]];
    std::memcpy(out, &tables.chars[values[std::size_t(last)] * 4 + unsigned(3 - top)], 4);
    out += top;
    for (int c = last - 1; c >= 0; --c) {
        const unsigned v = values[std::size_t(c)];
        sum += tables.luhn[2][std::size_t(c % 2)][v];
        std::memcpy(out, &tables.chars[v * 4], 4);
        out += 3;
    }
    return sum;
}

std::uint64_t power(std::uint64_t base, int exponent) noexcept
{
    std::uint64_t result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= base;
    return result;
}

} // namespace

NumberPattern::NumberPattern(
    std::vector<Prefix> prefixes, int prefixLength, int length, bool zeroDigits)
    : m_prefixes(std::move(prefixes))
    , m_prefixLength(prefixLength)
    , m_bodyDigits(length - prefixLength - 1)
    , m_length(length)
    , m_zeroDigits(zeroDigits)
{
    m_prefixCount = m_prefixes.size();
    m_bodyCount = power(zeroDigits ? 10 : 9, m_bodyDigits);
    const std::uint64_t keys = keyCount();
    // Lemire's bound: refusing draws whose low product bits fall below
    // 2^64 mod N leaves every value of floor(N × r) equally likely.
    m_refuseBelow = (std::uint64_t { 0 } - keys) % keys;

    for (Prefix& prefix : m_prefixes) {
        int sum = 0;
        for (int i = 0; i < prefixLength; ++i)
            sum += luhnValue(prefix.text[std::size_t(i)] - '0', (length - i) % 2 == 0);
        prefix.luhnSum = std::uint8_t(sum % 10);
    }

    if (zeroDigits) {
        m_numberCount = keys;
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
    return NumberPattern(std::move(prefixes), prefixLength, brand.length, false);
}

NumberPattern NumberPattern::custom(std::string_view prefix, int length)
{
    std::vector<Prefix> prefixes(1);
    std::memcpy(prefixes[0].text.data(), prefix.data(), prefix.size());
    return NumberPattern(std::move(prefixes), int(prefix.size()), length, true);
}

std::uint64_t NumberPattern::write(std::uint64_t draw, char* out) const noexcept
{
    const Wide byPrefix = Wide { draw } * m_prefixCount;
    const auto index = std::uint64_t(byPrefix >> 64);
    const Wide byBody = Wide { std::uint64_t(byPrefix) } * m_bodyCount;
    const auto body = std::uint64_t(byBody >> 64);
    if (std::uint64_t(byBody) < m_refuseBelow) [[unlikely]]
        return kNone;

    const Prefix& prefix = m_prefixes[index];
    std::memcpy(out, prefix.text.data(), kCardNumberRoom);
    char* digits = out + m_prefixLength;
    const unsigned sum = prefix.luhnSum
        + (m_zeroDigits ? writeBody(body, digits, m_bodyDigits, kZeroToNine)
                        : writeBody(body, digits, m_bodyDigits, kOneToNine));
    const unsigned check = (10 - sum % 10) % 10;
    if (check == 0 && !m_zeroDigits)
        return kNone;
    out[m_length - 1] = char('0' + check);
    return index * m_bodyCount + body;
}

} // namespace pellorin
