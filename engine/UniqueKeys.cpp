#include "UniqueKeys.h"

#include <algorithm>
#include <bit>
#include <new>

namespace pellorin::engine {

namespace {

// Slots for one and a half times the keys, rounded up to a power of two.
std::uint64_t slotsFor(std::uint64_t count) noexcept
{
    return std::bit_ceil(count + count / 2 + 1);
}

std::uint64_t wordsFor(std::uint64_t keyCount, std::uint64_t count) noexcept
{
    return std::min(keyCount / 64 + 1, slotsFor(count));
}

} // namespace

std::uint64_t UniqueKeys::bytesFor(std::uint64_t keyCount, std::uint64_t count) noexcept
{
    return wordsFor(keyCount, count) * sizeof(std::uint64_t);
}

UniqueKeys::UniqueKeys(std::uint64_t keyCount, std::uint64_t count)
{
    const std::uint64_t slots = slotsFor(count);
    m_bitmap = keyCount / 64 + 1 <= slots;
    const std::uint64_t words = wordsFor(keyCount, count);
    m_mask = slots - 1;
    if (words > (std::uint64_t { 1 } << 60))
        throw std::bad_alloc();
    m_slots.reset(static_cast<std::uint64_t*>(std::calloc(words, sizeof(std::uint64_t))));
    if (!m_slots)
        throw std::bad_alloc();
}

} // namespace pellorin::engine
