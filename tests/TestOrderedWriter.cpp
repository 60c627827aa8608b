#include "OrderedWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using pellorin::ByteBuffer;
using pellorin::cli::writeInOrder;

// Block b is its number and a line end, made after some work that differs
// from block to block, so blocks finish out of order on several threads.
void makeBlock(std::uint64_t block, ByteBuffer& out)
{
    volatile std::uint64_t spin = 0;
    for (std::uint64_t i = 0; i < (block * 7919 % 13) * 20000; ++i)
        spin = spin + i;
    out.append(std::to_string(block) + "\n");
}

std::string blocksUpTo(std::uint64_t end)
{
    std::string text;
    for (std::uint64_t b = 0; b < end; ++b)
        text += std::to_string(b) + "\n";
    return text;
}

class OrderedWriter : public testing::TestWithParam<unsigned> { };

TEST_P(OrderedWriter, WritesEveryBlockOnceInOrder)
{
    for (const std::uint64_t blocks : { 0, 1, 5, 200 }) {
        std::vector<std::string> writes;
        const bool done = writeInOrder(blocks, GetParam(), makeBlock, [&](std::string_view bytes) {
            writes.emplace_back(bytes);
            return true;
        });
        EXPECT_TRUE(done);
        ASSERT_EQ(writes.size(), blocks);
        for (std::uint64_t b = 0; b < blocks; ++b)
            ASSERT_EQ(writes[b], std::to_string(b) + "\n") << blocks << " blocks";
    }
}

TEST_P(OrderedWriter, AReaderThatGoesAwayEndsTheRunQuietly)
{
    std::string written;
    int calls = 0;
    const bool done = writeInOrder(100, GetParam(), makeBlock, [&](std::string_view bytes) {
        ++calls;
        if (calls == 4)
            return false;
        written += bytes;
        return true;
    });
    EXPECT_FALSE(done);
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(written, blocksUpTo(3));
}

TEST_P(OrderedWriter, AFailingWriteStopsEveryThreadAndIsThrown)
{
    std::string written;
    int calls = 0;
    EXPECT_THROW(writeInOrder(100, GetParam(), makeBlock,
                     [&](std::string_view bytes) -> bool {
                         if (++calls == 6)
                             throw std::runtime_error("disk full");
                         written += bytes;
                         return true;
                     }),
        std::runtime_error);
    EXPECT_EQ(calls, 6);
    EXPECT_EQ(written, blocksUpTo(5));
}

TEST_P(OrderedWriter, AFailingBlockStopsTheRunBeforeIt)
{
    std::string written;
    std::mutex mutex;
    auto make = [](std::uint64_t block, ByteBuffer& out) {
        if (block == 40)
            throw std::length_error("no memory");
        makeBlock(block, out);
    };
    EXPECT_THROW(writeInOrder(100, GetParam(), make,
                     [&](std::string_view bytes) {
                         const std::lock_guard lock(mutex);
                         written += bytes;
                         return true;
                     }),
        std::length_error);
    // Blocks in order from the first, none from the failed one on.
    EXPECT_EQ(written, blocksUpTo(std::uint64_t(std::count(written.begin(), written.end(), '\n'))));
    EXPECT_EQ(written.find("40\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Threads, OrderedWriter, testing::Values(1U, 2U, 3U, 8U),
    [](const auto& info) { return std::to_string(info.param) + "Threads"; });

} // namespace
