#include "ScriptedYielder.h"
#include "TableText.h"
#include "VectorRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace pellorin;

namespace {

using Row = VectorRow;

// The whole text at once.
std::string renderTableText(const RowSource& rows, TableLayout layout, Yielder& yielder)
{
    TableText table(rows, layout, yielder);
    table.measure();
    std::string text;
    table.render([&](std::string_view block) { text.append(block); });
    return text;
}

const std::string k16 = "4539148803436467";
const std::string k15 = "378282246310005";

struct LayoutCase {
    const char* name;
    TableLayout layout;
    std::vector<std::string> captions;
    std::vector<Row> rows;
    std::string expected;
    bool exactSizeHint = true;
};

class TableTextLayout : public testing::TestWithParam<LayoutCase> { };

TEST_P(TableTextLayout, RendersExactBytes)
{
    const LayoutCase& c = GetParam();
    VectorRows rows(c.captions, c.rows);
    NeverYield yielder;
    TableText table(rows, c.layout, yielder);
    table.measure();
    std::string text;
    table.render([&](std::string_view block) { text.append(block); });
    EXPECT_EQ(text, c.expected);
    if (c.exactSizeHint)
        EXPECT_EQ(table.sizeHint(), c.expected.size());
    else
        EXPECT_GE(table.sizeHint(), c.expected.size());

    rows.keepsTotals = true;
    TableText fromTotals(rows, c.layout, yielder);
    fromTotals.measure();
    EXPECT_EQ(fromTotals.sizeHint(), table.sizeHint());
    std::string batched;
    fromTotals.render([&](std::string_view block) { batched.append(block); });
    EXPECT_EQ(batched, c.expected);
}

const std::vector<std::string> kResults { "Result(s)" };
const std::vector<std::string> kTwo { "A", "Bee" };

INSTANTIATE_TEST_SUITE_P(Clipboard, TableTextLayout,
    testing::Values(LayoutCase { "EmptyList", TableLayout::Clipboard, kResults, {}, "" },
        LayoutCase { "NoneTicked", TableLayout::Clipboard, kResults,
            { { false, { k16 } }, { false, { k15 } } }, "" },
        LayoutCase { "SixteenAndFifteenDigits", TableLayout::Clipboard, kResults,
            { { true, { k16 } }, { true, { k15 } } }, "4539148803436467\r\n378282246310005\r\n" },
        LayoutCase { "UntickedRowLeftOut", TableLayout::Clipboard, kResults,
            { { true, { k15 } }, { false, { k16 } }, { true, { "12" } } },
            "378282246310005\r\n12\r\n" },
        LayoutCase { "TwoColumns", TableLayout::Clipboard, kTwo,
            { { true, { "ab", "c" } }, { true, { "abcd", "" } } }, "ab  \tc\r\nabcd\t\r\n" },
        LayoutCase { "UntickedRowWidensColumn", TableLayout::Clipboard, kTwo,
            { { true, { "ab", "c" } }, { true, { "abcd", "" } }, { false, { "abcdefgh", "x" } } },
            "ab      \tc\r\nabcd    \t\r\n" },
        LayoutCase { "LastCellBlanksTrimmed", TableLayout::Clipboard, kTwo,
            { { true, { "a", "b  " } }, { true, { "a", "   " } } }, "a\tb\r\na\t\r\n", false },
        LayoutCase { "TrimStopsAtTab", TableLayout::Clipboard, kTwo, { { true, { "a ", "" } } },
            "a \t\r\n" },
        LayoutCase { "BlankOnlyColumn", TableLayout::Clipboard, kResults,
            { { true, { "  " } }, { true, { "x" } } }, "\r\nx\r\n", false },
        LayoutCase { "ThreeColumns", TableLayout::Clipboard, { "1", "2", "3" },
            { { true, { "a", "", "ccc" } }, { true, { "", "bb", "c" } } },
            "a\t  \tccc\r\n \tbb\tc\r\n" }),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(File, TableTextLayout,
    testing::Values(
        LayoutCase { "EmptyList", TableLayout::File, kResults, {}, "Result(s)\t\r\n\r\n" },
        LayoutCase { "SixteenAndFifteenDigits", TableLayout::File, kResults,
            { { true, { k16 } }, { true, { k15 } } },
            "Result(s)       \t\r\n4539148803436467\t\r\n378282246310005 \t\r\n\r\n" },
        LayoutCase { "UntickedRowCountsForWidth", TableLayout::File, kResults,
            { { true, { k15 } }, { false, { k16 } } },
            "Result(s)       \t\r\n378282246310005 \t\r\n\r\n" },
        LayoutCase { "CaptionSetsWidth", TableLayout::File, kResults, { { true, { "123" } } },
            "Result(s)\t\r\n123      \t\r\n\r\n" },
        LayoutCase { "TwoColumns", TableLayout::File, kTwo,
            { { true, { "ab", "c" } }, { true, { "abcd", "" } } },
            "A   \tBee\t\r\nab  \tc  \t\r\nabcd\t   \t\r\n\r\n" },
        LayoutCase { "EmptyCaptionAndCells", TableLayout::File, { "" }, { { true, { "" } } },
            "\t\r\n\t\r\n\r\n" }),
    [](const auto& info) { return std::string(info.param.name); });

struct BlockCase {
    TableLayout layout;
    std::size_t blockSize;
    bool keepsTotals;
};

class TableTextBlocks : public testing::TestWithParam<BlockCase> { };

// Blocks end at line ends and together make the same text, whatever their
// size, also when the cells are read a run at a time.
TEST_P(TableTextBlocks, SplitAtLineEnds)
{
    std::vector<Row> list;
    list.reserve(5000);
    for (int i = 0; i < 5000; ++i)
        list.push_back(
            { i % 3 != 0, { std::string(std::size_t(i % 17), char('0' + i % 10)), "x" } });
    VectorRows rows(kTwo, list);
    NeverYield yielder;
    const std::string whole = renderTableText(rows, GetParam().layout, yielder);
    rows.keepsTotals = GetParam().keepsTotals;

    TableText table(rows, GetParam().layout, yielder);
    table.measure();
    std::string joined;
    int blocks = 0;
    table.render(
        [&](std::string_view block) {
            ++blocks;
            EXPECT_TRUE(block.ends_with("\r\n"));
            joined.append(block);
        },
        GetParam().blockSize);
    EXPECT_EQ(joined, whole);
    EXPECT_GT(blocks, int(whole.size() / (GetParam().blockSize + 64)));

    // Handed over buffer by buffer, each kept by the sink, which leaves an
    // empty buffer in its place for the next block.
    std::vector<ByteBuffer> kept;
    table.renderBuffers(
        [&](ByteBuffer& block) { kept.push_back(std::move(block)); }, GetParam().blockSize);
    std::string keptText;
    for (const ByteBuffer& block : kept)
        keptText.append(block.view());
    EXPECT_EQ(keptText, whole);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TableTextBlocks,
    testing::Values(BlockCase { TableLayout::Clipboard, 1, false },
        BlockCase { TableLayout::Clipboard, 100, false }, BlockCase { TableLayout::File, 1, false },
        BlockCase { TableLayout::File, 4096, false }, BlockCase { TableLayout::Clipboard, 1, true },
        BlockCase { TableLayout::Clipboard, 100, true },
        BlockCase { TableLayout::File, 4096, true },
        BlockCase { TableLayout::File, std::size_t { 1 } << 17, true }),
    [](const auto& info) {
        return std::string(info.param.layout == TableLayout::File ? "File" : "Clipboard")
            + "InBlocksOf" + std::to_string(info.param.blockSize)
            + (info.param.keepsTotals ? "FromTotals" : "");
    });

struct OverflowCase {
    const char* name;
    TableLayout layout;
    std::size_t captionLength;
    std::size_t cellLength;
    const char* error; // nullptr: renders
};

class TableTextOverflow : public testing::TestWithParam<OverflowCase> { };

TEST_P(TableTextOverflow, WidthsStopAt32767)
{
    const OverflowCase& c = GetParam();
    VectorRows rows({ "A", std::string(c.captionLength, 'h') },
        { { false, { "a", std::string(c.cellLength, 'c') } } });
    NeverYield yielder;
    TableText table(rows, c.layout, yielder);
    if (c.error) {
        try {
            table.measure();
            FAIL() << "no overflow";
        } catch (const TableTextError& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
    } else {
        table.measure();
        EXPECT_EQ(table.widths().at(1),
            std::max(c.cellLength, c.layout == TableLayout::File ? c.captionLength : 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TableTextOverflow,
    testing::Values(OverflowCase { "CellAtLimit", TableLayout::Clipboard, 1, 32767, nullptr },
        OverflowCase { "CellOverLimit", TableLayout::Clipboard, 1, 32768,
            "Overflow: a cell of column 2 has more than 32767 characters" },
        OverflowCase { "FileCellOverLimit", TableLayout::File, 1, 32768,
            "Overflow: a cell of column 2 has more than 32767 characters" },
        OverflowCase { "CaptionAtLimit", TableLayout::File, 32767, 0, nullptr },
        OverflowCase { "CaptionOverLimit", TableLayout::File, 32768, 0,
            "Overflow: the caption of column 2 has more than 32767 characters" },
        OverflowCase { "ClipboardIgnoresCaption", TableLayout::Clipboard, 40000, 3, nullptr }),
    [](const auto& info) { return std::string(info.param.name); });

struct ChangeCase {
    const char* name;
    TableLayout layout;
    int atPoll;
    std::size_t keepRows; // rows left after the change; more than now: rows appended
};

class TableTextListChanges : public testing::TestWithParam<ChangeCase> { };

// Polls come before the first read and then every 4096 cells: with 10,000
// rows of one column the width pass polls twice, the output pass five times.
TEST_P(TableTextListChanges, RemovedRowsFailAppendedRowsWait)
{
    const ChangeCase& c = GetParam();
    std::vector<Row> list(10000, Row { true, { "12" } });
    VectorRows rows(kResults, list);
    VectorRows unchanged(kResults, list);
    test::ScriptedYielder yielder([&](int poll) {
        if (poll == c.atPoll)
            rows.rows.resize(c.keepRows, Row { true, { "123456" } });
    });
    TableText table(rows, c.layout, yielder);
    auto run = [&] {
        table.measure();
        std::string text;
        table.render([&](std::string_view block) { text.append(block); });
        return text;
    };
    if (c.keepRows < list.size()) {
        try {
            run();
            FAIL() << "no failure";
        } catch (const TableTextError& e) {
            EXPECT_STREQ(e.what(), "The results list changed during the export: rows were removed");
        }
    } else {
        NeverYield never;
        EXPECT_EQ(run(), renderTableText(unchanged, c.layout, never));
    }
    EXPECT_GE(yielder.polls, c.atPoll);
}

INSTANTIATE_TEST_SUITE_P(Cases, TableTextListChanges,
    testing::Values(ChangeCase { "ClearedWhileMeasuring", TableLayout::Clipboard, 1, 0 },
        ChangeCase { "ShortenedWhileMeasuring", TableLayout::File, 2, 9999 },
        ChangeCase { "ClearedWhileWriting", TableLayout::File, 4, 0 },
        ChangeCase { "LastRowGoneWhileWriting", TableLayout::Clipboard, 5, 9999 },
        ChangeCase { "AppendedWhileMeasuring", TableLayout::File, 1, 20000 },
        ChangeCase { "AppendedWhileWriting", TableLayout::Clipboard, 5, 20000 }),
    [](const auto& info) { return std::string(info.param.name); });

// A sink that writes to a slow disk yields while it waits: rows removed then
// must not be read afterwards.
TEST(TableText, RowsRemovedWhileTheSinkYieldsAreNotRead)
{
    VectorRows rows(kResults, std::vector<Row>(1000, Row { true, { "12" } }));
    NeverYield yielder;
    TableText table(rows, TableLayout::Clipboard, yielder);
    table.measure();
    int blocks = 0;
    EXPECT_THROW(table.render(
                     [&](std::string_view) {
                         ++blocks;
                         rows.rows.resize(10);
                     },
                     64),
        TableTextError);
    EXPECT_EQ(blocks, 1);
}

// Empty cells given as views without data, as a source may hand them out.
class NullCells final : public RowSource {
public:
    std::size_t columnCount() const override { return 2; }
    std::string_view caption(std::size_t) const override { return {}; }
    std::size_t rowCount() const override { return 2; }
    bool isTicked(std::size_t) const override { return true; }
    std::size_t cellLength(std::size_t r, std::size_t c) const override { return r == c ? 0 : 1; }
    std::string_view cell(std::size_t r, std::size_t c, std::string&) const override
    {
        return r == c ? std::string_view() : std::string_view("x");
    }
};

TEST(TableText, EmptyViewsWithoutData)
{
    NullCells rows;
    NeverYield yielder;
    EXPECT_EQ(renderTableText(rows, TableLayout::Clipboard, yielder), " \tx\r\nx\t\r\n");
    EXPECT_EQ(
        renderTableText(rows, TableLayout::File, yielder), " \t \t\r\n \tx\t\r\nx\t \t\r\n\r\n");
}

TEST(TableText, NeedsAColumn)
{
    VectorRows rows({}, { { true, {} } });
    NeverYield yielder;
    for (const TableLayout layout : { TableLayout::Clipboard, TableLayout::File })
        EXPECT_THROW(TableText(rows, layout, yielder).measure(), std::logic_error);
}

TEST(TableText, CellGrownAfterWidthPassGoesOutWithoutFiller)
{
    for (const bool keepsTotals : { false, true }) {
        VectorRows rows(kTwo, { { true, { "ab", "c" } }, { true, { "abcd", "" } } });
        rows.keepsTotals = keepsTotals;
        NeverYield yielder;
        TableText table(rows, TableLayout::File, yielder);
        table.measure();
        rows.rows[0].cells[0] = "abcdef";
        std::string text;
        table.render([&](std::string_view block) { text.append(block); });
        EXPECT_EQ(text, "A   \tBee\t\r\nabcdef\tc  \t\r\nabcd\t   \t\r\n\r\n");
    }
}

} // namespace
