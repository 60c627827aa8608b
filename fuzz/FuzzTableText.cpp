// Checks the padded table text renderer on arbitrary lists: any number of
// columns, cells of any bytes (blanks, TABs, line breaks), ticked or not,
// rendered in blocks of any size, against a plain rendering written from the
// layout rules. A second mode changes the list from inside the yielder, as
// another handler may during an export: the renderer must then either fail
// with its own error or produce well-formed text, and never read a row that
// has gone. Half the lists keep their totals, so they are measured from
// those and read a run of cells at a time.

#include "FuzzCheck.h"
#include "RowSource.h"
#include "TableText.h"
#include "VectorRows.h"
#include "Yielder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace {

using pellorin::TableLayout;
using pellorin::TableText;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool empty() const { return m_pos >= m_size; }
    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::string bytes(std::size_t n)
    {
        std::string out;
        while (n-- > 0 && m_pos < m_size)
            out.push_back(static_cast<char>(m_data[m_pos++]));
        return out;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

using Row = pellorin::VectorRow;
using FuzzRows = pellorin::VectorRows;

// Changes the list at its n-th call: removes rows from the end, or makes a
// cell longer, or appends a row.
class ChangingYielder final : public pellorin::Yielder {
public:
    ChangingYielder(FuzzRows& rows, unsigned when, unsigned what)
        : m_rows(rows)
        , m_when(when)
        , m_what(what)
    {
    }
    void poll() override
    {
        if (m_calls++ != m_when || m_rows.rows.empty())
            return;
        switch (m_what % 3) {
        case 0:
            m_rows.rows.resize(m_rows.rows.size() - 1 - m_what / 3 % m_rows.rows.size());
            removed = true;
            break;
        case 1:
            m_rows.rows.front().cells.back() += std::string(m_what / 3 % 40 + 1, 'L');
            break;
        default:
            m_rows.rows.push_back(m_rows.rows.back());
            break;
        }
    }
    bool removed = false;

private:
    FuzzRows& m_rows;
    unsigned m_calls = 0;
    unsigned m_when;
    unsigned m_what;
};

std::string referenceRender(const FuzzRows& list, TableLayout layout, bool& overflow)
{
    const bool file = layout == TableLayout::File;
    std::vector<std::size_t> widths;
    for (std::size_t c = 0; c < list.captions.size(); ++c) {
        std::size_t width = file ? list.captions[c].size() : 0;
        for (const Row& row : list.rows)
            width = std::max(width, row.cells[c].size());
        widths.push_back(width);
    }
    overflow = false;
    for (std::size_t w : widths)
        overflow = overflow || w > TableText::kMaxWidth;
    if (overflow)
        return {};

    auto padded = [&](const std::string& s, std::size_t width) {
        std::string out = s;
        if (width >= s.size())
            out.append(width - s.size(), ' ');
        return out + '\t';
    };
    std::string text;
    if (file) {
        for (std::size_t c = 0; c < widths.size(); ++c)
            text += padded(list.captions[c], widths[c]);
        text += "\r\n";
    }
    for (const Row& row : list.rows) {
        if (!row.ticked)
            continue;
        for (std::size_t c = 0; c < widths.size(); ++c)
            text += padded(row.cells[c], widths[c]);
        if (!file) {
            text.pop_back();
            while (!text.empty() && text.back() == ' ')
                text.pop_back();
        }
        text += "\r\n";
    }
    if (file)
        text += "\r\n";
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    const std::uint8_t flags = in.byte();
    const TableLayout layout = (flags & 1) != 0 ? TableLayout::File : TableLayout::Clipboard;
    const std::size_t columns = ((flags >> 1) & 3) + 1;
    const bool changing = (flags & 8) != 0;
    const std::size_t blockSize = std::size_t { 1 } << (in.byte() % 12);
    const unsigned when = in.byte() % 4;
    const unsigned what = in.byte();

    FuzzRows list;
    list.keepsTotals = (flags & 16) != 0;
    for (std::size_t c = 0; c < columns; ++c)
        list.captions.push_back(in.bytes(in.byte() % 12));
    while (!in.empty() && list.rows.size() < 5000) {
        const std::uint8_t rowFlags = in.byte();
        Row row;
        row.ticked = (rowFlags & 1) != 0;
        for (std::size_t c = 0; c < columns; ++c)
            row.cells.push_back(in.bytes(in.byte() % 24));
        // Now and then a cell at the edge of the 16-bit width.
        if (rowFlags == 0xfe)
            row.cells[0].assign(
                TableText::kMaxWidth - 2 + in.byte() % 4, static_cast<char>(in.byte()));
        list.rows.push_back(std::move(row));
    }

    if (!changing) {
        bool overflow = false;
        const std::string expected = referenceRender(list, layout, overflow);
        pellorin::NeverYield never;
        TableText table(list, layout, never);
        try {
            table.measure();
        } catch (const pellorin::TableTextError&) {
            PELLORIN_FUZZ_CHECK(overflow);
            return 0;
        }
        PELLORIN_FUZZ_CHECK(!overflow);
        std::string text;
        table.render(
            [&](std::string_view block) {
                // Whole lines only, so a file write never stops mid-line.
                PELLORIN_FUZZ_CHECK(block.empty() || block.back() == '\n');
                text.append(block);
            },
            blockSize);
        PELLORIN_FUZZ_CHECK(text == expected);
        if (layout == TableLayout::File) {
            PELLORIN_FUZZ_CHECK(table.sizeHint() == text.size());
        } else {
            PELLORIN_FUZZ_CHECK(table.sizeHint() >= text.size());
            bool lastCellEndsInBlank = false;
            for (const Row& row : list.rows)
                lastCellEndsInBlank = lastCellEndsInBlank
                    || (row.ticked && !row.cells.back().empty() && row.cells.back().back() == ' ');
            if (!lastCellEndsInBlank)
                PELLORIN_FUZZ_CHECK(table.sizeHint() == text.size());
        }
        return 0;
    }

    ChangingYielder yielder(list, when, what);
    TableText table(list, layout, yielder);
    std::string text;
    try {
        table.measure();
        table.render([&](std::string_view block) { text.append(block); }, blockSize);
    } catch (const pellorin::TableTextError&) {
        return 0;
    } catch (const std::exception&) {
        // std::out_of_range from the list: a row that had gone was read.
        PELLORIN_FUZZ_CHECK(false);
    }
    PELLORIN_FUZZ_CHECK(!yielder.removed);
    if (layout == TableLayout::File)
        PELLORIN_FUZZ_CHECK(text.ends_with("\r\n\r\n"));
    else
        PELLORIN_FUZZ_CHECK(text.empty() || text.ends_with("\r\n"));
    return 0;
}
