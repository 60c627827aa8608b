#pragma once

#include <cstdint>
#include <vector>

namespace pellorin::cli {

// The keys of the numbers written so far, for --unique. One bit per
// possible key when that is less memory than the hash table would take for
// `count` keys; otherwise an open-addressing table of 8-byte slots kept at
// most two thirds full, doubling as it fills: 12 to 24 bytes per key, 36
// for a moment while it doubles.
class UniqueKeys {
public:
    UniqueKeys(std::uint64_t keyCount, std::uint64_t count);

    // True when `key` was not there before. Throws std::bad_alloc.
    bool insert(std::uint64_t key);

    std::uint64_t bytes() const noexcept { return m_slots.size() * sizeof(std::uint64_t); }

private:
    void grow();

    bool m_bitmap = false;
    std::vector<std::uint64_t> m_slots; // bits, or key + 1 with 0 for empty
    std::uint64_t m_used = 0;
};

} // namespace pellorin::cli
