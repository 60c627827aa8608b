#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace pellorin {

// What reading every row of a column would find: its longest cell, and
// over the ticked rows their number and their cells' length in all.
struct ColumnTotals {
    std::size_t widest = 0;
    std::uint64_t tickedRows = 0;
    std::uint64_t tickedLength = 0;
};

// A list as the table text renderer reads it: captioned columns and rows of
// 8-bit text cells, each row ticked or not. Lengths count characters, one
// byte each.
class RowSource {
public:
    virtual ~RowSource() = default;

    virtual std::size_t columnCount() const = 0;
    virtual std::string_view caption(std::size_t column) const = 0;

    // The rows there are now. Other work run by the yielder may change it;
    // a source that can no longer vouch for its rows reports fewer.
    virtual std::size_t rowCount() const = 0;
    virtual bool isTicked(std::size_t row) const = 0;
    virtual std::size_t cellLength(std::size_t row, std::size_t column) const = 0;

    // The cell's text. It may live in `scratch` and holds until the next call.
    virtual std::string_view cell(
        std::size_t row, std::size_t column, std::string& scratch) const = 0;

    // Reads of many rows at once, [first, first + count), all of which exist:
    // long lists spend more on a call per row than on the row itself. The
    // defaults ask row by row; a source that can do better overrides them.
    virtual void ticks(std::size_t first, std::size_t count, bool* ticked) const
    {
        for (std::size_t i = 0; i < count; ++i)
            ticked[i] = isTicked(first + i);
    }
    virtual void cellLengths(
        std::size_t first, std::size_t count, std::size_t column, std::size_t* lengths) const
    {
        for (std::size_t i = 0; i < count; ++i)
            lengths[i] = cellLength(first + i, column);
    }

    // The column's totals over the rows there are now, for a source that
    // keeps them as its rows change; false for one that would have to read
    // every row, as the renderer does then.
    virtual bool columnTotals(std::size_t /*column*/, ColumnTotals& /*totals*/) const
    {
        return false;
    }

    // For a source that keeps column totals: the cells of `column` in the
    // ticked rows of [first, first + count), all of which exist, cell i to
    // `out + i * stride` and its length to lengths[i]; the slots of unticked
    // rows are left as they are. `stride` is at least the column's widest cell.
    virtual void tickedCells(std::size_t first, std::size_t count, std::size_t column,
        const bool* ticked, char* out, std::size_t stride, std::size_t* lengths) const
    {
        std::string scratch;
        for (std::size_t i = 0; i < count; ++i) {
            if (!ticked[i])
                continue;
            const std::string_view text = cell(first + i, column, scratch);
            lengths[i] = text.size() < stride ? text.size() : stride;
            if (lengths[i] > 0)
                std::memcpy(out + i * stride, text.data(), lengths[i]);
        }
    }
};

} // namespace pellorin
