#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace pellorin {

// Result rows packed into 8 bytes each: the digits as a number (up to 16
// digits fit in 54 bits), the text's length (so leading zeros survive) and the
// check state. Rows live in fixed-size blocks, so growth never copies the rows
// already there and never needs twice the memory for a moment.
class CompactRows {
public:
    static constexpr std::size_t kMaxDigits = 16;

    std::size_t size() const noexcept { return m_size; }
    bool empty() const noexcept { return m_size == 0; }

    // The packed row of 1 to 16 decimal digits, unticked. Throws
    // std::invalid_argument for other text.
    static std::uint64_t pack(std::string_view digits);
    static std::uint64_t packTicked(std::string_view digits, bool ticked)
    {
        return pack(digits) | (ticked ? kTickedBit : 0);
    }

    // Makes room for `rows` rows in all. Throws std::bad_alloc when memory
    // runs out; appends up to that count then need no memory.
    void reserve(std::size_t rows);

    // Appends a row of 1 to 16 decimal digits. Throws std::invalid_argument
    // for other text and std::bad_alloc when memory runs out.
    void append(std::string_view digits, bool ticked);

    // Rows can be written past the end first and counted later, so a batch
    // lands in its final place at once and only its count changes when it
    // is made visible. stage() writes a packed row `offset` places past the
    // end, making room as needed (std::bad_alloc when memory runs out; rows
    // staged before stay); commit() counts the first `count` staged rows.
    void stage(std::size_t offset, std::uint64_t packed)
    {
        const std::size_t row = m_size + offset;
        if ((row >> kBlockShift) >= m_blocks.size())
            reserve(row + 1);
        at(row) = packed;
    }
    void commit(std::size_t count) noexcept;

    bool ticked(std::size_t row) const noexcept { return (at(row) & kTickedBit) != 0; }
    void setTicked(std::size_t row, bool ticked) noexcept;

    // Writes the row's digits to `out` and returns how many were written.
    std::size_t text(std::size_t row, char* out) const noexcept;
    std::string textString(std::size_t row) const;
    std::size_t length(std::size_t row) const noexcept { return (at(row) >> kLengthShift) & 0x1f; }

    // Kept as rows come and go, so an export can size its text without
    // reading every row: the longest text of all rows, and the number and
    // total length of the ticked ones.
    std::size_t widest() const noexcept { return m_widest; }
    std::size_t tickedCount() const noexcept { return m_tickedCount; }
    std::uint64_t tickedLength() const noexcept { return m_tickedLength; }

    // The tick of each row in [first, first + count), all of which exist.
    void ticks(std::size_t first, std::size_t count, bool* ticked) const noexcept;
    // The text of each ticked row in [first, first + count), all of which
    // exist: row first + i to `out + i * stride`, at least widest() bytes
    // apart, and its length to lengths[i]. Unticked rows are skipped.
    void tickedTexts(std::size_t first, std::size_t count, const bool* ticked, char* out,
        std::size_t stride, std::size_t* lengths) const noexcept;

    void clear() noexcept;

private:
    // Writes a packed row's digits to `out` and returns how many were written.
    static std::size_t decode(std::uint64_t packed, char* out) noexcept;
    // Calls visit(packed) with each packed row of [first, first + count) in
    // turn, a block at a time rather than a look-up per row.
    template <class Visit>
    void forEachPacked(std::size_t first, std::size_t count, Visit visit) const noexcept;

    static constexpr std::size_t kBlockShift = 16;
    static constexpr std::size_t kBlockSize = std::size_t { 1 } << kBlockShift;
    static constexpr int kLengthShift = 56;
    static constexpr std::uint64_t kTickedBit = std::uint64_t { 1 } << 63;
    static constexpr std::uint64_t kValueMask = (std::uint64_t { 1 } << kLengthShift) - 1;

    std::uint64_t at(std::size_t row) const noexcept
    {
        return m_blocks[row >> kBlockShift][row & (kBlockSize - 1)];
    }
    std::uint64_t& at(std::size_t row) noexcept
    {
        return m_blocks[row >> kBlockShift][row & (kBlockSize - 1)];
    }

    std::vector<std::unique_ptr<std::uint64_t[]>> m_blocks;
    std::size_t m_size = 0;
    std::size_t m_widest = 0;
    std::size_t m_tickedCount = 0;
    std::uint64_t m_tickedLength = 0;
};

} // namespace pellorin
