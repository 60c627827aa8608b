#include "TableText.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace pellorin {

namespace {

// Polling is cheap but not free: a clock read per cell would cost more than
// the cell itself.
constexpr std::size_t kCellsPerPoll = 4096;

// Cells read a run at a time are held this long at most; wider columns are
// read cell by cell.
constexpr std::size_t kMaxSlotBytes = std::size_t { 1 } << 20;

[[noreturn]] void throwOverflow(const char* what, std::size_t column)
{
    throw TableTextError("Overflow: " + std::string(what) + " of column "
        + std::to_string(column + 1) + " has more than " + std::to_string(TableText::kMaxWidth)
        + " characters");
}

// Copies that are mostly 8 to 16 bytes (card numbers) and fillers that are
// mostly 0 or 1 byte long: a call to memcpy or memset would cost more than
// the bytes.
inline void copyBytes(char* out, const char* from, std::size_t n)
{
    if (n >= 8 && n <= 16) {
        std::memcpy(out, from, 8);
        std::memcpy(out + n - 8, from + n - 8, 8);
    } else if (n > 0) { // an empty view may have no data pointer at all
        std::memcpy(out, from, n);
    }
}

inline char* putCell(char* out, std::string_view text, std::size_t width)
{
    copyBytes(out, text.data(), text.size());
    out += text.size();
    if (text.size() < width) {
        const std::size_t filler = width - text.size();
        if (filler <= 8) {
            for (std::size_t i = 0; i < filler; ++i)
                out[i] = ' ';
        } else {
            std::memset(out, ' ', filler);
        }
        out += filler;
    }
    *out++ = '\t';
    return out;
}

} // namespace

TableText::TableText(const RowSource& rows, TableLayout layout, Yielder& yielder)
    : m_rows(rows)
    , m_layout(layout)
    , m_yielder(yielder)
    , m_cellsSincePoll(kCellsPerPoll)
{
}

void TableText::poll(std::size_t cells)
{
    m_cellsSincePoll += cells;
    if (m_cellsSincePoll < kCellsPerPoll)
        return;
    m_cellsSincePoll = 0;
    m_yielder.poll();
    checkRowsStillThere();
}

void TableText::checkRowsStillThere() const
{
    if (m_rows.rowCount() < m_rowCount)
        throw TableTextError("The results list changed during the export: rows were removed");
}

void TableText::measure()
{
    const std::size_t columns = m_rows.columnCount();
    if (columns == 0)
        throw std::logic_error("TableText needs at least one column");
    m_rowCount = m_rows.rowCount();
    m_widths.assign(columns, 0);

    // Rows are read in runs of two polls' worth: a length and a tick each.
    const std::size_t run = std::min(kCellsPerPoll / 2, m_rowCount);
    std::vector<std::size_t> lengths(run);
    const auto ticks = std::make_unique<bool[]>(run);

    std::uint64_t ticked = 0;
    std::uint64_t lastCells = 0; // length of the last cell, summed over ticked rows
    for (std::size_t c = 0; c < columns; ++c) {
        std::size_t width = 0;
        if (m_layout == TableLayout::File) {
            width = m_rows.caption(c).size();
            if (width > kMaxWidth)
                throwOverflow("the caption", c);
        }
        const bool last = c + 1 == columns;
        ColumnTotals totals;
        if (m_rows.columnTotals(c, totals)) {
            if (totals.widest > kMaxWidth)
                throwOverflow("a cell", c);
            m_widths[c] = std::max(width, totals.widest);
            if (last) {
                ticked = totals.tickedRows;
                lastCells = totals.tickedLength;
            }
            continue;
        }
        for (std::size_t first = 0; first < m_rowCount; first += run) {
            const std::size_t count = std::min(run, m_rowCount - first);
            poll(count);
            m_rows.cellLengths(first, count, c, lengths.data());
            if (last)
                m_rows.ticks(first, count, ticks.get());
            for (std::size_t i = 0; i < count; ++i) {
                if (lengths[i] > kMaxWidth)
                    throwOverflow("a cell", c);
                width = std::max(width, lengths[i]);
                if (last && ticks[i]) {
                    ++ticked;
                    lastCells += lengths[i];
                }
            }
        }
        m_widths[c] = width;
    }

    std::uint64_t paddedLine = 2; // every cell filled and followed by a TAB, then CR LF
    for (std::size_t width : m_widths)
        paddedLine += width + 1;
    if (m_layout == TableLayout::File) {
        m_sizeHint = paddedLine * (ticked + 1) + 2;
    } else {
        m_sizeHint = (paddedLine - (m_widths.back() + 1)) * ticked + lastCells;
    }
    m_measured = true;
}

void TableText::render(
    const std::function<void(std::string_view)>& sink, std::size_t blockSize, unsigned parts)
{
    renderBuffers([&](ByteBuffer& block) { sink(block.view()); }, blockSize, parts);
}

// One pass of render(): the block being filled, handed to the sink once it
// holds a block's worth of whole lines, and the runs of rows read into it.
class TableText::Pass {
public:
    Pass(TableText& table, const std::function<void(ByteBuffer&)>& sink, std::size_t blockSize)
        : m_table(table)
        , m_sink(sink)
        , m_blockSize(blockSize)
        , m_trimmed(table.m_layout == TableLayout::Clipboard)
        , m_block(std::max<std::size_t>(blockSize + blockSize / 8, 64))
        , m_columns(table.m_widths.size())
        // Runs of rows worth one poll each: a tick and the cells per row.
        , m_run(std::max<std::size_t>(1, kCellsPerPoll / (m_columns + 1)))
        , m_ticks(std::make_unique<bool[]>(m_run))
        , m_slotStart(m_columns)
        , m_slotWidth(m_columns)
        , m_lengths(m_run * m_columns)
    {
    }

    void header()
    {
        writeLine([&](std::size_t c) {
            m_table.poll(1);
            return m_table.m_rows.caption(c);
        });
    }

    void rows()
    {
        const std::size_t rows = m_table.m_rowCount;
        for (std::size_t first = 0; first < rows; first += m_run) {
            const std::size_t count = std::min(m_run, rows - first);
            m_table.poll(count * (m_columns + 1));
            m_table.m_rows.ticks(first, count, m_ticks.get());
            if (const char* slot = readRun(first, count)) {
                writeRun(count, slot);
                continue;
            }
            for (std::size_t i = 0; i < count; ++i) {
                if (m_ticks[i])
                    writeLine([&](std::size_t c) {
                        return m_table.m_rows.cell(first + i, c, m_scratch);
                    });
            }
        }
    }

    // The file's last line end, after the last line's own.
    void ending()
    {
        char* out = m_block.room(2);
        *out++ = '\r';
        *out++ = '\n';
        m_block.advanceTo(out);
    }

    void finish()
    {
        if (m_block.used() > 0)
            m_sink(m_block);
    }

private:
    // Ends the line written from `lineStart` up to `out`, just past its last
    // TAB, and returns the line's end; needs room for two bytes at `out`. On
    // the clipboard a line loses that TAB, then the spaces before it: the last
    // cell's filler and any blanks the cell itself ends with.
    char* endLine(char* lineStart, char* out) const
    {
        if (m_trimmed) {
            --out;
            while (out > lineStart && out[-1] == ' ')
                --out;
        }
        out[0] = '\r';
        out[1] = '\n';
        return out + 2;
    }

    void handOver()
    {
        m_sink(m_block);
        m_block.truncate(0);
        // The sink may have yielded too.
        m_table.checkRowsStillThere();
    }

    // One line of the cells `text(c)` gives, written cell by cell into the
    // block.
    template <class CellText> void writeLine(const CellText& text)
    {
        const std::size_t lineStart = m_block.used();
        for (std::size_t c = 0; c < m_columns; ++c) {
            const std::string_view cell = text(c);
            const std::size_t width = m_table.m_widths[c];
            // A cell longer than its width (the list changed after the
            // width pass) goes out without filler.
            char* out = m_block.room(std::max(cell.size(), width) + 1);
            m_block.advanceTo(putCell(out, cell, width));
        }
        char* out = m_block.room(2);
        m_block.advanceTo(endLine(out - (m_block.used() - lineStart), out));
        if (m_block.used() >= m_blockSize)
            handOver();
    }

    // A source that keeps its totals knows how wide a cell can be, so a run's
    // cells come in one call per column, into slots that wide, and its lines
    // are made straight into room set aside for the whole run. Returns the
    // slots, or none when the source cannot or they would be too large.
    const char* readRun(std::size_t first, std::size_t count)
    {
        std::size_t size = 0;
        m_lineRoom = 2;
        for (std::size_t c = 0; c < m_columns; ++c) {
            ColumnTotals totals;
            if (!m_table.m_rows.columnTotals(c, totals))
                return nullptr;
            m_slotStart[c] = size;
            m_slotWidth[c] = totals.widest;
            size += count * totals.widest;
            m_lineRoom += std::max(totals.widest, m_table.m_widths[c]) + 1;
        }
        if (size > kMaxSlotBytes)
            return nullptr;
        char* out = m_slots.room(size);
        for (std::size_t c = 0; c < m_columns; ++c) {
            m_table.m_rows.tickedCells(first, count, c, m_ticks.get(), out + m_slotStart[c],
                m_slotWidth[c], m_lengths.data() + c * m_run);
        }
        return out;
    }

    void writeRun(std::size_t count, const char* slot)
    {
        const std::vector<std::size_t>& widths = m_table.m_widths;
        char* out = m_block.room(m_lineRoom * count);
        const char* blockStart = out - m_block.used();
        for (std::size_t i = 0; i < count; ++i) {
            if (!m_ticks[i])
                continue;
            char* const lineStart = out;
            for (std::size_t c = 0; c < m_columns; ++c) {
                out = putCell(out,
                    { slot + m_slotStart[c] + i * m_slotWidth[c], m_lengths[c * m_run + i] },
                    widths[c]);
            }
            out = endLine(lineStart, out);
            if (std::size_t(out - blockStart) >= m_blockSize) {
                m_block.advanceTo(out);
                handOver();
                out = m_block.room(m_lineRoom * (count - i - 1));
                blockStart = out;
            }
        }
        m_block.advanceTo(out);
    }

    TableText& m_table;
    const std::function<void(ByteBuffer&)>& m_sink;
    std::size_t m_blockSize;
    bool m_trimmed;
    ByteBuffer m_block;
    std::size_t m_columns;
    std::size_t m_run;
    std::unique_ptr<bool[]> m_ticks;
    ByteBuffer m_slots;
    std::vector<std::size_t> m_slotStart;
    std::vector<std::size_t> m_slotWidth;
    std::vector<std::size_t> m_lengths;
    std::size_t m_lineRoom = 0;
    std::string m_scratch;
};

void TableText::renderBuffers(
    const std::function<void(ByteBuffer&)>& sink, std::size_t blockSize, unsigned parts)
{
    if (!m_measured)
        throw std::logic_error("TableText::render before measure");
    checkRowsStillThere();
    Pass pass(*this, sink, blockSize);
    const bool file = m_layout == TableLayout::File;
    if (file && (parts & kHeaderPart) != 0)
        pass.header();
    if (!file || (parts & kRowsPart) != 0)
        pass.rows();
    if (file && (parts & kEndingPart) != 0)
        pass.ending();
    pass.finish();
}

} // namespace pellorin
