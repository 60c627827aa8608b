#include "CompactRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace pellorin;

namespace {

// Every length with the digit patterns that break a digit-by-digit decoder:
// all nines (carries), all zeros, a lone leading one, zeros before nines, and
// each place holding its own digit.
std::vector<std::string> patterns()
{
    std::vector<std::string> texts;
    for (std::size_t len = 1; len <= CompactRows::kMaxDigits; ++len) {
        std::string leadingOne(len, '0');
        leadingOne.front() = '1';
        std::string trailingNine(len, '0');
        trailingNine.back() = '9';
        std::string places;
        for (std::size_t i = 0; i < len; ++i)
            places += char('0' + (i * 7 + 3) % 10);
        // At one digit some patterns coincide ("9" is all nines and zeros
        // before a nine); each text is one case.
        for (std::string text :
            { std::string(len, '9'), std::string(len, '0'), leadingOne, trailingNine, places }) {
            if (std::find(texts.begin(), texts.end(), text) == texts.end())
                texts.push_back(std::move(text));
        }
    }
    return texts;
}

class CompactRowsText : public testing::TestWithParam<std::string> { };

TEST_P(CompactRowsText, ComesBackAsStored)
{
    CompactRows rows;
    rows.append("4539148803436467", true);
    rows.append(GetParam(), false);
    char out[CompactRows::kMaxDigits + 1];
    out[GetParam().size()] = '#';
    EXPECT_EQ(rows.text(1, out), GetParam().size());
    EXPECT_EQ(std::string(out, GetParam().size()), GetParam());
    EXPECT_EQ(out[GetParam().size()], '#') << "wrote past the text";
    EXPECT_EQ(rows.length(1), GetParam().size());
}

INSTANTIATE_TEST_SUITE_P(Patterns, CompactRowsText, testing::ValuesIn(patterns()),
    [](const auto& info) { return info.param; });

TEST(CompactRowsText, RandomNumbersComeBackAsStored)
{
    std::mt19937_64 random(20140520);
    CompactRows rows;
    std::vector<std::string> texts;
    for (int i = 0; i < 100000; ++i) {
        std::string text(1 + random() % CompactRows::kMaxDigits, '0');
        for (char& c : text)
            c = char('0' + random() % (random() % 4 == 0 ? 1 : 10));
        rows.append(text, i % 2 == 0);
        texts.push_back(std::move(text));
    }
    for (std::size_t r = 0; r < texts.size(); ++r)
        ASSERT_EQ(rows.textString(r), texts[r]) << "row " << r;
}

// The totals an export sizes its text by, and the run read it makes its
// lines from, against the rows one by one: over a block boundary, with
// ticks changed back and forth, staged rows counted only once committed, and
// after clearing.
TEST(CompactRowsText, TotalsAndRunsMatchTheRows)
{
    std::mt19937_64 random(20261208);
    CompactRows rows;
    for (int i = 0; i < 70000; ++i)
        rows.append(std::string(1 + random() % 15, char('1' + i % 9)), i % 3 != 0);
    for (std::size_t r = 0; r < rows.size(); r += 1 + random() % 5)
        rows.setTicked(r, random() % 2 == 0);
    rows.setTicked(1, true);
    rows.setTicked(1, true);
    rows.stage(0, CompactRows::packTicked("1234567890123456", true));

    std::size_t widest = 0;
    std::size_t ticked = 0;
    std::uint64_t tickedLength = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        widest = std::max(widest, rows.length(r));
        ticked += rows.ticked(r) ? 1 : 0;
        tickedLength += rows.ticked(r) ? rows.length(r) : 0;
    }
    EXPECT_EQ(rows.widest(), widest);
    EXPECT_EQ(rows.tickedCount(), ticked);
    EXPECT_EQ(rows.tickedLength(), tickedLength);

    const std::size_t first = 65000;
    const std::size_t count = 2000;
    auto flags = std::make_unique<bool[]>(count);
    rows.ticks(first, count, flags.get());
    std::string slots(count * widest, '#');
    std::vector<std::size_t> lengths(count, 99);
    rows.tickedTexts(first, count, flags.get(), slots.data(), widest, lengths.data());
    for (std::size_t i = 0; i < count; ++i) {
        ASSERT_EQ(flags[i], rows.ticked(first + i)) << "row " << first + i;
        if (flags[i])
            ASSERT_EQ(slots.substr(i * widest, lengths[i]), rows.textString(first + i));
        else
            ASSERT_EQ(lengths[i], 99U) << "unticked row " << first + i << " was read";
    }

    rows.commit(1);
    EXPECT_EQ(rows.widest(), 16U);
    EXPECT_EQ(rows.tickedCount(), ticked + 1);
    rows.clear();
    EXPECT_EQ(rows.widest(), 0U);
    EXPECT_EQ(rows.tickedCount(), 0U);
    EXPECT_EQ(rows.tickedLength(), 0U);
}

} // namespace
