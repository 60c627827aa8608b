#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pellorin {

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
};

} // namespace pellorin
