#include "BlockWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace pellorin;

namespace {

// Blocks of every size from empty to a few kilobytes, in the buffers the
// writer hands back: they come out whole, once each and in order.
TEST(BlockWriter, WritesEveryBlockInOrder)
{
    std::string expected;
    std::string written;
    {
        BlockWriter writer([&](std::string_view block) { written.append(block); });
        ByteBuffer block;
        for (int i = 0; i < 2000; ++i) {
            const std::string text
                = std::to_string(i) + std::string(std::size_t(i * 7 % 3000), 'x');
            block.append(text);
            expected += text;
            writer.submit(block);
            ASSERT_EQ(block.used(), 0U);
        }
        writer.finish();
        EXPECT_EQ(written, expected);
    }
}

// A write that fails stops the writing: the blocks after it are not written,
// and the caller hears of the failure by the end at the latest.
TEST(BlockWriter, AFailedWriteStopsTheRest)
{
    std::vector<std::string> written;
    std::vector<std::string> failures;
    {
        BlockWriter writer([&](std::string_view block) {
            if (block == "3")
                throw std::runtime_error("disk full");
            written.emplace_back(block);
        });
        for (int i = 0; i < 50; ++i) {
            ByteBuffer block;
            block.append(std::to_string(i));
            try {
                writer.submit(block);
            } catch (const std::runtime_error& e) {
                failures.emplace_back(e.what());
            }
        }
        try {
            writer.finish();
        } catch (const std::runtime_error& e) {
            failures.emplace_back(e.what());
        }
    }
    EXPECT_EQ(written, (std::vector<std::string> { "0", "1", "2" }));
    ASSERT_FALSE(failures.empty());
    EXPECT_EQ(failures.back(), "disk full");
}

} // namespace
