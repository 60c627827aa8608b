#include "CompactRows.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace pellorin {

namespace {

[[noreturn]] void throwNotDigits()
{
    throw std::invalid_argument("A result row holds 1 to 16 decimal digits");
}

std::uint64_t load8(const char* from) noexcept
{
    std::uint64_t word = 0;
    std::memcpy(&word, from, 8);
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap64(word);
    return word;
}

// The value of eight ASCII digits, the first in the lowest byte, or
// kNotDigits when a byte is not a digit. A row costs less to store this way,
// eight places at once, than the generator takes to make it.
constexpr std::uint64_t kNotDigits = ~std::uint64_t { 0 };

std::uint64_t eightDigitsValue(std::uint64_t chars) noexcept
{
    constexpr std::uint64_t kZeros = 0x3030303030303030ULL;
    constexpr std::uint64_t kHighNibbles = 0xf0f0f0f0f0f0f0f0ULL;
    // A digit is 0x30 to 0x39: its high nibble is 3, and adding 6 does not
    // carry into it.
    if ((chars & kHighNibbles) != kZeros
        || ((chars + 0x0606060606060606ULL) & kHighNibbles) != kZeros)
        return kNotDigits;
    std::uint64_t v = chars & 0x0f0f0f0f0f0f0f0fULL;
    v = (v * 10 + (v >> 8)) & 0x00ff00ff00ff00ffULL; // pairs
    v = (v * 100 + (v >> 16)) & 0x0000ffff0000ffffULL; // fours
    return (v * 10000 + (v >> 32)) & 0xffffffffULL;
}

} // namespace

std::uint64_t CompactRows::pack(std::string_view digits)
{
    const std::size_t len = digits.size();
    std::uint64_t value = 0;
    if (len >= 8 && len <= kMaxDigits) {
        // The last eight digits, and the ones before them with '0' put in
        // front to make eight.
        const std::uint64_t low = eightDigitsValue(load8(digits.data() + len - 8));
        std::uint64_t high = 0;
        if (len > 8) {
            const std::size_t missing = 8 * (kMaxDigits - len);
            const std::uint64_t fill = missing == 0 ? 0 : 0x3030303030303030ULL >> (64 - missing);
            high = eightDigitsValue((load8(digits.data()) << missing) | fill);
        }
        if (low == kNotDigits || high == kNotDigits)
            throwNotDigits();
        value = high * 100000000 + low;
    } else {
        if (len == 0 || len > kMaxDigits)
            throwNotDigits();
        for (char c : digits) {
            if (c < '0' || c > '9')
                throwNotDigits();
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
        }
    }
    return value | (std::uint64_t { len } << kLengthShift);
}

void CompactRows::reserve(std::size_t rows)
{
    const std::size_t blocks = (rows + kBlockSize - 1) >> kBlockShift;
    if (blocks <= m_blocks.size())
        return;
    m_blocks.reserve(std::max(blocks, m_blocks.size() * 2));
    while (m_blocks.size() < blocks)
        m_blocks.push_back(std::make_unique_for_overwrite<std::uint64_t[]>(kBlockSize));
}

void CompactRows::append(std::string_view digits, bool ticked)
{
    stage(0, packTicked(digits, ticked));
    commit(1);
}

template <class Visit>
void CompactRows::forEachPacked(std::size_t first, std::size_t count, Visit visit) const noexcept
{
    for (std::size_t row = first, end = first + count; row < end;) {
        const std::uint64_t* block = m_blocks[row >> kBlockShift].get();
        const std::size_t from = row & (kBlockSize - 1);
        const std::size_t to = std::min(kBlockSize, from + (end - row));
        for (std::size_t i = from; i < to; ++i)
            visit(block[i]);
        row += to - from;
    }
}

void CompactRows::commit(std::size_t count) noexcept
{
    // The rows are counted while they are still in the cache from being staged.
    std::size_t widest = m_widest;
    std::size_t tickedCount = 0;
    std::uint64_t tickedLength = 0;
    forEachPacked(m_size, count, [&](std::uint64_t packed) {
        const std::size_t len = (packed >> kLengthShift) & 0x1f;
        const std::size_t ticked = packed >> 63;
        widest = std::max(widest, len);
        tickedCount += ticked;
        tickedLength += ticked * len;
    });
    m_widest = widest;
    m_tickedCount += tickedCount;
    m_tickedLength += tickedLength;
    m_size += count;
}

void CompactRows::setTicked(std::size_t row, bool ticked) noexcept
{
    if (this->ticked(row) == ticked)
        return;
    if (ticked) {
        at(row) |= kTickedBit;
        ++m_tickedCount;
        m_tickedLength += length(row);
    } else {
        at(row) &= ~kTickedBit;
        --m_tickedCount;
        m_tickedLength -= length(row);
    }
}

void CompactRows::ticks(std::size_t first, std::size_t count, bool* ticked) const noexcept
{
    forEachPacked(
        first, count, [&](std::uint64_t packed) { *ticked++ = (packed & kTickedBit) != 0; });
}

namespace {

// The four decimal digits of every number below 10^4 as ASCII, first digit
// in the lowest byte (40 KB). The exports decode every row, and sixteen
// dependent divisions by 10 cost more than the rest of the export; two
// divisions and four look-ups take about a third of the time (and less than
// splitting all digits in the lanes of one word, which multiplies more).
struct FourDigits {
    std::array<std::uint32_t, 10000> ascii {};
    constexpr FourDigits()
    {
        for (std::uint32_t i = 0; i < 10000; ++i) {
            ascii[i] = (('0' + i / 1000) | ('0' + i / 100 % 10) << 8 | ('0' + i / 10 % 10) << 16
                | ('0' + i % 10) << 24);
        }
    }
};
constexpr FourDigits kFourDigits;

// The eight decimal digits of `value` (below 10^8), first digit in the lowest byte.
std::uint64_t eightDigits(std::uint32_t value) noexcept
{
    return kFourDigits.ascii[value / 10000]
        | (std::uint64_t { kFourDigits.ascii[value % 10000] } << 32);
}

} // namespace

inline std::size_t CompactRows::decode(std::uint64_t packed, char* out) noexcept
{
    const std::uint64_t value = packed & kValueMask;
    const std::size_t len = (packed >> kLengthShift) & 0x1f;
    std::uint64_t first = eightDigits(static_cast<std::uint32_t>(value / 100000000));
    std::uint64_t second = eightDigits(static_cast<std::uint32_t>(value % 100000000));
    if constexpr (std::endian::native == std::endian::little) {
        // Straight from the registers: the last `len` of the sixteen places,
        // leading zeros included. The first word, shifted past the places
        // not wanted, is stored before the second overwrites its tail.
        if (len > 8) {
            first >>= 8 * (kMaxDigits - len);
            std::memcpy(out, &first, 8);
            std::memcpy(out + len - 8, &second, 8);
            return len;
        }
        second >>= 8 * (8 - len);
        for (std::size_t i = 0; i < len; ++i, second >>= 8)
            out[i] = static_cast<char>(second & 0xff);
        return len;
    } else {
        std::array<char, kMaxDigits> digits;
        first = __builtin_bswap64(first);
        second = __builtin_bswap64(second);
        std::memcpy(digits.data(), &first, 8);
        std::memcpy(digits.data() + 8, &second, 8);
        std::memcpy(out, digits.data() + kMaxDigits - len, len);
        return len;
    }
}

std::size_t CompactRows::text(std::size_t row, char* out) const noexcept
{
    return decode(at(row), out);
}

void CompactRows::tickedTexts(std::size_t first, std::size_t count, const bool* ticked, char* out,
    std::size_t stride, std::size_t* lengths) const noexcept
{
    forEachPacked(first, count, [&](std::uint64_t packed) {
        if (*ticked++)
            *lengths = decode(packed, out);
        out += stride;
        ++lengths;
    });
}

std::string CompactRows::textString(std::size_t row) const
{
    std::array<char, kMaxDigits> buffer {};
    return { buffer.data(), text(row, buffer.data()) };
}

void CompactRows::clear() noexcept
{
    m_blocks.clear();
    m_blocks.shrink_to_fit();
    m_size = 0;
    m_widest = 0;
    m_tickedCount = 0;
    m_tickedLength = 0;
}

} // namespace pellorin
