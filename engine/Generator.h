#pragma once

#include "NumberKind.h"
#include "RecordFormat.h"
#include "Requests.h"
#include "TableText.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace pellorin {
class ByteBuffer;
}

namespace pellorin::engine {

class Sink;
class UniqueKeys;

// What a face asks of an output beyond the request: the rows it leaves out
// (a page's unticked rows) and how the table format is laid out.
struct GeneratorOptions {
    // Whether row `row` (counted from 0 over the whole output) is written;
    // none writes every row. Rows left out are still made, so the rows kept
    // are the same numbers, and the output around them stays well-formed.
    std::function<bool(std::uint64_t row)> keep;
    // The table format as the window's text file or as its clipboard copy.
    TableLayout tableLayout = TableLayout::File;
};

// Makes a request's output in blocks of kBlockNumbers numbers. The blocks
// one after the other are the whole output, the same bytes however they are
// made: block b depends only on the request (its --seed included), `now`
// and b.
class Generator {
public:
    // `now` is the month expiry dates count from. Throws std::bad_alloc when
    // --unique's keys do not fit in memory.
    Generator(const GenerateRequest& request, std::uint64_t seed, MonthIndex now,
        GeneratorOptions options = {});
    ~Generator();
    Generator(const Generator&) = delete;
    Generator& operator=(const Generator&) = delete;

    // At least one: the output of a count of 0 is one block too.
    std::uint64_t blockCount() const noexcept;

    // True for unique numbers, whose blocks must be made one after the
    // other, 0 first. Otherwise makeBlock may run for distinct blocks on
    // several threads at once.
    bool sequential() const noexcept { return m_unique != nullptr; }

    // Block `block`'s bytes, in place of what `out` held.
    void makeBlock(std::uint64_t block, ByteBuffer& out) const;

private:
    class Blocks;
    std::unique_ptr<Blocks> m_blocks;
    std::unique_ptr<UniqueKeys> m_unique;
};

// Between blocks: told how many blocks of how many are written, returns
// false to stop there.
using BetweenBlocks = std::function<bool(std::uint64_t written, std::uint64_t blocks)>;

// Writes the whole output into `sink` on the calling thread, one write per
// block, calling `between` (when given) after each. Returns false when the
// sink's reader went away or `between` stopped it before the end. Throws
// what the sink throws, and std::bad_alloc.
bool generateInto(const GenerateRequest& request, std::uint64_t seed, MonthIndex now, Sink& sink,
    const BetweenBlocks& between = {}, GeneratorOptions options = {});

} // namespace pellorin::engine
