#pragma once

#include "ByteBuffer.h"
#include "RowSource.h"
#include "Yielder.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pellorin {

// Why a table text could not be made: an overflowing width or a list that
// changed under the renderer. what() is meant for the user.
class TableTextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TableLayout {
    // No header; each line loses its last TAB and trailing spaces.
    Clipboard,
    // A header line of captions; every cell padded and followed by a TAB;
    // one more CR LF after the last line.
    File,
};

// The padded table text of the ticked rows: cells left-aligned and filled
// with spaces to their column's width, one TAB between cells, CR LF after
// every line. Widths come from every row, ticked or not.
//
// Two passes: measure() finds the widths, render() produces the text in
// blocks, so a file can be written without holding the whole text. Between
// the passes and during them the yielder may run other work; rows that go
// away make the export fail rather than read rows that are gone.
class TableText {
public:
    // The pieces of the file layout, for a table written in parts (each part
    // measured and rendered on its own, with the same widths): the header
    // line, the ticked rows, and the final line end.
    static constexpr unsigned kHeaderPart = 1;
    static constexpr unsigned kRowsPart = 2;
    static constexpr unsigned kEndingPart = 4;
    static constexpr unsigned kAllParts = kHeaderPart | kRowsPart | kEndingPart;

    // Widths are kept in 16 bits, as the clipboard and file formats always were.
    static constexpr std::size_t kMaxWidth = 32767;
    static constexpr std::size_t kDefaultBlockSize = std::size_t { 1 } << 17;

    TableText(const RowSource& rows, TableLayout layout, Yielder& yielder);

    // The width pass. The rows there are now are the ones exported: rows
    // appended later are left out. Throws TableTextError when a width would
    // exceed kMaxWidth or rows go away; a table needs at least one column.
    void measure();

    const std::vector<std::size_t>& widths() const { return m_widths; }
    std::size_t rowCount() const { return m_rowCount; }

    // The size of the text if the list stays as measured: exact for the file
    // layout; for the clipboard exact unless last cells end in spaces, and
    // never too small.
    std::uint64_t sizeHint() const { return m_sizeHint; }

    // The output pass, after measure(). Hands the text to `sink` in blocks of
    // whole lines, each about `blockSize` bytes (one long line may exceed it).
    // The sink may yield as well. Throws TableTextError when rows go away,
    // and whatever `sink` throws. `parts` leaves out pieces of the file
    // layout; the clipboard layout has rows only.
    void render(const std::function<void(std::string_view)>& sink,
        std::size_t blockSize = kDefaultBlockSize, unsigned parts = kAllParts);

    // The same, handing the sink the buffer that holds the block. The sink
    // may swap it for another buffer (of any capacity, its contents are
    // dropped), so the block can be written while the next one is made.
    void renderBuffers(const std::function<void(ByteBuffer&)>& sink,
        std::size_t blockSize = kDefaultBlockSize, unsigned parts = kAllParts);

private:
    class Pass;

    // Accounts for `cells` cells about to be read, and now and then lets the
    // yielder run; then checks that the rows are still there.
    void poll(std::size_t cells);
    void checkRowsStillThere() const;

    const RowSource& m_rows;
    TableLayout m_layout;
    Yielder& m_yielder;
    std::vector<std::size_t> m_widths;
    std::size_t m_rowCount = 0;
    std::uint64_t m_sizeHint = 0;
    std::size_t m_cellsSincePoll = 0;
    bool m_measured = false;
};

} // namespace pellorin
