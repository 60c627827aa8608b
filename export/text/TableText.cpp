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

void TableText::renderBuffers(
    const std::function<void(ByteBuffer&)>& sink, std::size_t blockSize, unsigned parts)
{
    if (!m_measured)
        throw std::logic_error("TableText::render before measure");
    checkRowsStillThere();

    const std::size_t columns = m_widths.size();
    const bool trimmed = m_layout == TableLayout::Clipboard;
    ByteBuffer block(std::max<std::size_t>(blockSize + blockSize / 8, 64));
    std::string scratch;

    auto endLine = [&](std::size_t lineStart) {
        if (trimmed) {
            // Drop the last TAB, then the spaces before it: the last cell's
            // filler and any blanks the cell itself ends with. A TAB or the
            // previous line's LF stops the trim.
            std::size_t end = block.used() - 1;
            while (end > lineStart && block.at(end - 1) == ' ')
                --end;
            block.truncate(end);
        }
        char* out = block.room(2);
        *out++ = '\r';
        *out++ = '\n';
        block.advanceTo(out);
        if (block.used() >= blockSize) {
            sink(block);
            block.truncate(0);
            // The sink may have yielded too.
            checkRowsStillThere();
        }
    };

    const bool file = m_layout == TableLayout::File;
    if (file && (parts & kHeaderPart) != 0) {
        const std::size_t lineStart = block.used();
        for (std::size_t c = 0; c < columns; ++c) {
            poll(1);
            const std::string_view caption = m_rows.caption(c);
            char* out = block.room(std::max(caption.size(), m_widths[c]) + 1);
            block.advanceTo(putCell(out, caption, m_widths[c]));
        }
        endLine(lineStart);
    }

    // Runs of rows worth one poll each: a tick and the cells per row.
    const std::size_t run = std::max<std::size_t>(1, kCellsPerPoll / (columns + 1));
    const auto ticks = std::make_unique<bool[]>(run);
    // A source that keeps its totals knows how wide a cell can be, so a run's
    // cells come in one call per column, into slots that wide, and its lines
    // are made straight into room set aside for the whole run.
    ByteBuffer slots;
    std::vector<std::size_t> slotStart(columns);
    std::vector<std::size_t> slotWidth(columns);
    std::vector<std::size_t> lengths(run * columns);
    std::size_t lineRoom = 0;
    auto readRun = [&](std::size_t first, std::size_t count) -> const char* {
        std::size_t size = 0;
        lineRoom = 2;
        for (std::size_t c = 0; c < columns; ++c) {
            ColumnTotals totals;
            if (!m_rows.columnTotals(c, totals))
                return nullptr;
            slotStart[c] = size;
            slotWidth[c] = totals.widest;
            size += count * totals.widest;
            lineRoom += std::max(totals.widest, m_widths[c]) + 1;
        }
        if (size > kMaxSlotBytes)
            return nullptr;
        char* out = slots.room(size);
        for (std::size_t c = 0; c < columns; ++c) {
            m_rows.tickedCells(first, count, c, ticks.get(), out + slotStart[c], slotWidth[c],
                lengths.data() + c * run);
        }
        return out;
    };
    auto writeRun = [&](std::size_t count, const char* slot) {
        char* out = block.room(lineRoom * count);
        const char* blockStart = out - block.used();
        for (std::size_t i = 0; i < count; ++i) {
            if (!ticks[i])
                continue;
            char* const lineStart = out;
            for (std::size_t c = 0; c < columns; ++c) {
                out = putCell(out, { slot + slotStart[c] + i * slotWidth[c], lengths[c * run + i] },
                    m_widths[c]);
            }
            if (trimmed) {
                --out;
                while (out > lineStart && out[-1] == ' ')
                    --out;
            }
            out[0] = '\r';
            out[1] = '\n';
            out += 2;
            if (std::size_t(out - blockStart) >= blockSize) {
                block.advanceTo(out);
                sink(block);
                block.truncate(0);
                checkRowsStillThere();
                out = block.room(lineRoom * (count - i - 1));
                blockStart = out;
            }
        }
        block.advanceTo(out);
    };
    const std::size_t rows = (!file || (parts & kRowsPart) != 0) ? m_rowCount : 0;
    for (std::size_t first = 0; first < rows; first += run) {
        const std::size_t count = std::min(run, rows - first);
        poll(count * (columns + 1));
        m_rows.ticks(first, count, ticks.get());
        if (const char* slot = readRun(first, count)) {
            writeRun(count, slot);
            continue;
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (!ticks[i])
                continue;
            const std::size_t lineStart = block.used();
            for (std::size_t c = 0; c < columns; ++c) {
                const std::string_view text = m_rows.cell(first + i, c, scratch);
                // A cell longer than its width (the list changed after the
                // width pass) goes out without filler.
                char* out = block.room(std::max(text.size(), m_widths[c]) + 1);
                block.advanceTo(putCell(out, text, m_widths[c]));
            }
            endLine(lineStart);
        }
    }

    if (file && (parts & kEndingPart) != 0) {
        char* out = block.room(2);
        *out++ = '\r';
        *out++ = '\n';
        block.advanceTo(out);
    }
    if (block.used() > 0)
        sink(block);
}

} // namespace pellorin
