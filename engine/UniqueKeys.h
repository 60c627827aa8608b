#pragma once

#include "RandomSource.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace pellorin::engine {

// The keys of the numbers written so far, for --unique. One bit per
// possible key when that is less memory than the table would take;
// otherwise an open-addressing table of 8-byte slots sized once for `count`
// keys, at most two thirds full: 12 to 24 bytes per key asked for.
class UniqueKeys {
public:
    // Throws std::bad_alloc when the memory is not there.
    UniqueKeys(std::uint64_t keyCount, std::uint64_t count);

    // The bytes the keys of `count` numbers out of `keyCount` take.
    static std::uint64_t bytesFor(std::uint64_t keyCount, std::uint64_t count) noexcept;

    // True when `key` was not there before. At most `count` keys go in.
    bool insert(std::uint64_t key) noexcept
    {
        if (m_bitmap) {
            std::uint64_t& word = m_slots[key / 64];
            const std::uint64_t bit = std::uint64_t { 1 } << (key % 64);
            const bool fresh = (word & bit) == 0;
            word |= bit;
            return fresh;
        }
        for (std::uint64_t i = slotOf(key);; i = (i + 1) & m_mask) {
            if (m_slots[i] == key + 1)
                return false;
            if (m_slots[i] == 0) {
                m_slots[i] = key + 1;
                return true;
            }
        }
    }

    // Starts loading the memory insert(key) will look at.
    void prefetch(std::uint64_t key) const noexcept
    {
        __builtin_prefetch(&m_slots[m_bitmap ? key / 64 : slotOf(key)], 1);
    }

private:
    std::uint64_t slotOf(std::uint64_t key) const noexcept { return mix64(key) & m_mask; }

    struct Free {
        void operator()(std::uint64_t* p) const noexcept { std::free(p); }
    };
    bool m_bitmap = false;
    std::uint64_t m_mask = 0;
    // Bits, or key + 1 with 0 for an empty slot. Zeroed by the system as
    // pages are first touched, so a large table costs only what is used.
    std::unique_ptr<std::uint64_t[], Free> m_slots;
};

} // namespace pellorin::engine
