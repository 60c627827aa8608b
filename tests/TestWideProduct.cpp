#include "WideProduct.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

using pellorin::multiplyWide;
using pellorin::multiplyWideByHalves;

// Values whose products carry across every 32-bit boundary.
constexpr std::array<std::uint64_t, 9> kValues { 0, 1, 9, 1000, 0xffffffffU, 0x100000000U,
    0x9e3779b97f4a7c15U, 0xfffffffffffffffeU, 0xffffffffffffffffU };

TEST(WideProduct, HalvesGiveTheFullProduct)
{
    for (const std::uint64_t a : kValues) {
        for (const std::uint64_t b : kValues) {
            SCOPED_TRACE(testing::Message() << a << " x " << b);
            const auto halves = multiplyWideByHalves(a, b);
            const auto wide = multiplyWide(a, b);
            EXPECT_EQ(halves.high, wide.high);
            EXPECT_EQ(halves.low, wide.low);
        }
    }
}

TEST(WideProduct, LargestProduct)
{
    constexpr auto product = multiplyWideByHalves(~std::uint64_t { 0 }, ~std::uint64_t { 0 });
    EXPECT_EQ(product.high, ~std::uint64_t { 0 } - 1);
    EXPECT_EQ(product.low, 1U);
}

} // namespace
