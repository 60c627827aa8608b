#include "results/CompactRows.h"

#include <algorithm>
#include <stdexcept>

namespace pellorin {

void CompactRows::validate(std::string_view digits)
{
    if (digits.empty() || digits.size() > kMaxDigits)
        throw std::invalid_argument("A result row holds 1 to 16 digits");
    for (char c : digits) {
        if (c < '0' || c > '9')
            throw std::invalid_argument("A result row holds only digits");
    }
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
    validate(digits);
    std::uint64_t value = 0;
    for (char c : digits)
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    reserve(m_size + 1);
    at(m_size) = value | (std::uint64_t{digits.size()} << kLengthShift) | (ticked ? kTickedBit : 0);
    ++m_size;
}

void CompactRows::setTicked(std::size_t row, bool ticked) noexcept
{
    if (ticked)
        at(row) |= kTickedBit;
    else
        at(row) &= ~kTickedBit;
}

std::size_t CompactRows::text(std::size_t row, char* out) const noexcept
{
    const std::uint64_t packed = at(row);
    std::uint64_t value = packed & kValueMask;
    const std::size_t len = (packed >> kLengthShift) & 0x1f;
    for (std::size_t i = len; i-- > 0;) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return len;
}

std::string CompactRows::textString(std::size_t row) const
{
    std::array<char, kMaxDigits> buffer{};
    return std::string(buffer.data(), text(row, buffer.data()));
}

void CompactRows::clear() noexcept
{
    m_blocks.clear();
    m_blocks.shrink_to_fit();
    m_size = 0;
}

} // namespace pellorin
