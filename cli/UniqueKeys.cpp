#include "cli/UniqueKeys.h"

#include "generate/RandomSource.h"

namespace pellorin::cli {

namespace {

constexpr std::uint64_t kFirstSlots = std::uint64_t { 1 } << 16;

} // namespace

UniqueKeys::UniqueKeys(std::uint64_t keyCount, std::uint64_t count)
{
    // The table needs at least 12 bytes per key once full.
    m_bitmap = keyCount / 8 <= count / 2 * 3 * 8 || keyCount <= kFirstSlots * 64;
    if (m_bitmap)
        m_slots.assign(keyCount / 64 + 1, 0);
    else
        m_slots.assign(kFirstSlots, 0);
}

bool UniqueKeys::insert(std::uint64_t key)
{
    if (m_bitmap) {
        std::uint64_t& word = m_slots[key / 64];
        const std::uint64_t bit = std::uint64_t { 1 } << (key % 64);
        const bool fresh = (word & bit) == 0;
        word |= bit;
        return fresh;
    }
    if ((m_used + 1) * 3 > m_slots.size() * 2)
        grow();
    const std::uint64_t mask = m_slots.size() - 1;
    for (std::uint64_t i = mix64(key) & mask;; i = (i + 1) & mask) {
        if (m_slots[i] == key + 1)
            return false;
        if (m_slots[i] == 0) {
            m_slots[i] = key + 1;
            ++m_used;
            return true;
        }
    }
}

void UniqueKeys::grow()
{
    std::vector<std::uint64_t> old(m_slots.size() * 2, 0);
    old.swap(m_slots);
    const std::uint64_t mask = m_slots.size() - 1;
    for (std::uint64_t slot : old) {
        if (slot == 0)
            continue;
        std::uint64_t i = mix64(slot - 1) & mask;
        while (m_slots[i] != 0)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

} // namespace pellorin::cli
