#include "UniqueKeys.h"

#include <bit>
#include <new>

namespace pellorin::cli {

UniqueKeys::UniqueKeys(std::uint64_t keyCount, std::uint64_t count)
{
    // Slots for one and a half times the keys, rounded up to a power of two.
    const std::uint64_t slots = std::bit_ceil(count + count / 2 + 1);
    m_bitmap = keyCount / 64 + 1 <= slots;
    const std::uint64_t words = m_bitmap ? keyCount / 64 + 1 : slots;
    m_mask = slots - 1;
    if (words > (std::uint64_t { 1 } << 60))
        throw std::bad_alloc();
    m_slots.reset(static_cast<std::uint64_t*>(std::calloc(words, sizeof(std::uint64_t))));
    if (!m_slots)
        throw std::bad_alloc();
}

} // namespace pellorin::cli
